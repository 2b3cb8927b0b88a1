// Writes the seed corpus of the image reader fuzz targets: small images saved in every format
// and layout the writers produce, one folder per extension, plus a few cut and patched copies
// so that the replay also walks the readers' refusal paths.
#include "core/Log.h"
#include "core/PixelImage.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace
{
struct SeedImage
{
    const char* m_szName;
    int m_nFormat;
    int32_t m_nWidth;
    int32_t m_nHeight;
    int32_t m_nMipCount;
};

const SeedImage g_SeedImages[] = {
    {"grey", I8, 5, 3, 1},
    {"rgb", RGB8, 7, 2, 1},
    {"rgba", RGBA8, 3, 3, 1},
    {"rgba-mips", RGBA8, 8, 4, 4},
    {"r565-mips", RGB565, 4, 4, 3},
    {"runs", RGB8, 70, 1, 1},
};

const char* const g_Extensions[] = {"dds", "tga", "bmp", "pcx", "jpg", "png"};

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
}

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: image_fuzz_seeds <folder>\n");
        return 2;
    }
    SetLogEcho(false);
    std::filesystem::path root(argv[1]);
    int nWritten = 0;
    for (const char* szExtension : g_Extensions)
    {
        std::filesystem::path folder = root / szExtension;
        std::filesystem::create_directories(folder);
        for (const SeedImage& seed : g_SeedImages)
        {
            PixelImage image;
            image.width = seed.m_nWidth;
            image.height = seed.m_nHeight;
            image.format = seed.m_nFormat;
            size_t nSize = image.GetLevelsSize(0, seed.m_nMipCount);
            uint8_t* pPixels = AllocatePixels(nSize);
            if (!pPixels)
                return 1;
            // Smooth ramps with runs, so that the run-length and lossy encoders have work to do.
            for (size_t i = 0; i < nSize; ++i)
                pPixels[i] = static_cast<uint8_t>((i / 3) * 9);
            image.Adopt(pPixels, seed.m_nWidth, seed.m_nHeight, seed.m_nFormat, true, false);
            image.mipCount = seed.m_nMipCount;
            std::filesystem::path path = folder / (std::string(seed.m_szName) + "." + szExtension);
            if (!image.Save(path.string().c_str(), true, 75))
                continue;
            ++nWritten;
            // A copy cut in half and one with the byte after the signature inverted.
            std::vector<uint8_t> bytes = ReadBytes(path);
            WriteBytes(folder / (std::string(seed.m_szName) + "-cut." + szExtension), std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(bytes.size() / 2)));
            if (bytes.size() > 16)
                bytes[12] = static_cast<uint8_t>(~bytes[12]);
            WriteBytes(folder / (std::string(seed.m_szName) + "-patched." + szExtension), bytes);
        }
    }
    std::printf("wrote %d seed images\n", nWritten);
    return nWritten > 0 ? 0 : 1;
}
