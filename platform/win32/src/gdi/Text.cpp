// Fonts and text: CreateFont, measuring, ExtTextOut and DrawText. Glyph pixels take the text
// colour; an antialiased glyph blends it over the destination by its coverage.
#include "FontFace.h"
#include "RasterOps.h"

#include <algorithm>
#include <utility>
#include <cstring>

namespace
{
FontFace* FaceOf(DcObject& dc)
{
    FontObject& font = *dc.m_Attr.m_pFont;
    if (!font.m_pFace)
        font.m_pFace = FontFace::Realise(font.m_Log);
    return font.m_pFace.get();
}

RECT Intersect(const RECT& a, const RECT& b)
{
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

uint8_t Blend(uint32_t nFrom, uint32_t nTo, int nShift, int nCoverage)
{
    int a = static_cast<int>((nFrom >> nShift) & 0xFF);
    int b = static_cast<int>((nTo >> nShift) & 0xFF);
    return static_cast<uint8_t>(a + ((b - a) * nCoverage + 127) / 255);
}

// One line of text ready to draw: code points and, optionally, the one to underline (DrawText's
// "&x" prefix).
struct TextLine
{
    std::vector<uint32_t> m_Codes;
    int m_nUnderline = -1;
};

int LineWidth(FontFace& face, const std::vector<uint32_t>& codes, size_t nBegin, size_t nEnd)
{
    int nWidth = 0;
    for (size_t i = nBegin; i < nEnd; ++i)
        nWidth += face.GetGlyph(codes[i]).m_nAdvance;
    return nWidth;
}

// Draws a line with its cell's top-left corner at ptSurface. Pixels are clipped to the DC's
// rectangles and, when given, to rcExtraClip (surface coordinates).
void DrawLine(DcObject& dc, FontFace& face, POINT ptSurface, const TextLine& line, const INT* pAdvances,
              const RECT* pExtraClip)
{
    Surface* pSurface = dc.Target();
    if (!pSurface)
        return;
    std::vector<RECT> clip = dc.ClipRects();
    if (pExtraClip)
        for (RECT& rc : clip)
            rc = Intersect(rc, *pExtraClip);
    const TEXTMETRICA& tm = face.Metrics();
    uint32_t nText = DevicePixel(*pSurface, dc.m_Attr.m_TextColor);
    int nTotal = 0;
    for (size_t i = 0; i < line.m_Codes.size(); ++i)
        nTotal += pAdvances ? pAdvances[i] : face.GetGlyph(line.m_Codes[i]).m_nAdvance;
    if (dc.m_Attr.m_nBkMode == OPAQUE)
        for (const RECT& rc : clip)
            FillSolid(dc, Intersect(rc, RECT{ptSurface.x, ptSurface.y, ptSurface.x + nTotal, ptSurface.y + tm.tmHeight}),
                      DevicePixel(*pSurface, dc.m_Attr.m_BkColor));

    auto plot = [&](int x, int y, int nCoverage) {
        if (nCoverage == 0)
            return;
        for (const RECT& rc : clip)
            if (x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom)
            {
                uint32_t v = nText;
                if (nCoverage < 255)
                {
                    if (pSurface->m_bMono)
                        v = nCoverage >= 128 ? nText : pSurface->Read(x, y);
                    else
                    {
                        uint32_t d = pSurface->Read(x, y);
                        v = Blend(d, nText, 0, nCoverage) | (Blend(d, nText, 8, nCoverage) << 8) |
                            (Blend(d, nText, 16, nCoverage) << 16);
                    }
                }
                pSurface->Write(x, y, v);
                return;
            }
    };

    bool bUnderlineAll = dc.m_Attr.m_pFont->m_Log.lfUnderline != 0;
    int nBaseline = ptSurface.y + tm.tmAscent;
    int x = ptSurface.x;
    for (size_t i = 0; i < line.m_Codes.size(); ++i)
    {
        const Glyph& glyph = face.GetGlyph(line.m_Codes[i]);
        for (int gy = 0; gy < glyph.m_nHeight; ++gy)
            for (int gx = 0; gx < glyph.m_nWidth; ++gx)
                plot(x + glyph.m_nLeft + gx, nBaseline - glyph.m_nTop + gy,
                     glyph.m_Coverage[static_cast<size_t>(gy) * glyph.m_nWidth + gx]);
        int nAdvance = pAdvances ? pAdvances[i] : glyph.m_nAdvance;
        if (bUnderlineAll || static_cast<int>(i) == line.m_nUnderline)
            for (int ux = x; ux < x + nAdvance; ++ux)
                plot(ux, nBaseline + 1, 255);
        x += nAdvance;
    }
}
}

std::string win32::FontFileFor(const char* szFaceName, LONG nWeight, bool bItalic)
{
    return FontFace::FileFor(szFaceName ? szFaceName : "", nWeight, bItalic);
}

HFONT CreateFontIndirectA(const LOGFONTA* lplf)
{
    if (!lplf)
        return nullptr;
    auto p = std::make_shared<FontObject>();
    p->m_Log = *lplf;
    p->m_Log.lfFaceName[LF_FACESIZE - 1] = 0;
    p->m_pFace = FontFace::Realise(p->m_Log);
    if (!p->m_pFace)
        return nullptr;
    return reinterpret_cast<HFONT>(AddGdiObject(p));
}

HFONT CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight, DWORD bItalic,
                  DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet, DWORD iOutPrecision, DWORD iClipPrecision,
                  DWORD iQuality, DWORD iPitchAndFamily, LPCSTR pszFaceName)
{
    LOGFONTA lf{};
    lf.lfHeight = cHeight;
    lf.lfWidth = cWidth;
    lf.lfEscapement = cEscapement;
    lf.lfOrientation = cOrientation;
    lf.lfWeight = cWeight;
    lf.lfItalic = static_cast<BYTE>(bItalic != 0);
    lf.lfUnderline = static_cast<BYTE>(bUnderline != 0);
    lf.lfStrikeOut = static_cast<BYTE>(bStrikeOut != 0);
    lf.lfCharSet = static_cast<BYTE>(iCharSet);
    lf.lfOutPrecision = static_cast<BYTE>(iOutPrecision);
    lf.lfClipPrecision = static_cast<BYTE>(iClipPrecision);
    lf.lfQuality = static_cast<BYTE>(iQuality);
    lf.lfPitchAndFamily = static_cast<BYTE>(iPitchAndFamily);
    if (pszFaceName)
        std::strncpy(lf.lfFaceName, pszFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectA(&lf);
}

BOOL GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm)
{
    std::shared_ptr<DcObject> pDc = FindDc(hdc);
    FontFace* pFace = pDc ? FaceOf(*pDc) : nullptr;
    if (!pFace || !lptm)
        return FALSE;
    *lptm = pFace->Metrics();
    return TRUE;
}

BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl)
{
    std::shared_ptr<DcObject> pDc = FindDc(hdc);
    FontFace* pFace = pDc ? FaceOf(*pDc) : nullptr;
    if (!pFace || !psizl || c < 0 || (c > 0 && !lpString))
        return FALSE;
    std::vector<uint32_t> codes = DecodeText(lpString, static_cast<size_t>(c));
    psizl->cx = LineWidth(*pFace, codes, 0, codes.size());
    psizl->cy = pFace->Metrics().tmHeight;
    return TRUE;
}

BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCSTR lpString, UINT c, const INT* lpDx)
{
    std::shared_ptr<DcObject> pDc = FindDc(hdc);
    FontFace* pFace = pDc ? FaceOf(*pDc) : nullptr;
    if (!pFace || !pDc->Target() || (c > 0 && !lpString))
        return FALSE;
    RECT rcSurface{};
    if (lprect)
    {
        POINT a = pDc->ToSurface(lprect->left, lprect->top);
        POINT b = pDc->ToSurface(lprect->right, lprect->bottom);
        rcSurface = RECT{a.x, a.y, b.x, b.y};
        if (options & ETO_OPAQUE)
            FillSolid(*pDc, rcSurface, DevicePixel(*pDc->Target(), pDc->m_Attr.m_BkColor));
    }
    if (c == 0)
        return TRUE;

    TextLine line;
    line.m_Codes = DecodeText(lpString, c);
    const TEXTMETRICA& tm = pFace->Metrics();
    int nWidth = 0;
    for (size_t i = 0; i < line.m_Codes.size(); ++i)
        nWidth += lpDx ? lpDx[i] : pFace->GetGlyph(line.m_Codes[i]).m_nAdvance;

    UINT nAlign = pDc->m_Attr.m_nTextAlign;
    if (nAlign & TA_UPDATECP)
    {
        x = pDc->m_Attr.m_ptCurrent.x;
        y = pDc->m_Attr.m_ptCurrent.y;
    }
    int nLeft = x;
    if ((nAlign & TA_CENTER) == TA_CENTER)
        nLeft = x - nWidth / 2;
    else if (nAlign & TA_RIGHT)
        nLeft = x - nWidth;
    int nTop = y;
    if ((nAlign & TA_BASELINE) == TA_BASELINE)
        nTop = y - tm.tmAscent;
    else if (nAlign & TA_BOTTOM)
        nTop = y - tm.tmHeight;
    if (nAlign & TA_UPDATECP)
        pDc->m_Attr.m_ptCurrent.x = (nAlign & TA_RIGHT) && (nAlign & TA_CENTER) != TA_CENTER ? nLeft : nLeft + nWidth;

    // With ETO_OPAQUE and a rectangle, the rectangle already carries the background.
    int nSavedMode = pDc->m_Attr.m_nBkMode;
    if ((options & ETO_OPAQUE) && lprect)
        pDc->m_Attr.m_nBkMode = TRANSPARENT;
    DrawLine(*pDc, *pFace, pDc->ToSurface(nLeft, nTop), line, lpDx, (options & ETO_CLIPPED) && lprect ? &rcSurface : nullptr);
    pDc->m_Attr.m_nBkMode = nSavedMode;
    return TRUE;
}

