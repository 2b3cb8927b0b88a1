// The program itself, run as a user runs it but headless through a script: the sample room
// drawn, a window-mode request, the camera keys, a screenshot and a clean exit; and the same
// program started on a file that does not exist or that is not a scene.
#include "core/PixelImage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
struct Rgb
{
    int r, g, b;
    int Sum() const { return r + g + b; }
};

// The mean colour of a block given as fractions of the picture.
Rgb Mean(const PixelImage& image, float x0, float y0, float x1, float y1)
{
    int nX0 = static_cast<int>(x0 * image.width), nX1 = static_cast<int>(x1 * image.width);
    int nY0 = static_cast<int>(y0 * image.height), nY1 = static_cast<int>(y1 * image.height);
    long r = 0, g = 0, b = 0, n = 0;
    for (int y = nY0; y < nY1; ++y)
        for (int x = nX0; x < nX1; ++x, ++n)
        {
            const uint8_t* p = image.pixels + (static_cast<size_t>(y) * image.width + x) * 3;
            r += p[0];
            g += p[1];
            b += p[2];
        }
    return n ? Rgb{int(r / n), int(g / n), int(b / n)} : Rgb{0, 0, 0};
}
// Pixels of the red wall on the row at mid-height.
int RedWidth(const PixelImage& image)
{
    int nWidth = 0;
    const uint8_t* pRow = image.pixels + static_cast<size_t>(image.height / 2) * image.width * 3;
    for (int x = 0; x < image.width; ++x)
        nWidth += pRow[x * 3] > 2 * pRow[x * 3 + 1] && pRow[x * 3] > 2 * pRow[x * 3 + 2] ? 1 : 0;
    return nWidth;
}


class ProgramRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "quen-run-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_strFolder = pattern;
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_strFolder, ignored);
    }

    // Runs the program on the argument with the script; its exit status, its standard error in
    // m_strErrors. Settings, user data and the desktop folder are the test's own.
    int Run(const std::string& strArgument, const std::string& strScript)
    {
        std::string strScriptPath = m_strFolder + "/script.txt";
        std::ofstream(strScriptPath) << strScript;
        std::string strErrors = m_strFolder + "/stderr.txt";
        std::string strCommand = "env HOME='" + m_strFolder + "' XDG_CONFIG_HOME='" + m_strFolder + "/config'" +
                                 " XDG_DATA_HOME='" + m_strFolder + "/data' QUENLARIS_SCRIPT='" + strScriptPath +
                                 "' QUENLARIS_DATA_DIR='" + QUEN_DATA_DIR + "' '" + QUEN_PROGRAM + "' '" +
                                 strArgument + "' 2>'" + strErrors + "'";
        int nStatus = std::system(strCommand.c_str());
        std::stringstream text;
        text << std::ifstream(strErrors).rdbuf();
        m_strErrors = text.str();
        return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
    }

    static bool Load(const std::string& strPath, PixelImage& image)
    {
        return image.LoadPNG(strPath.c_str(), true, false) && image.format == RGB8 && image.width > 0;
    }
    std::string m_strFolder;
    std::string m_strErrors;
};

// The render surface shows the sample room: the red wall on the left, the green one on the
// right, the back wall brightest near the light, under it, and darker in its far corners.
void ExpectLitRoom(const PixelImage& image)
{
    Rgb left = Mean(image, 0.01f, 0.3f, 0.08f, 0.6f);
    Rgb right = Mean(image, 0.92f, 0.3f, 0.95f, 0.6f);
    EXPECT_GT(left.r, 2 * left.g) << "red wall";
    EXPECT_GT(left.r, 2 * left.b);
    EXPECT_GT(right.g, 2 * right.r) << "green wall";
    EXPECT_GT(right.g, 2 * right.b);
    Rgb nearLight = Mean(image, 0.45f, 0.12f, 0.55f, 0.25f);
    Rgb farCorner = Mean(image, 0.14f, 0.70f, 0.20f, 0.78f);
    EXPECT_GT(nearLight.Sum(), 600) << "the back wall under the light is nearly white";
    EXPECT_GT(nearLight.Sum(), farCorner.Sum() + 150) << "light falls off toward the corners";
    EXPECT_GT(farCorner.Sum(), 60) << "the corners are lit, not black";
}
}

TEST_F(ProgramRunTest, SampleRoomDrawsTakesKeysAndExits)
{
    const std::string strShot1 = m_strFolder + "/room.png", strShot2 = m_strFolder + "/after-alt-enter.png",
                      strShot3 = m_strFolder + "/moved.png";
    std::string strScript = "wait 300\n"
                            "snapshot class:CRenderWnd " + strShot1 + "\n"
                            "key F9\n"
                            "key Alt+Return\n"
                            "wait 200\n"
                            "expect window class:CRenderWnd visible\n"
                            "snapshot class:CRenderWnd " + strShot2 + "\n"
                            "press Up\n"
                            "wait 300\n"
                            "release Up\n"
                            "wait 100\n"
                            "snapshot class:CRenderWnd " + strShot3 + "\n";
    ASSERT_EQ(Run(QUEN_SAMPLE_SCENE, strScript), 0) << m_strErrors;

    PixelImage room, afterRequest, moved, screenshot;
    ASSERT_TRUE(Load(strShot1, room));
    SCOPED_TRACE("first frames");
    ExpectLitRoom(room);
    {
        SCOPED_TRACE("after Alt+Enter");
        ASSERT_TRUE(Load(strShot2, afterRequest));
        ExpectLitRoom(afterRequest);
    }
    ASSERT_TRUE(Load(strShot3, moved));
    EXPECT_LT(RedWidth(moved) + 5, RedWidth(afterRequest)) << "moving forwards narrows the side wall";
    // F9 wrote the program's own screenshot to the desktop folder (the home folder here).
    ASSERT_TRUE(Load(m_strFolder + "/ScreenShot00.png", screenshot)) << m_strErrors;
    EXPECT_EQ(m_strErrors.find("Room.qnl could not"), std::string::npos);
}

