#pragma once
// A realised font: the face a LOGFONT resolves to at its pixel size, with its metrics and a cache
// of rendered glyphs. DejaVu faces stand in for the faces the program names (through fontconfig,
// rendered by FreeType); "Marlett" is a small face drawn here, whose "a" is a check mark.
#include <win32/gdi.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct Glyph
{
    int m_nAdvance = 0;   // pixels to the next pen position
    int m_nLeft = 0;      // bitmap offset from the pen position
    int m_nTop = 0;       // rows from the bitmap's top row up to the baseline
    int m_nWidth = 0;
    int m_nHeight = 0;
    std::vector<uint8_t> m_Coverage;   // 0-255 per pixel; 0 or 255 unless antialiased
};

class FontFace
{
public:
    virtual ~FontFace() = default;
    // The face for a logical font, shared between fonts that realise alike; null when no face
    // can be loaded.
    static std::shared_ptr<FontFace> Realise(const LOGFONTA& lf);
    // Which face file a face name maps to ("" for the built-in face); for tests and goldens.
    static std::string FileFor(const char* szFaceName, LONG nWeight, bool bItalic);

    const Glyph& GetGlyph(uint32_t nCodePoint);
    const TEXTMETRICA& Metrics() const { return m_Metrics; }

protected:
    virtual bool Render(uint32_t nCodePoint, Glyph& glyph) = 0;
    TEXTMETRICA m_Metrics{};

private:
    std::map<uint32_t, Glyph> m_Glyphs;
};

// Decodes narrow text: UTF-8 where the bytes form it, otherwise each byte as Windows-1252.
std::vector<uint32_t> DecodeText(const char* pText, size_t nBytes);
