#include "cpu/raster/TileShading.h"

#include "cpu/VectorClones.h"

#include <algorithm>
#include <bit>
#include <cstring>

TileRunner::TileRunner(const RasterJob& job, const std::vector<LinePixel>& linePixels)
    : m_job(job), m_linePixels(linePixels), m_nVaryings(job.pShading->VaryingsRead()),
      m_nColors(job.pShading->ColorsWritten()),
      m_bEarlyTests(!job.pShading->ChangesCoverage() && !(job.pMerger->TestsAlpha() && (m_nColors & 1))),
      m_bSkipShading(m_bEarlyTests && job.pMerger->IgnoresColors(m_nColors))
{
    if (m_bSkipShading)
        m_nVaryings = 0;
}

void TileRunner::Run(const Setup& s, const RECT& rect, QuadBatch& batch, unsigned nWorker, RasterCounts& counts) const
{
    const int x0 = std::max<int>(s.x0, rect.left), x1 = std::min<int>(s.x1, rect.right);
    const int y0 = std::max<int>(s.y0, rect.top), y1 = std::min<int>(s.y1, rect.bottom);
    if (x0 >= x1 || y0 >= y1)
        return;
    const int tx0 = x0 & ~(int)(TILE_SIZE - 1), ty0 = y0 & ~(int)(TILE_SIZE - 1);
    for (int ty = ty0; ty < y1; ty += TILE_SIZE)
        for (int tx = tx0; tx < x1; tx += TILE_SIZE)
        {
            double b1[TILE_LANES], b2[TILE_LANES];
            const uint64_t nMask = Coverage(s, tx, ty, x0, y0, x1, y1, b1, b2);
            if (nMask)
                AddTile(s, tx, ty, nMask, b1, b2, batch, nWorker, counts);
        }
}

