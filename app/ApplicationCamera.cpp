// The application camera and its keys: a position and three angles that the console shows and
// sets, the key-state table, and the hot keys of the key bindings.
#include "app/ApplicationBase.h"

namespace
{
// Key codes past 255 share the entry of their low byte.
int KeyStateIndex(int nKey)
{
    return ((nKey % 256) + 256) % 256;
}
}

bool ApplicationBase::ResetCamera()
{
    m_vCameraPosition = Vector3(0.0f, 0.0f, 0.0f);
    m_vCameraAngles = Vector3(0.0f, 0.0f, 0.0f);
    return true;
}

bool ApplicationBase::OnKey(int nKey, bool bDown)
{
    m_bKeyState[KeyStateIndex(nKey)] = bDown;
    if (!bDown)
        return true;
    // The frame-rate key has no action of its own; it also shields a screenshot key bound to it.
    if (nKey == m_nShowFpsKey)
        return true;
    if (nKey == m_nScreenshotKey)
        TakeScreenshot();
    return true;
}

bool ApplicationBase::RotateCamera(float a, float b, float c)
{
    m_vCameraAngles.x += a;
    m_vCameraAngles.y += b;
    m_vCameraAngles.z += c;
    return true;
}

bool ApplicationBase::SetPosition(const Vector3& vPosition)
{
    m_vCameraPosition = vPosition;
    return true;
}

bool ApplicationBase::MoveCamera()
{
    auto IsDown = [this](int nKey) { return m_bKeyState[KeyStateIndex(nKey)]; };
    // The view matrix's rows are the camera's axes in world space.
    const Vector3 vAxisX(m_matView[0], m_matView[4], m_matView[8]);
    const Vector3 vAxisY(m_matView[1], m_matView[5], m_matView[9]);
    const Vector3 vAxisZ(m_matView[2], m_matView[6], m_matView[10]);

    Vector3 vDirection(0.0f, 0.0f, 0.0f);
    if (IsDown(m_nLeftKey))
        vDirection -= vAxisX;
    if (IsDown(m_nRightKey))
        vDirection += vAxisX;
    if (IsDown(m_nBackwardsKey))
        vDirection -= vAxisZ;
    if (IsDown(m_nForwardsKey))
        vDirection += vAxisZ;
    if (IsDown(m_nDownKey))
        vDirection -= vAxisY;
    if (IsDown(m_nUpKey))
        vDirection += vAxisY;
    if (IsDown(m_nResetKey))
        ResetCamera();

    float fLengthSquared = vDirection.x * vDirection.x + vDirection.y * vDirection.y + vDirection.z * vDirection.z;
    if (fLengthSquared != 0.0f)
        vDirection *= FastInvSqrt(fLengthSquared);
    float fDistance = m_fFrameTime * m_fCameraSpeed;
    return SetPosition(m_vCameraPosition + vDirection * fDistance);
}
