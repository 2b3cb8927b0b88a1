// Fuzz entry point of the ".mvn" scene reader. The reader takes a path, so each input goes
// through a scratch file; it is read twice into one store, so the second pass meets the
// materials and textures of the first.
#include "FuzzScratchFile.h"

#include "scene/SceneStore.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const char* szPath = fuzz::WriteScratchFile(pData, nSize, "mvn");
    if (!szPath)
        return 0;
    {
        SceneStore store;
        store.ReadMvn(szPath, nullptr, nullptr);
        store.ReadMvn(szPath, nullptr, nullptr);
    }
    ClearLogLines();
    return 0;
}
