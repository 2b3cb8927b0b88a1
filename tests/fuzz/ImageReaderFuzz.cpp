// Fuzz entry point for one image file reader, chosen at build time by QUEN_FUZZ_EXTENSION
// ("dds", "tga", "bmp", "pcx", "jpg", "png"). The readers take paths, so each input goes
// through a scratch file; every mip mode and both colour orders are tried.
#include "FuzzScratchFile.h"

#include "core/PixelImage.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const char* szPath = fuzz::WriteScratchFile(pData, nSize, QUEN_FUZZ_EXTENSION);
    if (!szPath)
        return 0;
    for (int nMipMode = 0; nMipMode <= 2; ++nMipMode)
    {
        PixelImage image;
        image.Load(szPath, nMipMode != 1, nMipMode);
    }
    ClearLogLines();
    return 0;
}
