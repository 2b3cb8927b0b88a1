#include "tracer/GatherShortcuts.h"

#include "tracer/TracerGlobals.h"

#include <algorithm>
#include <cmath>
#include <tuple>

GatherShortcuts g_GatherShortcuts;

namespace
{
// Relative margin on (R + h)^2 and a few float steps of the grid's coordinates: the device forms
// the cell centre and the distance in single precision, the check here in double.
constexpr double REACH_MARGIN = 1e-3;
constexpr double COORDINATE_STEPS = 64.0 * 1.1920929e-7;

float HalfToFloat(uint16_t nHalf)
{
    const int nExponent = (nHalf >> 10) & 0x1F;
    const int nMantissa = nHalf & 0x3FF;
    float fMagnitude;
    if (nExponent == 0x1F)
        fMagnitude = nMantissa ? std::nanf("") : INFINITY;
    else if (nExponent == 0)
        fMagnitude = std::ldexp(static_cast<float>(nMantissa), -24);
    else
        fMagnitude = std::ldexp(static_cast<float>(nMantissa | 0x400), nExponent - 25);
    return (nHalf & 0x8000) ? -fMagnitude : fMagnitude;
}

// The pixel span [a, b) that tile quad i of nCount covers along an axis of nSize pixels, widened
// by one pixel each way and kept on the target.
void QuadSpan(int i, int nCount, int32_t nSize, int32_t& a, int32_t& b)
{
    a = std::max<int32_t>(static_cast<int32_t>(static_cast<int64_t>(i) * nSize / nCount) - 1, 0);
    b = std::min<int32_t>(static_cast<int32_t>((static_cast<int64_t>(i + 1) * nSize + nCount - 1) / nCount) + 1, nSize);
}
}

int GatherQuadsPerAxis(int32_t nSize)
{
    const int32_t nPixels = g_GatherShortcuts.nFineQuadPixels;
    if (nPixels <= 0)
        return TILE_QUADS_PER_AXIS;
    return std::max<int>(TILE_QUADS_PER_AXIS, static_cast<int>((nSize + nPixels - 1) / nPixels));
}

bool ReadHalfFloatTarget(IDirect3DDevice9* pDevice, IDirect3DTexture9* pTexture, int32_t& nWidth, int32_t& nHeight,
                         std::vector<float>& rgba)
{
    D3DSURFACE_DESC desc{};
    IDirect3DSurface9* pSource = nullptr;
    IDirect3DSurface9* pCopy = nullptr;
    if (!pTexture || FAILED(pTexture->GetSurfaceLevel(0, &pSource)) || FAILED(pSource->GetDesc(&desc)) ||
        desc.Format != D3DFMT_A16B16G16R16F ||
        FAILED(pDevice->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM, &pCopy,
                                                    nullptr)) ||
        FAILED(pDevice->GetRenderTargetData(pSource, pCopy)))
    {
        ReleaseTracerObject(pSource);
        ReleaseTracerObject(pCopy);
        return false;
    }
    ReleaseTracerObject(pSource);
    D3DLOCKED_RECT locked{};
    if (FAILED(pCopy->LockRect(&locked, nullptr, D3DLOCK_READONLY)))
    {
        ReleaseTracerObject(pCopy);
        return false;
    }
    nWidth = static_cast<int32_t>(desc.Width);
    nHeight = static_cast<int32_t>(desc.Height);
    rgba.resize(static_cast<size_t>(nWidth) * nHeight * 4);
    for (int32_t y = 0; y < nHeight; ++y)
    {
        const uint16_t* pRow = reinterpret_cast<const uint16_t*>(static_cast<const BYTE*>(locked.pBits) +
                                                                 static_cast<ptrdiff_t>(y) * locked.Pitch);
        float* pOut = &rgba[static_cast<size_t>(y) * nWidth * 4];
        for (int32_t i = 0; i < nWidth * 4; ++i)
            pOut[i] = HalfToFloat(pRow[i]);
    }
    pCopy->UnlockRect();
    ReleaseTracerObject(pCopy);
    return true;
}

