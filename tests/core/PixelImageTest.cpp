#include "core/PixelImage.h"

#include "ImageTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(PixelImageTest, EmptyImageAndClear)
{
    PixelImage image;
    EXPECT_EQ(image.pixels, nullptr);
    EXPECT_EQ(image.mipCount, 0);
    EXPECT_EQ(image.GetFormat(), FORMAT_NONE);
    EXPECT_TRUE(image.ownsPixels);
    EXPECT_EQ(image.GetFullMipCount(), 0);

    SetImage(image, 2, 2, I8, {1, 2, 3, 4});
    image.Clear();
    EXPECT_EQ(image.pixels, nullptr);
    EXPECT_EQ(image.width, 0);
    EXPECT_EQ(image.height, 0);
    EXPECT_EQ(image.mipCount, 0);
    EXPECT_EQ(image.format, FORMAT_NONE);
    EXPECT_TRUE(image.ownsPixels);
}

TEST(PixelImageTest, FullMipCountAndLevelSides)
{
    struct Case
    {
        int32_t w, h, full;
    };
    const Case cases[] = {{1, 1, 1}, {256, 16, 9}, {16, 256, 9}, {512, 512, 10}, {1023, 3, 10}, {640, 480, 10}, {0, 0, 0}};
    for (const Case& c : cases)
    {
        PixelImage image;
        image.width = c.w;
        image.height = c.h;
        EXPECT_EQ(image.GetFullMipCount(), c.full) << c.w << "x" << c.h;
    }
    PixelImage image;
    image.width = 256;
    image.height = 16;
    EXPECT_EQ(image.GetLevelWidth(3), 32);
    EXPECT_EQ(image.GetLevelHeight(3), 2);
    EXPECT_EQ(image.GetLevelHeight(5), 1);
    EXPECT_EQ(image.GetLevelWidth(40), 1);
}

TEST(PixelImageTest, LevelsSizeWalksDownToOneByOne)
{
    struct Case
    {
        int32_t w, h;
        int format;
        int32_t first, count;
        int askFormat;
        size_t size;
    };
    const Case cases[] = {
        {4, 4, RGBA8, 0, ALL_MIP_LEVELS, FORMAT_NONE, (16 + 4 + 1) * 4},
        {4, 4, DXT1, 0, ALL_MIP_LEVELS, FORMAT_NONE, 3 * 8},     // 2x2 and 1x1 still take a block
        {4, 4, DXT5, 0, ALL_MIP_LEVELS, FORMAT_NONE, 3 * 16},
        {8, 8, DXT1, 0, 1, FORMAT_NONE, 4 * 8},
        {256, 1, I8, 0, ALL_MIP_LEVELS, FORMAT_NONE, 511},       // stops at 1x1 whatever the count
        {256, 1, I8, 0, 2, FORMAT_NONE, 256 + 128},
        {4, 4, RGBA8, 1, 1, FORMAT_NONE, 4 * 4},
        {4, 4, RGBA8, 0, 0, FORMAT_NONE, 0},
        {4, 4, DXT1, 0, ALL_MIP_LEVELS, RGB8, (16 + 4 + 1) * 3}, // sized for another format
        {3, 5, RGB565, 0, 1, FORMAT_NONE, 3 * 5 * 2},
    };
    for (const Case& c : cases)
    {
        PixelImage image;
        image.width = c.w;
        image.height = c.h;
        image.format = c.format;
        EXPECT_EQ(image.GetLevelsSize(c.first, c.count, c.askFormat), c.size) << c.w << "x" << c.h << " format " << c.format;
    }

    // Sizes past 32 bits: a 16384 x 16384 RGBA32F chain.
    PixelImage big;
    big.width = big.height = 16384;
    big.format = RGBA32F;
    uint64_t nExpected = 0;
    for (uint64_t side = 16384; side >= 1; side /= 2)
        nExpected += side * side * 16;
    EXPECT_EQ(big.GetLevelsSize(0, ALL_MIP_LEVELS), nExpected);
    EXPECT_EQ(big.GetLevelsPixelCount(0, 2), 16384ull * 16384 + 8192ull * 8192);
}

