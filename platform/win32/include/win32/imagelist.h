#pragma once
// Image lists: strips of equal-sized images, each with an optional mask (ILC_MASK) or, in 32-bit
// lists, its alpha channel, drawn transparent, blended or as their mask. Values are those of the
// public documentation. Include <win32/commctrl.h>.
#include <win32/gdi.h>
#include <win32/icons.h>


#define ILC_MASK 0x00000001
#define ILC_COLOR 0x00000000
#define ILC_COLORDDB 0x000000FE
#define ILC_COLOR4 0x00000004
#define ILC_COLOR8 0x00000008
#define ILC_COLOR16 0x00000010
#define ILC_COLOR24 0x00000018
#define ILC_COLOR32 0x00000020

#define ILD_NORMAL 0x00000000
#define ILD_TRANSPARENT 0x00000001
#define ILD_BLEND25 0x00000002
#define ILD_FOCUS ILD_BLEND25
#define ILD_BLEND50 0x00000004
#define ILD_SELECTED ILD_BLEND50
#define ILD_BLEND ILD_BLEND50
#define ILD_MASK 0x00000010
#define ILD_IMAGE 0x00000020

// Handles are generation-checked: a destroyed list's handle makes every call fail.
HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int cInitial, int cGrow);
BOOL ImageList_Destroy(HIMAGELIST himl);
// Appends the bitmap cut into images of the list's width; hbmMask (may be null) is monochrome,
// white where the image is transparent. The index of the first image added, or -1.
int ImageList_Add(HIMAGELIST himl, HBITMAP hbmImage, HBITMAP hbmMask);
// As ImageList_Add, with every pixel of colour crMask transparent.
int ImageList_AddMasked(HIMAGELIST himl, HBITMAP hbmImage, COLORREF crMask);
// Puts the icon, drawn at the list's size, in place of image i, or appends it for i = -1. The
// icon's mask gives the transparent pixels (in a 32-bit list, its alpha channel when it has one).
// The index of the image, or -1.
int ImageList_ReplaceIcon(HIMAGELIST himl, int i, HICON hicon);
#define ImageList_AddIcon(himl, hicon) ImageList_ReplaceIcon(himl, -1, hicon)
// i = -1 removes every image.
BOOL ImageList_Remove(HIMAGELIST himl, int i);
int ImageList_GetImageCount(HIMAGELIST himl);
BOOL ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy);
// CLR_NONE (the default) draws masked pixels transparent; a colour fills them under ILD_NORMAL.
COLORREF ImageList_SetBkColor(HIMAGELIST himl, COLORREF clrBk);
COLORREF ImageList_GetBkColor(HIMAGELIST himl);
// ILD_BLEND25 and ILD_BLEND50 mix the image with the highlight colour; ILD_MASK draws the mask
// (black where the image is opaque, white where it is transparent).
BOOL ImageList_Draw(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, UINT fStyle);
