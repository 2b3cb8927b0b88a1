#pragma once
// The tab control, class WC_TABCONTROLA: a row of tabs over a display area, one tab selected.
// A click on another tab asks the parent first (TCN_SELCHANGING; a nonzero answer keeps the
// selection), then selects it and tells the parent (TCN_SELCHANGE). Values are those of the
// public documentation. Include <win32/commctrl.h>.
#include <win32/commctrl.h>

#define WC_TABCONTROLA "SysTabControl32"
#define WC_TABCONTROL WC_TABCONTROLA

#define TCIF_TEXT 0x0001
#define TCIF_IMAGE 0x0002
#define TCIF_PARAM 0x0008

struct TCITEMA
{
    UINT mask;
    DWORD dwState;
    DWORD dwStateMask;
    LPSTR pszText;
    int cchTextMax;
    int iImage;
    LPARAM lParam;
};
typedef TCITEMA* LPTCITEMA;
typedef TCITEMA TCITEM;

#define TCM_FIRST 0x1300
#define TCM_GETITEMCOUNT (TCM_FIRST + 4)
#define TCM_GETITEMA (TCM_FIRST + 5)      // wParam: index; lParam: TCITEMA (pszText a buffer)
#define TCM_INSERTITEMA (TCM_FIRST + 7)   // wParam: index; lParam: TCITEMA; the new index or -1
#define TCM_DELETEITEM (TCM_FIRST + 8)
#define TCM_DELETEALLITEMS (TCM_FIRST + 9)
#define TCM_GETITEMRECT (TCM_FIRST + 10)
#define TCM_GETCURSEL (TCM_FIRST + 11)
#define TCM_SETCURSEL (TCM_FIRST + 12)    // selects without notifying; returns the old selection
#define TCM_ADJUSTRECT (TCM_FIRST + 40)   // wParam FALSE: window to display area; TRUE: back
#define TCM_GETITEM TCM_GETITEMA
#define TCM_INSERTITEM TCM_INSERTITEMA

#define TCN_FIRST (0U - 550U)
#define TCN_SELCHANGE (TCN_FIRST - 1)
#define TCN_SELCHANGING (TCN_FIRST - 2)
