// Fuzz entry point for the toolkit's bitmap reader: each input is read as a BMP file and, without
// its file header, as a packed image; an image that reads is converted into an 8-bit copy and
// written back out, which walks every row of it.
#include "mfc_gui/Dib.h"

#include <core/Log.h>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    CDib dib;
    if (dib.ReadBmpBytes(pData, nSize, "fuzz input") && dib.GetWidth() * dib.GetHeight() <= 1 << 20)
    {
        CDib indexed;
        if (indexed.Create(dib.GetWidth(), dib.GetHeight(), 8))
            indexed.CopyFrom(dib);
        size_t nBytes = 0;
        dib.BmpBytes(nBytes);
    }
    if (nSize > 14)
        dib.ReadPackedDib(pData + 14, nSize - 14, "fuzz input");
    ClearLogLines();
    return 0;
}
