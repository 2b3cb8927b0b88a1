#include "3dapi/ViewCamera.h"

ViewCamera g_ViewCamera;

ViewCamera::ViewCamera()
{
    SetView(D3DXVECTOR3(0.0f, 0.0f, 0.0f), D3DXVECTOR3(0.0f, 0.0f, 1.0f), D3DXVECTOR3(0.0f, 1.0f, 0.0f));
    SetProjection(D3DX_PI / 4, 1.0f, 1.0f, 1000.0f);
}

void ViewCamera::SetView(const D3DXVECTOR3& vEye, const D3DXVECTOR3& vLookAt, const D3DXVECTOR3& vUp)
{
    m_vEye = vEye;
    m_vLookAt = vLookAt;
    m_vUp = vUp;
    D3DXVECTOR3 vDir = m_vLookAt - m_vEye;
    D3DXVec3Normalize(&m_vViewDir, &vDir);
    D3DXVec3Cross(&m_vCross, &m_vViewDir, &m_vUp);
    D3DXMatrixLookAtLH(&m_matView, &m_vEye, &m_vLookAt, &m_vUp);
    D3DXMatrixInverse(&m_matBillboard, nullptr, &m_matView);
    m_matBillboard._41 = 0.0f;
    m_matBillboard._42 = 0.0f;
    m_matBillboard._43 = 0.0f;
}

void ViewCamera::SetProjection(float fFOV, float fAspect, float fNearPlane, float fFarPlane)
{
    m_fFOV = fFOV;
    m_fAspect = fAspect;
    m_fNearPlane = fNearPlane;
    m_fFarPlane = fFarPlane;
    D3DXMatrixPerspectiveFovLH(&m_matProjection, fFOV, fAspect, fNearPlane, fFarPlane);
}
