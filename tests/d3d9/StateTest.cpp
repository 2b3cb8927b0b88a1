// Device state: documented defaults, round trips, FVF and declarations sharing one slot, state
// blocks, shader constants and programs, and the call recorder.
#include "DeviceFixture.h"

#include "core/Log.h"

#include <bit>
#include <cstring>

namespace
{
using StateTest = DeviceTest;

struct DefaultCase
{
    DWORD state;
    DWORD value;
};

// The defaults the system relies on, from the public documentation of each state.
const DefaultCase g_RenderDefaults[] = {
    {D3DRS_ZENABLE, D3DZB_TRUE},  // the fixture's device has an auto depth-stencil surface
    {D3DRS_ZWRITEENABLE, TRUE},
    {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
    {D3DRS_FILLMODE, D3DFILL_SOLID},
    {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
    {D3DRS_CULLMODE, D3DCULL_CCW},
    {D3DRS_ALPHABLENDENABLE, FALSE},
    {D3DRS_SRCBLEND, D3DBLEND_ONE},
    {D3DRS_DESTBLEND, D3DBLEND_ZERO},
    {D3DRS_BLENDOP, D3DBLENDOP_ADD},
    {D3DRS_ALPHATESTENABLE, FALSE},
    {D3DRS_ALPHAFUNC, D3DCMP_ALWAYS},
    {D3DRS_ALPHAREF, 0},
    {D3DRS_STENCILENABLE, FALSE},
    {D3DRS_STENCILFUNC, D3DCMP_ALWAYS},
    {D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP},
    {D3DRS_STENCILZFAIL, D3DSTENCILOP_KEEP},
    {D3DRS_STENCILPASS, D3DSTENCILOP_KEEP},
    {D3DRS_STENCILREF, 0},
    {D3DRS_STENCILMASK, 0xFFFFFFFF},
    {D3DRS_STENCILWRITEMASK, 0xFFFFFFFF},
    {D3DRS_TWOSIDEDSTENCILMODE, FALSE},
    {D3DRS_CCW_STENCILFUNC, D3DCMP_ALWAYS},
    {D3DRS_COLORWRITEENABLE, 15},
    {D3DRS_LIGHTING, TRUE},
    {D3DRS_AMBIENT, 0},
    {D3DRS_COLORVERTEX, TRUE},
    {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1},
    {D3DRS_SPECULARENABLE, FALSE},
    {D3DRS_FOGENABLE, FALSE},
    {D3DRS_CLIPPING, TRUE},
    {D3DRS_CLIPPLANEENABLE, 0},
    {D3DRS_VERTEXBLEND, D3DVBF_DISABLE},
    {D3DRS_INDEXEDVERTEXBLENDENABLE, FALSE},
    {D3DRS_FOGEND, 0x3F800000},  // 1.0f
};

const DefaultCase g_SamplerDefaults[] = {
    {D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP},  {D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP}, {D3DSAMP_ADDRESSW, D3DTADDRESS_WRAP},
    {D3DSAMP_MAGFILTER, D3DTEXF_POINT},    {D3DSAMP_MINFILTER, D3DTEXF_POINT},   {D3DSAMP_MIPFILTER, D3DTEXF_NONE},
    {D3DSAMP_MAXANISOTROPY, 1},            {D3DSAMP_MIPMAPLODBIAS, 0},           {D3DSAMP_MAXMIPLEVEL, 0},
};

TEST_F(StateTest, DefaultsAreTheDocumentedOnes)
{
    for (const DefaultCase& c : g_RenderDefaults)
    {
        DWORD value = 0xDEADBEEF;
        ASSERT_EQ(m_pDevice->GetRenderState(static_cast<D3DRENDERSTATETYPE>(c.state), &value), D3D_OK);
        EXPECT_EQ(value, c.value) << "render state " << c.state;
    }
    for (DWORD sampler = 0; sampler < 16; ++sampler)
        for (const DefaultCase& c : g_SamplerDefaults)
        {
            DWORD value = 0xDEADBEEF;
            ASSERT_EQ(m_pDevice->GetSamplerState(sampler, static_cast<D3DSAMPLERSTATETYPE>(c.state), &value), D3D_OK);
            EXPECT_EQ(value, c.value) << "sampler " << sampler << " state " << c.state;
        }
    for (DWORD stage = 0; stage < 8; ++stage)
    {
        const DefaultCase stageDefaults[] = {
            {D3DTSS_COLOROP, stage == 0 ? DWORD{D3DTOP_MODULATE} : DWORD{D3DTOP_DISABLE}},
            {D3DTSS_ALPHAOP, stage == 0 ? DWORD{D3DTOP_SELECTARG1} : DWORD{D3DTOP_DISABLE}},
            {D3DTSS_COLORARG1, D3DTA_TEXTURE},
            {D3DTSS_COLORARG2, D3DTA_CURRENT},
            {D3DTSS_ALPHAARG1, D3DTA_TEXTURE},
            {D3DTSS_ALPHAARG2, D3DTA_CURRENT},
            {D3DTSS_TEXCOORDINDEX, stage},
            {D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE},
        };
        for (const DefaultCase& c : stageDefaults)
        {
            DWORD value = 0xDEADBEEF;
            ASSERT_EQ(m_pDevice->GetTextureStageState(stage, static_cast<D3DTEXTURESTAGESTATETYPE>(c.state), &value),
                      D3D_OK);
            EXPECT_EQ(value, c.value) << "stage " << stage << " state " << c.state;
        }
    }
    D3DVIEWPORT9 viewport;
    ASSERT_EQ(m_pDevice->GetViewport(&viewport), D3D_OK);
    EXPECT_EQ(viewport.Width, 16u);
    EXPECT_EQ(viewport.Height, 16u);
    EXPECT_EQ(viewport.MinZ, 0.0f);
    EXPECT_EQ(viewport.MaxZ, 1.0f);
    IDirect3DBaseTexture9* pTexture = reinterpret_cast<IDirect3DBaseTexture9*>(1);
    EXPECT_EQ(m_pDevice->GetTexture(0, &pTexture), D3D_OK);
    EXPECT_EQ(pTexture, nullptr);
    IDirect3DVertexDeclaration9* pDecl = reinterpret_cast<IDirect3DVertexDeclaration9*>(1);
    EXPECT_EQ(m_pDevice->GetVertexDeclaration(&pDecl), D3D_OK);
    EXPECT_EQ(pDecl, nullptr);
    float constant[4] = {1, 1, 1, 1};
    EXPECT_EQ(m_pDevice->GetPixelShaderConstantF(31, constant, 1), D3D_OK);
    EXPECT_EQ(constant[3], 0.0f);
}

TEST(StateDefaultTest, ZEnableIsFalseWithoutAnAutoDepthStencil)
{
    IDirect3D9* pD3D = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS pp = TestPresentParameters(8, 8, D3DFMT_UNKNOWN);
    IDirect3DDevice9* pDevice = nullptr;
    ASSERT_EQ(pD3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0, &pp, &pDevice), D3D_OK);
    DWORD value = 7;
    pDevice->GetRenderState(D3DRS_ZENABLE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DZB_FALSE));
    IDirect3DSurface9* pDepth = reinterpret_cast<IDirect3DSurface9*>(1);
    EXPECT_EQ(pDevice->GetDepthStencilSurface(&pDepth), D3DERR_NOTFOUND);
    EXPECT_EQ(pDepth, nullptr);
    EXPECT_EQ(pDevice->Release(), 0u);
    EXPECT_EQ(pD3D->Release(), 0u);
}

TEST_F(StateTest, CapsAndAdapterIdentity)
{
    D3DCAPS9 caps;
    ASSERT_EQ(m_pD3D->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3D_OK);
    EXPECT_EQ(caps.MaxSimultaneousTextures, 8u);
    EXPECT_EQ(caps.MaxAnisotropy, 1u);
    EXPECT_EQ(caps.MaxTextureWidth, 4096u);
    EXPECT_EQ(caps.NumSimultaneousRTs, 4u);
    EXPECT_EQ(caps.PixelShaderVersion, static_cast<DWORD>(D3DPS_VERSION(2, 0)));
    D3DADAPTER_IDENTIFIER9 identifier;
    ASSERT_EQ(m_pD3D->GetAdapterIdentifier(0, 0, &identifier), D3D_OK);
    EXPECT_GT(std::strlen(identifier.Description), 0u);
    EXPECT_GT(std::strlen(identifier.DeviceName), 0u);
    EXPECT_EQ(m_pD3D->GetAdapterIdentifier(1, 0, &identifier), D3DERR_INVALIDCALL);
}

TEST_F(StateTest, SetAndGetRoundTrips)
{
    ASSERT_EQ(m_pDevice->SetRenderState(D3DRS_ALPHAREF, 8), D3D_OK);
    DWORD value = 0;
    m_pDevice->GetRenderState(D3DRS_ALPHAREF, &value);
    EXPECT_EQ(value, 8u);
    EXPECT_EQ(m_pDevice->SetRenderState(static_cast<D3DRENDERSTATETYPE>(3), 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_pDevice->SetSamplerState(16, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_pDevice->SetTextureStageState(8, D3DTSS_COLOROP, D3DTOP_ADD), D3DERR_INVALIDCALL);

    D3DMATRIX world = {};
    for (int i = 0; i < 16; ++i)
        (&world._11)[i] = static_cast<float>(i + 1);
    ASSERT_EQ(m_pDevice->SetTransform(D3DTS_WORLD, &world), D3D_OK);
    D3DMATRIX back;
    ASSERT_EQ(m_pDevice->GetTransform(D3DTS_WORLD, &back), D3D_OK);
    EXPECT_EQ(std::memcmp(&world, &back, sizeof(back)), 0);
    ASSERT_EQ(m_pDevice->GetTransform(D3DTS_VIEW, &back), D3D_OK);
    EXPECT_EQ(back._11, 1.0f);
    EXPECT_EQ(back._12, 0.0f);

    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_POINT;
    light.Range = 100.0f;
    light.Attenuation1 = 0.5f;
    ASSERT_EQ(m_pDevice->SetLight(2, &light), D3D_OK);
    ASSERT_EQ(m_pDevice->LightEnable(2, TRUE), D3D_OK);
    D3DLIGHT9 lightBack;
    ASSERT_EQ(m_pDevice->GetLight(2, &lightBack), D3D_OK);
    EXPECT_EQ(std::memcmp(&light, &lightBack, sizeof(light)), 0);
    BOOL enabled = FALSE;
    ASSERT_EQ(m_pDevice->GetLightEnable(2, &enabled), D3D_OK);
    EXPECT_TRUE(enabled);
    EXPECT_EQ(m_pDevice->GetLight(3, &lightBack), D3DERR_INVALIDCALL);
    // Enabling an unset light gives it the default white directional light.
    ASSERT_EQ(m_pDevice->LightEnable(4, TRUE), D3D_OK);
    ASSERT_EQ(m_pDevice->GetLight(4, &lightBack), D3D_OK);
    EXPECT_EQ(lightBack.Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_EQ(lightBack.Direction.z, 1.0f);
    EXPECT_EQ(lightBack.Diffuse.r, 1.0f);

    D3DMATERIAL9 material{};
    material.Diffuse = {1.0f, 0.5f, 0.25f, 1.0f};
    material.Power = 8.0f;
    ASSERT_EQ(m_pDevice->SetMaterial(&material), D3D_OK);
    D3DMATERIAL9 materialBack;
    m_pDevice->GetMaterial(&materialBack);
    EXPECT_EQ(std::memcmp(&material, &materialBack, sizeof(material)), 0);
}

TEST(StateLayoutTest, RecordsHaveThePublicSizes)
{
    EXPECT_EQ(sizeof(D3DMATERIAL9), 68u);
    EXPECT_EQ(sizeof(D3DLIGHT9), 104u);
    EXPECT_EQ(sizeof(D3DVERTEXELEMENT9), 8u);
    EXPECT_EQ(sizeof(D3DVIEWPORT9), 24u);
}

// Elements of a declaration, compared field by field.
std::vector<D3DVERTEXELEMENT9> ElementsOf(IDirect3DVertexDeclaration9* pDecl)
{
    UINT count = 0;
    pDecl->GetDeclaration(nullptr, &count);
    std::vector<D3DVERTEXELEMENT9> elements(count);
    pDecl->GetDeclaration(elements.data(), &count);
    elements.pop_back();  // the end marker
    return elements;
}

bool SameElement(const D3DVERTEXELEMENT9& a, const D3DVERTEXELEMENT9& b)
{
    return a.Stream == b.Stream && a.Offset == b.Offset && a.Type == b.Type && a.Method == b.Method &&
           a.Usage == b.Usage && a.UsageIndex == b.UsageIndex;
}

TEST_F(StateTest, FvfAndDeclarationShareOneSlot)
{
    const D3DVERTEXELEMENT9 quad[] = {{0, 0, D3DDECLTYPE_FLOAT4, 0, D3DDECLUSAGE_POSITION, 0},
                                      {0, 16, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 0},
                                      D3DDECL_END()};
    IDirect3DVertexDeclaration9* pQuad = nullptr;
    ASSERT_EQ(m_pDevice->CreateVertexDeclaration(quad, &pQuad), D3D_OK);
    ASSERT_EQ(m_pDevice->SetVertexDeclaration(pQuad), D3D_OK);
    DWORD fvf = 1;
    m_pDevice->GetFVF(&fvf);
    EXPECT_EQ(fvf, 0u);

    // An FVF replaces the declaration with one describing the same vertex.
    ASSERT_EQ(m_pDevice->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1), D3D_OK);
    m_pDevice->GetFVF(&fvf);
    EXPECT_EQ(fvf, 0x144u);
    IDirect3DVertexDeclaration9* pCurrent = nullptr;
    ASSERT_EQ(m_pDevice->GetVertexDeclaration(&pCurrent), D3D_OK);
    ASSERT_NE(pCurrent, nullptr);
    EXPECT_NE(pCurrent, pQuad);
    const D3DVERTEXELEMENT9 expected[] = {{0, 0, D3DDECLTYPE_FLOAT4, 0, D3DDECLUSAGE_POSITIONT, 0},
                                          {0, 16, D3DDECLTYPE_D3DCOLOR, 0, D3DDECLUSAGE_COLOR, 0},
                                          {0, 20, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 0}};
    const auto elements = ElementsOf(pCurrent);
    ASSERT_EQ(elements.size(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(SameElement(elements[i], expected[i])) << i;
    pCurrent->Release();

    // And the declaration replaces the FVF.
    ASSERT_EQ(m_pDevice->SetVertexDeclaration(pQuad), D3D_OK);
    m_pDevice->GetFVF(&fvf);
    EXPECT_EQ(fvf, 0u);
    ASSERT_EQ(m_pDevice->GetVertexDeclaration(&pCurrent), D3D_OK);
    EXPECT_EQ(pCurrent, pQuad);
    pCurrent->Release();
    m_pDevice->SetVertexDeclaration(nullptr);
    pQuad->Release();
}

struct FvfCase
{
    DWORD fvf;
    UINT size;
};

// Vertex sizes of the codes the system uses (position, normal, colour, texture sets).
const FvfCase g_FvfCases[] = {
    {0x42, 16}, {0x144, 28}, {0x12, 24}, {0x112, 32}, {0x102, 20}, {0x104, 24},
    {D3DFVF_XYZ | D3DFVF_TEX2 | D3DFVF_TEXCOORDSIZE3(0) | D3DFVF_TEXCOORDSIZE1(1), 28},
};

TEST_F(StateTest, FvfDeclarationsHaveTheVertexSize)
{
    for (const FvfCase& c : g_FvfCases)
    {
        ASSERT_EQ(m_pDevice->SetFVF(c.fvf), D3D_OK) << c.fvf;
        IDirect3DVertexDeclaration9* pDecl = nullptr;
        ASSERT_EQ(m_pDevice->GetVertexDeclaration(&pDecl), D3D_OK);
        UINT size = 0;
        for (const D3DVERTEXELEMENT9& element : ElementsOf(pDecl))
        {
            static const UINT kSizes[] = {4, 8, 12, 16, 4};
            size = std::max<UINT>(size, element.Offset + kSizes[element.Type]);
        }
        EXPECT_EQ(size, c.size) << std::hex << c.fvf;
        pDecl->Release();
    }
    EXPECT_EQ(m_pDevice->SetFVF(0x4004), D3DERR_INVALIDCALL);
}

TEST_F(StateTest, StateBlockRestoresExactlyWhatItRecorded)
{
    IDirect3DTexture9* pTexture = nullptr;
    ASSERT_EQ(m_pDevice->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &pTexture, nullptr), D3D_OK);
    const float constant[4] = {1.0f, 2.0f, 3.0f, 4.0f};

    ASSERT_EQ(m_pDevice->BeginStateBlock(), D3D_OK);
    m_pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_GREATER);
    m_pDevice->SetSamplerState(2, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRROR);
    m_pDevice->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
    m_pDevice->SetTexture(1, pTexture);
    m_pDevice->SetVertexShaderConstantF(3, constant, 1);
    IDirect3DStateBlock9* pBlock = nullptr;
    ASSERT_EQ(m_pDevice->EndStateBlock(&pBlock), D3D_OK);

    // Recording leaves the device as it was.
    DWORD value = 0;
    m_pDevice->GetRenderState(D3DRS_ZFUNC, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DCMP_LESSEQUAL));

    // Other state set afterwards is not touched by Apply.
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    const d3d9test::StateSnapshot before = d3d9test::CaptureState(m_pDevice);
    ASSERT_EQ(pBlock->Apply(), D3D_OK);
    const auto applied = d3d9test::DiffState(before, d3d9test::CaptureState(m_pDevice));
    const std::vector<std::string> expected = {
        "RenderState ZFUNC: LESSEQUAL -> GREATER",
        "SamplerState 2 ADDRESSU: WRAP -> MIRROR",
        "StageState 1 COLOROP: DISABLE -> ADD",
        "Texture 1: NULL -> Texture#3",
        "VertexConstantF 3: {0 0 0 0} -> {1 2 3 4}",
    };
    EXPECT_EQ(applied, expected);

    // Capture refreshes only the recorded entries from the device.
    m_pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
    m_pDevice->SetTexture(1, nullptr);
    ASSERT_EQ(pBlock->Capture(), D3D_OK);
    m_pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
    m_pDevice->SetTexture(1, pTexture);
    m_pDevice->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    pBlock->Apply();
    m_pDevice->GetRenderState(D3DRS_ZFUNC, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DCMP_ALWAYS));
    IDirect3DBaseTexture9* pBound = nullptr;
    m_pDevice->GetTexture(1, &pBound);
    EXPECT_EQ(pBound, nullptr);
    m_pDevice->GetRenderState(D3DRS_SHADEMODE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DSHADE_FLAT));

