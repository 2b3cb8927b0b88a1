#pragma once
// Vertex declarations, and the declarations the device builds for FVF codes (an FVF and a
// declaration share one slot of the device state).
#include "device/ObjectBase.h"

#include <vector>

constexpr UINT MAX_STREAMS = 16;

class VertexDeclaration final : public ComObject<IDirect3DVertexDeclaration9>
{
public:
    // elements: without the end marker. fvf: the FVF code it was built from, or 0.
    VertexDeclaration(Device* pDevice, std::vector<D3DVERTEXELEMENT9> elements, DWORD fvf);

    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override;
    HRESULT GetDeclaration(D3DVERTEXELEMENT9* pElement, UINT* pNumElements) override;

    const std::vector<D3DVERTEXELEMENT9>& GetElements() const { return m_Elements; }
    DWORD GetFvf() const { return m_nFvf; }

protected:
    bool Implements(REFIID riid) const override;

private:
    std::vector<D3DVERTEXELEMENT9> m_Elements;
    DWORD m_nFvf;
};

// Reads a declaration up to its end marker and checks every element (stream, type, method,
// usage, at most MAXD3DDECLLENGTH elements). False if it is malformed.
bool ReadDeclaration(const D3DVERTEXELEMENT9* pElements, std::vector<D3DVERTEXELEMENT9>& elements);

// The elements an FVF code stands for, in the public order (position, blend weights, normal,
// point size, diffuse, specular, texture coordinates), all in stream 0. False for an invalid code.
bool ElementsFromFvf(DWORD fvf, std::vector<D3DVERTEXELEMENT9>& elements);

// Bytes of one element type (FLOAT3 → 12, D3DCOLOR → 4, ...); 0 for UNUSED or invalid types.
UINT DeclTypeSize(BYTE type);

// Size in bytes of one vertex of an FVF code (0 for an invalid code).
UINT FvfVertexSize(DWORD fvf);
