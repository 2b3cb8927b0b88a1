#include "core/NmfFile.h"

#include "core/Log.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace
{
// A triangle whose 24 floats are all different, so a field written to the wrong place shows.
NmfTriangle MakeTriangle(float fBase)
{
    NmfTriangle t;
    float f = fBase;
    for (auto& corner : t.m_fPositions)
        for (auto& c : corner)
            c = (f += 1.0f);
    for (auto& corner : t.m_fNormals)
        for (auto& c : corner)
            c = (f += 1.0f) / 64.0f;
    for (auto& corner : t.m_fTexCoords)
        for (auto& c : corner)
            c = (f += 1.0f) / 128.0f;
    return t;
}

bool SameBytes(const NmfTriangle& a, const NmfTriangle& b)
{
    return std::memcmp(&a, &b, sizeof(a)) == 0;
}

int32_t I32At(const std::vector<uint8_t>& bytes, size_t nOffset)
{
    return static_cast<int32_t>(bytes[nOffset] | bytes[nOffset + 1] << 8 | bytes[nOffset + 2] << 16 |
                                static_cast<uint32_t>(bytes[nOffset + 3]) << 24);
}

float F32At(const std::vector<uint8_t>& bytes, size_t nOffset)
{
    uint32_t bits = static_cast<uint32_t>(I32At(bytes, nOffset));
    float f;
    std::memcpy(&f, &bits, sizeof(f));
    return f;
}

// Hand-built files: chunks of any id and size, and raw triangle records.
struct FileBuilder
{
    FileBuilder& Chunk(const char* szId, int32_t nSize)
    {
        m_Writer.WriteBytes(szId, 4);
        m_Writer.WriteI32(nSize);
        return *this;
    }
    FileBuilder& Int(int32_t n)
    {
        m_Writer.WriteI32(n);
        return *this;
    }
    FileBuilder& Bytes(size_t nCount)
    {
        m_Writer.WriteZeros(nCount);
        return *this;
    }
    FileBuilder& Triangles(int nCount)
    {
        for (int i = 0; i < nCount; ++i)
        {
            NmfTriangle t = MakeTriangle(100.0f * static_cast<float>(i));
            for (const auto& corner : t.m_fPositions)
                for (float f : corner)
                    m_Writer.WriteF32(f);
            for (const auto& corner : t.m_fNormals)
                for (float f : corner)
                    m_Writer.WriteF32(f);
            for (const auto& corner : t.m_fTexCoords)
                for (float f : corner)
                    m_Writer.WriteF32(f);
        }
        return *this;
    }
    std::vector<uint8_t> Get() const { return m_Writer.GetBuffer(); }
    ByteWriter m_Writer;
};

struct ReadResult
{
    bool bOk;
    std::vector<NmfTriangle> triangles;
    std::string strErrors;
};

ReadResult ReadBytes(const std::vector<uint8_t>& bytes)
{
    ReadResult result;
    ByteReader reader(bytes);
    testing::internal::CaptureStderr();
    result.bOk = ReadNmfFile(reader, result.triangles);
    result.strErrors = testing::internal::GetCapturedStderr();
    return result;
}
}

TEST(NmfFileTest, OneTriangleMakesThe116ByteFileAndReadsBack)
{
    NmfTriangle triangle = MakeTriangle(0.0f);
    ByteWriter writer;
    ASSERT_TRUE(WriteNmfFile(writer, 1, &triangle));
    const std::vector<uint8_t>& bytes = writer.GetBuffer();
    ASSERT_EQ(bytes.size(), 116u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "NMF ");
    EXPECT_EQ(I32At(bytes, 4), 108);
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 12), "TRIS");
    EXPECT_EQ(I32At(bytes, 12), 100);
    EXPECT_EQ(I32At(bytes, 16), 1);
    // Grouped by kind: corner 2's position at 24, corner 0's normal at 36, corner 0's u at 72.
    EXPECT_EQ(F32At(bytes, 20 + 24), triangle.m_fPositions[2][0]);
    EXPECT_EQ(F32At(bytes, 20 + 36), triangle.m_fNormals[0][0]);
    EXPECT_EQ(F32At(bytes, 20 + 72), triangle.m_fTexCoords[0][0]);
    EXPECT_EQ(F32At(bytes, 20 + 92), triangle.m_fTexCoords[2][1]);

    ReadResult result = ReadBytes(bytes);
    ASSERT_TRUE(result.bOk);
    EXPECT_EQ(result.strErrors, "");
    ASSERT_EQ(result.triangles.size(), 1u);
    EXPECT_TRUE(SameBytes(result.triangles[0], triangle));
}