    EXPECT_EQ(m_pDevice->EndStateBlock(&pBlock), D3DERR_INVALIDCALL);
    pBlock->Release();
    pTexture->Release();
}

TEST_F(StateTest, ShaderConstantsStayInRange)
{
    const float values[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(m_pDevice->SetPixelShaderConstantF(31, values, 1), D3D_OK);
    EXPECT_EQ(m_pDevice->SetPixelShaderConstantF(31, values + 4, 2), D3DERR_INVALIDCALL);
    float back[4];
    m_pDevice->GetPixelShaderConstantF(31, back, 1);
    EXPECT_EQ(back[0], 1.0f);  // the refused write changed nothing
    EXPECT_EQ(m_pDevice->SetVertexShaderConstantF(255, values, 1), D3D_OK);
    EXPECT_EQ(m_pDevice->SetVertexShaderConstantF(256, values, 1), D3DERR_INVALIDCALL);
    const int ints[4] = {1, 2, 3, 4};
    EXPECT_EQ(m_pDevice->SetPixelShaderConstantI(15, ints, 1), D3D_OK);
    EXPECT_EQ(m_pDevice->SetPixelShaderConstantI(16, ints, 1), D3DERR_INVALIDCALL);
    const BOOL bools[2] = {TRUE, 5};
    EXPECT_EQ(m_pDevice->SetVertexShaderConstantB(14, bools, 2), D3D_OK);
    BOOL boolBack[2];
    m_pDevice->GetVertexShaderConstantB(14, boolBack, 2);
    EXPECT_EQ(boolBack[1], TRUE);
}

TEST_F(StateTest, ShadersKeepTheirTokensAndCheckTheVersion)
{
    // A comment block holding the end token's value does not end the program.
    const DWORD program[] = {D3DPS_VERSION(2, 0), 0x0002FFFE, 0x0000FFFF, 0x12345678,
                             0x02000001, 0x800F0800, 0xA0E40000, 0x0000FFFF};
    IDirect3DPixelShader9* pShader = nullptr;
    ASSERT_EQ(m_pDevice->CreatePixelShader(program, &pShader), D3D_OK);
    UINT size = 0;
    ASSERT_EQ(pShader->GetFunction(nullptr, &size), D3D_OK);
    EXPECT_EQ(size, sizeof(program));
    std::vector<DWORD> tokens(size / 4);
    ASSERT_EQ(pShader->GetFunction(tokens.data(), &size), D3D_OK);
    EXPECT_EQ(std::memcmp(tokens.data(), program, sizeof(program)), 0);
    ASSERT_EQ(m_pDevice->SetPixelShader(pShader), D3D_OK);
    IDirect3DPixelShader9* pBound = nullptr;
    ASSERT_EQ(m_pDevice->GetPixelShader(&pBound), D3D_OK);
    EXPECT_EQ(pBound, pShader);
    pBound->Release();
    m_pDevice->SetPixelShader(nullptr);
    pShader->Release();

    const DWORD vs30[] = {D3DVS_VERSION(3, 0), 0x0000FFFF};
    const DWORD ps11[] = {D3DPS_VERSION(1, 1), 0x0000FFFF};
    IDirect3DVertexShader9* pVertex = nullptr;
    EXPECT_EQ(m_pDevice->CreateVertexShader(vs30, &pVertex), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_pDevice->CreatePixelShader(ps11, &pShader), D3DERR_INVALIDCALL);
    const DWORD vs11[] = {D3DVS_VERSION(1, 1), 0x0000FFFF};
    ASSERT_EQ(m_pDevice->CreateVertexShader(vs11, &pVertex), D3D_OK);
    pVertex->Release();
}

TEST_F(StateTest, RecorderListsCallsAndFailNextFails)
{
    d3d9test::Recorder recorder(m_pDevice);
    m_pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    m_pDevice->SetSamplerState(3, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
    m_pDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_CURRENT);
    IDirect3DTexture9* pTexture = nullptr;
    m_pDevice->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &pTexture, nullptr);
    m_pDevice->SetTexture(2, pTexture);
    d3d9test::FailNext(m_pDevice, "SetTexture");
    EXPECT_EQ(m_pDevice->SetTexture(0, pTexture), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_pDevice->SetTexture(0, nullptr), D3D_OK);
    recorder.Stop();
    m_pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESS);  // not recorded

    const std::vector<std::string> all = {
        "SetRenderState(ZFUNC, LESSEQUAL)",
        "SetSamplerState(3, MIPFILTER, LINEAR)",
        "SetTextureStageState(0, COLORARG1, CURRENT)",
        "CreateTexture(4, 4, 1, 0, A8R8G8B8, MANAGED)",
        "SetTexture(2, Texture#3)",
        "SetTexture(0, Texture#3)",
        "SetTexture(0, NULL)",
    };
    EXPECT_EQ(recorder.Texts(), all);
    const std::vector<std::string> textures = {"SetTexture(2, Texture#3)", "SetTexture(0, Texture#3)",
                                               "SetTexture(0, NULL)"};
    EXPECT_EQ(recorder.Texts({"SetTexture"}), textures);
    const auto calls = recorder.Calls();
    EXPECT_EQ(calls[3].strOutput, "Texture#3");
    EXPECT_EQ(calls[5].hResult, D3DERR_INVALIDCALL);
    m_pDevice->SetTexture(2, nullptr);
    pTexture->Release();
}
}  // namespace
