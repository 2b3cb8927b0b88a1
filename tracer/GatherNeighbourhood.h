#pragma once
// The neighbourhood of the photon gather: the search radius of a photon kind, the number of
// cell shells around a point's cell that can hold photons within it, and the table of cell
// offsets that the gather visits, nearest shell first.
#include <d3dx9math.h>

#include <cstdint>
#include <vector>

// The gather never looks farther than this many shells (13 x 13 x 13 cells).
constexpr int MAX_GATHER_SHELLS = 6;
// With the shells clamped, R^2 becomes this many squared smallest cell sides.
constexpr float CLAMPED_RADIUS_CELLS_SQUARED = 35.0f;

struct GatherRadius
{
    float m_fRadiusSquared = 0.0f;        // R^2, world units squared
    float m_fHalfDiagonalSquared = 0.0f;  // h^2 of a cube cell of the largest side
    int m_nShells = 1;                     // n, 1 to MAX_GATHER_SHELLS
};

// h^2 = 3/4 cmax^2; R^2 = S h^2 N f / A; n = trunc(R / cmin) + 1, and past MAX_GATHER_SHELLS
// n = MAX_GATHER_SHELLS with R^2 = 35 cmin^2. A below 1 counts as 1.
GatherRadius ComputeGatherRadius(const D3DXVECTOR4& vCellSize, float fSearchRadius, int32_t nPhotons,
                                 float fRadiusFactor, int32_t nAverageCellPhotons);

// The (2n+1)^3 cell offsets (dx, dy, dz, 0): (0, 0, 0), then shell d = 1..n: the faces -x, +x
// (dy outer, dz inner), -y, +y (dx outer, dz inner), -z, +z (dx outer, dy inner) over 1-d..d-1;
// the four edges along z (dz from -d to d) at (-d,-d), (d,-d), (d,d), (-d,d); the four edges
// along y (1-d..d-1) at (dx, dz) = (d,d), (-d,d), (-d,-d), (d,-d); the four along x at
// (dy, dz) = (d,d), (-d,d), (-d,-d), (d,-d).
void BuildCellOffsetTable(int nShells, std::vector<D3DXVECTOR4>& table);
