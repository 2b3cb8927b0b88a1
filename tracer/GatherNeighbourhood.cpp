#include "tracer/GatherNeighbourhood.h"

#include <algorithm>
#include <cmath>

GatherRadius ComputeGatherRadius(const D3DXVECTOR4& vCellSize, float fSearchRadius, int32_t nPhotons,
                                 float fRadiusFactor, int32_t nAverageCellPhotons)
{
    const float cmax = std::max(vCellSize.x, std::max(vCellSize.y, vCellSize.z));
    const float cmin = std::min(vCellSize.x, std::min(vCellSize.y, vCellSize.z));
    GatherRadius radius;
    radius.m_fHalfDiagonalSquared = 0.75f * cmax * cmax;
    const float fAverage = static_cast<float>(std::max<int32_t>(nAverageCellPhotons, 1));
    radius.m_fRadiusSquared =
        fSearchRadius * radius.m_fHalfDiagonalSquared * static_cast<float>(nPhotons) * fRadiusFactor / fAverage;
    const float fShells = cmin > 0.0f ? std::sqrt(std::max(radius.m_fRadiusSquared, 0.0f)) / cmin : 0.0f;
    // A radius past the clamp (or not finite) takes the clamp's values.
    if (!(fShells < static_cast<float>(MAX_GATHER_SHELLS)))
    {
        radius.m_nShells = MAX_GATHER_SHELLS;
        radius.m_fRadiusSquared = CLAMPED_RADIUS_CELLS_SQUARED * cmin * cmin;
    }
    else
        radius.m_nShells = static_cast<int>(fShells) + 1;
    return radius;
}

void BuildCellOffsetTable(int nShells, std::vector<D3DXVECTOR4>& table)
{
    table.clear();
    auto add = [&table](int x, int y, int z) {
        table.emplace_back(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z), 0.0f);
    };
    add(0, 0, 0);
    for (int d = 1; d <= nShells; ++d)
    {
        for (int s : {-d, d})
            for (int a = 1 - d; a <= d - 1; ++a)
                for (int b = 1 - d; b <= d - 1; ++b)
                    add(s, a, b);
        for (int s : {-d, d})
            for (int a = 1 - d; a <= d - 1; ++a)
                for (int b = 1 - d; b <= d - 1; ++b)
                    add(a, s, b);
        for (int s : {-d, d})
            for (int a = 1 - d; a <= d - 1; ++a)
                for (int b = 1 - d; b <= d - 1; ++b)
                    add(a, b, s);
        const int corners[4][2] = {{-d, -d}, {d, -d}, {d, d}, {-d, d}};
        for (const auto& c : corners)
            for (int z = -d; z <= d; ++z)
                add(c[0], c[1], z);
        const int yEdges[4][2] = {{d, d}, {-d, d}, {-d, -d}, {d, -d}};
        for (const auto& e : yEdges)
            for (int y = 1 - d; y <= d - 1; ++y)
                add(e[0], y, e[1]);
        for (const auto& e : yEdges)
            for (int x = 1 - d; x <= d - 1; ++x)
                add(x, e[0], e[1]);
    }
}
