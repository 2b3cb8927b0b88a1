// Debug output, text comparison and conversion, full path names, file existence and movable
// memory blocks.
#include <win32/paths.h>
#include <win32/winbase.h>

#include <cstdio>
#include <cstdint>
#include <cwchar>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

namespace
{
// Windows-1252 for 0x80-0x9F (0 where the code page has no character); other bytes that are
// not UTF-8 are Latin-1.
const wchar_t CP1252_HIGH[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
};

// One character from UTF-8 at p (n bytes left); a byte that does not start valid UTF-8 is
// taken alone as Windows-1252.
wchar_t DecodeOne(const unsigned char* p, size_t n, size_t& used)
{
    unsigned char c = p[0];
    used = 1;
    if (c < 0x80)
        return c;
    int nMore = (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
    if (nMore > 0 && static_cast<size_t>(nMore) < n)
    {
        uint32_t cp = c & (0x3F >> nMore);
        bool bValid = true;
        for (int i = 1; i <= nMore; ++i)
        {
            bValid = bValid && (p[i] & 0xC0) == 0x80;
            cp = cp << 6 | (p[i] & 0x3F);
        }
        static const uint32_t MINIMUM[] = {0, 0x80, 0x800, 0x10000};
        if (bValid && cp >= MINIMUM[nMore] && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF))
        {
            used = static_cast<size_t>(nMore) + 1;
            return static_cast<wchar_t>(cp);
        }
    }
    return c < 0xA0 && CP1252_HIGH[c - 0x80] ? CP1252_HIGH[c - 0x80] : static_cast<wchar_t>(c);
}

size_t EncodeOne(uint32_t cp, char* out)
{
    if (cp < 0x80)
    {
        out[0] = static_cast<char>(cp);
        return 1;
    }
    if (cp < 0x800)
    {
        out[0] = static_cast<char>(0xC0 | cp >> 6);
        out[1] = static_cast<char>(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000)
    {
        out[0] = static_cast<char>(0xE0 | cp >> 12);
        out[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | cp >> 18);
    out[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (cp & 0x3F));
    return 4;
}

struct GlobalBlock
{
    SIZE_T m_nSize;
    int m_nLocks;
};
}

HANDLE GetCurrentProcess()
{
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));
}

VOID OutputDebugStringA(LPCSTR lpOutputString)
{
    if (lpOutputString)
        std::fputs(lpOutputString, stderr);
}

int lstrcmpiA(LPCSTR lpString1, LPCSTR lpString2)
{
    int n = strcasecmp(lpString1 ? lpString1 : "", lpString2 ? lpString2 : "");
    return n < 0 ? -1 : n > 0 ? 1 : 0;
}

int lstrlenA(LPCSTR lpString)
{
    return lpString ? static_cast<int>(std::strlen(lpString)) : 0;
}

int MultiByteToWideChar(UINT, DWORD, LPCSTR lpMultiByteStr, int cbMultiByte, LPWSTR lpWideCharStr, int cchWideChar)
{
    if (!lpMultiByteStr || cbMultiByte == 0 || cchWideChar < 0)
        return 0;
    // -1: the whole text and its terminating zero.
    size_t nBytes = cbMultiByte < 0 ? std::strlen(lpMultiByteStr) + 1 : static_cast<size_t>(cbMultiByte);
    auto* p = reinterpret_cast<const unsigned char*>(lpMultiByteStr);
    int nOut = 0;
    for (size_t i = 0; i < nBytes;)
    {
        size_t used = 0;
        wchar_t wc = DecodeOne(p + i, nBytes - i, used);
        i += used;
        if (cchWideChar)
        {
            if (nOut >= cchWideChar)
                return 0;   // too small: Windows fails with ERROR_INSUFFICIENT_BUFFER
            lpWideCharStr[nOut] = wc;
        }
        ++nOut;
    }
    return nOut;
}

