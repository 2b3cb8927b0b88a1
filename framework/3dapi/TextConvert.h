#pragma once
// Text conversions between narrow (ANSI code page; UTF-8 here) and wide text, as the sample
// framework's loaders use them. Each returns E_INVALIDARG for a null pointer or a size below 1
// and always leaves a terminating zero in the last element of the destination.
#include <win32/types.h>

#include <cwchar>

// The whole source converted; E_FAIL when nothing converts.
HRESULT AnsiToWide(wchar_t* szDest, const char* szSrc, int nDestChars);
HRESULT WideToAnsi(char* szDest, const wchar_t* szSrc, int nDestBytes);
// Bounded copies: at most nDestChars characters, the rest of the destination zero-filled; S_OK.
HRESULT ToAnsiString(char* szDest, const char* szSrc, int nDestChars);
HRESULT FromAnsiString(char* szDest, const char* szSrc, int nDestChars);
HRESULT ToWideString(wchar_t* szDest, const char* szSrc, int nDestChars);
HRESULT FromWideString(char* szDest, const wchar_t* szSrc, int nDestChars);

// Forms taking the destination size in bytes: the wide destinations hold half as many
// characters, the narrow ones as many as bytes.
HRESULT AnsiToWideBytes(wchar_t* szDest, const char* szSrc, int nDestBytes);
HRESULT ToWideStringBytes(wchar_t* szDest, const char* szSrc, int nDestBytes);
HRESULT WideToAnsiBytes(char* szDest, const wchar_t* szSrc, int nDestBytes);
HRESULT ToAnsiStringBytes(char* szDest, const char* szSrc, int nDestBytes);
HRESULT FromAnsiStringBytes(char* szDest, const char* szSrc, int nDestBytes);
HRESULT FromWideStringBytes(char* szDest, const wchar_t* szSrc, int nDestBytes);
