// Box, sphere and cylinder meshes. Every triangle (a, b, c) has (b - a) x (c - a) pointing
// outwards, which makes it clockwise seen from outside: Direct3D's front face.
#include "MeshObject.h"

#include <d3dx9shape.h>

#include <cmath>
#include <cstring>

namespace
{

struct ShapeVertex
{
    D3DXVECTOR3 position;
    D3DXVECTOR3 normal;
};
static_assert(sizeof(ShapeVertex) == 24, "D3DFVF_XYZ | D3DFVF_NORMAL layout");

struct ShapeGeometry
{
    std::vector<ShapeVertex> vertices;
    std::vector<DWORD> indices;

    void Triangle(DWORD a, DWORD b, DWORD c)
    {
        indices.push_back(a);
        indices.push_back(b);
        indices.push_back(c);
    }
};

// Lays the geometry into a new managed mesh with one subset, and the adjacency when asked.
HRESULT MakeShapeMesh(IDirect3DDevice9* device, const ShapeGeometry& shape, LPD3DXMESH* ppMesh,
                      LPD3DXBUFFER* ppAdjacency)
{
    const DWORD numFaces = (DWORD)shape.indices.size() / 3, numVertices = (DWORD)shape.vertices.size();
    HRESULT hr;
    MeshObject* mesh =
        MeshObject::Create(numFaces, numVertices, D3DXMESH_MANAGED, D3DFVF_XYZ | D3DFVF_NORMAL, device, &hr);
    if (!mesh)
        return hr;
    std::vector<BYTE> bytes(shape.vertices.size() * sizeof(ShapeVertex));
    std::memcpy(bytes.data(), shape.vertices.data(), bytes.size());
    if (!mesh->WriteVertices(bytes) || !mesh->WriteIndices(shape.indices))
    {
        mesh->Release();
        return D3DERR_INVALIDCALL;
    }
    mesh->SetAttributeTable({{0, 0, numFaces, 0, numVertices}});

    if (ppAdjacency)
    {
        *ppAdjacency = nullptr;
        LPD3DXBUFFER adjacency = nullptr;
        hr = D3DXCreateBuffer(numFaces * 3 * sizeof(DWORD), &adjacency);
        if (SUCCEEDED(hr))
            hr = mesh->GenerateAdjacency(0.0f, static_cast<DWORD*>(adjacency->GetBufferPointer()));
        if (FAILED(hr))
        {
            if (adjacency)
                adjacency->Release();
            mesh->Release();
            return hr;
        }
        *ppAdjacency = adjacency;
    }
    *ppMesh = mesh;
    return D3D_OK;
}

// One box face: its outward normal n and in-face axes u, v with v x u = n, so that the corners
// (-u-v), (-u+v), (+u+v), (+u-v) taken as (0, 1, 2) and (0, 2, 3) face outwards.
struct BoxFace
{
    D3DXVECTOR3 n, u, v;
};

const BoxFace kBoxFaces[] = {
    {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}},  {{-1, 0, 0}, {0, 0, -1}, {0, 1, 0}},
    {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}},  {{0, -1, 0}, {-1, 0, 0}, {0, 0, 1}},
    {{0, 0, 1}, {0, 1, 0}, {1, 0, 0}},  {{0, 0, -1}, {0, -1, 0}, {1, 0, 0}},
};

D3DXVECTOR3 Scaled(const D3DXVECTOR3& a, const D3DXVECTOR3& half)
{
    return D3DXVECTOR3(a.x * half.x, a.y * half.y, a.z * half.z);
}

} // namespace

HRESULT D3DXCreateBox(LPDIRECT3DDEVICE9 pDevice, FLOAT Width, FLOAT Height, FLOAT Depth, LPD3DXMESH* ppMesh,
                      LPD3DXBUFFER* ppAdjacency)
{
    if (!pDevice || !ppMesh || !(Width >= 0.0f) || !(Height >= 0.0f) || !(Depth >= 0.0f))
        return D3DERR_INVALIDCALL;
    const D3DXVECTOR3 half(Width / 2, Height / 2, Depth / 2);
    const float corners[4][2] = {{-1, -1}, {-1, 1}, {1, 1}, {1, -1}};
    ShapeGeometry shape;
    for (const BoxFace& face : kBoxFaces)
    {
        const DWORD first = (DWORD)shape.vertices.size();
        for (const auto& c : corners)
            shape.vertices.push_back({Scaled(face.n + face.u * c[0] + face.v * c[1], half), face.n});
        shape.Triangle(first, first + 1, first + 2);
        shape.Triangle(first, first + 2, first + 3);
    }
    return MakeShapeMesh(pDevice, shape, ppMesh, ppAdjacency);
}

