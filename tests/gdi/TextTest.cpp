// Fonts and text: the face table, measuring, the "Impact" 10 glyphs the texture font renders,
// DrawText placement and narrow-text decoding.
#include "GdiFixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{
// The texture font's request: -MulDiv(10, 96, 72) pixels, antialiased, face "Impact".
HFONT CreateImpact10()
{
    return CreateFontA(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, VARIABLE_PITCH, "Impact");
}

SIZE Extent(HDC hdc, const char* sz)
{
    SIZE size{};
    EXPECT_TRUE(GetTextExtentPoint32A(hdc, sz, static_cast<int>(std::strlen(sz)), &size));
    return size;
}

// The bounding box of pixels that differ from the background.
RECT LitBox(const DibCanvas& canvas, uint32_t nBackground)
{
    RECT box{canvas.m_cx, canvas.m_cy, -1, -1};
    for (int y = 0; y < canvas.m_cy; ++y)
        for (int x = 0; x < canvas.m_cx; ++x)
            if (canvas.At(x, y) != nBackground)
            {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    return box;
}

int LitInColumns(const DibCanvas& canvas, int x0, int x1)
{
    int n = 0;
    for (int y = 0; y < canvas.m_cy; ++y)
        for (int x = x0; x < x1; ++x)
            n += canvas.At(x, y) != 0;
    return n;
}

TEST(Fonts, FacesMapToDejaVu)
{
    struct Case
    {
        const char* m_szFace;
        LONG m_nWeight;
        const char* m_szFileEnd;
    };
    const Case cases[] = {
        {"Impact", FW_NORMAL, "DejaVuSansCondensed-Bold.ttf"},
        {"Courier", FW_NORMAL, "DejaVuSansMono.ttf"},
        {"MS Sans Serif", FW_NORMAL, "DejaVuSans.ttf"},
        {"Arial", FW_BOLD, "DejaVuSans-Bold.ttf"},
        {"No Such Face", FW_NORMAL, "DejaVuSans.ttf"},
        {"Marlett", FW_NORMAL, ""},
    };
    for (const Case& c : cases)
    {
        std::string strFile = win32::FontFileFor(c.m_szFace, c.m_nWeight, false);
        size_t nEnd = std::strlen(c.m_szFileEnd);
        ASSERT_GE(strFile.size(), nEnd) << c.m_szFace;
        EXPECT_EQ(strFile.substr(strFile.size() - nEnd), c.m_szFileEnd) << c.m_szFace;
    }
}

TEST(Fonts, MetricsAndExtents)
{
    DibCanvas canvas(8, 8);
    HFONT hFont = CreateImpact10();
    ASSERT_NE(hFont, nullptr);
    SelectObject(canvas.m_hdc, hFont);
    TEXTMETRICA tm{};
    ASSERT_TRUE(GetTextMetricsA(canvas.m_hdc, &tm));
    // A negative height is the character height; the cell adds the internal leading.
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_EQ(tm.tmInternalLeading, tm.tmHeight - 13);
    EXPECT_GE(tm.tmHeight, 14);
    EXPECT_LE(tm.tmHeight, 17);
    SIZE empty = Extent(canvas.m_hdc, "");
    EXPECT_EQ(empty.cx, 0);
    EXPECT_EQ(empty.cy, tm.tmHeight);
    // Widths add up character by character; a condensed bold "W" is wider than an "i".
    SIZE word = Extent(canvas.m_hdc, "Wi");
    EXPECT_EQ(word.cx, Extent(canvas.m_hdc, "W").cx + Extent(canvas.m_hdc, "i").cx);
    EXPECT_GT(Extent(canvas.m_hdc, "W").cx, Extent(canvas.m_hdc, "i").cx);
    // A byte count shorter than the string measures only the prefix.
    SIZE prefix{};
    ASSERT_TRUE(GetTextExtentPoint32A(canvas.m_hdc, "Wi", 1, &prefix));
    EXPECT_EQ(prefix.cx, Extent(canvas.m_hdc, "W").cx);
    // Narrow text is UTF-8, and a byte that is not UTF-8 reads as Windows-1252: both are "é".
    EXPECT_EQ(Extent(canvas.m_hdc, "\xC3\xA9").cx, Extent(canvas.m_hdc, "\xE9").cx);
    EXPECT_NE(Extent(canvas.m_hdc, "\xC3\xA9").cx, Extent(canvas.m_hdc, "\xC3").cx + Extent(canvas.m_hdc, "\xA9").cx);
    SelectObject(canvas.m_hdc, GetStockObject(SYSTEM_FONT));
    DeleteObject(hFont);
}

TEST(Text, ImpactGlyphsLightTheirOwnCells)
{
    // As the texture font draws: white text on black, opaque, antialiased.
    DibCanvas canvas(64, 20);
    HFONT hFont = CreateImpact10();
    SelectObject(canvas.m_hdc, hFont);
    SetTextColor(canvas.m_hdc, RGB(255, 255, 255));
    SetBkColor(canvas.m_hdc, RGB(0, 0, 0));
    SetTextAlign(canvas.m_hdc, TA_TOP | TA_LEFT);
    const char* szText = "I I";
    SIZE size = Extent(canvas.m_hdc, szText);
    RECT rc{0, 0, 64, 20};
    ASSERT_TRUE(ExtTextOutA(canvas.m_hdc, 2, 1, ETO_OPAQUE, &rc, szText, 3, nullptr));
    int nI = Extent(canvas.m_hdc, "I").cx;
    int nSpace = Extent(canvas.m_hdc, " ").cx;
    // Each "I" lights pixels in its own cell; the blank between them lights none.
    EXPECT_GT(LitInColumns(canvas, 2, 2 + nI), 10);
    EXPECT_EQ(LitInColumns(canvas, 2 + nI, 2 + nI + nSpace), 0);
    EXPECT_GT(LitInColumns(canvas, 2 + nI + nSpace, 2 + size.cx), 10);
    RECT box = LitBox(canvas, 0);
    EXPECT_GE(box.left, 2);
    EXPECT_LE(box.right, 2 + size.cx);
    EXPECT_GE(box.top, 1);
    EXPECT_LE(box.bottom, 1 + size.cy);
    // Antialiased edges: some pixels are neither background nor full text colour, and the
    // low byte carries the coverage the texture font turns into alpha.
    bool bPartial = false;
    for (uint32_t v : canvas.Pixels())
        bPartial = bPartial || ((v & 0xFF) != 0 && (v & 0xFF) != 0xFF);
    EXPECT_TRUE(bPartial);
    SelectObject(canvas.m_hdc, GetStockObject(SYSTEM_FONT));
    DeleteObject(hFont);
}

TEST(Text, TransparentModeLeavesTheBackgroundAlone)
{
    DibCanvas canvas(40, 20, std::vector<uint32_t>(800, 0x00336699));
    SetBkMode(canvas.m_hdc, TRANSPARENT);
    SetTextColor(canvas.m_hdc, RGB(0, 0, 0));
    ASSERT_TRUE(TextOutA(canvas.m_hdc, 0, 0, "x", 1));
    int nBlack = 0;
    int nOther = 0;
    for (uint32_t v : canvas.Pixels())
    {
        nBlack += v == 0;
        nOther += v != 0 && v != 0x336699;
    }
    EXPECT_GT(nBlack, 3);
    EXPECT_EQ(nOther, 0);   // monochrome glyphs, no background box
    SetBkMode(canvas.m_hdc, OPAQUE);
    SetBkColor(canvas.m_hdc, RGB(255, 255, 255));
    ASSERT_TRUE(TextOutA(canvas.m_hdc, 20, 0, "x", 1));
    EXPECT_EQ(canvas.At(20, 0), 0xFFFFFFu);   // the cell's corner gets the background colour
}

TEST(Text, DrawTextMeasuresWrapsAndCentres)
{
    DibCanvas canvas(100, 60, std::vector<uint32_t>(6000, 0xFFFFFF));
    TEXTMETRICA tm{};
    GetTextMetricsA(canvas.m_hdc, &tm);
    SIZE one = Extent(canvas.m_hdc, "alpha");
    SIZE both = Extent(canvas.m_hdc, "alpha beta");

    RECT rc{5, 7, 5, 7};
    EXPECT_EQ(DrawTextA(canvas.m_hdc, "alpha beta", -1, &rc, DT_CALCRECT | DT_SINGLELINE), tm.tmHeight);
    EXPECT_EQ(rc.left, 5);
    EXPECT_EQ(rc.top, 7);
    EXPECT_EQ(rc.right, 5 + both.cx);
    EXPECT_EQ(rc.bottom, 7 + tm.tmHeight);

    // Too narrow for both words: two lines, as wide as the wider word.
    rc = RECT{0, 0, both.cx - 1, 0};
    EXPECT_EQ(DrawTextA(canvas.m_hdc, "alpha beta", -1, &rc, DT_CALCRECT | DT_WORDBREAK), 2 * tm.tmHeight);
    EXPECT_EQ(rc.right, std::max(one.cx, Extent(canvas.m_hdc, "beta").cx));
    // Explicit line breaks count too.
    rc = RECT{0, 0, 100, 0};
    EXPECT_EQ(DrawTextA(canvas.m_hdc, "a\r\nb\nc", -1, &rc, DT_CALCRECT), 3 * tm.tmHeight);
    // "&&" prints one "&"; "&F" prints "F".
    rc = RECT{0, 0, 100, 0};
    DrawTextA(canvas.m_hdc, "&&&File", -1, &rc, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(rc.right, Extent(canvas.m_hdc, "&File").cx);

    // Centred both ways in a box: the ink sits in the middle.
    RECT box{0, 0, 100, 60};
    DrawTextA(canvas.m_hdc, "H", 1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    RECT ink = LitBox(canvas, 0xFFFFFF);
    int nInkCentreX = (ink.left + ink.right) / 2;
    EXPECT_NEAR(nInkCentreX, 50, 2);
    int nCellTop = (60 - tm.tmHeight) / 2;
    EXPECT_GE(ink.top, nCellTop);
    EXPECT_LE(ink.bottom, nCellTop + tm.tmHeight);
}

TEST(Text, DrawTextUnderlinesThePrefixedCharacter)
{
    DibCanvas plain(60, 20, std::vector<uint32_t>(1200, 0xFFFFFF));
    DibCanvas prefixed(60, 20, std::vector<uint32_t>(1200, 0xFFFFFF));
    RECT rc{0, 0, 60, 20};
    DrawTextA(plain.m_hdc, "File", -1, &rc, DT_SINGLELINE);
    DrawTextA(prefixed.m_hdc, "&File", -1, &rc, DT_SINGLELINE);
    TEXTMETRICA tm{};
    GetTextMetricsA(plain.m_hdc, &tm);
    int nF = Extent(plain.m_hdc, "F").cx;
    // One row below the baseline, under the "F" only.
    for (int x = 0; x < nF; ++x)
        EXPECT_EQ(prefixed.At(x, tm.tmAscent + 1), 0u) << x;
    EXPECT_EQ(prefixed.At(nF + 1, tm.tmAscent + 1), plain.At(nF + 1, tm.tmAscent + 1));
}

TEST(Text, MarlettCheckMark)
{
    DibCanvas canvas(16, 16);
    HFONT hFont = CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, SYMBOL_CHARSET, 0, 0, 0, 0, "Marlett");
    ASSERT_NE(hFont, nullptr);
    SelectObject(canvas.m_hdc, hFont);
    SetTextColor(canvas.m_hdc, RGB(255, 255, 255));
    SetBkColor(canvas.m_hdc, RGB(0, 0, 0));
    TextOutA(canvas.m_hdc, 0, 0, "a", 1);
    // The tick: its lowest point lies left of centre and its long arm rises to the right.
    RECT ink = LitBox(canvas, 0);
    ASSERT_LT(ink.left, ink.right);
    int nLowestX = -1;
    for (int x = 0; x < 16; ++x)
        if (canvas.At(x, ink.bottom - 1))
            nLowestX = x;
    EXPECT_LT(nLowestX, 8);
    EXPECT_NE(canvas.At(ink.right - 1, ink.top), 0u);
    EXPECT_EQ(canvas.At(ink.left, ink.top), 0u);
    SelectObject(canvas.m_hdc, GetStockObject(SYSTEM_FONT));
    DeleteObject(hFont);
}
}