TEST(PixelImageTest, LevelPixelsPointInsideTheOneBuffer)
{
    PixelImage image;
    SetImage(image, 4, 4, RGBA8, std::vector<uint8_t>(84, 0), 3);
    EXPECT_EQ(image.GetLevelPixels(0), image.pixels);
    EXPECT_EQ(image.GetLevelPixels(1), image.pixels + 64);
    EXPECT_EQ(image.GetLevelPixels(2), image.pixels + 80);
    EXPECT_EQ(image.GetLevelPixels(3), nullptr);
    EXPECT_EQ(image.GetLevelPixels(-1), nullptr);
}

TEST(PixelImageTest, AdoptAndCopy)
{
    uint8_t borrowed[16] = {};
    PixelImage image;
    image.Adopt(borrowed, 4, 4, I8, false, true);
    EXPECT_EQ(image.mipCount, 3);
    EXPECT_FALSE(image.ownsPixels);
    image.Free();   // must not free the borrowed block
    EXPECT_EQ(image.pixels, nullptr);
    EXPECT_TRUE(image.ownsPixels);

    SetImage(image, 2, 1, RGB8, {1, 2, 3, 4, 5, 6});
    PixelImage copy(image);
    EXPECT_NE(copy.pixels, image.pixels);
    EXPECT_TRUE(copy.ownsPixels);
    EXPECT_EQ(copy.width, 2);
    EXPECT_EQ(copy.format, RGB8);
    EXPECT_EQ(AllBytes(copy), AllBytes(image));
}

TEST(PixelImageTest, CreateMipMapsAveragesEachClass)
{
    {
        PixelImage image;
        SetImage(image, 2, 2, I8, {10, 20, 30, 41});
        ASSERT_TRUE(image.CreateMipMaps());
        EXPECT_EQ(image.mipCount, 2);
        EXPECT_EQ(LevelBytes(image, 1), std::vector<uint8_t>{25});   // (10 + 20 + 30 + 41 + 2) >> 2
    }
    {
        // One row: the row neighbour is the pixel itself, so only columns are averaged.
        PixelImage image;
        SetImage(image, 4, 1, I8, {10, 20, 30, 40});
        ASSERT_TRUE(image.CreateMipMaps());
        EXPECT_EQ(image.mipCount, 3);
        EXPECT_EQ(LevelBytes(image, 1), (std::vector<uint8_t>{15, 35}));
        EXPECT_EQ(LevelBytes(image, 2), std::vector<uint8_t>{25});
    }
    {
        PixelImage image;
        const float values[4] = {1.0f, -2.0f, 2.0f, 0.5f};
        std::vector<uint8_t> bytes(sizeof(values));
        std::memcpy(bytes.data(), values, sizeof(values));
        SetImage(image, 2, 2, I32F, bytes);
        ASSERT_TRUE(image.CreateMipMaps());
        float f;
        std::memcpy(&f, image.GetLevelPixels(1), 4);
        EXPECT_FLOAT_EQ(f, 0.375f);
    }
    {
        // RGB565 fields summed separately and truncated: red 31+0+0+0 -> 7, green 63x4 -> 63,
        // blue 1+1+1+0 -> 0.
        PixelImage image;
        SetImage(image, 2, 2, RGB565, {0xE1, 0xFF, 0xE1, 0x07, 0xE1, 0x07, 0xE0, 0x07});
        ASSERT_TRUE(image.CreateMipMaps());
        uint16_t expected = (7 << 11) | (63 << 5) | 0;
        EXPECT_EQ(LevelBytes(image, 1), (std::vector<uint8_t>{static_cast<uint8_t>(expected), static_cast<uint8_t>(expected >> 8)}));
    }
    {
        PixelImage image;
        SetImage(image, 4, 4, DXT1, std::vector<uint8_t>(8, 0));
        EXPECT_FALSE(image.CreateMipMaps());
        EXPECT_EQ(image.mipCount, 1);
    }
}

