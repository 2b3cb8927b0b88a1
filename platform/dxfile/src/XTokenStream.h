#pragma once
// One token stream over a ".x" file's body, text or binary: names (keywords included, by their
// text), strings, integers, floats, identifiers and punctuation. The parser above it does not
// know which form it reads. Every read is bounded by the end of the buffer; a fault (an
// unterminated string, a list running past the end, an unknown binary token) gives an Error
// token, and the stream stays at Error from then on.
#include <win32/types.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class XToken
{
    End,
    Error,
    Name,
    String,
    Integer,
    Float,
    Guid,
    OpenBrace,
    CloseBrace,
    OpenParen,
    CloseParen,
    OpenBracket,
    CloseBracket,
    Dot,
    Comma,
    Semicolon,
};

struct XTokenValue
{
    XToken kind = XToken::End;
    std::string text;   // Name and String
    int64_t nInteger = 0;
    double fFloat = 0.0;
    GUID guid{};
};

class XTokenStream
{
public:
    // Reads the 16-byte header ("xof ", version, "txt " or "bin ", "0032" or "0064"); the
    // result is DXFILE_OK or the library's error for a bad type, version or float size.
    HRESULT Open(const BYTE* pData, size_t nSize);

    const XTokenValue& Peek();
    XTokenValue Next();
    // Bytes not yet read: every value in the file takes at least one, so a count of values
    // above this cannot be satisfied.
    size_t Remaining() const { return m_nSize - (m_bPeeked ? m_nPeekPos : m_nPos); }
    const std::string& ErrorText() const { return m_strError; }

private:
    void ReadToken(XTokenValue& token);
    void ReadTextToken(XTokenValue& token);
    void ReadBinaryToken(XTokenValue& token);
    void Fail(XTokenValue& token, const char* szWhat);
    bool ReadBytes(void* pOut, size_t nBytes);

    const BYTE* m_pData = nullptr;
    size_t m_nSize = 0;
    size_t m_nPos = 0;
    bool m_bBinary = false;
    bool m_bDoubles = false;
    bool m_bFailed = false;
    std::string m_strError;
    // A binary integer or float list hands out one element per token.
    enum class ListKind { None, Integers, Floats } m_listKind = ListKind::None;
    uint32_t m_nListLeft = 0;
    bool m_bPeeked = false;
    size_t m_nPeekPos = 0;   // where the peeked token starts
    XTokenValue m_peeked;
};

// "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX" to a GUID; false for any other text.
bool ParseGuidText(const std::string& text, GUID& guid);
