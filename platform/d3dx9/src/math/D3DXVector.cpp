// Vector normalisation and transforms of d3dx9math.h.
#include <d3dx9math.h>

#include <cmath>

D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV)
{
    const FLOAT length = D3DXVec3Length(pV);
    *pOut = length > 0.0f ? *pV / length : D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    return pOut;
}

D3DXVECTOR4* D3DXVec4Normalize(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV)
{
    const FLOAT length = D3DXVec4Length(pV);
    *pOut = length > 0.0f ? *pV / length : D3DXVECTOR4(0.0f, 0.0f, 0.0f, 0.0f);
    return pOut;
}

D3DXVECTOR4* D3DXVec4Transform(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV, const D3DXMATRIX* pM)
{
    const D3DXVECTOR4 v = *pV;
    const D3DXMATRIX& m = *pM;
    *pOut = D3DXVECTOR4(v.x * m._11 + v.y * m._21 + v.z * m._31 + v.w * m._41,
                        v.x * m._12 + v.y * m._22 + v.z * m._32 + v.w * m._42,
                        v.x * m._13 + v.y * m._23 + v.z * m._33 + v.w * m._43,
                        v.x * m._14 + v.y * m._24 + v.z * m._34 + v.w * m._44);
    return pOut;
}

D3DXVECTOR4* D3DXVec3Transform(D3DXVECTOR4* pOut, const D3DXVECTOR3* pV, const D3DXMATRIX* pM)
{
    const D3DXVECTOR4 point(*pV, 1.0f);
    return D3DXVec4Transform(pOut, &point, pM);
}

D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DXMATRIX* pM)
{
    D3DXVECTOR4 h;
    D3DXVec3Transform(&h, pV, pM);
    *pOut = D3DXVECTOR3(h.x / h.w, h.y / h.w, h.z / h.w);
    return pOut;
}

D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DXMATRIX* pM)
{
    const D3DXVECTOR4 direction(*pV, 0.0f);
    D3DXVECTOR4 h;
    D3DXVec4Transform(&h, &direction, pM);
    *pOut = D3DXVECTOR3(h.x, h.y, h.z);
    return pOut;
}
