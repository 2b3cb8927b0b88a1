// Texture, cube-texture and surface files, with fixtures built here from bytes.
#include "TestDevice.h"

#include <d3dx9tex.h>
#include <win32/resources.h>

#include "core/ByteStream.h"
#include "core/FileIO.h"
#include "core/Log.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace
{

std::string TempPath(const char* name) { return testing::TempDir() + "d3dx9_" + name; }

// Reads a texture level or surface as 0xAARRGGBB words, row by row.
std::vector<DWORD> ReadArgb(IDirect3DSurface9* surface)
{
    std::vector<DWORD> pixels;
    D3DSURFACE_DESC desc;
    D3DLOCKED_RECT locked;
    if (FAILED(surface->GetDesc(&desc)) || FAILED(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY)))
        return pixels;
    for (UINT y = 0; y < desc.Height; ++y)
        for (UINT x = 0; x < desc.Width; ++x)
        {
            DWORD p;
            std::memcpy(&p, static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch + 4 * x, 4);
            pixels.push_back(p);
        }
    surface->UnlockRect();
    return pixels;
}

void FillArgb(IDirect3DSurface9* surface, const std::vector<DWORD>& pixels, UINT width)
{
    D3DLOCKED_RECT locked;
    ASSERT_EQ(surface->LockRect(&locked, nullptr, 0), D3D_OK);
    for (size_t i = 0; i < pixels.size(); ++i)
        std::memcpy(static_cast<BYTE*>(locked.pBits) + (i / width) * locked.Pitch + 4 * (i % width), &pixels[i], 4);
    surface->UnlockRect();
}

// A DDS of 32-bit blue-green-red-alpha pixels, 4 x 4, with levels stored per face (a header
// count of 0 means one), six faces or a plain texture. Pixel i of level l of face f holds
// faceColours[f] + 16 l + i.
std::vector<uint8_t> MakeDds(bool cube, int faces, const DWORD faceColours[6], uint32_t levels = 0)
{
    ByteWriter w;
    w.WriteU32(0x20534444); // "DDS "
    w.WriteU32(124);
    w.WriteU32(0x1007);     // caps, height, width, pixel format
    w.WriteU32(4);          // height
    w.WriteU32(4);          // width
    w.WriteU32(16);         // pitch
    w.WriteU32(0);          // depth
    w.WriteU32(levels);     // mip count
    w.WriteZeros(44);
    w.WriteU32(32);         // pixel format size
    w.WriteU32(0x41);       // RGB with alpha
    w.WriteU32(0);          // no FourCC
    w.WriteU32(32);
    w.WriteU32(0x00FF0000);
    w.WriteU32(0x0000FF00);
    w.WriteU32(0x000000FF);
    w.WriteU32(0xFF000000);
    w.WriteU32(0x1008);     // caps: texture, complex
    w.WriteU32(cube ? 0xFE00 : 0);
    w.WriteZeros(12);
    for (int face = 0; face < faces; ++face)
        for (uint32_t level = 0; level < std::max(levels, 1u); ++level)
            for (int i = 0; i < (16 >> (2 * level)); ++i)
                w.WriteU32(faceColours[face] + 16 * level + (DWORD)i); // a distinct pixel in every place
    return w.GetBuffer();
}

TEST(D3DXTextureFiles, CubeMapLoadsFaceByFace)
{
    TestDevice device;
    ASSERT_NE(device.get(), nullptr);
    const DWORD colours[6] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF};
    // One level, then a chain of three stored after each face.
    for (uint32_t levels : {0u, 3u})
    {
        SCOPED_TRACE(levels);
        const std::string path = TempPath("cube.dds");
        ASSERT_TRUE(WriteFileAtomic(path.c_str(), MakeDds(true, 6, colours, levels)));
        IDirect3DCubeTexture9* cube = nullptr;
        ASSERT_EQ(D3DXCreateCubeTextureFromFileA(device.get(), path.c_str(), &cube), D3D_OK);
        ASSERT_NE(cube, nullptr);
        D3DSURFACE_DESC desc;
        ASSERT_EQ(cube->GetLevelDesc(0, &desc), D3D_OK);
        EXPECT_EQ(desc.Width, 4u);
        EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
        ASSERT_EQ(cube->GetLevelCount(), std::max(levels, 1u));
        for (int face = 0; face < 6; ++face)
            for (UINT level = 0; level < cube->GetLevelCount(); ++level)
            {
                IDirect3DSurface9* surface = nullptr;
                ASSERT_EQ(cube->GetCubeMapSurface((D3DCUBEMAP_FACES)face, level, &surface), D3D_OK);
                const std::vector<DWORD> pixels = ReadArgb(surface);
                surface->Release();
                ASSERT_EQ(pixels.size(), (size_t)(16 >> (2 * level)));
                for (size_t i = 0; i < pixels.size(); ++i)
                    EXPECT_EQ(pixels[i], colours[face] + 16 * level + i) << "face " << face << " level " << level;
            }
        cube->Release();
    }
}

