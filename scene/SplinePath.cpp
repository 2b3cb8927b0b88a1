#include "scene/KeyframePath.h"

#include <cmath>

// Rotations are splined in a mapped form: a unit quaternion (x, y, z, w) turning by an angle t
// about an axis becomes (x, y, z, 1 - w) / sqrt(2 (1 - w)) = (axis cos(t/4), sin(t/4)), a unit
// 4-vector that the four channel splines can carry through half turns without a pole; the
// evaluation maps it back (GetRotation).

namespace
{
// Below this 1 - w the mapping's divisor vanishes: the key is (nearly) unrotated.
constexpr float UNROTATED_LIMIT = 1.0e-6f;

// Second derivatives of the natural cubic spline through (t[i], y[i]), zero at both ends,
// by the tridiagonal sweep. The times strictly increase.
std::vector<float> NaturalSpline(const std::vector<float>& t, const std::vector<float>& y)
{
    size_t n = t.size();
    std::vector<float> y2(n, 0.0f), u(n, 0.0f);
    for (size_t i = 1; i + 1 < n; ++i)
    {
        float sig = (t[i] - t[i - 1]) / (t[i + 1] - t[i - 1]);
        float p = sig * y2[i - 1] + 2.0f;
        y2[i] = (sig - 1.0f) / p;
        u[i] = (6.0f * ((y[i + 1] - y[i]) / (t[i + 1] - t[i]) - (y[i] - y[i - 1]) / (t[i] - t[i - 1])) /
                    (t[i + 1] - t[i - 1]) -
                sig * u[i - 1]) /
               p;
    }
    y2[n - 1] = 0.0f;
    for (size_t k = n - 1; k-- > 0;)
        y2[k] = y2[k] * y2[k + 1] + u[k];
    return y2;
}

bool IsUnrotated(const D3DXQUATERNION& q)
{
    return !(1.0f - q.w >= UNROTATED_LIMIT);
}

// An unrotated key has no axis of its own; it borrows the direction of the nearest rotated
// quaternion in the sequence, so the splines pass through it without a swerve, and is mapped
// to (axis, 0), which maps back to the identity. With no rotated key at all the axis is x.
D3DXQUATERNION MapUnrotated(const std::vector<D3DXQUATERNION>& r, size_t i)
{
    for (size_t nDistance = 1; nDistance < r.size(); ++nDistance)
    {
        for (size_t j : {i + nDistance, i - nDistance})
        {
            if (j >= r.size() || IsUnrotated(r[j]))
                continue;
            float fLength = std::sqrt(r[j].x * r[j].x + r[j].y * r[j].y + r[j].z * r[j].z);
            if (fLength > 0.0f && std::isfinite(fLength))
                return D3DXQUATERNION(r[j].x / fLength, r[j].y / fLength, r[j].z / fLength, 0.0f);
        }
    }
    return D3DXQUATERNION(1.0f, 0.0f, 0.0f, 0.0f);
}

D3DXQUATERNION MapRotation(const D3DXQUATERNION& q)
{
    float fOneMinusW = 1.0f - q.w;
    float fScale = 1.0f / std::sqrt(2.0f * fOneMinusW);
    return D3DXQUATERNION(q.x * fScale, q.y * fScale, q.z * fScale, fOneMinusW * fScale);
}

bool AllFinite(const std::vector<float>& values)
{
    for (float f : values)
        if (!std::isfinite(f))
            return false;
    return true;
}
}

SplinePath::~SplinePath() = default;

void SplinePath::EvaluateExtra(float, void**)
{
}