TEST(NmfFileTest, SeveralTrianglesRoundTripThroughNamedFiles)
{
    std::string strPath = (std::filesystem::temp_directory_path() / ("quen_nmf_" + std::to_string(getpid()) + ".nmf"));
    std::vector<NmfTriangle> triangles = {MakeTriangle(0.0f), MakeTriangle(-50.0f), MakeTriangle(1000.0f)};
    ASSERT_TRUE(WriteNmfFile(strPath.c_str(), 3, triangles.data()));
    EXPECT_EQ(std::filesystem::file_size(strPath), 20u + 3u * 96u);
    std::vector<NmfTriangle> read;
    ASSERT_TRUE(ReadNmfFile(strPath.c_str(), read));
    ASSERT_EQ(read.size(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(SameBytes(read[i], triangles[i])) << i;
    std::filesystem::remove(strPath);

    SetLogEcho(false);
    ClearLogLines();
    EXPECT_FALSE(ReadNmfFile(strPath.c_str(), read));
    EXPECT_TRUE(read.empty());
    EXPECT_FALSE(WriteNmfFile((strPath + "/no/such/dir.nmf").c_str(), 3, triangles.data()));
    ASSERT_EQ(GetLogLines().size(), 2u);
    EXPECT_EQ(GetLogLines()[0].m_strText.rfind("ReadNmfFile() - Unable to read", 0), 0u);
    EXPECT_EQ(GetLogLines()[1].m_strText.rfind("WriteNmfFile() - Unable to write", 0), 0u);
    ClearLogLines();
    SetLogEcho(true);
}

TEST(NmfFileTest, HostileAndUnusualFilesGiveTheirMessages)
{
    struct Case
    {
        const char* szName;
        std::vector<uint8_t> bytes;
        bool bOk;
        const char* szErrors;
    };
    const Case cases[] = {
        {"other chunk before NMF", FileBuilder().Chunk("JUNK", 4).Int(7).Chunk("NMF ", 108).Chunk("TRIS", 100).Int(1).Triangles(1).Get(), true, ""},
        {"other chunk inside NMF", FileBuilder().Chunk("NMF ", 120).Chunk("INFO", 4).Int(0).Chunk("TRIS", 100).Int(1).Triangles(1).Get(), true, ""},
        {"count 0", FileBuilder().Chunk("NMF ", 12).Chunk("TRIS", 4).Int(0).Get(), false, "No triangles found in file\n"},
        {"negative count", FileBuilder().Chunk("NMF ", 12).Chunk("TRIS", 4).Int(-3).Get(), false, "No triangles found in file\n"},
        {"cut in the records", FileBuilder().Chunk("NMF ", 204).Chunk("TRIS", 196).Int(2).Triangles(1).Bytes(40).Get(), false,
         "Unable to read triangles\nEnd of file!\n"},
        {"count 0x7FFFFFFF", FileBuilder().Chunk("NMF ", 108).Chunk("TRIS", 100).Int(0x7FFFFFFF).Triangles(1).Get(), false,
         "Unable to read triangles\nEnd of file!\n"},
        {"TRIS outside NMF", FileBuilder().Chunk("TRIS", 100).Int(1).Triangles(1).Get(), false, "No NMF data found in file\n"},
        {"NMF without TRIS", FileBuilder().Chunk("NMF ", 12).Chunk("INFO", 4).Int(1).Get(), false, "No NMF data found in file\n"},
        {"empty file", {}, false, "No NMF data found in file\n"},
        {"negative chunk size", FileBuilder().Chunk("JUNK", -8).Chunk("NMF ", 108).Chunk("TRIS", 100).Int(1).Triangles(1).Get(), false,
         "Chunk size doesn't match file size\n"},
        {"negative size inside NMF", FileBuilder().Chunk("NMF ", 108).Chunk("INFO", -16).Chunk("TRIS", 100).Int(1).Triangles(1).Get(), false,
         "Chunk size doesn't match file size\n"},
        {"chunk past the end", FileBuilder().Chunk("JUNK", 5).Int(0).Get(), false, "Chunk size doesn't match file size\n"},
        {"chunk size 0x7FFFFFFF", FileBuilder().Chunk("JUNK", 0x7FFFFFFF).Int(0).Get(), false, "Chunk size doesn't match file size\n"},
        {"half a header", FileBuilder().Chunk("JUNK", 0).Bytes(5).Get(), false, "Unable to read header\n"},
        {"TRIS without a count", FileBuilder().Chunk("NMF ", 10).Chunk("TRIS", 2).Bytes(2).Get(), false, "Unable to read number of triangles\n"},
    };
    for (const Case& c : cases)
    {
        ReadResult result = ReadBytes(c.bytes);
        EXPECT_EQ(result.bOk, c.bOk) << c.szName;
        EXPECT_EQ(result.strErrors, c.szErrors) << c.szName;
        if (c.bOk)
        {
            ASSERT_EQ(result.triangles.size(), 1u) << c.szName;
            EXPECT_TRUE(SameBytes(result.triangles[0], MakeTriangle(0.0f))) << c.szName;
        }
        else
            EXPECT_TRUE(result.triangles.empty()) << c.szName;
    }
}

TEST(NmfFileTest, FileCutAnywhereFailsWithTheMessageOfWhereItStops)
{
    // A leading foreign chunk (0..11), the NMF header (12..19), the TRIS header (20..27), the
    // count (28..31), then two records (32..223).
    std::vector<uint8_t> whole = FileBuilder().Chunk("JUNK", 4).Int(7).Chunk("NMF ", 204).Chunk("TRIS", 196).Int(2).Triangles(2).Get();
    ASSERT_EQ(whole.size(), 224u);
    ASSERT_TRUE(ReadBytes(whole).bOk);
    struct Boundary
    {
        size_t nLength;
        const char* szErrors;
    };
    const Boundary boundaries[] = {
        {0, "No NMF data found in file\n"},
        {12, "No NMF data found in file\n"},
        {20, "No NMF data found in file\n"},
        {28, "Unable to read number of triangles\n"},
        {32, "Unable to read triangles\nEnd of file!\n"},
        {128, "Unable to read triangles\nEnd of file!\n"},
    };
    for (const Boundary& b : boundaries)
    {
        std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(b.nLength));
        ReadResult result = ReadBytes(cut);
        EXPECT_FALSE(result.bOk) << b.nLength;
        EXPECT_EQ(result.strErrors, b.szErrors) << b.nLength;
    }
    for (size_t nLength = 1; nLength < whole.size(); ++nLength)
    {
        std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(nLength));
        ReadResult result = ReadBytes(cut);
        EXPECT_FALSE(result.bOk) << nLength;
        EXPECT_TRUE(result.triangles.empty()) << nLength;
        EXPECT_FALSE(result.strErrors.empty()) << nLength;
    }
}

