#include "core/CameraPath.h"

#include "core/Log.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
class CameraPathFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetLogEcho(false);
        ClearLogLines();
        m_strPath = (std::filesystem::temp_directory_path() /
                     ("quen_camerapath_" + std::to_string(getpid()) + ".bin"))
                        .string();
    }
    void TearDown() override
    {
        std::filesystem::remove(m_strPath);
        SetLogEcho(true);
    }
    void WriteBytes(const std::vector<uint8_t>& bytes)
    {
        std::ofstream(m_strPath, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    std::vector<uint8_t> ReadBytes()
    {
        std::ifstream in(m_strPath, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }
    std::string m_strPath;
};

// Little-endian bytes of an int32 count followed by floats.
std::vector<uint8_t> FileBytes(int32_t nCount, const std::vector<float>& values)
{
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(nCount) >> (8 * i)));
    for (float f : values)
    {
        uint32_t u;
        std::memcpy(&u, &f, 4);
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>(u >> (8 * i)));
    }
    return bytes;
}

const std::vector<float> g_ThreeNodes = {1, 2, 3, 0.1f, 0.2f, 0.3f, 4, 5, 6, 0.4f, 0.5f, 0.6f, -7, -8, -9, 1, 2, 3};
}

TEST(CameraPathTest, CubicBlendAndIndexHelpers)
{
    struct Case
    {
        float p[4];
        float t;
        float fExpected;
    };
    const Case cases[] = {
        {{5, 1, 2, 9}, 0.0f, 1.0f},
        {{5, 1, 2, 9}, 1.0f, 2.0f},
        // a = 2, so 1 + t (t (2 t - 3) + 2): 1.5 at the middle, 1.34375 at a quarter.
        {{0, 1, 2, 3}, 0.5f, 1.5f},
        {{0, 1, 2, 3}, 0.25f, 1.34375f},
        {{4, 4, 4, 4}, 0.7f, 4.0f},
    };
    for (const Case& c : cases)
        EXPECT_FLOAT_EQ(CubicBlend(c.p[0], c.p[1], c.p[2], c.p[3], c.t), c.fExpected);

    const int indices[][4] = {{-1, 4, 0, 3}, {0, 4, 0, 0}, {3, 4, 3, 3}, {4, 4, 3, 0}, {9, 4, 3, 1}, {-5, 4, 0, 3}};
    for (const auto& c : indices)
    {
        EXPECT_EQ(ClampIndex(c[0], c[1]), c[2]) << c[0];
        EXPECT_EQ(WrapIndex(c[0], c[1]), c[3]) << c[0];
    }

    float angles[4] = {3.0f, -3.0f, 3.5f, -2.0f};
    UnwrapAngles(angles);
    EXPECT_EQ(angles[0], 3.0f);
    EXPECT_NEAR(angles[1], -3.0f + 6.2831855f, 1e-6f);
    EXPECT_EQ(angles[2], 3.5f);
    EXPECT_NEAR(angles[3], -2.0f + 6.2831855f, 1e-6f);
    float far[4] = {0.0f, 20.0f, -20.0f, 0.1f};
    UnwrapAngles(far);
    EXPECT_NEAR(far[1], 20.0f - 3 * 6.2831855f, 1e-5f);
    EXPECT_NEAR(far[2], -20.0f + 3 * 6.2831855f, 1e-5f);
}

TEST(CameraPathTest, EvaluateUnwrapsAnglesAndWrapsKeys)
{
    CameraPath path;
    const float angle0[4] = {3.0f, -3.0f, 3.0f, 3.0f};
    for (int i = 0; i < 4; ++i)
        path.AddNode(Vector3(10.0f * i, static_cast<float>(i * i), -1.0f), angle0[i], 0.1f * i, 0.0f);

    CameraPathNode node;
    ASSERT_TRUE(path.Evaluate(0.5f, node));
    EXPECT_GT(node.angles[0], 3.0f);
    EXPECT_LT(node.angles[0], 3.2831855f);
    EXPECT_NEAR(node.angles[0], 3.18f, 0.01f);

    // 3.5 and -0.5 both blend keys 2, 3, 0, 1 at the middle.
    CameraPathNode a, b;
    ASSERT_TRUE(path.Evaluate(3.5f, a));
    ASSERT_TRUE(path.Evaluate(-0.5f, b));
    EXPECT_FLOAT_EQ(a.x, CubicBlend(20, 30, 0, 10, 0.5f));
    EXPECT_FLOAT_EQ(b.x, a.x);
    EXPECT_FLOAT_EQ(a.y, CubicBlend(4, 9, 0, 1, 0.5f));
    EXPECT_FLOAT_EQ(a.z, -1.0f);

    // At a whole time the node itself; angles up to whole turns.
    ASSERT_TRUE(path.Evaluate(2.0f, node));
    EXPECT_EQ(node.x, 20.0f);
    EXPECT_EQ(node.y, 4.0f);
    float fTurns = (node.angles[0] - 3.0f) / 6.2831855f;
    EXPECT_NEAR(fTurns, std::round(fTurns), 1e-5f);
    EXPECT_NEAR(node.angles[1], 0.2f, 1e-6f);
}

