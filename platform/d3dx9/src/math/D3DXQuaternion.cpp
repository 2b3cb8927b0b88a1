// Rotation quaternions (x, y, z, w). A unit quaternion q turns a vector v into q v q*, so the
// rotation of p followed by that of q is the Hamilton product q p.
#include <d3dx9math.h>

#include <cmath>

D3DXQUATERNION* D3DXQuaternionNormalize(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ)
{
    const FLOAT length = D3DXQuaternionLength(pQ);
    *pOut = length > 0.0f ? *pQ / length : D3DXQUATERNION(0.0f, 0.0f, 0.0f, 0.0f);
    return pOut;
}

D3DXQUATERNION* D3DXQuaternionMultiply(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ1,
                                       const D3DXQUATERNION* pQ2)
{
    // Hamilton product a b with a = pQ2 and b = pQ1: pQ1 acts first.
    const D3DXQUATERNION a = *pQ2, b = *pQ1;
    *pOut = D3DXQUATERNION(a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
                           a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
                           a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w,
                           a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z);
    return pOut;
}

D3DXQUATERNION* D3DXQuaternionRotationAxis(D3DXQUATERNION* pOut, const D3DXVECTOR3* pV, FLOAT angle)
{
    D3DXVECTOR3 n;
    D3DXVec3Normalize(&n, pV);
    const FLOAT s = std::sin(angle / 2.0f);
    *pOut = D3DXQUATERNION(n.x * s, n.y * s, n.z * s, std::cos(angle / 2.0f));
    return pOut;
}

D3DXQUATERNION* D3DXQuaternionRotationYawPitchRoll(D3DXQUATERNION* pOut, FLOAT yaw, FLOAT pitch, FLOAT roll)
{
    const D3DXQUATERNION rollQ(0.0f, 0.0f, std::sin(roll / 2.0f), std::cos(roll / 2.0f));
    const D3DXQUATERNION pitchQ(std::sin(pitch / 2.0f), 0.0f, 0.0f, std::cos(pitch / 2.0f));
    const D3DXQUATERNION yawQ(0.0f, std::sin(yaw / 2.0f), 0.0f, std::cos(yaw / 2.0f));
    D3DXQuaternionMultiply(pOut, &rollQ, &pitchQ);
    return D3DXQuaternionMultiply(pOut, pOut, &yawQ);
}
