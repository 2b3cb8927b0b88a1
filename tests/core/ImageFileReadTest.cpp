#include "core/PixelImage.h"

#include "ImageFileTestUtil.h"
#include "ImageFixtures.h"
#include "ImageTestUtil.h"

namespace
{
// The 2 x 2 picture most fixtures hold: red, green on top; blue, white below (red first).
const Bytes g_Picture = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
// Its rows as files store them: blue first, bottom row first.
const Bytes g_StoredBottomUp = {255, 0, 0, 255, 255, 255, 0, 0, 255, 0, 255, 0};
const Bytes g_StoredTopDown = {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255};

Bytes SwapOrder(Bytes bytes, size_t step)
{
    for (size_t i = 0; i + 2 < bytes.size(); i += step)
        std::swap(bytes[i], bytes[i + 2]);
    return bytes;
}

struct ReadCase
{
    const char* name;
    const char* extension;
    Bytes file;
    int format;
    int32_t width, height;
    Bytes pixels;   // red first
};

class ImageFileReadTest : public ImageFileTest
{
protected:
    void Check(const ReadCase& c)
    {
        SCOPED_TRACE(c.name);
        std::string path = WriteFile(std::string("fixture.") + c.extension, c.file);
        for (bool rgbOrder : {true, false})
        {
            PixelImage image;
            ASSERT_TRUE(image.Load(path.c_str(), rgbOrder, 0)) << (GetLogLines().empty() ? "" : GetLogLines().back().m_strText);
            EXPECT_EQ(image.format, c.format);
            EXPECT_EQ(image.width, c.width);
            EXPECT_EQ(image.height, c.height);
            EXPECT_EQ(image.mipCount, 1);
            Bytes expected = rgbOrder ? c.pixels : SwapOrder(c.pixels, static_cast<size_t>(GetBytesPerPixel(c.format)));
            EXPECT_EQ(LevelBytes(image, 0), expected) << (rgbOrder ? "red first" : "blue first");
        }
    }
};
}

TEST_F(ImageFileReadTest, TgaLayouts)
{
    TgaSpec topDown;
    topDown.descriptor = 0x20;
    topDown.pixels = g_StoredTopDown;

    TgaSpec rgba;
    rgba.depth = 32;
    rgba.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

    TgaSpec sixteen;
    sixteen.width = 2;
    sixteen.height = 1;
    sixteen.depth = 16;
    sixteen.pixels = {0xFF, 0x7F, 0x00, 0x80};

    // 16-entry colour map of 24-bit entries: entry i is (blue i, green 2i, red 3i).
    TgaSpec mapped;
    mapped.depth = 8;
    mapped.imageType = 1;
    mapped.mapType = 1;
    mapped.mapLength = 16;
    mapped.mapEntryBits = 24;
    for (uint8_t i = 0; i < 16; ++i)
        mapped.map.insert(mapped.map.end(), {i, static_cast<uint8_t>(2 * i), static_cast<uint8_t>(3 * i)});
    mapped.pixels = {1, 15, 0, 2};

    // 32-bit map entries (blue, green, red, alpha), two of them.
    TgaSpec mapped32 = mapped;
    mapped32.width = 2;
    mapped32.height = 1;
    mapped32.mapLength = 2;
    mapped32.mapEntryBits = 32;
    mapped32.map = {10, 20, 30, 40, 50, 60, 70, 80};
    mapped32.pixels = {1, 0};

    TgaSpec grey;
    grey.depth = 8;
    grey.imageType = 3;
    grey.pixels = {10, 20, 30, 40};

    // Run-length: a run of two blue-first pixels, then two literal ones.
    TgaSpec rle;
    rle.imageType = 10;
    rle.pixels = {0x81, 255, 0, 0, 0x01, 0, 0, 255, 0, 255, 0};

    TgaSpec withId;
    withId.id = Bytes(10, 0xEE);
    withId.pixels = g_StoredBottomUp;

    TgaSpec bottomUp;
    bottomUp.pixels = g_StoredBottomUp;

    const ReadCase cases[] = {
        {"24-bit, bottom row first", "tga", MakeTga(bottomUp), RGB8, 2, 2, g_Picture},
        {"24-bit, top row first", "tga", MakeTga(topDown), RGB8, 2, 2, g_Picture},
        {"24-bit after a 10-byte ID", "tga", MakeTga(withId), RGB8, 2, 2, g_Picture},
        {"32-bit", "tga", MakeTga(rgba), RGBA8, 2, 2, {11, 10, 9, 12, 15, 14, 13, 16, 3, 2, 1, 4, 7, 6, 5, 8}},
        {"16-bit 1-5-5-5", "tga", MakeTga(sixteen), RGBA8, 2, 1, {248, 248, 248, 0, 0, 0, 0, 255}},
        {"colour-mapped, 16 entries", "tga", MakeTga(mapped), RGB8, 2, 2, {0, 0, 0, 6, 4, 2, 3, 2, 1, 45, 30, 15}},
        {"colour-mapped, 32-bit entries", "tga", MakeTga(mapped32), RGB8, 2, 1, {70, 60, 50, 30, 20, 10}},
        {"grey", "tga", MakeTga(grey), RGB8, 2, 2, {30, 30, 30, 40, 40, 40, 10, 10, 10, 20, 20, 20}},
        {"run-length", "tga", MakeTga(rle), RGB8, 2, 2, {255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 255}},
    };
    for (const ReadCase& c : cases)
        Check(c);
}

