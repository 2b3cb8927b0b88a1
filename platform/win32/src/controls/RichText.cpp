#include "RichText.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace
{
const DWORD EFFECT_MASKS = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_PROTECTED;
const DWORD ALL_MASKS = EFFECT_MASKS | CFM_COLOR | CFM_SIZE | CFM_OFFSET | CFM_CHARSET | CFM_FACE;
const int TWIPS_PER_INCH = 1440;
const int PIXELS_PER_INCH = 96;

bool IsContinuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The fields in which two formats differ, as CFM_ flags.
DWORD Differences(const RichFormat& a, const RichFormat& b)
{
    DWORD n = (a.m_nEffects ^ b.m_nEffects) & EFFECT_MASKS;
    if (a.m_clrText != b.m_clrText || ((a.m_nEffects ^ b.m_nEffects) & CFE_AUTOCOLOR))
        n |= CFM_COLOR;
    if (a.m_nHeight != b.m_nHeight)
        n |= CFM_SIZE;
    if (a.m_nOffset != b.m_nOffset)
        n |= CFM_OFFSET;
    if (a.m_nCharSet != b.m_nCharSet)
        n |= CFM_CHARSET;
    if (a.m_strFace != b.m_strFace || a.m_nPitchAndFamily != b.m_nPitchAndFamily)
        n |= CFM_FACE;
    return n;
}
}

bool RichFormat::operator==(const RichFormat& other) const
{
    return Differences(*this, other) == 0;
}

RichFormat RichFormat::Merged(const CHARFORMATA& cf) const
{
    RichFormat f = *this;
    DWORD nEffectMask = cf.dwMask & EFFECT_MASKS;
    f.m_nEffects = (f.m_nEffects & ~nEffectMask) | (cf.dwEffects & nEffectMask);
    if (cf.dwMask & CFM_COLOR)
    {
        f.m_clrText = cf.crTextColor;
        f.m_nEffects = (f.m_nEffects & ~CFE_AUTOCOLOR) | (cf.dwEffects & CFE_AUTOCOLOR);
    }
    if ((cf.dwMask & CFM_SIZE) && cf.yHeight > 0)
        f.m_nHeight = cf.yHeight;
    if (cf.dwMask & CFM_OFFSET)
        f.m_nOffset = cf.yOffset;
    if (cf.dwMask & CFM_CHARSET)
        f.m_nCharSet = cf.bCharSet;
    if (cf.dwMask & CFM_FACE)
    {
        f.m_strFace.assign(cf.szFaceName, strnlen(cf.szFaceName, sizeof(cf.szFaceName)));
        f.m_nPitchAndFamily = cf.bPitchAndFamily;
    }
    return f;
}

void RichFormat::Fill(CHARFORMATA& cf) const
{
    cf.dwMask = ALL_MASKS;
    cf.dwEffects = m_nEffects;
    cf.yHeight = m_nHeight;
    cf.yOffset = m_nOffset;
    cf.crTextColor = m_clrText;
    cf.bCharSet = m_nCharSet;
    cf.bPitchAndFamily = m_nPitchAndFamily;
    size_t n = std::min(m_strFace.size(), sizeof(cf.szFaceName) - 1);
    std::memcpy(cf.szFaceName, m_strFace.data(), n);
    cf.szFaceName[n] = 0;
}

RichText::RichText() : m_Table(1), m_Fonts(1), m_Lines(1)
{
}

RichText::~RichText()
{
    ReleaseFonts();
}

void RichText::ReleaseFonts()
{
    for (HFONT& hFont : m_Fonts)
    {
        if (hFont)
            DeleteObject(hFont);
        hFont = nullptr;
    }
}

void RichText::Replace(size_t nStart, size_t nEnd, const std::string& text, uint16_t nFormat)
{
    nEnd = std::min(nEnd, m_strText.size());
    nStart = std::min(nStart, nEnd);
    m_strText.replace(nStart, nEnd - nStart, text);
    m_Formats.erase(m_Formats.begin() + static_cast<std::ptrdiff_t>(nStart),
                    m_Formats.begin() + static_cast<std::ptrdiff_t>(nEnd));
    m_Formats.insert(m_Formats.begin() + static_cast<std::ptrdiff_t>(nStart), text.size(), nFormat);
}

uint16_t RichText::Intern(const RichFormat& format)
{
    for (size_t i = 0; i < m_Table.size(); ++i)
        if (m_Table[i] == format)
            return static_cast<uint16_t>(i);
    // A full table falls back on the default format rather than growing past its index type.
    if (m_Table.size() >= 0xFFFF)
        return 0;
    m_Table.push_back(format);
    m_Fonts.push_back(nullptr);
    return static_cast<uint16_t>(m_Table.size() - 1);
}

