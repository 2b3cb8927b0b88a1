#include "ProgramFixture.h"

#include <cstring>

namespace
{
struct QuadVertex
{
    float position[4];
    F4 t[8];
};

const char* const PASS_THROUGH =
    "vs_2_0\ndcl_position v0\ndcl_texcoord0 v1\ndcl_texcoord1 v2\ndcl_texcoord2 v3\ndcl_texcoord3 v4\n"
    "dcl_texcoord4 v5\ndcl_texcoord5 v6\ndcl_texcoord6 v7\ndcl_texcoord7 v8\n"
    "mov oPos, v0\nmov oT0, v1\nmov oT1, v2\nmov oT2, v3\nmov oT3, v4\nmov oT4, v5\nmov oT5, v6\nmov oT6, v7\n"
    "mov oT7, v8\n";

std::vector<DWORD> Assemble(const char* szText, size_t nSize, bool bStrict)
{
    ShaderAssemblyOptions options;
    options.bStrict = bStrict;
    ShaderAssembly assembly;
    bool bOk = AssembleShaderText(szText, nSize, options, assembly);
    EXPECT_TRUE(bOk) << (assembly.errors.empty() ? "" : assembly.errors.front());
    return assembly.tokens;
}

std::vector<DWORD> AssembleResource(const char* szType, int nId)
{
    const ResourceEntry* pEntry = FindResourceEntry(szType, nId);
    EXPECT_NE(pEntry, nullptr) << szType << " " << nId;
    if (!pEntry)
        return {};
    return Assemble(static_cast<const char*>(pEntry->m_pData), pEntry->m_nSize, true);
}
}

void ProgramTest::SetUp()
{
    m_pD3D = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(m_pD3D, nullptr);
    D3DPRESENT_PARAMETERS pp = d3d9test::TestPresentParameters(2, 2);
    ASSERT_EQ(m_pD3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &m_pDevice),
              D3D_OK);
    ASSERT_EQ(m_pDevice->CreateTexture(2, 2, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A32B32G32R32F, D3DPOOL_DEFAULT,
                                       &m_pTarget, nullptr),
              D3D_OK);
    IDirect3DSurface9* pSurface = nullptr;
    m_pTarget->GetSurfaceLevel(0, &pSurface);
    ASSERT_EQ(m_pDevice->SetRenderTarget(0, pSurface), D3D_OK);
    pSurface->Release();
    std::vector<DWORD> tokens = Assemble(PASS_THROUGH, std::strlen(PASS_THROUGH), false);
    ASSERT_EQ(m_pDevice->CreateVertexShader(tokens.data(), &m_pPassThrough), D3D_OK);
    D3DVERTEXELEMENT9 elements[10];
    elements[0] = {0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0};
    for (BYTE i = 0; i < 8; ++i)
        elements[1 + i] = {0, (WORD)(16 + 16 * i), D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, i};
    elements[9] = D3DDECL_END();
    ASSERT_EQ(m_pDevice->CreateVertexDeclaration(elements, &m_pDeclaration), D3D_OK);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
}

void ProgramTest::TearDown()
{
    for (IUnknown* pObject : m_Objects)
        pObject->Release();
    if (m_pDeclaration)
        m_pDeclaration->Release();
    if (m_pPassThrough)
        m_pPassThrough->Release();
    if (m_pTarget)
        m_pTarget->Release();
    if (m_pDevice)
    {
        EXPECT_EQ(m_pDevice->Release(), 0u);
    }
    if (m_pD3D)
        m_pD3D->Release();
}

IDirect3DPixelShader9* ProgramTest::PixelProgram(int nResourceId)
{
    std::vector<DWORD> tokens = AssembleResource("PSH", nResourceId);
    IDirect3DPixelShader9* pShader = nullptr;
    if (tokens.empty() || m_pDevice->CreatePixelShader(tokens.data(), &pShader) != D3D_OK)
        return nullptr;
    m_Objects.push_back(pShader);
    return pShader;
}

IDirect3DVertexShader9* ProgramTest::VertexProgram(int nResourceId)
{
    std::vector<DWORD> tokens = AssembleResource("VSH", nResourceId);
    IDirect3DVertexShader9* pShader = nullptr;
    if (tokens.empty() || m_pDevice->CreateVertexShader(tokens.data(), &pShader) != D3D_OK)
        return nullptr;
    m_Objects.push_back(pShader);
    return pShader;
}