BOOL TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c)
{
    if (c < 0)
        return FALSE;
    return ExtTextOutA(hdc, x, y, 0, nullptr, lpString, static_cast<UINT>(c), nullptr);
}

namespace
{
// Splits DrawText's text into lines: "&&" prints "&", "&x" underlines x (unless DT_NOPREFIX),
// newlines end lines (unless DT_SINGLELINE), and DT_WORDBREAK wraps at blanks to nMaxWidth.
std::vector<TextLine> LayOut(FontFace& face, const std::vector<uint32_t>& input, UINT format, int nMaxWidth)
{
    std::vector<TextLine> paragraphs(1);
    for (size_t i = 0; i < input.size(); ++i)
    {
        uint32_t c = input[i];
        if (c == '&' && !(format & DT_NOPREFIX) && i + 1 < input.size())
        {
            ++i;
            if (input[i] != '&')
                paragraphs.back().m_nUnderline = static_cast<int>(paragraphs.back().m_Codes.size());
            paragraphs.back().m_Codes.push_back(input[i]);
            continue;
        }
        if ((c == '\r' || c == '\n') && !(format & DT_SINGLELINE))
        {
            if (c == '\r' && i + 1 < input.size() && input[i + 1] == '\n')
                ++i;
            paragraphs.emplace_back();
            continue;
        }
        if (c == '\r' || c == '\n')
            continue;
        paragraphs.back().m_Codes.push_back(c);
    }
    if (!(format & DT_WORDBREAK) || (format & DT_SINGLELINE))
        return paragraphs;

    std::vector<TextLine> lines;
    for (const TextLine& para : paragraphs)
    {
        const std::vector<uint32_t>& codes = para.m_Codes;
        size_t nStart = 0;
        do
        {
            // Take words while they fit; a word wider than the rectangle stands alone.
            size_t nEnd = nStart;
            size_t nBreak = nStart;
            while (nEnd < codes.size())
            {
                size_t nWordEnd = nEnd;
                while (nWordEnd < codes.size() && codes[nWordEnd] == ' ')
                    ++nWordEnd;
                while (nWordEnd < codes.size() && codes[nWordEnd] != ' ')
                    ++nWordEnd;
                if (nBreak > nStart && LineWidth(face, codes, nStart, nWordEnd) > nMaxWidth)
                    break;
                nEnd = nWordEnd;
                nBreak = nWordEnd;
            }
            TextLine line;
            line.m_Codes.assign(codes.begin() + static_cast<ptrdiff_t>(nStart), codes.begin() + static_cast<ptrdiff_t>(nBreak));
            while (!line.m_Codes.empty() && line.m_Codes.back() == ' ')
                line.m_Codes.pop_back();
            if (para.m_nUnderline >= static_cast<int>(nStart) && para.m_nUnderline < static_cast<int>(nBreak))
                line.m_nUnderline = para.m_nUnderline - static_cast<int>(nStart);
            lines.push_back(line);
            nStart = nBreak;
            while (nStart < codes.size() && codes[nStart] == ' ')
                ++nStart;
        } while (nStart < codes.size());
    }
    return lines;
}
}

