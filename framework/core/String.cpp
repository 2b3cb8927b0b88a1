#include "core/String.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace
{
// Lengths stay within the 32-bit signed length field, with room for the NUL.
constexpr uint32_t MAX_LENGTH = 0x7FFFFFFEu;

// Numbers are formatted here first; a longer number (a %f of 1e300 has over 300 digits) is
// formatted again straight into the string, so the text is the same either way.
constexpr int NUMBER_BUFFER_SIZE = 256;

bool Overlaps(const char* pBlock, uint32_t nCapacity, const char* p)
{
    return pBlock && p >= pBlock && p < pBlock + nCapacity;
}
}

String::String() : String(DEFAULT_CAPACITY)
{
}

String::String(uint32_t nCapacity)
{
    if (nCapacity == 0)
        return;
    m_pText = static_cast<char*>(std::malloc(nCapacity));
    if (!m_pText)
        return;
    m_nCapacity = nCapacity;
    m_pText[0] = '\0';
}

String::String(const char* szText) : String(szText, szText ? static_cast<int>(std::strlen(szText)) : 0)
{
}

String::String(const char* pText, int nLength) : String(static_cast<uint32_t>(nLength > 0 ? nLength : 0) + 1)
{
    if (!m_pText || nLength <= 0 || !pText)
        return;
    std::memcpy(m_pText, pText, static_cast<size_t>(nLength));
    m_pText[nLength] = '\0';
    m_nLength = nLength;
}

String::String(const String& other) : String(other.m_nCapacity)
{
    if (!m_pText)
        return;
    std::memcpy(m_pText, other.GetText(), static_cast<size_t>(other.m_nLength) + 1);
    m_nLength = other.m_nLength;
}

String::~String()
{
    std::free(m_pText);
}

void String::SetLength(int n)
{
    if (n < 0 || static_cast<uint32_t>(n) > MAX_LENGTH)
        return;
    uint32_t nCapacity = static_cast<uint32_t>(n) + 1;
    char* pBlock = static_cast<char*>(std::realloc(m_pText, nCapacity));
    if (!pBlock)
        return;
    m_pText = pBlock;
    m_nCapacity = nCapacity;
    m_nLength = n;
    m_pText[n] = '\0';
}

uint32_t String::NextCapacity(uint32_t nCapacity, uint32_t nNeeded)
{
    uint64_t nNext = nCapacity ? nCapacity : DEFAULT_CAPACITY / 2;
    do
        nNext *= 2;
    while (nNext < nNeeded);
    return nNext > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(nNext);
}

bool String::Reserve(uint32_t nNeeded)
{
    // A text that exactly fills the block still grows it.
    if (nNeeded < m_nCapacity)
        return true;
    uint32_t nCapacity = NextCapacity(m_nCapacity, nNeeded);
    char* pBlock = static_cast<char*>(std::realloc(m_pText, nCapacity));
    if (!pBlock)
        return false;
    if (!m_pText)
        pBlock[0] = '\0';
    m_pText = pBlock;
    m_nCapacity = nCapacity;
    return true;
}

void String::Assign(const char* pText, int n)
{
    if (!pText || n < 0 || static_cast<uint32_t>(n) > MAX_LENGTH)
        return;
    uint32_t nNeeded = static_cast<uint32_t>(n) + 1;
    if (nNeeded >= m_nCapacity)
    {
        // The old content is not kept, so a fresh block replaces it; the source is copied
        // before the old block goes, since it may be this string's own text.
        uint32_t nCapacity = NextCapacity(m_nCapacity, nNeeded);
        char* pBlock = static_cast<char*>(std::malloc(nCapacity));
        if (!pBlock)
            return;
        std::memcpy(pBlock, pText, static_cast<size_t>(n));
        std::free(m_pText);
        m_pText = pBlock;
        m_nCapacity = nCapacity;
    }
    else
    {
        std::memmove(m_pText, pText, static_cast<size_t>(n));
    }
    m_pText[n] = '\0';
    m_nLength = n;
}

void String::Append(const char* pText, int n)
{
    if (!pText || n < 0 || static_cast<uint32_t>(n) > MAX_LENGTH - static_cast<uint32_t>(m_nLength))
        return;
    int nNewLength = m_nLength + n;
    // A source inside the block moves with it when the block is reallocated.
    bool bOwn = Overlaps(m_pText, m_nCapacity, pText);
    size_t nOffset = bOwn ? static_cast<size_t>(pText - m_pText) : 0;
    if (!Reserve(static_cast<uint32_t>(nNewLength) + 1))
        return;
    if (bOwn)
        pText = m_pText + nOffset;
    std::memmove(m_pText + m_nLength, pText, static_cast<size_t>(n));
    m_pText[nNewLength] = '\0';
    m_nLength = nNewLength;
}

