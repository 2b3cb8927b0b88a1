#pragma once
// Mouse movement over a window as moves and turns of a scene node: the right button pans, the
// middle button dollies, the left button turns the node with an arc ball. Distances are
// fractions of the window's smaller side, so the window size must be set first; until it is,
// moves are only recorded.
//
// The window size, the previous pointer position and the previous arc-ball vector are
// process-wide (user-interface thread only).
#include "scene/SceneNode.h"

#include <win32/types.h>

extern int32_t g_nManipulateWidth;
extern int32_t g_nManipulateHeight;
extern int32_t g_nManipulateLastX;
extern int32_t g_nManipulateLastY;
extern Vector3 g_vLastArcball;

void SetManipulateWindowSize(int32_t nWidth, int32_t nHeight);
// Acts on WM_MOUSEMOVE only; the window is not read. Returns 0.
LRESULT MouseManipulate(SceneNodeBase* pNode, HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
// The arc-ball vector of a window point: the point on the unit sphere over the window's centre
// square, clamped to the sphere's rim outside it.
Vector3 ManipulateArcballVector(int32_t x, int32_t y);
