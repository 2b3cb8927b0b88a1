#include "core/PixelImage.h"

#include "ImageFileTestUtil.h"
#include "ImageFixtures.h"
#include "ImageTestUtil.h"

#include <cstdlib>

namespace
{
class ImageFileWriteTest : public ImageFileTest
{
};

// Bytes from a fixed linear congruential sequence, so round trips see every kind of value.
Bytes NoiseBytes(size_t n, uint32_t seed)
{
    Bytes bytes(n);
    for (uint8_t& b : bytes)
    {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<uint8_t>(seed >> 24);
    }
    return bytes;
}

Bytes GreyToRgb(const Bytes& grey)
{
    Bytes rgb;
    for (uint8_t v : grey)
        rgb.insert(rgb.end(), {v, v, v});
    return rgb;
}

Bytes DropAlpha(const Bytes& rgba)
{
    Bytes rgb;
    for (size_t i = 0; i < rgba.size(); i += 4)
        rgb.insert(rgb.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
    return rgb;
}
}

TEST_F(ImageFileWriteTest, BmpHeaderAndPaddedRows)
{
    PixelImage image;
    SetImage(image, 3, 1, RGB8, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    std::string path = Path("row.bmp");
    ASSERT_TRUE(image.Save(path.c_str(), true, 0));
    Bytes file = ReadFile(path);
    ASSERT_EQ(file.size(), 66u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(ReadU32At(file, 2), 66u);    // file size
    EXPECT_EQ(ReadU32At(file, 10), 54u);   // pixel-data offset
    EXPECT_EQ(ReadU32At(file, 14), 40u);
    EXPECT_EQ(ReadU32At(file, 18), 3u);
    EXPECT_EQ(ReadU32At(file, 22), 1u);
    EXPECT_EQ(file[28], 24);
    EXPECT_EQ(ReadU32At(file, 34), 12u);   // image size: one 12-byte row
    EXPECT_EQ(ReadU32At(file, 38), 2835u);
    EXPECT_EQ(Bytes(file.begin() + 54, file.begin() + 63), (Bytes{3, 2, 1, 6, 5, 4, 9, 8, 7}));
    EXPECT_EQ(AllBytes(image), (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9}));   // unchanged by the save

    PixelImage back;
    ASSERT_TRUE(back.Load(path.c_str(), true, 0));
    EXPECT_EQ(AllBytes(back), AllBytes(image));

    PixelImage grey;
    SetImage(grey, 2, 1, I8, {7, 9});
    ASSERT_TRUE(grey.Save(Path("grey.bmp").c_str(), true, 0));
    Bytes greyFile = ReadFile(Path("grey.bmp"));
    EXPECT_EQ(ReadU32At(greyFile, 2), 54u + 1024 + 4);
    EXPECT_EQ(ReadU32At(greyFile, 10), 1078u);
    EXPECT_EQ(ReadU32At(greyFile, 54 + 4 * 200), 0xC8C8C8C8u);   // palette entry 200
}

TEST_F(ImageFileWriteTest, DdsHeaderFlagsAndMasks)
{
    struct Case
    {
        int format;
        uint32_t flags, bitCount, masks[4];
    };
    const Case cases[] = {
        {RGB8, 0x40, 24, {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}},
        {RGBA8, 0x41, 32, {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}},
        {RGB565, 0x40, 16, {0xF800, 0x07E0, 0x001F, 0xFF000000}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.format);
        PixelImage image;
        size_t nBytes = static_cast<size_t>(GetBytesPerPixel(c.format)) * (4 * 2 + 2 + 1);
        SetImage(image, 4, 2, c.format, NoiseBytes(nBytes, 3), 3);
        std::string path = Path("out.dds");
        ASSERT_TRUE(image.Save(path.c_str(), false, 0));
        Bytes file = ReadFile(path);
        ASSERT_EQ(file.size(), 128 + nBytes);
        EXPECT_EQ(Bytes(file.begin(), file.begin() + 4), (Bytes{'D', 'D', 'S', ' '}));
        EXPECT_EQ(ReadU32At(file, 4), 124u);
        EXPECT_EQ(ReadU32At(file, 8), 0x000A1007u);
        EXPECT_EQ(ReadU32At(file, 12), 2u);
        EXPECT_EQ(ReadU32At(file, 16), 4u);
        EXPECT_EQ(ReadU32At(file, 20), 0x00020EB6u);
        EXPECT_EQ(ReadU32At(file, 28), 3u);
        EXPECT_EQ(ReadU32At(file, 76), 32u);
        EXPECT_EQ(ReadU32At(file, 80), c.flags);
        EXPECT_EQ(ReadU32At(file, 84), 0u);
        EXPECT_EQ(ReadU32At(file, 88), c.bitCount);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(ReadU32At(file, 92 + 4 * i), c.masks[i]);
        EXPECT_EQ(ReadU32At(file, 108), 0x00401008u);

        // Read back with the same colour order and the mip flag: every level comes back.
        PixelImage back;
        ASSERT_TRUE(back.LoadDDS(path.c_str(), false, true));
        EXPECT_EQ(back.format, c.format);
        EXPECT_EQ(back.mipCount, 3);
        EXPECT_EQ(AllBytes(back), AllBytes(image));
    }

    PixelImage single;
    SetImage(single, 1, 1, RGB8, {1, 2, 3});
    ASSERT_TRUE(single.Save(Path("single.dds").c_str(), true, 0));
    Bytes file = ReadFile(Path("single.dds"));
    EXPECT_EQ(ReadU32At(file, 28), 0u);
    EXPECT_EQ(Bytes(file.begin() + 128, file.end()), (Bytes{3, 2, 1}));   // blue first in the file
}

TEST_F(ImageFileWriteTest, TgaHeaderForGreyImages)
{
    PixelImage image;
    SetImage(image, 2, 2, I8, {1, 2, 3, 4});
    ASSERT_TRUE(image.Save(Path("grey.tga").c_str(), true, 0));
    Bytes file = ReadFile(Path("grey.tga"));
    ASSERT_EQ(file.size(), 18u + 768 + 4);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 18), (Bytes{0, 1, 1, 0, 0, 0, 1, 24, 0, 0, 0, 0, 2, 0, 2, 0, 8, 0}));
    EXPECT_EQ(Bytes(file.begin() + 18 + 3 * 77, file.begin() + 18 + 3 * 78), (Bytes{77, 77, 77}));
    EXPECT_EQ(Bytes(file.end() - 4, file.end()), (Bytes{3, 4, 1, 2}));   // bottom row first
}

