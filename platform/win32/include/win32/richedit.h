#pragma once
// The rich edit control: single-line input and multi-line transcripts with character formats
// (face, size, bold, italic, underline, colour) over byte-exact text ("\r\n" stays as given).
// With ENM_KEYEVENTS (ENM_MOUSEEVENTS) every key (mouse) message reaches the parent first as
// EN_MSGFILTER; a nonzero answer drops it. Values are those of the public documentation.
#include <win32/commctrl.h>
// The edit control's styles, messages and notifications, which the rich edit shares.
#include <win32/controls.h>

// ---- Rich edit
#define RICHEDIT_CLASSA "RichEdit20A"
#define RICHEDIT_CLASS10A "RICHEDIT"
#define RICHEDIT_CLASS RICHEDIT_CLASSA

#define EM_EXGETSEL (WM_USER + 52)
#define EM_EXLIMITTEXT (WM_USER + 53)
#define EM_EXLINEFROMCHAR (WM_USER + 54)
#define EM_EXSETSEL (WM_USER + 55)
#define EM_GETCHARFORMAT (WM_USER + 58)
#define EM_GETEVENTMASK (WM_USER + 59)
#define EM_GETSELTEXT (WM_USER + 62)
#define EM_SETBKGNDCOLOR (WM_USER + 67)
#define EM_SETCHARFORMAT (WM_USER + 68)
#define EM_SETEVENTMASK (WM_USER + 69)
#define EM_GETTEXTRANGE (WM_USER + 75)

#define EN_MSGFILTER 0x0700
#define EN_SELCHANGE 0x0702

#define ENM_NONE 0x00000000
#define ENM_CHANGE 0x00000001
#define ENM_UPDATE 0x00000002
#define ENM_SCROLL 0x00000004
#define ENM_KEYEVENTS 0x00010000
#define ENM_MOUSEEVENTS 0x00020000
#define ENM_SELCHANGE 0x00080000

// EM_SETCHARFORMAT's wParam: the default format (new text and unformatted text), the selection
// (or, when it is empty, the format of what is typed next), or all the text.
#define SCF_DEFAULT 0x0000
#define SCF_SELECTION 0x0001
#define SCF_ALL 0x0004

#define CFM_BOLD 0x00000001
#define CFM_ITALIC 0x00000002
#define CFM_UNDERLINE 0x00000004
#define CFM_STRIKEOUT 0x00000008
#define CFM_PROTECTED 0x00000010
#define CFM_CHARSET 0x08000000
#define CFM_OFFSET 0x10000000
#define CFM_FACE 0x20000000
#define CFM_COLOR 0x40000000
#define CFM_SIZE 0x80000000
#define CFM_EFFECTS (CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_COLOR | CFM_STRIKEOUT | CFE_PROTECTED)

#define CFE_BOLD 0x00000001
#define CFE_ITALIC 0x00000002
#define CFE_UNDERLINE 0x00000004
#define CFE_STRIKEOUT 0x00000008
#define CFE_PROTECTED 0x00000010
#define CFE_AUTOCOLOR 0x40000000

struct CHARFORMATA
{
    UINT cbSize;
    DWORD dwMask;
    DWORD dwEffects;
    LONG yHeight;     // twips: 1/1440 inch, 15 to a pixel at 96 DPI
    LONG yOffset;
    COLORREF crTextColor;
    BYTE bCharSet;
    BYTE bPitchAndFamily;
    char szFaceName[32];
};
typedef CHARFORMATA CHARFORMAT;

struct CHARRANGE
{
    LONG cpMin;
    LONG cpMax;   // -1: to the end
};

struct TEXTRANGEA
{
    CHARRANGE chrg;
    LPSTR lpstrText;
};
typedef TEXTRANGEA TEXTRANGE;

// EN_MSGFILTER: the parent may change the message before the control sees it.
struct MSGFILTER
{
    NMHDR nmhdr;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

#define SEL_EMPTY 0x0000
#define SEL_TEXT 0x0001
struct SELCHANGE
{
    NMHDR nmhdr;
    CHARRANGE chrg;
    WORD seltyp;
};
