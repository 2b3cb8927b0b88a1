// Left-handed view and projection matrices: camera space looks down +z with +y up, and
// projected depth runs from 0 at the near plane to 1 at the far plane.
#include <d3dx9math.h>

#include <cmath>

D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* pOut, const D3DXVECTOR3* pEye, const D3DXVECTOR3* pAt,
                               const D3DXVECTOR3* pUp)
{
    // The camera basis: z towards the target, x = up × z to the right, y = z × x.
    D3DXVECTOR3 xAxis, yAxis, zAxis;
    const D3DXVECTOR3 view = *pAt - *pEye;
    D3DXVec3Normalize(&zAxis, &view);
    D3DXVec3Cross(&xAxis, pUp, &zAxis);
    D3DXVec3Normalize(&xAxis, &xAxis);
    D3DXVec3Cross(&yAxis, &zAxis, &xAxis);

    // The basis vectors are the columns, so a world point dotted with each gives its camera
    // coordinates; the last row moves the eye to the origin.
    *pOut = D3DXMATRIX(xAxis.x, yAxis.x, zAxis.x, 0.0f,
                       xAxis.y, yAxis.y, zAxis.y, 0.0f,
                       xAxis.z, yAxis.z, zAxis.z, 0.0f,
                       -D3DXVec3Dot(&xAxis, pEye), -D3DXVec3Dot(&yAxis, pEye), -D3DXVec3Dot(&zAxis, pEye), 1.0f);
    return pOut;
}

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* pOut, FLOAT fovy, FLOAT aspect, FLOAT zn, FLOAT zf)
{
    // w' = z, so z' / w' = zf (z - zn) / ((zf - zn) z): 0 at zn, 1 at zf.
    const FLOAT yScale = 1.0f / std::tan(fovy / 2.0f);
    const FLOAT xScale = yScale / aspect;
    const FLOAT depthScale = zf / (zf - zn);
    *pOut = D3DXMATRIX(xScale, 0.0f, 0.0f, 0.0f,
                       0.0f, yScale, 0.0f, 0.0f,
                       0.0f, 0.0f, depthScale, 1.0f,
                       0.0f, 0.0f, -zn * depthScale, 0.0f);
    return pOut;
}

D3DXMATRIX* D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* pOut, FLOAT l, FLOAT r, FLOAT b, FLOAT t, FLOAT zn,
                                       FLOAT zf)
{
    *pOut = D3DXMATRIX(2.0f / (r - l), 0.0f, 0.0f, 0.0f,
                       0.0f, 2.0f / (t - b), 0.0f, 0.0f,
                       0.0f, 0.0f, 1.0f / (zf - zn), 0.0f,
                       (l + r) / (l - r), (t + b) / (b - t), zn / (zn - zf), 1.0f);
    return pOut;
}
