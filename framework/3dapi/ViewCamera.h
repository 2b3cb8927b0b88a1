#pragma once
// The parameters of a view (eye, look-at point, up) and of a perspective projection, with the
// view, billboard and projection matrices built from them.
#include <d3dx9math.h>

class ViewCamera
{
public:
    // Eye at the origin looking down +z with +y up; a quarter-pi field of view, aspect 1, near 1
    // and far 1000.
    ViewCamera();

    void SetView(const D3DXVECTOR3& vEye, const D3DXVECTOR3& vLookAt, const D3DXVECTOR3& vUp);
    void SetProjection(float fFOV, float fAspect, float fNearPlane, float fFarPlane);

    D3DXVECTOR3 m_vEye;
    D3DXVECTOR3 m_vLookAt;
    D3DXVECTOR3 m_vUp;
    D3DXVECTOR3 m_vViewDir;   // normalised look-at minus eye
    D3DXVECTOR3 m_vCross;     // view direction x up
    D3DXMATRIX m_matView;
    D3DXMATRIX m_matBillboard;   // the view's rotation undone: turns sprites to face the eye
    float m_fFOV;
    float m_fAspect;
    float m_fNearPlane;
    float m_fFarPlane;
    D3DXMATRIX m_matProjection;
};

extern ViewCamera g_ViewCamera;
