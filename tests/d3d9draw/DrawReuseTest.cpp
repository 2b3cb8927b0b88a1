// The back end keeps its working storage from draw to draw: a draw must come out the same
// whatever was drawn before it and however many workers share it, and a query adds up every
// draw between BEGIN and END.
#include "DrawFixture.h"

namespace
{
// Position as given (clip space), colour passed through.
const char s_szPassThrough[] =
    "vs_2_0\n"
    "dcl_position v0\n"
    "dcl_color v1\n"
    "mov oPos, v0\n"
    "mov oD0, v1\n";

// Position moved by c0, colour from the pixel program.
const char s_szOffset[] =
    "vs_2_0\n"
    "dcl_position v0\n"
    "dcl_color v1\n"
    "add oPos, v0, c0\n"
    "mov oD0, v1\n";

// The colour in c0.
const char s_szConstantColor[] =
    "ps_2_0\n"
    "mov oC0, c0\n";

// Kills every pixel.
const char s_szKillAll[] =
    "ps_2_0\n"
    "def c0, -1, -1, -1, -1\n"
    "mov r0, c0\n"
    "texkill r0\n"
    "mov oC0, c0\n";

struct ClipVertexData
{
    float x, y, z, w;
    D3DCOLOR color;
};

class DrawReuseTest : public DrawTest
{
protected:
    void SetUp() override
    {
        CreateDevice(160, 120, D3DFMT_D24S8);  // large enough for draws split over workers
        m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        m_pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
        const D3DVERTEXELEMENT9 elements[] = {
            {0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
            {0, 16, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
            D3DDECL_END()};
        ASSERT_EQ(m_pDevice->CreateVertexDeclaration(elements, &m_pDeclaration), D3D_OK);
        ShaderAssembly assembly;
        AssembleShaderText(s_szPassThrough, std::strlen(s_szPassThrough), ShaderAssemblyOptions(), assembly);
        ASSERT_TRUE(assembly.errors.empty());
        ASSERT_EQ(m_pDevice->CreateVertexShader(assembly.tokens.data(), &m_pVertexShader), D3D_OK);
    }

    void TearDown() override
    {
        d3d9test::SetThreadCount(m_pDevice, 0);
        m_pDevice->SetVertexShader(nullptr);
        m_pDevice->SetVertexDeclaration(nullptr);
        m_pDevice->SetPixelShader(nullptr);
        m_pVertexShader->Release();
        m_pDeclaration->Release();
        DrawTest::TearDown();
    }

    // 3,000 overlapping triangles (9,000 vertices, enough to shade them on every worker), a
    // band of them crossing the near plane so that clipping adds vertices; then their vertices
    // as points.
    static std::vector<ClipVertexData> Mesh()
    {
        std::vector<ClipVertexData> vertices;
        for (int i = 0; i < 3000; ++i)
        {
            const float x = -1.1f + 2.2f * (float)(i % 60) / 60.0f, y = -1.1f + 2.2f * (float)(i / 60) / 50.0f;
            const float w = 1.0f + 0.5f * (float)(i % 7) / 7.0f;
            const float z = (i / 60) % 9 == 4 ? -0.3f : 0.1f + 0.8f * (float)((i * 13) % 17) / 17.0f;
            const D3DCOLOR color = D3DCOLOR_ARGB(255, (i * 37) & 255, (i * 91) & 255, (i * 23) & 255);
            vertices.push_back({x * w, y * w, z * w, w, color});
            vertices.push_back({(x + 0.09f) * w, (y + 0.02f) * w, (z + 0.3f) * w, w, 0xFFFFFFFF});
            vertices.push_back({(x + 0.01f) * w, (y + 0.11f) * w, 0.5f * w, w, color});
        }
        return vertices;
    }

    void DrawMesh()
    {
        const std::vector<ClipVertexData> mesh = Mesh();
        m_pDevice->SetVertexDeclaration(m_pDeclaration);
        m_pDevice->SetVertexShader(m_pVertexShader);
        ASSERT_EQ(m_pDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, (UINT)mesh.size() / 3, mesh.data(),
                                             sizeof(ClipVertexData)),
                  D3D_OK);
        // The same vertices as points, enough to be set up in chunks on the workers.
        ASSERT_EQ(m_pDevice->DrawPrimitiveUP(D3DPT_POINTLIST, (UINT)mesh.size(), mesh.data(), sizeof(ClipVertexData)),
                  D3D_OK);
        m_pDevice->SetVertexShader(nullptr);
    }

    // A pre-transformed rectangle of pixels [x0, x1) × [y0, y1).
    void DrawScreenRect(float x0, float y0, float x1, float y1, D3DCOLOR color)
    {
        m_pDevice->SetFVF(SCREEN_FVF);
        DrawRect(x0, y0, x1, y1, color);
    }

    std::vector<BYTE> Clear()
    {
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        return ReadBackBuffer().bytes;
    }

    IDirect3DVertexDeclaration9* m_pDeclaration = nullptr;
    IDirect3DVertexShader9* m_pVertexShader = nullptr;
};

// The program-shaded mesh, split over workers both in the vertex stage and in the bins, gives the
// same bytes for 1, 2 and 3 workers, and a small draw after it matches the same draw alone.
TEST_F(DrawReuseTest, LargeThenSmallDrawsMatchAcrossWorkerCounts)
{
    Clear();
    DrawScreenRect(5, 7, 12, 10, 0xFF00FF00);
    const std::vector<BYTE> smallAlone = ReadBackBuffer().bytes;
    std::vector<BYTE> meshes[3];
    for (unsigned nThreads = 1; nThreads <= 3; ++nThreads)
    {
        d3d9test::SetThreadCount(m_pDevice, nThreads);
        Clear();
        DrawMesh();
        meshes[nThreads - 1] = ReadBackBuffer().bytes;
        Clear();
        EXPECT_EQ(CountPixels([&] { DrawScreenRect(5, 7, 12, 10, 0xFF00FF00); }), 21u) << nThreads << " workers";
        EXPECT_EQ(ReadBackBuffer().bytes, smallAlone) << nThreads << " workers";
    }
    EXPECT_NE(meshes[0], Clear()) << "the mesh draws something";
    EXPECT_EQ(meshes[1], meshes[0]);
    EXPECT_EQ(meshes[2], meshes[0]);
}

// Pixels killed by a program in one draw are not remembered by the next draw of other shading.
TEST_F(DrawReuseTest, KilledPixelsDoNotCarryIntoTheNextDraw)
{
    IDirect3DPixelShader9* pKill = PixelShader(s_szKillAll);
    for (unsigned nThreads : {1u, 3u})
    {
        d3d9test::SetThreadCount(m_pDevice, nThreads);
        Clear();
        m_pDevice->SetPixelShader(pKill);
        EXPECT_EQ(CountPixels([&] { DrawScreenRect(0, 0, 160, 120, 0xFFFFFFFF); }), 0u) << nThreads << " workers";
        m_pDevice->SetPixelShader(nullptr);
        EXPECT_EQ(CountPixels([&] { DrawScreenRect(0, 0, 160, 120, 0xFFFFFFFF); }), 160u * 120u) << nThreads << " workers";
    }
    pKill->Release();
}

// Constants set between two draws of the same programs reach the second draw: the vertex
// constant moves the quad right by half the clip space (80 pixels), the pixel constant recolours
// it, and the first quad keeps its colour.
TEST_F(DrawReuseTest, ConstantsChangedBetweenDrawsOfOneProgram)
{
    ShaderAssembly assembly;
    AssembleShaderText(s_szOffset, std::strlen(s_szOffset), ShaderAssemblyOptions(), assembly);
    IDirect3DVertexShader9* pOffset = nullptr;
    ASSERT_EQ(m_pDevice->CreateVertexShader(assembly.tokens.data(), &pOffset), D3D_OK);
    IDirect3DPixelShader9* pColor = PixelShader(s_szConstantColor);
    Clear();
    m_pDevice->SetVertexDeclaration(m_pDeclaration);
    m_pDevice->SetVertexShader(pOffset);
    m_pDevice->SetPixelShader(pColor);
    // Clip x from -1 to -0.5: pixels 0 to 39 of 160.
    const ClipVertexData quad[4] = {{-1.0f, 1.0f, 0.5f, 1.0f, 0}, {-0.5f, 1.0f, 0.5f, 1.0f, 0},
                                    {-1.0f, -1.0f, 0.5f, 1.0f, 0}, {-0.5f, -1.0f, 0.5f, 1.0f, 0}};
    const float red[4] = {1, 0, 0, 1}, green[4] = {0, 1, 0, 1}, still[4] = {0, 0, 0, 0}, right[4] = {1, 0, 0, 0};
    for (int nDraw = 0; nDraw < 2; ++nDraw)
    {
        m_pDevice->SetVertexShaderConstantF(0, nDraw ? right : still, 1);
        m_pDevice->SetPixelShaderConstantF(0, nDraw ? green : red, 1);
        ASSERT_EQ(m_pDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ClipVertexData)), D3D_OK);
    }
    const d3d9test::SurfaceData image = ReadBackBuffer();
    const int expected[][3] = {{20, 255, 0}, {60, 0, 0}, {100, 0, 255}};   // x, red, green
    for (const auto& e : expected)
    {
        EXPECT_EQ(Channel(image, e[0], 60, 0), e[1]) << "x " << e[0];
        EXPECT_EQ(Channel(image, e[0], 60, 1), e[2]) << "x " << e[0];
    }
    m_pDevice->SetVertexShader(nullptr);
    m_pDevice->SetPixelShader(nullptr);
    pOffset->Release();
    pColor->Release();
}

// One BEGIN/END around several draws, small ones on the calling thread and a full-screen one
// split over the workers, counts every passing pixel of each: the three rectangles in front of a
// cleared depth, then the full screen behind the first of them (depth 0.5 against 0.75).
TEST_F(DrawReuseTest, QuerySpansSeveralDraws)
{
    d3d9test::SetThreadCount(m_pDevice, 3);
    Clear();
    m_pDevice->SetFVF(SCREEN_FVF);
    const DWORD nCount = CountPixels([&] {
        DrawRect(0, 0, 10, 10, 0xFFFF0000, 0.5f);
        DrawRect(20, 20, 23, 27, 0xFFFF0000, 0.5f);
        DrawRect(40, 0, 41, 120, 0xFFFF0000, 0.5f);
        DrawRect(0, 0, 160, 120, 0xFF0000FF, 0.75f);
    });
    EXPECT_EQ(nCount, 100u + 21u + 120u + (160u * 120u - 100u - 21u - 120u));
}
}