int WideCharToMultiByte(UINT, DWORD, LPCWSTR lpWideCharStr, int cchWideChar, LPSTR lpMultiByteStr, int cbMultiByte,
                        LPCSTR, LPBOOL lpUsedDefaultChar)
{
    if (lpUsedDefaultChar)
        *lpUsedDefaultChar = FALSE;
    if (!lpWideCharStr || cchWideChar == 0 || cbMultiByte < 0)
        return 0;
    size_t nChars = cchWideChar < 0 ? std::wcslen(lpWideCharStr) + 1 : static_cast<size_t>(cchWideChar);
    int nOut = 0;
    for (size_t i = 0; i < nChars; ++i)
    {
        char buf[4];
        uint32_t cp = static_cast<uint32_t>(lpWideCharStr[i]);
        size_t n = EncodeOne(cp > 0x10FFFF ? 0xFFFD : cp, buf);
        if (cbMultiByte)
        {
            if (nOut + static_cast<int>(n) > cbMultiByte)
                return 0;
            std::memcpy(lpMultiByteStr + nOut, buf, n);
        }
        nOut += static_cast<int>(n);
    }
    return nOut;
}

DWORD GetFullPathNameA(LPCSTR lpFileName, DWORD nBufferLength, LPSTR lpBuffer, LPSTR* lpFilePart)
{
    if (!lpFileName || !*lpFileName)
        return 0;
    std::string path = win32::MapPath(lpFileName, false);
    if (path.empty())
        return 0;
    if (!lpBuffer || nBufferLength <= path.size())
        return static_cast<DWORD>(path.size() + 1);
    std::memcpy(lpBuffer, path.c_str(), path.size() + 1);
    if (lpFilePart)
    {
        char* pSlash = std::strrchr(lpBuffer, '/');
        *lpFilePart = pSlash && pSlash[1] ? pSlash + 1 : nullptr;
    }
    return static_cast<DWORD>(path.size());
}

HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD, SECURITY_ATTRIBUTES*, DWORD dwCreationDisposition,
                   DWORD, HANDLE)
{
    if (!lpFileName || dwCreationDisposition != OPEN_EXISTING || (dwDesiredAccess & GENERIC_WRITE))
        return INVALID_HANDLE_VALUE;
    std::string path = win32::MapPath(lpFileName, false);
    int fd = path.empty() ? -1 : open(path.c_str(), O_RDONLY | O_CLOEXEC);
    // Handle values are the descriptor plus one, so descriptor 0 is not a null handle.
    return fd < 0 ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(static_cast<intptr_t>(fd) + 1);
}

BOOL CloseHandle(HANDLE hObject)
{
    if (!hObject || hObject == INVALID_HANDLE_VALUE)
        return FALSE;
    return close(static_cast<int>(reinterpret_cast<intptr_t>(hObject) - 1)) == 0;
}

HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes)
{
    void* p = (uFlags & GMEM_ZEROINIT) ? std::calloc(1, sizeof(GlobalBlock) + dwBytes)
                                        : std::malloc(sizeof(GlobalBlock) + dwBytes);
    if (!p)
        return nullptr;
    auto* pBlock = static_cast<GlobalBlock*>(p);
    pBlock->m_nSize = dwBytes;
    pBlock->m_nLocks = 0;
    return reinterpret_cast<HGLOBAL>(pBlock);
}

LPVOID GlobalLock(HGLOBAL hMem)
{
    if (!hMem)
        return nullptr;
    auto* pBlock = reinterpret_cast<GlobalBlock*>(hMem);
    ++pBlock->m_nLocks;
    return pBlock + 1;
}

BOOL GlobalUnlock(HGLOBAL hMem)
{
    if (!hMem)
        return FALSE;
    auto* pBlock = reinterpret_cast<GlobalBlock*>(hMem);
    if (pBlock->m_nLocks > 0)
        --pBlock->m_nLocks;
    return pBlock->m_nLocks > 0;
}

SIZE_T GlobalSize(HGLOBAL hMem)
{
    return hMem ? reinterpret_cast<GlobalBlock*>(hMem)->m_nSize : 0;
}

HGLOBAL GlobalFree(HGLOBAL hMem)
{
    std::free(hMem);
    return nullptr;
}
