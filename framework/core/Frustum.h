#pragma once
// The view volume as six planes taken from a view and a projection matrix, with conservative
// visibility tests: anything reported invisible is outside, but an object near a corner of the
// volume may be reported visible although it lies outside.
#include "core/Matrix4.h"
#include "core/Plane.h"

class Frustum
{
public:
    // Planes in the order x <= w, -w <= x, y <= w, -w <= y, z <= w (far), -w <= z (near, for
    // the -1..1 depth of Matrix4::SetPerspective); each normalised, its normal pointing inwards.
    void SetFromMatrices(const Matrix4& view, const Matrix4& projection);

    // Strictly inside every plane: a point on a plane is not inside.
    bool IsPointInside(const Vector3& p) const;
    // False when every point lies on or behind one plane.
    bool IsPolygonVisible(const Vector3* pPoints, int nCount) const;
    // False when the centre is radius or more behind one plane.
    bool IsSphereVisible(const Vector3& vCentre, float fRadius) const;
    // False when all eight corners of the box lie on or behind one plane.
    bool IsBoxVisible(float x0, float x1, float y0, float y1, float z0, float z1) const;

    const Plane& GetPlane(int i) const { return m_Planes[i]; }

private:
    Plane m_Planes[6];
};
