#include "core/PixelImage.h"

#include "ImageFileTestUtil.h"
#include "ImageFixtures.h"
#include "ImageTestUtil.h"

#include <cmath>
#include <cstdio>

#include <jpeglib.h>

namespace
{
class ImageFileLibraryTest : public ImageFileTest
{
};

Bytes U16BE(std::initializer_list<uint16_t> values)
{
    Bytes out;
    for (uint16_t v : values)
        out.insert(out.end(), {static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)});
    return out;
}

Bytes U32BE(uint32_t v)
{
    Bytes out;
    WriteU32BE(out, v);
    return out;
}

// A JPEG written directly through libjpeg with any component count (JCS_UNKNOWN keeps them as
// they are) or as CMYK.
Bytes MakeRawJpeg(int nComponents, J_COLOR_SPACE colourSpace)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* pOut = nullptr;
    unsigned long nSize = 0;
    jpeg_mem_dest(&info, &pOut, &nSize);
    info.image_width = 8;
    info.image_height = 8;
    info.input_components = nComponents;
    info.in_color_space = colourSpace;
    jpeg_set_defaults(&info);
    jpeg_start_compress(&info, TRUE);
    Bytes row(static_cast<size_t>(8 * nComponents), 128);
    while (info.next_scanline < 8)
    {
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&info, &p, 1);
    }
    jpeg_finish_compress(&info);
    Bytes out(pOut, pOut + nSize);
    jpeg_destroy_compress(&info);
    std::free(pOut);
    return out;
}
}

TEST_F(ImageFileLibraryTest, PngColourTypesDecodeToEightBitFormats)
{
    PngSpec palette;
    palette.width = 2;
    palette.bitDepth = 4;
    palette.colourType = 3;
    palette.chunks = {{"PLTE", {255, 0, 0, 0, 255, 0}}};
    palette.scanlines = {0, 0x01};

    PngSpec paletteAlpha = palette;
    paletteAlpha.chunks.push_back({"tRNS", {128}});

    PngSpec deep;
    deep.bitDepth = 16;
    deep.scanlines = {0, 0xAB, 0xCD, 0x12, 0x34, 0xFF, 0x00};

    PngSpec greyAlpha;
    greyAlpha.colourType = 4;
    greyAlpha.scanlines = {0, 100, 50};

    PngSpec greyKey;
    greyKey.width = 2;
    greyKey.colourType = 0;
    greyKey.chunks = {{"tRNS", U16BE({7})}};
    greyKey.scanlines = {0, 7, 9};

    PngSpec background;
    background.width = 2;
    background.colourType = 6;
    background.chunks = {{"bKGD", U16BE({0, 0, 255})}};
    background.scanlines = {0, 255, 0, 0, 0, 0, 255, 0, 255};

    PngSpec grey;
    grey.width = 2;
    grey.colourType = 0;
    grey.scanlines = {0, 0, 200};

    // 2 x 2 Adam7: pass 1 holds (0, 0), pass 6 holds (1, 0), pass 7 the second row.
    PngSpec interlaced;
    interlaced.width = interlaced.height = 2;
    interlaced.colourType = 0;
    interlaced.interlace = 1;
    interlaced.scanlines = {0, 11, 0, 22, 0, 33, 44};

    struct Case
    {
        const char* name;
        Bytes file;
        int format;
        Bytes pixels;   // red first
    };
    const Case cases[] = {
        {"4-bit palette", MakePng(palette), RGB8, {255, 0, 0, 0, 255, 0}},
        {"4-bit palette with transparency", MakePng(paletteAlpha), RGBA8, {255, 0, 0, 128, 0, 255, 0, 255}},
        {"16-bit colour", MakePng(deep), RGB8, {0xAB, 0x12, 0xFF}},
        {"grey with alpha", MakePng(greyAlpha), RGBA8, {100, 100, 100, 50}},
        {"grey with a transparent key", MakePng(greyKey), RGBA8, {7, 7, 7, 0, 9, 9, 9, 255}},
        {"alpha over a background colour", MakePng(background), RGB8, {0, 0, 255, 0, 255, 0}},
        {"grey", MakePng(grey), I8, {0, 200}},
        {"interlaced grey", MakePng(interlaced), I8, {11, 22, 33, 44}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        std::string path = WriteFile("case.png", c.file);
        for (bool rgbOrder : {true, false})
        {
            PixelImage image;
            ASSERT_TRUE(image.Load(path.c_str(), rgbOrder, 0)) << (GetLogLines().empty() ? "" : GetLogLines().back().m_strText);
            EXPECT_EQ(image.format, c.format);
            Bytes expected = c.pixels;
            size_t step = static_cast<size_t>(GetBytesPerPixel(c.format));
            if (!rgbOrder && step >= 3)
                for (size_t i = 0; i < expected.size(); i += step)
                    std::swap(expected[i], expected[i + 2]);
            EXPECT_EQ(AllBytes(image), expected);
        }
    }
}

TEST_F(ImageFileLibraryTest, PngGammaIsCorrectedForTheScreen)
{
    struct Case
    {
        uint32_t fileGamma;   // times 100000
        double exponent;      // output = 255 (v / 255) ^ exponent
    };
    const Case cases[] = {{100000, 1.0 / 2.2}, {45455, 1.0}};
    for (const Case& c : cases)
    {
        PngSpec spec;
        spec.width = 3;
        spec.colourType = 0;
        spec.chunks = {{"gAMA", U32BE(c.fileGamma)}};
        spec.scanlines = {0, 32, 128, 250};
        PixelImage image;
        ASSERT_TRUE(image.Load(WriteFile("gamma.png", MakePng(spec)).c_str(), true, 0));
        for (int i = 0; i < 3; ++i)
        {
            double expected = 255.0 * std::pow(spec.scanlines[1 + i] / 255.0, c.exponent);
            EXPECT_NEAR(image.pixels[i], expected, 1.01) << "file gamma " << c.fileGamma << " value " << int(spec.scanlines[1 + i]);
        }
    }
}

TEST_F(ImageFileLibraryTest, PngWrittenRedFirstFromBlueFirstPixels)
{
    // The screenshot's case: blue-first pixels saved with rgbOrder false give red-first PNG pixels.
    PixelImage image;
    SetImage(image, 1, 1, RGB8, {10, 20, 30});
    std::string path = Path("shot.png");
    ASSERT_TRUE(image.Save(path.c_str(), false, 0));
    EXPECT_EQ(AllBytes(image), (Bytes{10, 20, 30}));
    PixelImage back;
    ASSERT_TRUE(back.Load(path.c_str(), true, 0));
    EXPECT_EQ(AllBytes(back), (Bytes{30, 20, 10}));
}

TEST_F(ImageFileLibraryTest, HostilePngFilesAreRefused)
{
    PngSpec palette;
    palette.width = 2;
    palette.bitDepth = 4;
    palette.colourType = 3;
    palette.chunks = {{"PLTE", {255, 0, 0, 0, 255, 0}}};
    palette.scanlines = {0, 0x01};
    const Bytes valid = MakePng(palette);

    PngSpec huge = palette;
    huge.width = huge.height = 100000;
    Bytes badCrc = valid;
    badCrc[8 + 8 + 13] ^= 0xFF;   // the IHDR CRC
    Bytes badData = valid;
    size_t nIdat = 0;
    for (size_t i = 0; i + 4 <= badData.size(); ++i)
        if (std::memcmp(&badData[i], "IDAT", 4) == 0)
            nIdat = i;
    ASSERT_NE(nIdat, 0u);
    badData[nIdat + 4 + 3] ^= 0xFF;   // the stored block's length no longer matches its complement
    // Recompute the chunk CRC so that only the compressed data is wrong.
    uint32_t nIdatLength = (uint32_t(badData[nIdat - 4]) << 24) | (badData[nIdat - 3] << 16) | (badData[nIdat - 2] << 8) | badData[nIdat - 1];
    uint32_t crc = Crc32(&badData[nIdat], 4 + nIdatLength);
    for (int i = 0; i < 4; ++i)
        badData[nIdat + 4 + nIdatLength + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));

    struct Case
    {
        const char* name;
        Bytes file;
    };
    std::vector<Case> cases = {
        {"100000 x 100000 header", MakePng(huge)},
        {"damaged header CRC", badCrc},
        {"damaged image data", badData},
        {"garbage", Bytes(64, 0x5A)},
        {"empty", {}},
    };
    for (size_t n = 0; n < valid.size(); ++n)
        cases.push_back({"cut short", Bytes(valid.begin(), valid.begin() + static_cast<long>(n))});
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.name << " (" << c.file.size() << " bytes)");
        ClearLogLines();
        PixelImage image;
        EXPECT_FALSE(image.Load(WriteFile("hostile.png", c.file).c_str(), true, 2));
        EXPECT_EQ(image.pixels, nullptr);
        EXPECT_TRUE(LoggedError("PixelImage::LoadPNG()"));
    }
    PixelImage image;
    EXPECT_TRUE(image.Load(WriteFile("valid.png", valid).c_str(), true, 2));
}