namespace
{
// Each lane's pixel offset inside its tile.
struct LaneOffsets
{
    double dx[TILE_LANES], dy[TILE_LANES];
    constexpr LaneOffsets() : dx(), dy()
    {
        for (unsigned y = 0; y < TILE_SIZE; ++y)
            for (unsigned x = 0; x < TILE_SIZE; ++x)
            {
                dx[TileLane(x, y)] = x;
                dy[TileLane(x, y)] = y;
            }
    }
};
constexpr LaneOffsets LANE_OFFSETS;

// a0 + w1·d1 + w2·d2 for n lanes.
VECTOR_CLONES void InterpolateLanes(double a0, double d1, double d2, const double* w1, const double* w2, unsigned n,
                                    float* pOut)
{
    for (unsigned i = 0; i < n; ++i)
        pOut[i] = (float)(a0 + w1[i] * d1 + w2[i] * d2);
}

// Perspective-correct weights of vertices 1 and 2 from the screen-space ones and each vertex's 1/w.
VECTOR_CLONES void PerspectiveWeights(double q0, double q1, double q2, const double* b1, const double* b2, unsigned n,
                                      double* p1, double* p2)
{
    for (unsigned i = 0; i < n; ++i)
    {
        const double f0 = (1.0 - b1[i] - b2[i]) * q0, f1 = b1[i] * q1, f2 = b2[i] * q2;
        const double fInv = 1.0 / (f0 + f1 + f2);
        p1[i] = f1 * fInv;
        p2[i] = f2 * fInv;
    }
}

// fEdge + fStepX·dx + fStepY·dy at each lane's pixel offset (dx, dy).
VECTOR_CLONES void EdgeLanes(double fEdge, double fStepX, double fStepY, double* pOut)
{
    for (unsigned i = 0; i < TILE_LANES; ++i)
        pOut[i] = fEdge + fStepX * LANE_OFFSETS.dx[i] + fStepY * LANE_OFFSETS.dy[i];
}

VECTOR_CLONES void ScaleLanes(const double* pIn, double fScale, double* pOut)
{
    for (unsigned i = 0; i < TILE_LANES; ++i)
        pOut[i] = pIn[i] * fScale;
}

// The lanes (bit i: lane i) inside all three edges by the top-left rule: E + bias >= 0, with
// bias 0 or -1.
VECTOR_CLONES uint64_t InsideLanes(const double (*e)[TILE_LANES], const int64_t bias[3])
{
    const double t0 = (double)-bias[0], t1 = (double)-bias[1], t2 = (double)-bias[2];
    uint8_t inside[TILE_LANES];
    for (unsigned i = 0; i < TILE_LANES; ++i)
        inside[i] = (uint8_t)((e[0][i] >= t0) & (e[1][i] >= t1) & (e[2][i] >= t2));
    // Eight flags of 0 or 1 to eight bits: the multiplier moves byte j to bit 56 + j, with no
    // carries between them.
    uint64_t nLanes = 0;
    for (unsigned j = 0; j < TILE_LANES / 8; ++j)
    {
        uint64_t nBytes;
        std::memcpy(&nBytes, inside + j * 8, 8);
        nLanes |= ((nBytes * 0x0102040810204080ull) >> 56) << (j * 8);
    }
    return nLanes;
}

// A lane mask (bit i: lane i) as a pixel mask (bit dy·8 + dx).
uint64_t LanesToPixels(uint64_t nLanes)
{
    // Each quad's four lanes (top-left, top-right, bottom-left, bottom-right) to its pixels'
    // bits relative to the top-left one.
    static constexpr uint16_t QUAD_PIXELS[16] = {0x000, 0x001, 0x002, 0x003, 0x100, 0x101, 0x102, 0x103,
                                                 0x200, 0x201, 0x202, 0x203, 0x300, 0x301, 0x302, 0x303};
    uint64_t nPixels = 0;
    for (unsigned q = 0; nLanes; ++q, nLanes >>= 4)
        nPixels |= (uint64_t)QUAD_PIXELS[nLanes & 0xF] << ((q / 4) * 2 * TILE_SIZE + (q % 4) * 2);
    return nPixels;
}

// Pixels of the tile at (tx, ty) inside [x0, x1) × [y0, y1).
uint64_t BoundsMask(int tx, int ty, int x0, int y0, int x1, int y1)
{
    const int nTile = (int)TILE_SIZE;
    const unsigned nColumns =
        ((1u << std::clamp(x1 - tx, 0, nTile)) - 1u) & ~((1u << std::clamp(x0 - tx, 0, nTile)) - 1u);
    uint64_t nMask = 0;
    for (int dy = std::clamp(y0 - ty, 0, nTile); dy < std::clamp(y1 - ty, 0, nTile); ++dy)
        nMask |= (uint64_t)nColumns << (dy * nTile);
    return nMask;
}

// The quads (bit q: lanes 4q .. 4q+3) holding any pixel of a pixel mask.
uint16_t QuadsOf(uint64_t nMask)
{
    // Fold each quad's two rows, then its two columns, onto its top-left pixel.
    const uint64_t nRows = (nMask | (nMask >> TILE_SIZE)) & 0x00FF00FF00FF00FFull;
    const uint64_t nCorners = (nRows | (nRows >> 1)) & 0x0055005500550055ull;
    uint16_t nQuads = 0;
    for (unsigned qy = 0; qy < TILE_SIZE / 2; ++qy)
    {
        const unsigned nRow = (unsigned)(nCorners >> (qy * 2 * TILE_SIZE)) & 0x55u;
        // Bits 0, 2, 4, 6 of the row become bits 0-3.
        const unsigned nPacked = (nRow & 1u) | ((nRow >> 1) & 2u) | ((nRow >> 2) & 4u) | ((nRow >> 3) & 8u);
        nQuads |= (uint16_t)(nPacked << (qy * 4));
    }
    return nQuads;
}
}