void RichText::SetDefault(const CHARFORMATA& cf)
{
    m_Table[0] = m_Table[0].Merged(cf);
    if (m_Fonts[0])
        DeleteObject(m_Fonts[0]);
    m_Fonts[0] = nullptr;
}

uint16_t RichText::MergedIndex(uint16_t nBase, const CHARFORMATA& cf)
{
    return Intern(m_Table[nBase].Merged(cf));
}

void RichText::ApplyFormat(size_t nStart, size_t nEnd, const CHARFORMATA& cf)
{
    std::map<uint16_t, uint16_t> merged;
    for (size_t i = nStart; i < std::min(nEnd, m_Formats.size()); ++i)
    {
        auto it = merged.find(m_Formats[i]);
        if (it == merged.end())
            it = merged.emplace(m_Formats[i], MergedIndex(m_Formats[i], cf)).first;
        m_Formats[i] = it->second;
    }
}

void RichText::RangeFormat(size_t nStart, size_t nEnd, CHARFORMATA& cf) const
{
    const RichFormat& first = m_Table[FormatAt(nStart)];
    first.Fill(cf);
    for (size_t i = nStart + 1; i < std::min(nEnd, m_Formats.size()); ++i)
        cf.dwMask &= ~Differences(first, m_Table[m_Formats[i]]);
}

HFONT RichText::Font(uint16_t nIndex) const
{
    if (!m_Fonts[nIndex])
    {
        const RichFormat& f = m_Table[nIndex];
        m_Fonts[nIndex] = CreateFontA(-MulDiv(f.m_nHeight, PIXELS_PER_INCH, TWIPS_PER_INCH), 0, 0, 0,
                                      (f.m_nEffects & CFE_BOLD) ? FW_BOLD : FW_NORMAL, (f.m_nEffects & CFE_ITALIC) != 0,
                                      (f.m_nEffects & CFE_UNDERLINE) != 0, (f.m_nEffects & CFE_STRIKEOUT) != 0,
                                      f.m_nCharSet, 0, 0, 0, f.m_nPitchAndFamily, f.m_strFace.c_str());
    }
    return m_Fonts[nIndex];
}

size_t RichText::BreakLength(size_t nPos) const
{
    if (nPos >= m_strText.size())
        return 0;
    if (m_strText[nPos] == '\r')
        return nPos + 1 < m_strText.size() && m_strText[nPos + 1] == '\n' ? 2 : 1;
    return m_strText[nPos] == '\n' ? 1 : 0;
}

int RichText::Width(HDC hdc, size_t nStart, size_t nEnd) const
{
    int cx = 0;
    while (nStart < nEnd)
    {
        uint16_t nFormat = m_Formats[nStart];
        size_t nRun = nStart;
        while (nRun < nEnd && m_Formats[nRun] == nFormat)
            ++nRun;
        HGDIOBJ hOld = SelectObject(hdc, Font(nFormat));
        SIZE size{};
        GetTextExtentPoint32A(hdc, m_strText.data() + nStart, static_cast<int>(nRun - nStart), &size);
        SelectObject(hdc, hOld);
        cx += size.cx;
        nStart = nRun;
    }
    return cx;
}

void RichText::LayOut(HDC hdc, int nWrapWidth)
{
    m_Lines.clear();
    auto addLine = [&](size_t nStart, size_t nLength, size_t nNext) {
        RichLine line;
        line.m_nStart = nStart;
        line.m_nLength = nLength;
        line.m_nNext = nNext;
        // The tallest font on the line; an empty line takes its neighbour's format.
        std::vector<uint16_t> formats;
        if (nLength == 0)
            formats.push_back(m_strText.empty() ? 0 : FormatAt(std::min(nStart, m_strText.size() - 1)));
        for (size_t i = nStart; i < nStart + nLength; ++i)
            if (std::find(formats.begin(), formats.end(), m_Formats[i]) == formats.end())
                formats.push_back(m_Formats[i]);
        for (uint16_t nFormat : formats)
        {
            HGDIOBJ hOld = SelectObject(hdc, Font(nFormat));
            TEXTMETRICA tm{};
            GetTextMetricsA(hdc, &tm);
            SelectObject(hdc, hOld);
            line.m_nHeight = std::max<int>(line.m_nHeight, tm.tmHeight);
            line.m_nAscent = std::max<int>(line.m_nAscent, tm.tmAscent);
        }
        line.m_nTop = m_Lines.empty() ? 0 : m_Lines.back().m_nTop + m_Lines.back().m_nHeight;
        m_Lines.push_back(line);
    };
    size_t nPos = 0;
    for (;;)
    {
        size_t nEnd = nPos;
        while (nEnd < m_strText.size() && !BreakLength(nEnd))
            ++nEnd;
        size_t nBreak = BreakLength(nEnd);
        size_t nLineStart = nPos;
        // Wrapping: after the last blank that still fits, else after as many characters as fit
        // (at least one).
        while (nWrapWidth > 0 && Width(hdc, nLineStart, nEnd) > nWrapWidth)
        {
            size_t nCut = nLineStart;
            for (size_t q = nLineStart; q < nEnd; ++q)
                if (m_strText[q] == ' ')
                {
                    if (Width(hdc, nLineStart, q) > nWrapWidth)
                        break;
                    nCut = q + 1;
                }
            if (nCut == nLineStart)
            {
                nCut = nLineStart + 1;
                while (nCut < nEnd && IsContinuation(m_strText[nCut]))
                    ++nCut;
                for (size_t n = nCut; n < nEnd;)
                {
                    size_t nNext = n + 1;
                    while (nNext < nEnd && IsContinuation(m_strText[nNext]))
                        ++nNext;
                    if (Width(hdc, nLineStart, nNext) > nWrapWidth)
                        break;
                    nCut = n = nNext;
                }
            }
            addLine(nLineStart, nCut - nLineStart, nCut);
            nLineStart = nCut;
        }
        addLine(nLineStart, nEnd - nLineStart, nEnd + nBreak);
        if (!nBreak)
            break;
        nPos = nEnd + nBreak;
    }
}

