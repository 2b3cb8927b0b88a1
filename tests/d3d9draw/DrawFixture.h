#pragma once
// Drawing helpers for the layer's tests: pre-transformed quads and triangles with a colour and
// a texture coordinate, pixel programs from text, and read-back of the back buffer.
#include "../d3d9/DeviceFixture.h"

#include <ShaderAssembler.h>

#include <cstring>
#include <string>
#include <vector>

// FVF XYZRHW | DIFFUSE | TEX1: screen x, y (pixels), depth, 1/w, colour, u, v.
struct ScreenVertex
{
    float x, y, z, rhw;
    D3DCOLOR color;
    float u, v;
};
constexpr DWORD SCREEN_FVF = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

class DrawTest : public DeviceTest
{
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        ASSERT_EQ(m_pDevice->SetFVF(SCREEN_FVF), D3D_OK);
        m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        m_pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0, 1.0f, 0);
    }

    // The axis-aligned rectangle [x0, x1) × [y0, y1) in pixels as two triangles, with u and v
    // running from (u0, v0) to (u1, v1).
    HRESULT DrawRect(float x0, float y0, float x1, float y1, D3DCOLOR color, float z = 0.5f, float u0 = 0.0f,
                     float v0 = 0.0f, float u1 = 1.0f, float v1 = 1.0f)
    {
        const ScreenVertex quad[4] = {{x0, y0, z, 1.0f, color, u0, v0},
                                      {x1, y0, z, 1.0f, color, u1, v0},
                                      {x0, y1, z, 1.0f, color, u0, v1},
                                      {x1, y1, z, 1.0f, color, u1, v1}};
        return m_pDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ScreenVertex));
    }

    d3d9test::SurfaceData ReadBackBuffer()
    {
        IDirect3DSurface9* pSurface = nullptr;
        m_pDevice->GetRenderTarget(0, &pSurface);
        d3d9test::SurfaceData data;
        EXPECT_TRUE(d3d9test::ReadSurface(pSurface, data));
        pSurface->Release();
        return data;
    }

    // Byte c (0 red ... 3 alpha) of pixel (x, y) of an A8R8G8B8 read-back.
    static int Channel(const d3d9test::SurfaceData& data, UINT x, UINT y, int c)
    {
        return (int)(data.Pixel(x, y)[c] * 255.0f + 0.5f);
    }

    IDirect3DPixelShader9* PixelShader(const char* szText)
    {
        ShaderAssembly assembly;
        AssembleShaderText(szText, std::strlen(szText), ShaderAssemblyOptions(), assembly);
        EXPECT_TRUE(assembly.errors.empty()) << (assembly.errors.empty() ? "" : assembly.errors[0]);
        IDirect3DPixelShader9* pShader = nullptr;
        EXPECT_EQ(m_pDevice->CreatePixelShader(assembly.tokens.data(), &pShader), D3D_OK);
        return pShader;
    }

    // Pixels passing depth and stencil while fn draws.
    template <class Fn>
    DWORD CountPixels(Fn fn)
    {
        IDirect3DQuery9* pQuery = nullptr;
        EXPECT_EQ(m_pDevice->CreateQuery(D3DQUERYTYPE_OCCLUSION, &pQuery), D3D_OK);
        pQuery->Issue(D3DISSUE_BEGIN);
        fn();
        pQuery->Issue(D3DISSUE_END);
        DWORD nCount = 0;
        EXPECT_EQ(pQuery->GetData(&nCount, sizeof(nCount), D3DGETDATA_FLUSH), S_OK);
        pQuery->Release();
        return nCount;
    }

    IDirect3DTexture9* MakeTexture(UINT width, UINT height, UINT levels, D3DFORMAT format,
                                   const std::vector<std::vector<D3DCOLOR>>& texelsPerLevel)
    {
        IDirect3DTexture9* pTexture = nullptr;
        EXPECT_EQ(m_pDevice->CreateTexture(width, height, levels, 0, format, D3DPOOL_MANAGED, &pTexture, nullptr),
                  D3D_OK);
        for (UINT level = 0; level < levels; ++level)
        {
            D3DLOCKED_RECT locked;
            EXPECT_EQ(pTexture->LockRect(level, &locked, nullptr, 0), D3D_OK);
            const UINT w = std::max(1u, width >> level), h = std::max(1u, height >> level);
            for (UINT y = 0; y < h; ++y)
                std::memcpy((BYTE*)locked.pBits + y * locked.Pitch, &texelsPerLevel[level][y * w], w * 4);
            pTexture->UnlockRect(level);
        }
        return pTexture;
    }
};
