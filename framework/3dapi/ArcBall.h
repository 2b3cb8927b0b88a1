#pragma once
// Mouse drags over a window as a rotation (left button, on a virtual sphere), a pan (right
// button) and a dolly (middle button), held as quaternions and matrices.
//
// The sphere point where a left drag began and the last panning position are process-wide,
// shared by every ArcBall, so a drag begun in one continues from the same point in another.
#include <d3dx9math.h>
#include <win32/types.h>

extern D3DXVECTOR3 g_vArcBallDown;
extern int32_t g_nArcBallMouseX;
extern int32_t g_nArcBallMouseY;

class ArcBall
{
public:
    ArcBall();

    void Reset();
    // Window size in pixels and the sphere's radius as a share of the half window. Until it is
    // called the ball has no window: every message is left unused and points map to (0, 0, 1).
    void SetWindow(int32_t nWidth, int32_t nHeight, float fRadius);
    void SetTranslationRadius(float fRadius) { m_fTranslationRadius = fRadius; }
    D3DXVECTOR3 ScreenToSphere(int32_t x, int32_t y) const;
    // 1 when the message was used, 0 otherwise; the window is not read.
    LRESULT HandleMessage(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);

    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    float m_fRadius = 0.0f;
    float m_fTranslationRadius;
    D3DXQUATERNION m_qDragStart;
    D3DXQUATERNION m_qCurrent;
    D3DXMATRIX m_matRotation;
    D3DXMATRIX m_matRotationDelta;
    D3DXMATRIX m_matTranslation;
    D3DXMATRIX m_matTranslationDelta;
    int32_t m_bDragging;
    int32_t m_bRightHanded;

private:
    bool HasWindow() const { return m_nWidth > 0 && m_nHeight > 0 && m_fRadius > 0.0f; }
};

// The rotation taking direction vFrom to direction vTo (through their half-way direction).
D3DXQUATERNION QuaternionFromVectors(const D3DXVECTOR3& vFrom, const D3DXVECTOR3& vTo);
// (a x b, a . b): for unit vectors a and b, twice the rotation from a to b.
D3DXQUATERNION QuaternionFromUnitVectors(const D3DXVECTOR3& a, const D3DXVECTOR3& b);
