#include "scene/MediaDirectory.h"

#include "core/Log.h"

#include <cstdio>
#include <cstring>

char g_szWorkingDir[MEDIA_PATH_SIZE] = "";
char g_szMediaDir[MEDIA_PATH_SIZE] = "";

namespace
{
// szOut = szFirst + szSecond when it fits a MEDIA_PATH_SIZE buffer with its terminator.
bool JoinPath(char* szOut, const char* szFirst, const char* szSecond)
{
    int nLength = std::snprintf(szOut, MEDIA_PATH_SIZE, "%s%s", szFirst, szSecond);
    if (nLength < 0 || nLength >= MEDIA_PATH_SIZE)
    {
        szOut[0] = '\0';
        return false;
    }
    return true;
}
}

bool SetMediaDirectory()
{
    size_t nLength = strnlen(g_szWorkingDir, MEDIA_PATH_SIZE);
    bool bSeparator = nLength > 0 && g_szWorkingDir[nLength - 1] != '/' && g_szWorkingDir[nLength - 1] != '\\';
    if (nLength < MEDIA_PATH_SIZE && JoinPath(g_szMediaDir, g_szWorkingDir, bSeparator ? "/Media/" : "Media/"))
        return true;
    LogWarning("SceneStore::SetMediaDirectory() - the working directory is too long for the media directory.");
    return false;
}

bool BuildMediaPath(const char* szFileName, char* szOut)
{
    if (g_szMediaDir[0] && szFileName && JoinPath(szOut, g_szMediaDir, szFileName))
        return true;
    szOut[0] = '\0';
    LogWarning("SceneStore::BuildMediaPath() - no media path for \"%s\": the media directory is not set or the path "
               "is too long.",
               szFileName ? szFileName : "");
    return false;
}
