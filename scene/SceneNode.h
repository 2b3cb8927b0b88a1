#pragma once
// The base of everything placed in the world: the camera, the settings nodes and the meshes.
// A node's rigid body's world matrix is its placement; an optional closed path, read from a
// ".pth" file, can drive the body.
#include "core/Matrix4.h"
#include "core/Vector3.h"
#include "scene/KeyframePath.h"
#include "scene/PathFile.h"
#include "scene/RigidBody.h"

#include <win32/types.h>

#include <cstdint>

class SceneNodeBase
{
public:
    SceneNodeBase() = default;
    SceneNodeBase(const SceneNodeBase&) = delete;
    SceneNodeBase& operator=(const SceneNodeBase&) = delete;
    virtual ~SceneNodeBase() = default;

    // The matrix the node is drawn with; the rigid body's world matrix unless a node overrides.
    virtual Matrix4* GetDisplayMatrix() { return m_RigidBody.GetWorldMatrix(); }
    virtual Matrix4* GetWorldMatrix() { return m_RigidBody.GetWorldMatrix(); }
    // Writes the node's display colour into pColor and returns it.
    virtual Vector3* GetDisplayColor(Vector3* pColor);

    RigidBody m_RigidBody;
};

class SceneNode : public SceneNodeBase
{
public:
    SceneNode() = default;
    ~SceneNode() override;

    virtual Matrix4* GetTransform() { return m_RigidBody.GetWorldMatrix(); }

    // WM_SETFOCUS gives the node's controls back, WM_KILLFOCUS takes them away, WM_MOUSEMOVE
    // moves the node (MouseManipulate). Returns 0.
    LRESULT HandleMessage(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);

    // Reads a ".pth" file onto the node and builds its path. A file that cannot be opened stops
    // playback; a file that is malformed or cut short leaves the old path and keys as they were.
    // Whether the path plays is the caller's choice (m_bPathPlaying).
    bool LoadPath(const char* szFileName);
    // Replaces *ppPath with a new spline through the node's m_nPathKeys keys, equally spaced
    // by m_fSecondsPerKey and repeating after m_nPathLoops x m_fPathDuration.
    void BuildPath(const PathKey* pKeys, KeyframePath** ppPath);
    // Advances a playing path by dt seconds and places the body on it: world = base x
    // rotation x translation. A path that cannot be evaluated leaves the body where it is.
    void UpdatePath(float dt);

    float m_fPathDuration = 0.0f;
    KeyframePath* m_pPath = nullptr;
    float m_fPathTime = 0.0f;
    int32_t m_nPathKeys = 0;
    PathKey* m_pPathKeys = nullptr;
    float m_fSecondsPerKey = 0.0f;
    // Factor of the path's period; 1 after a load.
    int32_t m_nPathLoops = 1;
    // Keys and mouse may move the node.
    int32_t m_bControlEnabled = 0;
    // The frame driver records the node's motion into a camera path while this is set.
    bool m_bRecordPath = false;
    int32_t m_bPathPlaying = 0;
};
