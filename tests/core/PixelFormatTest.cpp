#include "core/PixelFormat.h"

#include <gtest/gtest.h>

TEST(PixelFormatTest, TableOfEveryFormat)
{
    struct Case
    {
        int format;
        int bytesPerPixel, bytesPerBlock, channels, bytesPerChannel;
        bool compressed, plain, isFloat, is565;
    };
    const Case cases[] = {
        {FORMAT_NONE, 0, 16, 0, 1, false, true, false, false},
        {I8, 1, 16, 1, 1, false, true, false, false},
        {RGB8, 3, 16, 3, 1, false, true, false, false},
        {RGBA8, 4, 16, 4, 1, false, true, false, false},
        {I32F, 4, 16, 1, 4, false, true, true, false},
        {RGB32F, 12, 16, 3, 4, false, true, true, false},
        {RGBA32F, 16, 16, 4, 4, false, true, true, false},
        {RGB565, 2, 16, 3, 4, false, false, false, true},
        {DXT1, 0, 8, 3, 4, true, false, false, false},
        {DXT3, 0, 16, 4, 4, true, false, false, false},
        {DXT5, 0, 16, 4, 4, true, false, false, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(GetBytesPerPixel(c.format), c.bytesPerPixel);
        EXPECT_EQ(GetBytesPerBlock(c.format), c.bytesPerBlock);
        EXPECT_EQ(GetChannelCount(c.format), c.channels);
        EXPECT_EQ(GetBytesPerChannel(c.format), c.bytesPerChannel);
        EXPECT_EQ(IsCompressedFormat(c.format), c.compressed);
        EXPECT_EQ(IsPlainFormat(c.format), c.plain);
        EXPECT_EQ(IsFloatFormat(c.format), c.isFloat);
        EXPECT_EQ(IsRGB565Format(c.format), c.is565);
    }
    EXPECT_EQ(GetBytesPerPixel(11), 0);
    EXPECT_EQ(GetChannelCount(-1), 0);
    EXPECT_EQ(GetChannelCount(11), 0);
}

TEST(PixelFormatTest, RoundToNearestPowerOfTwoRoundsMidpointsUp)
{
    const int cases[][2] = {{1, 1}, {2, 2}, {3, 4}, {5, 4}, {6, 8}, {80, 64}, {96, 128}, {480, 512}, {640, 512},
                            {768, 1024}, {1024, 1024}, {0, 1}, {-5, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(RoundToNearestPowerOfTwo(c[0]), c[1]) << c[0];
}

TEST(PixelFormatTest, SwapRedBlueExchangesFirstAndThirdByteAtEachStep)
{
    uint8_t bytes[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    SwapRedBlue(bytes, 2, 4);
    const uint8_t expected[] = {3, 2, 1, 4, 7, 6, 5, 8, 9};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(bytes[i], expected[i]) << i;
}