bool GatherReach::Read(IDirect3DDevice9* pDevice, IDirect3DTexture9* pCells, IDirect3DTexture9* pPositions,
                       int nColumns, int nRows)
{
    m_Quads.clear();
    std::vector<float> cells, positions;
    int32_t nWidth = 0, nHeight = 0, nPositionWidth = 0, nPositionHeight = 0;
    if (!ReadHalfFloatTarget(pDevice, pCells, nWidth, nHeight, cells) ||
        !ReadHalfFloatTarget(pDevice, pPositions, nPositionWidth, nPositionHeight, positions) ||
        nWidth != nPositionWidth || nHeight != nPositionHeight)
        return false;
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_Quads.resize(static_cast<size_t>(nColumns) * nRows);
    struct PixelCell
    {
        int32_t x, y, z;
        const float* p;
    };
    std::vector<PixelCell> pixels;
    for (int r = 0; r < nRows; ++r)
        for (int c = 0; c < nColumns; ++c)
        {
            Quad& quad = m_Quads[static_cast<size_t>(nColumns) * r + c];
            QuadSpan(c, nColumns, nWidth, quad.x0, quad.x1);
            // Row 0 of the quads is the bottom of the screen, row 0 of the target its top.
            QuadSpan(nRows - 1 - r, nRows, nHeight, quad.y0, quad.y1);
            quad.bAlways = false;
            pixels.clear();
            for (int32_t y = quad.y0; y < quad.y1; ++y)
                for (int32_t x = quad.x0; x < quad.x1; ++x)
                {
                    const size_t i = (static_cast<size_t>(y) * nWidth + x) * 4;
                    const float* q = &cells[i];
                    const float* p = &positions[i];
                    if (!std::isfinite(q[0]) || !std::isfinite(q[1]) || !std::isfinite(q[2]) || !std::isfinite(p[0]) ||
                        !std::isfinite(p[1]) || !std::isfinite(p[2]) || std::fabs(q[0]) > 1e6f ||
                        std::fabs(q[1]) > 1e6f || std::fabs(q[2]) > 1e6f)
                        quad.bAlways = true;
                    else
                        pixels.push_back({static_cast<int32_t>(q[0]), static_cast<int32_t>(q[1]),
                                          static_cast<int32_t>(q[2]), p});
                }
            if (quad.bAlways)
                continue;
            std::sort(pixels.begin(), pixels.end(), [](const PixelCell& a, const PixelCell& b) {
                return std::tie(a.x, a.y, a.z) < std::tie(b.x, b.y, b.z);
            });
            for (const PixelCell& pixel : pixels)
            {
                if (quad.cells.empty() || quad.cells.back().x != pixel.x || quad.cells.back().y != pixel.y ||
                    quad.cells.back().z != pixel.z)
                    quad.cells.push_back({pixel.x, pixel.y, pixel.z, {pixel.p[0], pixel.p[1], pixel.p[2]},
                                          {pixel.p[0], pixel.p[1], pixel.p[2]}});
                CellBox& box = quad.cells.back();
                for (int a = 0; a < 3; ++a)
                {
                    box.vMin[a] = std::min(box.vMin[a], pixel.p[a]);
                    box.vMax[a] = std::max(box.vMax[a], pixel.p[a]);
                }
            }
        }
    return true;
}

bool GatherReach::MarkUnreachable(const std::vector<uint8_t>& occupancy, int32_t nGrid, const D3DXVECTOR4& vOffset,
                                  float fReach2, const D3DXVECTOR4& vCellSize, const D3DXVECTOR3& vGridMin,
                                  std::vector<uint8_t>& done) const
{
    const int64_t n = nGrid;
    if (m_Quads.empty() || occupancy.size() != static_cast<size_t>(n * n * n))
        return std::find(done.begin(), done.end(), 0) != done.end();
    const int32_t dx = static_cast<int32_t>(vOffset.x), dy = static_cast<int32_t>(vOffset.y),
                  dz = static_cast<int32_t>(vOffset.z);
    const double size[3] = {vCellSize.x, vCellSize.y, vCellSize.z};
    const double origin[3] = {vGridMin.x, vGridMin.y, vGridMin.z};
    const double fExtent = std::max({std::fabs(origin[0]) + n * size[0], std::fabs(origin[1]) + n * size[1],
                                     std::fabs(origin[2]) + n * size[2]});
    const double fReach = std::sqrt(std::max(0.0f, fReach2));
    const double fFar = fReach2 * (1.0 + REACH_MARGIN) + 2.0 * (fReach + 1.0) * fExtent * COORDINATE_STEPS;
    bool bAny = false;
    for (size_t q = 0; q < m_Quads.size(); ++q)
    {
        uint8_t& first = done[2 * q];
        uint8_t& second = done[2 * q + 1];
        if (first && second)
            continue;
        const Quad& quad = m_Quads[q];
        bool bReached = quad.bAlways;
        for (size_t i = 0; i < quad.cells.size() && !bReached; ++i)
        {
            const CellBox& box = quad.cells[i];
            const int64_t x = box.x + dx, y = box.y + dy, z = box.z + dz;
            if (x < 0 || y < 0 || z < 0 || x >= n || y >= n || z >= n ||
                !occupancy[static_cast<size_t>(x + n * (y + n * z))])
                continue;
            const int64_t cell[3] = {x, y, z};
            double fDistance2 = 0.0;
            for (int a = 0; a < 3; ++a)
            {
                const double fCentre = static_cast<double>(cell[a]) * size[a] + origin[a] + 0.5 * size[a];
                const double d = std::max({box.vMin[a] - fCentre, fCentre - box.vMax[a], 0.0});
                fDistance2 += d * d;
            }
            bReached = fDistance2 <= fFar;
        }
        if (bReached)
            bAny = bAny || !first || !second;
        else
            first = second = 1;
    }
    return bAny;
}

void GatherReach::MarkFinished(const std::vector<float>& sums, float fN, std::vector<uint8_t>& done) const
{
    if (sums.size() != static_cast<size_t>(m_nWidth) * m_nHeight * 4)
        return;
    for (size_t q = 0; q < m_Quads.size(); ++q)
    {
        const Quad& quad = m_Quads[q];
        bool bFinished = true;
        for (int32_t y = quad.y0; y < quad.y1 && bFinished; ++y)
            for (int32_t x = quad.x0; x < quad.x1 && bFinished; ++x)
                bFinished = sums[(static_cast<size_t>(y) * m_nWidth + x) * 4 + 3] >= fN;
        if (bFinished)
            done[2 * q] = done[2 * q + 1] = 1;
    }
}
