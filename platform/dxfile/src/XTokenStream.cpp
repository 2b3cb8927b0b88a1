#include "XTokenStream.h"

#include <dxfile.h>

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace
{
// Binary token codes of the format.
enum : uint16_t
{
    kTokenName = 1,
    kTokenString = 2,
    kTokenInteger = 3,
    kTokenGuid = 5,
    kTokenIntegerList = 6,
    kTokenFloatList = 7,
    kTokenOpenBrace = 10,
    kTokenCloseBrace = 11,
    kTokenOpenParen = 12,
    kTokenCloseParen = 13,
    kTokenOpenBracket = 14,
    kTokenCloseBracket = 15,
    kTokenOpenAngle = 16,
    kTokenCloseAngle = 17,
    kTokenDot = 18,
    kTokenComma = 19,
    kTokenSemicolon = 20,
    kTokenTemplate = 31,
    kTokenWord = 40,
    kTokenDword = 41,
    kTokenFloat = 42,
    kTokenDouble = 43,
    kTokenChar = 44,
    kTokenUChar = 45,
    kTokenSWord = 46,
    kTokenSDword = 47,
    kTokenVoid = 48,
    kTokenLpstr = 49,
    kTokenUnicode = 50,
    kTokenCString = 51,
    kTokenArray = 52,
};

// Keyword tokens of the binary form, handed up as names with the text form's spelling.
struct BinaryKeyword
{
    uint16_t nCode;
    const char* szText;
};
constexpr BinaryKeyword kBinaryKeywords[] = {
    {kTokenTemplate, "template"}, {kTokenWord, "WORD"},     {kTokenDword, "DWORD"},     {kTokenFloat, "FLOAT"},
    {kTokenDouble, "DOUBLE"},     {kTokenChar, "CHAR"},     {kTokenUChar, "UCHAR"},     {kTokenSWord, "SWORD"},
    {kTokenSDword, "SDWORD"},     {kTokenVoid, "VOID"},     {kTokenLpstr, "STRING"},    {kTokenUnicode, "UNICODE"},
    {kTokenCString, "CSTRING"},   {kTokenArray, "array"},
};

struct Punctuation
{
    uint16_t nCode;
    char cText;
    XToken kind;
};
constexpr Punctuation kPunctuation[] = {
    {kTokenOpenBrace, '{', XToken::OpenBrace},       {kTokenCloseBrace, '}', XToken::CloseBrace},
    {kTokenOpenParen, '(', XToken::OpenParen},       {kTokenCloseParen, ')', XToken::CloseParen},
    {kTokenOpenBracket, '[', XToken::OpenBracket},   {kTokenCloseBracket, ']', XToken::CloseBracket},
    {kTokenDot, '.', XToken::Dot},                   {kTokenComma, ',', XToken::Comma},
    {kTokenSemicolon, ';', XToken::Semicolon},
};

bool IsNameStart(char c)
{
    return std::isalpha((unsigned char)c) || c == '_';
}

bool IsNameChar(char c)
{
    return std::isalnum((unsigned char)c) || c == '_' || c == '-';
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The value of nDigits hex digits at text[nAt]; false when one is not a digit.
bool HexField(const std::string& text, size_t nAt, size_t nDigits, uint32_t& nValue)
{
    nValue = 0;
    for (size_t i = 0; i < nDigits; ++i)
    {
        int nDigit = HexValue(text[nAt + i]);
        if (nDigit < 0)
            return false;
        nValue = nValue << 4 | (uint32_t)nDigit;
    }
    return true;
}
}

bool ParseGuidText(const std::string& text, GUID& guid)
{
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-')
        return false;
    uint32_t nValue;
    if (!HexField(text, 0, 8, nValue))
        return false;
    guid.Data1 = nValue;
    if (!HexField(text, 9, 4, nValue))
        return false;
    guid.Data2 = (WORD)nValue;
    if (!HexField(text, 14, 4, nValue))
        return false;
    guid.Data3 = (WORD)nValue;
    const size_t kByteAt[8] = {19, 21, 24, 26, 28, 30, 32, 34};
    for (int i = 0; i < 8; ++i)
    {
        if (!HexField(text, kByteAt[i], 2, nValue))
            return false;
        guid.Data4[i] = (BYTE)nValue;
    }
    return true;
}

HRESULT XTokenStream::Open(const BYTE* pData, size_t nSize)
{
    m_pData = pData;
    m_nSize = nSize;
    m_nPos = 0;
    m_bFailed = false;
    m_bPeeked = false;
    m_listKind = ListKind::None;
    if (nSize < 16 || std::memcmp(pData, "xof ", 4) != 0)
        return DXFILEERR_BADFILETYPE;
    // Versions 3.2 and 3.3 share the body syntax.
    if (std::memcmp(pData + 4, "0302", 4) != 0 && std::memcmp(pData + 4, "0303", 4) != 0)
        return DXFILEERR_BADFILEVERSION;
    if (std::memcmp(pData + 8, "txt ", 4) == 0)
        m_bBinary = false;
    else if (std::memcmp(pData + 8, "bin ", 4) == 0)
        m_bBinary = true;
    else if (std::memcmp(pData + 8, "tzip", 4) == 0 || std::memcmp(pData + 8, "bzip", 4) == 0)
        return DXFILEERR_BADFILECOMPRESSIONTYPE;
    else
        return DXFILEERR_BADFILETYPE;
    if (std::memcmp(pData + 12, "0032", 4) == 0)
        m_bDoubles = false;
    else if (std::memcmp(pData + 12, "0064", 4) == 0)
        m_bDoubles = true;
    else
        return DXFILEERR_BADFILEFLOATSIZE;
    m_nPos = 16;
    return DXFILE_OK;
}

const XTokenValue& XTokenStream::Peek()
{
    if (!m_bPeeked)
    {
        m_nPeekPos = m_nPos;
        ReadToken(m_peeked);
        m_bPeeked = true;
    }
    return m_peeked;
}

XTokenValue XTokenStream::Next()
{
    if (m_bPeeked)
    {
        m_bPeeked = false;
        return std::move(m_peeked);
    }
    XTokenValue token;
    ReadToken(token);
    return token;
}

void XTokenStream::Fail(XTokenValue& token, const char* szWhat)
{
    if (!m_bFailed)
        m_strError = std::string(szWhat) + " at byte " + std::to_string(m_nPos);
    m_bFailed = true;
    token = XTokenValue{};
    token.kind = XToken::Error;
}

bool XTokenStream::ReadBytes(void* pOut, size_t nBytes)
{
    if (nBytes > m_nSize - m_nPos)
        return false;
    std::memcpy(pOut, m_pData + m_nPos, nBytes);
    m_nPos += nBytes;
    return true;
}

void XTokenStream::ReadToken(XTokenValue& token)
{
    if (m_bFailed)
    {
        token = XTokenValue{};
        token.kind = XToken::Error;
        return;
    }
    if (m_bBinary)
        ReadBinaryToken(token);
    else
        ReadTextToken(token);
}

void XTokenStream::ReadTextToken(XTokenValue& token)
{
    token = XTokenValue{};
    const char* p = reinterpret_cast<const char*>(m_pData);
    for (;;)
    {
        while (m_nPos < m_nSize && std::isspace((unsigned char)p[m_nPos]))
            ++m_nPos;
        if (m_nPos >= m_nSize)
        {
            token.kind = XToken::End;
            return;
        }
        bool bLineComment = p[m_nPos] == '#' || (p[m_nPos] == '/' && m_nPos + 1 < m_nSize && p[m_nPos + 1] == '/');
        if (!bLineComment)
            break;
        while (m_nPos < m_nSize && p[m_nPos] != '\n')
            ++m_nPos;
    }

    char c = p[m_nPos];
    for (const Punctuation& punct : kPunctuation)
        if (c == punct.cText)
        {
            ++m_nPos;
            token.kind = punct.kind;
            return;
        }
    if (c == '<')
    {
        size_t nEnd = m_nPos + 1;
        while (nEnd < m_nSize && p[nEnd] != '>')
            ++nEnd;
        if (nEnd >= m_nSize)
            return Fail(token, "unterminated identifier");
        std::string text;
        for (size_t i = m_nPos + 1; i < nEnd; ++i)
            if (!std::isspace((unsigned char)p[i]))
                text += p[i];
        m_nPos = nEnd + 1;
        if (!ParseGuidText(text, token.guid))
            return Fail(token, "malformed identifier");
        token.kind = XToken::Guid;
        return;
    }
    if (c == '"')
    {
        size_t nEnd = m_nPos + 1;
        while (nEnd < m_nSize && p[nEnd] != '"')
            ++nEnd;
        if (nEnd >= m_nSize)
            return Fail(token, "unterminated string");
        token.kind = XToken::String;
        token.text.assign(p + m_nPos + 1, nEnd - m_nPos - 1);
        m_nPos = nEnd + 1;
        return;
    }
    if (IsNameStart(c))
    {
        size_t nEnd = m_nPos;
        while (nEnd < m_nSize && IsNameChar(p[nEnd]))
            ++nEnd;
        token.kind = XToken::Name;
        token.text.assign(p + m_nPos, nEnd - m_nPos);
        m_nPos = nEnd;
        return;
    }
    if (std::isdigit((unsigned char)c) || c == '-' || c == '+' ||
        (c == '.' && m_nPos + 1 < m_nSize && std::isdigit((unsigned char)p[m_nPos + 1])))
    {
        // Copy the number's characters into a bounded buffer: strtod must not run past the end.
        size_t nEnd = m_nPos + 1;
        bool bFloat = c == '.';
        while (nEnd < m_nSize && nEnd - m_nPos < 64)
        {
            char d = p[nEnd];
            bool bExponentSign = (d == '-' || d == '+') && (p[nEnd - 1] == 'e' || p[nEnd - 1] == 'E');
            if (d == '.' || d == 'e' || d == 'E' || bExponentSign)
                bFloat = true;
            else if (!std::isdigit((unsigned char)d))
                break;
            ++nEnd;
        }
        std::string text(p + m_nPos, nEnd - m_nPos);
        m_nPos = nEnd;
        char* pStop = nullptr;
        if (bFloat)
        {
            token.fFloat = std::strtod(text.c_str(), &pStop);
            token.kind = XToken::Float;
        }
        else
        {
            token.nInteger = std::strtoll(text.c_str(), &pStop, 10);
            token.kind = XToken::Integer;
        }
        if (pStop == text.c_str() || *pStop != '\0')
            return Fail(token, "malformed number");
        return;
    }
    Fail(token, "unexpected character");
}

void XTokenStream::ReadBinaryToken(XTokenValue& token)
{
    // Empty lists and angle tokens carry nothing: loop on to the next token.
    for (;;)
    {
        token = XTokenValue{};
        if (m_listKind != ListKind::None)
        {
            if (m_listKind == ListKind::Integers)
            {
                uint32_t nValue;
                ReadBytes(&nValue, 4);
                token.kind = XToken::Integer;
                token.nInteger = nValue;
            }
            else if (m_bDoubles)
            {
                double fValue;
                ReadBytes(&fValue, 8);
                token.kind = XToken::Float;
                token.fFloat = fValue;
            }
            else
            {
                float fValue;
                ReadBytes(&fValue, 4);
                token.kind = XToken::Float;
                token.fFloat = fValue;
            }
            if (--m_nListLeft == 0)
                m_listKind = ListKind::None;
            return;
        }

        if (m_nPos >= m_nSize)
        {
            token.kind = XToken::End;
            return;
        }
        uint16_t nCode;
        if (!ReadBytes(&nCode, 2))
            return Fail(token, "cut token");
        for (const Punctuation& punct : kPunctuation)
            if (nCode == punct.nCode)
            {
                token.kind = punct.kind;
                return;
            }
        for (const BinaryKeyword& keyword : kBinaryKeywords)
            if (nCode == keyword.nCode)
            {
                token.kind = XToken::Name;
                token.text = keyword.szText;
                return;
            }
        switch (nCode)
        {
        case kTokenName:
        case kTokenString:
        {
            uint32_t nCount;
            if (!ReadBytes(&nCount, 4) || nCount > Remaining())
                return Fail(token, nCode == kTokenName ? "name past the end" : "string past the end");
            token.kind = nCode == kTokenName ? XToken::Name : XToken::String;
            token.text.assign(reinterpret_cast<const char*>(m_pData + m_nPos), nCount);
            m_nPos += nCount;
            if (nCode == kTokenString)
            {
                // A string ends with the separator token that follows it in the text form.
                uint16_t nTerminator;
                if (!ReadBytes(&nTerminator, 2) || (nTerminator != kTokenComma && nTerminator != kTokenSemicolon))
                    return Fail(token, "unterminated string");
            }
            return;
        }
        case kTokenInteger:
        {
            uint32_t nValue;
            if (!ReadBytes(&nValue, 4))
                return Fail(token, "cut integer");
            token.kind = XToken::Integer;
            token.nInteger = nValue;
            return;
        }
        case kTokenGuid:
        {
            GUID guid;
            if (!ReadBytes(&guid.Data1, 4) || !ReadBytes(&guid.Data2, 2) || !ReadBytes(&guid.Data3, 2) ||
                !ReadBytes(guid.Data4, 8))
                return Fail(token, "cut identifier");
            token.kind = XToken::Guid;
            token.guid = guid;
            return;
        }
        case kTokenIntegerList:
        case kTokenFloatList:
        {
            uint32_t nCount;
            if (!ReadBytes(&nCount, 4))
                return Fail(token, "cut list");
            size_t nElement = nCode == kTokenIntegerList ? 4 : (m_bDoubles ? 8 : 4);
            if ((uint64_t)nCount * nElement > Remaining())
                return Fail(token, "list past the end");
            if (nCount == 0)
                continue;
            m_listKind = nCode == kTokenIntegerList ? ListKind::Integers : ListKind::Floats;
            m_nListLeft = nCount;
            continue;
        }
        case kTokenOpenAngle:
        case kTokenCloseAngle:
            // The binary form writes identifiers as their own token; angles carry nothing.
            continue;
        default:
            return Fail(token, "unknown token");
        }
    }
}
