#include "scene/KeyframePath.h"

#include <cstdint>

namespace
{
// Squared distances at or beyond this are too far for FindNearestKey.
constexpr float NEAREST_KEY_LIMIT = 1.0e8f;

int64_t ImpliedCapacity(int nKeys)
{
    return (static_cast<int64_t>(nKeys) + KeyframePath::KEY_BLOCK - 1) / KeyframePath::KEY_BLOCK *
           KeyframePath::KEY_BLOCK;
}
}

KeyframePath::~KeyframePath() = default;

void KeyframePath::SetKey(int nIndex, float fTime, const Vector3* pPosition, const D3DXQUATERNION* pRotation)
{
    if (nIndex < 0)
        return;
    if (nIndex >= m_nKeys)
    {
        if (m_nKeys == 0 || nIndex >= ImpliedCapacity(m_nKeys))
        {
            size_t nCapacity = static_cast<size_t>((static_cast<int64_t>(nIndex) + 1) / KEY_BLOCK * KEY_BLOCK + KEY_BLOCK);
            m_pTimes.resize(nCapacity, 0.0f);
            m_pPositions.resize(nCapacity, Vector3(0.0f, 0.0f, 0.0f));
            m_pRotations.resize(nCapacity, D3DXQUATERNION(0.0f, 0.0f, 0.0f, 0.0f));
        }
        m_nKeys = nIndex + 1;
    }
    m_pTimes[nIndex] = fTime;
    m_pPositions[nIndex] = *pPosition;
    m_pRotations[nIndex] = *pRotation;
}

bool KeyframePath::GetKey(int nIndex, float* pTime, Vector3* pPosition, D3DXQUATERNION* pRotation) const
{
    if (nIndex < 0 || nIndex >= m_nKeys)
        return false;
    *pTime = m_pTimes[nIndex];
    *pPosition = m_pPositions[nIndex];
    *pRotation = m_pRotations[nIndex];
    return true;
}

float KeyframePath::GetEndTime() const
{
    return m_nKeys > 0 ? m_pTimes[m_nKeys - 1] : 0.0f;
}

int KeyframePath::FindNearestKey(const Vector3& vPoint) const
{
    int nNearest = -1;
    float fNearest = NEAREST_KEY_LIMIT;
    for (int i = 0; i < m_nKeys; ++i)
    {
        float fDistance = LengthSquared(m_pPositions[i] - vPoint);
        if (fDistance < fNearest)
        {
            fNearest = fDistance;
            nNearest = i;
        }
    }
    return nNearest;
}
