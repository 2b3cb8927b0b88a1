#include "3dapi/RegistryValues.h"

#include <win32/winbase.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace
{
// Reads exactly nBytes of the expected type.
bool ReadValue(HKEY hKey, const char* szName, DWORD nType, void* pData, DWORD nBytes)
{
    DWORD nReadType = 0;
    DWORD nSize = nBytes;
    LSTATUS nStatus = RegQueryValueExA(hKey, szName, nullptr, &nReadType, static_cast<LPBYTE>(pData), &nSize);
    return nStatus == ERROR_SUCCESS && nReadType == nType && (nType == REG_SZ || nSize == nBytes);
}

HRESULT WriteValue(HKEY hKey, const char* szName, DWORD nType, const void* pData, DWORD nBytes)
{
    return RegSetValueExA(hKey, szName, 0, nType, static_cast<const BYTE*>(pData), nBytes) == ERROR_SUCCESS ? S_OK
                                                                                                             : E_FAIL;
}
}

HRESULT ReadStringRegValue(HKEY hKey, const char* szName, char* szDest, int nSize, const char* szDefault)
{
    if (!szDest || nSize < 1)
        return E_INVALIDARG;
    if (ReadValue(hKey, szName, REG_SZ, szDest, static_cast<DWORD>(nSize)))
    {
        szDest[nSize - 1] = 0;
        return S_OK;
    }
    std::strncpy(szDest, szDefault ? szDefault : "", static_cast<size_t>(nSize));
    szDest[nSize - 1] = 0;
    return E_FAIL;
}

HRESULT ReadStringRegValueBytes(HKEY hKey, const char* szName, char* szDest, int nBytes, const char* szDefault)
{
    return ReadStringRegValue(hKey, szName, szDest, nBytes, szDefault);
}

HRESULT ReadIntRegValue(HKEY hKey, const char* szName, int* pDest, int nDefault)
{
    if (!pDest)
        return E_INVALIDARG;
    DWORD nValue = 0;
    if (ReadValue(hKey, szName, REG_DWORD, &nValue, sizeof(nValue)))
    {
        *pDest = static_cast<int>(nValue);
        return S_OK;
    }
    *pDest = nDefault;
    return E_FAIL;
}

HRESULT ReadBoolRegValue(HKEY hKey, const char* szName, int* pDest, int nDefault)
{
    return ReadIntRegValue(hKey, szName, pDest, nDefault);
}

HRESULT ReadGuidRegValue(HKEY hKey, const char* szName, GUID* pDest, const GUID* pDefault)
{
    if (!pDest)
        return E_INVALIDARG;
    GUID value;
    if (ReadValue(hKey, szName, REG_BINARY, &value, sizeof(value)))
    {
        *pDest = value;
        return S_OK;
    }
    if (pDefault)
        *pDest = *pDefault;
    return E_FAIL;
}

HRESULT WriteStringRegValue(HKEY hKey, const char* szName, const char* szValue)
{
    if (!szValue)
        return E_INVALIDARG;
    return WriteValue(hKey, szName, REG_SZ, szValue, static_cast<DWORD>(std::strlen(szValue) + 1));
}

HRESULT WriteIntRegValue(HKEY hKey, const char* szName, int nValue)
{
    DWORD nData = static_cast<DWORD>(nValue);
    return WriteValue(hKey, szName, REG_DWORD, &nData, sizeof(nData));
}

HRESULT WriteBoolRegValue(HKEY hKey, const char* szName, int nValue)
{
    return WriteIntRegValue(hKey, szName, nValue);
}

HRESULT WriteGuidRegValue(HKEY hKey, const char* szName, GUID value)
{
    return WriteValue(hKey, szName, REG_BINARY, &value, sizeof(value));
}

HRESULT GuidFromString(const char* szText, GUID* pGuid)
{
    if (!pGuid)
        return E_INVALIDARG;
    unsigned int nData1 = 0, nData2 = 0, nData3 = 0, bytes[8] = {};
    int nRead = szText ? std::sscanf(szText, "{%8X-%4X-%4X-%2X%2X-%2X%2X%2X%2X%2X%2X}", &nData1, &nData2, &nData3,
                                     &bytes[0], &bytes[1], &bytes[2], &bytes[3], &bytes[4], &bytes[5], &bytes[6],
                                     &bytes[7])
                       : 0;
    *pGuid = GUID{};
    if (nRead != 11)
        return E_FAIL;
    pGuid->Data1 = nData1;
    pGuid->Data2 = static_cast<WORD>(nData2);
    pGuid->Data3 = static_cast<WORD>(nData3);
    for (int i = 0; i < 8; ++i)
        pGuid->Data4[i] = static_cast<BYTE>(bytes[i]);
    return S_OK;
}

HRESULT GuidToString(const GUID& guid, char* szText, int nSize)
{
    if (!szText || nSize < 1)
        return E_INVALIDARG;
    const BYTE* b = guid.Data4;
    int nWritten = std::snprintf(szText, static_cast<size_t>(nSize),
                                 "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", guid.Data1, guid.Data2,
                                 guid.Data3, b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7]);
    return nWritten < 0 || nWritten >= nSize ? E_FAIL : S_OK;
}

HRESULT GuidToStringBytes(const GUID& guid, char* szText, int nBytes)
{
    return GuidToString(guid, szText, nBytes);
}

void DebugTrace(const char* szFormat, ...)
{
    char szLine[512];
    va_list args;
    va_start(args, szFormat);
    std::vsnprintf(szLine, sizeof(szLine), szFormat, args);
    va_end(args);
    OutputDebugStringA(szLine);
}
