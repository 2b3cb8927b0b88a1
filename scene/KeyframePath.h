#pragma once
// Closed paths through keys of a time, a position and a rotation. KeyframePath holds the keys;
// SplinePath interpolates them with natural cubic splines over a periodic extension of the keys,
// so the path wraps around smoothly after its period.
#include "core/Vector3.h"

#include <d3dx9math.h>

#include <vector>

class KeyframePath
{
public:
    // The key arrays grow in blocks of this many keys.
    static constexpr int KEY_BLOCK = 20;

    KeyframePath() = default;
    KeyframePath(const KeyframePath&) = delete;
    KeyframePath& operator=(const KeyframePath&) = delete;
    virtual ~KeyframePath();

    // Stores the key at the index, growing the arrays; keys between the old count and the index
    // are left zero. A negative index is ignored.
    virtual void SetKey(int nIndex, float fTime, const Vector3* pPosition, const D3DXQUATERNION* pRotation);
    // Position and rotation at a time; false, and the outputs untouched, when the path cannot
    // be evaluated.
    virtual bool GetPosition(float fTime, Vector3& vPosition) = 0;
    virtual bool GetRotation(float fTime, D3DXQUATERNION& qRotation) = 0;
    virtual void EvaluateExtra(float fTime, void** ppOut) = 0;

    // Copies the key out; false for an index outside the keys.
    bool GetKey(int nIndex, float* pTime, Vector3* pPosition, D3DXQUATERNION* pRotation) const;
    int GetKeyCount() const { return m_nKeys; }
    // The last key's time; 0 without keys.
    float GetEndTime() const;
    // The key nearest to the point among those closer than 1.0e8 in squared distance (the first
    // of equal distances); -1 when there is none.
    int FindNearestKey(const Vector3& vPoint) const;
    // Slots in the key arrays: the smallest multiple of KEY_BLOCK not below the count.
    int GetCapacity() const { return static_cast<int>(m_pTimes.size()); }

protected:
    int m_nKeys = 0;
    std::vector<float> m_pTimes;
    std::vector<Vector3> m_pPositions;
    std::vector<D3DXQUATERNION> m_pRotations;
};

class SplinePath : public KeyframePath
{
public:
    SplinePath() = default;
    ~SplinePath() override;

    bool GetPosition(float fTime, Vector3& vPosition) override;
    bool GetRotation(float fTime, D3DXQUATERNION& qRotation) override;
    void EvaluateExtra(float fTime, void** ppOut) override;

    void SetPeriod(float fPeriod) { m_fPeriod = fPeriod; }
    float GetPeriod() const { return m_fPeriod; }

    // Builds the spline tables. Nothing is prepared for fewer than four keys, for key times
    // that do not strictly increase within one period, or when the tables would not be finite.
    void Prepare();
    bool IsPrepared() const { return m_bPrepared; }

private:
    // The knot interval that holds x (wrapped into the period) and the spline weights in it.
    struct Span
    {
        int nLo, nHi;
        float fA, fB, fH2;
    };
    Span FindSpan(float fTime) const;
    static float Evaluate(const Span& span, const std::vector<float>& y, const std::vector<float>& y2);

    bool m_bPrepared = false;
    float m_fPeriod = 0.0f;
    // n + 1 entries each, n being the key count: the values at the knots and their second
    // derivatives. The rotations are kept in the mapped form described in SplinePath.cpp.
    std::vector<float> m_pPosX, m_pPosY, m_pPosZ;
    std::vector<float> m_pPosX2, m_pPosY2, m_pPosZ2;
    std::vector<float> m_pRotX, m_pRotY, m_pRotZ, m_pRotW;
    std::vector<float> m_pRotX2, m_pRotY2, m_pRotZ2, m_pRotW2;
    // The n key times, then the period.
    std::vector<float> m_pKnotTimes;
};
