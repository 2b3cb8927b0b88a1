#pragma once
// The rendering core's device facade. The application publishes its device once its resources
// are loaded; code that draws without the Renderer (the debug-draw list, the display model, the
// game objects, the mesh bounds) fetches it here. Around it: scene begin and end with the frame's
// view matrix, a few core settings, the model-file search and a frustum builder.
//
// Process-wide, unguarded: used from the user-interface thread only.
#include "core/Matrix4.h"
#include "core/Vector3.h"
#include "morvyn/DisplayObject.h"

#include <d3d9.h>

#include <cstdint>

// The frame's view and projection; the frame driver writes them every frame as well.
extern Matrix4 g_matView;
extern Matrix4 g_matProjection;

// ---- Device
// Stores the device (not owned); true.
bool SetMorvynDevice(IDirect3DDevice9* pDevice);
// The stored device; null (and an error line per call) before SetMorvynDevice.
IDirect3DDevice9* GetMorvynDevice();
// Stores the device and the Direct3D object and checks that the device answers its
// capabilities (a warning when not); 0.
int InitMorvynDevice(IDirect3DDevice9* pDevice, IDirect3D9* pD3D);
// The Direct3D object given to InitMorvynDevice, or null.
IDirect3D9* GetMorvynD3D();
// The device's available texture memory in megabytes; 0 without a device.
uint32_t GetTextureMemoryMB();

// ---- Scene
// View transform from g_matView, the whole target cleared to black with depth 1.0 and stencil 0,
// BeginScene; true when BeginScene succeeded (false without a device).
bool BeginMorvynScene();
void EndMorvynScene();
bool SetCoreViewMatrix(const Matrix4& m);
bool SetCoreProjectionMatrix(const Matrix4& m);

// ---- Settings
void SetCoreValue1(float fValue);
void SetCoreValue2(float fValue);
void SetCoreValue3(float fValue);
float GetCoreValue1();
float GetCoreValue2();
float GetCoreValue3();
bool SetCoreScale(float fScale);
float GetCoreScale();
// Value 1 times the scale.
float GetScaledCoreValue1();
// The mode runs 1, 2, 3, 1, ...; it starts at 3.
void CycleCoreMode();
int32_t GetCoreMode();
bool IsCoreMode3();
// v in mode 3, else 1.
int32_t SelectByCoreMode(int32_t v);

// ---- Display objects
// The registered objects: a doubly linked list through their m_pNext and m_pPrev, newest first.
extern DisplayObject* g_pDisplayObjects;
extern int32_t g_nDisplayObjects;
// Registered objects of the enemy kind.
extern int32_t g_nEnemyObjects;
// Puts the object at the head of the list; S_OK. E_INVALIDARG for null; an object already in the
// list stays where it is (S_FALSE), so the list never loops back on itself.
HRESULT RegisterDisplayObject(DisplayObject* pObject);
// Takes the object out of the list and clears its links; S_OK. E_INVALIDARG for null; an object
// that is not in the list changes nothing (S_FALSE), so the counters match the list.
HRESULT UnregisterDisplayObject(DisplayObject* pObject);

// ---- Files
// True when the name is a regular file that can be opened for reading (through MapPath).
// A directory does not count.
bool IsReadableFile(const char* szName);
// Looks for a model under the demo's model folder "c:\MorvynDemo\Models\": the full path goes
// into szPath (nSize characters) and a warning line reports the outcome. S_OK when the file
// opens; E_FAIL when it does not; E_INVALIDARG for null arguments or a name that does not fit.
HRESULT FindMediaFileCch(char* szPath, int nSize, const char* szName);

// ---- Geometry
// Eight corners (near face then far face: (-1,-1), (1,-1), (-1,1), (1,1) in clip x, y) and six
// planes (near, far, left, right, top, bottom) of the frustum of view × projection.
struct FrustumPlane
{
    float a, b, c, d;
};
struct FrustumCorners
{
    Vector3 vCorners[8];
    FrustumPlane planes[6];
};
void ComputeFrustumFromMatrices(FrustumCorners* pOut, const Matrix4* pView, const Matrix4* pProjection);
