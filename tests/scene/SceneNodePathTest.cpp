#include "scene/SceneNode.h"

#include "core/FileIO.h"
#include "core/Log.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace
{
class SceneNodePathTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetLogEcho(false);
        ClearLogLines();
    }
    void TearDown() override
    {
        SetLogEcho(true);
        ClearLogLines();
    }

    static std::string TempPath(const char* szName) { return ::testing::TempDir() + "scene_" + szName + ".pth"; }

    static std::string WriteText(const char* szName, const std::string& text)
    {
        std::string path = TempPath(szName);
        EXPECT_TRUE(WriteFileAtomic(path.c_str(), text.data(), text.size()));
        return path;
    }
};

// Four keys whose numbers "%f" prints exactly.
const PathKey FOUR_KEYS[4] = {
    {{1.5f, -2.25f, 0.125f}, {0.0f, 0.0f, 0.0f, 1.0f}},
    {{10.0f, 0.5f, -3.0f}, {0.0f, 0.6f, 0.0f, 0.8f}},
    {{4.75f, 8.0f, 2.5f}, {0.0f, 1.0f, 0.0f, 0.0f}},
    {{-6.0f, 1.0f, 0.0f}, {0.0f, -0.6f, 0.0f, 0.8f}},
};

const char FOUR_KEYS_TEXT[] = "4 2.000000\n"
                              " 1.500000 -2.250000 0.125000\n"
                              " 0.000000 0.000000 0.000000 1.000000\n"
                              " 10.000000 0.500000 -3.000000\n"
                              " 0.000000 0.600000 0.000000 0.800000\n"
                              " 4.750000 8.000000 2.500000\n"
                              " 0.000000 1.000000 0.000000 0.000000\n"
                              " -6.000000 1.000000 0.000000\n"
                              " 0.000000 -0.600000 0.000000 0.800000\n";

bool IsFiniteMatrix(const Matrix4& m)
{
    for (float f : m.e)
        if (!std::isfinite(f))
            return false;
    return true;
}

bool IsIdentity(const Matrix4& m)
{
    for (int i = 0; i < 16; ++i)
        if (m.e[i] != ((i % 5 == 0) ? 1.0f : 0.0f))
            return false;
    return true;
}
}

TEST_F(SceneNodePathTest, FourKeyFileIsWrittenAndReadBackExactly)
{
    std::string path = TempPath("four");
    ASSERT_TRUE(WritePathFile(path.c_str(), FOUR_KEYS, 4, 2.0f));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(path.c_str(), bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), FOUR_KEYS_TEXT);

    std::vector<PathKey> keys;
    float fDuration = 0.0f;
    ASSERT_EQ(ReadPathFile(path.c_str(), keys, fDuration), PATH_FILE_OK);
    EXPECT_EQ(fDuration, 2.0f);
    ASSERT_EQ(keys.size(), 4u);
    // A failed write leaves the file as it was.
    EXPECT_FALSE(WritePathFile(path.c_str(), FOUR_KEYS, -1, 1.0f));
    EXPECT_FALSE(WritePathFile((::testing::TempDir() + "no_such_dir/x.pth").c_str(), FOUR_KEYS, 4, 1.0f));
    ASSERT_TRUE(ReadWholeFile(path.c_str(), bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), FOUR_KEYS_TEXT);
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ(keys[i].m_vPosition, FOUR_KEYS[i].m_vPosition) << i;
        EXPECT_EQ(keys[i].m_qRotation, FOUR_KEYS[i].m_qRotation) << i;
    }
}

