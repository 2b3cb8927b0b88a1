#include "cpu/raster/Rasterizer.h"

#include "cpu/pool/WorkerPool.h"
#include "cpu/raster/TileShading.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>

namespace
{
constexpr int BIN_SIZE = 64;                // work split: 64×64-pixel bins, multiples of the tile
constexpr int64_t SMALL_DRAW_PIXELS = 16384; // smaller draws run on the calling thread

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
