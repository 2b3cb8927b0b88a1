#include "cpu/clip/Clipper.h"

#include <algorithm>

namespace
{
constexpr float GUARD_BAND_PIXELS = 16384.0f;

float Distance(const float plane[4], const ClipVertex& v)
{
    return plane[0] * v.pos[0] + plane[1] * v.pos[1] + plane[2] * v.pos[2] + plane[3] * v.pos[3];
}

// The vertex at fraction t from a to b, appended; its number is returned.
UINT Intersect(ClipVertexList& vertices, UINT a, UINT b, float t)
{
    ClipVertex v;
    const ClipVertex& va = vertices[a];
    const ClipVertex& vb = vertices[b];
    for (int c = 0; c < 4; ++c)
        v.pos[c] = va.pos[c] + t * (vb.pos[c] - va.pos[c]);
    for (unsigned i = 0; i < VARYING_COUNT; ++i)
        v.varyings[i] = va.varyings[i] + t * (vb.varyings[i] - va.varyings[i]);
    vertices.push_back(v);
    return (UINT)vertices.size() - 1;
}

void AddPlane(ClipPlanes& planes, float a, float b, float c, float d)
{
    float* p = planes.planes[planes.nCount++];
    p[0] = a, p[1] = b, p[2] = c, p[3] = d;
}
}

ClipPlanes MakeClipPlanes(float fViewportWidth, float fViewportHeight, DWORD nUserMask,
                          const float userPlanes[][4], int nUserPlanes)
{
    ClipPlanes planes;
    AddPlane(planes, 0, 0, 1, 0);    // z ≥ 0
    AddPlane(planes, 0, 0, -1, 1);   // z ≤ w
    // x/w within ±k where k·W/2 reaches the guard band.
    const float kx = 2.0f * GUARD_BAND_PIXELS / std::max(1.0f, fViewportWidth);
    const float ky = 2.0f * GUARD_BAND_PIXELS / std::max(1.0f, fViewportHeight);
    AddPlane(planes, -1, 0, 0, kx);
    AddPlane(planes, 1, 0, 0, kx);
    AddPlane(planes, 0, -1, 0, ky);
    AddPlane(planes, 0, 1, 0, ky);
    for (int i = 0; i < nUserPlanes; ++i)
        if (nUserMask & (1u << i))
            AddPlane(planes, userPlanes[i][0], userPlanes[i][1], userPlanes[i][2], userPlanes[i][3]);
    return planes;
}

uint32_t ClipCode(const ClipPlanes& planes, const ClipVertex& vertex)
{
    uint32_t nCode = 0;
    for (int p = 0; p < planes.nCount; ++p)
        nCode |= (uint32_t) !(Distance(planes.planes[p], vertex) >= 0.0f) << p;  // NaN counts as outside
    return nCode;
}

void ClipTriangle(const ClipPlanes& planes, ClipVertexList& vertices, UINT a, UINT b, UINT c,
                  std::vector<UINT>& polygon, std::vector<UINT>& next)
{
    polygon.assign({a, b, c});
    for (int p = 0; p < planes.nCount && !polygon.empty(); ++p)
    {
        const float* plane = planes.planes[p];
        bool bAllInside = true;
        for (UINT v : polygon)
            bAllInside = bAllInside && Distance(plane, vertices[v]) >= 0.0f;
        if (bAllInside)
            continue;
        next.clear();
        for (size_t i = 0; i < polygon.size(); ++i)
        {
            const UINT from = polygon[i], to = polygon[(i + 1) % polygon.size()];
            const float dFrom = Distance(plane, vertices[from]), dTo = Distance(plane, vertices[to]);
            if (dFrom >= 0.0f)
                next.push_back(from);
            if ((dFrom >= 0.0f) != (dTo >= 0.0f))
                next.push_back(Intersect(vertices, from, to, dFrom / (dFrom - dTo)));
        }
        polygon.swap(next);
        if (polygon.size() < 3)
            polygon.clear();
    }
}

bool ClipSegment(const ClipPlanes& planes, ClipVertexList& vertices, UINT& a, UINT& b)
{
    for (int p = 0; p < planes.nCount; ++p)
    {
        const float dA = Distance(planes.planes[p], vertices[a]), dB = Distance(planes.planes[p], vertices[b]);
        if (dA < 0.0f && dB < 0.0f)
            return false;
        if (dA < 0.0f)
            a = Intersect(vertices, a, b, dA / (dA - dB));
        else if (dB < 0.0f)
            b = Intersect(vertices, b, a, dB / (dB - dA));
    }
    return true;
}
