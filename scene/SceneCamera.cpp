#include "scene/SceneCamera.h"

#include "scene/D3DXBridge.h"

#include <win32/user.h>

#include <algorithm>

uint8_t g_bFullScreenRequest = 0;

const CameraKey g_CameraKeyTable[CAMERA_KEY_COUNT] = {
    {CAMERA_KEY_UP, 'Q'},
    {CAMERA_KEY_DOWN, 'A'},
    {CAMERA_KEY_LEFT, 'S'},
    {CAMERA_KEY_RIGHT, 'F'},
    {CAMERA_KEY_FORWARDS, VK_UP},
    {CAMERA_KEY_BACKWARDS, VK_DOWN},
    {CAMERA_KEY_PITCH_DOWN, 'K'},
    {CAMERA_KEY_PITCH_UP, 'L'},
    {CAMERA_KEY_YAW_LEFT, VK_LEFT},
    {CAMERA_KEY_YAW_RIGHT, VK_RIGHT},
    {CAMERA_KEY_ROLL_LEFT, 'O'},
    {CAMERA_KEY_ROLL_RIGHT, 'I'},
    {CAMERA_KEY_START_RECORDING, 'T'},
    {CAMERA_KEY_STOP_RECORDING, 'R'},
    {CAMERA_KEY_HOME, VK_HOME},
    {CAMERA_KEY_END, VK_END},
};

namespace
{
// The body-space push of each motion action: a unit force or a unit torque (x pitch, y yaw,
// z roll), scaled by the control speed afterwards.
struct KeyMotion
{
    Vector3 vForce;
    Vector3 vTorque;
};

const KeyMotion KEY_MOTIONS[CAMERA_KEY_ACTION_COUNT] = {
    {{0, 1, 0}, {0, 0, 0}},  {{0, -1, 0}, {0, 0, 0}}, {{-1, 0, 0}, {0, 0, 0}}, {{1, 0, 0}, {0, 0, 0}},
    {{0, 0, 1}, {0, 0, 0}},  {{0, 0, -1}, {0, 0, 0}}, {{0, 0, 0}, {-1, 0, 0}}, {{0, 0, 0}, {1, 0, 0}},
    {{0, 0, 0}, {0, -1, 0}}, {{0, 0, 0}, {0, 1, 0}},  {{0, 0, 0}, {0, 0, 1}},  {{0, 0, 0}, {0, 0, -1}},
    {{0, 0, 0}, {0, 0, 0}},  {{0, 0, 0}, {0, 0, 0}},  {{0, 0, 0}, {0, 0, 0}},  {{0, 0, 0}, {0, 0, 0}},
};

bool IsKeyDown(int nKey)
{
    return GetKeyState(nKey) < 0;
}
}

SceneCamera::SceneCamera()
{
    SetType(TREE_ITEM_CAMERA);
    CopySceneName(m_szPathFile, "NONE");
    m_RigidBody.m_fMass = 3.0f;
    m_RigidBody.m_fAirResistance = 3.0f;
    m_RigidBody.m_fAngularAirResistance = 3.0f;
    m_bControlEnabled = 1;
}

SceneCamera::~SceneCamera() = default;

void SceneCamera::PollKeys()
{
    m_RigidBody.m_vLocalForce = Vector3(0.0f, 0.0f, 0.0f);
    m_RigidBody.m_vLocalTorque = Vector3(0.0f, 0.0f, 0.0f);
    // Any modifier held leaves the keys to the window's own shortcuts.
    if (IsKeyDown(VK_CONTROL) || IsKeyDown(VK_SHIFT) || IsKeyDown(VK_MENU))
        return;
    for (const CameraKey& key : g_CameraKeyTable)
    {
        if (!IsKeyDown(key.m_nKey))
            continue;
        m_RigidBody.m_vLocalForce += KEY_MOTIONS[key.m_nAction].vForce;
        m_RigidBody.m_vLocalTorque += KEY_MOTIONS[key.m_nAction].vTorque;
        if (key.m_nAction == CAMERA_KEY_START_RECORDING)
        {
            m_bRecordPath = true;
            g_bFullScreenRequest = 1;
        }
        else if (key.m_nAction == CAMERA_KEY_STOP_RECORDING)
        {
            g_bFullScreenRequest = 0;
            m_bRecordPath = false;
            m_bSavePathRequest = 1;
        }
    }
}

void SceneCamera::Update(float dt)
{
    UpdatePath(dt);
    if (!m_bControlEnabled || (m_pPath && m_bPathPlaying))
        return;

    PollKeys();
    m_RigidBody.m_vLocalForce *= m_fControlSpeed;
    m_RigidBody.m_vLocalTorque *= m_fControlSpeed / 30.0f;

    Vector3 vGravity = g_vGravity;
    g_vGravity = Vector3(0.0f, 0.0f, 0.0f);
    // Each pass runs two steps, the second always a whole STEP, so a frame of STEP seconds
    // integrates twice; the camera's speed was tuned with that.
    while (dt > 0.0f)
    {
        float fStep = std::min(dt, STEP);
        m_RigidBody.Integrate(fStep);
        dt -= fStep;
        m_RigidBody.Integrate(STEP);
        float fRest = dt - std::min(dt, STEP);
        // A step too large to lower dt at all would never end.
        if (fRest == dt && dt > 0.0f)
            break;
        dt = fRest;
    }
    g_vGravity = vGravity;
}

Matrix4* SceneCamera::GetDisplayMatrix()
{
    static Matrix4 s_matDisplay;
    D3DXMATRIX matScaling, matWorld = ToD3DX(*m_RigidBody.GetWorldMatrix()), matDisplay;
    D3DXMatrixScaling(&matScaling, -4.0f, 4.0f, 10.0f);
    D3DXMatrixMultiply(&matDisplay, &matScaling, &matWorld);
    s_matDisplay = ToMatrix4(matDisplay);
    return &s_matDisplay;
}

Vector3* SceneCamera::GetDisplayColor(Vector3* pColor)
{
    *pColor = Vector3(0.4f, 0.4f, 0.8f);
    return pColor;
}
