// Shader programs assembled from the program resources and from text: the ids handed out, the
// device shaders made, and the message box the user sees when a program does not assemble.
#include "RendererDeviceFixture.h"

#include "core/FileIO.h"
#include "core/Log.h"

#include <win32/layer.h>
#include <win32/resources.h>

#include <cstdio>
#include <cstring>

namespace
{
const char PIXEL_GOOD[] = "ps_2_0\nmov oC0, c0\n";
const char PIXEL_BAD[] = "ps_2_0\nmov oC0, c0.xzy\n";   // arbitrary swizzles are not ps_2_0
const char VERTEX_GOOD[] = "vs_1_1\ndcl_position v0\nmov oPos, v0\n";

const ResourceEntry PROGRAMS[] = {
    {"PSH", 600, PIXEL_GOOD, sizeof(PIXEL_GOOD) - 1},
    {"PSH", 601, PIXEL_BAD, sizeof(PIXEL_BAD) - 1},
    {"PSH", 602, PIXEL_GOOD, sizeof(PIXEL_GOOD) - 1},
    {"VSH", 900, VERTEX_GOOD, sizeof(VERTEX_GOOD) - 1},
};

class Direct3DRendererShaders : public RendererDeviceTest
{
protected:
    void SetUp() override
    {
        RendererDeviceTest::SetUp();
        m_nTables = GetResourceTableCount();
        RegisterResourceTable(PROGRAMS, sizeof(PROGRAMS) / sizeof(PROGRAMS[0]));
        // Every message box is answered at once; its caption and text go to standard error.
        win32::SetAnswerSource([this](const char* szKind, std::string& strValue) {
            ++m_nBoxes;
            strValue = "IDOK";
            return std::strcmp(szKind, "msgbox") == 0;
        });
        testing::internal::CaptureStderr();
    }

    void TearDown() override
    {
        testing::internal::GetCapturedStderr();
        win32::SetAnswerSource(nullptr);
        TruncateResourceTables(m_nTables);
        RendererDeviceTest::TearDown();
    }

    // Standard error so far; capturing goes on.
    static std::string TakeStderr()
    {
        std::string strErr = testing::internal::GetCapturedStderr();
        testing::internal::CaptureStderr();
        return strErr;
    }

    size_t m_nTables = 0;
    int m_nBoxes = 0;
};

TEST_F(Direct3DRendererShaders, ResourceProgramsGetIdsAndAFailureShowsTheAssemblerErrors)
{
    EXPECT_EQ(m_pRenderer->CreatePixelShader(0), 0);
    EXPECT_EQ(TakeStderr(), "");
    EXPECT_EQ(m_pRenderer->CreatePixelShader(1), -1);
    std::string strErr = TakeStderr();
    EXPECT_EQ(strErr.rfind("MessageBox \"Pixel shader error\": resource 601 line 2", 0), 0u) << strErr;
    EXPECT_EQ(m_nBoxes, 1);
    // The failed program took no slot: the next program gets the next id.
    EXPECT_EQ(m_pRenderer->CreatePixelShader(2), 1);
    EXPECT_EQ(m_pRenderer->GetPixelShaderEntry(1)->m_nResourceIndex, 2);

    EXPECT_EQ(m_pRenderer->CreateVertexShader(0), 0);
    EXPECT_EQ(m_pRenderer->CreateVertexShader(4), -1);   // resource 904 does not exist
    strErr = TakeStderr();
    EXPECT_EQ(strErr.rfind("MessageBox \"Vertex shader error\": resource 904", 0), 0u) << strErr;

    // Bound ids set the device shaders they stand for.
    d3d9test::Recorder recorder(m_pDevice);
    m_pRenderer->BindPixelShader(0);
    m_pRenderer->BindPixelShader(1);
    m_pRenderer->BindVertexShader(0);
    std::vector<std::string> calls = recorder.Texts();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].rfind("SetPixelShader(PixelShader#", 0), 0u) << calls[0];
    EXPECT_NE(calls[0], calls[1]);
    EXPECT_EQ(calls[2].rfind("SetVertexShader(VertexShader#", 0), 0u) << calls[2];
}

TEST_F(Direct3DRendererShaders, TextProgramsUseTheirOwnCaptionsAndASilentFailureIsNamed)
{
    std::string strBad = testing::TempDir() + "renderer_bad.psh";
    std::string strEmpty = testing::TempDir() + "renderer_empty.vsh";
    ASSERT_TRUE(WriteFileAtomic(strBad.c_str(), PIXEL_BAD, sizeof(PIXEL_BAD) - 1));
    ASSERT_TRUE(WriteFileAtomic(strEmpty.c_str(), "", 0));

    EXPECT_EQ(m_pRenderer->LoadPixelShader(0, strBad.c_str()), -1);
    std::string strErr = TakeStderr();
    EXPECT_EQ(strErr.rfind("MessageBox \"Fragment shader error\": line 2", 0), 0u) << strErr;
    // An empty text makes the assembler fail without an error list.
    EXPECT_EQ(m_pRenderer->LoadVertexShader(strEmpty.c_str()), -1);
    EXPECT_EQ(TakeStderr(), "MessageBox \"Vertex shader error\": The vertex shader program text did not assemble.\n");
    EXPECT_EQ(m_pRenderer->GetPixelShaderCount() + m_pRenderer->GetVertexShaderCount(), 0);
    std::remove(strBad.c_str());
    std::remove(strEmpty.c_str());
}

TEST_F(Direct3DRendererShaders, AnIndexPastTheResourceIdsIsRefusedWithoutAssembling)
{
    SetLogEcho(false);
    ClearLogLines();
    EXPECT_EQ(m_pRenderer->CreatePixelShader(0x10000 - 600), -1);
    SetLogEcho(true);
    EXPECT_EQ(m_nBoxes, 0);
    ASSERT_EQ(GetLogLines().size(), 1u);
    EXPECT_NE(GetLogLines()[0].m_strText.find("has no resource id"), std::string::npos);
}
}  // namespace
