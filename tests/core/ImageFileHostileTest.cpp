#include "core/PixelImage.h"

#include "ImageFileTestUtil.h"
#include "ImageFixtures.h"

namespace
{
class ImageFileHostileTest : public ImageFileTest
{
};

struct Fixture
{
    const char* extension;
    const char* operation;
    Bytes file;
};

// One small valid file of each format the library parses itself.
std::vector<Fixture> ValidFixtures()
{
    TgaSpec tga;
    tga.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    TgaSpec tgaMapped;
    tgaMapped.depth = 8;
    tgaMapped.imageType = 1;
    tgaMapped.mapType = 1;
    tgaMapped.mapLength = 2;
    tgaMapped.mapEntryBits = 24;
    tgaMapped.map = {1, 2, 3, 4, 5, 6};
    tgaMapped.id = {9, 9};
    tgaMapped.pixels = {0, 1, 1, 0};
    TgaSpec tgaRle;
    tgaRle.imageType = 10;
    tgaRle.pixels = {0x81, 1, 2, 3, 0x01, 4, 5, 6, 7, 8, 9};
    BmpSpec bmp;
    bmp.rows = Bytes(16, 3);
    BmpSpec bmp8;
    bmp8.bitCount = 8;
    bmp8.coloursUsed = 2;
    bmp8.palette = {1, 2, 3, 0, 4, 5, 6, 0};
    bmp8.rows = {0, 1, 0, 0, 1, 0, 0, 0};
    PcxSpec pcx;
    pcx.encoded = {1, 2, 0xC2, 3, 4, 5, 6, 7, 0xC2, 8, 9, 10};
    PcxSpec pcx8;
    pcx8.planes = 1;
    pcx8.encoded = {0xC2, 1, 2, 3};
    pcx8.palette = Bytes(768, 50);
    DdsSpec dds;
    dds.data = Bytes(16, 4);
    DdsSpec ddsDxt;
    ddsDxt.width = ddsDxt.height = 8;
    ddsDxt.mipCount = 2;
    ddsDxt.fourCC = "DXT5";
    ddsDxt.data = Bytes(5 * 16, 6);
    return {
        {"tga", "LoadTGA", MakeTga(tga)}, {"tga", "LoadTGA", MakeTga(tgaMapped)}, {"tga", "LoadTGA", MakeTga(tgaRle)},
        {"bmp", "LoadBMP", MakeBmp(bmp)}, {"bmp", "LoadBMP", MakeBmp(bmp8)},
        {"pcx", "LoadPCX", MakePcx(pcx)}, {"pcx", "LoadPCX", MakePcx(pcx8)},
        {"dds", "LoadDDS", MakeDds(dds)}, {"dds", "LoadDDS", MakeDds(ddsDxt)},
    };
}

Bytes Patch(Bytes bytes, size_t offset, size_t size, uint32_t value)
{
    for (size_t i = 0; i < size; ++i)
        bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
    return bytes;
}
}

TEST_F(ImageFileHostileTest, EveryCutOfAValidFileIsRefused)
{
    for (const Fixture& f : ValidFixtures())
    {
        std::string path = WriteFile(std::string("whole.") + f.extension, f.file);
        for (int mipMode = 0; mipMode <= 2; ++mipMode)
        {
            PixelImage image;
            ASSERT_TRUE(image.Load(path.c_str(), true, mipMode)) << f.extension << " " << f.file.size() << " bytes";
        }
        for (size_t n = 0; n < f.file.size(); ++n)
        {
            SCOPED_TRACE(testing::Message() << f.extension << " cut to " << n << " of " << f.file.size() << " bytes");
            ClearLogLines();
            PixelImage image;
            EXPECT_FALSE(image.Load(WriteFile(std::string("cut.") + f.extension, Bytes(f.file.begin(), f.file.begin() + static_cast<long>(n))).c_str(), true, 2));
            EXPECT_EQ(image.pixels, nullptr);
            EXPECT_TRUE(LoggedError(f.operation));
        }
    }
}

