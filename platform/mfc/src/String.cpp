#include <mfc/afxstr.h>

#include <win32/resources.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <strings.h>

namespace
{
bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
}

char CString::GetAt(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetLength() ? m_str[static_cast<size_t>(nIndex)] : 0;
}

void CString::SetAt(int nIndex, char ch)
{
    if (nIndex >= 0 && nIndex < GetLength())
        m_str[static_cast<size_t>(nIndex)] = ch;
}

CString& CString::operator=(const char* psz)
{
    m_str = psz ? psz : "";
    return *this;
}

CString& CString::operator=(char ch)
{
    m_str.assign(1, ch);
    return *this;
}

CString& CString::operator+=(const char* psz)
{
    if (psz)
        m_str += psz;
    return *this;
}

CString& CString::operator+=(const CString& str)
{
    m_str += str.m_str;
    return *this;
}

CString& CString::operator+=(char ch)
{
    m_str += ch;
    return *this;
}

CString operator+(const CString& a, const CString& b)
{
    return CString(a.m_str + b.m_str);
}

CString operator+(const CString& a, const char* b)
{
    return CString(a.m_str + (b ? b : ""));
}

CString operator+(const char* a, const CString& b)
{
    return CString((a ? a : "") + b.m_str);
}

CString operator+(const CString& a, char b)
{
    return CString(a.m_str + b);
}

int CString::Compare(const char* psz) const
{
    int n = m_str.compare(psz ? psz : "");
    return n < 0 ? -1 : n > 0 ? 1 : 0;
}

int CString::CompareNoCase(const char* psz) const
{
    int n = strcasecmp(m_str.c_str(), psz ? psz : "");
    return n < 0 ? -1 : n > 0 ? 1 : 0;
}

CString CString::Left(int nCount) const
{
    return CString(m_str.substr(0, static_cast<size_t>(std::clamp(nCount, 0, GetLength()))));
}

CString CString::Right(int nCount) const
{
    int n = std::clamp(nCount, 0, GetLength());
    return CString(m_str.substr(static_cast<size_t>(GetLength() - n)));
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const
{
    int nStart = std::clamp(nFirst, 0, GetLength());
    int n = std::clamp(nCount, 0, GetLength() - nStart);
    return CString(m_str.substr(static_cast<size_t>(nStart), static_cast<size_t>(n)));
}

int CString::Find(char ch, int nStart) const
{
    if (nStart < 0 || nStart >= GetLength())
        return -1;
    size_t n = m_str.find(ch, static_cast<size_t>(nStart));
    return n == std::string::npos ? -1 : static_cast<int>(n);
}

int CString::Find(const char* pszSub, int nStart) const
{
    if (!pszSub || nStart < 0 || nStart > GetLength())
        return -1;
    size_t n = m_str.find(pszSub, static_cast<size_t>(nStart));
    return n == std::string::npos ? -1 : static_cast<int>(n);
}

int CString::ReverseFind(char ch) const
{
    size_t n = m_str.rfind(ch);
    return n == std::string::npos ? -1 : static_cast<int>(n);
}

void CString::MakeUpper()
{
    for (char& c : m_str)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

void CString::MakeLower()
{
    for (char& c : m_str)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

CString& CString::TrimLeft()
{
    size_t n = 0;
    while (n < m_str.size() && IsBlank(m_str[n]))
        ++n;
    m_str.erase(0, n);
    return *this;
}

CString& CString::TrimRight()
{
    while (!m_str.empty() && IsBlank(m_str.back()))
        m_str.pop_back();
    return *this;
}

CString& CString::Trim()
{
    return TrimRight().TrimLeft();
}

int CString::Replace(const char* pszOld, const char* pszNew)
{
    if (!pszOld || !*pszOld)
        return 0;
    std::string strOld(pszOld), strNew(pszNew ? pszNew : "");
    int nCount = 0;
    for (size_t n = m_str.find(strOld); n != std::string::npos; n = m_str.find(strOld, n + strNew.size()))
    {
        m_str.replace(n, strOld.size(), strNew);
        ++nCount;
    }
    return nCount;
}

int CString::Insert(int nIndex, const char* psz)
{
    m_str.insert(static_cast<size_t>(std::clamp(nIndex, 0, GetLength())), psz ? psz : "");
    return GetLength();
}

int CString::Delete(int nIndex, int nCount)
{
    if (nIndex >= 0 && nIndex < GetLength() && nCount > 0)
        m_str.erase(static_cast<size_t>(nIndex), static_cast<size_t>(nCount));
    return GetLength();
}

void CString::Format(const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::FormatV(const char* pszFormat, va_list args)
{
    if (!pszFormat)
    {
        m_str.clear();
        return;
    }
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, pszFormat, copy);
    va_end(copy);
    if (n < 0)
    {
        m_str.clear();
        return;
    }
    std::string out(static_cast<size_t>(n) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), pszFormat, args);
    out.resize(static_cast<size_t>(n));
    m_str = std::move(out);
}

BOOL CString::LoadString(UINT nID)
{
    // Longer texts than any the resources hold would be cut, never overrun.
    char buffer[4096];
    if (!::LoadStringA(nullptr, nID, buffer, sizeof(buffer)))
        return FALSE;
    m_str = buffer;
    return TRUE;
}

char* CString::GetBuffer(int nMinLength)
{
    if (nMinLength > GetLength())
        m_str.resize(static_cast<size_t>(nMinLength));
    return m_str.data();
}

char* CString::GetBufferSetLength(int nNewLength)
{
    m_str.resize(static_cast<size_t>(std::max(nNewLength, 0)));
    return m_str.data();
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0)
        m_str.resize(std::strlen(m_str.c_str()));
    else
        m_str.resize(static_cast<size_t>(std::min(nNewLength, GetLength())));
}
