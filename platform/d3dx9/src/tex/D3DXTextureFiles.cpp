// Textures and cube textures from image files and image resources.
#include "ImageUpload.h"

#include <d3dx9tex.h>
#include <win32/resources.h>

#include "core/ByteStream.h"
#include "core/CoreHooks.h"
#include "core/FileIO.h"
#include "core/Log.h"
#include "core/PixelImage.h"

#include <atomic>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace
{

// DDS header fields the library's reader leaves aside (offsets from the start of the file).
constexpr size_t kDdsHeaderBytes = 128;
constexpr size_t kDdsMipCountOffset = 28;
constexpr size_t kDdsCaps2Offset = 112;
constexpr uint32_t kDdsCaps2Cubemap = 0x200;
constexpr uint32_t kDdsCaps2AllFaces = 0xFC00;

bool HasExtension(const char* path, const char* extension)
{
    const char* dot = std::strrchr(path, '.');
    if (!dot)
        return false;
    std::string ext(dot + 1);
    for (char& c : ext)
        c = (char)std::tolower((unsigned char)c);
    return ext == extension;
}

struct DdsLayout
{
    uint32_t levels;  // levels stored per face, at least 1
    uint32_t caps2;
};

bool ReadDdsLayout(const std::vector<uint8_t>& file, DdsLayout& layout)
{
    ByteReader reader(file);
    uint32_t magic = 0;
    if (!reader.ReadU32(magic) || magic != 0x20534444 || !reader.Seek(kDdsMipCountOffset) ||
        !reader.ReadU32(layout.levels) || !reader.Seek(kDdsCaps2Offset) || !reader.ReadU32(layout.caps2))
        return false;
    if (layout.levels == 0)
        layout.levels = 1;
    return true;
}

// Loads the file and its mip chain: a DDS keeps the levels it stores, any other image gets a
// box-filtered chain. levels is the number of filled levels.
bool LoadTextureImage(const char* path, PixelImage& image, UINT& levels, D3DXIMAGE_FILEFORMAT& fileFormat)
{
    if (HasExtension(path, "dds"))
    {
        std::vector<uint8_t> file;
        DdsLayout layout;
        if (!ReadWholeFile(MapFilePath(path, false).c_str(), file) || !ReadDdsLayout(file, layout) ||
            !image.LoadDDS(path, false, true))
            return false;
        levels = std::min<UINT>(layout.levels, (UINT)image.GetFullMipCount());
        fileFormat = D3DXIFF_DDS;
        return true;
    }
    if (!image.Load(path, false, 0))
        return false;
    fileFormat = HasExtension(path, "bmp") ? D3DXIFF_BMP
                 : HasExtension(path, "png") ? D3DXIFF_PNG
                 : HasExtension(path, "tga") ? D3DXIFF_TGA
                                             : D3DXIFF_JPG;
    levels = image.CreateMipMaps() ? (UINT)image.GetFullMipCount() : 1;
    return true;
}

// The image library picks its reader by extension; a file image in a resource is known by its
// first bytes, and anything else is taken for a TGA, which has no magic.
std::string ExtensionFromMagic(const void* data, size_t size)
{
    struct Magic
    {
        const char* bytes;
        size_t length;
        const char* extension;
    };
    static const Magic kMagics[] = {{"DDS ", 4, ".dds"}, {"\x89PNG", 4, ".png"}, {"\xFF\xD8", 2, ".jpg"}};
    for (const Magic& m : kMagics)
        if (size >= m.length && std::memcmp(data, m.bytes, m.length) == 0)
            return m.extension;
    return ".tga";
}

bool IsDefaultSize(UINT size) { return size == 0 || size == D3DX_DEFAULT || size == D3DX_DEFAULT_NONPOW2 || size == D3DX_FROM_FILE; }

// Fills every level of a texture from the image; DEFAULT-pool textures that cannot be locked
// are filled through a system-memory copy.
HRESULT FillTexture(IDirect3DDevice9* device, IDirect3DTexture9* texture, const PixelImage& image, UINT levels,
                    D3DFORMAT format, D3DCOLOR colorKey, bool staged)
{
    IDirect3DTexture9* target = texture;
    if (staged)
    {
        const HRESULT hr = device->CreateTexture(image.width, image.height, levels, 0, format, D3DPOOL_SYSTEMMEM,
                                                 &target, nullptr);
        if (FAILED(hr))
            return hr;
    }
    HRESULT hr = D3D_OK;
    for (UINT level = 0; level < levels && SUCCEEDED(hr); ++level)
    {
        D3DLOCKED_RECT locked;
        hr = target->LockRect(level, &locked, nullptr, 0);
        if (SUCCEEDED(hr))
        {
            CopyImageLevel(image, (int)level, format, static_cast<BYTE*>(locked.pBits), locked.Pitch, colorKey);
            target->UnlockRect(level);
        }
    }
    if (staged)
    {
        if (SUCCEEDED(hr))
            hr = device->UpdateTexture(target, texture);
        target->Release();
    }
    return hr;
}

} // namespace

