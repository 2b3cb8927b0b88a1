#include "core/CoreHooks.h"
#include "core/FileIO.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(ClockSourceTest, DefaultIsMonotonicAndInjectedClockIsUsed)
{
    int64_t a = ReadClockTicks();
    int64_t b = ReadClockTicks();
    EXPECT_LE(a, b);
    EXPECT_EQ(GetClockFrequency(), 1000000000LL);

    int64_t now = 42;
    SetClockSource({[&] { return now; }, 1000});
    EXPECT_EQ(ReadClockTicks(), 42);
    EXPECT_EQ(GetClockFrequency(), 1000);
    SetClockSource({});
    EXPECT_EQ(GetClockFrequency(), 1000000000LL);
}

TEST(DisplayModeSourceTest, DefaultHasOneModeAndInjectedListIsUsed)
{
    ASSERT_EQ(EnumerateDisplayModes().size(), 1u);
    SetDisplayModeSource({[] { return std::vector<DisplayModeInfo>{{800, 600, 32, 60}, {1024, 768, 32, 75}}; },
                          [](const DisplayModeInfo* p) { return p && p->m_nWidth == 800; }});
    EXPECT_EQ(EnumerateDisplayModes().size(), 2u);
    DisplayModeInfo good{800, 600, 32, 60}, bad{1, 1, 32, 60};
    EXPECT_TRUE(ChangeDisplayMode(&good));
    EXPECT_FALSE(ChangeDisplayMode(&bad));
    SetDisplayModeSource({});
    EXPECT_EQ(EnumerateDisplayModes().size(), 1u);
}

class FileIOTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Dir = fs::temp_directory_path() / ("quen_fileio_" + std::to_string(getpid()));
        fs::create_directories(m_Dir);
    }
    void TearDown() override
    {
        SetPathMapper(nullptr);
        fs::remove_all(m_Dir);
    }
    std::string Path(const char* name) const { return (m_Dir / name).string(); }
    fs::path m_Dir;
};

TEST_F(FileIOTest, ReadWholeFileRefusesWhatIsNotARegularFile)
{
    std::vector<uint8_t> data{1};
    EXPECT_FALSE(ReadWholeFile(m_Dir.string().c_str(), data));
    EXPECT_TRUE(data.empty());
    std::string fifo = Path("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(ReadWholeFile(fifo.c_str(), data));
    EXPECT_FALSE(ReadWholeFile(Path("missing").c_str(), data));
    EXPECT_FALSE(ReadWholeFile(nullptr, data));
}

TEST_F(FileIOTest, AtomicWriteReplacesTheTargetAndLeavesNoTemporaryFile)
{
    std::string target = Path("scene.bin");
    ASSERT_TRUE(WriteFileAtomic(target.c_str(), std::vector<uint8_t>{1, 2, 3}));
    ASSERT_TRUE(WriteFileAtomic(target.c_str(), std::vector<uint8_t>{9, 8}));
    std::vector<uint8_t> data;
    ASSERT_TRUE(ReadWholeFile(target.c_str(), data));
    EXPECT_EQ(data, (std::vector<uint8_t>{9, 8}));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_Dir), fs::directory_iterator()), 1);
}

TEST_F(FileIOTest, AbortedWriteKeepsThePreviousFile)
{
    std::string target = Path("keep.bin");
    ASSERT_TRUE(WriteFileAtomic(target.c_str(), std::vector<uint8_t>{5}));
    AtomicFile file;
    ASSERT_TRUE(BeginAtomicWrite(target.c_str(), file));
    std::fputs("partial", file.m_pFile);
    AbortAtomicWrite(file);
    std::vector<uint8_t> data;
    ASSERT_TRUE(ReadWholeFile(target.c_str(), data));
    EXPECT_EQ(data, (std::vector<uint8_t>{5}));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_Dir), fs::directory_iterator()), 1);
}

TEST_F(FileIOTest, WriteIntoAMissingFolderFails)
{
    EXPECT_FALSE(WriteFileAtomic(Path("no/such/dir/x.bin").c_str(), std::vector<uint8_t>{1}));
}

TEST_F(FileIOTest, OpenGoesThroughThePathMapper)
{
    std::vector<std::pair<std::string, bool>> calls;
    SetPathMapper([&](const char* name, bool bWrite) {
        calls.emplace_back(name, bWrite);
        return (m_Dir / "mapped.txt").string();
    });
    FILE* f = OpenFile("C:\\Quenlaris\\Settings.TXT", "wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    f = OpenFile("C:\\Quenlaris\\Settings.TXT", "rb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_TRUE(calls[0].second);
    EXPECT_FALSE(calls[1].second);
    EXPECT_TRUE(fs::exists(m_Dir / "mapped.txt"));
}
