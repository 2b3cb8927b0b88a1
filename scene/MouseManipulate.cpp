#include "scene/MouseManipulate.h"

#include "scene/D3DXBridge.h"

#include <win32/messages.h>

#include <algorithm>
#include <cmath>

int32_t g_nManipulateWidth = 0;
int32_t g_nManipulateHeight = 0;
int32_t g_nManipulateLastX = 0;
int32_t g_nManipulateLastY = 0;
Vector3 g_vLastArcball(0.0f, 0.0f, 0.0f);

namespace
{
// The smaller window side (the height when they are equal), the unit of every move.
float ManipulateSize()
{
    return static_cast<float>(g_nManipulateWidth < g_nManipulateHeight ? g_nManipulateWidth : g_nManipulateHeight);
}

// Moves the node by v, a direction in the node's display space.
void TranslateInDisplaySpace(SceneNodeBase* pNode, const D3DXVECTOR3& v)
{
    D3DXMATRIX matDisplay = ToD3DX(*pNode->GetDisplayMatrix());
    D3DXVECTOR3 vWorld;
    D3DXVec3TransformNormal(&vWorld, &v, &matDisplay);
    pNode->m_RigidBody.Translate(ToVector3(vWorld));
}
}

void SetManipulateWindowSize(int32_t nWidth, int32_t nHeight)
{
    g_nManipulateWidth = nWidth;
    g_nManipulateHeight = nHeight;
}

Vector3 ManipulateArcballVector(int32_t x, int32_t y)
{
    const float fSize = ManipulateSize();
    if (fSize <= 0.0f)
        return Vector3(0.0f, 0.0f, 0.0f);
    // The window's integer halves and the integer products, as the pointer positions are.
    float ax = std::clamp((x - g_nManipulateWidth / 2) * 2 / fSize, -1.0f, 1.0f);
    float ay = std::clamp(-((y - g_nManipulateHeight / 2) * 2 / fSize), -1.0f, 1.0f);
    float az2 = 1.0f - ax * ax - ay * ay;
    return Vector3(ax, ay, az2 > 0.0f ? std::sqrt(az2) : 0.0f);
}

LRESULT MouseManipulate(SceneNodeBase* pNode, HWND, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (nMessage != WM_MOUSEMOVE || !pNode)
        return 0;
    const int32_t x = LOWORD(lParam), y = HIWORD(lParam);
    const float fSize = ManipulateSize();
    // Without a window size there is no unit to move by: the position is only recorded.
    if (fSize > 0.0f)
    {
        const float dx = (x - g_nManipulateLastX) / fSize, dy = (y - g_nManipulateLastY) / fSize;
        if (wParam & MK_RBUTTON)
            TranslateInDisplaySpace(pNode, D3DXVECTOR3(dx, dy, 0.0f));
        else if (wParam & MK_MBUTTON)
            TranslateInDisplaySpace(pNode, D3DXVECTOR3(0.0f, 0.0f, dy));
        else if (wParam & MK_LBUTTON)
        {
            Vector3 vCur = ManipulateArcballVector(x, y);
            Vector3 vAxis = Cross(vCur, g_vLastArcball);
            if (LengthSquared(vAxis) > 0.0f && LengthSquared(vCur) > 0.0f && LengthSquared(g_vLastArcball) > 0.0f)
            {
                vAxis.Normalize();
                vCur.Normalize();
                g_vLastArcball.Normalize();
                float fCos = std::clamp(Dot(vCur, g_vLastArcball), -1.0f, 1.0f);
                float fAngle = std::acos(fCos);
                // The node's display colour weights the axis: its length scales the turn.
                Vector3 vColor;
                pNode->GetDisplayColor(&vColor);
                Vector3 vWeighted(vColor.x * vAxis.x, vColor.y * vAxis.y, vColor.z * vAxis.z);
                float k = Length(vWeighted);
                D3DXMATRIX matWorld = ToD3DX(*pNode->GetWorldMatrix());
                D3DXVECTOR3 vAxisD3DX = ToD3DX(vAxis), vWorldAxis;
                D3DXVec3TransformNormal(&vWorldAxis, &vAxisD3DX, &matWorld);
                D3DXQUATERNION q;
                D3DXQuaternionRotationAxis(&q, &vWorldAxis, k * fAngle);
                pNode->m_RigidBody.Rotate(q);
            }
        }
    }
    g_vLastArcball = ManipulateArcballVector(x, y);
    g_nManipulateLastX = x;
    g_nManipulateLastY = y;
    return 0;
}
