#include "3dapi/MediaSearch.h"

#include "morvyn/morvyn.h"

#include <win32/registry.h>
#include <win32/winbase.h>

#include <cstring>
#include <string>

namespace
{
const char SDK_KEY[] = "Software\\Microsoft\\DirectX SDK";
const char SDK_SAMPLES_VALUE[] = "DX9SDK Samples Path";
const char MEDIA_FOLDER[] = "\\Media\\";
// The file part is kept aside in a buffer of this many characters.
constexpr size_t FILE_PART_MAX = 260;

// A bounded copy that always terminates.
void CopyBounded(char* szDest, int nSize, const char* szSrc)
{
    std::strncpy(szDest, szSrc, static_cast<size_t>(nSize));
    szDest[nSize - 1] = 0;
}
}

HRESULT GetSdkMediaPath(char* szPath, int nSize)
{
    if (!szPath || nSize < 1)
        return E_INVALIDARG;
    szPath[0] = 0;
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SDK_KEY, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return E_FAIL;
    DWORD nType = 0;
    DWORD nBytes = static_cast<DWORD>(nSize);
    LSTATUS nStatus = RegQueryValueExA(hKey, SDK_SAMPLES_VALUE, nullptr, &nType, reinterpret_cast<LPBYTE>(szPath), &nBytes);
    RegCloseKey(hKey);
    szPath[nSize - 1] = 0;
    if (nStatus != ERROR_SUCCESS || nType != REG_SZ)
    {
        szPath[0] = 0;
        return E_FAIL;
    }
    if (std::strlen(szPath) + std::strlen(MEDIA_FOLDER) >= static_cast<size_t>(nSize))
        return E_INVALIDARG;
    std::strcat(szPath, MEDIA_FOLDER);
    return S_OK;
}

HRESULT GetSdkMediaPathBytes(char* szPath, int nBytes)
{
    return GetSdkMediaPath(szPath, nBytes);
}

HRESULT SearchMediaFile(char* szPath, int nSize, const char* szName)
{
    if (!szName || !szPath || nSize < 1)
        return E_INVALIDARG;
    szPath[0] = 0;

    char* pFilePart = nullptr;
    DWORD nFull = GetFullPathNameA(szName, static_cast<DWORD>(nSize), szPath, &pFilePart);
    if (nFull == 0 || nFull >= static_cast<DWORD>(nSize))
        return E_FAIL;
    std::string filePart = pFilePart ? std::string(pFilePart).substr(0, FILE_PART_MAX) : std::string();

    if (IsReadableFile(szPath))
        return S_OK;

    if (!filePart.empty() && IsReadableFile(filePart.c_str()))
    {
        CopyBounded(szPath, nSize, filePart.c_str());
        return S_OK;
    }

    HRESULT hr = GetSdkMediaPath(szPath, nSize);
    if (FAILED(hr))
        return hr;
    if (std::strlen(szPath) + filePart.size() >= static_cast<size_t>(nSize))
        return E_INVALIDARG;
    std::strcat(szPath, filePart.c_str());
    if (IsReadableFile(szPath))
        return S_OK;

    CopyBounded(szPath, nSize, szName);
    return MEDIA_FILE_NOT_FOUND;
}

HRESULT SearchMediaFileBytes(char* szPath, int nBytes, const char* szName)
{
    return SearchMediaFile(szPath, nBytes, szName);
}
