#include "3dapi/ArcBall.h"

#include <win32/messages.h>

#include <cmath>

D3DXVECTOR3 g_vArcBallDown(0.0f, 0.0f, 0.0f);
int32_t g_nArcBallMouseX = 0;
int32_t g_nArcBallMouseY = 0;

ArcBall::ArcBall()
{
    Reset();
}

void ArcBall::Reset()
{
    D3DXQuaternionIdentity(&m_qDragStart);
    D3DXQuaternionIdentity(&m_qCurrent);
    D3DXMatrixIdentity(&m_matRotation);
    D3DXMatrixIdentity(&m_matRotationDelta);
    D3DXMatrixIdentity(&m_matTranslation);
    D3DXMatrixIdentity(&m_matTranslationDelta);
    m_fTranslationRadius = 1.0f;
    m_bDragging = 0;
    m_bRightHanded = 0;
}

void ArcBall::SetWindow(int32_t nWidth, int32_t nHeight, float fRadius)
{
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_fRadius = fRadius;
}

D3DXVECTOR3 ArcBall::ScreenToSphere(int32_t x, int32_t y) const
{
    if (!HasWindow())
        return D3DXVECTOR3(0.0f, 0.0f, 1.0f);
    float sx = (m_nWidth / 2 - x) / (m_nWidth * m_fRadius / 2);
    float sy = (y - m_nHeight / 2) / (m_nHeight * m_fRadius / 2);
    if (m_bRightHanded)
    {
        sx = -sx;
        sy = -sy;
    }
    float m = sx * sx + sy * sy;
    if (m > 1.0f)
    {
        // Outside the sphere: the nearest point of its rim.
        float fScale = 1.0f / std::sqrt(m);
        return D3DXVECTOR3(sx * fScale, sy * fScale, 0.0f);
    }
    return D3DXVECTOR3(sx, sy, std::sqrt(1.0f - m));
}

LRESULT ArcBall::HandleMessage(HWND, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (!HasWindow())
        return 0;
    int32_t x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    switch (nMessage)
    {
    case WM_LBUTTONDOWN:
        m_bDragging = 1;
        g_vArcBallDown = ScreenToSphere(x, y);
        m_qDragStart = m_qCurrent;
        return 1;
    case WM_LBUTTONUP:
        m_bDragging = 0;
        return 1;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        g_nArcBallMouseX = x;
        g_nArcBallMouseY = y;
        return 1;
    case WM_MOUSEMOVE:
        if (wParam & MK_LBUTTON)
        {
            if (m_bDragging)
            {
                D3DXQUATERNION q = QuaternionFromVectors(g_vArcBallDown, ScreenToSphere(x, y));
                D3DXQuaternionMultiply(&m_qCurrent, &m_qDragStart, &q);
                D3DXMatrixRotationQuaternion(&m_matRotationDelta, &q);
            }
            else
                D3DXMatrixIdentity(&m_matRotationDelta);
            D3DXMatrixRotationQuaternion(&m_matRotation, &m_qCurrent);
            m_bDragging = 1;
        }
        else if (wParam & (MK_RBUTTON | MK_MBUTTON))
        {
            float dx = (g_nArcBallMouseX - x) * m_fTranslationRadius / m_nWidth;
            float dy = (g_nArcBallMouseY - y) * m_fTranslationRadius / m_nHeight;
            if (wParam & MK_RBUTTON)
                D3DXMatrixTranslation(&m_matTranslationDelta, -2.0f * dx, 2.0f * dy, 0.0f);
            else
                D3DXMatrixTranslation(&m_matTranslationDelta, 0.0f, 0.0f, 5.0f * dy);
            D3DXMatrixMultiply(&m_matTranslation, &m_matTranslation, &m_matTranslationDelta);
            g_nArcBallMouseX = x;
            g_nArcBallMouseY = y;
        }
        return 1;
    default:
        return 0;
    }
}

D3DXQUATERNION QuaternionFromVectors(const D3DXVECTOR3& vFrom, const D3DXVECTOR3& vTo)
{
    D3DXVECTOR3 a, b, h;
    D3DXVec3Normalize(&a, &vFrom);
    D3DXVec3Normalize(&b, &vTo);
    D3DXVECTOR3 sum = a + b;
    D3DXVec3Normalize(&h, &sum);
    return QuaternionFromUnitVectors(a, h);
}

D3DXQUATERNION QuaternionFromUnitVectors(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    D3DXVECTOR3 axis;
    D3DXVec3Cross(&axis, &a, &b);
    return D3DXQUATERNION(axis.x, axis.y, axis.z, D3DXVec3Dot(&a, &b));
}
