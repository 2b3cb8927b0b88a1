// Fuzz entry point of the ".mvn" scene reader. The reader takes a path, so each input goes
// through a scratch file; it is read twice into one store, so the second pass meets the
// materials and textures of the first.
#include "core/Log.h"
#include "scene/SceneStore.h"

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
        g_strScratchPath = (std::filesystem::temp_directory_path() / ("quen-fuzz-" + std::to_string(getpid()) + ".mvn")).string();
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
    {
        SceneStore store;
        store.ReadMvn(szPath, nullptr, nullptr);
        store.ReadMvn(szPath, nullptr, nullptr);
    }
    ClearLogLines();
    return 0;
}
