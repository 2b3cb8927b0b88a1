#pragma once
// CString: a narrow text value that converts to const char*, with the members the system uses.
#include <win32/resources.h>
#include <win32/types.h>

#include <cstdarg>
#include <string>

class CString
{
public:
    CString() = default;
    CString(const char* psz) : m_str(psz ? psz : "") {}
    CString(const char* pch, int nLength) : m_str(pch ? std::string(pch, static_cast<size_t>(nLength > 0 ? nLength : 0)) : "") {}
    CString(char ch, int nRepeat = 1) : m_str(static_cast<size_t>(nRepeat > 0 ? nRepeat : 0), ch) {}
    CString(const std::string& str) : m_str(str) {}

    int GetLength() const { return static_cast<int>(m_str.size()); }
    BOOL IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    char GetAt(int nIndex) const;
    void SetAt(int nIndex, char ch);
    char operator[](int nIndex) const { return GetAt(nIndex); }
    operator const char*() const { return m_str.c_str(); }
    const char* GetString() const { return m_str.c_str(); }
    const std::string& Str() const { return m_str; }

    CString& operator=(const char* psz);
    CString& operator=(char ch);
    CString& operator+=(const char* psz);
    CString& operator+=(const CString& str);
    CString& operator+=(char ch);
    friend CString operator+(const CString& a, const CString& b);
    friend CString operator+(const CString& a, const char* b);
    friend CString operator+(const char* a, const CString& b);
    friend CString operator+(const CString& a, char b);
    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, const char* b) { return a.m_str == (b ? b : ""); }
    friend bool operator!=(const CString& a, const CString& b) { return a.m_str != b.m_str; }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_str < b.m_str; }

    int Compare(const char* psz) const;
    int CompareNoCase(const char* psz) const;

    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    int Find(char ch, int nStart = 0) const;
    int Find(const char* pszSub, int nStart = 0) const;
    int ReverseFind(char ch) const;
    void MakeUpper();
    void MakeLower();
    CString& TrimLeft();
    CString& TrimRight();
    CString& Trim();
    int Replace(const char* pszOld, const char* pszNew);
    int Insert(int nIndex, const char* psz);
    int Delete(int nIndex, int nCount = 1);

    void Format(const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));
    void FormatV(const char* pszFormat, va_list args);
    // The string-table entry nID; false (and the text unchanged) when it is missing.
    BOOL LoadString(UINT nID);

    // Direct access: GetBuffer gives at least nMinLength writable bytes plus a zero;
    // ReleaseBuffer takes the text up to its first zero (or nNewLength bytes).
    char* GetBuffer(int nMinLength = 0);
    char* GetBufferSetLength(int nNewLength);
    void ReleaseBuffer(int nNewLength = -1);

private:
    std::string m_str;
};

