#pragma once
// Camera-path files (".pth"): plain text, a header of the key count and the path's duration in
// seconds, then per key a line of the position x, y, z and a line of the rotation quaternion
// x, y, z, w. Numbers are written with "%f"; the reader takes any white space between them, so
// files with CR LF line ends read the same. Keys are equally spaced over the duration and the
// path repeats after it.
#include "core/Vector3.h"

#include <d3dx9math.h>

#include <vector>

struct PathKey
{
    Vector3 m_vPosition;
    D3DXQUATERNION m_qRotation;
};

enum PathFileResult
{
    PATH_FILE_OK,
    // Missing, a directory, or unreadable.
    PATH_FILE_CANNOT_OPEN,
    // A negative count, a number missing, malformed or not finite, or fewer keys than promised.
    PATH_FILE_MALFORMED,
};

// Reads the whole file. On failure a warning is logged and the outputs are left untouched.
PathFileResult ReadPathFile(const char* szFileName, std::vector<PathKey>& keys, float& fDuration);
// Writes the keys and the duration, through a temporary file renamed over the target.
bool WritePathFile(const char* szFileName, const PathKey* pKeys, int nKeys, float fDuration);
