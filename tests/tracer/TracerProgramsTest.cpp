// The tracer's shared programs through the loaded tables, drawn on the small back buffer's
// targets: the screen quad with the copy program, the clear program into a half-float target, and
// the mesh program against its formulas on the program bench.
#include "TracerFixture.h"

#include "3dapi/Renderer.h"

#include <ProgramBench.h>
#include <ShaderAssembler.h>
#include <win32/resources.h>

#include <cstring>
#include <random>

namespace
{
IDirect3DTexture9* FloatTexture(IDirect3DDevice9* pDevice, UINT w, UINT h, DWORD nUsage, D3DPOOL pool)
{
    IDirect3DTexture9* pTexture = nullptr;
    EXPECT_EQ(pDevice->CreateTexture(w, h, 1, nUsage, D3DFMT_A32B32G32R32F, pool, &pTexture, nullptr), D3D_OK);
    return pTexture;
}

void BindTarget(IDirect3DDevice9* pDevice, IDirect3DTexture9* pTexture)
{
    IDirect3DSurface9* pSurface = nullptr;
    pTexture->GetSurfaceLevel(0, &pSurface);
    EXPECT_EQ(pDevice->SetRenderTarget(0, pSurface), D3D_OK);
    pSurface->Release();
}
}

class TracerProgramTest : public TracerTest
{
protected:
    void SetUp() override
    {
        TracerTest::SetUp();
        ASSERT_TRUE(InitAndLoad());
        g_nGridSize = 2;
        AddMesh({D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(1, 0, 0), D3DXVECTOR3(0, 1, 0)});
        m_pApp->BuildTriangleGrid();
        ASSERT_NE(m_pApp->m_pQuadVB, nullptr);
    }

    // The full-screen quad with vertex program 40 and this pixel program into the bound target.
    void DrawQuad(int nPixelProgram)
    {
        IDirect3DDevice9* pDevice = Device();
        Renderer& renderer = *m_pApp->GetRenderer();
        pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
        pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        pDevice->SetVertexDeclaration(g_pQuadDeclaration);
        pDevice->SetStreamSource(0, m_pApp->m_pQuadVB, 0, sizeof(QuadVertex));
        renderer.SelectVertexShader(m_pApp->m_VertexShaders[40]);
        renderer.SelectPixelShader(m_pApp->m_PixelShaders[nPixelProgram]);
        renderer.ApplyShaders();
        EXPECT_EQ(pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2), D3D_OK);
    }
};