HRESULT D3DXCreateTextureFromFileExA(LPDIRECT3DDEVICE9 pDevice, LPCSTR pSrcFile, UINT Width, UINT Height,
                                     UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, DWORD, DWORD,
                                     D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY*,
                                     LPDIRECT3DTEXTURE9* ppTexture)
{
    if (!pDevice || !pSrcFile || !ppTexture)
        return D3DERR_INVALIDCALL;
    *ppTexture = nullptr;
    PixelImage image;
    UINT levels = 1;
    D3DXIMAGE_FILEFORMAT fileFormat = D3DXIFF_BMP;
    if (!LoadTextureImage(pSrcFile, image, levels, fileFormat))
    {
        LogWarning("D3DXCreateTextureFromFileExA() - cannot read the image \"%s\".", pSrcFile);
        return D3DERR_INVALIDCALL;
    }
    if (pSrcInfo)
        *pSrcInfo = {(UINT)image.width, (UINT)image.height, 1, levels, PrepareImageFormat(image, D3DFMT_UNKNOWN),
                     D3DRTYPE_TEXTURE, fileFormat};

    const UINT width = IsDefaultSize(Width) ? (UINT)image.width : Width;
    const UINT height = IsDefaultSize(Height) ? (UINT)image.height : Height;
    if (width != (UINT)image.width || height != (UINT)image.height)
    {
        if (!image.Resize((int32_t)width, (int32_t)height, 1))
            return D3DERR_INVALIDCALL;
        levels = image.CreateMipMaps() ? (UINT)image.GetFullMipCount() : 1;
    }
    if (!IsDefaultSize(MipLevels))
        levels = std::min(levels, MipLevels);

    const D3DFORMAT format = PrepareImageFormat(image, Format);
    if (format == D3DFMT_UNKNOWN)
        return D3DERR_INVALIDCALL;
    IDirect3DTexture9* texture = nullptr;
    HRESULT hr = pDevice->CreateTexture(width, height, levels, Usage, format, Pool, &texture, nullptr);
    if (FAILED(hr))
        return hr;
    const bool staged = Pool == D3DPOOL_DEFAULT && !(Usage & D3DUSAGE_DYNAMIC);
    hr = FillTexture(pDevice, texture, image, levels, format, ColorKey, staged);
    if (FAILED(hr))
    {
        texture->Release();
        return hr;
    }
    *ppTexture = texture;
    return D3D_OK;
}

HRESULT D3DXCreateTextureFromResourceA(LPDIRECT3DDEVICE9 pDevice, HMODULE, LPCSTR pSrcResource,
                                       LPDIRECT3DTEXTURE9* ppTexture)
{
    if (!pDevice || !pSrcResource || !ppTexture)
        return D3DERR_INVALIDCALL;
    // MAKEINTRESOURCEA(id) carries the id in the pointer value; "#id" spells it out.
    int id = -1;
    if ((ULONG_PTR)pSrcResource < 0x10000)
        id = (int)(ULONG_PTR)pSrcResource;
    else if (pSrcResource[0] == '#')
        id = std::atoi(pSrcResource + 1);
    const ResourceEntry* entry = id >= 0 ? FindResourceEntry("BITMAP", id) : nullptr;
    if (!entry && id >= 0)
        entry = FindResourceEntry("RCDATA", id);
    if (!entry)
    {
        LogWarning("D3DXCreateTextureFromResourceA() - no image resource %d.", id);
        return D3DERR_INVALIDCALL;
    }

    // A bitmap resource is a DIB: the file header is put back in front of it, with the pixels
    // after the info header, the colour masks and the palette. Other resources hold whole files.
    ByteWriter file;
    std::string extension = ".bmp";
    uint16_t magic = 0;
    ByteReader(entry->m_pData, entry->m_nSize).ReadU16(magic);
    const bool isDib = magic != 0x4D42 && entry == FindResourceEntry("BITMAP", id);
    if (isDib)
    {
        ByteReader dib(entry->m_pData, entry->m_nSize);
        uint32_t headerSize = 0, compression = 0, coloursUsed = 0;
        uint16_t bitCount = 0;
        if (!dib.ReadU32(headerSize) || !dib.Seek(14) || !dib.ReadU16(bitCount) || !dib.ReadU32(compression) ||
            !dib.Seek(32) || !dib.ReadU32(coloursUsed) || headerSize < 40 || bitCount == 0 || bitCount > 32)
        {
            LogWarning("D3DXCreateTextureFromResourceA() - bitmap resource %d has no valid header.", id);
            return D3DERR_INVALIDCALL;
        }
        const uint32_t paletteEntries = coloursUsed ? coloursUsed : bitCount <= 8 ? (1u << bitCount) : 0;
        const uint32_t masks = compression == 3 && headerSize == 40 ? 12 : 0; // BI_BITFIELDS
        file.WriteU16(0x4D42);
        file.WriteU32((uint32_t)(14 + entry->m_nSize));
        file.WriteU32(0);
        file.WriteU32(14 + headerSize + masks + 4 * paletteEntries);
    }
    else if (magic != 0x4D42)
        extension = ExtensionFromMagic(entry->m_pData, entry->m_nSize);
    file.WriteBytes(entry->m_pData, entry->m_nSize);

    // The image library reads files, so the resource goes through a temporary one.
    static std::atomic<int> s_nextFile{0};
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("quenlaris-resource-" + std::to_string(getpid()) + "-" +
                               std::to_string(s_nextFile++) + extension))
                                 .string();
    if (!WriteFileAtomic(path.c_str(), file.GetBuffer()))
        return E_FAIL;
    const HRESULT hr = D3DXCreateTextureFromFileExA(pDevice, path.c_str(), D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT,
                                                    0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT,
                                                    0, nullptr, nullptr, ppTexture);
    std::error_code ignored;
    std::filesystem::remove(MapFilePath(path.c_str(), true), ignored);
    return hr;
}

