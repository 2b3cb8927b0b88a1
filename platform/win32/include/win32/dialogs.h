#pragma once
// The dialog manager: dialogs built from templates in dialog units, modal and modeless, with the
// keyboard interface of dialogs (Tab and the arrows between controls, Enter for the default
// button, Esc for Cancel) and the helpers that read and write the controls by id.
#include <win32/user.h>

typedef INT_PTR(CALLBACK* DLGPROC)(HWND, UINT, WPARAM, LPARAM);

// ---- Dialog styles
#define DS_ABSALIGN 0x0001L
#define DS_SYSMODAL 0x0002L
#define DS_3DLOOK 0x0004L
#define DS_FIXEDSYS 0x0008L
#define DS_NOFAILCREATE 0x0010L
#define DS_LOCALEDIT 0x0020L
#define DS_SETFONT 0x0040L
#define DS_MODALFRAME 0x0080L
#define DS_NOIDLEMSG 0x0100L
#define DS_SETFOREGROUND 0x0200L
#define DS_CONTROL 0x0400L
#define DS_CENTER 0x0800L
#define DS_CENTERMOUSE 0x1000L
#define DS_CONTEXTHELP 0x2000L
#define DS_SHELLFONT (DS_SETFONT | DS_FIXEDSYS)

// ---- Dialog messages
#define WM_NEXTDLGCTL 0x0028
#define DM_GETDEFID (WM_USER + 0)
#define DM_SETDEFID (WM_USER + 1)
#define DM_REPOSITION (WM_USER + 2)
#define DC_HASDEFID 0x534B

// WM_GETDLGCODE answers
#define DLGC_WANTARROWS 0x0001
#define DLGC_WANTTAB 0x0002
#define DLGC_WANTALLKEYS 0x0004
#define DLGC_WANTMESSAGE 0x0004
#define DLGC_HASSETSEL 0x0008
#define DLGC_DEFPUSHBUTTON 0x0010
#define DLGC_UNDEFPUSHBUTTON 0x0020
#define DLGC_RADIOBUTTON 0x0040
#define DLGC_WANTCHARS 0x0080
#define DLGC_STATIC 0x0100
#define DLGC_BUTTON 0x2000

// Extra window bytes of the dialog class: the message result, the dialog procedure and one
// pointer-sized value for the program (a 64-bit layout).
#define DWLP_MSGRESULT 0
#define DWLP_DLGPROC 8
#define DWLP_USER 16
#define DLGWINDOWEXTRA 48

namespace win32
{
// A control of a dialog template. Positions and sizes are in dialog units.
struct DialogItemTemplate
{
    const char* m_szClass;   // "Button", "Static", "Edit", "ListBox", "ComboBox", "ScrollBar", ...
    const char* m_szText;    // the caption; an SS_ICON static names its icon ("#129" or a name)
    int m_nId;
    DWORD m_nStyle;          // WS_CHILD is implied
    DWORD m_nExStyle;
    short x, y, cx, cy;
    // Initialisation strings of a list or combo box, added in order (null: none; the list ends
    // with a null).
    const char* const* m_ppInitStrings = nullptr;
};

// A dialog template. The size is the client area's; a popup's position is relative to its
// owner's client area, a child's to its parent's. The resource registry keeps templates under the
// type "DIALOG", their data pointing at one of these.
struct DialogTemplate
{
    DWORD m_nStyle;
    DWORD m_nExStyle;
    short x, y, cx, cy;
    const char* m_szCaption;
    const char* m_szFace;     // with DS_SETFONT; otherwise the default GUI font
    WORD m_nPointSize;
    const DialogItemTemplate* m_pItems;
    size_t m_nItems;
};
}

// ---- Creating and ending dialogs. lpTemplateName is MAKEINTRESOURCE(id) of a "DIALOG" resource.
HWND CreateDialogParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                        LPARAM dwInitParam);
HWND CreateDialogIndirectParamA(HINSTANCE hInstance, const win32::DialogTemplate* lpTemplate, HWND hWndParent,
                                DLGPROC lpDialogFunc, LPARAM dwInitParam);
#define CreateDialogA(i, t, p, f) CreateDialogParamA(i, t, p, f, 0)
#define CreateDialog CreateDialogA
// Modal: the owner (hWndParent's top-level window) is disabled while the dialog runs. Returns
// EndDialog's result, or -1 when the dialog could not be made or WM_QUIT ended the loop.
INT_PTR DialogBoxParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                        LPARAM dwInitParam);
INT_PTR DialogBoxIndirectParamA(HINSTANCE hInstance, const win32::DialogTemplate* lpTemplate, HWND hWndParent,
                                DLGPROC lpDialogFunc, LPARAM dwInitParam);
#define DialogBoxA(i, t, p, f) DialogBoxParamA(i, t, p, f, 0)
#define DialogBox DialogBoxA
BOOL EndDialog(HWND hDlg, INT_PTR nResult);
LRESULT DefDlgProcA(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam);
#define DefDlgProc DefDlgProcA

// Handles the dialog keys of a message for hDlg or one of its controls, dispatching it; FALSE
// when the message is not for the dialog.
BOOL IsDialogMessageA(HWND hDlg, LPMSG lpMsg);
#define IsDialogMessage IsDialogMessageA
HWND GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious);
HWND GetNextDlgGroupItem(HWND hDlg, HWND hCtl, BOOL bPrevious);

// ---- Dialog units: x * 6 / 4 and y * 13 / 8 pixels, rounded away from zero.
BOOL MapDialogRect(HWND hDlg, LPRECT lpRect);
LONG GetDialogBaseUnits();

// ---- Controls by id
LRESULT SendDlgItemMessageA(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam);
#define SendDlgItemMessage SendDlgItemMessageA
// Skips leading blanks, takes a '-' when signed and stops at the first non-digit; no digit or
// an overflow gives 0 with *lpTranslated FALSE.
UINT GetDlgItemInt(HWND hDlg, int nIDDlgItem, BOOL* lpTranslated, BOOL bSigned);
BOOL SetDlgItemInt(HWND hDlg, int nIDDlgItem, UINT uValue, BOOL bSigned);
UINT GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax);
BOOL SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString);
#define GetDlgItemText GetDlgItemTextA
#define SetDlgItemText SetDlgItemTextA
BOOL CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck);
UINT IsDlgButtonChecked(HWND hDlg, int nIDButton);
BOOL CheckRadioButton(HWND hDlg, int nIDFirstButton, int nIDLastButton, int nIDCheckButton);
