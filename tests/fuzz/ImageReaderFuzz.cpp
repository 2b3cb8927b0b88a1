// Fuzz entry point for one image file reader, chosen at build time by QUEN_FUZZ_EXTENSION
// ("dds", "tga", "bmp", "pcx", "jpg", "png"). The readers take paths, so each input goes
// through a scratch file; every mip mode and both colour orders are tried.
#include "core/Log.h"
#include "core/PixelImage.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace
{
std::string g_strScratchPath;

void RemoveScratchFile()
{
    std::remove(g_strScratchPath.c_str());
}

const char* ScratchPath()
{
    if (g_strScratchPath.empty())
    {
        SetLogEcho(false);
        g_strScratchPath = (std::filesystem::temp_directory_path() / ("quen-fuzz-" + std::to_string(getpid()) + "." QUEN_FUZZ_EXTENSION)).string();
        std::atexit(RemoveScratchFile);
    }
    return g_strScratchPath.c_str();
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const char* szPath = ScratchPath();
    FILE* pFile = std::fopen(szPath, "wb");
    if (!pFile)
        return 0;
    if (nSize)
        std::fwrite(pData, 1, nSize, pFile);
    std::fclose(pFile);
    for (int nMipMode = 0; nMipMode <= 2; ++nMipMode)
    {
        PixelImage image;
        image.Load(szPath, nMipMode != 1, nMipMode);
    }
    ClearLogLines();
    return 0;
}
