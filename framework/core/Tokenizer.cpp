#include "core/Tokenizer.h"

#include "core/FileIO.h"

#include <cstring>
#include <new>
#include <strings.h>
#include <vector>

namespace
{
// Copies n bytes and a NUL, cut to the buffer's size.
void CopyCut(char* pBuffer, size_t nBufferSize, const char* pFrom, size_t n)
{
    if (!pBuffer || nBufferSize == 0)
        return;
    if (n > nBufferSize - 1)
        n = nBufferSize - 1;
    std::memcpy(pBuffer, pFrom, n);
    pBuffer[n] = '\0';
}
}

bool IsSpaceChar(char c)
{
    return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

bool IsDigitChar(char c)
{
    return c >= '0' && c <= '9';
}

bool IsIdentifierChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

Tokenizer::~Tokenizer()
{
    Release();
}

void Tokenizer::Release()
{
    delete[] m_pText;
    m_pText = nullptr;
    m_nLength = 0;
    Rewind();
}

void Tokenizer::SetText(const char* szText)
{
    Release();
    if (!szText)
        return;
    size_t nLength = std::strlen(szText);
    if (nLength >= UINT32_MAX)
        return;
    m_pText = new (std::nothrow) char[nLength + 1];
    if (!m_pText)
        return;
    std::memcpy(m_pText, szText, nLength + 1);
    m_nLength = static_cast<uint32_t>(nLength);
}

bool Tokenizer::ReadFile(const char* szPath)
{
    Release();
    std::vector<uint8_t> data;
    if (!ReadWholeFile(szPath, data) || data.size() >= UINT32_MAX)
        return false;
    m_pText = new (std::nothrow) char[data.size() + 1];
    if (!m_pText)
        return false;
    if (!data.empty())
        std::memcpy(m_pText, data.data(), data.size());
    m_pText[data.size()] = '\0';
    m_nLength = static_cast<uint32_t>(data.size());
    return true;
}

bool Tokenizer::NextToken(char* pBuffer, size_t nBufferSize, CharTest fnWord)
{
    m_nTokenStart = m_nPosition;
    while (m_nTokenStart < m_nLength && IsSpaceChar(m_pText[m_nTokenStart]))
        ++m_nTokenStart;
    if (m_nTokenStart >= m_nLength)
        return false;

    m_nPosition = m_nTokenStart + 1;
    char cFirst = m_pText[m_nTokenStart];
    // Bounded by the length as well, so a word test that accepts every byte stops at the end.
    if (IsDigitChar(cFirst))
    {
        while (m_nPosition < m_nLength && (IsDigitChar(m_pText[m_nPosition]) || m_pText[m_nPosition] == '.'))
            ++m_nPosition;
    }
    else if (fnWord && fnWord(cFirst))
    {
        while (m_nPosition < m_nLength && (fnWord(m_pText[m_nPosition]) || IsDigitChar(m_pText[m_nPosition])))
            ++m_nPosition;
    }
    CopyCut(pBuffer, nBufferSize, m_pText + m_nTokenStart, m_nPosition - m_nTokenStart);
    return true;
}

bool Tokenizer::GetRemainder(char* pBuffer, size_t nBufferSize)
{
    if (m_nTokenStart >= m_nLength)
        return false;
    CopyCut(pBuffer, nBufferSize, m_pText + m_nTokenStart, m_nLength - m_nTokenStart);
    return true;
}

bool Tokenizer::FindValue(char* pBuffer, size_t nBufferSize, const char* szKey)
{
    if (!szKey)
        return false;
    size_t nKey = std::strlen(szKey);
    // Tokens are compared where they stand, so a long token can never match by its cut prefix.
    while (NextToken(nullptr, 0, IsIdentifierChar))
    {
        size_t nToken = m_nPosition - m_nTokenStart;
        if (nToken == nKey && strncasecmp(m_pText + m_nTokenStart, szKey, nKey) == 0)
            return NextToken(pBuffer, nBufferSize, IsIdentifierChar);
    }
    return false;
}
