#include "cpu/raster/Rasterizer.h"

#include "cpu/pool/WorkerPool.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>

namespace
{
constexpr int SUBPIXELS = 256;              // vertices snap to 1/256 pixel
constexpr int BIN_SIZE = 64;                // work split: 64×64-pixel bins, multiples of the tile
constexpr int64_t SMALL_DRAW_PIXELS = 16384; // smaller draws run on the calling thread

struct LinePixel
{
    int x, y;
    float t;
};

// A primitive ready for coverage: edge functions E_i(p) = A_i·px + B_i·py + C_i in 1/256 pixel
// units, non-negative inside once the top-left bias is added; E_i/area is the weight of vertex i.
struct Setup
{
    PrimitiveKind kind;
    int64_t A[3], B[3], C[3];
    int64_t bias[3];
    double fInvArea = 0.0;
    int x0, y0, x1, y1;                     // covered pixel bounds, end exclusive
    const ScreenVertex* v[3];
    const ScreenVertex* pFlat;
    bool bBackFace = false;
    bool bPerspective = false;
    size_t nFirstPixel = 0, nPixels = 0;   // lines: their pixels in the line pixel list
};

int64_t Snap(float f)
{
    return (int64_t)std::llround((double)f * SUBPIXELS);
}

class SetupBuilder
{
public:
    SetupBuilder(const RasterJob& job) : m_job(job) {}

    void Build()
    {
        for (const Primitive& primitive : m_job.primitives)
        {
            const ScreenVertex* pFlat = &m_job.vertices[primitive.nFlatVertex];
            switch (primitive.kind)
            {
            case PrimitiveKind::Triangle:
                AddTriangle(&m_job.vertices[primitive.v[0]], &m_job.vertices[primitive.v[1]],
                            &m_job.vertices[primitive.v[2]], pFlat);
                break;
            case PrimitiveKind::Line:
                AddLine(&m_job.vertices[primitive.v[0]], &m_job.vertices[primitive.v[1]], pFlat, false);
                break;
            case PrimitiveKind::Point: AddPoint(&m_job.vertices[primitive.v[0]]); break;
            }
        }
    }

    std::vector<Setup> setups;
    std::vector<LinePixel> linePixels;

private:
    bool ClipBounds(Setup& s) const
    {
        s.x0 = std::max<int>(s.x0, m_job.scissor.left);
        s.y0 = std::max<int>(s.y0, m_job.scissor.top);
        s.x1 = std::min<int>(s.x1, m_job.scissor.right);
        s.y1 = std::min<int>(s.y1, m_job.scissor.bottom);
        return s.x0 < s.x1 && s.y0 < s.y1;
    }

    void AddTriangle(const ScreenVertex* p0, const ScreenVertex* p1, const ScreenVertex* p2, const ScreenVertex* pFlat)
    {
        int64_t X[3] = {Snap(p0->x), Snap(p1->x), Snap(p2->x)};
        int64_t Y[3] = {Snap(p0->y), Snap(p1->y), Snap(p2->y)};
        int64_t nArea = (X[1] - X[0]) * (Y[2] - Y[0]) - (X[2] - X[0]) * (Y[1] - Y[0]);
        if (nArea == 0)
            return;
        // Positive area is clockwise on screen (y down), the front face.
        const bool bBack = nArea < 0;
        if ((bBack && m_job.nCullMode == D3DCULL_CCW) || (!bBack && m_job.nCullMode == D3DCULL_CW))
            return;
        if (m_job.bWireframe)
        {
            AddLine(p0, p1, pFlat, bBack);
            AddLine(p1, p2, pFlat, bBack);
            AddLine(p2, p0, pFlat, bBack);
            return;
        }
        Setup s{};
        s.kind = PrimitiveKind::Triangle;
        s.v[0] = p0, s.v[1] = p1, s.v[2] = p2;
        if (bBack)
        {
            std::swap(s.v[1], s.v[2]);
            std::swap(X[1], X[2]);
            std::swap(Y[1], Y[2]);
            nArea = -nArea;
        }
        s.pFlat = pFlat;
        s.bBackFace = bBack;
        s.fInvArea = 1.0 / (double)nArea;
        for (int i = 0; i < 3; ++i)
        {
            // Edge i runs from vertex i+1 to vertex i+2; it is zero there and area at vertex i.
            const int a = (i + 1) % 3, b = (i + 2) % 3;
            const int64_t dx = X[b] - X[a], dy = Y[b] - Y[a];
            s.A[i] = -dy;
            s.B[i] = dx;
            s.C[i] = dy * X[a] - dx * Y[a];
            const bool bTopLeft = (dy == 0 && dx > 0) || dy < 0;
            s.bias[i] = bTopLeft ? 0 : -1;
        }
        const int64_t minX = std::min({X[0], X[1], X[2]}), maxX = std::max({X[0], X[1], X[2]});
        const int64_t minY = std::min({Y[0], Y[1], Y[2]}), maxY = std::max({Y[0], Y[1], Y[2]});
        s.x0 = (int)((minX + SUBPIXELS - 1) >> 8);
        s.y0 = (int)((minY + SUBPIXELS - 1) >> 8);
        s.x1 = (int)(maxX >> 8) + 1;
        s.y1 = (int)(maxY >> 8) + 1;
        s.bPerspective = !(p0->q == p1->q && p1->q == p2->q);
        if (ClipBounds(s))
            setups.push_back(s);
    }