String& String::operator=(const char* szText)
{
    if (szText)
        Assign(szText, static_cast<int>(std::strlen(szText)));
    return *this;
}

String& String::operator=(const String& other)
{
    Assign(other.GetText(), other.m_nLength);
    return *this;
}

String& String::operator+=(const char* szText)
{
    if (szText)
        Append(szText, static_cast<int>(std::strlen(szText)));
    return *this;
}

String& String::operator+=(const String& other)
{
    Append(other.GetText(), other.m_nLength);
    return *this;
}

void String::AppendNumber(const char* szFormat, ...)
{
    va_list args;
    va_start(args, szFormat);
    va_list again;
    va_copy(again, args);
    char szNumber[NUMBER_BUFFER_SIZE];
    int n = std::vsnprintf(szNumber, sizeof(szNumber), szFormat, args);
    if (n >= 0 && n < NUMBER_BUFFER_SIZE)
    {
        Append(szNumber, n);
    }
    else if (n >= NUMBER_BUFFER_SIZE && static_cast<uint32_t>(n) <= MAX_LENGTH - static_cast<uint32_t>(m_nLength) &&
             Reserve(static_cast<uint32_t>(m_nLength + n) + 1))
    {
        std::vsnprintf(m_pText + m_nLength, static_cast<size_t>(n) + 1, szFormat, again);
        m_nLength += n;
    }
    va_end(again);
    va_end(args);
}

void String::AppendFormat(const char* szFormat, ...)
{
    if (!szFormat)
        return;
    va_list args;
    va_start(args, szFormat);
    const char* p = szFormat;
    for (;;)
    {
        const char* pRun = p;
        while (*p && *p != '%')
            ++p;
        Append(pRun, static_cast<int>(p - pRun));
        if (!*p)
            break;
        char cKind = p[1];
        switch (cKind)
        {
        case '%': Append("%", 1); break;
        case 'd': AppendNumber("%d", va_arg(args, int)); break;
        case 'x': AppendNumber("%x", va_arg(args, int)); break;
        case 'X': AppendNumber("%X", va_arg(args, int)); break;
        case 'f': AppendNumber("%f", va_arg(args, double)); break;
        case 's': *this += va_arg(args, const char*); break;
        default: break;
        }
        if (!cKind)
            break;
        p += 2;
    }
    va_end(args);
}

void String::ToLower()
{
    for (int i = 0; i < m_nLength; ++i)
    {
        if (m_pText[i] >= 'A' && m_pText[i] <= 'Z')
            m_pText[i] = static_cast<char>(m_pText[i] - 'A' + 'a');
    }
}

int String::TrimRight(const char* szSet)
{
    if (!m_pText || !szSet)
        return m_nLength;
    int i = m_nLength - 1;
    while (i >= 0 && IsCharInSet(szSet, m_pText[i]))
        --i;
    m_nLength = i + 1;
    m_pText[m_nLength] = '\0';
    return m_nLength;
}

int String::Replace(char a, char b)
{
    int nCount = 0;
    for (int i = 0; i < m_nLength; ++i)
    {
        if (m_pText[i] == a)
        {
            m_pText[i] = b;
            ++nCount;
        }
    }
    return nCount;
}

int String::Replace(const char* szFind, const char* szReplacement)
{
    if (!szFind || !*szFind || !szReplacement || !m_pText)
        return 0;
    // Both texts are copied first: either may lie in the block that is rewritten.
    const std::string find(szFind);
    const std::string replacement(szReplacement);
    const std::string_view text(m_pText, static_cast<size_t>(m_nLength));
    const size_t f = find.size();
    const size_t r = replacement.size();

    int nCount = 0;
    for (size_t at = text.find(find); at != std::string_view::npos; at = text.find(find, at + f))
        ++nCount;
    int64_t nNewLength = m_nLength + static_cast<int64_t>(nCount) * (static_cast<int64_t>(r) - static_cast<int64_t>(f));
    if (nNewLength > MAX_LENGTH)
        return 0;

    char* pTarget = m_pText;
    uint32_t nCapacity = m_nCapacity;
    if (r > f)
    {
        nCapacity = NextCapacity(m_nCapacity, static_cast<uint32_t>(nNewLength) + 1);
        pTarget = static_cast<char*>(std::malloc(nCapacity));
        if (!pTarget)
            return 0;
    }
    // Front to back: in the old block the write position never passes the read position,
    // because each replacement is no longer than what it replaces.
    size_t nRead = 0;
    size_t nWrite = 0;
    for (size_t at = text.find(find); at != std::string_view::npos; at = text.find(find, nRead))
    {
        std::memmove(pTarget + nWrite, m_pText + nRead, at - nRead);
        nWrite += at - nRead;
        std::memcpy(pTarget + nWrite, replacement.data(), r);
        nWrite += r;
        nRead = at + f;
    }
    std::memmove(pTarget + nWrite, m_pText + nRead, static_cast<size_t>(m_nLength) - nRead);
    pTarget[nNewLength] = '\0';
    if (pTarget != m_pText)
    {
        std::free(m_pText);
        m_pText = pTarget;
        m_nCapacity = nCapacity;
    }
    m_nLength = static_cast<int>(nNewLength);
    return nCount;
}