TEST_F(ImageFileWriteTest, PcxRunsAndPlanes)
{
    // One plane row of 70 equal bytes, then a single byte above 0xC0.
    struct Case
    {
        const char* name;
        int32_t width;
        Bytes row;
        Bytes encoded;
    };
    const Case cases[] = {
        {"run of 70", 70, Bytes(70, 0x33), {0xFF, 0x33, 0xC7, 0x33}},
        {"single high byte", 1, {0xC5}, {0xC1, 0xC5}},
        {"mixed", 5, {1, 2, 2, 0xC0, 3}, {1, 0xC2, 2, 0xC1, 0xC0, 3}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        PixelImage image;
        SetImage(image, c.width, 1, I8, c.row);
        ASSERT_TRUE(image.Save(Path("row.pcx").c_str(), true, 0));
        Bytes file = ReadFile(Path("row.pcx"));
        ASSERT_EQ(file.size(), 128 + c.encoded.size() + 1 + 768);
        EXPECT_EQ(file[65], 1);                               // planes
        EXPECT_EQ(file[66] | (file[67] << 8), c.width);       // bytes per line
        EXPECT_EQ(Bytes(file.begin() + 128, file.begin() + 128 + static_cast<long>(c.encoded.size())), c.encoded);
        EXPECT_EQ(file[128 + c.encoded.size()], 12);
        EXPECT_EQ(file.back(), 255);
    }

    PixelImage rgba;
    SetImage(rgba, 1, 1, RGBA8, {10, 20, 30, 40});
    ASSERT_TRUE(rgba.Save(Path("rgba.pcx").c_str(), false, 0));
    Bytes file = ReadFile(Path("rgba.pcx"));
    EXPECT_EQ(file[65], 3);
    EXPECT_EQ(Bytes(file.begin() + 128, file.end()), (Bytes{30, 20, 10}));   // planes red, green, blue; red is byte 2
}

TEST_F(ImageFileWriteTest, RoundTripsThroughEveryLosslessFormat)
{
    struct Case
    {
        const char* extension;
        int format;
        int loadedFormat;   // FORMAT_NONE: the save is refused
    };
    const Case cases[] = {
        {"tga", I8, RGB8}, {"tga", RGB8, RGB8}, {"tga", RGBA8, RGBA8},
        {"bmp", I8, RGB8}, {"bmp", RGB8, RGB8}, {"bmp", RGBA8, RGBA8},
        {"pcx", I8, RGB8}, {"pcx", RGB8, RGB8}, {"pcx", RGBA8, RGB8},
        {"dds", RGB8, RGB8}, {"dds", RGBA8, RGBA8}, {"dds", RGB565, RGB565}, {"dds", I8, FORMAT_NONE},
        {"png", I8, I8}, {"png", RGB8, RGB8}, {"png", RGBA8, RGBA8},
        {"jpg", RGBA8, FORMAT_NONE}, {"tga", RGB32F, FORMAT_NONE}, {"png", DXT1, FORMAT_NONE},
    };
    for (const Case& c : cases)
    {
        for (bool rgbOrder : {true, false})
        {
            SCOPED_TRACE(testing::Message() << c.extension << " format " << c.format << (rgbOrder ? " red first" : " blue first"));
            // 5 x 3: odd rows exercise the BMP padding.
            int nBytesPerPixel = std::max(GetBytesPerPixel(c.format), 1);
            Bytes pixels = NoiseBytes(static_cast<size_t>(5 * 3 * nBytesPerPixel), 11);
            PixelImage image;
            SetImage(image, 5, 3, c.format, pixels);
            std::string path = Path(std::string("round.") + c.extension);
            std::remove(path.c_str());
            if (c.loadedFormat == FORMAT_NONE)
            {
                EXPECT_FALSE(image.Save(path.c_str(), rgbOrder, 90));
                EXPECT_TRUE(ReadFile(path).empty());
                continue;
            }
            ASSERT_TRUE(image.Save(path.c_str(), rgbOrder, 90));
            EXPECT_EQ(AllBytes(image), pixels);
            PixelImage back;
            ASSERT_TRUE(back.Load(path.c_str(), rgbOrder, 0));
            EXPECT_EQ(back.format, c.loadedFormat);
            EXPECT_EQ(back.width, 5);
            EXPECT_EQ(back.height, 3);
            Bytes expected = pixels;
            if (c.format == I8 && c.loadedFormat == RGB8)
                expected = GreyToRgb(pixels);
            if (c.format == RGBA8 && c.loadedFormat == RGB8)
                expected = DropAlpha(pixels);
            EXPECT_EQ(AllBytes(back), expected);
        }
    }
}

TEST_F(ImageFileWriteTest, JpegRoundTripWithinTolerance)
{
    // Smooth ramps survive JPEG well; red rises left to right and blue top to bottom, so an
    // exchanged colour order would be far off.
    const int32_t w = 32, h = 16;
    for (int format : {I8, RGB8})
    {
        for (bool rgbOrder : {true, false})
        {
            SCOPED_TRACE(testing::Message() << "format " << format << (rgbOrder ? " red first" : " blue first"));
            int n = GetBytesPerPixel(format);
            Bytes pixels;
            for (int32_t y = 0; y < h; ++y)
            {
                for (int32_t x = 0; x < w; ++x)
                {
                    uint8_t red = static_cast<uint8_t>(x * 8), green = 100, blue = static_cast<uint8_t>(y * 16);
                    if (n == 1)
                        pixels.push_back(red);
                    else if (rgbOrder)
                        pixels.insert(pixels.end(), {red, green, blue});
                    else
                        pixels.insert(pixels.end(), {blue, green, red});
                }
            }
            PixelImage image;
            SetImage(image, w, h, format, pixels);
            std::string path = Path("ramp.jpg");
            ASSERT_TRUE(image.Save(path.c_str(), rgbOrder, 95));
            EXPECT_EQ(AllBytes(image), pixels);
            PixelImage back;
            ASSERT_TRUE(back.Load(path.c_str(), rgbOrder, 0));
            EXPECT_EQ(back.format, format);
            Bytes out = AllBytes(back);
            ASSERT_EQ(out.size(), pixels.size());
            int nWorst = 0;
            long nTotal = 0;
            for (size_t i = 0; i < out.size(); ++i)
            {
                int d = std::abs(out[i] - pixels[i]);
                nWorst = std::max(nWorst, d);
                nTotal += d;
            }
            EXPECT_LE(nWorst, 12);
            EXPECT_LE(static_cast<double>(nTotal) / static_cast<double>(out.size()), 2.0);
        }
    }
}
