#include "core/PixelImage.h"

#include "ImageTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
using Bytes = std::vector<uint8_t>;
}

TEST(PixelImageResizeTest, BilinearLastRowTakes255Of256OfTheBottomRow)
{
    // 2 x 2 grey, top row 0, bottom row 255, to 4 x 4: target row i sits at i/3 of the way down,
    // in 1/256 steps, and the last row steps back by 1/256.
    PixelImage image;
    SetImage(image, 2, 2, I8, {0, 0, 255, 255}, 3);
    ASSERT_TRUE(image.Resize(4, 4, 1));
    EXPECT_EQ(image.width, 4);
    EXPECT_EQ(image.height, 4);
    EXPECT_EQ(image.mipCount, 1);
    const int fy[4] = {0, 256 / 3, 512 / 3, 255};
    for (int i = 0; i < 4; ++i)
    {
        uint8_t expected = static_cast<uint8_t>(255 * fy[i] / 256);
        for (int j = 0; j < 4; ++j)
            EXPECT_EQ(image.pixels[i * 4 + j], expected) << "row " << i;
    }
    EXPECT_EQ(image.pixels[15], 254);
}

TEST(PixelImageResizeTest, NearestPicksProportionalPixels)
{
    PixelImage image;
    SetImage(image, 3, 1, RGB8, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    ASSERT_TRUE(image.Resize(5, 2, 0));
    // Columns j x 2 / 4: 0, 0, 1, 1, 2.
    const Bytes row = {1, 2, 3, 1, 2, 3, 4, 5, 6, 4, 5, 6, 7, 8, 9};
    Bytes expected = row;
    expected.insert(expected.end(), row.begin(), row.end());
    EXPECT_EQ(AllBytes(image), expected);
}

TEST(PixelImageResizeTest, DegenerateSidesStayInsideTheSource)
{
    // Sides of 1 in the source or the target: no division by zero, no row -1.
    struct Case
    {
        int32_t w, h, nw, nh;
    };
    const Case cases[] = {{1, 3, 4, 4}, {3, 1, 4, 4}, {1, 1, 4, 4}, {4, 4, 1, 1}, {1, 5, 1, 7}, {4, 4, 1, 3}, {4, 4, 3, 1}};
    for (const Case& c : cases)
    {
        for (int filter = 0; filter < 3; ++filter)
        {
            SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " -> " << c.nw << "x" << c.nh << " filter " << filter);
            Bytes bytes(static_cast<size_t>(c.w * c.h), 0);
            for (size_t i = 0; i < bytes.size(); ++i)
                bytes[i] = static_cast<uint8_t>(100 + i);
            PixelImage image;
            SetImage(image, c.w, c.h, I8, bytes);
            ASSERT_TRUE(image.Resize(c.nw, c.nh, filter));
            ASSERT_EQ(AllBytes(image).size(), static_cast<size_t>(c.nw * c.nh));
            // A target of one pixel samples position 0; a one-pixel source fills the target.
            if (c.nw == 1 && c.nh == 1)
            {
                EXPECT_EQ(image.pixels[0], 100);
            }
            if (c.w == 1 && c.h == 1)
            {
                EXPECT_EQ(AllBytes(image), Bytes(16, 100));
            }
            for (uint8_t v : AllBytes(image))
            {
                EXPECT_GE(v, 100);
                EXPECT_LT(v, 100 + bytes.size());
            }
        }
    }
}

TEST(PixelImageResizeTest, WideRampsStayRampsPast32BitPositions)
{
    // A 5000-pixel ramp: j x (W - 1) x 256 passes 2^31, so positions must be 64-bit. Both
    // interpolating filters reproduce a linear ramp to within rounding.
    const int32_t W = 5000, n = 4000;
    Bytes bytes(static_cast<size_t>(W) * 2);
    for (int32_t x = 0; x < W; ++x)
        bytes[x] = bytes[W + x] = static_cast<uint8_t>(x * 255 / (W - 1));
    for (int filter : {1, 2})
    {
        PixelImage image;
        SetImage(image, W, 2, I8, bytes);
        ASSERT_TRUE(image.Resize(n, 2, filter));
        int nWorst = 0;
        for (int32_t j = 0; j < n; ++j)
        {
            double ideal = j * 255.0 / (n - 1);
            nWorst = std::max(nWorst, static_cast<int>(std::fabs(image.pixels[j] - ideal) + 0.999));
        }
        EXPECT_LE(nWorst, 2) << "filter " << filter;
    }
}

TEST(PixelImageResizeTest, BicubicKeepsConstantsAndClamps)
{
    PixelImage flat;
    SetImage(flat, 3, 3, RGBA8, Bytes(36, 77));
    ASSERT_TRUE(flat.Resize(7, 5, 2));
    EXPECT_EQ(AllBytes(flat), Bytes(7 * 5 * 4, 77));

    // A hard step overshoots in a cubic; the result is clamped to 0..255.
    PixelImage step;
    SetImage(step, 4, 1, I8, {0, 0, 255, 255});
    ASSERT_TRUE(step.Resize(13, 1, 2));
    EXPECT_EQ(step.pixels[0], 0);
    EXPECT_EQ(step.pixels[12], 255);
    for (int j = 1; j < 13; ++j)
        EXPECT_GE(step.pixels[j], step.pixels[j - 1]) << j;
}

TEST(PixelImageResizeTest, RefusesOtherFormatsSizesAndFilters)
{
    struct Case
    {
        const char* name;
        int format;
        int32_t nw, nh;
        int filter;
    };
    const Case cases[] = {
        {"float", I32F, 2, 2, 1}, {"565", RGB565, 2, 2, 1}, {"compressed", DXT1, 2, 2, 1},
        {"zero width", I8, 0, 2, 1}, {"negative height", I8, 2, -1, 1}, {"filter 3", I8, 2, 2, 3}, {"filter -1", I8, 2, 2, -1},
    };
    for (const Case& c : cases)
    {
        PixelImage image;
        SetImage(image, 4, 4, c.format, Bytes(64, 1));
        EXPECT_FALSE(image.Resize(c.nw, c.nh, c.filter)) << c.name;
        EXPECT_EQ(image.width, 4) << c.name;
    }
}
