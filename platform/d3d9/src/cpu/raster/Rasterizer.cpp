#include "cpu/raster/Rasterizer.h"

#include "cpu/pool/WorkerPool.h"
#include "cpu/raster/LineRaster.h"
#include "cpu/raster/TileShading.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>

namespace
{
// Work split: square bins, multiples of the tile. A large draw gets 64×64 bins; a mid-sized one
// (a mesh of a few thousand pixels) 32×32 bins, so that it still spreads over the workers. Below
// SMALL_DRAW_PIXELS a draw runs on the calling thread: waking the workers would cost more than
// they save (the query loop's single tile triangles).
constexpr int BIN_SIZE = 64;
constexpr int SMALL_BIN_SIZE = 32;
constexpr int64_t SMALL_DRAW_PIXELS = 2048;
constexpr int64_t LARGE_DRAW_PIXELS = 65536;
constexpr size_t SETUP_CHUNK = 128;         // primitives set up per task when setup is split

// Rounds f·256 half away from zero, as llround does, without the library call: the product has
// at most 24 significant bits, so below 2^52 adding ±0.5 is exact (or, for tiny values, cannot
// reach the next integer) and truncation completes the rounding.
int64_t Snap(float f)
{
    const double d = (double)f * SUBPIXELS;
    if (!(std::fabs(d) < 4503599627370496.0))   // 2^52, and NaN
        return (int64_t)std::llround(d);
    return (int64_t)(d + (d < 0.0 ? -0.5 : 0.5));
}

class SetupBuilder
{
public:
    SetupBuilder(const RasterJob& job, std::vector<Setup>& setups, std::vector<LinePixel>& linePixels)
        : setups(setups), linePixels(linePixels), m_job(job)
    {
    }

