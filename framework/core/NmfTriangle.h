#pragma once
// The triangle record of the geometry code: three corners, each with a position, a normal and a
// texture coordinate. The fields are grouped by kind (three positions, three normals, three
// texture coordinates), not by corner, and the record is 96 bytes of 32-bit floats both in
// memory and in NMF files.
#include <cstddef>

struct NmfTriangle
{
    float m_fPositions[3][3];  // corner, then x, y, z
    float m_fNormals[3][3];    // corner, then x, y, z
    float m_fTexCoords[3][2];  // corner, then u, v
};

constexpr size_t NMF_TRIANGLE_SIZE = 96;
static_assert(sizeof(NmfTriangle) == NMF_TRIANGLE_SIZE, "NmfTriangle is stored byte for byte");

// Calls fn on every float of the record in its stored order (positions, normals, texture
// coordinates), so readers and writers walk the fields in one place.
template <typename Triangle, typename Fn>
void ForEachNmfField(Triangle& triangle, Fn fn)
{
    for (auto& corner : triangle.m_fPositions)
        for (auto& f : corner)
            fn(f);
    for (auto& corner : triangle.m_fNormals)
        for (auto& f : corner)
            fn(f);
    for (auto& corner : triangle.m_fTexCoords)
        for (auto& f : corner)
            fn(f);
}