uint64_t TileRunner::Coverage(const Setup& s, int tx, int ty, int x0, int y0, int x1, int y1, double* b1,
                              double* b2) const
{
    uint64_t nMask = 0;
    if (s.kind == PrimitiveKind::Triangle)
    {
        // Edge values at the tile's first pixel; one pixel right adds A·256, one down B·256. An
        // edge's extremes over the tile are at its corners: a tile wholly outside one edge is
        // rejected from them, and one wholly inside all three needs no test per pixel.
        const int64_t px = (int64_t)tx * SUBPIXELS, py = (int64_t)ty * SUBPIXELS;
        const int64_t nLast = (int64_t)(TILE_SIZE - 1);
        int64_t edge[3], stepX[3], stepY[3];
        bool bAllInside = true;
        for (int i = 0; i < 3; ++i)
        {
            edge[i] = s.A[i] * px + s.B[i] * py + s.C[i];
            stepX[i] = s.A[i] * SUBPIXELS;
            stepY[i] = s.B[i] * SUBPIXELS;
            const int64_t nAcrossX = stepX[i] * nLast, nAcrossY = stepY[i] * nLast;
            const int64_t nBiased = edge[i] + s.bias[i];
            if (nBiased + std::max<int64_t>(0, nAcrossX) + std::max<int64_t>(0, nAcrossY) < 0)
                return 0;
            bAllInside &= nBiased + std::min<int64_t>(0, nAcrossX) + std::min<int64_t>(0, nAcrossY) >= 0;
        }
        // Edge values at every lane's pixel centre. They are integers well below 2^53, so
        // stepping them in double is exact, and the weights of vertices 1 and 2 (outside lanes
        // too, for derivatives) come from the same values.
        double e[3][TILE_LANES];
        for (int k = bAllInside ? 1 : 0; k < 3; ++k)
            EdgeLanes((double)edge[k], (double)stepX[k], (double)stepY[k], e[k]);
        nMask = BoundsMask(tx, ty, x0, y0, x1, y1);
        if (!bAllInside)
            nMask &= LanesToPixels(InsideLanes(e, s.bias));
        if (!nMask)
            return 0;
        ScaleLanes(e[1], s.fInvArea, b1);
        ScaleLanes(e[2], s.fInvArea, b2);
        return nMask;
    }
    std::fill_n(b1, TILE_LANES, 0.0);
    std::fill_n(b2, TILE_LANES, 0.0);
    if (s.kind == PrimitiveKind::Point)
    {
        if (s.x0 >= tx && s.x0 < tx + (int)TILE_SIZE && s.y0 >= ty && s.y0 < ty + (int)TILE_SIZE)
            nMask = 1ull << ((s.y0 - ty) * (int)TILE_SIZE + s.x0 - tx);
        return nMask;
    }
    for (size_t i = 0; i < s.nPixels; ++i)
    {
        const LinePixel& pixel = m_linePixels[s.nFirstPixel + i];
        if (pixel.x < std::max(tx, x0) || pixel.x >= std::min(tx + (int)TILE_SIZE, x1) ||
            pixel.y < std::max(ty, y0) || pixel.y >= std::min(ty + (int)TILE_SIZE, y1))
            continue;
        nMask |= 1ull << ((pixel.y - ty) * (int)TILE_SIZE + pixel.x - tx);
        b1[TileLane(pixel.x - tx, pixel.y - ty)] = pixel.t;
    }
    return nMask;
}

