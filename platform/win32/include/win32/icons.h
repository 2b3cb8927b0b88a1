#pragma once
// Icons and cursors as in-process objects: a monochrome AND mask and an optional colour image
// with a hot spot. An icon keeps its own copies of the bitmaps it was made from, and
// GetIconInfo hands out new copies that the caller deletes with DeleteObject. Handles are
// generation-checked like the other handles of the layer.
#include <win32/types.h>

struct ICONINFO
{
    BOOL fIcon;         // TRUE: an icon, whose hot spot is its centre; FALSE: a cursor
    DWORD xHotspot;
    DWORD yHotspot;
    HBITMAP hbmMask;    // without a colour image: the AND mask above the XOR image, twice as tall
    HBITMAP hbmColor;   // null for a monochrome icon or cursor
};
typedef ICONINFO* PICONINFO;

HICON CreateIconIndirect(PICONINFO piconinfo);
// A monochrome cursor from its AND and XOR planes, rows of 1-bit pixels padded to 16 bits.
HCURSOR CreateCursor(HINSTANCE hInst, int xHotSpot, int yHotSpot, int nWidth, int nHeight, const void* pvANDPlane,
                     const void* pvXORPlane);
BOOL GetIconInfo(HICON hIcon, PICONINFO piconinfo);

// ---- Loading. Without an instance, the stock icons below (32 x 32, shared: never destroy them);
// with one, an "ICON" resource holding ".ico" data, named MAKEINTRESOURCE(id) or "#id".
// LoadImage(IMAGE_ICON) also reads ".ico" files.
#define IDI_APPLICATION ((LPCSTR)(ULONG_PTR)32512)
#define IDI_HAND ((LPCSTR)(ULONG_PTR)32513)
#define IDI_QUESTION ((LPCSTR)(ULONG_PTR)32514)
#define IDI_EXCLAMATION ((LPCSTR)(ULONG_PTR)32515)
#define IDI_ASTERISK ((LPCSTR)(ULONG_PTR)32516)
#define IDI_WINLOGO ((LPCSTR)(ULONG_PTR)32517)
#define IDI_WARNING IDI_EXCLAMATION
#define IDI_ERROR IDI_HAND
#define IDI_INFORMATION IDI_ASTERISK
HICON LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName);
#define LoadIcon LoadIconA
// Without an instance, IDC_ARROW gives the stock arrow (shared: never destroy it); there are no
// other cursors.
#define IDC_ARROW ((LPCSTR)(ULONG_PTR)32512)
HCURSOR LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName);
#define LoadCursor LoadCursorA
BOOL DestroyIcon(HICON hIcon);
BOOL DestroyCursor(HCURSOR hCursor);

// Objects the process holds: GR_GDIOBJECTS counts the GDI objects it made (not the stock ones);
// GR_USEROBJECTS counts, in this layer, its icons and cursors.
#define GR_GDIOBJECTS 0
#define GR_USEROBJECTS 1
DWORD GetGuiResources(HANDLE hProcess, DWORD uiFlags);