    // Pixels of a line: one per pixel centre crossed along the major axis, start included and
    // end excluded, the minor coordinate rounded to the nearest pixel centre.
    void AddLine(const ScreenVertex* p0, const ScreenVertex* p1, const ScreenVertex* pFlat, bool bBack)
    {
        Setup s{};
        s.kind = PrimitiveKind::Line;
        s.v[0] = p0, s.v[1] = p1, s.v[2] = p0;
        s.pFlat = pFlat;
        s.bBackFace = bBack;
        s.bPerspective = p0->q != p1->q;
        s.nFirstPixel = linePixels.size();
        const float dx = p1->x - p0->x, dy = p1->y - p0->y;
        const bool bXMajor = std::fabs(dx) >= std::fabs(dy);
        const float fStart = bXMajor ? p0->x : p0->y, fEnd = bXMajor ? p1->x : p1->y;
        const float fLength = fEnd - fStart;
        if (fLength == 0.0f)
            return;
        const int nStep = fLength > 0 ? 1 : -1;
        int i = fLength > 0 ? (int)std::ceil(fStart) : (int)std::floor(fStart);
        s.x0 = s.y0 = INT32_MAX;
        s.x1 = s.y1 = INT32_MIN;
        for (; fLength > 0 ? i < fEnd : i > fEnd; i += nStep)
        {
            const float t = ((float)i - fStart) / fLength;
            const float fMinor = bXMajor ? p0->y + t * dy : p0->x + t * dx;
            const int nMinor = (int)std::floor(fMinor + 0.5f);
            LinePixel pixel{bXMajor ? i : nMinor, bXMajor ? nMinor : i, t};
            if (pixel.x < m_job.scissor.left || pixel.x >= m_job.scissor.right || pixel.y < m_job.scissor.top ||
                pixel.y >= m_job.scissor.bottom)
                continue;
            linePixels.push_back(pixel);
            s.x0 = std::min(s.x0, pixel.x), s.x1 = std::max(s.x1, pixel.x + 1);
            s.y0 = std::min(s.y0, pixel.y), s.y1 = std::max(s.y1, pixel.y + 1);
        }
        s.nPixels = linePixels.size() - s.nFirstPixel;
        if (s.nPixels)
            setups.push_back(s);
    }

    // A point of size 1 covers (floor(x + 0.5), floor(y + 0.5)).
    void AddPoint(const ScreenVertex* p)
    {
        Setup s{};
        s.kind = PrimitiveKind::Point;
        s.v[0] = s.v[1] = s.v[2] = p;
        s.pFlat = p;
        s.x0 = (int)std::floor(p->x + 0.5f);
        s.y0 = (int)std::floor(p->y + 0.5f);
        s.x1 = s.x0 + 1;
        s.y1 = s.y0 + 1;
        if (ClipBounds(s))
            setups.push_back(s);
    }

    const RasterJob& m_job;
};

class TileRunner
{
public:
    TileRunner(const RasterJob& job, const std::vector<LinePixel>& linePixels)
        : m_job(job), m_linePixels(linePixels), m_nVaryings(job.pShading->VaryingsRead()),
          m_nColors(job.pShading->ColorsWritten())
    {
    }