void ProgramTest::BindTexture(DWORD nStage, UINT nWidth, UINT nHeight, const std::vector<F4>& texels)
{
    IDirect3DTexture9* pTexture = nullptr;
    ASSERT_EQ(m_pDevice->CreateTexture(nWidth, nHeight, 1, 0, D3DFMT_A32B32G32R32F, D3DPOOL_MANAGED, &pTexture, nullptr),
              D3D_OK);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(pTexture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (UINT y = 0; y < nHeight; ++y)
        std::memcpy(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch, &texels[y * nWidth], nWidth * sizeof(F4));
    pTexture->UnlockRect(0);
    m_pDevice->SetTexture(nStage, pTexture);
    m_Objects.push_back(pTexture);
    TextureModel::Stage& stage = m_Textures.stages[nStage];
    stage.bBound = true;
    stage.bCube = false;
    stage.nWidth = nWidth;
    stage.nHeight = nHeight;
    stage.texels = texels;
}

void ProgramTest::BindCube(DWORD nStage, const F4 faces[6])
{
    IDirect3DCubeTexture9* pCube = nullptr;
    ASSERT_EQ(m_pDevice->CreateCubeTexture(1, 1, 0, D3DFMT_A32B32G32R32F, D3DPOOL_MANAGED, &pCube, nullptr), D3D_OK);
    for (int face = 0; face < 6; ++face)
    {
        D3DLOCKED_RECT locked;
        ASSERT_EQ(pCube->LockRect((D3DCUBEMAP_FACES)face, 0, &locked, nullptr, 0), D3D_OK);
        std::memcpy(locked.pBits, &faces[face], sizeof(F4));
        pCube->UnlockRect((D3DCUBEMAP_FACES)face, 0);
    }
    m_pDevice->SetTexture(nStage, pCube);
    m_Objects.push_back(pCube);
    TextureModel::Stage& stage = m_Textures.stages[nStage];
    stage.bBound = true;
    stage.bCube = true;
    for (int face = 0; face < 6; ++face)
        stage.faces[face] = faces[face];
}

bool ProgramTest::DrawQuad(int nResourceId, const ProgramInputs& inputs, const Constants& constants)
{
    IDirect3DPixelShader9* pShader = PixelProgram(nResourceId);
    if (!pShader)
        return false;
    m_pDevice->SetPixelShader(pShader);
    m_pDevice->SetVertexShader(m_pPassThrough);
    m_pDevice->SetVertexDeclaration(m_pDeclaration);
    m_pDevice->SetPixelShaderConstantF(0, &constants[0].x, 32);
    QuadVertex quad[4];
    const float corners[4][2] = {{-1, 1}, {1, 1}, {-1, -1}, {1, -1}};
    for (int i = 0; i < 4; ++i)
    {
        quad[i].position[0] = corners[i][0] * 2.0f;
        quad[i].position[1] = corners[i][1] * 2.0f;
        quad[i].position[2] = 0.5f;
        quad[i].position[3] = 1.0f;
        for (int n = 0; n < 8; ++n)
            quad[i].t[n] = inputs.t[n];
    }
    return m_pDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(QuadVertex)) == D3D_OK;
}

F4 ProgramTest::ReadTexel(IDirect3DTexture9* pTarget)
{
    IDirect3DSurface9* pSurface = nullptr;
    pTarget->GetSurfaceLevel(0, &pSurface);
    d3d9test::SurfaceData data;
    EXPECT_TRUE(d3d9test::ReadSurface(pSurface, data));
    pSurface->Release();
    const float* pPixel = data.Pixel(0, 0);
    return {pPixel[0], pPixel[1], pPixel[2], pPixel[3]};
}

F4 ProgramTest::Shade(int nResourceId, const ProgramInputs& inputs, const Constants& constants)
{
    EXPECT_TRUE(DrawQuad(nResourceId, inputs, constants)) << "program " << nResourceId;
    return ReadTexel(m_pTarget);
}

std::vector<F4> ProgramTest::ShadeTargets(int nResourceId, const ProgramInputs& inputs, const Constants& constants,
                                          int nTargets)
{
    std::vector<IDirect3DTexture9*> targets(1, m_pTarget);
    for (int i = 1; i < nTargets; ++i)
    {
        IDirect3DTexture9* pTexture = nullptr;
        EXPECT_EQ(m_pDevice->CreateTexture(2, 2, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A32B32G32R32F, D3DPOOL_DEFAULT,
                                           &pTexture, nullptr),
                  D3D_OK);
        IDirect3DSurface9* pSurface = nullptr;
        pTexture->GetSurfaceLevel(0, &pSurface);
        m_pDevice->SetRenderTarget((DWORD)i, pSurface);
        pSurface->Release();
        targets.push_back(pTexture);
    }
    EXPECT_TRUE(DrawQuad(nResourceId, inputs, constants)) << "program " << nResourceId;
    std::vector<F4> texels;
    for (int i = 0; i < nTargets; ++i)
        texels.push_back(ReadTexel(targets[i]));
    for (int i = 1; i < nTargets; ++i)
    {
        m_pDevice->SetRenderTarget((DWORD)i, nullptr);
        targets[i]->Release();
    }
    return texels;
}

VertexBlockOutput ProgramTest::RunVertex(int nResourceId, const MeshVertexInputs& vertex, const Constants& constants)
{
    VertexBlockOutput output;
    IDirect3DVertexShader9* pShader = VertexProgram(nResourceId);
    if (!pShader)
        return output;
    const float* pInputs[16] = {&vertex.position.x, &vertex.uv.x, &vertex.tangent.x, &vertex.binormal.x,
                                &vertex.normal.x};
    std::string strError;
    EXPECT_TRUE(RunVertexProgram(pShader, &constants[0].x, 32, pInputs, 1, output, &strError)) << strError;
    return output;
}
