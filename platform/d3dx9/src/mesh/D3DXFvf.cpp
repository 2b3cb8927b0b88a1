// Flexible vertex formats: the element list a format stands for, in the fixed FVF order
// (position, blend weights, normal, point size, diffuse, specular, texture coordinates).
#include "FvfLayout.h"

#include <d3dx9mesh.h>

#include <vector>

namespace
{

constexpr BYTE kTypeSize[] = {4, 8, 12, 16, 4, 4, 4, 8, 4, 4, 8, 4, 8, 4, 4, 4, 8};

// D3DFVF_TEXCOORDSIZEn codes (two bits per set) to declaration types.
constexpr D3DDECLTYPE kTexCoordType[] = {D3DDECLTYPE_FLOAT2, D3DDECLTYPE_FLOAT3, D3DDECLTYPE_FLOAT4,
                                         D3DDECLTYPE_FLOAT1};

// The elements of an FVF, or false when the position bits name no format.
bool ElementsOfFvf(DWORD fvf, std::vector<D3DVERTEXELEMENT9>& elements)
{
    WORD offset = 0;
    auto add = [&](D3DDECLTYPE type, D3DDECLUSAGE usage, BYTE usageIndex) {
        elements.push_back({0, offset, (BYTE)type, D3DDECLMETHOD_DEFAULT, (BYTE)usage, usageIndex});
        offset = (WORD)(offset + kTypeSize[type]);
    };

    const DWORD position = fvf & D3DFVF_POSITION_MASK;
    switch (position)
    {
    case 0:
        break;
    case D3DFVF_XYZ:
        add(D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_POSITION, 0);
        break;
    case D3DFVF_XYZRHW:
        add(D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_POSITIONT, 0);
        break;
    case D3DFVF_XYZW:
        add(D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_POSITION, 0);
        break;
    default:
    {
        if (position < D3DFVF_XYZB1 || position > D3DFVF_XYZB5)
            return false;
        // XYZB1..XYZB5: 1 to 5 floats after the position; the last one holds four blend
        // indices when a LASTBETA flag is set.
        const int betas = (int)(position - D3DFVF_XYZRHW) / 2;
        add(D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_POSITION, 0);
        const bool lastIsIndices = (fvf & (D3DFVF_LASTBETA_UBYTE4 | D3DFVF_LASTBETA_D3DCOLOR)) != 0;
        const int weights = lastIsIndices ? betas - 1 : betas;
        if (weights > 0)
            add((D3DDECLTYPE)(D3DDECLTYPE_FLOAT1 + weights - 1), D3DDECLUSAGE_BLENDWEIGHT, 0);
        if (lastIsIndices)
            add((fvf & D3DFVF_LASTBETA_UBYTE4) ? D3DDECLTYPE_UBYTE4 : D3DDECLTYPE_D3DCOLOR,
                D3DDECLUSAGE_BLENDINDICES, 0);
        break;
    }
    }
    if (fvf & D3DFVF_NORMAL)
        add(D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL, 0);
    if (fvf & D3DFVF_PSIZE)
        add(D3DDECLTYPE_FLOAT1, D3DDECLUSAGE_PSIZE, 0);
    if (fvf & D3DFVF_DIFFUSE)
        add(D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 0);
    if (fvf & D3DFVF_SPECULAR)
        add(D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 1);
    const DWORD texCount = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    if (texCount > 8)
        return false;
    for (DWORD i = 0; i < texCount; ++i)
        add(kTexCoordType[(fvf >> (16 + 2 * i)) & 3], D3DDECLUSAGE_TEXCOORD, (BYTE)i);
    return true;
}

} // namespace

UINT FvfElementSize(BYTE type) { return type < sizeof(kTypeSize) ? kTypeSize[type] : 0; }

UINT D3DXGetFVFVertexSize(DWORD FVF)
{
    std::vector<D3DVERTEXELEMENT9> elements;
    if (!ElementsOfFvf(FVF, elements) || elements.empty())
        return 0;
    const D3DVERTEXELEMENT9& last = elements.back();
    return last.Offset + kTypeSize[last.Type];
}

HRESULT D3DXDeclaratorFromFVF(DWORD FVF, D3DVERTEXELEMENT9 pDeclarator[MAX_FVF_DECL_SIZE])
{
    std::vector<D3DVERTEXELEMENT9> elements;
    if (!pDeclarator || !ElementsOfFvf(FVF, elements))
        return D3DERR_INVALIDCALL;
    for (size_t i = 0; i < elements.size(); ++i)
        pDeclarator[i] = elements[i];
    pDeclarator[elements.size()] = D3DDECL_END();
    return D3D_OK;
}
