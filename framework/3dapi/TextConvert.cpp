#include "3dapi/TextConvert.h"

#include <win32/winbase.h>

#include <cstring>

HRESULT AnsiToWide(wchar_t* szDest, const char* szSrc, int nDestChars)
{
    if (!szDest || !szSrc || nDestChars < 1)
        return E_INVALIDARG;
    int nResult = MultiByteToWideChar(CP_ACP, 0, szSrc, -1, szDest, nDestChars);
    szDest[nDestChars - 1] = 0;
    return nResult == 0 ? E_FAIL : S_OK;
}

HRESULT WideToAnsi(char* szDest, const wchar_t* szSrc, int nDestBytes)
{
    if (!szDest || !szSrc || nDestBytes < 1)
        return E_INVALIDARG;
    int nResult = WideCharToMultiByte(CP_ACP, 0, szSrc, -1, szDest, nDestBytes, nullptr, nullptr);
    szDest[nDestBytes - 1] = 0;
    return nResult == 0 ? E_FAIL : S_OK;
}

HRESULT ToAnsiString(char* szDest, const char* szSrc, int nDestChars)
{
    if (!szDest || !szSrc || nDestChars < 1)
        return E_INVALIDARG;
    std::strncpy(szDest, szSrc, static_cast<size_t>(nDestChars));
    szDest[nDestChars - 1] = 0;
    return S_OK;
}

HRESULT FromAnsiString(char* szDest, const char* szSrc, int nDestChars)
{
    return ToAnsiString(szDest, szSrc, nDestChars);
}

HRESULT ToWideString(wchar_t* szDest, const char* szSrc, int nDestChars)
{
    return AnsiToWide(szDest, szSrc, nDestChars);
}

HRESULT FromWideString(char* szDest, const wchar_t* szSrc, int nDestChars)
{
    return WideToAnsi(szDest, szSrc, nDestChars);
}

HRESULT AnsiToWideBytes(wchar_t* szDest, const char* szSrc, int nDestBytes)
{
    return AnsiToWide(szDest, szSrc, nDestBytes / static_cast<int>(sizeof(wchar_t)));
}

HRESULT ToWideStringBytes(wchar_t* szDest, const char* szSrc, int nDestBytes)
{
    return AnsiToWideBytes(szDest, szSrc, nDestBytes);
}

HRESULT WideToAnsiBytes(char* szDest, const wchar_t* szSrc, int nDestBytes)
{
    return WideToAnsi(szDest, szSrc, nDestBytes);
}

HRESULT ToAnsiStringBytes(char* szDest, const char* szSrc, int nDestBytes)
{
    return ToAnsiString(szDest, szSrc, nDestBytes);
}

HRESULT FromAnsiStringBytes(char* szDest, const char* szSrc, int nDestBytes)
{
    return FromAnsiString(szDest, szSrc, nDestBytes);
}

HRESULT FromWideStringBytes(char* szDest, const wchar_t* szSrc, int nDestBytes)
{
    return FromWideString(szDest, szSrc, nDestBytes);
}
