#pragma once
// The rich edit's document: byte-exact text, one character format per byte, and the display
// lines it breaks into (at line breaks, and at blanks when it wraps to a width).
#include <win32/windows.h>
#include <win32/richedit.h>

#include <string>
#include <vector>

struct RichFormat
{
    DWORD m_nEffects = CFE_AUTOCOLOR;   // CFE_ flags
    LONG m_nHeight = 165;               // twips: 8.25 points, 11 pixels
    LONG m_nOffset = 0;
    COLORREF m_clrText = 0;
    BYTE m_nCharSet = DEFAULT_CHARSET;
    BYTE m_nPitchAndFamily = 0;
    std::string m_strFace = "MS Sans Serif";

    bool operator==(const RichFormat& other) const;
    // The fields dwMask names replaced by those of cf.
    RichFormat Merged(const CHARFORMATA& cf) const;
    void Fill(CHARFORMATA& cf) const;   // every field, dwMask all set
};

struct RichLine
{
    size_t m_nStart = 0;
    size_t m_nLength = 0;   // without the line break
    size_t m_nNext = 0;     // where the next line starts
    int m_nTop = 0;
    int m_nHeight = 0;
    int m_nAscent = 0;
};

class RichText
{
public:
    RichText();
    ~RichText();
    RichText(const RichText&) = delete;
    RichText& operator=(const RichText&) = delete;

    const std::string& Text() const { return m_strText; }
    size_t Size() const { return m_strText.size(); }
    // Replaces [nStart, nEnd) with text in format nFormat.
    void Replace(size_t nStart, size_t nEnd, const std::string& text, uint16_t nFormat);
    uint16_t FormatAt(size_t nPos) const { return nPos < m_Formats.size() ? m_Formats[nPos] : 0; }
    const RichFormat& Format(uint16_t nIndex) const { return m_Table[nIndex]; }
    // Entry 0 is the default format, which unformatted text follows.
    void SetDefault(const CHARFORMATA& cf);
    // The fields cf names applied to every byte of [nStart, nEnd); the index of cf merged over
    // the format nBase (for an empty range's typing format).
    void ApplyFormat(size_t nStart, size_t nEnd, const CHARFORMATA& cf);
    uint16_t MergedIndex(uint16_t nBase, const CHARFORMATA& cf);
    // The format of a range: its first byte's, with dwMask cleared where bytes differ.
    void RangeFormat(size_t nStart, size_t nEnd, CHARFORMATA& cf) const;
    HFONT Font(uint16_t nIndex) const;

    // Display lines for a wrapping width (<= 0: no wrapping). Always at least one line.
    void LayOut(HDC hdc, int nWrapWidth);
    const std::vector<RichLine>& Lines() const { return m_Lines; }
    size_t LineFromChar(size_t nPos) const;
    // Pixel offset of a position within its line, and the position nearest to x in a line.
    int XFromChar(HDC hdc, size_t nPos) const;
    size_t CharFromX(HDC hdc, size_t nLine, int x) const;
    // Draws one display line at (x, y), with [nSelStart, nSelEnd) highlighted.
    void DrawLine(HDC hdc, size_t nLine, int x, int y, size_t nSelStart, size_t nSelEnd) const;
    // Where a line break starts at nPos: 0 when none, else its length (1 or 2).
    size_t BreakLength(size_t nPos) const;

private:
    uint16_t Intern(const RichFormat& format);
    // Width of [nStart, nEnd), which lies in one line, run by run of format.
    int Width(HDC hdc, size_t nStart, size_t nEnd) const;
    void ReleaseFonts();

    std::string m_strText;
    std::vector<uint16_t> m_Formats;
    std::vector<RichFormat> m_Table;
    mutable std::vector<HFONT> m_Fonts;   // by format index, made on demand
    std::vector<RichLine> m_Lines;
};