int DrawTextA(HDC hdc, LPCSTR lpchText, int cchText, LPRECT lprc, UINT format)
{
    std::shared_ptr<DcObject> pDc = FindDc(hdc);
    FontFace* pFace = pDc ? FaceOf(*pDc) : nullptr;
    if (!pFace || !lprc || (!lpchText && cchText != 0))
        return 0;
    size_t nBytes = cchText < 0 ? std::strlen(lpchText) : static_cast<size_t>(cchText);
    std::vector<TextLine> lines = LayOut(*pFace, DecodeText(lpchText, nBytes), format, lprc->right - lprc->left);
    int nLineHeight = pFace->Metrics().tmHeight;
    int nHeight = nLineHeight * static_cast<int>(lines.size());

    if (format & DT_CALCRECT)
    {
        int nWidest = 0;
        for (const TextLine& line : lines)
            nWidest = std::max(nWidest, LineWidth(*pFace, line.m_Codes, 0, line.m_Codes.size()));
        lprc->right = lprc->left + nWidest;
        lprc->bottom = lprc->top + nHeight;
        return nHeight;
    }

    int y = lprc->top;
    if (format & DT_SINGLELINE)
    {
        if (format & DT_VCENTER)
            y = lprc->top + (lprc->bottom - lprc->top - nLineHeight) / 2;
        else if (format & DT_BOTTOM)
            y = lprc->bottom - nLineHeight;
    }
    POINT a = pDc->ToSurface(lprc->left, lprc->top);
    POINT b = pDc->ToSurface(lprc->right, lprc->bottom);
    RECT rcClip{a.x, a.y, b.x, b.y};
    for (const TextLine& line : lines)
    {
        int nWidth = LineWidth(*pFace, line.m_Codes, 0, line.m_Codes.size());
        int x = lprc->left;
        if (format & DT_CENTER)
            x = lprc->left + (lprc->right - lprc->left - nWidth) / 2;
        else if (format & DT_RIGHT)
            x = lprc->right - nWidth;
        DrawLine(*pDc, *pFace, pDc->ToSurface(x, y), line, nullptr, (format & DT_NOCLIP) ? nullptr : &rcClip);
        y += nLineHeight;
    }
    // With a vertical placement the answer is the offset from the top to the text's bottom.
    if ((format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM)))
        return y - lprc->top;
    return nHeight;
}