    // Runs one primitive over the part of it inside rect.
    uint64_t Run(const Setup& s, const RECT& rect, TileLanes& lanes, unsigned nWorker) const
    {
        const int x0 = std::max<int>(s.x0, rect.left), x1 = std::min<int>(s.x1, rect.right);
        const int y0 = std::max<int>(s.y0, rect.top), y1 = std::min<int>(s.y1, rect.bottom);
        if (x0 >= x1 || y0 >= y1)
            return 0;
        uint64_t nPassed = 0;
        const int tx0 = x0 & ~(int)(TILE_SIZE - 1), ty0 = y0 & ~(int)(TILE_SIZE - 1);
        for (int ty = ty0; ty < y1; ty += TILE_SIZE)
            for (int tx = tx0; tx < x1; tx += TILE_SIZE)
            {
                double b1[TILE_LANES], b2[TILE_LANES];
                const uint64_t nMask = Coverage(s, tx, ty, x0, y0, x1, y1, b1, b2);
                if (nMask)
                    nPassed += ShadeTile(s, tx, ty, nMask, b1, b2, lanes, nWorker);
            }
        return nPassed;
    }

private:
    // Covered lanes of the tile at (tx, ty) inside [x0, x1) × [y0, y1), and the screen-space
    // weights of vertices 1 and 2 at every lane's pixel centre (outside lanes too, for
    // derivatives).
    uint64_t Coverage(const Setup& s, int tx, int ty, int x0, int y0, int x1, int y1, double* b1, double* b2) const
    {
        uint64_t nMask = 0;
        if (s.kind == PrimitiveKind::Triangle)
        {
            for (unsigned dy = 0; dy < TILE_SIZE; ++dy)
                for (unsigned dx = 0; dx < TILE_SIZE; ++dx)
                {
                    const int x = tx + (int)dx, y = ty + (int)dy;
                    const int64_t px = (int64_t)x * SUBPIXELS, py = (int64_t)y * SUBPIXELS;
                    const int64_t e0 = s.A[0] * px + s.B[0] * py + s.C[0];
                    const int64_t e1 = s.A[1] * px + s.B[1] * py + s.C[1];
                    const int64_t e2 = s.A[2] * px + s.B[2] * py + s.C[2];
                    const unsigned nLane = TileLane(dx, dy);
                    b1[nLane] = (double)e1 * s.fInvArea;
                    b2[nLane] = (double)e2 * s.fInvArea;
                    const bool bInside = e0 + s.bias[0] >= 0 && e1 + s.bias[1] >= 0 && e2 + s.bias[2] >= 0 &&
                                         x >= x0 && x < x1 && y >= y0 && y < y1;
                    nMask |= (uint64_t)bInside << nLane;
                }
            return nMask;
        }
        std::fill_n(b1, TILE_LANES, 0.0);
        std::fill_n(b2, TILE_LANES, 0.0);
        if (s.kind == PrimitiveKind::Point)
        {
            if (s.x0 >= tx && s.x0 < tx + (int)TILE_SIZE && s.y0 >= ty && s.y0 < ty + (int)TILE_SIZE)
                nMask = 1ull << TileLane(s.x0 - tx, s.y0 - ty);
            return nMask;
        }
        for (size_t i = 0; i < s.nPixels; ++i)
        {
            const LinePixel& pixel = m_linePixels[s.nFirstPixel + i];
            if (pixel.x < std::max(tx, x0) || pixel.x >= std::min(tx + (int)TILE_SIZE, x1) ||
                pixel.y < std::max(ty, y0) || pixel.y >= std::min(ty + (int)TILE_SIZE, y1))
                continue;
            const unsigned nLane = TileLane(pixel.x - tx, pixel.y - ty);
            nMask |= 1ull << nLane;
            b1[nLane] = pixel.t;
        }
        return nMask;
    }