TEST(NmfFileTest, CopyWrapsBareRecordsInAnNmfFile)
{
    std::vector<uint8_t> bare = FileBuilder().Int(2).Triangles(2).Get();
    ByteReader input(bare);
    ByteWriter output;
    ASSERT_TRUE(CopyNmfFile(input, output));
    std::vector<NmfTriangle> expected = {MakeTriangle(0.0f), MakeTriangle(100.0f)};
    ByteWriter direct;
    ASSERT_TRUE(WriteNmfFile(direct, 2, expected.data()));
    EXPECT_EQ(output.GetBuffer(), direct.GetBuffer());

    std::vector<uint8_t> empty = FileBuilder().Int(0).Get();
    ByteReader emptyInput(empty);
    ByteWriter emptyOutput;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(CopyNmfFile(emptyInput, emptyOutput));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "No triangles found in file\nUnable to read input file\n");
    EXPECT_EQ(emptyOutput.GetSize(), 0u);
}

TEST(NmfFileTest, WriterRefusesCountsItCannotStore)
{
    NmfTriangle triangle = MakeTriangle(0.0f);
    struct Case
    {
        int32_t nCount;
        const NmfTriangle* pTriangles;
    };
    // 22369622 records would make the "NMF " chunk size 96 n + 12 overflow 32 bits.
    const Case cases[] = {{-1, &triangle}, {1, nullptr}, {22369622, &triangle}, {0x7FFFFFFF, &triangle}};
    for (const Case& c : cases)
    {
        ByteWriter writer;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(WriteNmfFile(writer, c.nCount, c.pTriangles)) << c.nCount;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "Unable to write NMF header\n") << c.nCount;
        EXPECT_EQ(writer.GetSize(), 0u) << c.nCount;
    }
}