TEST_F(ImageFileReadTest, BmpLayouts)
{
    // Rows of 6 bytes padded to 8.
    auto padded = [](const Bytes& stored) {
        Bytes rows;
        for (size_t y = 0; y < 2; ++y)
        {
            rows.insert(rows.end(), stored.begin() + static_cast<long>(6 * y), stored.begin() + static_cast<long>(6 * y + 6));
            rows.insert(rows.end(), {0xAB, 0xCD});
        }
        return rows;
    };
    BmpSpec plain;
    plain.rows = padded(g_StoredBottomUp);
    BmpSpec v5 = plain;
    v5.infoSize = 124;
    BmpSpec topDown;
    topDown.height = -2;
    topDown.rows = padded(g_StoredTopDown);
    BmpSpec rgba;
    rgba.bitCount = 32;
    rgba.rows = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    // 8-bit, 16 palette entries (blue i, green 0, red 16i, reserved), indices 0, 15 / 3, 1.
    BmpSpec indexed;
    indexed.bitCount = 8;
    indexed.coloursUsed = 16;
    for (uint8_t i = 0; i < 16; ++i)
        indexed.palette.insert(indexed.palette.end(), {i, 0, static_cast<uint8_t>(16 * i), 0});
    indexed.rows = {3, 1, 0, 0, 0, 15, 0, 0};

    const ReadCase cases[] = {
        {"24-bit, 40-byte header", "bmp", MakeBmp(plain), RGB8, 2, 2, g_Picture},
        {"24-bit, 124-byte header", "bmp", MakeBmp(v5), RGB8, 2, 2, g_Picture},
        {"24-bit, top-down", "bmp", MakeBmp(topDown), RGB8, 2, 2, g_Picture},
        {"32-bit", "bmp", MakeBmp(rgba), RGBA8, 2, 2, {11, 10, 9, 12, 15, 14, 13, 16, 3, 2, 1, 4, 7, 6, 5, 8}},
        {"8-bit, 16 colours", "bmp", MakeBmp(indexed), RGB8, 2, 2, {0, 0, 0, 240, 0, 15, 48, 0, 3, 16, 0, 1}},
    };
    for (const ReadCase& c : cases)
        Check(c);
}