    uint64_t ShadeTile(const Setup& s, int tx, int ty, uint64_t nMask, const double* b1, const double* b2,
                       TileLanes& lanes, unsigned nWorker) const
    {
        const ScreenVertex& v0 = *s.v[0];
        const ScreenVertex& v1 = *s.v[1];
        const ScreenVertex& v2 = *s.v[2];
        // Depth is linear in screen space.
        const double dz1 = (double)v1.z - v0.z, dz2 = (double)v2.z - v0.z;
        for (unsigned i = 0; i < TILE_LANES; ++i)
            lanes.depth[i] = (float)(v0.z + b1[i] * dz1 + b2[i] * dz2);
        // Varyings: perspective-correct weights unless 1/w is the same at every vertex.
        double p1[TILE_LANES], p2[TILE_LANES];
        const double* w1 = b1;
        const double* w2 = b2;
        if (s.bPerspective)
        {
            for (unsigned i = 0; i < TILE_LANES; ++i)
            {
                const double q0 = (1.0 - b1[i] - b2[i]) * v0.q, q1 = b1[i] * v1.q, q2 = b2[i] * v2.q;
                const double fInv = 1.0 / (q0 + q1 + q2);
                p1[i] = q1 * fInv;
                p2[i] = q2 * fInv;
            }
            w1 = p1;
            w2 = p2;
        }
        for (unsigned k = 0; k < VARYING_COUNT; ++k)
        {
            if (!((m_nVaryings >> k) & 1))
                continue;
            float* pOut = lanes.varyings[k];
            if (m_job.bFlat && k >= VARYING_COLOR)
            {
                std::fill_n(pOut, TILE_LANES, s.pFlat->varyings[k]);
                continue;
            }
            const double a0 = v0.varyings[k];
            const double d1 = (double)v1.varyings[k] - a0, d2 = (double)v2.varyings[k] - a0;
            if (d1 == 0.0 && d2 == 0.0)
                std::fill_n(pOut, TILE_LANES, v0.varyings[k]);
            else
                for (unsigned i = 0; i < TILE_LANES; ++i)
                    pOut[i] = (float)(a0 + w1[i] * d1 + w2[i] * d2);
        }
        m_job.pShading->Shade(lanes, nWorker);
        uint64_t nPassed = 0;
        for (unsigned dy = 0; dy < TILE_SIZE; ++dy)
            for (unsigned dx = 0; dx < TILE_SIZE; ++dx)
            {
                const unsigned nLane = TileLane(dx, dy);
                if (!((nMask >> nLane) & 1) || lanes.kill[nLane])
                    continue;
                float colors[4][4];
                MergeFragment fragment{};
                for (int t = 0; t < 4; ++t)
                {
                    if (!((m_nColors >> t) & 1))
                        continue;
                    for (int c = 0; c < 4; ++c)
                        colors[t][c] = lanes.colors[t][c][nLane];
                    fragment.colors[t] = colors[t];
                }
                fragment.fDepth = lanes.depth[nLane];
                fragment.bBackFace = s.bBackFace;
                nPassed += m_job.pMerger->Merge((UINT)(tx + (int)dx), (UINT)(ty + (int)dy), fragment);
            }
        return nPassed;
    }

    const RasterJob& m_job;
    const std::vector<LinePixel>& m_linePixels;
    uint64_t m_nVaryings;
    unsigned m_nColors;
};
}

uint64_t Rasterize(const RasterJob& job, WorkerPool& pool, bool bMayUseWorkers)
{
    SetupBuilder builder(job);
    builder.Build();
    if (builder.setups.empty())
        return 0;
    int64_t nPixels = 0;
    RECT bounds{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (const Setup& s : builder.setups)
    {
        nPixels += (int64_t)(s.x1 - s.x0) * (s.y1 - s.y0);
        bounds.left = std::min<LONG>(bounds.left, s.x0);
        bounds.top = std::min<LONG>(bounds.top, s.y0);
        bounds.right = std::max<LONG>(bounds.right, s.x1);
        bounds.bottom = std::max<LONG>(bounds.bottom, s.y1);
    }
    TileRunner runner(job, builder.linePixels);
    const bool bSplit = bMayUseWorkers && pool.GetThreadCount() > 1 && nPixels >= SMALL_DRAW_PIXELS;
    const unsigned nWorkers = bSplit ? pool.GetThreadCount() : 1;
    job.pShading->Prepare(nWorkers);
    std::vector<std::unique_ptr<TileLanes>> lanes(nWorkers);
    for (auto& pLanes : lanes)
        pLanes = std::make_unique<TileLanes>();
    if (!bSplit)
    {
        uint64_t nPassed = 0;
        for (const Setup& s : builder.setups)
            nPassed += runner.Run(s, bounds, *lanes[0], 0);
        return nPassed;
    }
    const int bx0 = bounds.left / BIN_SIZE, by0 = bounds.top / BIN_SIZE;
    const int nBinsX = (int)((bounds.right - 1) / BIN_SIZE) - bx0 + 1;
    const int nBinsY = (int)((bounds.bottom - 1) / BIN_SIZE) - by0 + 1;
    std::vector<uint64_t> counts((size_t)nBinsX * nBinsY, 0);
    pool.Run((unsigned)counts.size(), [&](unsigned nTask, unsigned nWorker) {
        const int bx = bx0 + (int)nTask % nBinsX, by = by0 + (int)nTask / nBinsX;
        const RECT bin{bx * BIN_SIZE, by * BIN_SIZE, (bx + 1) * BIN_SIZE, (by + 1) * BIN_SIZE};
        uint64_t nPassed = 0;
        for (const Setup& s : builder.setups)
            nPassed += runner.Run(s, bin, *lanes[nWorker], nWorker);
        counts[nTask] = nPassed;
    });
    uint64_t nTotal = 0;
    for (uint64_t n : counts)
        nTotal += n;
    return nTotal;
}
