#pragma once
// Opens a sample's "readme.txt" with the desktop's handler: the SDK's copy for a named sample,
// else the first one found beside the program; a warning box when there is none.
#include <win32/types.h>

void OpenSampleReadme(HWND hOwner, const char* szSampleName);
