// The frame driver on an empty scene with a render clock that only the test moves: the frame
// limiter, the fixed animation step, and camera-path recordings saved as ".pth" files.
#include "AppFixture.h"

#include "3dapi/RenderTimer.h"
#include "core/CoreHooks.h"
#include "scene/SceneCamera.h"

#include <cmath>

namespace
{
class FrameDriverTest : public AppTest
{
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        SetClockSource({[this] { return m_nNow; }, 1000});
        ResetRenderTimer();
        ASSERT_TRUE(m_pApp->Init());
        ASSERT_TRUE(m_pApp->InitDevice(m_hWnd, 0, false, 0));
        g_bRecordingPath = 0;
        g_PathKeys.clear();
        g_fPathTime = 0.0f;
    }
    void TearDown() override
    {
        SetClockSource({});
        ResetRenderTimer();
        g_bRecordingPath = 0;
        g_PathKeys.clear();
        g_fPathTime = 0.0f;
        AppTest::TearDown();
    }

    // One idle turn nMilliseconds after the last: BeginFrame, DrawFrame, EndFrame. Whether it drew.
    bool Turn(int nMilliseconds)
    {
        m_nNow += nMilliseconds;
        m_pApp->BeginFrame();
        EXPECT_TRUE(m_pApp->DrawFrame());
        const bool bDrawn = m_pApp->m_bFrameDrawn;
        m_pApp->EndFrame();
        return bDrawn;
    }
    // Turns nMilliseconds apart until one draws.
    void DrawnFrame(int nMilliseconds)
    {
        for (int i = 0; i < 8; ++i)
            if (Turn(nMilliseconds))
                return;
        ADD_FAILURE() << "no frame drawn at turns " << nMilliseconds << " ms apart";
    }

    SceneCamera& Camera() { return m_pApp->m_Scene.m_Camera; }

    int64_t m_nNow = 5000000;
};
}

TEST_F(FrameDriverTest, LimiterDrawsOneTurnInFourAtFiveMillisecondsAndPresentsOnlyThose)
{
    DrawnFrame(20);
    EXPECT_NEAR(m_pApp->GetFrameWait(), RenderApp::FRAME_INTERVAL, 1e-6f);
    d3d9test::Recorder recorder(m_pApp->GetDevice());
    // 0.005, 0.010 and 0.015 s accumulate; the fourth turn finds 0.015 s and draws, without
    // adding its own 0.005 s, so the pattern repeats.
    std::string strPattern;
    for (int i = 0; i < 12; ++i)
    {
        strPattern += Turn(5) ? 'D' : '.';
        if (i == 0)
        {
            EXPECT_NEAR(m_pApp->GetFrameWait(), RenderApp::FRAME_INTERVAL - 0.005f, 1e-5f);
        }
    }
    recorder.Stop();
    EXPECT_EQ(strPattern, "...D...D...D");
    EXPECT_EQ(recorder.Texts({"Present"}).size(), 3u);
}

TEST_F(FrameDriverTest, EachDrawnFrameAdvancesByTheFixedStepHoweverLongItTook)
{
    Camera().m_bRecordPath = 1;
    float fExpected = 0.0f;
    for (int nGap : {11, 500, 20, 2000})
    {
        DrawnFrame(nGap);
        fExpected += SceneCamera::STEP;
        EXPECT_EQ(g_fPathTime, fExpected) << "after a frame " << nGap << " ms apart";
    }
    EXPECT_EQ(g_PathKeys.size(), 4u);
}

TEST_F(FrameDriverTest, EachRecordingIsSavedAloneAndACancelledSaveWritesNothing)
{
    struct Recording
    {
        const char* szTyped;    // the name typed in the save dialog
        const char* szWritten;  // the file that appears
        int nFrames;            // frames recorded before the save request's frame
        float x;                // where the camera stands meanwhile
    };
    const Recording RECORDINGS[] = {{"first", "first.pth", 3, 1.5f}, {"second.pth", "second.pth", 1, -4.0f}};
    for (const Recording& r : RECORDINGS)
    {
        SCOPED_TRACE(r.szWritten);
        Camera().m_RigidBody.m_vPosition = Vector3(r.x, 2.0f, -3.0f);
        Camera().m_bRecordPath = 1;
        for (int i = 0; i < r.nFrames; ++i)
            DrawnFrame(20);
        // The save request's frame still records its key, then stops the recording and, once
        // the frame is presented, asks for the file.
        Camera().m_bRecordPath = 0;
        Camera().m_bSavePathRequest = 1;
        m_Driver.answers().file(m_strFolder + "/" + r.szTyped);
        DrawnFrame(20);
        EXPECT_EQ(m_Driver.answers().pending(), 0u);
        EXPECT_EQ(Camera().m_bSavePathRequest, 0);
        EXPECT_EQ(g_bRecordingPath, 0);

        std::vector<PathKey> keys;
        float fDuration = 0.0f;
        ASSERT_EQ(ReadPathFile((m_strFolder + "/" + r.szWritten).c_str(), keys, fDuration), PATH_FILE_OK);
        ASSERT_EQ(keys.size(), static_cast<size_t>(r.nFrames + 1));
        EXPECT_NEAR(fDuration, (r.nFrames + 1) * SceneCamera::STEP, 1e-6f);
        for (const PathKey& key : keys)
            EXPECT_NEAR(key.m_vPosition.x, r.x, 1e-5f);
    }

    // A cancelled save: no file, the request cleared, the keys kept.
    Camera().m_bRecordPath = 1;
    DrawnFrame(20);
    Camera().m_bRecordPath = 0;
    Camera().m_bSavePathRequest = 1;
    m_Driver.answers().cancel();
    DrawnFrame(20);
    EXPECT_EQ(Camera().m_bSavePathRequest, 0);
    EXPECT_EQ(g_PathKeys.size(), 2u);
    int nFiles = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_strFolder))
        nFiles += entry.is_regular_file();
    EXPECT_EQ(nFiles, 2);
}
