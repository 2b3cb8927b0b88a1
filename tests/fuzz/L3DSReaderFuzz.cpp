// Fuzz entry point of the 3DS reader and the scene store's 3DS import. The input is parsed from
// memory twice into one reader, so the second pass meets the cameras the first one kept; then it
// is imported from a file into an empty store, which is cleared.
#include "FuzzScratchFile.h"

#include "core/Log.h"
#include "scene/L3DS.h"
#include "scene/SceneStore.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const std::vector<uint8_t> bytes(pData, pData + nSize);
    {
        L3DS reader;
        reader.LoadFromMemory(bytes);
        reader.LoadFromMemory(bytes);
        for (uint32_t i = 0; i < reader.GetMeshCount(); ++i)
        {
            L3DSMesh& mesh = reader.GetMesh(i);
            for (uint32_t t = 0; t < mesh.GetTriangleCount(); ++t)
                mesh.GetFullTriangle(t);
        }
    }
    if (const char* szPath = fuzz::WriteScratchFile(pData, nSize, "3ds"))
    {
        SceneStore store;
        store.Import3dsFile(szPath, nullptr, nullptr);
        store.Clear(nullptr);
    }
    ClearLogLines();
    return 0;
}