// A file that cannot be read and one that holds no scene: the user is told ("cannot open file"),
// the error or warning names the file, the scene stays empty (a black frame) and the program ends
// normally.
TEST_F(ProgramRunTest, UnreadableSceneGivesAnErrorAndAnEmptyScene)
{
    std::ofstream(m_strFolder + "/hostile.qnl", std::ios::binary) << std::string("\xff\xff\xff\x7f\x01\x00\x00\x00garbage", 15);
    struct Case
    {
        const char* m_szName;
        const char* m_szAnswers;
    };
    const Case cases[] = {
        {"missing.qnl", "answer msgbox IDOK\n"},
        {"hostile.qnl", "answer msgbox IDOK\n"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.m_szName);
        const std::string strShot = m_strFolder + "/empty.png";
        std::string strScript = std::string(c.m_szAnswers) + "wait 200\nsnapshot class:CRenderWnd " + strShot + "\n";
        ASSERT_EQ(Run(m_strFolder + "/" + c.m_szName, strScript), 0) << m_strErrors;
        EXPECT_NE(m_strErrors.find(std::string(c.m_szName) + "\""), std::string::npos) << "the error names the file";
        PixelImage image;
        ASSERT_TRUE(Load(strShot, image));
        Rgb middle = Mean(image, 0.2f, 0.3f, 0.8f, 0.7f);
        EXPECT_EQ(middle.Sum(), 0) << "no scene, no colour";
        std::filesystem::remove(strShot);
    }
}

// The console and the main window's commands as a user drives them: the console key, typed
// commands and their answers, Escape; Ctrl+S and Ctrl+O through the file dialog; a file the
// import refuses keeping the scene and the title; a toggle stored under the console's key.
TEST_F(ProgramRunTest, ConsoleAndFileCommandsWorkFromTheKeyboard)
{
    const std::string strSaved = m_strFolder + "/saved.qnl", strAgain = m_strFolder + "/again.qnl";
    const std::string strHostile = m_strFolder + "/hostile.3ds";
    const std::string strKept = m_strFolder + "/kept.png", strReopened = m_strFolder + "/reopened.png";
    std::ofstream(strHostile, std::ios::binary) << std::string("\x4d\x4d\xff\xff\xff\x7f", 6);
    std::string strScript = "wait 200\n"
                            "key Tab\n"
                            "wait 20\n"
                            "type \"vendor\\r\"\n"
                            "type \"set Speed 12\\r\"\n"
                            "type \"frobnicate\\r\"\n"
                            "wait 50\n"
                            "expect text main/#1001 \"> vendor\\r\\nQuenlaris CPU\\r\\n\"\n"
                            "expect text main/#1001 \"> frobnicate\\r\\nInvalid command. Type help for a list of "
                            "valid commands.\"\n"
                            "expect registry \"SOFTWARE\\Oskel\" Speed = 12\n"
                            "key Escape\n"
                            "wait 20\n"
                            "expect window main/#1000 hidden\n"
                            "answer file \"" + strSaved + "\"\n"
                            "key Ctrl+S\n"
                            "wait 50\n"
                            "expect file \"" + strSaved + "\"\n"
                            "answer file \"" + strHostile + "\"\n"
                            "command 32820\n"
                            "wait 100\n"
                            "expect text main \"Room.qnl - Quenlaris\"\n"
                            "snapshot class:CRenderWnd " + strKept + "\n"
                            "command 302\n"
                            "wait 20\n"
                            "expect registry \"SOFTWARE\\Oskel\" VSync = 1\n"
                            "answer file \"" + strSaved + "\"\n"
                            "key Ctrl+O\n"
                            "wait 200\n"
                            "expect text main \"saved.qnl - Quenlaris\"\n"
                            "snapshot class:CRenderWnd " + strReopened + "\n"
                            "answer file \"" + strAgain + "\"\n"
                            "key Ctrl+S\n"
                            "wait 50\n"
                            "expect file \"" + strAgain + "\"\n";
    ASSERT_EQ(Run(QUEN_SAMPLE_SCENE, strScript), 0) << m_strErrors;
    EXPECT_NE(m_strErrors.find(strHostile + "\" could not be read"), std::string::npos) << m_strErrors;
    PixelImage kept, reopened;
    ASSERT_TRUE(Load(strKept, kept));
    {
        SCOPED_TRACE("after the refused import");
        ExpectLitRoom(kept);
    }
    ASSERT_TRUE(Load(strReopened, reopened));
    {
        SCOPED_TRACE("the saved scene reopened");
        ExpectLitRoom(reopened);
    }
    std::stringstream saved, again;
    saved << std::ifstream(strSaved, std::ios::binary).rdbuf();
    again << std::ifstream(strAgain, std::ios::binary).rdbuf();
    EXPECT_GT(saved.str().size(), 100u);
    EXPECT_EQ(saved.str(), again.str()) << "the reopened scene saves to the same bytes";
}