TEST_F(ImageFileReadTest, PcxLayouts)
{
    // Three plane lines a row (red, green, blue); 255 is above 0xC0, so it is written as a run of 1.
    PcxSpec planes;
    planes.encoded = {0xC1, 255, 0, 0, 0xC1, 255, 0, 0, 0, 0xC1, 255, 0, 0xC1, 255, 0xC2, 255};
    // 3 x 2 with lines padded to 4 bytes; the first red line as a run of 3 and a padding byte.
    PcxSpec padded;
    padded.width = 3;
    padded.bytesPerLine = 4;
    padded.encoded = {0xC3, 9, 0x77, 1, 2, 3, 0x77, 4, 5, 6, 0x77, 7, 7, 7, 0x77, 8, 8, 8, 0x77, 0xC0, 0xC5, 9, 9, 9, 0x77};
    // 8-bit palette image, 3 x 2, lines of 4: palette entry i is (i, 2i, 3i).
    PcxSpec indexed;
    indexed.width = 3;
    indexed.planes = 1;
    indexed.bytesPerLine = 4;
    indexed.encoded = {1, 2, 3, 0, 0xC4, 10};
    for (int i = 0; i < 256; ++i)
        indexed.palette.insert(indexed.palette.end(), {static_cast<uint8_t>(i), static_cast<uint8_t>(2 * i), static_cast<uint8_t>(3 * i)});

    const ReadCase cases[] = {
        {"24-bit planes", "pcx", MakePcx(planes), RGB8, 2, 2, g_Picture},
        {"24-bit, lines padded to 4", "pcx", MakePcx(padded), RGB8, 3, 2, {9, 1, 4, 9, 2, 5, 9, 3, 6, 7, 8, 9, 7, 8, 9, 7, 8, 9}},
        {"8-bit palette", "pcx", MakePcx(indexed), RGB8, 3, 2, {1, 2, 3, 2, 4, 6, 3, 6, 9, 10, 20, 30, 10, 20, 30, 10, 20, 30}},
    };
    for (const ReadCase& c : cases)
        Check(c);
}

TEST_F(ImageFileReadTest, DdsLayouts)
{
    DdsSpec rgba;
    rgba.data = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    DdsSpec rgb;
    rgb.bitCount = 24;
    rgb.data = g_StoredTopDown;
    DdsSpec r565;
    r565.width = 2;
    r565.height = 1;
    r565.bitCount = 16;
    r565.data = {0x00, 0xF8, 0x1F, 0x00};
    DdsSpec dxt1;
    dxt1.width = dxt1.height = 4;
    dxt1.fourCC = "DXT1";
    dxt1.data = {0x00, 0xF8, 0x1F, 0x00, 0, 0, 0, 0};

    // DDS files hold blue first: the RGBA8 case reads bytes 0 and 2 exchanged with red first.
    const ReadCase cases[] = {
        {"32-bit", "dds", MakeDds(rgba), RGBA8, 2, 2, {3, 2, 1, 4, 7, 6, 5, 8, 11, 10, 9, 12, 15, 14, 13, 16}},
        {"24-bit", "dds", MakeDds(rgb), RGB8, 2, 2, g_Picture},
    };
    for (const ReadCase& c : cases)
        Check(c);

    // 565 and DXT data are taken as they are, whatever the colour order.
    for (bool rgbOrder : {true, false})
    {
        PixelImage image;
        ASSERT_TRUE(image.Load(WriteFile("565.dds", MakeDds(r565)).c_str(), rgbOrder, 0));
        EXPECT_EQ(image.format, RGB565);
        EXPECT_EQ(AllBytes(image), r565.data);
        ASSERT_TRUE(image.Load(WriteFile("dxt1.dds", MakeDds(dxt1)).c_str(), rgbOrder, 2));
        EXPECT_EQ(image.format, DXT1);
        EXPECT_EQ(image.mipCount, 1);   // header mip count 0; compressed chains are not built
        EXPECT_EQ(AllBytes(image), dxt1.data);
    }
}

