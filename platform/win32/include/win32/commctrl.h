#pragma once
// Common controls: the notification header of WM_NOTIFY, the status bar, the rebar, the up-down
// control and the progress bar; the trackbar, the tree view, image lists, the toolbar,
// tooltips, the tab control and the list view have headers of their own. Values are those of the public
// documentation.
#include <win32/user.h>

struct INITCOMMONCONTROLSEX
{
    DWORD dwSize;
    DWORD dwICC;
};
#define ICC_WIN95_CLASSES 0x000000FF
#define ICC_UPDOWN_CLASS 0x00000010
#define ICC_PROGRESS_CLASS 0x00000020
// The classes are always there; these only answer success.
void InitCommonControls();
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce);

// ---- WM_NOTIFY
struct NMHDR
{
    HWND hwndFrom;
    UINT_PTR idFrom;
    UINT code;
};
typedef NMHDR* LPNMHDR;

#define NM_FIRST 0U
#define NM_OUTOFMEMORY (NM_FIRST - 1)
#define NM_CLICK (NM_FIRST - 2)
#define NM_DBLCLK (NM_FIRST - 3)
#define NM_RETURN (NM_FIRST - 4)
#define NM_RCLICK (NM_FIRST - 5)
#define NM_RDBLCLK (NM_FIRST - 6)
#define NM_SETFOCUS (NM_FIRST - 7)
#define NM_KILLFOCUS (NM_FIRST - 8)
#define NM_CUSTOMDRAW (NM_FIRST - 12)
#define NM_RELEASEDCAPTURE (NM_FIRST - 16)

// ---- Styles every bar shares: where it aligns itself in its parent
#define CCS_TOP 0x00000001L
#define CCS_NOMOVEY 0x00000002L
#define CCS_BOTTOM 0x00000003L
#define CCS_NORESIZE 0x00000004L
#define CCS_NOPARENTALIGN 0x00000008L
#define CCS_ADJUSTABLE 0x00000020L
#define CCS_NODIVIDER 0x00000040L
#define CCS_VERT 0x00000080L

#define CLR_NONE 0xFFFFFFFFL
#define CLR_DEFAULT 0xFF000000L

// ---- Status bar. Part texts may hold tabs: text after the first is centred, after the second
// right-aligned. A bar without CCS_NORESIZE or CCS_NOPARENTALIGN places itself along the bottom
// (or the top, CCS_TOP) of its parent whenever it is created or gets WM_SIZE.
#define STATUSCLASSNAMEA "msctls_statusbar32"
#define STATUSCLASSNAME STATUSCLASSNAMEA

#define SBARS_SIZEGRIP 0x0100
#define SBARS_TOOLTIPS 0x0800

#define SBT_NOBORDERS 0x0100
#define SBT_POPOUT 0x0200
#define SBT_RTLREADING 0x0400
#define SBT_NOTABPARSING 0x0800
#define SB_SIMPLEID 0x00ff

#define SB_SETTEXTA (WM_USER + 1)      // wParam: part | type flags; lParam: text
#define SB_GETTEXTA (WM_USER + 2)      // returns MAKELONG(length, type flags)
#define SB_GETTEXTLENGTHA (WM_USER + 3)
#define SB_SETPARTS (WM_USER + 4)      // wParam: count (at most 256); lParam: right edges, -1 for the end
#define SB_GETPARTS (WM_USER + 6)
#define SB_GETBORDERS (WM_USER + 7)    // lParam: int[3] horizontal, vertical, between parts
#define SB_SETMINHEIGHT (WM_USER + 8)
#define SB_SIMPLE (WM_USER + 9)
#define SB_GETRECT (WM_USER + 10)
#define SB_ISSIMPLE (WM_USER + 14)
#define SB_SETTEXT SB_SETTEXTA
#define SB_GETTEXT SB_GETTEXTA
#define SB_GETTEXTLENGTH SB_GETTEXTLENGTHA