TEST(PixelImageTest, CreateMipMapsGrowsAPartialChain)
{
    // An 8 x 8 image holding two levels in a buffer of exactly their size (64 + 16 bytes).
    std::vector<uint8_t> bytes(80, 100);
    PixelImage image;
    SetImage(image, 8, 8, I8, bytes, 2);
    ASSERT_TRUE(image.CreateMipMaps());
    EXPECT_EQ(image.mipCount, 4);
    EXPECT_EQ(LevelBytes(image, 3), std::vector<uint8_t>{100});
}

TEST(PixelImageTest, CreateMipMapsCopiesABorrowedBufferBeforeGrowing)
{
    uint8_t borrowed[4] = {10, 20, 30, 41};
    PixelImage image;
    image.Adopt(borrowed, 2, 2, I8, false, false);
    ASSERT_TRUE(image.CreateMipMaps());
    EXPECT_TRUE(image.ownsPixels);
    EXPECT_NE(image.pixels, borrowed);
    EXPECT_EQ(LevelBytes(image, 0), (std::vector<uint8_t>{10, 20, 30, 41}));
    EXPECT_EQ(LevelBytes(image, 1), std::vector<uint8_t>{25});
}

TEST(PixelImageTest, TintMipLevelsMasksEachLevelByItsColour)
{
    // 64 x 64 RGBA8: seven levels, level 6 takes colour 5 (cyan), level 0 untouched.
    PixelImage image;
    SetImage(image, 64, 64, RGBA8, std::vector<uint8_t>(64 * 64 * 4, 0xFF));
    ASSERT_TRUE(image.CreateMipMaps());
    ASSERT_EQ(image.mipCount, 7);
    ASSERT_TRUE(image.TintMipLevels());
    const uint8_t expected[7][4] = {{0xFF, 0xFF, 0xFF, 0xFF}, {0xFF, 0, 0, 0xFF}, {0, 0xFF, 0, 0xFF}, {0, 0, 0xFF, 0xFF},
                                    {0xFF, 0xFF, 0, 0xFF}, {0xFF, 0, 0xFF, 0xFF}, {0, 0xFF, 0xFF, 0xFF}};
    for (int level = 0; level < 7; ++level)
    {
        std::vector<uint8_t> bytes = LevelBytes(image, level);
        for (size_t i = 0; i < bytes.size(); ++i)
            ASSERT_EQ(bytes[i], expected[level][i % 4]) << "level " << level << " byte " << i;
    }

    PixelImage rgb565;
    SetImage(rgb565, 2, 2, RGB565, std::vector<uint8_t>(10, 0xFF), 2);
    ASSERT_TRUE(rgb565.TintMipLevels());
    EXPECT_EQ(LevelBytes(rgb565, 0), std::vector<uint8_t>(8, 0xFF));
    EXPECT_EQ(LevelBytes(rgb565, 1), (std::vector<uint8_t>{0x00, 0xF8}));

    PixelImage grey;
    SetImage(grey, 2, 2, I8, {1, 2, 3, 4, 5}, 2);
    EXPECT_FALSE(grey.TintMipLevels());
    PixelImage single;
    SetImage(single, 1, 1, RGB8, {1, 2, 3});
    EXPECT_FALSE(single.TintMipLevels());
}

