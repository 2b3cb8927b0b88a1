#include "FontFace.h"

#include <core/Log.h>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <tuple>

namespace
{
// Which DejaVu face stands in for each face the program names. Unknown faces get DejaVu Sans.
struct FaceMapping
{
    const char* m_szName;
    const char* m_szFamily;
    bool m_bForceBold;
};
const FaceMapping kFaceMap[] = {
    {"MS Sans Serif", "DejaVu Sans", false},
    {"MS Shell Dlg", "DejaVu Sans", false},
    {"Arial", "DejaVu Sans", false},
    {"Tahoma", "DejaVu Sans", false},
    {"Courier", "DejaVu Sans Mono", false},
    {"Courier New", "DejaVu Sans Mono", false},
    {"Impact", "DejaVu Sans Condensed", true},
};
const char kDefaultFamily[] = "DejaVu Sans";
const char kMarlett[] = "Marlett";

// Height used when a font asks for the default (0): the 8-point dialog font.
constexpr int kDefaultEmPixels = 11;

const FaceMapping* FindMapping(const char* szName)
{
    for (const FaceMapping& m : kFaceMap)
        if (strcasecmp(m.m_szName, szName) == 0)
            return &m;
    return nullptr;
}

std::string MatchFile(const char* szFamily, bool bBold, bool bItalic, int& nIndex)
{
    // fontconfig keeps its configuration for the process; it is handed back at exit.
    static bool bInit = FcInit() && std::atexit(FcFini) == 0;
    if (!bInit)
        return std::string();
    FcPattern* pPattern = FcPatternCreate();
    FcPatternAddString(pPattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(szFamily));
    FcPatternAddInteger(pPattern, FC_WEIGHT, bBold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pPattern, FC_SLANT, bItalic ? FC_SLANT_OBLIQUE : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pPattern, FcMatchPattern);
    FcDefaultSubstitute(pPattern);
    FcResult result;
    FcPattern* pMatch = FcFontMatch(nullptr, pPattern, &result);
    std::string strFile;
    if (pMatch)
    {
        FcChar8* pFile = nullptr;
        if (FcPatternGetString(pMatch, FC_FILE, 0, &pFile) == FcResultMatch)
            strFile = reinterpret_cast<const char*>(pFile);
        if (FcPatternGetInteger(pMatch, FC_INDEX, 0, &nIndex) != FcResultMatch)
            nIndex = 0;
        FcPatternDestroy(pMatch);
    }
    FcPatternDestroy(pPattern);
    return strFile;
}

FT_Library Library()
{
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) != 0)
            return static_cast<FT_Library>(nullptr);
        return lib;
    }();
    return library;
}

void FillCommonMetrics(TEXTMETRICA& tm, const LOGFONTA& lf, int nAscent, int nDescent, int nEm)
{
    tm.tmAscent = nAscent;
    tm.tmDescent = nDescent;
    tm.tmHeight = nAscent + nDescent;
    tm.tmInternalLeading = std::max(0, tm.tmHeight - nEm);
    tm.tmExternalLeading = 0;
    tm.tmWeight = lf.lfWeight ? lf.lfWeight : FW_NORMAL;
    tm.tmDigitizedAspectX = 96;
    tm.tmDigitizedAspectY = 96;
    tm.tmFirstChar = 32;
    tm.tmLastChar = 255;
    tm.tmDefaultChar = 31;
    tm.tmBreakChar = 32;
    tm.tmItalic = lf.lfItalic ? 1 : 0;
    tm.tmUnderlined = lf.lfUnderline ? 1 : 0;
    tm.tmStruckOut = lf.lfStrikeOut ? 1 : 0;
    tm.tmCharSet = lf.lfCharSet;
}

// ---- A FreeType face.
class FreeTypeFace : public FontFace
{
public:
    ~FreeTypeFace() override
    {
        if (m_Face)
            FT_Done_Face(m_Face);
    }

