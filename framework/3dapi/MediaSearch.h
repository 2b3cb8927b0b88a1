#pragma once
// Where the sample framework finds a media file: as named, by its bare file name in the current
// directory, then in the SDK's media folder (registry "Software\Microsoft\DirectX SDK", value
// "DX9SDK Samples Path", plus "\Media\"). Names go through MapPath, so "\" separators and any
// letter case find the file.
#include <win32/types.h>

// The SDK media folder into szPath (nSize characters). E_INVALIDARG for a null path, a size below
// 1 or a folder that does not fit; E_FAIL when the SDK is not registered.
HRESULT GetSdkMediaPath(char* szPath, int nSize);
HRESULT GetSdkMediaPathBytes(char* szPath, int nBytes);

// The path of the first place that has the file, into szPath (nSize characters); S_OK. A name
// found nowhere leaves the name itself in szPath and gives 0x80070002 (file not found); without
// a registered SDK the SDK step's failure is returned.
HRESULT SearchMediaFile(char* szPath, int nSize, const char* szName);
HRESULT SearchMediaFileBytes(char* szPath, int nBytes, const char* szName);

// The result of a search for a name found nowhere.
constexpr HRESULT MEDIA_FILE_NOT_FOUND = static_cast<HRESULT>(0x80070002);
