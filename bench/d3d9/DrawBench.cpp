// Drawing through the whole device: a full-screen quad with the 30-instruction pixel program,
// 10,000 small lit triangles, the blocking occlusion query round trip of the tracer, and the
// fixed cost of a draw that covers nothing.
#include "Program30.h"

#include <ShaderAssembler.h>
#include <d3d9.h>
#include <d3d9/testing.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace
{
struct DrawDevice
{
    DrawDevice()
    {
        pD3D = Direct3DCreate9(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS pp = d3d9test::TestPresentParameters(640, 480, D3DFMT_A8R8G8B8, D3DFMT_D24S8);
        pD3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &pDevice);
    }
    ~DrawDevice()
    {
        pDevice->Release();
        pD3D->Release();
    }
    std::vector<DWORD> Assemble(const char* szText)
    {
        ShaderAssembly assembly;
        AssembleShaderText(szText, std::strlen(szText), ShaderAssemblyOptions(), assembly);
        return assembly.tokens;
    }
    IDirect3D9* pD3D = nullptr;
    IDirect3DDevice9* pDevice = nullptr;
};

IDirect3DTexture9* MakeHalfTexture(IDirect3DDevice9* pDevice, float fPhase)
{
    IDirect3DTexture9* pTexture = nullptr;
    pDevice->CreateTexture(256, 256, 1, 0, D3DFMT_A16B16G16R16F, D3DPOOL_MANAGED, &pTexture, nullptr);
    D3DLOCKED_RECT locked;
    pTexture->LockRect(0, &locked, nullptr, 0);
    for (UINT y = 0; y < 256; ++y)
    {
        auto* pRow = (uint16_t*)((BYTE*)locked.pBits + y * locked.Pitch);
        for (UINT i = 0; i < 256 * 4; ++i)
        {
            // 0.5 + 0.5 sin(...) quantised to the halves between 0 and 1 (exponents 14 and below).
            const float f = 0.5f + 0.5f * std::sin((float)(y * 1024 + i) * 0.013f + fPhase);
            pRow[i] = (uint16_t)(0x3800 + (uint16_t)(f * 1023.0f));
        }
    }
    pTexture->UnlockRect(0);
    return pTexture;
}

void BM_FullScreenQuad30(benchmark::State& state)
{
    DrawDevice device;
    IDirect3DDevice9* pDevice = device.pDevice;
    std::vector<DWORD> tokens = device.Assemble(s_szProgram30);
    IDirect3DPixelShader9* pShader = nullptr;
    if (tokens.empty() || pDevice->CreatePixelShader(tokens.data(), &pShader) != D3D_OK)
    {
        state.SkipWithError("the program does not assemble");
        return;
    }
    IDirect3DTexture9* pColor = MakeHalfTexture(pDevice, 0.0f);
    IDirect3DTexture9* pNormal = MakeHalfTexture(pDevice, 1.0f);
    const D3DVERTEXELEMENT9 elements[] = {{0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITIONT, 0},
                                          {0, 16, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
                                          {0, 24, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 1},
                                          {0, 36, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 2},
                                          D3DDECL_END()};
    IDirect3DVertexDeclaration9* pDeclaration = nullptr;
    pDevice->CreateVertexDeclaration(elements, &pDeclaration);
    pDevice->SetVertexDeclaration(pDeclaration);
    pDevice->SetPixelShader(pShader);
    pDevice->SetTexture(0, pColor);
    pDevice->SetTexture(1, pNormal);
    for (UINT i = 0; i < 7; ++i)
        pDevice->SetPixelShaderConstantF(i, &s_program30Constants[i * 4], 1);
    pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    // x, y, z, rhw, t0.xy, t1.xyz, t2.xyz
    const float quad[4][12] = {{0, 0, 0.5f, 1, 0, 0, -3.0f, 2.0f, 4.0f, 0.5f, 0.1f, 1.0f},
                               {640, 0, 0.5f, 1, 1, 0, 3.4f, 2.0f, 5.28f, -0.14f, 0.1f, 1.0f},
                               {0, 480, 0.5f, 1, 0, 1, -3.0f, -1.84f, 4.48f, 0.5f, 0.58f, 1.0f},
                               {640, 480, 0.5f, 1, 1, 1, 3.4f, -1.84f, 5.76f, -0.14f, 0.58f, 1.0f}};
    IDirect3DSurface9* pTarget = nullptr;
    pDevice->GetRenderTarget(0, &pTarget);
    for (auto _ : state)
    {
        pDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(quad[0]));
        // Reading one pixel back makes the draw complete inside the timing.
        D3DLOCKED_RECT locked;
        if (pTarget->LockRect(&locked, nullptr, D3DLOCK_READONLY) == D3D_OK)
            pTarget->UnlockRect();
    }
    state.SetItemsProcessed((int64_t)state.iterations() * 640 * 480);
    pTarget->Release();
    pDevice->SetVertexDeclaration(nullptr);
    pDevice->SetPixelShader(nullptr);
    pDevice->SetTexture(0, nullptr);
    pDevice->SetTexture(1, nullptr);
    pDeclaration->Release();
    pColor->Release();
    pNormal->Release();
    pShader->Release();
}
BENCHMARK(BM_FullScreenQuad30)->Unit(benchmark::kMillisecond)->UseRealTime();

// A 25-instruction vertex program: transform, normal, one point light with attenuation and
// ambient, a texture coordinate pass-through.
const char s_szLitVertexProgram[] =
    "vs_2_0\n"
    "dcl_position v0\n"
    "dcl_texcoord0 v1\n"
    "dcl_texcoord1 v2\n"
    "def c20, 1, 0, 0.5, 0.01\n"
    "m4x4 oPos, v0, c0\n"
    "m3x3 r0.xyz, v2, c4\n"
    "nrm r1.xyz, r0\n"
    "m4x4 r2, v0, c4\n"
    "sub r3.xyz, c8, r2\n"
    "dp3 r4.x, r3, r3\n"
    "rsq r4.y, r4.x\n"
    "mul r3.xyz, r3, r4.y\n"
    "dp3 r5.x, r1, r3\n"
    "max r5.x, r5.x, c20.y\n"
    "mul r4.z, r4.x, c20.w\n"
    "add r4.z, r4.z, c20.x\n"
    "rcp r4.w, r4.z\n"
    "mul r5.x, r5.x, r4.w\n"
    "mul r6, c9, r5.x\n"
    "add r6, r6, c10\n"
    "min r6, r6, c20.x\n"
    "mov oD0, r6\n"
    "mov oT0, v1\n";

void BM_Triangles10k(benchmark::State& state)
{
    DrawDevice device;
    IDirect3DDevice9* pDevice = device.pDevice;
    std::vector<DWORD> tokens = device.Assemble(s_szLitVertexProgram);
    IDirect3DVertexShader9* pShader = nullptr;
    if (tokens.empty() || pDevice->CreateVertexShader(tokens.data(), &pShader) != D3D_OK)
    {
        state.SkipWithError("the vertex program does not assemble");
        return;
    }
    // The 64-byte mesh declaration: position, TEXCOORD0 f2, TEXCOORD1-3 f3, TEXCOORD4 f2.
    const D3DVERTEXELEMENT9 elements[] = {{0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
                                          {0, 12, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
                                          {0, 20, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 1},
                                          {0, 32, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 2},
                                          {0, 44, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 3},
                                          {0, 56, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 4},
                                          D3DDECL_END()};
    IDirect3DVertexDeclaration9* pDeclaration = nullptr;
    pDevice->CreateVertexDeclaration(elements, &pDeclaration);
    // 100 × 100 small triangles over the screen, in clip space (identity matrices).
    const UINT nTriangles = 10000;
    std::vector<float> vertices;
    for (UINT i = 0; i < nTriangles; ++i)
    {
        const float x = -1.0f + 2.0f * (float)(i % 100) / 100.0f, y = -1.0f + 2.0f * (float)(i / 100) / 100.0f;
        const float corners[3][2] = {{x, y}, {x, y + 0.018f}, {x + 0.018f, y}};
        for (const auto& c : corners)
        {
            const float vertex[16] = {c[0], c[1], 0.5f, c[0], c[1], 0, 0, -1, 0, 0, 0, 0, 0, 0, 0, 0};
            vertices.insert(vertices.end(), vertex, vertex + 16);
        }
    }
    IDirect3DVertexBuffer9* pBuffer = nullptr;
    pDevice->CreateVertexBuffer((UINT)(vertices.size() * 4), D3DUSAGE_WRITEONLY, 0, D3DPOOL_DEFAULT, &pBuffer, nullptr);
    void* pData = nullptr;
    pBuffer->Lock(0, 0, &pData, 0);
    std::memcpy(pData, vertices.data(), vertices.size() * 4);
    pBuffer->Unlock();
    float constants[12][4] = {};
    for (int i = 0; i < 4; ++i)
        constants[i][i] = constants[4 + i][i] = 1.0f;
    const float light[3][4] = {{0, 0, -2, 1}, {0.9f, 0.8f, 0.7f, 1}, {0.1f, 0.1f, 0.1f, 1}};
    std::memcpy(constants[8], light, sizeof(light));
    for (UINT i = 0; i < 11; ++i)
        pDevice->SetVertexShaderConstantF(i, constants[i], 1);
    pDevice->SetVertexDeclaration(pDeclaration);
    pDevice->SetVertexShader(pShader);
    pDevice->SetStreamSource(0, pBuffer, 0, 64);
    pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    for (auto _ : state)
    {
        pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, nTriangles);
    }
    state.SetItemsProcessed((int64_t)state.iterations());
    pDevice->SetStreamSource(0, nullptr, 0, 0);
    pDevice->SetVertexShader(nullptr);
    pDevice->SetVertexDeclaration(nullptr);
    pBuffer->Release();
    pDeclaration->Release();
    pShader->Release();
}
BENCHMARK(BM_Triangles10k)->Unit(benchmark::kMillisecond)->UseRealTime();

// A 6×6-pixel quad drawn inside BEGIN/END and its count read back, as the tracer's tile
// queries do.
void BM_OcclusionQuery(benchmark::State& state)
{
    DrawDevice device;
    IDirect3DDevice9* pDevice = device.pDevice;
    IDirect3DQuery9* pQuery = nullptr;
    pDevice->CreateQuery(D3DQUERYTYPE_OCCLUSION, &pQuery);
    pDevice->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
    pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    struct Vertex
    {
        float x, y, z, rhw;
        D3DCOLOR color;
    };
    const Vertex quad[4] = {{100, 100, 0.5f, 1, 0xFFFFFFFF}, {106, 100, 0.5f, 1, 0xFFFFFFFF},
                            {100, 106, 0.5f, 1, 0xFFFFFFFF}, {106, 106, 0.5f, 1, 0xFFFFFFFF}};
    pDevice->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    DWORD nCount = 0;
    for (auto _ : state)
    {
        pQuery->Issue(D3DISSUE_BEGIN);
        pDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex));
        pQuery->Issue(D3DISSUE_END);
        while (pQuery->GetData(&nCount, sizeof(nCount), D3DGETDATA_FLUSH) == S_FALSE)
        {
        }
        benchmark::DoNotOptimize(nCount);
    }
    state.SetItemsProcessed((int64_t)state.iterations());
    state.counters["pixels"] = nCount;
    pQuery->Release();
}
BENCHMARK(BM_OcclusionQuery)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The fixed cost of one draw: a program-shaded triangle that covers no pixel centre, with a
// pixel constant and a texture changed between draws, as the tracer's passes do.
void DrawOverhead(benchmark::State& state)
{
    DrawDevice device;
    IDirect3DDevice9* pDevice = device.pDevice;
    const std::vector<DWORD> vertexTokens = device.Assemble("vs_2_0\n"
                                                            "dcl_position v0\n"
                                                            "dcl_texcoord0 v1\n"
                                                            "mov oPos, v0\n"
                                                            "mov oT0, v1\n");
    const std::vector<DWORD> pixelTokens = device.Assemble(s_szProgram30);
    IDirect3DVertexShader9* pVertexShader = nullptr;
    IDirect3DPixelShader9* pPixelShader = nullptr;
    if (vertexTokens.empty() || pixelTokens.empty() ||
        pDevice->CreateVertexShader(vertexTokens.data(), &pVertexShader) != D3D_OK ||
        pDevice->CreatePixelShader(pixelTokens.data(), &pPixelShader) != D3D_OK)
    {
        state.SkipWithError("the programs do not assemble");
        return;
    }
    IDirect3DTexture9* textures[2] = {MakeHalfTexture(pDevice, 0.0f), MakeHalfTexture(pDevice, 1.0f)};
    // The quad declaration: POSITION f4, TEXCOORD0 f2.
    const D3DVERTEXELEMENT9 elements[] = {{0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
                                          {0, 16, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
                                          D3DDECL_END()};
    IDirect3DVertexDeclaration9* pDeclaration = nullptr;
    pDevice->CreateVertexDeclaration(elements, &pDeclaration);
    // Pixels (100.2, 100.2), (100.8, 100.2), (100.2, 100.8) in clip space: no pixel centre inside.
    auto clipX = [](float x) { return x / 320.0f - 1.0f; };
    auto clipY = [](float y) { return 1.0f - y / 240.0f; };
    const float triangle[3][6] = {{clipX(100.2f), clipY(100.2f), 0.5f, 1, 0, 0},
                                  {clipX(100.8f), clipY(100.2f), 0.5f, 1, 1, 0},
                                  {clipX(100.2f), clipY(100.8f), 0.5f, 1, 0, 1}};
    IDirect3DVertexBuffer9* pBuffer = nullptr;
    pDevice->CreateVertexBuffer(sizeof(triangle), D3DUSAGE_WRITEONLY, 0, D3DPOOL_DEFAULT, &pBuffer, nullptr);
    void* pData = nullptr;
    pBuffer->Lock(0, 0, &pData, 0);
    std::memcpy(pData, triangle, sizeof(triangle));
    pBuffer->Unlock();
    pDevice->SetVertexDeclaration(pDeclaration);
    pDevice->SetVertexShader(pVertexShader);
    pDevice->SetPixelShader(pPixelShader);
    pDevice->SetStreamSource(0, pBuffer, 0, sizeof(triangle[0]));
    pDevice->SetTexture(1, textures[1]);
    for (UINT i = 0; i < 7; ++i)
        pDevice->SetPixelShaderConstantF(i, &s_program30Constants[i * 4], 1);
    pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    UINT nDraw = 0;
    for (auto _ : state)
    {
        const float constant[4] = {(float)(nDraw & 7), 0.5f, 0.25f, 1.0f};
        pDevice->SetPixelShaderConstantF(3, constant, 1);
        pDevice->SetTexture(0, textures[nDraw & 1]);
        pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1);
        ++nDraw;
    }
    state.SetItemsProcessed((int64_t)state.iterations());
    pDevice->SetStreamSource(0, nullptr, 0, 0);
    pDevice->SetVertexDeclaration(nullptr);
    pDevice->SetVertexShader(nullptr);
    pDevice->SetPixelShader(nullptr);
    pDevice->SetTexture(0, nullptr);
    pDevice->SetTexture(1, nullptr);
    pBuffer->Release();
    pDeclaration->Release();
    textures[0]->Release();
    textures[1]->Release();
    pPixelShader->Release();
    pVertexShader->Release();
}
BENCHMARK(DrawOverhead)->Unit(benchmark::kMicrosecond)->UseRealTime();
}