TEST_F(TracerProgramTest, QuadAndCopyProgramCopyEveryTexelExactlyAndScaleByC31)
{
    IDirect3DDevice9* pDevice = Device();
    const UINT w = SCREEN_WIDTH, h = SCREEN_HEIGHT;
    IDirect3DTexture9* pSource = FloatTexture(pDevice, w, h, 0, D3DPOOL_MANAGED);
    IDirect3DTexture9* pTarget = FloatTexture(pDevice, w, h, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT);
    ASSERT_TRUE(pSource && pTarget);
    std::mt19937 random(741);
    std::uniform_real_distribution<float> value(-1000.0f, 1000.0f);
    std::vector<float> texels(static_cast<size_t>(w) * h * 4);
    for (float& f : texels)
        f = value(random);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(pSource->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (UINT y = 0; y < h; ++y)
        std::memcpy(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch, &texels[y * w * 4], w * 16);
    pSource->UnlockRect(0);

    m_pApp->SetPointSampling();
    pDevice->SetTexture(0, pSource);
    BindTarget(pDevice, pTarget);
    for (float fScale : {1.0f, 0.25f})
    {
        const float c31[4] = {fScale, 1, 0, 1};
        pDevice->SetPixelShaderConstantF(31, c31, 1);
        DrawQuad(141);
        const d3d9test::SurfaceData data = ReadTexture(pTarget);
        ASSERT_EQ(data.rgba.size(), texels.size());
        for (size_t i = 0; i < texels.size(); ++i)
            ASSERT_EQ(data.rgba[i], texels[i] * fScale) << "scale " << fScale << " value " << i;
    }
    pDevice->SetTexture(0, nullptr);
    pSource->Release();
    pTarget->Release();
}

TEST_F(TracerProgramTest, ClearProgramWritesItsConstantExactlyIntoAHalfFloatTarget)
{
    IDirect3DDevice9* pDevice = Device();
    BindTarget(pDevice, g_pPhotonTargets[0]);
    // The photon counts plus one that the depth pass writes, and values fp16 holds exactly.
    const float c1[4] = {-2.5f, 0.0f, 33.0f, 513.0f};
    pDevice->SetPixelShaderConstantF(1, c1, 1);
    DrawQuad(158);
    const d3d9test::SurfaceData data = ReadTexture(g_pPhotonTargets[0]);
    for (UINT y = 0; y < SCREEN_HEIGHT; ++y)
        for (UINT x = 0; x < SCREEN_WIDTH; ++x)
            for (int i = 0; i < 4; ++i)
                ASSERT_EQ(data.Pixel(x, y)[i], c1[i]) << x << " " << y;
}

TEST(TracerMeshProgram, MeshProgramOutputsMatchTheirFormulas)
{
    const ResourceEntry* pEntry = FindResourceEntry("VSH", 952);
    ASSERT_NE(pEntry, nullptr);
    ShaderAssemblyOptions options;
    options.bStrict = true;
    ShaderAssembly assembly;
    ASSERT_TRUE(AssembleShaderText(static_cast<const char*>(pEntry->m_pData), pEntry->m_nSize, options, assembly));

    // World: scale 2 about z, rotation about y, translation; camera: any matrix.
    D3DXMATRIX scale, rotation, translation, world, camera, transposed;
    D3DXMatrixScaling(&scale, 1.0f, 1.0f, 2.0f);
    D3DXMatrixRotationY(&rotation, 0.7f);
    D3DXMatrixTranslation(&translation, 3.0f, -1.0f, 4.0f);
    world = scale * rotation * translation;
    D3DXMatrixPerspectiveFovLH(&camera, 1.0f, 1.3f, 0.5f, 100.0f);
    const D3DXMATRIX wvp = world * camera;
    float constants[32][4] = {};
    const float light[4] = {10.0f, 20.0f, -5.0f, 1.0f};
    std::memcpy(constants[2], light, sizeof(light));
    D3DXMatrixTranspose(&transposed, &wvp);
    std::memcpy(constants[4], &transposed, 64);
    D3DXMatrixTranspose(&transposed, &world);
    std::memcpy(constants[8], &transposed, 64);
    const float centre[4] = {0.5f, 0.25f, -1.0f, 0.0f}, repeat[4] = {2.0f, 3.0f, 4.0f, 5.0f};
    std::memcpy(constants[14], centre, sizeof(centre));
    std::memcpy(constants[15], repeat, sizeof(repeat));

    const float position[4] = {1.5f, 2.0f, -0.5f, 1.0f}, uv[4] = {0.25f, 0.75f, 0, 1};
    const float tangent[4] = {1, 0, 0, 0}, binormal[4] = {0, 0.6f, 0.8f, 0}, normal[4] = {0, -0.8f, 0.6f, 0};
    const float* pInputs[16] = {position, uv, tangent, binormal, normal};
    VertexBlockOutput output;
    std::string strError;
    ASSERT_TRUE(RunVertexProgram(assembly.tokens, &constants[0][0], 32, pInputs, 1, output, &strError)) << strError;

    const D3DXVECTOR4 r(position[0] - centre[0], position[1] - centre[1], position[2] - centre[2], 1.0f);
    D3DXVECTOR4 clip, worldPosition;
    D3DXVec4Transform(&clip, &r, &wvp);
    D3DXVec4Transform(&worldPosition, &r, &world);
    auto frame = [&](const float* v) {
        D3DXVECTOR3 in(v[0], v[1], v[2]), out;
        D3DXVec3TransformNormal(&out, &in, &world);
        return out;
    };
    const D3DXVECTOR3 t = frame(tangent), b = frame(binormal), n = frame(normal);
    D3DXVECTOR3 unitNormal;
    D3DXVec3Normalize(&unitNormal, &n);
    auto expect = [&](int nOutput, std::initializer_list<float> values, const char* szName) {
        int i = 0;
        for (float f : values)
        {
            EXPECT_NEAR(output.outputs[nOutput][i], f, 1e-4f * std::max(1.0f, std::fabs(f))) << szName << "[" << i << "]";
            ++i;
        }
    };
    const int T = 5;   // oT0 in the bench's output order (oPos 0)
    expect(0, {clip.x, clip.y, clip.z, clip.w}, "oPos");
    expect(T + 0, {worldPosition.x, worldPosition.y, worldPosition.z, worldPosition.w}, "t0");
    expect(T + 1, {uv[0] * 2.0f, uv[1] * 3.0f, uv[1] * 4.0f, uv[0] * 5.0f}, "t1");
    expect(T + 2, {t.x, b.x, n.x}, "t2");
    expect(T + 3, {t.y, b.y, n.y}, "t3");
    expect(T + 4, {t.z, b.z, n.z}, "t4");
    expect(T + 5, {light[0] - worldPosition.x, light[1] - worldPosition.y, light[2] - worldPosition.z}, "t5");
    expect(T + 6, {clip.x, clip.y, clip.z, clip.w}, "t6");
    expect(T + 7, {unitNormal.x, unitNormal.y, unitNormal.z}, "t7");
}

TEST_F(TracerProgramTest, EmissionPassWritesTheScaledPositionIntoTheNormalTarget)
{
    IDirect3DDevice9* pDevice = Device();
    // The quad's texture coordinate stands for the interpolated world position.
    pDevice->SetVertexDeclaration(g_pQuadDeclaration);
    pDevice->SetStreamSource(0, m_pApp->m_pQuadVB, 0, sizeof(QuadVertex));
    m_pApp->GetRenderer()->SelectVertexShader(m_pApp->m_VertexShaders[40]);
    pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    const float c0[4] = {2.0f, 0.0f, 0.0f, 0.0f}, c4[4] = {5.0f, 6.0f, 7.0f, 1.0f};
    pDevice->SetPixelShaderConstantF(0, c0, 1);
    pDevice->SetPixelShaderConstantF(4, c4, 1);
    m_pApp->RenderEmissionPass();
    const d3d9test::SurfaceData data = ReadTexture(g_pGBufferTargets[1]);
    for (UINT y = 0; y < SCREEN_HEIGHT; y += 7)
        for (UINT x = 0; x < SCREEN_WIDTH; x += 5)
        {
            // Direct3D 9 pixel centres sit on the texel corners of the quad's coordinates.
            const float u = static_cast<float>(x) / SCREEN_WIDTH, v = static_cast<float>(y) / SCREEN_HEIGHT;
            const float* p = data.Pixel(x, y);
            // Half-float target: 11 bits of mantissa.
            EXPECT_NEAR(p[0], 2.0f * u, 2e-3f) << x << " " << y;
            EXPECT_NEAR(p[1], 2.0f * v, 2e-3f) << x << " " << y;
            EXPECT_EQ(p[3], 2.0f);
        }
    DWORD nZ = 1;
    pDevice->GetRenderState(D3DRS_ZENABLE, &nZ);
    EXPECT_EQ(nZ, static_cast<DWORD>(FALSE));
}
