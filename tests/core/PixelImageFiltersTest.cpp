#include "core/PixelImage.h"

#include "ImageTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
using Bytes = std::vector<uint8_t>;
}

TEST(PixelImageFiltersTest, ToGrayScaleWeighsTheRedByteByOrder)
{
    struct Case
    {
        Bytes pixel;
        bool rgbOrder;
        uint8_t grey;
    };
    const Case cases[] = {
        {{255, 255, 255}, true, 255}, {{0, 0, 0}, false, 0}, {{255, 0, 0}, true, (77 * 255 + 128) >> 8},
        {{255, 0, 0}, false, (28 * 255 + 128) >> 8}, {{0, 255, 0, 9}, true, (151 * 255 + 128) >> 8},
    };
    for (const Case& c : cases)
    {
        PixelImage image;
        SetImage(image, 1, 1, c.pixel.size() == 4 ? RGBA8 : RGB8, c.pixel);
        ASSERT_TRUE(image.ToGrayScale(c.rgbOrder, false));
        EXPECT_EQ(image.format, I8);
        EXPECT_EQ(image.pixels[0], c.grey);
    }

    PixelImage wrong;
    SetImage(wrong, 1, 1, I8, {1});
    EXPECT_FALSE(wrong.ToGrayScale(true, true));
}

TEST(PixelImageFiltersTest, ToGrayScaleShrinksEveryLevelIntoAnOwnedBuffer)
{
    // 2 x 2 RGB8 with two levels in a borrowed buffer: shrinking moves it to an owned block.
    uint8_t borrowed[15] = {255, 255, 255, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 255, 255};
    PixelImage image;
    image.Adopt(borrowed, 2, 2, RGB8, false, true);
    ASSERT_TRUE(image.ToGrayScale(true, true));
    EXPECT_TRUE(image.ownsPixels);
    EXPECT_NE(image.pixels, borrowed);
    EXPECT_EQ(AllBytes(image), (Bytes{255, 0, 255, 0, 255}));
}

TEST(PixelImageFiltersTest, MipLevelToAlphaFadesToTheLastLevel)
{
    PixelImage image;
    SetImage(image, 8, 1, RGB8, Bytes((8 + 4 + 2 + 1) * 3, 50));
    image.mipCount = 4;
    ASSERT_TRUE(image.MipLevelToAlpha());
    EXPECT_EQ(image.format, RGBA8);
    const uint8_t alphas[4] = {255, 170, 85, 0};
    for (int level = 0; level < 4; ++level)
    {
        Bytes bytes = LevelBytes(image, level);
        for (size_t i = 0; i < bytes.size(); i += 4)
        {
            EXPECT_EQ(bytes[i], 50);
            EXPECT_EQ(bytes[i + 3], alphas[level]) << "level " << level;
        }
    }

    PixelImage single;
    SetImage(single, 1, 1, RGB8, {1, 2, 3});
    EXPECT_FALSE(single.MipLevelToAlpha());
}

TEST(PixelImageFiltersTest, ToEdgeMapClampsOrWraps)
{
    struct Case
    {
        const char* name;
        int32_t x, y;   // the one bright pixel (10) of a 3 x 3 grey image
        bool clamp;
        uint8_t centre;
    };
    const Case cases[] = {
        {"middle pixel", 1, 1, true, 160},               // (4 x 10) x 4
        {"corner pixel, clamped", 0, 0, true, 80},       // up and left are the pixel itself
        {"corner pixel, wrapped", 0, 0, false, 160},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Bytes bytes(9, 0);
        bytes[c.y * 3 + c.x] = 10;
        PixelImage image;
        SetImage(image, 3, 3, I8, bytes);
        ASSERT_TRUE(image.ToEdgeMap(c.clamp));
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(image.pixels[i], i == c.y * 3 + c.x ? c.centre : 0) << i;
    }

    PixelImage flat;
    SetImage(flat, 4, 4, RGBA8, Bytes(64 + 16 + 4, 200), 3);
    ASSERT_TRUE(flat.ToEdgeMap(false));
    EXPECT_EQ(flat.mipCount, 1);
    EXPECT_EQ(AllBytes(flat), Bytes(64, 0));

    PixelImage floats;
    SetImage(floats, 1, 1, I32F, Bytes(4, 0));
    EXPECT_FALSE(floats.ToEdgeMap(true));
}

TEST(PixelImageFiltersTest, ToNormalMapFlatAndStep)
{
    for (bool rgbOrder : {true, false})
    {
        PixelImage flat;
        SetImage(flat, 4, 2, I8, Bytes(8 + 2 + 1, 90), 3);
        ASSERT_TRUE(flat.ToNormalMap(rgbOrder));
        EXPECT_EQ(flat.format, RGB8);
        EXPECT_EQ(flat.mipCount, 3);
        Bytes expected = rgbOrder ? Bytes{127, 127, 254} : Bytes{254, 127, 127};
        for (int level = 0; level < 3; ++level)
        {
            Bytes bytes = LevelBytes(flat, level);
            for (size_t i = 0; i < bytes.size(); i += 3)
                EXPECT_EQ(Bytes(bytes.begin() + i, bytes.begin() + i + 3), expected) << "level " << level;
        }
    }

    // Columns 0, 0, 255, 255 repeated on every row: each column sits next to the step, either
    // inside the image or across its wrapped edge, so x leans away from 127 everywhere while y
    // stays level. The ideal x is 127.5 x (1 + nx) with nx = dx / |(dx, 0, 256)|, dx = +-1020.
    Bytes bytes;
    for (int y = 0; y < 4; ++y)
        bytes.insert(bytes.end(), {0, 0, 255, 255});
    PixelImage step;
    SetImage(step, 4, 4, I8, bytes);
    ASSERT_TRUE(step.ToNormalMap(true));
    const double nx = 1020.0 / std::sqrt(1020.0 * 1020.0 + 256.0 * 256.0);
    const int sign[4] = {+1, -1, -1, +1};
    for (int x = 0; x < 4; ++x)
    {
        const uint8_t* p = step.pixels + 3 * x;
        EXPECT_NEAR(p[0], 127.5 * (1 + sign[x] * nx), 2.0) << "column " << x;
        EXPECT_EQ(p[1], 127) << "column " << x;
        EXPECT_LT(p[2], 254);
    }

    PixelImage colour;
    SetImage(colour, 1, 1, RGB8, {1, 2, 3});
    EXPECT_FALSE(colour.ToNormalMap(true));
}
