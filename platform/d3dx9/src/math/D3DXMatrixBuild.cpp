// Matrices built from parameters: scaling, translation, rotations and the composed
// scale-rotate-translate transformation. Row-vector convention: v' = v M.
#include <d3dx9math.h>

#include <cmath>

D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* pOut, FLOAT sx, FLOAT sy, FLOAT sz)
{
    *pOut = D3DXMATRIX(sx, 0.0f, 0.0f, 0.0f,
                       0.0f, sy, 0.0f, 0.0f,
                       0.0f, 0.0f, sz, 0.0f,
                       0.0f, 0.0f, 0.0f, 1.0f);
    return pOut;
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* pOut, FLOAT x, FLOAT y, FLOAT z)
{
    *pOut = D3DXMATRIX(1.0f, 0.0f, 0.0f, 0.0f,
                       0.0f, 1.0f, 0.0f, 0.0f,
                       0.0f, 0.0f, 1.0f, 0.0f,
                       x, y, z, 1.0f);
    return pOut;
}

// Each elementary rotation turns the first named axis towards the second: X takes y to z,
// Y takes z to x, Z takes x to y.
D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* pOut, FLOAT angle)
{
    const FLOAT c = std::cos(angle), s = std::sin(angle);
    *pOut = D3DXMATRIX(1.0f, 0.0f, 0.0f, 0.0f,
                       0.0f, c, s, 0.0f,
                       0.0f, -s, c, 0.0f,
                       0.0f, 0.0f, 0.0f, 1.0f);
    return pOut;
}

D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* pOut, FLOAT angle)
{
    const FLOAT c = std::cos(angle), s = std::sin(angle);
    *pOut = D3DXMATRIX(c, 0.0f, -s, 0.0f,
                       0.0f, 1.0f, 0.0f, 0.0f,
                       s, 0.0f, c, 0.0f,
                       0.0f, 0.0f, 0.0f, 1.0f);
    return pOut;
}

D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* pOut, FLOAT angle)
{
    const FLOAT c = std::cos(angle), s = std::sin(angle);
    *pOut = D3DXMATRIX(c, s, 0.0f, 0.0f,
                       -s, c, 0.0f, 0.0f,
                       0.0f, 0.0f, 1.0f, 0.0f,
                       0.0f, 0.0f, 0.0f, 1.0f);
    return pOut;
}

D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* pOut, const D3DXVECTOR3* pV, FLOAT angle)
{
    // Rodrigues' formula, written for row vectors: (1 - c) n nᵀ + c I, plus s times the
    // transposed cross-product matrix of n. For n = x it is D3DXMatrixRotationX.
    D3DXVECTOR3 n;
    D3DXVec3Normalize(&n, pV);
    const FLOAT c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
    *pOut = D3DXMATRIX(t * n.x * n.x + c, t * n.x * n.y + s * n.z, t * n.x * n.z - s * n.y, 0.0f,
                       t * n.y * n.x - s * n.z, t * n.y * n.y + c, t * n.y * n.z + s * n.x, 0.0f,
                       t * n.z * n.x + s * n.y, t * n.z * n.y - s * n.x, t * n.z * n.z + c, 0.0f,
                       0.0f, 0.0f, 0.0f, 1.0f);
    return pOut;
}

D3DXMATRIX* D3DXMatrixRotationQuaternion(D3DXMATRIX* pOut, const D3DXQUATERNION* pQ)
{
    // The rotation v -> q v q* of a unit quaternion, transposed for row vectors.
    const FLOAT x = pQ->x, y = pQ->y, z = pQ->z, w = pQ->w;
    *pOut = D3DXMATRIX(1.0f - 2.0f * (y * y + z * z), 2.0f * (x * y + w * z), 2.0f * (x * z - w * y), 0.0f,
                       2.0f * (x * y - w * z), 1.0f - 2.0f * (x * x + z * z), 2.0f * (y * z + w * x), 0.0f,
                       2.0f * (x * z + w * y), 2.0f * (y * z - w * x), 1.0f - 2.0f * (x * x + y * y), 0.0f,
                       0.0f, 0.0f, 0.0f, 1.0f);
    return pOut;
}

D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* pOut, FLOAT yaw, FLOAT pitch, FLOAT roll)
{
    D3DXMATRIX rollMatrix, pitchMatrix, yawMatrix;
    D3DXMatrixRotationZ(&rollMatrix, roll);
    D3DXMatrixRotationX(&pitchMatrix, pitch);
    D3DXMatrixRotationY(&yawMatrix, yaw);
    D3DXMatrixMultiply(pOut, &rollMatrix, &pitchMatrix);
    return D3DXMatrixMultiply(pOut, pOut, &yawMatrix);
}

D3DXMATRIX* D3DXMatrixTransformation(D3DXMATRIX* pOut, const D3DXVECTOR3* pScalingCenter,
                                     const D3DXQUATERNION* pScalingRotation, const D3DXVECTOR3* pScaling,
                                     const D3DXVECTOR3* pRotationCenter, const D3DXQUATERNION* pRotation,
                                     const D3DXVECTOR3* pTranslation)
{
    D3DXMATRIX result, step;
    D3DXMatrixIdentity(&result);
    auto append = [&result, &step]() { D3DXMatrixMultiply(&result, &result, &step); };

    if (pScaling)
    {
        // Move the scaling centre to the origin and turn the scaling frame onto the axes,
        // scale, then undo both.
        const D3DXVECTOR3 centre = pScalingCenter ? *pScalingCenter : D3DXVECTOR3(0.0f, 0.0f, 0.0f);
        D3DXMATRIX frame, frameInverse;
        D3DXMatrixIdentity(&frame);
        if (pScalingRotation)
            D3DXMatrixRotationQuaternion(&frame, pScalingRotation);
        D3DXMatrixTranspose(&frameInverse, &frame);

        D3DXMatrixTranslation(&step, -centre.x, -centre.y, -centre.z);
        append();
        step = frameInverse;
        append();
        D3DXMatrixScaling(&step, pScaling->x, pScaling->y, pScaling->z);
        append();
        step = frame;
        append();
        D3DXMatrixTranslation(&step, centre.x, centre.y, centre.z);
        append();
    }
    if (pRotation)
    {
        const D3DXVECTOR3 centre = pRotationCenter ? *pRotationCenter : D3DXVECTOR3(0.0f, 0.0f, 0.0f);
        D3DXMatrixTranslation(&step, -centre.x, -centre.y, -centre.z);
        append();
        D3DXMatrixRotationQuaternion(&step, pRotation);
        append();
        D3DXMatrixTranslation(&step, centre.x, centre.y, centre.z);
        append();
    }
    if (pTranslation)
    {
        D3DXMatrixTranslation(&step, pTranslation->x, pTranslation->y, pTranslation->z);
        append();
    }
    *pOut = result;
    return pOut;
}
