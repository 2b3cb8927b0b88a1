#pragma once
// The editing interface's private window messages, in the application range: how the property
// tree, its editors, the scene tree window, the transform tool window and the view talk.
#include <win32/types.h>

// A slider editor closed; sent to its tree, which ends the editing state.
constexpr UINT WM_TREEITEM_CLOSED = 0x8002;
// The colour picker's Apply: wParam the bound float[4], lParam the picker window.
constexpr UINT WM_COLORPICKER_APPLY = 0x8003;
// The tree's selection changed: tree -> scene tree window -> view.
constexpr UINT WM_TREE_SELCHANGED = 0x8004;
// Right button on the tree: wParam x, lParam y in tree client coordinates.
constexpr UINT WM_TREE_RBUTTONDOWN = 0x8005;
// An item's value changed through its editor: wParam the item's record.
constexpr UINT WM_TREE_VALUECHANGED = 0x8006;
// The transform tool window's Mouse Move button toggled.
constexpr UINT WM_TRANSFORM_MOUSEMOVE = 0x8007;
