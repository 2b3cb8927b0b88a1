#pragma once
// Drawing icons and bitmaps: DrawIconEx, DrawIcon and DrawState.
#include <win32/gdi.h>
#include <win32/icons.h>

// DrawIconEx draws the image through its mask (AND) then its colour (XOR) at the given size (0:
// the icon's own); with a brush it composes in a scratch image over that brush first and copies
// the result, as flicker-free drawing does.
#define DI_MASK 0x0001
#define DI_IMAGE 0x0002
#define DI_NORMAL 0x0003
BOOL DrawIconEx(HDC hdc, int xLeft, int yTop, HICON hIcon, int cxWidth, int cyWidth, UINT istepIfAniCur,
                HBRUSH hbrFlickerFreeDraw, UINT diFlags);
BOOL DrawIcon(HDC hDC, int X, int Y, HICON hIcon);

// DrawState draws an icon (DST_ICON, lData the HICON) or a bitmap (DST_BITMAP, lData the
// HBITMAP) normally or disabled: DSS_DISABLED embosses every pixel of the image that is not
// white over a white ground (what the image would draw there), first in COLOR_3DHILIGHT moved by
// (1, 1), then in COLOR_3DSHADOW in place. A size of 0 takes the image's own.
#define DST_ICON 0x0003
#define DST_BITMAP 0x0004
#define DSS_NORMAL 0x0000
#define DSS_DISABLED 0x0020
typedef BOOL(CALLBACK* DRAWSTATEPROC)(HDC hdc, LPARAM lData, WPARAM wData, int cx, int cy);
BOOL DrawStateA(HDC hdc, HBRUSH hbrFore, DRAWSTATEPROC qfnCallBack, LPARAM lData, WPARAM wData, int x, int y, int cx,
                int cy, UINT uFlags);
#define DrawState DrawStateA
