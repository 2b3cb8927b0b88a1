#include "core/DXTBlocks.h"
#include "core/PixelImage.h"

#include "ImageTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace
{
using Bytes = std::vector<uint8_t>;

// A DXT1-style colour block whose first row uses indices 0, 1, 2, 3 from left to right and
// whose other rows all use index 0.
Bytes ColourBlock(uint16_t c0, uint16_t c1)
{
    return {static_cast<uint8_t>(c0), static_cast<uint8_t>(c0 >> 8), static_cast<uint8_t>(c1), static_cast<uint8_t>(c1 >> 8), 0xE4, 0, 0, 0};
}

Bytes Pixel(const Bytes& image, int index, int bytesPerPixel)
{
    return Bytes(image.begin() + index * bytesPerPixel, image.begin() + (index + 1) * bytesPerPixel);
}
}

TEST(PixelImageConvertTest, DXT1DecodesFourAndThreeColourBlocks)
{
    struct Case
    {
        const char* name;
        uint16_t c0, c1;
        Bytes colours[4];   // red, green, blue, alpha for indices 0 to 3
    };
    const Case cases[] = {
        {"four colours (c0 > c1)", 0xF800, 0x001F, {{248, 0, 0, 255}, {0, 0, 248, 255}, {165, 0, 83, 255}, {83, 0, 165, 255}}},
        {"three colours and transparent black", 0x001F, 0xF800, {{0, 0, 248, 255}, {248, 0, 0, 255}, {124, 0, 124, 255}, {0, 0, 0, 0}}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Bytes block = ColourBlock(c.c0, c.c1);
        Bytes out(4 * 4 * 4, 0xAA);
        DecodeDXTBlocks(block.data(), 4, 4, DXT1, out.data(), 4);
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(Pixel(out, k, 4), c.colours[k]) << "index " << k;
        EXPECT_EQ(Pixel(out, 4, 4), c.colours[0]);

        PixelImage image;
        SetImage(image, 4, 4, DXT1, block);
        ASSERT_TRUE(image.DecompressDXT());
        EXPECT_EQ(image.format, RGB8);
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(Pixel(LevelBytes(image, 0), k, 3), Bytes(c.colours[k].begin(), c.colours[k].begin() + 3));
    }
}

TEST(PixelImageConvertTest, DXT3DecodesExplicitAlphaAndAlwaysFourColours)
{
    // Alpha nibbles 0, 1, ..., 15 for pixels 0 to 15; colour block with c0 <= c1.
    Bytes block = {0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE};
    Bytes colour = ColourBlock(0x001F, 0xF800);
    block.insert(block.end(), colour.begin(), colour.end());
    PixelImage image;
    SetImage(image, 4, 4, DXT3, block);
    ASSERT_TRUE(image.DecompressDXT());
    EXPECT_EQ(image.format, RGBA8);
    Bytes out = LevelBytes(image, 0);
    EXPECT_EQ(Pixel(out, 2, 4), (Bytes{83, 0, 165, 2 << 4}));   // (2 C0 + C1 + 1) / 3
    EXPECT_EQ(Pixel(out, 3, 4), (Bytes{165, 0, 83, 3 << 4}));
    EXPECT_EQ(out[15 * 4 + 3], 240);
}

TEST(PixelImageConvertTest, DXT5InterpolatesAlphaAndClipsSmallLevels)
{
    struct Case
    {
        const char* name;
        uint8_t a0, a1;
        uint8_t expected[4];   // pixels 0, 1, 4, 5 take indices 0, 1, 2 and 7
    };
    const Case cases[] = {
        {"eight-step mode", 200, 100, {200, 100, (6 * 200 + 1 * 100) / 7, (1 * 200 + 6 * 100) / 7}},
        {"six-step mode", 100, 200, {100, 200, (4 * 100 + 1 * 200) / 5, 255}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        // 3-bit indices, pixel k at bits 3k: 0 -> 0, 1 -> 1, 4 -> 2, 5 -> 7, every other pixel 6.
        uint64_t bits = 0;
        for (int k = 0; k < 16; ++k)
        {
            uint64_t index = k == 0 ? 0 : k == 1 ? 1 : k == 4 ? 2 : k == 5 ? 7 : 6;
            bits |= index << (3 * k);
        }
        Bytes block = {c.a0, c.a1};
        for (int i = 0; i < 6; ++i)
            block.push_back(static_cast<uint8_t>(bits >> (8 * i)));
        Bytes colour = ColourBlock(0xFFFF, 0xFFFF);
        block.insert(block.end(), colour.begin(), colour.end());

        PixelImage image;
        SetImage(image, 2, 2, DXT5, block);
        ASSERT_TRUE(image.DecompressDXT());
        Bytes out = LevelBytes(image, 0);
        ASSERT_EQ(out.size(), 16u);
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(out[4 * k + 3], c.expected[k]) << "pixel " << k;
    }
}

TEST(PixelImageConvertTest, DecompressDXTConvertsEveryLevel)
{
    // 8 x 4 DXT1 with two levels: level 0 two red blocks, level 1 one blue block.
    Bytes bytes = ColourBlock(0xF800, 0xF800);
    Bytes red = bytes;
    bytes.insert(bytes.end(), red.begin(), red.end());
    Bytes blue = ColourBlock(0x001F, 0x001F);
    bytes.insert(bytes.end(), blue.begin(), blue.end());
    PixelImage image;
    SetImage(image, 8, 4, DXT1, bytes, 2);
    ASSERT_TRUE(image.DecompressDXT());
    EXPECT_EQ(image.mipCount, 2);
    Bytes level1 = LevelBytes(image, 1);
    ASSERT_EQ(level1.size(), 4u * 2 * 3);
    EXPECT_EQ(Pixel(level1, 7, 3), (Bytes{0, 0, 248}));
    EXPECT_EQ(Pixel(LevelBytes(image, 0), 31, 3), (Bytes{248, 0, 0}));

    PixelImage plain;
    SetImage(plain, 1, 1, RGB8, {1, 2, 3});
    EXPECT_TRUE(plain.DecompressDXT());
    EXPECT_EQ(plain.format, RGB8);
    EXPECT_TRUE(plain.Expand565());
    EXPECT_EQ(AllBytes(plain), (Bytes{1, 2, 3}));
}

TEST(PixelImageConvertTest, Expand565MovesFieldsToTheTopBits)
{
    PixelImage image;
    SetImage(image, 4, 1, RGB565, {0xFF, 0xFF, 0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00});
    ASSERT_TRUE(image.Expand565());
    EXPECT_EQ(image.format, RGB8);
    EXPECT_EQ(AllBytes(image), (Bytes{248, 252, 248, 248, 0, 0, 0, 252, 0, 0, 0, 248}));
}

TEST(PixelImageConvertTest, ConvertBetweenPlainFormats)
{
    struct Case
    {
        const char* name;
        int from;
        Bytes input;
        int to;
        Bytes expected;
    };
    const Case cases[] = {
        {"grey to RGBA", I8, {255}, RGBA8, {255, 255, 255, 255}},
        {"red to grey", RGB8, {255, 0, 0}, I8, {76}},   // trunc(0.3 x 255)
        {"RGB to RGBA adds opaque alpha", RGB8, {1, 2, 3}, RGBA8, {1, 2, 3, 255}},
        {"RGBA to RGB drops alpha", RGBA8, {9, 8, 7, 6}, RGB8, {9, 8, 7}},
        {"same format", RGB8, {1, 2, 3}, RGB8, {1, 2, 3}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        PixelImage image;
        SetImage(image, 1, 1, c.from, c.input);
        ASSERT_TRUE(image.Convert(c.to));
        EXPECT_EQ(image.format, c.to);
        EXPECT_EQ(AllBytes(image), c.expected);
    }

    PixelImage floats;
    SetImage(floats, 1, 1, I8, {51});
    ASSERT_TRUE(floats.Convert(RGBA32F));
    float rgba[4];
    std::memcpy(rgba, floats.pixels, sizeof(rgba));
    EXPECT_NEAR(rgba[0], 0.2f, 1e-6f);
    EXPECT_NEAR(rgba[2], 0.2f, 1e-6f);
    EXPECT_EQ(rgba[3], 1.0f);
}

TEST(PixelImageConvertTest, ConvertRefusesFormatNoneAndNonPlainFormats)
{
    const int pairs[][2] = {{RGB8, FORMAT_NONE}, {FORMAT_NONE, RGB8}, {RGB8, RGB565}, {DXT1, RGB8}, {RGB8, DXT5}, {RGB8, 42}};
    for (const auto& pair : pairs)
    {
        PixelImage image;
        SetImage(image, 1, 1, pair[0], {1, 2, 3});
        EXPECT_FALSE(image.Convert(pair[1])) << pair[0] << " -> " << pair[1];
        EXPECT_EQ(image.format, pair[0]);
        EXPECT_EQ(image.pixels[0], 1);
    }
}

TEST(PixelImageConvertTest, EightBitRoundTripThroughFloatsIsLossless)
{
    // Every byte value in every channel, alpha opaque: RGBA8 -> RGB8 -> RGBA8 and through RGBA32F.
    Bytes bytes;
    for (int v = 0; v < 256; ++v)
        bytes.insert(bytes.end(), {static_cast<uint8_t>(v), static_cast<uint8_t>(255 - v), static_cast<uint8_t>(v), 255});
    for (int via : {RGB8, RGBA32F, RGB32F})
    {
        PixelImage image;
        SetImage(image, 256, 1, RGBA8, bytes);
        ASSERT_TRUE(image.Convert(via));
        ASSERT_TRUE(image.Convert(RGBA8));
        EXPECT_EQ(AllBytes(image), bytes) << "via " << via;
    }
}

TEST(PixelImageConvertTest, ConvertEveryLevel)
{
    PixelImage image;
    SetImage(image, 2, 2, I8, {1, 2, 3, 4, 5}, 2);
    ASSERT_TRUE(image.Convert(RGB8));
    EXPECT_EQ(LevelBytes(image, 1), (Bytes{5, 5, 5}));
}