    bool Open(const std::string& strFile, int nIndex, const LOGFONTA& lf, bool bMonospace)
    {
        if (!Library() || FT_New_Face(Library(), strFile.c_str(), nIndex, &m_Face) != 0)
            return false;
        int nUnitsHeight = m_Face->ascender - m_Face->descender;
        int nEm = kDefaultEmPixels;
        if (lf.lfHeight < 0)
            nEm = -lf.lfHeight;
        else if (lf.lfHeight > 0 && nUnitsHeight > 0)
            // A positive height is the cell: ascent plus descent.
            nEm = std::max(1, static_cast<int>(std::lround(static_cast<double>(lf.lfHeight) * m_Face->units_per_EM / nUnitsHeight)));
        if (FT_Set_Pixel_Sizes(m_Face, 0, static_cast<FT_UInt>(nEm)) != 0)
            return false;
        m_bAntialiased = lf.lfQuality == ANTIALIASED_QUALITY;
        const FT_Size_Metrics& sm = m_Face->size->metrics;
        int nAscent = static_cast<int>((sm.ascender + 63) >> 6);
        int nDescent = static_cast<int>((-sm.descender + 63) >> 6);
        FillCommonMetrics(m_Metrics, lf, nAscent, nDescent, nEm);
        m_Metrics.tmAveCharWidth = GetGlyph('x').m_nAdvance;
        m_Metrics.tmMaxCharWidth = static_cast<LONG>((sm.max_advance + 63) >> 6);
        // The pitch bit is set for variable pitch, as TMPF_FIXED_PITCH's name misleads.
        m_Metrics.tmPitchAndFamily = static_cast<BYTE>((bMonospace ? FF_MODERN : FF_SWISS | TMPF_FIXED_PITCH) | TMPF_VECTOR | TMPF_TRUETYPE);
        return true;
    }

protected:
    bool Render(uint32_t nCodePoint, Glyph& glyph) override
    {
        FT_Int32 nFlags = FT_LOAD_RENDER | (m_bAntialiased ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO);
        if (FT_Load_Char(m_Face, nCodePoint, nFlags) != 0)
            return false;
        FT_GlyphSlot pSlot = m_Face->glyph;
        const FT_Bitmap& bm = pSlot->bitmap;
        glyph.m_nAdvance = static_cast<int>((pSlot->advance.x + 32) >> 6);
        glyph.m_nLeft = pSlot->bitmap_left;
        glyph.m_nTop = pSlot->bitmap_top;
        glyph.m_nWidth = static_cast<int>(bm.width);
        glyph.m_nHeight = static_cast<int>(bm.rows);
        glyph.m_Coverage.assign(static_cast<size_t>(glyph.m_nWidth) * glyph.m_nHeight, 0);
        for (int y = 0; y < glyph.m_nHeight; ++y)
        {
            const uint8_t* pRow = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
            for (int x = 0; x < glyph.m_nWidth; ++x)
            {
                uint8_t v = bm.pixel_mode == FT_PIXEL_MODE_MONO ? (((pRow[x >> 3] >> (7 - (x & 7))) & 1) ? 255 : 0)
                                                                  : pRow[x];
                glyph.m_Coverage[static_cast<size_t>(y) * glyph.m_nWidth + x] = v;
            }
        }
        return true;
    }

private:
    FT_Face m_Face = nullptr;
    bool m_bAntialiased = false;
};

// ---- The built-in symbol face: glyphs drawn from strokes and triangles in the em square.
struct Stroke
{
    float x0, y0, x1, y1;   // em fractions, y down
};
struct Triangle
{
    float x0, y0, x1, y1, x2, y2;
};
struct SymbolShape
{
    char m_ch;
    std::vector<Stroke> m_Strokes;
    std::vector<Triangle> m_Triangles;
};
const SymbolShape kSymbols[] = {
    {'a', {{0.20f, 0.50f, 0.40f, 0.72f}, {0.40f, 0.72f, 0.80f, 0.28f}}, {}},   // check mark
    {'r', {{0.25f, 0.25f, 0.75f, 0.75f}, {0.75f, 0.25f, 0.25f, 0.75f}}, {}},   // close
    {'0', {{0.25f, 0.75f, 0.65f, 0.75f}}, {}},                                 // minimise
    {'1', {{0.2f, 0.2f, 0.8f, 0.2f}, {0.8f, 0.2f, 0.8f, 0.8f}, {0.8f, 0.8f, 0.2f, 0.8f}, {0.2f, 0.8f, 0.2f, 0.2f}}, {}},
    {'3', {}, {{0.65f, 0.25f, 0.65f, 0.75f, 0.35f, 0.5f}}},   // left
    {'4', {}, {{0.35f, 0.25f, 0.35f, 0.75f, 0.65f, 0.5f}}},   // right
    {'5', {}, {{0.25f, 0.65f, 0.75f, 0.65f, 0.5f, 0.35f}}},   // up
    {'6', {}, {{0.25f, 0.35f, 0.75f, 0.35f, 0.5f, 0.65f}}},   // down
};