// ---- Rebar. Bands lie in rows (RBBS_BREAK starts a row); the last band of a row takes the
// rest of it. A band's child becomes the rebar's child and is sized to the band. WM_COMMAND and
// WM_NOTIFY from the children go on to the rebar's parent. RBN_HEIGHTCHANGE tells the parent
// when the bar's height changes.
#define REBARCLASSNAMEA "ReBarWindow32"
#define REBARCLASSNAME REBARCLASSNAMEA

#define RBS_TOOLTIPS 0x0100
#define RBS_VARHEIGHT 0x0200
#define RBS_BANDBORDERS 0x0400
#define RBS_FIXEDORDER 0x0800
#define RBS_REGISTERDROP 0x1000
#define RBS_AUTOSIZE 0x2000
#define RBS_VERTICALGRIPPER 0x4000
#define RBS_DBLCLKTOGGLE 0x8000

#define RBBS_BREAK 0x00000001
#define RBBS_FIXEDSIZE 0x00000002
#define RBBS_CHILDEDGE 0x00000004
#define RBBS_HIDDEN 0x00000008
#define RBBS_NOVERT 0x00000010
#define RBBS_FIXEDBMP 0x00000020
#define RBBS_VARIABLEHEIGHT 0x00000040
#define RBBS_GRIPPERALWAYS 0x00000080
#define RBBS_NOGRIPPER 0x00000100
#define RBBS_USECHEVRON 0x00000200
#define RBBS_HIDETITLE 0x00000400
#define RBBS_TOPALIGN 0x00000800

#define RBBIM_STYLE 0x00000001
#define RBBIM_COLORS 0x00000002
#define RBBIM_TEXT 0x00000004
#define RBBIM_IMAGE 0x00000008
#define RBBIM_CHILD 0x00000010
#define RBBIM_CHILDSIZE 0x00000020
#define RBBIM_SIZE 0x00000040
#define RBBIM_BACKGROUND 0x00000080
#define RBBIM_ID 0x00000100
#define RBBIM_IDEALSIZE 0x00000200
#define RBBIM_LPARAM 0x00000400
#define RBBIM_HEADERSIZE 0x00000800

struct REBARBANDINFOA
{
    UINT cbSize;
    UINT fMask;
    UINT fStyle;
    COLORREF clrFore;
    COLORREF clrBack;
    LPSTR lpText;
    UINT cch;
    int iImage;
    HWND hwndChild;
    UINT cxMinChild;
    UINT cyMinChild;
    UINT cx;
    HBITMAP hbmBack;
    UINT wID;
    UINT cyChild;
    UINT cyMaxChild;
    UINT cyIntegral;
    UINT cxIdeal;
    LPARAM lParam;
    UINT cxHeader;
};
typedef REBARBANDINFOA* LPREBARBANDINFOA;
typedef const REBARBANDINFOA* LPCREBARBANDINFOA;
typedef REBARBANDINFOA REBARBANDINFO;
#define REBARBANDINFOA_V3_SIZE offsetof(REBARBANDINFOA, wID)

#define RBIM_IMAGELIST 0x00000001
struct REBARINFO
{
    UINT cbSize;
    UINT fMask;
    HIMAGELIST himl;
};
typedef REBARINFO* LPREBARINFO;

#define RB_INSERTBANDA (WM_USER + 1)   // wParam: index, -1 for the end
#define RB_DELETEBAND (WM_USER + 2)
#define RB_GETBARINFO (WM_USER + 3)
#define RB_SETBARINFO (WM_USER + 4)
#define RB_SETBANDINFOA (WM_USER + 6)
#define RB_SETPARENT (WM_USER + 7)     // the window that gets notifications; returns the old one
#define RB_GETRECT (WM_USER + 9)
#define RB_GETBANDCOUNT (WM_USER + 12)
#define RB_GETROWCOUNT (WM_USER + 13)
#define RB_GETROWHEIGHT (WM_USER + 14)
#define RB_IDTOINDEX (WM_USER + 16)
#define RB_SETBKCOLOR (WM_USER + 19)
#define RB_GETBKCOLOR (WM_USER + 20)
#define RB_SETTEXTCOLOR (WM_USER + 21)
#define RB_GETTEXTCOLOR (WM_USER + 22)
#define RB_SIZETORECT (WM_USER + 23)
#define RB_GETBARHEIGHT (WM_USER + 27)
#define RB_GETBANDINFOA (WM_USER + 29)
#define RB_GETBANDBORDERS (WM_USER + 34)
#define RB_SHOWBAND (WM_USER + 35)
#define RB_INSERTBAND RB_INSERTBANDA
#define RB_SETBANDINFO RB_SETBANDINFOA
#define RB_GETBANDINFO RB_GETBANDINFOA