TEST(PixelImageTest, TintMipLevelsKeepsDXTBlockModes)
{
    struct Case
    {
        const char* name;
        uint16_t c0, c1;       // before; the level's mask decides the rest
        uint16_t c0After, c1After;
        bool indicesRemapped;
    };
    // Level 1 masks with 0xF800, level 2 with 0x07E0, level 3 with 0x001F.
    const Case cases[] = {
        {"four-colour block whose endpoints become equal", 0xF81F, 0xF800, 0xF801, 0xF800, true},
        {"four-colour block whose order flips", 0xF800, 0x07E0, 0x07E0, 0x0000, true},
        {"three-colour block whose order flips", 0x001F, 0x0020, 0x0000, 0x001F, false},
    };
    // 8 x 8 DXT1: level 0 is four blocks, levels 1 to 3 one block each.
    std::vector<uint8_t> bytes(4 * 8, 0);
    for (const Case& c : cases)
    {
        const uint8_t block[8] = {static_cast<uint8_t>(c.c0), static_cast<uint8_t>(c.c0 >> 8),
                                  static_cast<uint8_t>(c.c1), static_cast<uint8_t>(c.c1 >> 8), 0x1B, 0xE4, 0x00, 0xFF};
        bytes.insert(bytes.end(), block, block + 8);
    }
    PixelImage image;
    SetImage(image, 8, 8, DXT1, bytes, 4);
    ASSERT_TRUE(image.TintMipLevels());
    for (int i = 0; i < 3; ++i)
    {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> out = LevelBytes(image, i + 1);
        ASSERT_EQ(out.size(), 8u);
        EXPECT_EQ(out[0] | (out[1] << 8), c.c0After);
        EXPECT_EQ(out[2] | (out[3] << 8), c.c1After);
        std::vector<uint8_t> indices(out.begin() + 4, out.end());
        if (c.indicesRemapped)
            EXPECT_EQ(indices, (std::vector<uint8_t>{0x1B ^ 0x55, 0xE4 ^ 0x55, 0x55, 0xFF ^ 0x55}));
        else
            EXPECT_EQ(indices, (std::vector<uint8_t>{0x1B, 0xE4, 0x00, 0xFF}));
    }

    // DXT5: the colour block follows 8 alpha bytes, which are left alone.
    std::vector<uint8_t> dxt5(16, 0);
    const uint8_t block[16] = {1, 2, 3, 4, 5, 6, 7, 8, 0xFF, 0xFF, 0x00, 0x00, 9, 9, 9, 9};
    dxt5.insert(dxt5.end(), block, block + 16);
    PixelImage image5;
    SetImage(image5, 4, 4, DXT5, dxt5, 2);
    ASSERT_TRUE(image5.TintMipLevels());
    const uint8_t expected5[16] = {1, 2, 3, 4, 5, 6, 7, 8, 0x00, 0xF8, 0x00, 0x00, 9, 9, 9, 9};
    EXPECT_EQ(LevelBytes(image5, 1), std::vector<uint8_t>(expected5, expected5 + 16));
}

TEST(PixelImageTest, FailedAllocationsLeaveTheImageUnchanged)
{
    struct Case
    {
        const char* name;
        int format;
        bool (*operation)(PixelImage&);
    };
    const Case cases[] = {
        {"CreateMipMaps", I8, [](PixelImage& i) { return i.CreateMipMaps(); }},
        {"Convert", I8, [](PixelImage& i) { return i.Convert(RGBA8); }},
        {"Resize", I8, [](PixelImage& i) { return i.Resize(8, 8, 1); }},
        {"DecompressDXT", DXT1, [](PixelImage& i) { return i.DecompressDXT(); }},
        {"Expand565", RGB565, [](PixelImage& i) { return i.Expand565(); }},
        {"MipLevelToAlpha", RGB8, [](PixelImage& i) { return i.MipLevelToAlpha(); }},
        {"ToEdgeMap", I8, [](PixelImage& i) { return i.ToEdgeMap(true); }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        PixelImage image;
        // 4 x 4 with two levels, enough bytes for every format used here.
        std::vector<uint8_t> bytes(4 * 4 * 3 + 2 * 2 * 3, 7);
        SetImage(image, 4, 4, c.format, bytes, 2);
        const uint8_t* pBefore = image.pixels;
        std::vector<uint8_t> before = AllBytes(image);
        SetPixelAllocationFailure(0);
        EXPECT_FALSE(c.operation(image));
        SetPixelAllocationFailure(-1);
        EXPECT_EQ(image.pixels, pBefore);
        EXPECT_EQ(image.format, c.format);
        EXPECT_EQ(image.width, 4);
        EXPECT_EQ(image.mipCount, 2);
        EXPECT_EQ(AllBytes(image), before);
    }
}