TEST_F(ImageFileReadTest, DdsMipCountIsTheSmallerOfHeaderAndFullChain)
{
    // 256 x 256 RGB8 holding 3 levels, each level filled with its index.
    DdsSpec partial;
    partial.width = partial.height = 256;
    partial.mipCount = 3;
    partial.bitCount = 24;
    for (uint8_t level = 0; level < 3; ++level)
        partial.data.insert(partial.data.end(), static_cast<size_t>((256 >> level) * (256 >> level) * 3), level);
    std::string path = WriteFile("partial.dds", MakeDds(partial));

    PixelImage image;
    ASSERT_TRUE(image.Load(path.c_str(), true, 1));
    EXPECT_EQ(image.mipCount, 3);
    EXPECT_EQ(LevelBytes(image, 2), Bytes(64 * 64 * 3, 2));
    ASSERT_TRUE(image.Load(path.c_str(), true, 2));
    EXPECT_EQ(image.mipCount, 9);
    EXPECT_EQ(LevelBytes(image, 8), Bytes(3, 0));   // refilled from level 0
    ASSERT_TRUE(image.Load(path.c_str(), true, 0));
    EXPECT_EQ(image.mipCount, 1);

    // A 4 x 4 file claiming 20 levels holds at most 3.
    DdsSpec claims;
    claims.width = claims.height = 4;
    claims.mipCount = 20;
    claims.data = Bytes((16 + 4 + 1) * 4, 7);
    ASSERT_TRUE(image.Load(WriteFile("claims.dds", MakeDds(claims)).c_str(), false, 1));
    EXPECT_EQ(image.mipCount, 3);
    EXPECT_EQ(LevelBytes(image, 2), Bytes(4, 7));
}

TEST_F(ImageFileReadTest, MipModesRoundSidesToPowersOfTwo)
{
    TgaSpec big;
    big.width = 640;
    big.height = 480;
    big.pixels = Bytes(640 * 480 * 3, 90);
    std::string path = WriteFile("big.tga", MakeTga(big));
    PixelImage image;
    ASSERT_TRUE(image.Load(path.c_str(), true, 2));
    EXPECT_EQ(image.width, 512);
    EXPECT_EQ(image.height, 512);
    EXPECT_EQ(image.mipCount, 10);
    EXPECT_EQ(LevelBytes(image, 9), (Bytes{90, 90, 90}));
    ASSERT_TRUE(image.Load(path.c_str(), true, 1));
    EXPECT_EQ(image.width, 512);
    EXPECT_EQ(image.mipCount, 1);

    TgaSpec square;
    square.width = square.height = 256;
    square.pixels = Bytes(256 * 256 * 3, 5);
    ASSERT_TRUE(image.Load(WriteFile("square.tga", MakeTga(square)).c_str(), true, 1));
    EXPECT_EQ(image.width, 256);
    EXPECT_EQ(image.mipCount, 9);
    EXPECT_EQ(LevelBytes(image, 0), Bytes(256 * 256 * 3, 5));
    EXPECT_EQ(LevelBytes(image, 8).size(), 3u);   // room for the chain, left for the caller
}

TEST_F(ImageFileReadTest, ExtensionsChooseTheReader)
{
    TgaSpec spec;
    spec.pixels = g_StoredBottomUp;
    Bytes tga = MakeTga(spec);
    for (const char* name : {"upper.TGA", "mixed.Tga", "two.dots.tga"})
    {
        PixelImage image;
        EXPECT_TRUE(image.Load(WriteFile(name, tga).c_str(), true, 0)) << name;
        EXPECT_EQ(AllBytes(image), g_Picture) << name;
    }
    DdsSpec dds;
    dds.bitCount = 24;
    dds.data = g_StoredTopDown;
    PixelImage image;
    EXPECT_TRUE(image.Load(WriteFile("upper.DDS", MakeDds(dds)).c_str(), true, 0));

    // No dot, an unknown extension, a TGA named .bmp: false, and the image was cleared.
    for (const char* name : {"nodot", "picture.gif", "wrong.bmp"})
    {
        SetImage(image, 1, 1, I8, {1});
        EXPECT_FALSE(image.Load(WriteFile(name, tga).c_str(), true, 0)) << name;
        EXPECT_EQ(image.pixels, nullptr) << name;
        EXPECT_EQ(image.format, FORMAT_NONE) << name;
    }
    EXPECT_FALSE(image.Load(Path("missing.tga").c_str(), true, 0));
    EXPECT_TRUE(LoggedError("PixelImage::LoadTGA()"));
}
