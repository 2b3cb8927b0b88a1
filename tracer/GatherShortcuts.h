#pragma once
// Work of the photon gather that cannot change a pixel, found on the CPU from what the tile's
// targets and the photon sort hold, and left out. Each shortcut has its own switch, so that an
// image rendered with it and one rendered without it can be compared byte for byte.
#include <d3d9.h>
#include <d3dx9math.h>

#include <cstdint>
#include <vector>

struct GatherShortcuts
{
    // (block, cell offset) pairs through which no visible point's cell reaches a cell holding a
    // photon of the block are not walked.
    bool bSkipEmptyPairs = true;
    // Within a pair, tile triangles none of whose pixels can reach a photon (the moved cell is
    // outside the grid, holds no photon of the block, or lies beyond R + h) are done from the
    // start.
    bool bSkipUnreachableTriangles = true;
    // Tile triangles all of whose pixels have gathered N photons are done in every later pair
    // of the call.
    bool bSkipFinishedTriangles = true;
    // The copy pass draws only the triangles where the photon-target pair may differ (those the
    // previous radiance-estimate pass drew, and all of them in a call's first walk); elsewhere
    // the two targets hold the same sums already.
    bool bCopyOnlyDifferingTriangles = true;
    // The cell index of the photon sort draws points only for the occupied cells (and those of the
    // grid texture's last, partial row); one quad gives the other cells their (-1, -1).
    bool bIndexOccupiedCellsOnly = true;
    // The gather walks tile quads of about this many pixels a side (at least the 16 x 16 quads of
    // the tile vertex buffer): where few pixels still walk, smaller triangles leave fewer
    // finished pixels in the passes. 0 keeps the 16 x 16 quads.
    int32_t nFineQuadPixels = 8;
    // A pass over the still active triangles (or one occlusion query's run of them) is one draw
    // of a triangle list built on the CPU instead of one draw per run of consecutive triangles:
    // the device spreads a large draw over its workers and runs each small one on one thread.
    bool bDrawActiveAsOneList = true;
    // The photon-address pass queries each run of triangles (and drops those that passed nothing)
    // only after a pass in which some pixel stopped; otherwise it is one draw under one query. A
    // stopped pixel stays stopped, so while the count holds no triangle has finished, and a
    // finished triangle drawn once more lets no pixel through.
    bool bQueryRunsAfterStopsOnly = true;
};
extern GatherShortcuts g_GatherShortcuts;

// An A16B16G16R16F render-target texture read back as floats, four a pixel, row by row; false
// when it cannot be read.
bool ReadHalfFloatTarget(IDirect3DDevice9* pDevice, IDirect3DTexture9* pTexture, int32_t& nWidth, int32_t& nHeight,
                         std::vector<float>& rgba);

// The gather's tile quads per axis for an axis of nSize pixels.
int GatherQuadsPerAxis(int32_t nSize);

// What the CPU knows of the tile's visible points, per tile quad (the two triangles 2q and
// 2q + 1 of quad q = columns x r + c, row 0 at the bottom of the screen): the distinct grid cells of the
// pixels the quad may cover (one pixel of margin around its rectangle, so the device's fill
// rule needs no repeating here), each with the box around those pixels' positions.
class GatherReach
{
public:
    // From the cell-coordinate and position targets of the tile; false when either cannot be
    // read or their sizes differ.
    bool Read(IDirect3DDevice9* pDevice, IDirect3DTexture9* pCells, IDirect3DTexture9* pPositions, int nColumns,
              int nRows);

    // Marks done every triangle none of whose pixels can reach a photon of a block through the
    // cell offset: the moved cell lies outside the n^3 grid, is not occupied, or its centre lies
    // at (R + h) or more from every position of the cell's box (fReach2 = (R + h)^2, with a
    // margin for the device's rounding). vCellSize and vGridMin are the grid's. True when some
    // triangle is still to be walked.
    bool MarkUnreachable(const std::vector<uint8_t>& occupancy, int32_t nGrid, const D3DXVECTOR4& vOffset,
                         float fReach2, const D3DXVECTOR4& vCellSize, const D3DXVECTOR3& vGridMin,
                         std::vector<uint8_t>& done) const;

    // Marks done every triangle all of whose pixels' weighted counts (the alpha of the diffuse
    // sums, four floats a pixel) are N or more: such pixels go on in no later pass.
    void MarkFinished(const std::vector<float>& sums, float fN, std::vector<uint8_t>& done) const;

private:
    struct CellBox
    {
        int32_t x, y, z;
        float vMin[3], vMax[3];
    };
    struct Quad
    {
        int32_t x0, y0, x1, y1;  // the pixel rectangle with its margin, ends excluded
        bool bAlways;            // a pixel whose cell or position is not finite: always walked
        std::vector<CellBox> cells;
    };
    int32_t m_nWidth = 0, m_nHeight = 0;
    std::vector<Quad> m_Quads;
};