float DistanceToSegment(float px, float py, const Stroke& s)
{
    float dx = s.x1 - s.x0;
    float dy = s.y1 - s.y0;
    float t = ((px - s.x0) * dx + (py - s.y0) * dy) / (dx * dx + dy * dy);
    t = std::clamp(t, 0.0f, 1.0f);
    float qx = s.x0 + t * dx - px;
    float qy = s.y0 + t * dy - py;
    return std::sqrt(qx * qx + qy * qy);
}

bool InTriangle(float px, float py, const Triangle& t)
{
    auto side = [](float ax, float ay, float bx, float by, float px, float py) {
        return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
    };
    float a = side(t.x0, t.y0, t.x1, t.y1, px, py);
    float b = side(t.x1, t.y1, t.x2, t.y2, px, py);
    float c = side(t.x2, t.y2, t.x0, t.y0, px, py);
    return (a >= 0 && b >= 0 && c >= 0) || (a <= 0 && b <= 0 && c <= 0);
}

class SymbolFace : public FontFace
{
public:
    explicit SymbolFace(const LOGFONTA& lf)
    {
        m_nEm = lf.lfHeight < 0 ? -lf.lfHeight : (lf.lfHeight > 0 ? lf.lfHeight : kDefaultEmPixels);
        FillCommonMetrics(m_Metrics, lf, m_nEm, 0, m_nEm);
        m_Metrics.tmAveCharWidth = m_nEm;
        m_Metrics.tmMaxCharWidth = m_nEm;
        m_Metrics.tmPitchAndFamily = FF_DECORATIVE;
        m_Metrics.tmCharSet = SYMBOL_CHARSET;
    }

protected:
    bool Render(uint32_t nCodePoint, Glyph& glyph) override
    {
        glyph.m_nAdvance = m_nEm;
        glyph.m_nTop = m_nEm;
        glyph.m_nWidth = m_nEm;
        glyph.m_nHeight = m_nEm;
        glyph.m_Coverage.assign(static_cast<size_t>(m_nEm) * m_nEm, 0);
        const SymbolShape* pShape = nullptr;
        for (const SymbolShape& s : kSymbols)
            if (static_cast<uint32_t>(s.m_ch) == nCodePoint)
                pShape = &s;
        if (!pShape)
            return true;   // an empty cell, as for a character the face lacks
        // Strokes are an eighth of the em wide, at least one pixel.
        float fHalfWidth = std::max(0.5f, m_nEm / 16.0f) / m_nEm;
        for (int y = 0; y < m_nEm; ++y)
            for (int x = 0; x < m_nEm; ++x)
            {
                float px = (x + 0.5f) / m_nEm;
                float py = (y + 0.5f) / m_nEm;
                bool bLit = false;
                for (const Stroke& s : pShape->m_Strokes)
                    bLit = bLit || DistanceToSegment(px, py, s) <= fHalfWidth;
                for (const Triangle& t : pShape->m_Triangles)
                    bLit = bLit || InTriangle(px, py, t);
                glyph.m_Coverage[static_cast<size_t>(y) * m_nEm + x] = bLit ? 255 : 0;
            }
        return true;
    }

private:
    int m_nEm = kDefaultEmPixels;
};

using FaceKey = std::tuple<std::string, LONG, LONG, bool, bool>;
}

