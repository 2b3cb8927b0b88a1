#pragma once
// System parameters: the non-client metrics (frame, caption, menu sizes and the fonts of the
// captions, menus, status bars and message boxes). The layer has one look, so its fonts are
// the user-interface font (the small caption and caption fonts in bold) and its sizes those of
// GetSystemMetrics.
#include <win32/gdi.h>

struct NONCLIENTMETRICSA
{
    UINT cbSize;   // at least 340: the record up to lfMessageFont
    int iBorderWidth;
    int iScrollWidth;
    int iScrollHeight;
    int iCaptionWidth;
    int iCaptionHeight;
    LOGFONTA lfCaptionFont;
    int iSmCaptionWidth;
    int iSmCaptionHeight;
    LOGFONTA lfSmCaptionFont;
    int iMenuWidth;
    int iMenuHeight;
    LOGFONTA lfMenuFont;
    LOGFONTA lfStatusFont;
    LOGFONTA lfMessageFont;
    int iPaddedBorderWidth;   // only when cbSize is 344
};
typedef NONCLIENTMETRICSA NONCLIENTMETRICS;

// GetSystemMetrics: the menu check mark's size, which the system adds to the width an owner-drawn
// menu item measures.
#define SM_CXMENUCHECK 71
#define SM_CYMENUCHECK 72

#define SPI_GETNONCLIENTMETRICS 0x0029
// Only SPI_GETNONCLIENTMETRICS is answered (pvParam a NONCLIENTMETRICSA whose cbSize is 340 or
// 344); anything else returns FALSE.
BOOL SystemParametersInfoA(UINT uiAction, UINT uiParam, PVOID pvParam, UINT fWinIni);
#define SystemParametersInfo SystemParametersInfoA