void TileRunner::AddTile(const Setup& s, int tx, int ty, uint64_t nMask, const double* b1, const double* b2,
                         QuadBatch& batch, unsigned nWorker, RasterCounts& counts) const
{
    const ScreenVertex& v0 = *s.v[0];
    const ScreenVertex& v1 = *s.v[1];
    const ScreenVertex& v2 = *s.v[2];
    const OutputMerger& merger = *m_job.pMerger;
    // Depth is linear in screen space; only the merger reads it.
    float depth[TILE_LANES];
    if (merger.ReadsDepth())
        InterpolateLanes(v0.z, (double)v1.z - v0.z, (double)v2.z - v0.z, b1, b2, TILE_LANES, depth);
    if (m_bEarlyTests)
    {
        nMask = merger.TestDepthStencil(tx, ty, nMask, depth, s.bBackFace);
        if (!nMask)
            return;
    }
    counts.nShaded += (uint64_t)std::popcount(nMask);
    const uint16_t nTileQuads = QuadsOf(nMask);
    if (batch.nQuads + (unsigned)std::popcount(nTileQuads) > QuadBatch::QUADS)
        Flush(batch, nWorker, counts);
    // The weights of the piece's lanes, packed in batch order.
    const unsigned nFirst = batch.nQuads * 4;
    double c1[TILE_LANES], c2[TILE_LANES];
    unsigned n = 0;
    for (uint16_t nQuads = nTileQuads; nQuads; nQuads &= (uint16_t)(nQuads - 1), n += 4)
    {
        const unsigned nLane = (unsigned)std::countr_zero(nQuads) * 4;
        std::copy_n(b1 + nLane, 4, c1 + n);
        std::copy_n(b2 + nLane, 4, c2 + n);
        if (merger.ReadsDepth())
            std::copy_n(depth + nLane, 4, batch.lanes.depth + nFirst + n);
    }
    batch.pieces[batch.nPieces++] = {&s, tx, ty, nMask, nTileQuads, (uint8_t)batch.nQuads};
    batch.nQuads += n / 4;
    // Varyings: perspective-correct weights unless 1/w is the same at every vertex.
    double p1[TILE_LANES], p2[TILE_LANES];
    const double* w1 = c1;
    const double* w2 = c2;
    if (s.bPerspective)
    {
        PerspectiveWeights(v0.q, v1.q, v2.q, c1, c2, n, p1, p2);
        w1 = p1;
        w2 = p2;
    }
    // The vertices' varyings held locally: the stores into the batch may alias them otherwise.
    const float* const pV0 = v0.varyings;
    const float* const pV1 = v1.varyings;
    const float* const pV2 = v2.varyings;
    for (uint64_t nRead = m_nVaryings; nRead; nRead &= nRead - 1)
    {
        const unsigned k = (unsigned)std::countr_zero(nRead);
        float* pOut = batch.lanes.varyings[k] + nFirst;
        if (m_job.bFlat && k >= VARYING_COLOR)
        {
            std::fill_n(pOut, n, s.pFlat->varyings[k]);
            continue;
        }
        const double a0 = pV0[k];
        const double d1 = (double)pV1[k] - a0, d2 = (double)pV2[k] - a0;
        if (d1 == 0.0 && d2 == 0.0)
            std::fill_n(pOut, n, pV0[k]);
        else
            InterpolateLanes(a0, d1, d2, w1, w2, n, pOut);
    }
}

void TileRunner::Flush(QuadBatch& batch, unsigned nWorker, RasterCounts& counts) const
{
    if (!batch.nQuads)
        return;
    if (!m_bSkipShading)
        m_job.pShading->Shade(batch.lanes, nWorker);
    const OutputMerger& merger = *m_job.pMerger;
    for (unsigned i = 0; i < batch.nPieces; ++i)
    {
        const QuadBatch::Piece& piece = batch.pieces[i];
        // The piece's quads back in tile order (none when nothing was shaded).
        unsigned nFrom = piece.nFirstQuad * 4;
        const uint16_t nShadedQuads = m_bSkipShading ? 0 : piece.nTileQuads;
        for (uint16_t nQuads = nShadedQuads; nQuads; nQuads &= (uint16_t)(nQuads - 1), nFrom += 4)
        {
            const unsigned nTo = (unsigned)std::countr_zero(nQuads) * 4;
            for (unsigned t = 0; t < 4; ++t)
                if ((m_nColors >> t) & 1)
                    for (unsigned c = 0; c < 4; ++c)
                        std::copy_n(batch.lanes.colors[t][c] + nFrom, 4, batch.colors[t][c] + nTo);
            if (!m_bEarlyTests)
            {
                std::copy_n(batch.lanes.depth + nFrom, 4, batch.depth + nTo);
                std::copy_n(batch.lanes.kill + nFrom, 4, batch.kill + nTo);
            }
        }
        uint64_t nMask = piece.nMask;
        if (!m_bEarlyTests)
        {
            for (unsigned p = 0; p < TILE_LANES; ++p)
                if (batch.kill[TILE_PIXEL_LANES.lanes[p]])
                    nMask &= ~(1ull << p);
            if (merger.TestsAlpha() && (m_nColors & 1))
                nMask = merger.AlphaTest(nMask, batch.colors[0][3]);
            nMask = merger.TestDepthStencil(piece.tx, piece.ty, nMask, batch.depth, piece.pSetup->bBackFace);
        }
        merger.StoreColors(piece.tx, piece.ty, nMask, batch.colors, m_nColors);
        counts.nPassed += (uint64_t)std::popcount(nMask);
    }
    batch.nQuads = 0;
    batch.nPieces = 0;
}