HRESULT D3DXCreateSphere(LPDIRECT3DDEVICE9 pDevice, FLOAT Radius, UINT Slices, UINT Stacks, LPD3DXMESH* ppMesh,
                         LPD3DXBUFFER* ppAdjacency)
{
    if (!pDevice || !ppMesh || !(Radius >= 0.0f) || Slices < 3 || Stacks < 2 ||
        (uint64_t)Slices * (Stacks - 1) + 2 > 0xFFFF)
        return D3DERR_INVALIDCALL;

    // Polar angle θ from +z, azimuth φ from +x towards +y; the unit normal is the direction.
    ShapeGeometry shape;
    auto add = [&shape, Radius](const D3DXVECTOR3& direction) { shape.vertices.push_back({direction * Radius, direction}); };
    add(D3DXVECTOR3(0, 0, 1));
    for (UINT stack = 1; stack < Stacks; ++stack)
    {
        const double theta = D3DX_PI * stack / Stacks;
        for (UINT slice = 0; slice < Slices; ++slice)
        {
            const double phi = 2.0 * D3DX_PI * slice / Slices;
            add(D3DXVECTOR3((FLOAT)(std::sin(theta) * std::cos(phi)), (FLOAT)(std::sin(theta) * std::sin(phi)),
                            (FLOAT)std::cos(theta)));
        }
    }
    add(D3DXVECTOR3(0, 0, -1));

    const DWORD bottom = (DWORD)shape.vertices.size() - 1;
    auto ring = [Slices](UINT stack, UINT slice) { return 1 + (stack - 1) * Slices + slice % Slices; };
    for (UINT slice = 0; slice < Slices; ++slice)
        shape.Triangle(0, ring(1, slice), ring(1, slice + 1));
    for (UINT stack = 1; stack + 1 < Stacks; ++stack)
        for (UINT slice = 0; slice < Slices; ++slice)
        {
            shape.Triangle(ring(stack, slice), ring(stack + 1, slice), ring(stack + 1, slice + 1));
            shape.Triangle(ring(stack, slice), ring(stack + 1, slice + 1), ring(stack, slice + 1));
        }
    for (UINT slice = 0; slice < Slices; ++slice)
        shape.Triangle(ring(Stacks - 1, slice), bottom, ring(Stacks - 1, slice + 1));
    return MakeShapeMesh(pDevice, shape, ppMesh, ppAdjacency);
}

HRESULT D3DXCreateCylinder(LPDIRECT3DDEVICE9 pDevice, FLOAT Radius1, FLOAT Radius2, FLOAT Length, UINT Slices,
                           UINT Stacks, LPD3DXMESH* ppMesh, LPD3DXBUFFER* ppAdjacency)
{
    if (!pDevice || !ppMesh || !(Radius1 >= 0.0f) || !(Radius2 >= 0.0f) || !(Length >= 0.0f) || Slices < 3 ||
        Stacks < 1 || (uint64_t)Slices * (Stacks + 1) > 0xFFFF)
        return D3DERR_INVALIDCALL;

    // The wall's outward normal leans along z by the change of radius: for the surface
    // r(z) = Radius1 + (Radius2 - Radius1)(z + Length/2)/Length it is ∝ (L cos φ, L sin φ, Radius1 - Radius2).
    ShapeGeometry shape;
    for (UINT stack = 0; stack <= Stacks; ++stack)
    {
        const FLOAT t = (FLOAT)stack / Stacks;
        const FLOAT radius = Radius1 + (Radius2 - Radius1) * t;
        const FLOAT z = -Length / 2 + Length * t;
        for (UINT slice = 0; slice < Slices; ++slice)
        {
            const double phi = 2.0 * D3DX_PI * slice / Slices;
            const FLOAT c = (FLOAT)std::cos(phi), s = (FLOAT)std::sin(phi);
            D3DXVECTOR3 normal(Length * c, Length * s, Radius1 - Radius2);
            D3DXVec3Normalize(&normal, &normal);
            shape.vertices.push_back({D3DXVECTOR3(radius * c, radius * s, z), normal});
        }
    }
    auto ring = [Slices](UINT stack, UINT slice) { return stack * Slices + slice % Slices; };
    for (UINT stack = 0; stack < Stacks; ++stack)
        for (UINT slice = 0; slice < Slices; ++slice)
        {
            // Upper ring stack + 1 first, as in the sphere's bands.
            shape.Triangle(ring(stack + 1, slice), ring(stack, slice), ring(stack, slice + 1));
            shape.Triangle(ring(stack + 1, slice), ring(stack, slice + 1), ring(stack + 1, slice + 1));
        }
    return MakeShapeMesh(pDevice, shape, ppMesh, ppAdjacency);
}