TEST(D3DXTextureFiles, DdsKeepsItsStoredLevels)
{
    TestDevice device;
    ASSERT_NE(device.get(), nullptr);
    const DWORD colour[6] = {0xFF203040};
    const std::string path = TempPath("levels.dds");
    ASSERT_TRUE(WriteFileAtomic(path.c_str(), MakeDds(false, 1, colour, 3)));
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileExA(device.get(), path.c_str(), D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                           D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr,
                                           nullptr, &texture),
              D3D_OK);
    ASSERT_EQ(texture->GetLevelCount(), 3u);
    for (UINT level = 0; level < 3; ++level)
    {
        IDirect3DSurface9* surface = nullptr;
        ASSERT_EQ(texture->GetSurfaceLevel(level, &surface), D3D_OK);
        const std::vector<DWORD> pixels = ReadArgb(surface);
        surface->Release();
        ASSERT_EQ(pixels.size(), (size_t)(16 >> (2 * level)));
        for (size_t i = 0; i < pixels.size(); ++i)
            EXPECT_EQ(pixels[i], colour[0] + 16 * level + i) << "level " << level;
    }
    texture->Release();
}

TEST(D3DXTextureFiles, CubeMapRefusesOtherFiles)
{
    TestDevice device;
    ASSERT_NE(device.get(), nullptr);
    const DWORD colours[6] = {1, 2, 3, 4, 5, 6};
    struct Case
    {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    std::vector<uint8_t> truncated = MakeDds(true, 6, colours);
    truncated.resize(truncated.size() - 1);
    const Case cases[] = {
        {"flat.dds", MakeDds(false, 1, colours)},
        {"truncated.dds", truncated},
        {"short.dds", {'D', 'D', 'S', ' ', 124}},
    };
    SetLogEcho(false);
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const std::string path = TempPath(c.name);
        ASSERT_TRUE(WriteFileAtomic(path.c_str(), c.bytes));
        IDirect3DCubeTexture9* cube = nullptr;
        ClearLogLines();
        EXPECT_EQ(D3DXCreateCubeTextureFromFileA(device.get(), path.c_str(), &cube), D3DERR_INVALIDCALL);
        EXPECT_EQ(cube, nullptr);
        EXPECT_FALSE(GetLogLines().empty());
    }
    SetLogEcho(true);
}

TEST(D3DXSurfaceFiles, SavedBmpReadsBackEqual)
{
    TestDevice device;
    ASSERT_NE(device.get(), nullptr);
    IDirect3DSurface9* target = nullptr;
    ASSERT_EQ(device->CreateRenderTarget(8, 8, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, TRUE, &target, nullptr),
              D3D_OK);
    // Rendered: four quadrants cleared to four colours.
    ASSERT_EQ(device->SetRenderTarget(0, target), D3D_OK);
    const D3DCOLOR quadrant[4] = {0xFF102030, 0xFFF0E0D0, 0x80FF0000, 0xFF00FF7F};
    for (int q = 0; q < 4; ++q)
    {
        const D3DRECT r = {(q % 2) * 4, (q / 2) * 4, (q % 2) * 4 + 4, (q / 2) * 4 + 4};
        ASSERT_EQ(device->Clear(1, &r, D3DCLEAR_TARGET, quadrant[q], 1.0f, 0), D3D_OK);
    }
    const std::string path = TempPath("saved.bmp");
    ASSERT_EQ(D3DXSaveSurfaceToFileA(path.c_str(), D3DXIFF_BMP, target, nullptr, nullptr), D3D_OK);

    // A 24-bit, bottom-up BMP: 54 header bytes and 8 rows of 24 bytes.
    std::vector<uint8_t> file;
    ASSERT_TRUE(ReadWholeFile(path.c_str(), file));
    ASSERT_EQ(file.size(), 54u + 8 * 24);
    ByteReader header(file);
    int32_t height = 0;
    uint16_t bits = 0;
    header.Seek(22);
    header.ReadI32(height);
    header.Seek(28);
    header.ReadU16(bits);
    EXPECT_EQ(height, 8);
    EXPECT_EQ(bits, 24);
    // The first stored row is the bottom one: quadrant 2 on the left.
    EXPECT_EQ(file[54], 0x00);
    EXPECT_EQ(file[55], 0x00);
    EXPECT_EQ(file[56], 0xFF);

    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileExA(device.get(), path.c_str(), D3DX_DEFAULT, D3DX_DEFAULT, 1, 0,
                                           D3DFMT_UNKNOWN, D3DPOOL_SYSTEMMEM, D3DX_FILTER_NONE, D3DX_FILTER_NONE, 0,
                                           nullptr, nullptr, &texture),
              D3D_OK);
    IDirect3DSurface9* level = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
    const std::vector<DWORD> saved = ReadArgb(target), loaded = ReadArgb(level);
    ASSERT_EQ(loaded.size(), 64u);
    for (size_t i = 0; i < 64; ++i)
        EXPECT_EQ(loaded[i], saved[i] | 0xFF000000) << "pixel " << i; // no alpha in the file
    level->Release();
    texture->Release();
    target->Release();
}

