// Left-handed look-at and projection matrices.
#include "MathTestUtil.h"

#include <cmath>

namespace
{

struct CubeFace
{
    const char* name;
    D3DXVECTOR3 direction, up;
    // The camera's right, up and forward axes in world space, as the cube-map face layout
    // defines them (right = the face's +u direction, up = its -v direction).
    D3DXVECTOR3 right, cameraUp, forward;
};

const CubeFace kCubeFaces[] = {
    {"+x", {1, 0, 0}, {0, 1, 0}, {0, 0, -1}, {0, 1, 0}, {1, 0, 0}},
    {"-x", {-1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 1, 0}, {-1, 0, 0}},
    {"+y", {0, 1, 0}, {0, 0, -1}, {1, 0, 0}, {0, 0, -1}, {0, 1, 0}},
    {"-y", {0, -1, 0}, {0, 0, 1}, {1, 0, 0}, {0, 0, 1}, {0, -1, 0}},
    {"+z", {0, 0, 1}, {0, 1, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
    {"-z", {0, 0, -1}, {0, 1, 0}, {-1, 0, 0}, {0, 1, 0}, {0, 0, -1}},
};

TEST(D3DXView, LookAtCubeFacesFromOrigin)
{
    const D3DXVECTOR3 eye(0, 0, 0);
    for (const CubeFace& f : kCubeFaces)
    {
        SCOPED_TRACE(f.name);
        D3DXMATRIX view;
        D3DXMatrixLookAtLH(&view, &eye, &f.direction, &f.up);
        // The axes are the columns of the rotation part.
        const D3DXVECTOR3& r = f.right;
        const D3DXVECTOR3& u = f.cameraUp;
        const D3DXVECTOR3& z = f.forward;
        ExpectMatrixNear(view, {r.x, u.x, z.x, 0, r.y, u.y, z.y, 0, r.z, u.z, z.z, 0, 0, 0, 0, 1});
    }
}

TEST(D3DXView, LookAtCubeFacesFromAnEye)
{
    // Seen from the eye, the face's direction is straight ahead, its right is +x, its up +y.
    const D3DXVECTOR3 eye(1, -2, 3);
    for (const CubeFace& f : kCubeFaces)
    {
        SCOPED_TRACE(f.name);
        const D3DXVECTOR3 at = eye + f.direction;
        D3DXMATRIX view;
        D3DXMatrixLookAtLH(&view, &eye, &at, &f.up);
        ExpectVectorNear(TransformPoint(eye, view), D3DXVECTOR3(0, 0, 0));
        ExpectVectorNear(TransformPoint(eye + f.direction * 4, view), D3DXVECTOR3(0, 0, 4));
        ExpectVectorNear(TransformPoint(eye + f.right, view), D3DXVECTOR3(1, 0, 0));
        ExpectVectorNear(TransformPoint(eye + f.cameraUp, view), D3DXVECTOR3(0, 1, 0));
    }
}

TEST(D3DXView, LookAtNormalisesASlantedUp)
{
    // An up vector that is neither unit nor perpendicular still gives an orthonormal basis.
    const D3DXVECTOR3 eye(0, 0, -5), at(0, 0, 0), up(0, 3, 3);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    ExpectMatrixNear(view, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 5, 1});
}

TEST(D3DXProjection, PerspectiveFovElements)
{
    D3DXMATRIX p;
    D3DXMatrixPerspectiveFovLH(&p, D3DX_PI / 4, 1.0f, 1.0f, 1000.0f);
    const float cotEighth = 1.0f + std::sqrt(2.0f); // cot(π/8)
    const float depth = 1000.0f / 999.0f;
    ExpectMatrixNear(p, {cotEighth, 0, 0, 0, 0, cotEighth, 0, 0, 0, 0, depth, 1, 0, 0, -depth, 0});

    // The near plane projects to depth 0, the far plane to 1.
    EXPECT_NEAR(TransformPoint(D3DXVECTOR3(0, 0, 1), p).z, 0.0f, kMathTolerance);
    EXPECT_NEAR(TransformPoint(D3DXVECTOR3(0, 0, 1000), p).z, 1.0f, kMathTolerance);

    // The aspect ratio divides _11 only.
    D3DXMatrixPerspectiveFovLH(&p, D3DX_PI / 2, 2.0f, 0.5f, 200000.0f);
    EXPECT_NEAR(p._11, 0.5f, kMathTolerance);
    EXPECT_NEAR(p._22, 1.0f, kMathTolerance);
}

TEST(D3DXProjection, OrthoOffCenterMapsTheBoxCorners)
{
    D3DXMATRIX p;
    D3DXMatrixOrthoOffCenterLH(&p, 0, 640, 480, 0, 0, 1);
    ExpectVectorNear(TransformPoint(D3DXVECTOR3(0, 480, 0), p), D3DXVECTOR3(-1, -1, 0));
    ExpectVectorNear(TransformPoint(D3DXVECTOR3(640, 0, 1), p), D3DXVECTOR3(1, 1, 1));
    ExpectVectorNear(TransformPoint(D3DXVECTOR3(320, 240, 0.5f), p), D3DXVECTOR3(0, 0, 0.5f));
}

} // namespace
