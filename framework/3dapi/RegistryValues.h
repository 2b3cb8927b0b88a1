#pragma once
// Reading and writing single registry values of an open key, and GUIDs as text
// ("{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"). A read that fails leaves the default in the
// destination.
#include <win32/registry.h>
#include <win32/types.h>

// REG_SZ into szDest (nSize bytes, always terminated); the default on failure. S_OK when the
// value was read, E_FAIL when the default was taken, E_INVALIDARG for a null destination.
HRESULT ReadStringRegValue(HKEY hKey, const char* szName, char* szDest, int nSize, const char* szDefault);
HRESULT ReadStringRegValueBytes(HKEY hKey, const char* szName, char* szDest, int nBytes, const char* szDefault);
// REG_DWORD, 4 bytes; the same results.
HRESULT ReadIntRegValue(HKEY hKey, const char* szName, int* pDest, int nDefault);
HRESULT ReadBoolRegValue(HKEY hKey, const char* szName, int* pDest, int nDefault);
// REG_BINARY, 16 bytes; the same results (a null default leaves the destination alone).
HRESULT ReadGuidRegValue(HKEY hKey, const char* szName, GUID* pDest, const GUID* pDefault);

// E_INVALIDARG for a null text; E_FAIL when the write fails; S_OK.
HRESULT WriteStringRegValue(HKEY hKey, const char* szName, const char* szValue);
HRESULT WriteIntRegValue(HKEY hKey, const char* szName, int nValue);
HRESULT WriteBoolRegValue(HKEY hKey, const char* szName, int nValue);
HRESULT WriteGuidRegValue(HKEY hKey, const char* szName, GUID value);

// All eleven fields or nothing: on any other text the GUID is zeroed and E_FAIL returned.
HRESULT GuidFromString(const char* szText, GUID* pGuid);
// Upper-case hexadecimal into szText (nSize characters); E_FAIL when it does not fit.
HRESULT GuidToString(const GUID& guid, char* szText, int nSize);
HRESULT GuidToStringBytes(const GUID& guid, char* szText, int nBytes);

// Formats a line of at most 511 characters to the debug output.
void DebugTrace(const char* szFormat, ...) __attribute__((format(printf, 1, 2)));
