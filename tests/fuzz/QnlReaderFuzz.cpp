// Fuzz entry point of the ".qnl" scene reader: each input is opened into a store and then
// merged into it, so the merge meets the materials and textures of the open, and the store is
// saved again (the writer must cope with whatever the reader accepted).
#include "FuzzScratchFile.h"

#include "scene/SceneStore.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const char* szPath = fuzz::WriteScratchFile(pData, nSize, "qnl");
    if (!szPath)
        return 0;
    {
        SceneStore store;
        if (store.OpenQnlFile(szPath, nullptr, nullptr))
        {
            store.MergeQnlFile(szPath, nullptr, nullptr);
            store.SaveQnlFile(szPath);
        }
    }
    ClearLogLines();
    return 0;
}