const Glyph& FontFace::GetGlyph(uint32_t nCodePoint)
{
    auto it = m_Glyphs.find(nCodePoint);
    if (it != m_Glyphs.end())
        return it->second;
    Glyph glyph;
    if (!Render(nCodePoint, glyph))
        glyph = Glyph{};
    return m_Glyphs.emplace(nCodePoint, std::move(glyph)).first->second;
}

std::string FontFace::FileFor(const char* szFaceName, LONG nWeight, bool bItalic)
{
    if (strcasecmp(szFaceName, kMarlett) == 0)
        return std::string();
    const FaceMapping* pMapping = FindMapping(szFaceName);
    const char* szFamily = pMapping ? pMapping->m_szFamily : kDefaultFamily;
    bool bBold = nWeight >= FW_SEMIBOLD || (pMapping && pMapping->m_bForceBold);
    int nIndex = 0;
    return MatchFile(szFamily, bBold, bItalic, nIndex);
}

std::shared_ptr<FontFace> FontFace::Realise(const LOGFONTA& lf)
{
    static std::map<FaceKey, std::shared_ptr<FontFace>> cache;
    char szName[LF_FACESIZE + 1] = {};
    std::memcpy(szName, lf.lfFaceName, LF_FACESIZE);
    FaceKey key{szName, lf.lfHeight, lf.lfWeight >= FW_SEMIBOLD ? FW_BOLD : FW_NORMAL, lf.lfItalic != 0,
                lf.lfQuality == ANTIALIASED_QUALITY};
    auto it = cache.find(key);
    if (it != cache.end())
        return it->second;

    std::shared_ptr<FontFace> pFace;
    if (strcasecmp(szName, kMarlett) == 0)
        pFace = std::make_shared<SymbolFace>(lf);
    else
    {
        const FaceMapping* pMapping = FindMapping(szName);
        const char* szFamily = pMapping ? pMapping->m_szFamily : kDefaultFamily;
        bool bBold = lf.lfWeight >= FW_SEMIBOLD || (pMapping && pMapping->m_bForceBold);
        int nIndex = 0;
        std::string strFile = MatchFile(szFamily, bBold, lf.lfItalic != 0, nIndex);
        auto pFreeType = std::make_shared<FreeTypeFace>();
        if (strFile.empty() || !pFreeType->Open(strFile, nIndex, lf, std::strstr(szFamily, "Mono") != nullptr))
        {
            LogWarning("CreateFont() - no font file for the face \"%s\".", szName);
            return nullptr;
        }
        pFace = pFreeType;
    }
    cache.emplace(key, pFace);
    return pFace;
}

std::vector<uint32_t> DecodeText(const char* pText, size_t nBytes)
{
    // Windows-1252 for 0x80-0x9F; the rest of the high half matches Latin-1.
    static const uint16_t kCp1252High[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::vector<uint32_t> out;
    const auto* p = reinterpret_cast<const uint8_t*>(pText);
    size_t i = 0;
    while (i < nBytes)
    {
        uint8_t c = p[i];
        int nMore = c >= 0xF0 && c < 0xF5 ? 3 : c >= 0xE0 && c < 0xF0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : 0;
        if (nMore > 0 && i + nMore < nBytes)
        {
            // The smallest code each length may carry; anything less is an overlong form.
            static const uint32_t kMinimum[4] = {0, 0x80, 0x800, 0x10000};
            uint32_t nCode = c & (0x3F >> nMore);
            bool bValid = true;
            for (int k = 1; k <= nMore && bValid; ++k)
            {
                bValid = (p[i + k] & 0xC0) == 0x80;
                nCode = (nCode << 6) | (p[i + k] & 0x3F);
            }
            if (bValid && nCode >= kMinimum[nMore] && nCode <= 0x10FFFF && (nCode < 0xD800 || nCode > 0xDFFF))
            {
                out.push_back(nCode);
                i += static_cast<size_t>(nMore) + 1;
                continue;
            }
        }
        out.push_back(c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : c);
        ++i;
    }
    return out;
}