HRESULT D3DXCreateCubeTextureFromFileA(LPDIRECT3DDEVICE9 pDevice, LPCSTR pSrcFile,
                                       LPDIRECT3DCUBETEXTURE9* ppCubeTexture)
{
    if (!pDevice || !pSrcFile || !ppCubeTexture)
        return D3DERR_INVALIDCALL;
    *ppCubeTexture = nullptr;
    std::vector<uint8_t> file;
    DdsLayout layout;
    PixelImage image;
    if (!ReadWholeFile(MapFilePath(pSrcFile, false).c_str(), file) || !ReadDdsLayout(file, layout) ||
        !image.LoadDDS(pSrcFile, false, true))
    {
        LogWarning("D3DXCreateCubeTextureFromFileA() - cannot read the DDS file \"%s\".", pSrcFile);
        return D3DERR_INVALIDCALL;
    }
    if (!(layout.caps2 & kDdsCaps2Cubemap) || (layout.caps2 & kDdsCaps2AllFaces) != kDdsCaps2AllFaces ||
        image.width != image.height)
    {
        LogWarning("D3DXCreateCubeTextureFromFileA() - \"%s\" is not a cube map with six square faces.", pSrcFile);
        return D3DERR_INVALIDCALL;
    }
    // Faces follow each other in the order +x, -x, +y, -y, +z, -z, each with its levels.
    const UINT levels = std::min<UINT>(layout.levels, (UINT)image.GetFullMipCount());
    const size_t faceBytes = image.GetLevelsSize(0, (int32_t)levels);
    if (file.size() < kDdsHeaderBytes + 6 * faceBytes)
    {
        LogWarning("D3DXCreateCubeTextureFromFileA() - \"%s\" is truncated.", pSrcFile);
        return D3DERR_INVALIDCALL;
    }
    const D3DFORMAT format = PrepareImageFormat(image, D3DFMT_UNKNOWN);
    if (format == D3DFMT_UNKNOWN)
        return D3DERR_INVALIDCALL;

    IDirect3DCubeTexture9* cube = nullptr;
    HRESULT hr = pDevice->CreateCubeTexture((UINT)image.width, levels, 0, format, D3DPOOL_MANAGED, &cube, nullptr);
    if (FAILED(hr))
        return hr;
    for (int face = 0; face < 6 && SUCCEEDED(hr); ++face)
    {
        std::memcpy(image.pixels, &file[kDdsHeaderBytes + face * faceBytes], faceBytes);
        for (UINT level = 0; level < levels && SUCCEEDED(hr); ++level)
        {
            D3DLOCKED_RECT locked;
            hr = cube->LockRect((D3DCUBEMAP_FACES)face, level, &locked, nullptr, 0);
            if (SUCCEEDED(hr))
            {
                CopyImageLevel(image, (int)level, format, static_cast<BYTE*>(locked.pBits), locked.Pitch, 0);
                cube->UnlockRect((D3DCUBEMAP_FACES)face, level);
            }
        }
    }
    if (FAILED(hr))
    {
        cube->Release();
        return hr;
    }
    *ppCubeTexture = cube;
    return D3D_OK;
}