TEST(CameraPathTest, SingleAndEmptyPaths)
{
    CameraPath path;
    CameraPathNode node(7, 7, 7, 7, 7, 7);
    EXPECT_FALSE(path.Evaluate(0.0f, node));
    EXPECT_EQ(node.x, 7.0f);
    EXPECT_EQ(node.angles[2], 7.0f);

    path.RemoveLast();
    EXPECT_EQ(path.GetNodeCount(), 0);

    path.AddNode(Vector3(1, 2, 3), 0.5f, -0.5f, 2.0f);
    for (float t : {0.0f, 0.3f, 5.75f, -12.5f})
    {
        ASSERT_TRUE(path.Evaluate(t, node));
        EXPECT_FLOAT_EQ(node.x, 1.0f);
        EXPECT_FLOAT_EQ(node.z, 3.0f);
        EXPECT_FLOAT_EQ(node.angles[1], -0.5f);
    }
    EXPECT_FALSE(path.Evaluate(NAN, node));
    EXPECT_FALSE(path.Evaluate(1e20f, node));
}

TEST(CameraPathTest, RemoveKeepsOrder)
{
    CameraPath path;
    for (int i = 0; i < 4; ++i)
        path.AddNode(Vector3(static_cast<float>(i), 0, 0), 0, 0, 0);
    path.RemoveNode(1);
    path.RemoveNode(7);
    path.RemoveNode(-1);
    ASSERT_EQ(path.GetNodeCount(), 3);
    EXPECT_EQ(path.GetNode(0).x, 0.0f);
    EXPECT_EQ(path.GetNode(1).x, 2.0f);
    EXPECT_EQ(path.GetNode(2).x, 3.0f);
    path.RemoveLast();
    EXPECT_EQ(path.GetNodeCount(), 2);
    path.Clear();
    EXPECT_EQ(path.GetNodeCount(), 0);
}

TEST_F(CameraPathFileTest, LoadAndSaveTheBinaryFile)
{
    std::vector<uint8_t> bytes = FileBytes(3, g_ThreeNodes);
    WriteBytes(bytes);
    CameraPath path;
    ASSERT_TRUE(path.Load(m_strPath.c_str()));
    ASSERT_EQ(path.GetNodeCount(), 3);
    EXPECT_EQ(path.GetNode(1).y, 5.0f);
    EXPECT_EQ(path.GetNode(2).angles[2], 3.0f);
    EXPECT_TRUE(GetLogLines().empty());

    std::filesystem::remove(m_strPath);
    ASSERT_TRUE(path.Save(m_strPath.c_str()));
    std::vector<uint8_t> saved = ReadBytes();
    EXPECT_EQ(saved.size(), 76u);
    EXPECT_EQ(saved, bytes);
}

TEST_F(CameraPathFileTest, ShortAndHostileFilesKeepTheWholeNodes)
{
    struct Case
    {
        std::vector<uint8_t> bytes;
        int nNodes;
        bool bWarning;
    };
    std::vector<uint8_t> cut = FileBytes(3, g_ThreeNodes);
    cut.resize(4 + 24 + 10);
    const Case cases[] = {
        {cut, 1, true},
        {FileBytes(0x7FFFFFFF, g_ThreeNodes), 3, true},
        {FileBytes(-5, g_ThreeNodes), 0, true},
        {FileBytes(0, {}), 0, false},
        {{1, 0}, 0, true},
    };
    for (const Case& c : cases)
    {
        ClearLogLines();
        WriteBytes(c.bytes);
        CameraPath path;
        path.AddNode(Vector3(9, 9, 9), 0, 0, 0);
        EXPECT_TRUE(path.Load(m_strPath.c_str()));
        EXPECT_EQ(path.GetNodeCount(), c.nNodes);
        EXPECT_EQ(!GetLogLines().empty(), c.bWarning) << c.bytes.size();
    }

    CameraPath path;
    path.AddNode(Vector3(9, 9, 9), 0, 0, 0);
    EXPECT_FALSE(path.Load((m_strPath + ".missing").c_str()));
    EXPECT_EQ(path.GetNodeCount(), 0);
}
