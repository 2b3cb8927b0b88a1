#pragma once
// What the view asks of the transform tool window: which mesh or light its buttons move, and
// whether its Mouse Move button is down. The view holds the window through this interface, so it
// works (and is tested) with any window that moves scene objects, or with none.
#include <mfc/afxwin.h>

class SceneLight;
class SceneMesh;

class CTransformTarget
{
public:
    virtual ~CTransformTarget() = default;
    // The mesh (or light) the buttons move from now on; 0 for null, which changes nothing.
    virtual int SetMesh(SceneMesh* pMesh) = 0;
    virtual int SetLight(SceneLight* pLight) = 0;
    // Forgets both: the objects are about to go (the scene is rebuilt, cleared or loses a mesh).
    virtual void ClearTarget() = 0;
    virtual BOOL IsMouseMove() const = 0;
};