void SplinePath::Prepare()
{
    int n = m_nKeys;
    if (n < 4)
        return;
    m_bPrepared = false;

    // The periodic extension: the last two keys one period early, the keys, then the first
    // three keys one period late (the third for the rotations only).
    std::vector<int> keyOf;
    std::vector<float> t;
    keyOf.push_back(n - 2);
    t.push_back(m_pTimes[n - 2] - m_fPeriod);
    keyOf.push_back(n - 1);
    t.push_back(m_pTimes[n - 1] - m_fPeriod);
    for (int i = 0; i < n; ++i)
    {
        keyOf.push_back(i);
        t.push_back(m_pTimes[i]);
    }
    for (int i = 0; i < 3; ++i)
    {
        keyOf.push_back(i);
        t.push_back(i == 0 ? m_fPeriod : m_fPeriod + m_pTimes[i] - m_pTimes[0]);
    }
    for (size_t i = 1; i < t.size(); ++i)
        if (!(t[i] > t[i - 1]))
            return;

    std::vector<float> tPos(t.begin(), t.end() - 1);
    std::vector<float> y[3];
    for (size_t i = 0; i < tPos.size(); ++i)
    {
        const Vector3& v = m_pPositions[keyOf[i]];
        y[0].push_back(v.x);
        y[1].push_back(v.y);
        y[2].push_back(v.z);
    }
    std::vector<float>* pPos[3] = {&m_pPosX, &m_pPosY, &m_pPosZ};
    std::vector<float>* pPos2[3] = {&m_pPosX2, &m_pPosY2, &m_pPosZ2};
    for (int c = 0; c < 3; ++c)
    {
        std::vector<float> y2 = NaturalSpline(tPos, y[c]);
        pPos[c]->assign(y[c].begin() + 2, y[c].begin() + 2 + n);
        pPos2[c]->assign(y2.begin() + 2, y2.begin() + 2 + n);
        // The knot at the period repeats the first key.
        pPos[c]->push_back((*pPos[c])[0]);
        pPos2[c]->push_back((*pPos2[c])[0]);
    }
    m_pKnotTimes.assign(t.begin() + 2, t.begin() + 2 + n);
    m_pKnotTimes.push_back(m_fPeriod);

    // Consecutive rotations are brought into one hemisphere before mapping, so q and -q never
    // make the path turn the long way round.
    std::vector<D3DXQUATERNION> r;
    for (int nKey : keyOf)
        r.push_back(m_pRotations[nKey]);
    for (size_t i = 0; i + 1 < r.size(); ++i)
    {
        const D3DXQUATERNION& a = r[i];
        D3DXQUATERNION& b = r[i + 1];
        if (a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w < 0.0f)
            b = D3DXQUATERNION(-b.x, -b.y, -b.z, -b.w);
    }
    std::vector<float> channels[4];
    for (size_t i = 0; i < r.size(); ++i)
    {
        D3DXQUATERNION m = IsUnrotated(r[i]) ? MapUnrotated(r, i) : MapRotation(r[i]);
        channels[0].push_back(m.x);
        channels[1].push_back(m.y);
        channels[2].push_back(m.z);
        channels[3].push_back(m.w);
    }
    std::vector<float>* pRot[4] = {&m_pRotX, &m_pRotY, &m_pRotZ, &m_pRotW};
    std::vector<float>* pRot2[4] = {&m_pRotX2, &m_pRotY2, &m_pRotZ2, &m_pRotW2};
    for (int c = 0; c < 4; ++c)
    {
        std::vector<float> y2 = NaturalSpline(t, channels[c]);
        pRot[c]->assign(channels[c].begin() + 2, channels[c].begin() + 3 + n);
        pRot2[c]->assign(y2.begin() + 2, y2.begin() + 3 + n);
    }

    // Extreme key values can overflow the sweep; such a path stays unprepared.
    for (const std::vector<float>* pTable : {&m_pPosX, &m_pPosY, &m_pPosZ, &m_pPosX2, &m_pPosY2, &m_pPosZ2, &m_pRotX,
                                             &m_pRotY, &m_pRotZ, &m_pRotW, &m_pRotX2, &m_pRotY2, &m_pRotZ2,
                                             &m_pRotW2, &m_pKnotTimes})
        if (!AllFinite(*pTable))
            return;
    m_bPrepared = true;
}

SplinePath::Span SplinePath::FindSpan(float fTime) const
{
    float x = std::fmod(fTime, m_fPeriod);
    // Keys set after the tables were built do not count until the next Prepare.
    int nLo = 0, nHi = static_cast<int>(m_pKnotTimes.size()) - 1;
    while (nHi - nLo > 1)
    {
        int nMid = (nLo + nHi) / 2;
        if (x < m_pKnotTimes[nMid])
            nHi = nMid;
        else
            nLo = nMid;
    }
    float h = m_pKnotTimes[nHi] - m_pKnotTimes[nLo];
    return Span{nLo, nHi, (m_pKnotTimes[nHi] - x) / h, (x - m_pKnotTimes[nLo]) / h, h * h};
}

float SplinePath::Evaluate(const Span& s, const std::vector<float>& y, const std::vector<float>& y2)
{
    return s.fA * y[s.nLo] + s.fB * y[s.nHi] +
           ((s.fA * s.fA * s.fA - s.fA) * y2[s.nLo] + (s.fB * s.fB * s.fB - s.fB) * y2[s.nHi]) * s.fH2 / 6.0f;
}

bool SplinePath::GetPosition(float fTime, Vector3& vPosition)
{
    if (!m_bPrepared)
        Prepare();
    if (!m_bPrepared || !std::isfinite(fTime))
        return false;
    Span s = FindSpan(fTime);
    vPosition = Vector3(Evaluate(s, m_pPosX, m_pPosX2), Evaluate(s, m_pPosY, m_pPosY2), Evaluate(s, m_pPosZ, m_pPosZ2));
    return true;
}

bool SplinePath::GetRotation(float fTime, D3DXQUATERNION& qRotation)
{
    if (!m_bPrepared)
        Prepare();
    if (!m_bPrepared || !std::isfinite(fTime))
        return false;
    Span s = FindSpan(fTime);
    float a = Evaluate(s, m_pRotX, m_pRotX2);
    float b = Evaluate(s, m_pRotY, m_pRotY2);
    float c = Evaluate(s, m_pRotZ, m_pRotZ2);
    float d = Evaluate(s, m_pRotW, m_pRotW2);
    // The inverse of the mapping: (2 d (a, b, c), m - d^2) / (m + d^2) with m = a^2 + b^2 + c^2.
    float m = a * a + b * b + c * c;
    float fSum = m + d * d;
    if (!(fSum > 0.0f))
        return false;
    float o = 1.0f / fSum;
    D3DXQUATERNION q(2.0f * d * a * o, 2.0f * d * b * o, 2.0f * d * c * o, (m - d * d) * o);
    float fLengthSquared = q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w;
    if (fLengthSquared > 0.0f)
    {
        float fLength = std::sqrt(fLengthSquared);
        q = D3DXQUATERNION(q.x / fLength, q.y / fLength, q.z / fLength, q.w / fLength);
    }
    qRotation = q;
    return true;
}