bool String::Find(char c, int* pIndex) const
{
    const void* p = m_pText ? std::memchr(m_pText, c, static_cast<size_t>(m_nLength)) : nullptr;
    if (!p)
        return false;
    if (pIndex)
        *pIndex = static_cast<int>(static_cast<const char*>(p) - m_pText);
    return true;
}

bool String::Find(const char* szText, int* pIndex) const
{
    if (!szText)
        return false;
    const char* p = std::strstr(GetText(), szText);
    if (!p)
        return false;
    if (pIndex)
        *pIndex = static_cast<int>(p - GetText());
    return true;
}

bool String::ReverseFind(char c, int* pIndex) const
{
    for (int i = m_nLength - 1; i >= 0; --i)
    {
        if (m_pText[i] == c)
        {
            if (pIndex)
                *pIndex = i;
            return true;
        }
    }
    return false;
}

bool IsCharInSet(const char* szSet, char c)
{
    for (; *szSet; ++szSet)
    {
        if (*szSet == c)
            return true;
    }
    return false;
}

namespace
{
String Concatenate(const char* pLeft, int nLeft, const char* pRight, int nRight)
{
    String result(static_cast<uint32_t>(nLeft) + static_cast<uint32_t>(nRight) + 1);
    result.Assign(pLeft, nLeft);
    result.Append(pRight, nRight);
    return result;
}
}

String operator+(const String& left, const String& right)
{
    return Concatenate(left.GetText(), left.GetLength(), right.GetText(), right.GetLength());
}

String operator+(const String& left, const char* szRight)
{
    return Concatenate(left.GetText(), left.GetLength(), szRight, static_cast<int>(std::strlen(szRight)));
}

String operator+(const char* szLeft, const String& right)
{
    return Concatenate(szLeft, static_cast<int>(std::strlen(szLeft)), right.GetText(), right.GetLength());
}

// clang-format off
bool operator==(const String& a, const String& b) { return std::strcmp(a.GetText(), b.GetText()) == 0; }
bool operator==(const String& a, const char* b)   { return std::strcmp(a.GetText(), b) == 0; }
bool operator==(const char* a, const String& b)   { return std::strcmp(a, b.GetText()) == 0; }
bool operator!=(const String& a, const String& b) { return std::strcmp(a.GetText(), b.GetText()) != 0; }
bool operator!=(const String& a, const char* b)   { return std::strcmp(a.GetText(), b) != 0; }
bool operator!=(const char* a, const String& b)   { return std::strcmp(a, b.GetText()) != 0; }
bool operator<(const String& a, const String& b)  { return std::strcmp(a.GetText(), b.GetText()) < 0; }
bool operator<(const String& a, const char* b)    { return std::strcmp(a.GetText(), b) < 0; }
bool operator<(const char* a, const String& b)    { return std::strcmp(a, b.GetText()) < 0; }
bool operator>(const String& a, const String& b)  { return std::strcmp(a.GetText(), b.GetText()) > 0; }
bool operator>(const String& a, const char* b)    { return std::strcmp(a.GetText(), b) > 0; }
bool operator>(const char* a, const String& b)    { return std::strcmp(a, b.GetText()) > 0; }
bool operator<=(const String& a, const String& b) { return std::strcmp(a.GetText(), b.GetText()) <= 0; }
bool operator<=(const String& a, const char* b)   { return std::strcmp(a.GetText(), b) <= 0; }
bool operator<=(const char* a, const String& b)   { return std::strcmp(a, b.GetText()) <= 0; }
bool operator>=(const String& a, const String& b) { return std::strcmp(a.GetText(), b.GetText()) >= 0; }
bool operator>=(const String& a, const char* b)   { return std::strcmp(a.GetText(), b) >= 0; }
bool operator>=(const char* a, const String& b)   { return std::strcmp(a, b.GetText()) >= 0; }
// clang-format on
