#pragma once
// Ordering and view culling of the scene's meshes: the quicksort of view depths that the
// front-to-back order and the light views use, and the conservative test of a bounding sphere
// against the view's cone.
#include "core/Vector3.h"

#include <d3dx9math.h>

#include <cstdint>
#include <utility>

// The most meshes the passes order and track (the size of the order and occlusion tables).
constexpr int MAX_SCENE_MESHES = 2000;

// Sorts keys[lo..hi] ascending (compared as floats) and applies every exchange to indexes as
// well. Keys equal to the pivot stop both scans, so equal keys may change order.
template <typename Key> void QuickSortKeys(int lo, int hi, Key* pKeys, int32_t* pIndexes)
{
    if (hi <= lo)
        return;
    auto exchange = [&](int a, int b) {
        std::swap(pKeys[a], pKeys[b]);
        std::swap(pIndexes[a], pIndexes[b]);
    };
    const float fPivot = (float)pKeys[hi];
    int i = lo - 1;
    int j = hi;
    do
    {
        do
            ++i;
        while ((float)pKeys[i] < fPivot && i < hi);
        do
            --j;
        while ((float)pKeys[j] > fPivot && j > lo);
        if (i < j)
            exchange(i, j);
    } while (i < j);
    exchange(i, hi);
    QuickSortKeys(lo, i - 1, pKeys, pIndexes);
    QuickSortKeys(i + 1, hi, pKeys, pIndexes);
}
inline void QuickSortByDepth(int lo, int hi, float* pKeys, int32_t* pIndexes)
{
    QuickSortKeys(lo, hi, pKeys, pIndexes);
}

// The view-space depth of a point: its dot product with the view's third column plus _43.
float ViewDepth(const Vector3& p, const D3DXMATRIX& view);

// order[k] = the index of the k-th nearest of the centres by view depth; nCount is clamped to
// MAX_SCENE_MESHES.
void SortByViewDepth(const Vector3* pCentres, int nCount, const D3DXMATRIX& view, int32_t* pOrder);

// False when the sphere (world centre, radius) certainly lies outside the view's cone: behind
// the eye, or beyond the half-angle left, right, above or below, measured at the sphere's far
// depth. The half-angles' tangents come from the projection (1 / _11 across, 1 / _22 up), so
// wide views keep the meshes at their sides.
bool IsSphereInViewCone(const Vector3& vCentre, float fRadius, const D3DXMATRIX& view, const D3DXMATRIX& projection);
