#pragma once
// The one raster-operation engine. Every blit, fill and pen stroke ends here: pattern (the
// DC's brush), source and destination pixels are combined bit by bit through the ROP3 truth
// table in bits 16-23 of the code, or the ROP2 table of the pen.
//
// Conversions, as Windows makes them:
// - a monochrome source or pattern reaching a colour destination: 0 becomes the destination
//   DC's text colour, 1 its background colour;
// - a colour source reaching a monochrome destination: a pixel equal to the source DC's
//   background colour becomes 1 (white), every other pixel 0;
// - a solid colour reaching a monochrome destination becomes the nearer of black and white.
#include "DeviceContext.h"

// Bit i of the table is the result for pattern, source, destination bits (P<<2 | S<<1 | D).
uint32_t ApplyRop3(uint8_t nTable, uint32_t p, uint32_t s, uint32_t d);
// ROP2 codes 1-16; bit (P<<1 | D) of (code - 1) is the result.
uint32_t ApplyRop2(int nRop2, uint32_t nPen, uint32_t d);

inline uint8_t Rop3Table(DWORD rop) { return static_cast<uint8_t>(rop >> 16); }
// Whether the result depends on the source (or the pattern): the table differs when that input
// flips.
bool RopUsesSource(DWORD rop);
bool RopUsesPattern(DWORD rop);

// A pen or solid colour in the destination's pixel form.
uint32_t DevicePixel(const Surface& dest, COLORREF color);

// The DC's brush as pixels of the destination, aligned to the DC origin.
class PatternReader
{
public:
    PatternReader(const DcObject& dc, const Surface& dest);
    bool IsNull() const { return m_bNull; }
    uint32_t At(int xSurface, int ySurface) const;

private:
    const Surface* m_pPattern = nullptr;
    uint32_t m_nSolid = 0;
    uint32_t m_nZero = 0;   // monochrome pattern bits on a colour destination
    uint32_t m_nOne = 0;
    bool m_bNull = false;
    bool m_bToMono = false;
    POINT m_ptAlign{};
};

// A source surface read in the destination's pixel form.
struct SourceSpec
{
    const Surface* m_pSurface = nullptr;
    COLORREF m_SourceBkColor = RGB(255, 255, 255);   // the source DC's background colour
    bool m_bPackedDib = false;   // a caller's DIB: colours reach a monochrome target as the nearer of black and white
};

// Combines pattern, source and destination over rcDest (surface coordinates of the destination
// DC), clipped to its clip rectangles. The source rectangle (source surface coordinates) is
// stretched to the destination by the nearest pixel; a negative width or height mirrors.
// Destination pixels whose source pixel lies outside the source surface are left alone.
void RunBlit(DcObject& dc, RECT rcDest, const SourceSpec& source, RECT rcSource, DWORD rop);

// Fills rcDest (surface coordinates) with the brush through the ROP3 code.
void FillPattern(DcObject& dc, const RECT& rcDest, DWORD rop);

// Sets every pixel of rcDest (surface coordinates) inside the clip rectangles to one pixel value.
void FillSolid(DcObject& dc, const RECT& rcDest, uint32_t nPixel);

// Plots one pen pixel through the DC's ROP2, if inside the clip rectangles.
void PlotPen(DcObject& dc, const std::vector<RECT>& clip, int xSurface, int ySurface, uint32_t nPen);