size_t RichText::LineFromChar(size_t nPos) const
{
    auto it = std::upper_bound(m_Lines.begin(), m_Lines.end(), nPos,
                               [](size_t n, const RichLine& line) { return n < line.m_nStart; });
    return it == m_Lines.begin() ? 0 : static_cast<size_t>(it - m_Lines.begin()) - 1;
}

int RichText::XFromChar(HDC hdc, size_t nPos) const
{
    const RichLine& line = m_Lines[LineFromChar(nPos)];
    return Width(hdc, line.m_nStart, std::min(nPos, line.m_nStart + line.m_nLength));
}

size_t RichText::CharFromX(HDC hdc, size_t nLine, int x) const
{
    const RichLine& line = m_Lines[std::min(nLine, m_Lines.size() - 1)];
    size_t nEnd = line.m_nStart + line.m_nLength;
    int nPrevX = 0;
    for (size_t n = line.m_nStart; n < nEnd;)
    {
        size_t nNext = n + 1;
        while (nNext < nEnd && IsContinuation(m_strText[nNext]))
            ++nNext;
        int nNextX = Width(hdc, line.m_nStart, nNext);
        // Nearer the character's left edge than its right: before it.
        if (x < (nPrevX + nNextX) / 2 + ((nPrevX + nNextX) % 2))
            return n;
        nPrevX = nNextX;
        n = nNext;
    }
    return nEnd;
}

void RichText::DrawLine(HDC hdc, size_t nLine, int x, int y, size_t nSelStart, size_t nSelEnd) const
{
    const RichLine& line = m_Lines[nLine];
    size_t nEnd = line.m_nStart + line.m_nLength;
    for (size_t n = line.m_nStart; n < nEnd;)
    {
        // A segment keeps one format and one side of the selection's edges.
        uint16_t nFormat = m_Formats[n];
        bool bSelected = n >= nSelStart && n < nSelEnd;
        size_t nSeg = n;
        while (nSeg < nEnd && m_Formats[nSeg] == nFormat && (nSeg >= nSelStart && nSeg < nSelEnd) == bSelected)
            ++nSeg;
        const RichFormat& f = m_Table[nFormat];
        HGDIOBJ hOld = SelectObject(hdc, Font(nFormat));
        TEXTMETRICA tm{};
        GetTextMetricsA(hdc, &tm);
        SIZE size{};
        GetTextExtentPoint32A(hdc, m_strText.data() + n, static_cast<int>(nSeg - n), &size);
        int yText = y + line.m_nAscent - tm.tmAscent - MulDiv(f.m_nOffset, PIXELS_PER_INCH, TWIPS_PER_INCH);
        if (bSelected)
        {
            SetTextColor(hdc, GetSysColor(COLOR_HIGHLIGHTTEXT));
            SetBkColor(hdc, GetSysColor(COLOR_HIGHLIGHT));
            RECT rc{x, y, x + size.cx, y + line.m_nHeight};
            ExtTextOutA(hdc, x, yText, ETO_OPAQUE, &rc, m_strText.data() + n, static_cast<UINT>(nSeg - n), nullptr);
        }
        else
        {
            SetTextColor(hdc, (f.m_nEffects & CFE_AUTOCOLOR) ? GetSysColor(COLOR_WINDOWTEXT) : f.m_clrText);
            SetBkMode(hdc, TRANSPARENT);
            ExtTextOutA(hdc, x, yText, 0, nullptr, m_strText.data() + n, static_cast<UINT>(nSeg - n), nullptr);
        }
        SelectObject(hdc, hOld);
        x += size.cx;
        n = nSeg;
    }
}
