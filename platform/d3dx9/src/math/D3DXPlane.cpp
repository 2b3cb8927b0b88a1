// Planes (a, b, c, d): the points p with a·p.x + b·p.y + c·p.z + d = 0.
#include <d3dx9math.h>

#include <cmath>

D3DXPLANE* D3DXPlaneNormalize(D3DXPLANE* pOut, const D3DXPLANE* pP)
{
    const FLOAT length = std::sqrt(pP->a * pP->a + pP->b * pP->b + pP->c * pP->c);
    *pOut = length > 0.0f ? *pP / length : D3DXPLANE(0.0f, 0.0f, 0.0f, 0.0f);
    return pOut;
}

D3DXPLANE* D3DXPlaneFromPointNormal(D3DXPLANE* pOut, const D3DXVECTOR3* pPoint, const D3DXVECTOR3* pNormal)
{
    *pOut = D3DXPLANE(pNormal->x, pNormal->y, pNormal->z, -D3DXVec3Dot(pNormal, pPoint));
    return pOut;
}

D3DXPLANE* D3DXPlaneFromPoints(D3DXPLANE* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2,
                               const D3DXVECTOR3* pV3)
{
    const D3DXVECTOR3 edge1 = *pV2 - *pV1, edge2 = *pV3 - *pV1;
    D3DXVECTOR3 normal;
    D3DXVec3Cross(&normal, &edge1, &edge2);
    D3DXVec3Normalize(&normal, &normal);
    return D3DXPlaneFromPointNormal(pOut, pV1, &normal);
}

D3DXMATRIX* D3DXMatrixReflect(D3DXMATRIX* pOut, const D3DXPLANE* pPlane)
{
    // p' = p - 2 (n·p + d) n for the unit normal n: I - 2 n nᵀ, and -2 d n in the translation row.
    D3DXPLANE p;
    D3DXPlaneNormalize(&p, pPlane);
    const FLOAT a = p.a, b = p.b, c = p.c, d = p.d;
    *pOut = D3DXMATRIX(1.0f - 2.0f * a * a, -2.0f * a * b, -2.0f * a * c, 0.0f,
                       -2.0f * b * a, 1.0f - 2.0f * b * b, -2.0f * b * c, 0.0f,
                       -2.0f * c * a, -2.0f * c * b, 1.0f - 2.0f * c * c, 0.0f,
                       -2.0f * d * a, -2.0f * d * b, -2.0f * d * c, 1.0f);
    return pOut;
}
