#pragma once
// A list of camera keys (position and three angles in radians) stored in a small binary file
// and played back by cubic interpolation at a fractional key time. The angles are made
// continuous before blending so the camera never spins the long way round.
//
// File (little-endian, no header): int32 node count, then per node six float32: x, y, z,
// angle 0, angle 1, angle 2.
#include "core/Array.h"
#include "core/Vector3.h"

struct CameraPathNode
{
    float x, y, z;
    float angles[3];

    CameraPathNode() = default;
    CameraPathNode(float fX, float fY, float fZ, float fAngle0, float fAngle1, float fAngle2)
        : x(fX), y(fY), z(fZ), angles{fAngle0, fAngle1, fAngle2}
    {
    }
};

class CameraPath
{
public:
    CameraPath() = default;
    ~CameraPath() { Clear(); }

    // Empties the path, then reads the file; false when it cannot be read. A file that ends
    // before its count is reached (or that claims a negative count) keeps the whole nodes it
    // holds, with a logged warning.
    bool Load(const char* szPath);
    // Written to a temporary file and renamed over the target.
    bool Save(const char* szPath) const;

    void AddNode(const Vector3& vPosition, float fAngle0, float fAngle1, float fAngle2);
    // Order kept; an index out of range does nothing.
    void RemoveNode(int nIndex) { m_Nodes.Remove(nIndex); }
    void RemoveLast() { m_Nodes.Remove(m_Nodes.GetCount() - 1); }
    // The memory is kept for refilling.
    void Clear() { m_Nodes.Reset(); }
    int GetNodeCount() const { return m_Nodes.GetCount(); }
    const CameraPathNode& GetNode(int nIndex) const { return m_Nodes[nIndex]; }

    // The node at a fractional key time: node k at time k, blended cubically from keys k - 1 to
    // k + 2 in between. Key indices wrap around (the path is a closed loop) unless the clamp
    // flag is set, which nothing does. False, with the output unchanged, for an empty path or a
    // time that is not a finite number below 2^30 in size.
    bool Evaluate(float fTime, CameraPathNode& node) const;

private:
    Array<CameraPathNode> m_Nodes;
    bool m_bClamp = false;
};

// Cubic through four equally spaced samples: p1 at t = 0, p2 at t = 1.
float CubicBlend(float p0, float p1, float p2, float p3, float t);
// Shifts each sample after the first by whole turns so that it lies within half a turn of the
// (already corrected) sample before it.
void UnwrapAngles(float angles[4]);
// 0 below 0, n - 1 from n on.
int ClampIndex(int i, int n);
// i mod n, made non-negative.
int WrapIndex(int i, int n);