    // Sets up primitives [nBegin, nEnd) of the job, appending to setups and linePixels.
    void Build(size_t nBegin, size_t nEnd)
    {
        for (size_t n = nBegin; n < nEnd; ++n)
        {
            const Primitive& primitive = m_job.primitives[n];
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

    std::vector<Setup>& setups;
    std::vector<LinePixel>& linePixels;

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
        // Built in place: a copy of the large record into the list costs more than its set-up.
        Setup& s = setups.emplace_back();
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
        if (!ClipBounds(s))
            setups.pop_back();
    }

    // Pixels of a line by the diamond-exit rule.
    void AddLine(const ScreenVertex* p0, const ScreenVertex* p1, const ScreenVertex* pFlat, bool bBack)
    {
        Setup s{};
        s.kind = PrimitiveKind::Line;
        s.v[0] = p0, s.v[1] = p1, s.v[2] = p0;
        s.pFlat = pFlat;
        s.bBackFace = bBack;
        s.bPerspective = p0->q != p1->q;
        s.nFirstPixel = linePixels.size();
        AppendLinePixels(p0->x, p0->y, p1->x, p1->y, m_job.scissor, linePixels);
        s.x0 = s.y0 = INT32_MAX;
        s.x1 = s.y1 = INT32_MIN;
        for (size_t i = s.nFirstPixel; i < linePixels.size(); ++i)
        {
            const LinePixel& pixel = linePixels[i];
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

struct RasterScratch::Storage
{
    // Set-up primitives in submission order, chunk after chunk (one chunk unless setup was
    // split over the workers).
    std::vector<std::vector<Setup>> chunks;
    size_t nChunks = 0;
    std::vector<LinePixel> linePixels;
    std::vector<std::unique_ptr<QuadBatch>> batches;   // one per worker
    std::vector<UINT> binStarts;   // per bin, its first entry in binItems; one more at the end
    std::vector<const Setup*> binItems;   // set-up primitives by bin, in submission order
    std::vector<RasterCounts> binCounts;
    std::vector<unsigned> binOrder;       // the order in which the bins are handed out

    template <class Fn>
    void ForEachSetup(Fn fn) const
    {
        for (size_t c = 0; c < nChunks; ++c)
            for (const Setup& s : chunks[c])
                fn(s);
    }
};

RasterScratch::RasterScratch() : m_pStorage(std::make_unique<Storage>())
{
}

RasterScratch::~RasterScratch() = default;

namespace
{
// Sets up the job's primitives. Many triangles or points are set up in chunks on the workers;
// lines stay on the calling thread, since their pixels go into one list in order.
void BuildSetups(const RasterJob& job, WorkerPool& pool, bool bMayUseWorkers, RasterScratch::Storage& storage)
{
    const size_t nPrimitives = job.primitives.size();
    const bool bLines = job.bWireframe || (nPrimitives && job.primitives[0].kind == PrimitiveKind::Line);
    const bool bSplit = bMayUseWorkers && !bLines && pool.GetThreadCount() > 1 && nPrimitives > 2 * SETUP_CHUNK;
    storage.nChunks = bSplit ? (nPrimitives + SETUP_CHUNK - 1) / SETUP_CHUNK : 1;
    if (storage.chunks.size() < storage.nChunks)
        storage.chunks.resize(storage.nChunks);
    storage.linePixels.clear();
    if (!bSplit)
    {
        storage.chunks[0].clear();
        SetupBuilder(job, storage.chunks[0], storage.linePixels).Build(0, nPrimitives);
        return;
    }
    pool.Run((unsigned)storage.nChunks, [&](unsigned nChunk, unsigned) {
        std::vector<Setup>& chunk = storage.chunks[nChunk];
        chunk.clear();
        std::vector<LinePixel> noLines;
        SetupBuilder(job, chunk, noLines).Build(nChunk * SETUP_CHUNK, std::min(nPrimitives, (nChunk + 1) * SETUP_CHUNK));
    });
}

// A quad batch for each worker, empty, with kill flags clear.
void PrepareBatches(std::vector<std::unique_ptr<QuadBatch>>& batches, unsigned nWorkers)
{
    while (batches.size() < nWorkers)
        batches.push_back(std::make_unique<QuadBatch>());
    for (unsigned i = 0; i < nWorkers; ++i)
    {
        QuadBatch& batch = *batches[i];
        batch.nQuads = batch.nPieces = 0;
        std::fill(std::begin(batch.lanes.kill), std::end(batch.lanes.kill), 0);
    }
}

// The bins [bx0, bx1] × [by0, by1] a set-up primitive touches, relative to the first bin.
struct BinRange
{
    int bx0, by0, bx1, by1;
};

BinRange BinsOf(const Setup& s, int nBinSize, int nFirstBinX, int nFirstBinY)
{
    return {s.x0 / nBinSize - nFirstBinX, s.y0 / nBinSize - nFirstBinY, (s.x1 - 1) / nBinSize - nFirstBinX,
            (s.y1 - 1) / nBinSize - nFirstBinY};
}

// Sorts the set-up primitives into the bins they touch, keeping submission order in each bin.
void FillBins(RasterScratch::Storage& storage, int nBinSize, int bx0, int by0, int nBinsX, int nBinsY)
{
    std::vector<UINT>& starts = storage.binStarts;
    starts.assign((size_t)nBinsX * nBinsY + 1, 0);
    storage.ForEachSetup([&](const Setup& s) {
        const BinRange r = BinsOf(s, nBinSize, bx0, by0);
        for (int by = r.by0; by <= r.by1; ++by)
            for (int bx = r.bx0; bx <= r.bx1; ++bx)
                ++starts[(size_t)by * nBinsX + bx + 1];
    });
    for (size_t i = 1; i < starts.size(); ++i)
        starts[i] += starts[i - 1];
    storage.binItems.resize(starts.back());
    // Each bin's next free entry, counted from the start of binItems; starts is restored below.
    storage.ForEachSetup([&](const Setup& s) {
        const BinRange r = BinsOf(s, nBinSize, bx0, by0);
        for (int by = r.by0; by <= r.by1; ++by)
            for (int bx = r.bx0; bx <= r.bx1; ++bx)
                storage.binItems[starts[(size_t)by * nBinsX + bx]++] = &s;
    });
    // Every bin's cursor now sits at the next bin's start: shift back by one.
    for (size_t i = starts.size() - 1; i > 0; --i)
        starts[i] = starts[i - 1];
    starts[0] = 0;
}
}

RasterCounts Rasterize(const RasterJob& job, WorkerPool& pool, bool bMayUseWorkers, RasterScratch& scratch)
{
    RasterScratch::Storage& storage = scratch.Get();
    BuildSetups(job, pool, bMayUseWorkers, storage);
    int64_t nPixels = 0;
    RECT bounds{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    storage.ForEachSetup([&](const Setup& s) {
        nPixels += (int64_t)(s.x1 - s.x0) * (s.y1 - s.y0);
        bounds.left = std::min<LONG>(bounds.left, s.x0);
        bounds.top = std::min<LONG>(bounds.top, s.y0);
        bounds.right = std::max<LONG>(bounds.right, s.x1);
        bounds.bottom = std::max<LONG>(bounds.bottom, s.y1);
    });
    if (nPixels == 0)
        return {};
    TileRunner runner(job, storage.linePixels);
    const int nBinSize = nPixels >= LARGE_DRAW_PIXELS ? BIN_SIZE : SMALL_BIN_SIZE;
    const int bx0 = bounds.left / nBinSize, by0 = bounds.top / nBinSize;
    const int nBinsX = (int)((bounds.right - 1) / nBinSize) - bx0 + 1;
    const int nBinsY = (int)((bounds.bottom - 1) / nBinSize) - by0 + 1;
    const bool bSplit = bMayUseWorkers && pool.GetThreadCount() > 1 && nPixels >= SMALL_DRAW_PIXELS && nBinsX * nBinsY > 1;
    const unsigned nWorkers = bSplit ? pool.GetThreadCount() : 1;
    job.pShading->Prepare(nWorkers);
    PrepareBatches(storage.batches, nWorkers);
    if (!bSplit)
    {
        RasterCounts counts;
        QuadBatch& batch = *storage.batches[0];
        storage.ForEachSetup([&](const Setup& s) { runner.Run(s, bounds, batch, 0, counts); });
        runner.Flush(batch, 0, counts);
        return counts;
    }
    FillBins(storage, nBinSize, bx0, by0, nBinsX, nBinsY);
    storage.binCounts.assign((size_t)nBinsX * nBinsY, RasterCounts());
    // The busiest bins first, so that no long bin starts last and holds the draw up alone.
    std::vector<unsigned>& order = storage.binOrder;
    order.resize(storage.binCounts.size());
    for (unsigned i = 0; i < order.size(); ++i)
        order[i] = i;
    const std::vector<UINT>& starts = storage.binStarts;
    std::sort(order.begin(), order.end(), [&](unsigned a, unsigned b) {
        const UINT nA = starts[a + 1] - starts[a], nB = starts[b + 1] - starts[b];
        return nA != nB ? nA > nB : a < b;
    });
    pool.Run((unsigned)order.size(), [&](unsigned nTask, unsigned nWorker) {
        const unsigned nBin = order[nTask];
        const int bx = bx0 + (int)nBin % nBinsX, by = by0 + (int)nBin / nBinsX;
        const RECT bin{bx * nBinSize, by * nBinSize, (bx + 1) * nBinSize, (by + 1) * nBinSize};
        RasterCounts counts;
        QuadBatch& batch = *storage.batches[nWorker];
        for (UINT i = storage.binStarts[nBin]; i < storage.binStarts[nBin + 1]; ++i)
            runner.Run(*storage.binItems[i], bin, batch, nWorker, counts);
        runner.Flush(batch, nWorker, counts);
        storage.binCounts[nBin] = counts;
    });
    RasterCounts total;
    for (const RasterCounts& counts : storage.binCounts)
        total += counts;
    return total;
}
