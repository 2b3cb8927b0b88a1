#pragma once
// The program's working directory and its media directory (the working directory followed by
// "Media/"), from which the scene readers take the fallback texture "white.jpg" and the light
// cube map "Cubemap_blanc.dds". Every scene-file entry point calls SetMediaDirectory before it
// reads, so the readers never depend on which command ran first.
//
// Both are char[256] texts; anything that would not fit is refused with a logged warning
// instead of cut, and the file it names counts as not found.
constexpr int MEDIA_PATH_SIZE = 256;

// Set by the application's Load to the current directory; empty before (the media directory is
// then the relative "Media/", which the path mapping resolves).
extern char g_szWorkingDir[MEDIA_PATH_SIZE];
extern char g_szMediaDir[MEDIA_PATH_SIZE];

// g_szMediaDir = g_szWorkingDir + "/Media/". False, with g_szMediaDir emptied and a warning,
// when that does not fit.
bool SetMediaDirectory();

// szOut = g_szMediaDir + szFileName, for a MEDIA_PATH_SIZE buffer. False, with szOut empty and a
// warning, when the media directory is not set or the path does not fit.
bool BuildMediaPath(const char* szFileName, char* szOut);
