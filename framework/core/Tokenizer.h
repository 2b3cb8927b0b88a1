#pragma once
// Splits a text into tokens: numbers, words and single punctuation bytes, with blanks between
// them skipped. The console splits every typed line with it and the settings file reads its
// lines with it. What counts as a word byte is the caller's test, given on every call.
#include <cstddef>
#include <cstdint>

// Character classes; bytes of 0x80 and above belong to none of them.
bool IsSpaceChar(char c);       // tab, line feed, carriage return, blank
bool IsDigitChar(char c);       // 0 to 9
bool IsIdentifierChar(char c);  // a to z, A to Z, underscore

using CharTest = bool (*)(char c);

// The size of the token buffers the callers pass: tokens longer than 255 bytes are cut.
constexpr size_t TOKEN_BUFFER_SIZE = 256;

class Tokenizer
{
public:
    Tokenizer() = default;
    Tokenizer(const Tokenizer&) = delete;
    Tokenizer& operator=(const Tokenizer&) = delete;
    ~Tokenizer();

    // Copies the text (a null text leaves the tokenizer empty) and rewinds.
    void SetText(const char* szText);
    // Reads the whole of a regular file as the text and rewinds; false, and no text, when the
    // file is missing, unreadable, a directory or a pipe.
    bool ReadFile(const char* szPath);
    // Back to the start; the start of the last token found is left as it is.
    void Rewind() { m_nPosition = 0; }

    // Finds the next token: a digit starts a number (digits and full stops), a byte accepted by
    // fnWord starts a word (such bytes and digits), anything else is a token of one byte.
    // When pBuffer is not null the token is copied into it, cut to nBufferSize - 1 bytes and
    // always NUL-terminated. False at the end of the text.
    bool NextToken(char* pBuffer, size_t nBufferSize, CharTest fnWord);
    // Copies the text from the start of the last token found to the end (cut to fit, always
    // NUL-terminated); false when that start is at the end of the text.
    bool GetRemainder(char* pBuffer, size_t nBufferSize);
    // Reads identifier tokens until one equals szKey without regard to case, then reads the
    // token after it into the buffer; false when the text ends first.
    bool FindValue(char* pBuffer, size_t nBufferSize, const char* szKey);

private:
    void Release();

    char* m_pText = nullptr;
    uint32_t m_nLength = 0;
    uint32_t m_nTokenStart = 0;
    uint32_t m_nPosition = 0;
};
