#include "scene/SceneNode.h"

#include "core/Log.h"
#include "scene/D3DXBridge.h"
#include "scene/MouseManipulate.h"

#include <win32/messages.h>

#include <algorithm>
#include <new>

Vector3* SceneNodeBase::GetDisplayColor(Vector3* pColor)
{
    *pColor = Vector3(1.0f, 1.0f, 1.0f);
    return pColor;
}

SceneNode::~SceneNode()
{
    delete[] m_pPathKeys;
    m_pPathKeys = nullptr;
    delete m_pPath;
    m_pPath = nullptr;
}

LRESULT SceneNode::HandleMessage(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (nMessage == WM_SETFOCUS)
        m_bControlEnabled = 1;
    else if (nMessage == WM_KILLFOCUS)
        m_bControlEnabled = 0;
    else if (nMessage == WM_MOUSEMOVE)
        MouseManipulate(this, hWnd, nMessage, wParam, lParam);
    return 0;
}

bool SceneNode::LoadPath(const char* szFileName)
{
    std::vector<PathKey> keys;
    float fDuration = 0.0f;
    PathFileResult nResult = ReadPathFile(szFileName, keys, fDuration);
    if (nResult == PATH_FILE_CANNOT_OPEN)
        m_bPathPlaying = 0;
    if (nResult != PATH_FILE_OK)
        return false;

    PathKey* pKeys = new (std::nothrow) PathKey[keys.empty() ? 1 : keys.size()];
    if (!pKeys)
    {
        LogError("SceneNode::LoadPath() - cannot allocate %zu keys.", keys.size());
        return false;
    }
    std::copy(keys.begin(), keys.end(), pKeys);
    delete[] m_pPathKeys;
    m_pPathKeys = pKeys;
    m_nPathKeys = static_cast<int32_t>(keys.size());
    m_fPathDuration = fDuration;
    m_nPathLoops = 1;
    // An empty path has no spacing; it is never prepared and leaves the node unmoved.
    m_fSecondsPerKey = m_nPathKeys > 0 ? m_nPathLoops * m_fPathDuration / m_nPathKeys : 0.0f;
    BuildPath(m_pPathKeys, &m_pPath);
    return true;
}

void SceneNode::BuildPath(const PathKey* pKeys, KeyframePath** ppPath)
{
    delete *ppPath;
    *ppPath = nullptr;
    SplinePath* pPath = new SplinePath;
    *ppPath = pPath;
    for (int i = 0; i < m_nPathKeys; ++i)
        pPath->SetKey(i, i * m_fSecondsPerKey, &pKeys[i].m_vPosition, &pKeys[i].m_qRotation);
    pPath->SetPeriod(m_nPathLoops * m_fPathDuration);
}

void SceneNode::UpdatePath(float dt)
{
    if (m_bPathPlaying)
        m_fPathTime += dt;
    if (!m_pPath || !m_bPathPlaying)
        return;
    Vector3 vPosition;
    D3DXQUATERNION qRotation;
    if (!m_pPath->GetPosition(m_fPathTime, vPosition) || !m_pPath->GetRotation(m_fPathTime, qRotation) ||
        !IsFinite(vPosition) || !IsFinite(qRotation))
        return;
    Matrix4 matBase = m_RigidBody.m_matBase;
    m_RigidBody.SetFromMatrix(matBase);
    m_RigidBody.Rotate(qRotation);
    m_RigidBody.Translate(vPosition);
}
