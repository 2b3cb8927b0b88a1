#include "device/VertexDeclaration.h"

#include "device/Resource.h"

namespace
{
// Bytes per D3DDECLTYPE, in value order FLOAT1 … FLOAT16_4.
const BYTE g_DeclTypeSizes[] = {4, 8, 12, 16, 4, 4, 4, 8, 4, 4, 8, 4, 8, 4, 4, 4, 8};

void Add(std::vector<D3DVERTEXELEMENT9>& elements, WORD& offset, BYTE type, BYTE usage, BYTE usageIndex)
{
    elements.push_back({0, offset, type, D3DDECLMETHOD_DEFAULT, usage, usageIndex});
    offset = static_cast<WORD>(offset + DeclTypeSize(type));
}
}  // namespace

UINT DeclTypeSize(BYTE type)
{
    return type < sizeof(g_DeclTypeSizes) ? g_DeclTypeSizes[type] : 0;
}

VertexDeclaration::VertexDeclaration(Device* pDevice, std::vector<D3DVERTEXELEMENT9> elements, DWORD fvf)
    : ComObject(ObjectKind::VertexDeclaration, pDevice), m_Elements(std::move(elements)), m_nFvf(fvf)
{
}

bool VertexDeclaration::Implements(REFIID riid) const
{
    return riid == IID_IDirect3DVertexDeclaration9;
}

HRESULT VertexDeclaration::GetDevice(IDirect3DDevice9** ppDevice)
{
    return GetDeviceOf(*this, ppDevice);
}

HRESULT VertexDeclaration::GetDeclaration(D3DVERTEXELEMENT9* pElement, UINT* pNumElements)
{
    if (!pNumElements)
        return D3DERR_INVALIDCALL;
    *pNumElements = static_cast<UINT>(m_Elements.size() + 1);
    if (pElement)
    {
        for (size_t i = 0; i < m_Elements.size(); ++i)
            pElement[i] = m_Elements[i];
        pElement[m_Elements.size()] = D3DDECL_END();
    }
    return D3D_OK;
}

bool ReadDeclaration(const D3DVERTEXELEMENT9* pElements, std::vector<D3DVERTEXELEMENT9>& elements)
{
    elements.clear();
    if (!pElements)
        return false;
    for (UINT i = 0; pElements[i].Stream != 0xFF; ++i)
    {
        const D3DVERTEXELEMENT9& element = pElements[i];
        if (i + 1 >= MAXD3DDECLLENGTH || element.Stream >= MAX_STREAMS || element.Type >= D3DDECLTYPE_UNUSED ||
            element.Method > D3DDECLMETHOD_LOOKUPPRESAMPLED || element.Usage > D3DDECLUSAGE_SAMPLE)
            return false;
        elements.push_back(element);
    }
    return true;
}

bool ElementsFromFvf(DWORD fvf, std::vector<D3DVERTEXELEMENT9>& elements)
{
    elements.clear();
    const DWORD position = fvf & D3DFVF_POSITION_MASK;
    const DWORD known = D3DFVF_POSITION_MASK | D3DFVF_NORMAL | D3DFVF_PSIZE | D3DFVF_DIFFUSE | D3DFVF_SPECULAR |
                        D3DFVF_TEXCOUNT_MASK | D3DFVF_LASTBETA_UBYTE4 | D3DFVF_LASTBETA_D3DCOLOR | 0xFFFF0000u;
    const UINT texCount = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    if ((fvf & ~known) || texCount > 8)
        return false;
    WORD offset = 0;
    if (position == D3DFVF_XYZRHW)
        Add(elements, offset, D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_POSITIONT, 0);
    else if (position == D3DFVF_XYZW)
        Add(elements, offset, D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_POSITION, 0);
    else if (position != 0)
    {
        if (position & 0x4000)  // the W bit only combines with XYZ
            return false;
        Add(elements, offset, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_POSITION, 0);
        // XYZB1 … XYZB5 carry 1 … 5 blend values; with a LASTBETA flag the last is the indices.
        UINT weights = (position - D3DFVF_XYZ) / 2;
        BYTE indexType = D3DDECLTYPE_UNUSED;
        if (weights > 0 && (fvf & D3DFVF_LASTBETA_UBYTE4))
            indexType = D3DDECLTYPE_UBYTE4;
        else if (weights > 0 && (fvf & D3DFVF_LASTBETA_D3DCOLOR))
            indexType = D3DDECLTYPE_D3DCOLOR;
        if (indexType != D3DDECLTYPE_UNUSED)
            --weights;
        if (weights > 0)
            Add(elements, offset, static_cast<BYTE>(D3DDECLTYPE_FLOAT1 + weights - 1), D3DDECLUSAGE_BLENDWEIGHT, 0);
        if (indexType != D3DDECLTYPE_UNUSED)
            Add(elements, offset, indexType, D3DDECLUSAGE_BLENDINDICES, 0);
    }
    if (fvf & D3DFVF_NORMAL)
        Add(elements, offset, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL, 0);
    if (fvf & D3DFVF_PSIZE)
        Add(elements, offset, D3DDECLTYPE_FLOAT1, D3DDECLUSAGE_PSIZE, 0);
    if (fvf & D3DFVF_DIFFUSE)
        Add(elements, offset, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 0);
    if (fvf & D3DFVF_SPECULAR)
        Add(elements, offset, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 1);
    // Two bits per set from bit 16: 0 → 2 floats, 1 → 3, 2 → 4, 3 → 1.
    static const BYTE kTexTypes[4] = {D3DDECLTYPE_FLOAT2, D3DDECLTYPE_FLOAT3, D3DDECLTYPE_FLOAT4, D3DDECLTYPE_FLOAT1};
    for (UINT i = 0; i < texCount; ++i)
        Add(elements, offset, kTexTypes[(fvf >> (16 + 2 * i)) & 3], D3DDECLUSAGE_TEXCOORD, static_cast<BYTE>(i));
    return true;
}

UINT FvfVertexSize(DWORD fvf)
{
    std::vector<D3DVERTEXELEMENT9> elements;
    if (!ElementsFromFvf(fvf, elements))
        return 0;
    UINT size = 0;
    for (const D3DVERTEXELEMENT9& element : elements)
        size += DeclTypeSize(element.Type);
    return size;
}