TEST(D3DXSurfaceFiles, LoadSurfaceFromSurfaceCopiesAndPointSamples)
{
    TestDevice device;
    ASSERT_NE(device.get(), nullptr);
    IDirect3DSurface9 *source = nullptr, *dest = nullptr;
    ASSERT_EQ(device->CreateOffscreenPlainSurface(8, 8, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &source, nullptr), D3D_OK);
    ASSERT_EQ(device->CreateOffscreenPlainSurface(16, 16, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &dest, nullptr), D3D_OK);
    std::vector<DWORD> pixels(64);
    for (DWORD i = 0; i < 64; ++i)
        pixels[i] = 0x01000000u * (i * 3) + 0x00010203u * i + 0x7;
    FillArgb(source, pixels, 8);
    FillArgb(dest, std::vector<DWORD>(256, 0xDEADBEEF), 16);

    // Same size into the tile at (8, 0): exact, and nothing outside the tile changes.
    const RECT tile = {8, 0, 16, 8};
    ASSERT_EQ(D3DXLoadSurfaceFromSurface(dest, nullptr, &tile, source, nullptr, nullptr, D3DX_FILTER_POINT, 0),
              D3D_OK);
    std::vector<DWORD> out = ReadArgb(dest);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(out[y * 16 + x], (x >= 8 && y < 8) ? pixels[y * 8 + x - 8] : 0xDEADBEEFu);

    // Halving takes the pixel under each destination centre: source columns and rows 1, 3, 5, 7.
    const RECT quarter = {0, 8, 4, 12};
    ASSERT_EQ(D3DXLoadSurfaceFromSurface(dest, nullptr, &quarter, source, nullptr, nullptr, D3DX_FILTER_POINT, 0),
              D3D_OK);
    out = ReadArgb(dest);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(out[(8 + y) * 16 + x], pixels[(2 * y + 1) * 8 + 2 * x + 1]);

    // Unscaled into a larger rectangle: the source's part, transparent black beyond it.
    const RECT large = {4, 4, 14, 14};
    ASSERT_EQ(D3DXLoadSurfaceFromSurface(dest, nullptr, &large, source, nullptr, nullptr, D3DX_FILTER_NONE, 0),
              D3D_OK);
    out = ReadArgb(dest);
    EXPECT_EQ(out[4 * 16 + 4], pixels[0]);
    EXPECT_EQ(out[11 * 16 + 11], pixels[63]);
    EXPECT_EQ(out[12 * 16 + 12], 0u);

    const RECT outside = {10, 10, 20, 20};
    EXPECT_EQ(D3DXLoadSurfaceFromSurface(dest, nullptr, &outside, source, nullptr, nullptr, D3DX_FILTER_POINT, 0),
              D3DERR_INVALIDCALL);
    dest->Release();
    source->Release();
}

