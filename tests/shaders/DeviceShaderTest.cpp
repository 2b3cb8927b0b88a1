// Shader objects of the device: created from the assembler's tokens, checked again by the back
// end, and run on the program bench from the object.
#include <ProgramBench.h>
#include <ShaderAssembler.h>
#include <core/Log.h>
#include <d3d9.h>
#include <d3d9/testing.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{
std::vector<DWORD> Assemble(const char* szText)
{
    ShaderAssembly result;
    EXPECT_TRUE(AssembleShaderText(szText, std::strlen(szText), ShaderAssemblyOptions(), result));
    return result.tokens;
}
}

TEST(DeviceShaderTest, CreatesFromAssembledTokensAndRefusesWhatItCannotRun)
{
    IDirect3D9* pD3D = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(pD3D, nullptr);
    D3DPRESENT_PARAMETERS pp = d3d9test::TestPresentParameters(16, 16);
    IDirect3DDevice9* pDevice = nullptr;
    ASSERT_EQ(pD3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &pDevice),
              D3D_OK);

    std::vector<DWORD> pixel = Assemble("ps.2.0\ndef c1, 0.5, 0.25, 2, 1\nmul r0, c0, c1\nmov oC0, r0\n");
    IDirect3DPixelShader9* pPixel = nullptr;
    ASSERT_EQ(pDevice->CreatePixelShader(pixel.data(), &pPixel), D3D_OK);
    // def c1 wins over the c1 set from outside.
    const float constants[8] = {2, 4, 8, 16, 100, 100, 100, 100};
    PixelQuadInput input;
    PixelQuadOutput output;
    ASSERT_TRUE(RunPixelProgram(pPixel, constants, 2, nullptr, input, output));
    EXPECT_EQ(output.oC[0][2][0], 1.0f);
    EXPECT_EQ(output.oC[0][2][1], 1.0f);
    EXPECT_EQ(output.oC[0][2][2], 16.0f);
    EXPECT_EQ(output.oC[0][2][3], 16.0f);
    pPixel->Release();

    std::vector<DWORD> vertex = Assemble("vs_2_0\ndcl_position v0\nadd oPos, v0, c0\n");
    IDirect3DVertexShader9* pVertex = nullptr;
    ASSERT_EQ(pDevice->CreateVertexShader(vertex.data(), &pVertex), D3D_OK);
    const float position[4] = {1, 2, 3, 4};
    const float* pInputs[16] = {position};
    VertexBlockOutput vertexOutput;
    ASSERT_TRUE(RunVertexProgram(pVertex, constants, 1, pInputs, 1, vertexOutput));
    EXPECT_EQ(vertexOutput.outputs[0][3], 20.0f);
    pVertex->Release();

    // Streams the assembler would never write: the device refuses them and logs why.
    SetLogEcho(false);
    size_t nLines = GetLogLines().size();
    std::vector<DWORD> relative = pixel;
    relative[9] |= D3DSHADER_ADDRMODE_RELATIVE;   // the mul's first source
    std::vector<DWORD> flow = {D3DPS_VERSION(2, 0), D3DSIO_REP | (1u << 24), 0xF0E40000, D3DSIO_ENDREP, 0x0000FFFF};
    std::vector<DWORD> outOfRange = vertex;
    outOfRange[outOfRange.size() - 2] |= 300;   // c300
    EXPECT_EQ(pDevice->CreatePixelShader(relative.data(), &pPixel), D3DERR_INVALIDCALL);
    EXPECT_EQ(pDevice->CreatePixelShader(flow.data(), &pPixel), D3DERR_INVALIDCALL);
    EXPECT_EQ(pDevice->CreateVertexShader(outOfRange.data(), &pVertex), D3DERR_INVALIDCALL);
    EXPECT_EQ(GetLogLines().size(), nLines + 3);
    EXPECT_NE(GetLogLines().back().m_strText.find("ShaderProgram::Compile() - "), std::string::npos);
    SetLogEcho(true);

    EXPECT_EQ(pDevice->Release(), 0u);
    EXPECT_EQ(pD3D->Release(), 0u);
}