TEST_F(ImageFileLibraryTest, JpegComponentsAndDamage)
{
    struct Case
    {
        const char* name;
        Bytes file;
        bool loads;
        int format;
    };
    PixelImage source;
    SetImage(source, 8, 8, RGB8, Bytes(8 * 8 * 3, 77));
    ASSERT_TRUE(source.Save(Path("valid.jpg").c_str(), true, 80));
    const Bytes valid = ReadFile(Path("valid.jpg"));
    std::vector<Case> cases = {
        {"grey", MakeRawJpeg(1, JCS_GRAYSCALE), true, I8},
        {"colour", valid, true, RGB8},
        {"two components", MakeRawJpeg(2, JCS_UNKNOWN), false, FORMAT_NONE},
        {"CMYK", MakeRawJpeg(4, JCS_CMYK), false, FORMAT_NONE},
        {"garbage", Bytes(100, 0x11), false, FORMAT_NONE},
    };
    for (size_t n = 0; n < valid.size(); n += 7)
        cases.push_back({"cut short", Bytes(valid.begin(), valid.begin() + static_cast<long>(n)), false, FORMAT_NONE});
    cases.push_back({"cut before the end marker", Bytes(valid.begin(), valid.end() - 2), false, FORMAT_NONE});
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.name << " (" << c.file.size() << " bytes)");
        ClearLogLines();
        for (bool rgbOrder : {true, false})
        {
            PixelImage image;
            EXPECT_EQ(image.Load(WriteFile("case.jpg", c.file).c_str(), rgbOrder, 1), c.loads);
            if (c.loads)
            {
                EXPECT_EQ(image.format, c.format);
                EXPECT_EQ(image.mipCount, 4);
                EXPECT_NEAR(image.pixels[0], c.format == I8 ? 128 : 77, 2);
            }
            else
            {
                EXPECT_EQ(image.pixels, nullptr);
                EXPECT_TRUE(LoggedError("PixelImage::LoadJPEG()"));
            }
        }
    }

    // An I8 image saved with rgbOrder false is written and left as it is.
    PixelImage grey;
    SetImage(grey, 2, 2, I8, {0, 80, 160, 240});
    ASSERT_TRUE(grey.Save(Path("grey.jpeg").c_str(), false, 100));
    EXPECT_EQ(AllBytes(grey), (Bytes{0, 80, 160, 240}));
}