TEST(D3DXSurfaceFiles, RenderTargetsThatCannotBeLockedAreReadThroughACopy)
{
    TestDevice device;
    ASSERT_NE(device.get(), nullptr);
    IDirect3DSurface9 *back = nullptr, *target = nullptr, *dest = nullptr;
    ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    ASSERT_EQ(device->CreateRenderTarget(16, 16, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE, &target, nullptr),
              D3D_OK);
    ASSERT_EQ(device->CreateOffscreenPlainSurface(16, 16, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &dest, nullptr), D3D_OK);
    D3DLOCKED_RECT locked;
    ASSERT_TRUE(FAILED(back->LockRect(&locked, nullptr, D3DLOCK_READONLY)));
    // Left half one colour, right half another, in each source.
    for (IDirect3DSurface9* source : {back, target})
    {
        ASSERT_EQ(device->SetRenderTarget(0, source), D3D_OK);
        const D3DRECT left = {0, 0, 8, 16}, right = {8, 0, 16, 16};
        device->Clear(1, &left, D3DCLEAR_TARGET, 0xFF336699, 1.0f, 0);
        device->Clear(1, &right, D3DCLEAR_TARGET, 0xFFCC0011, 1.0f, 0);
        // The rectangle (6, 2)-(10, 4) of the source into the same place of the destination.
        FillArgb(dest, std::vector<DWORD>(256, 0), 16);
        const RECT rect = {6, 2, 10, 4};
        ASSERT_EQ(D3DXLoadSurfaceFromSurface(dest, nullptr, &rect, source, nullptr, &rect, D3DX_FILTER_NONE, 0),
                  D3D_OK);
        const std::vector<DWORD> out = ReadArgb(dest);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
            {
                const bool inside = x >= 6 && x < 10 && y >= 2 && y < 4;
                EXPECT_EQ(out[y * 16 + x] & 0xFFFFFF, inside ? (x < 8 ? 0x336699u : 0xCC0011u) : 0u)
                    << x << ", " << y;
            }
    }
    device->SetRenderTarget(0, back);
    dest->Release();
    target->Release();
    back->Release();
}

// A 2 x 2 24-bit BMP: bottom row blue, green; top row red, white.
std::vector<uint8_t> MakeSmallBmp()
{
    ByteWriter w;
    w.WriteU16(0x4D42);
    w.WriteU32(54 + 16);
    w.WriteU32(0);
    w.WriteU32(54);
    w.WriteU32(40);
    w.WriteI32(2);
    w.WriteI32(2);
    w.WriteU16(1);
    w.WriteU16(24);
    w.WriteU32(0);
    w.WriteU32(16);
    w.WriteZeros(16);
    const uint8_t rows[2][8] = {{0xFF, 0, 0, 0, 0xFF, 0, 0, 0}, {0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0}};
    w.WriteBytes(rows[0], 8);
    w.WriteBytes(rows[1], 8);
    return w.GetBuffer();
}

