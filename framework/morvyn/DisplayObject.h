#pragma once
// The abstract base of every game object of the sample framework: the links of the rendering
// core's display-object list, a world position, a kind, an active flag, a serial id and the
// virtual frame operations. The concrete kinds add the physics and the drawing; registering and
// unregistering (morvyn.h) is the only thing the core itself does with an object.
#include "core/Vector3.h"

#include <win32/types.h>

#include <cstdint>

// Kinds; the core counts enemies separately.
enum DisplayObjectType : int32_t
{
    DISPLAY_OBJECT_ENEMY = 0,
    DISPLAY_OBJECT_SHIP = 1,
    DISPLAY_OBJECT_BULLET = 2,
};

// Objects constructed so far in this process; the latest id handed out.
extern int32_t g_nDisplayObjectsCreated;

class DisplayObject
{
public:
    // Takes the next serial id (1, 2, 3, ... in order of construction, never reused).
    explicit DisplayObject(int32_t nType);
    // Does not take the object out of the display-object list: UnregisterDisplayObject does.
    virtual ~DisplayObject() = default;
    DisplayObject(const DisplayObject&) = delete;
    DisplayObject& operator=(const DisplayObject&) = delete;

    // Device-object lifecycle shared with the other device-bound objects; nothing to do here.
    virtual HRESULT Setup() { return S_OK; }
    virtual HRESULT CreateDeviceResources() { return S_OK; }
    virtual HRESULT RestoreDeviceResources() { return S_OK; }
    // One step of dt seconds into the next state.
    virtual HRESULT Integrate(float fDeltaTime) = 0;
    // Reacts to touching another object; nValue is not read by any kind.
    virtual HRESULT Collide(uint32_t nValue, DisplayObject* pOther) = 0;
    // Makes the state Integrate computed the current one.
    virtual HRESULT EndStep(float fDeltaTime);
    // Marks the object as touched; the arguments are not read.
    virtual HRESULT Touch(float fA, float fB, uint32_t nValue);
    // Draws the object shifted by the offsets; the number of faces drawn goes to *pFaces.
    virtual HRESULT Render(float fOffsetX, float fOffsetZ, int* pFaces) = 0;
    virtual HRESULT ReleaseDeviceResources() { return S_OK; }
    virtual HRESULT DestroyDeviceResources() { return S_OK; }
    virtual void Cleanup() {}

    // Links of the display-object list, kept by RegisterDisplayObject and UnregisterDisplayObject.
    DisplayObject* m_pNext = nullptr;
    DisplayObject* m_pPrev = nullptr;
    Vector3 m_vPosition{0.0f, 0.0f, 0.0f};
    int32_t m_nType;
    BYTE m_bActive = 1;       // 0 once the object is finished
    int32_t m_nId;
    int32_t m_bTouched = 0;
};