TEST_F(ImageFileHostileTest, ReplacedCountsAreRefused)
{
    const std::vector<Fixture> valid = ValidFixtures();
    const Bytes& tga = valid[0].file;
    const Bytes& tgaMapped = valid[1].file;
    const Bytes& bmp = valid[3].file;
    const Bytes& bmp8 = valid[4].file;
    const Bytes& pcx = valid[5].file;
    const Bytes& dds = valid[7].file;
    struct Case
    {
        const char* name;
        const char* extension;
        Bytes file;
    };
    const Case cases[] = {
        {"TGA width 0", "tga", Patch(tga, 12, 2, 0)},
        {"TGA height 0", "tga", Patch(tga, 14, 2, 0)},
        {"TGA width 65535", "tga", Patch(tga, 12, 2, 0xFFFF)},
        {"TGA width 16385", "tga", Patch(tga, 12, 2, 16385)},
        {"TGA height 16384 (within limits, data missing)", "tga", Patch(tga, 14, 2, 16384)},
        {"TGA depth 7", "tga", Patch(tga, 16, 1, 7)},
        {"TGA ID past the end", "tga", Patch(tga, 0, 1, 255)},
        {"TGA colour map past the end", "tga", Patch(tgaMapped, 5, 2, 0xFFFF)},
        {"TGA colour-map entries of 8 bits", "tga", Patch(tgaMapped, 7, 1, 8)},
        {"TGA run-length flag on raw data", "tga", Patch(Patch(tga, 2, 1, 10), 14, 2, 200)},
        {"BMP signature", "bmp", Patch(bmp, 0, 2, 0x4D43)},
        {"BMP width 0", "bmp", Patch(bmp, 18, 4, 0)},
        {"BMP width -2", "bmp", Patch(bmp, 18, 4, 0xFFFFFFFE)},
        {"BMP height -2147483648", "bmp", Patch(bmp, 22, 4, 0x80000000)},
        {"BMP width 100000", "bmp", Patch(bmp, 18, 4, 100000)},
        {"BMP height 16384 (data missing)", "bmp", Patch(bmp, 22, 4, 16384)},
        {"BMP pixel offset past the end", "bmp", Patch(bmp, 10, 4, 0xFFFFFFF0)},
        {"BMP 12-byte header", "bmp", Patch(bmp, 14, 4, 12)},
        {"BMP header size past the end", "bmp", Patch(bmp8, 14, 4, 0x7FFFFFFF)},
        {"BMP 4 bits", "bmp", Patch(bmp, 28, 2, 4)},
        {"BMP 300 colours", "bmp", Patch(bmp8, 46, 4, 300)},
        {"BMP compressed 8-bit", "bmp", Patch(bmp8, 30, 4, 1)},
        {"PCX width 65536", "pcx", Patch(Patch(pcx, 8, 2, 0xFFFF), 66, 2, 0xFFFF)},
        {"PCX bytes per line below the width", "pcx", Patch(pcx, 66, 2, 1)},
        {"PCX 4 planes", "pcx", Patch(pcx, 65, 1, 4)},
        {"PCX 1 bit", "pcx", Patch(pcx, 3, 1, 1)},
        {"PCX height 16384 (data missing)", "pcx", Patch(pcx, 10, 2, 16383)},
        {"PCX palette marker missing", "pcx", Patch(valid[6].file, valid[6].file.size() - 769, 1, 0)},
        {"DDS magic", "dds", Patch(dds, 0, 4, 0x20534445)},
        {"DDS width 0", "dds", Patch(dds, 16, 4, 0)},
        {"DDS height 2^32 - 1", "dds", Patch(dds, 12, 4, 0xFFFFFFFF)},
        {"DDS 8-bit", "dds", Patch(dds, 88, 4, 8)},
        {"DDS more levels than present", "dds", Patch(dds, 28, 4, 2)},
        {"garbage named .tga", "tga", Bytes(40, 0xFF)},
        {"garbage named .bmp", "bmp", Bytes(60, 0x42)},
        {"garbage named .pcx", "pcx", Bytes(200, 0xC0)},
        {"garbage named .dds", "dds", Bytes(200, 0xDD)},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        ClearLogLines();
        PixelImage image;
        EXPECT_FALSE(image.Load(WriteFile(std::string("patched.") + c.extension, c.file).c_str(), true, 2));
        EXPECT_EQ(image.pixels, nullptr);
        EXPECT_FALSE(GetLogLines().empty());
    }
}

TEST_F(ImageFileHostileTest, AFailedReadLeavesADirectCallersImageUnchanged)
{
    PixelImage image;
    uint8_t* p = AllocatePixels(3);
    p[0] = 1;
    image.Adopt(p, 1, 1, RGB8, true, false);
    EXPECT_FALSE(image.LoadTGA(WriteFile("bad.tga", Bytes(5, 0)).c_str(), true, false));
    EXPECT_EQ(image.pixels, p);
    EXPECT_EQ(image.format, RGB8);
    EXPECT_EQ(image.mipCount, 1);
}
