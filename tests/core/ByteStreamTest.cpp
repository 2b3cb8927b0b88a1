#include "core/ByteStream.h"

#include <gtest/gtest.h>

TEST(ByteReaderTest, ReadsLittleEndianValues)
{
    const uint8_t bytes[] = {0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x80, 0x3F};
    ByteReader reader(bytes, sizeof(bytes));
    uint16_t a = 0;
    uint32_t b = 0;
    int32_t c = 0;
    float d = 0;
    EXPECT_TRUE(reader.ReadU16(a));
    EXPECT_TRUE(reader.ReadU32(b));
    EXPECT_TRUE(reader.ReadI32(c));
    EXPECT_TRUE(reader.ReadF32(d));
    EXPECT_EQ(a, 0x1234);
    EXPECT_EQ(b, 0x12345678u);
    EXPECT_EQ(c, -2);
    EXPECT_EQ(d, 1.0f);
    EXPECT_TRUE(reader.IsAtEnd());
    EXPECT_TRUE(reader.IsGood());
}

TEST(ByteReaderTest, RefusesReadsPastTheEnd)
{
    const uint8_t bytes[] = {1, 2, 3};
    struct Case
    {
        const char* name;
        bool (*op)(ByteReader&);
    } cases[] = {
        {"u32 from 3 bytes", [](ByteReader& r) { uint32_t n; return r.ReadU32(n); }},
        {"skip 4", [](ByteReader& r) { return r.Skip(4); }},
        {"seek 4", [](ByteReader& r) { return r.Seek(4); }},
        {"bytes 4", [](ByteReader& r) { uint8_t b[4]; return r.ReadBytes(b, 4); }},
        {"string field 8", [](ByteReader& r) { char s[8]; return r.ReadFixedString(s, 8); }},
        {"huge skip", [](ByteReader& r) { return r.Skip(SIZE_MAX); }},
    };
    for (const Case& c : cases)
    {
        ByteReader reader(bytes, sizeof(bytes));
        EXPECT_FALSE(c.op(reader)) << c.name;
        EXPECT_FALSE(reader.IsGood()) << c.name;
        EXPECT_EQ(reader.GetPosition(), 0u) << c.name;
    }
}

TEST(ByteReaderTest, FixedStringsAreAlwaysTerminated)
{
    const uint8_t bytes[] = {'a', 'b', 'c', 'd', 0, 'z', 'z', 'z', 'w', 'x', 'y', 'z'};
    ByteReader reader(bytes, sizeof(bytes));
    char first[8];
    char second[4];
    ASSERT_TRUE(reader.ReadFixedString(first, 8));
    ASSERT_TRUE(reader.ReadFixedString(second, 4));
    EXPECT_STREQ(first, "abcd");
    EXPECT_STREQ(second, "wxy");
    EXPECT_EQ(reader.GetPosition(), 12u);
}

TEST(ByteWriterTest, WritesWhatTheReaderReadsBack)
{
    ByteWriter writer;
    writer.WriteI32(-7);
    writer.WriteF32(2.5f);
    writer.WriteFixedString("long name here", 8);
    writer.WriteU16(0xBEEF);
    ASSERT_EQ(writer.GetSize(), 18u);
    EXPECT_EQ(writer.GetBuffer()[0], 0xF9);

    ByteReader reader(writer.GetBuffer());
    int32_t n;
    float f;
    char s[8];
    uint16_t w;
    ASSERT_TRUE(reader.ReadI32(n) && reader.ReadF32(f) && reader.ReadFixedString(s, 8) && reader.ReadU16(w));
    EXPECT_EQ(n, -7);
    EXPECT_EQ(f, 2.5f);
    EXPECT_STREQ(s, "long na");
    EXPECT_EQ(w, 0xBEEF);
}

TEST(ByteWriterTest, PatchesOnlyWithinTheBuffer)
{
    ByteWriter writer;
    writer.WriteU32(0);
    writer.WriteU8(9);
    EXPECT_TRUE(writer.PatchU32(0, 0x01020304));
    EXPECT_EQ(writer.GetBuffer()[0], 0x04);
    EXPECT_EQ(writer.GetBuffer()[3], 0x01);
    EXPECT_FALSE(writer.PatchU32(2, 1));
    EXPECT_FALSE(writer.PatchU32(SIZE_MAX, 1));
}
