#include <win32/present.h>
#include <win32/testing.h>

#include <cstdlib>

namespace win32
{
bool Driver::snapshot(HWND hWnd, const std::string& strPath)
{
    std::string strFull = strPath;
    const char* szDir = std::getenv("QUENLARIS_SNAPSHOT_DIR");
    if (szDir && *szDir && !strPath.empty() && strPath[0] != '/')
        strFull = std::string(szDir) + "/" + strPath;
    return SaveSnapshot(hWnd, strFull.c_str());
}
}
