#pragma once
// The readers under fuzz take paths, so each input goes through one scratch file per process in
// the temporary folder, named with the reader's extension and removed at exit. The first call
// also silences the log's echo.
#include "core/Log.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fuzz
{
inline std::string& ScratchPath()
{
    static std::string s_strPath;
    return s_strPath;
}

inline void RemoveScratchFile()
{
    std::remove(ScratchPath().c_str());
}

// Writes the input to the scratch file; its path, or null when it cannot be written.
inline const char* WriteScratchFile(const uint8_t* pData, size_t nSize, const char* szExtension)
{
    std::string& strPath = ScratchPath();
    if (strPath.empty())
    {
        SetLogEcho(false);
        strPath = (std::filesystem::temp_directory_path() /
                   ("quen-fuzz-" + std::to_string(getpid()) + "." + szExtension))
                      .string();
        std::atexit(RemoveScratchFile);
    }
    FILE* pFile = std::fopen(strPath.c_str(), "wb");
    if (!pFile)
        return nullptr;
    bool bWritten = nSize == 0 || std::fwrite(pData, 1, nSize, pFile) == nSize;
    bWritten = std::fclose(pFile) == 0 && bWritten;
    return bWritten ? strPath.c_str() : nullptr;
}
}