TEST(D3DXTextureFiles, FileFormatsSizesAndChains)
{
    TestDevice device;
    ASSERT_NE(device.get(), nullptr);
    const std::string path = TempPath("small.bmp");
    ASSERT_TRUE(WriteFileAtomic(path.c_str(), MakeSmallBmp()));

    struct Case
    {
        UINT mipLevels;
        D3DFORMAT asked, made;
        D3DPOOL pool;
        UINT levels;
    };
    const Case cases[] = {
        {D3DX_DEFAULT, D3DFMT_UNKNOWN, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, 2},
        {1, D3DFMT_UNKNOWN, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, 1},
        {0, D3DFMT_A8R8G8B8, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, 2},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.made);
        IDirect3DTexture9* texture = nullptr;
        D3DXIMAGE_INFO info = {};
        ASSERT_EQ(D3DXCreateTextureFromFileExA(device.get(), path.c_str(), D3DX_DEFAULT, D3DX_DEFAULT, c.mipLevels, 0,
                                               c.asked, c.pool, D3DX_DEFAULT, D3DX_DEFAULT, 0, &info, nullptr,
                                               &texture),
                  D3D_OK);
        EXPECT_EQ(info.Width, 2u);
        EXPECT_EQ(info.Format, D3DFMT_X8R8G8B8);
        EXPECT_EQ(info.ImageFileFormat, D3DXIFF_BMP);
        EXPECT_EQ(texture->GetLevelCount(), c.levels);
        D3DSURFACE_DESC desc;
        texture->GetLevelDesc(0, &desc);
        EXPECT_EQ(desc.Format, c.made);
        if (c.pool != D3DPOOL_DEFAULT)
        {
            IDirect3DSurface9* level = nullptr;
            ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
            const std::vector<DWORD> top = ReadArgb(level);
            level->Release();
            ASSERT_EQ(top.size(), 4u);
            EXPECT_EQ(top[0], 0xFFFF0000u);
            EXPECT_EQ(top[1], 0xFFFFFFFFu);
            EXPECT_EQ(top[2], 0xFF0000FFu);
            EXPECT_EQ(top[3], 0xFF00FF00u);
            if (c.levels == 2)
            {
                // The 2 x 2 box average of red, white, blue and green.
                ASSERT_EQ(texture->GetSurfaceLevel(1, &level), D3D_OK);
                const std::vector<DWORD> last = ReadArgb(level);
                level->Release();
                ASSERT_EQ(last.size(), 1u);
                const DWORD r = (last[0] >> 16) & 0xFF, g = (last[0] >> 8) & 0xFF, b = last[0] & 0xFF;
                EXPECT_NEAR(r, 127.5, 1.0);
                EXPECT_NEAR(g, 127.5, 1.0);
                EXPECT_NEAR(b, 127.5, 1.0);
            }
        }
        texture->Release();
    }

    // A resized request resamples; a missing file is refused and logged.
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileExA(device.get(), path.c_str(), 4, 4, 1, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                           D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &texture),
              D3D_OK);
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 4u);
    texture->Release();
    SetLogEcho(false);
    ClearLogLines();
    const std::string missing = TempPath("missing.png");
    EXPECT_EQ(D3DXCreateTextureFromFileExA(device.get(), missing.c_str(), D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                           D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr,
                                           nullptr, &texture),
              D3DERR_INVALIDCALL);
    EXPECT_FALSE(GetLogLines().empty());
    SetLogEcho(true);
}

// An 8-bit palettised 4 x 2 DIB, as a bitmap resource holds it (no file header): palette
// entries 0..3 are blue, green, red, white; rows bottom-up, padded to 4 bytes.
std::vector<uint8_t> MakePaletteDib()
{
    ByteWriter w;
    w.WriteU32(40);
    w.WriteI32(4);
    w.WriteI32(2);
    w.WriteU16(1);
    w.WriteU16(8);
    w.WriteU32(0);
    w.WriteU32(8);
    w.WriteZeros(8);
    w.WriteU32(4); // colours used
    w.WriteU32(0);
    const uint32_t palette[4] = {0x000000FF, 0x0000FF00, 0x00FF0000, 0x00FFFFFF};
    for (uint32_t p : palette)
        w.WriteU32(p);
    const uint8_t bottom[4] = {0, 1, 2, 3}, top[4] = {3, 3, 0, 0};
    w.WriteBytes(bottom, 4);
    w.WriteBytes(top, 4);
    return w.GetBuffer();
}

TEST(D3DXTextureFiles, PalettisedBitmapResource)
{
    TestDevice device;
    ASSERT_NE(device.get(), nullptr);
    static const std::vector<uint8_t> dib = MakePaletteDib();
    static const ResourceEntry entries[] = {{"BITMAP", 271, dib.data(), dib.size()}};
    const size_t tablesBefore = GetResourceTableCount();
    RegisterResourceTable(entries, 1);

    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromResourceA(device.get(), nullptr, (LPCSTR)(ULONG_PTR)271, &texture), D3D_OK);
    D3DSURFACE_DESC desc;
    ASSERT_EQ(texture->GetLevelDesc(0, &desc), D3D_OK);
    EXPECT_EQ(desc.Width, 4u);
    EXPECT_EQ(desc.Height, 2u);
    EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(texture->GetLevelCount(), 3u); // 4x2, 2x1, 1x1
    IDirect3DSurface9* level = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
    const std::vector<DWORD> pixels = ReadArgb(level);
    const DWORD expected[8] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFF0000FF, 0xFF0000FF,
                               0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFFFFFFFF};
    ASSERT_EQ(pixels.size(), 8u);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(pixels[i], expected[i]) << "pixel " << i;
    level->Release();
    texture->Release();

    SetLogEcho(false);
    EXPECT_EQ(D3DXCreateTextureFromResourceA(device.get(), nullptr, "#272", &texture), D3DERR_INVALIDCALL);
    SetLogEcho(true);
    TruncateResourceTables(tablesBefore);
}

} // namespace