TEST_F(SceneNodePathTest, LoadedPathPlacesTheNodeOnItsKeys)
{
    // CR LF line ends read the same as LF.
    std::string text = FOUR_KEYS_TEXT;
    for (size_t i = text.find('\n'); i != std::string::npos; i = text.find('\n', i + 2))
        text.insert(i, "\r");
    std::string path = WriteText("crlf", text);

    SceneNode node;
    ASSERT_TRUE(node.LoadPath(path.c_str()));
    EXPECT_EQ(node.m_nPathKeys, 4);
    EXPECT_EQ(node.m_fPathDuration, 2.0f);
    EXPECT_EQ(node.m_fSecondsPerKey, 0.5f);
    EXPECT_EQ(node.m_nPathLoops, 1);
    EXPECT_EQ(node.m_bPathPlaying, 0);
    ASSERT_NE(node.m_pPath, nullptr);
    EXPECT_EQ(node.m_pPath->GetKeyCount(), 4);

    // Not playing: neither the time nor the body moves.
    node.UpdatePath(0.5f);
    EXPECT_EQ(node.m_fPathTime, 0.0f);
    EXPECT_TRUE(IsIdentity(*node.m_RigidBody.GetWorldMatrix()));

    node.m_bPathPlaying = 1;
    node.UpdatePath(0.5f);  // key 1: a turn about y with cos(a/2) = 0.8, then (10, 0.5, -3)
    const Matrix4& world = *node.m_RigidBody.GetWorldMatrix();
    EXPECT_NEAR(world.e[12], 10.0f, 1e-4f);
    EXPECT_NEAR(world.e[13], 0.5f, 1e-4f);
    EXPECT_NEAR(world.e[14], -3.0f, 1e-4f);
    // cos a = 2 x 0.8^2 - 1 = 0.28, sin a = 2 x 0.6 x 0.8 = 0.96.
    EXPECT_NEAR(world.e[0], 0.28f, 1e-4f);
    EXPECT_NEAR(world.e[2], -0.96f, 1e-4f);
    EXPECT_NEAR(world.e[8], 0.96f, 1e-4f);

    node.UpdatePath(1.5f);  // time 2.0 wraps to key 0
    EXPECT_NEAR(world.e[12], 1.5f, 1e-4f);
    EXPECT_NEAR(world.e[13], -2.25f, 1e-4f);
    EXPECT_NEAR(world.e[14], 0.125f, 1e-4f);
    EXPECT_NEAR(world.e[0], 1.0f, 1e-4f);
}

TEST_F(SceneNodePathTest, MissingFileStopsPlaybackAndKeepsThePath)
{
    SceneNode node;
    ASSERT_TRUE(node.LoadPath(WriteText("keep", FOUR_KEYS_TEXT).c_str()));
    node.m_bPathPlaying = 1;
    KeyframePath* pPath = node.m_pPath;
    EXPECT_FALSE(node.LoadPath(TempPath("does_not_exist").c_str()));
    EXPECT_EQ(node.m_bPathPlaying, 0);
    EXPECT_EQ(node.m_pPath, pPath);
    EXPECT_EQ(node.m_nPathKeys, 4);
    EXPECT_EQ(node.m_pPathKeys[3].m_vPosition, FOUR_KEYS[3].m_vPosition);
    EXPECT_FALSE(GetLogLines().empty());
}

TEST_F(SceneNodePathTest, BadFilesKeepTheOldPathAndNeverGiveNaN)
{
    const std::string key = " 1 2 3\n 0 0 0 1\n";
    struct Case
    {
        const char* szName;
        std::string text;
    };
    const Case cases[] = {
        {"empty", ""},
        {"words", "path file\n"},
        {"count only", "4\n"},
        {"negative count", "-1 2.0\n" + key},
        {"count past int", "4294967297 1.0\n" + key},
        {"huge count", "2000000000 1.0\n" + key},
        {"cut short", "4 2.0\n" + key + key + key},
        {"cut inside a key", "4 2.0\n" + key + key + key + " 1 2 3\n 0 0"},
        {"nan duration", "4 nan\n" + key + key + key + key},
        {"infinite position", "4 2.0\n" + key + " inf 0 0\n 0 0 0 1\n" + key + key},
        {"overflowing number", "4 2.0\n" + key + " 1e39 0 0\n 0 0 0 1\n" + key + key},
        {"nan rotation", "4 2.0\n" + key + key + " 1 2 3\n 0 nan 0 1\n" + key},
        {"separator", "4 2.0\n 1, 2, 3\n 0 0 0 1\n" + key + key + key},
    };
    for (const Case& c : cases)
    {
        SceneNode node;
        ASSERT_TRUE(node.LoadPath(WriteText("good", FOUR_KEYS_TEXT).c_str()));
        node.m_bPathPlaying = 1;
        KeyframePath* pPath = node.m_pPath;
        ClearLogLines();
        EXPECT_FALSE(node.LoadPath(WriteText("bad", c.text).c_str())) << c.szName;
        EXPECT_FALSE(GetLogLines().empty()) << c.szName;
        EXPECT_EQ(node.m_pPath, pPath) << c.szName;
        EXPECT_EQ(node.m_nPathKeys, 4) << c.szName;
        EXPECT_EQ(node.m_fPathDuration, 2.0f) << c.szName;
        EXPECT_EQ(node.m_bPathPlaying, 1) << c.szName;
        node.UpdatePath(0.5f);
        EXPECT_NEAR(node.m_RigidBody.GetWorldMatrix()->e[12], 10.0f, 1e-4f) << c.szName;
    }
}

