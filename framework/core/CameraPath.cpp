#include "core/CameraPath.h"

#include "core/ByteStream.h"
#include "core/FileIO.h"
#include "core/Log.h"

#include <cmath>

namespace
{
constexpr size_t NODE_BYTES = 24;
// The turn constants as the float literals 3.1415927 and 6.2831855.
constexpr float HALF_TURN = 3.1415927f;
constexpr float FULL_TURN = 6.2831855f;
constexpr float MAX_TIME = 1073741824.0f;
}

bool CameraPath::Load(const char* szPath)
{
    Clear();
    std::vector<uint8_t> data;
    if (!ReadWholeFile(szPath, data))
    {
        LogWarning("CameraPath::Load() - Cannot read %s.", szPath);
        return false;
    }
    ByteReader reader(data);
    int32_t nCount = 0;
    if (!reader.ReadI32(nCount))
    {
        LogWarning("CameraPath::Load() - %s is too short for a node count.", szPath);
        return true;
    }
    for (int32_t i = 0; i < nCount; ++i)
    {
        float values[6];
        for (float& f : values)
            reader.ReadF32(f);
        if (!reader.IsGood())
        {
            LogWarning("CameraPath::Load() - %s ends after %d of %d nodes.", szPath, i, nCount);
            return true;
        }
        m_Nodes.Add(CameraPathNode(values[0], values[1], values[2], values[3], values[4], values[5]));
    }
    if (nCount < 0)
        LogWarning("CameraPath::Load() - %s has a negative node count.", szPath);
    return true;
}

bool CameraPath::Save(const char* szPath) const
{
    ByteWriter writer;
    writer.WriteI32(m_Nodes.GetCount());
    for (int i = 0; i < m_Nodes.GetCount(); ++i)
    {
        const CameraPathNode& node = m_Nodes[i];
        const float values[6] = {node.x, node.y, node.z, node.angles[0], node.angles[1], node.angles[2]};
        for (float f : values)
            writer.WriteF32(f);
    }
    if (!WriteFileAtomic(szPath, writer.GetBuffer()))
    {
        LogWarning("CameraPath::Save() - Cannot write %s.", szPath);
        return false;
    }
    return true;
}

void CameraPath::AddNode(const Vector3& vPosition, float fAngle0, float fAngle1, float fAngle2)
{
    m_Nodes.Add(CameraPathNode(vPosition.x, vPosition.y, vPosition.z, fAngle0, fAngle1, fAngle2));
}

bool CameraPath::Evaluate(float fTime, CameraPathNode& node) const
{
    int n = m_Nodes.GetCount();
    if (n == 0 || !(std::fabs(fTime) < MAX_TIME))
        return false;
    int k = static_cast<int>(std::floor(fTime));
    float f = fTime - static_cast<float>(k);
    const CameraPathNode* keys[4];
    for (int i = 0; i < 4; ++i)
    {
        int nIndex = k - 1 + i;
        keys[i] = &m_Nodes[m_bClamp ? ClampIndex(nIndex, n) : WrapIndex(nIndex, n)];
    }
    CameraPathNode result;
    for (int a = 0; a < 3; ++a)
    {
        float samples[4] = {keys[0]->angles[a], keys[1]->angles[a], keys[2]->angles[a], keys[3]->angles[a]};
        UnwrapAngles(samples);
        result.angles[a] = CubicBlend(samples[0], samples[1], samples[2], samples[3], f);
    }
    result.x = CubicBlend(keys[0]->x, keys[1]->x, keys[2]->x, keys[3]->x, f);
    result.y = CubicBlend(keys[0]->y, keys[1]->y, keys[2]->y, keys[3]->y, f);
    result.z = CubicBlend(keys[0]->z, keys[1]->z, keys[2]->z, keys[3]->z, f);
    node = result;
    return true;
}

float CubicBlend(float p0, float p1, float p2, float p3, float t)
{
    float a = p3 - p2 - p0 + p1;
    float b = p0 - p1 - a;
    float c = p2 - p0;
    return p1 + t * (t * (t * a + b) + c);
}

void UnwrapAngles(float angles[4])
{
    for (int i = 1; i < 4; ++i)
    {
        // Bounded: a sample more than a few thousand turns away is left where the loop gives up,
        // rather than spinning on values whose turns no longer change them.
        for (int nTurns = 0; angles[i] - angles[i - 1] > HALF_TURN && nTurns < 4096; ++nTurns)
            angles[i] -= FULL_TURN;
        for (int nTurns = 0; angles[i - 1] - angles[i] > HALF_TURN && nTurns < 4096; ++nTurns)
            angles[i] += FULL_TURN;
    }
}

int ClampIndex(int i, int n)
{
    if (i < 0)
        return 0;
    return i < n ? i : n - 1;
}

int WrapIndex(int i, int n)
{
    int r = i % n;
    return r < 0 ? r + n : r;
}
