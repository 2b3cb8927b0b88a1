#pragma once
// The tooltip control, class TOOLTIPS_CLASSA: a topmost popup that shows a tool's text once the
// mouse has rested over the tool for the initial delay (500 ms on the layer clock), and hides
// when the mouse leaves the tool, a button is pressed or the automatic delay ends. The control
// learns of the mouse through TTM_RELAYEVENT, or by subclassing the tool's window (TTF_SUBCLASS).
// Values are those of the public documentation. Include <win32/commctrl.h>.
#include <win32/commctrl.h>

#define TOOLTIPS_CLASSA "tooltips_class32"
#define TOOLTIPS_CLASS TOOLTIPS_CLASSA

#define TTS_ALWAYSTIP 0x01
#define TTS_NOPREFIX 0x02

// Tool flags
#define TTF_IDISHWND 0x0001    // uId is the tool's window; the tool is its whole client area
#define TTF_CENTERTIP 0x0002
#define TTF_RTLREADING 0x0004
#define TTF_SUBCLASS 0x0010    // the control watches the tool window's mouse messages itself
#define TTF_TRACK 0x0020
#define TTF_ABSOLUTE 0x0080
#define TTF_TRANSPARENT 0x0100

struct TOOLINFOA
{
    UINT cbSize;
    UINT uFlags;
    HWND hwnd;        // the window the tool is in (and that hears its notifications)
    UINT_PTR uId;
    RECT rect;        // in hwnd's client coordinates
    HINSTANCE hinst;  // with a resource id in lpszText: the string resource
    LPSTR lpszText;   // LPSTR_TEXTCALLBACKA asks hwnd with TTN_GETDISPINFOA each time it shows
    LPARAM lParam;
};
typedef TOOLINFOA* LPTOOLINFOA;
typedef TOOLINFOA TOOLINFO;
typedef TOOLINFOA* LPTOOLINFO;
#define LPSTR_TEXTCALLBACK LPSTR_TEXTCALLBACKA

// Delays of TTM_SETDELAYTIME
#define TTDT_AUTOMATIC 0
#define TTDT_RESHOW 1
#define TTDT_AUTOPOP 2
#define TTDT_INITIAL 3

#define TTM_ACTIVATE (WM_USER + 1)         // wParam: TRUE shows tips, FALSE hides and stops them
#define TTM_SETDELAYTIME (WM_USER + 3)     // wParam: TTDT_; LOWORD(lParam): ms, -1 the default
#define TTM_ADDTOOLA (WM_USER + 4)
#define TTM_DELTOOLA (WM_USER + 5)
#define TTM_NEWTOOLRECTA (WM_USER + 6)
#define TTM_RELAYEVENT (WM_USER + 7)       // lParam: the MSG the tool's window received
#define TTM_GETTOOLINFOA (WM_USER + 8)
#define TTM_GETTEXTA (WM_USER + 11)        // wParam: buffer size (0: unbounded); lParam: TOOLINFOA
                                           // naming the tool, lpszText the buffer
#define TTM_UPDATETIPTEXTA (WM_USER + 12)
#define TTM_GETTOOLCOUNT (WM_USER + 13)
#define TTM_GETCURRENTTOOLA (WM_USER + 15) // whether a tip shows; lParam (may be null) gets its tool
#define TTM_GETDELAYTIME (WM_USER + 21)
#define TTM_SETMAXTIPWIDTH (WM_USER + 24)  // lParam: pixels, -1 for one line; returns the old one
#define TTM_GETMAXTIPWIDTH (WM_USER + 25)
#define TTM_POP (WM_USER + 28)
#define TTM_ADDTOOL TTM_ADDTOOLA
#define TTM_DELTOOL TTM_DELTOOLA
#define TTM_NEWTOOLRECT TTM_NEWTOOLRECTA
#define TTM_GETTOOLINFO TTM_GETTOOLINFOA
#define TTM_GETTEXT TTM_GETTEXTA
#define TTM_UPDATETIPTEXT TTM_UPDATETIPTEXTA
#define TTM_GETCURRENTTOOL TTM_GETCURRENTTOOLA

// Notifications, to the tool's hwnd with idFrom = its uId
#define TTN_FIRST (0U - 520U)
#define TTN_GETDISPINFOA (TTN_FIRST - 0)
#define TTN_SHOW (TTN_FIRST - 1)
#define TTN_POP (TTN_FIRST - 2)
#define TTN_NEEDTEXTA TTN_GETDISPINFOA
#define TTN_GETDISPINFO TTN_GETDISPINFOA
#define TTN_NEEDTEXT TTN_NEEDTEXTA

struct NMTTDISPINFOA
{
    NMHDR hdr;
    LPSTR lpszText;   // the answer: a string, or szText
    char szText[80];
    HINSTANCE hinst;
    UINT uFlags;
    LPARAM lParam;
};
typedef NMTTDISPINFOA* LPNMTTDISPINFOA;
typedef NMTTDISPINFOA TOOLTIPTEXTA;