#define RBN_FIRST (0U - 831U)
#define RBN_HEIGHTCHANGE (RBN_FIRST - 0)

#define CCM_FIRST 0x2000
#define CCM_SETBKCOLOR (CCM_FIRST + 1)

// ---- Up-down control
#define UPDOWN_CLASSA "msctls_updown32"
#define UPDOWN_CLASS UPDOWN_CLASSA

#define UDS_WRAP 0x0001
#define UDS_SETBUDDYINT 0x0002
#define UDS_ALIGNRIGHT 0x0004
#define UDS_ALIGNLEFT 0x0008
#define UDS_AUTOBUDDY 0x0010
#define UDS_ARROWKEYS 0x0020
#define UDS_HORZ 0x0040
#define UDS_NOTHOUSANDS 0x0080
#define UDS_HOTTRACK 0x0100

#define UD_MAXVAL 0x7fff
#define UD_MINVAL (-UD_MAXVAL)

#define UDM_SETRANGE (WM_USER + 101)   // lParam: MAKELONG(upper, lower)
#define UDM_GETRANGE (WM_USER + 102)
#define UDM_SETPOS (WM_USER + 103)
#define UDM_GETPOS (WM_USER + 104)
#define UDM_SETBUDDY (WM_USER + 105)
#define UDM_GETBUDDY (WM_USER + 106)
#define UDM_SETACCEL (WM_USER + 107)
#define UDM_GETACCEL (WM_USER + 108)
#define UDM_SETBASE (WM_USER + 109)
#define UDM_GETBASE (WM_USER + 110)
#define UDM_SETRANGE32 (WM_USER + 111)
#define UDM_GETRANGE32 (WM_USER + 112)
#define UDM_SETPOS32 (WM_USER + 113)
#define UDM_GETPOS32 (WM_USER + 114)

#define UDN_FIRST (0U - 721)
#define UDN_DELTAPOS (UDN_FIRST - 1)
struct NMUPDOWN
{
    NMHDR hdr;
    int iPos;
    int iDelta;
};
typedef NMUPDOWN* LPNMUPDOWN;

struct UDACCEL
{
    UINT nSec;
    UINT nInc;
};

// ---- Progress bar
#define PROGRESS_CLASSA "msctls_progress32"
#define PROGRESS_CLASS PROGRESS_CLASSA

#define PBS_SMOOTH 0x01
#define PBS_VERTICAL 0x04

#define PBM_SETRANGE (WM_USER + 1)   // lParam: MAKELPARAM(min, max)
#define PBM_SETPOS (WM_USER + 2)
#define PBM_DELTAPOS (WM_USER + 3)
#define PBM_SETSTEP (WM_USER + 4)
#define PBM_STEPIT (WM_USER + 5)
#define PBM_SETRANGE32 (WM_USER + 6)
#define PBM_GETRANGE (WM_USER + 7)
#define PBM_GETPOS (WM_USER + 8)
#define PBM_SETBARCOLOR (WM_USER + 9)
#define PBM_SETBKCOLOR CCM_SETBKCOLOR

struct PBRANGE
{
    int iLow;
    int iHigh;
};

#include <win32/trackbar.h>
#include <win32/treeview.h>
#include <win32/imagelist.h>
#include <win32/toolbar.h>
#include <win32/tooltip.h>
#include <win32/tabctrl.h>
#include <win32/listview.h>