TEST_F(SceneNodePathTest, PathsThatCannotPlayLeaveTheNodeUnmoved)
{
    const std::string key = " 1 2 3\n 0 0 0 1\n";
    struct Case
    {
        const char* szName;
        std::string text;
    };
    const Case cases[] = {
        {"no keys", "0 1.0\n"},
        {"two keys", "2 1.0\n" + key + key},
        {"three keys", "3 3.0\n" + key + key + key},
        {"zero duration", "4 0.0\n" + key + key + key + key},
        {"negative duration", "4 -2.0\n" + key + key + key + key},
        {"overflowing spline", "4 0.000001\n 3e38 0 0\n 0 0 0 1\n -3e38 0 0\n 0 0 0 1\n" + key + key},
    };
    for (const Case& c : cases)
    {
        SceneNode node;
        ASSERT_TRUE(node.LoadPath(WriteText("still", c.text).c_str())) << c.szName;
        EXPECT_TRUE(std::isfinite(node.m_fSecondsPerKey)) << c.szName;
        node.m_bPathPlaying = 1;
        for (int i = 0; i < 8; ++i)
            node.UpdatePath(1.0f / 30.0f);
        EXPECT_TRUE(IsIdentity(*node.m_RigidBody.GetWorldMatrix())) << c.szName;
    }
}

TEST_F(SceneNodePathTest, RecordingFromAnUnrotatedStartPlaysWithoutNaN)
{
    // What the frame driver writes when the camera starts at rest: w = 1 on the first keys.
    std::string text = "6 0.200000\n"
                       " 0.000000 0.000000 0.000000\n 0.000000 0.000000 0.000000 1.000000\n"
                       " 0.000000 0.000000 1.000000\n 0.000000 0.000000 0.000000 1.000000\n"
                       " 0.000000 0.000000 2.000000\n 0.000000 0.049979 0.000000 0.998750\n"
                       " 0.000000 0.000000 3.000000\n 0.000000 0.099833 0.000000 0.995004\n"
                       " 0.000000 0.000000 4.000000\n 0.000000 0.149438 0.000000 0.988771\n"
                       " 0.000000 0.000000 5.000000\n 0.000000 0.198669 0.000000 0.980067\n";
    SceneNode node;
    ASSERT_TRUE(node.LoadPath(WriteText("rest", text).c_str()));
    node.m_bPathPlaying = 1;
    for (int i = 0; i < 60; ++i)
    {
        node.UpdatePath(0.01f);
        ASSERT_TRUE(IsFiniteMatrix(*node.m_RigidBody.GetWorldMatrix())) << "step " << i;
        if (i == 9)
        {
            // 0.1 s: key 3, three units along z and turned by 0.2 rad about y.
            EXPECT_NEAR(node.m_RigidBody.GetWorldMatrix()->e[14], 3.0f, 1e-3f);
            EXPECT_NEAR(node.m_RigidBody.GetWorldMatrix()->e[0], std::cos(0.2f), 1e-3f);
        }
    }
    // Back at the start after a whole number of periods (0.6 s = three periods): unrotated at
    // the origin.
    const Matrix4& world = *node.m_RigidBody.GetWorldMatrix();
    EXPECT_NEAR(world.e[0], 1.0f, 1e-3f);
    EXPECT_NEAR(world.e[14], 0.0f, 1e-2f);
}
