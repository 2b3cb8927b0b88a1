// Message boxes: a modal dialog with the text and a row of real buttons, run by the dialog
// manager, so the mouse, Tab, the arrows, Enter (the default button) and Esc (Cancel, or OK on a
// lone OK) all work. The text also goes to standard error, so headless runs show what the program
// said. An answer queued by the test driver or the program script ends the box once it has painted.
#include "DialogState.h"

#include <win32/layer.h>

#include "core/Log.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <strings.h>

namespace
{
// The buttons of each box type, left to right.
const int BUTTONS[][3] = {
    {IDOK, 0, 0},                      // MB_OK
    {IDOK, IDCANCEL, 0},               // MB_OKCANCEL
    {IDABORT, IDRETRY, IDIGNORE},      // MB_ABORTRETRYIGNORE
    {IDYES, IDNO, IDCANCEL},           // MB_YESNOCANCEL
    {IDYES, IDNO, 0},                  // MB_YESNO
    {IDRETRY, IDCANCEL, 0},            // MB_RETRYCANCEL
};

struct ButtonName
{
    int m_nId;
    const char* m_szAnswer;   // as scripts name it
    const char* m_szCaption;
};
const ButtonName BUTTON_NAMES[] = {
    {IDOK, "IDOK", "OK"},          {IDCANCEL, "IDCANCEL", "Cancel"}, {IDABORT, "IDABORT", "&Abort"},
    {IDRETRY, "IDRETRY", "&Retry"}, {IDIGNORE, "IDIGNORE", "&Ignore"}, {IDYES, "IDYES", "&Yes"},
    {IDNO, "IDNO", "&No"},
};

// Layout in pixels, after the classic look: margins of 11, buttons of 75 x 23 six apart, text
// wrapped at 400.
const int MARGIN = 11;
const int BUTTON_WIDTH = 75;
const int BUTTON_HEIGHT = 23;
const int BUTTON_GAP = 6;
const int MAX_TEXT_WIDTH = 400;
const int TEXT_ID = 0xFFFF;

struct BoxState
{
    const int* m_pButtons;
    int m_nDefault;
    const char* m_szText;
    const char* m_szCaption;

    int Count() const { return m_pButtons[2] ? 3 : m_pButtons[1] ? 2 : 1; }
    bool HasButton(int nId) const
    {
        for (int i = 0; i < Count(); ++i)
            if (m_pButtons[i] == nId)
                return true;
        return false;
    }
    // Esc and the close box: Cancel when there is one, OK on a lone OK, nothing otherwise.
    int CancelResult() const
    {
        return HasButton(IDCANCEL) ? IDCANCEL : (m_pButtons[0] == IDOK && Count() == 1) ? IDOK : 0;
    }
};

const char* CaptionOf(int nId)
{
    for (const ButtonName& b : BUTTON_NAMES)
        if (b.m_nId == nId)
            return b.m_szCaption;
    return "";
}

int ParseAnswer(const std::string& value)
{
    for (const ButtonName& b : BUTTON_NAMES)
        if (strcasecmp(b.m_szAnswer, value.c_str()) == 0)
            return b.m_nId;
    return std::atoi(value.c_str());
}

SIZE MeasureText(HWND hDlg, const char* szText)
{
    HDC hdc = GetDC(hDlg);
    HGDIOBJ hOld = SelectObject(hdc, GetStockObject(DEFAULT_GUI_FONT));
    RECT rc{0, 0, MAX_TEXT_WIDTH, 0};
    DrawTextA(hdc, szText, -1, &rc, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(hdc, hOld);
    ReleaseDC(hDlg, hdc);
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

// Makes the text and the buttons, sizes the box to them and centres it on the screen.
void Lay(HWND hDlg, const BoxState& box)
{
    HFONT hFont = reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SIZE text = MeasureText(hDlg, box.m_szText);
    int nButtons = box.Count();
    int cxButtons = nButtons * BUTTON_WIDTH + (nButtons - 1) * BUTTON_GAP;
    int cxClient = std::max(text.cx, cxButtons) + 2 * MARGIN;
    int yButtons = MARGIN + text.cy + MARGIN;
    int cyClient = yButtons + BUTTON_HEIGHT + MARGIN;
    HWND hText = CreateWindowExA(WS_EX_NOPARENTNOTIFY, WC_STATICA, box.m_szText,
                                 WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, MARGIN, MARGIN, text.cx, text.cy, hDlg,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(TEXT_ID)), nullptr, nullptr);
    SendMessageA(hText, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
    int x = (cxClient - cxButtons) / 2;
    for (int i = 0; i < nButtons; ++i)
    {
        int nId = box.m_pButtons[i];
        DWORD nStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == 0 ? WS_GROUP : 0) |
                       (nId == box.m_nDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        HWND hButton = CreateWindowExA(WS_EX_NOPARENTNOTIFY, WC_BUTTONA, CaptionOf(nId), nStyle, x, yButtons,
                                       BUTTON_WIDTH, BUTTON_HEIGHT, hDlg,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(nId)), nullptr, nullptr);
        SendMessageA(hButton, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
        // Left to right is the tab order.
        SetWindowPos(hButton, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
        x += BUTTON_WIDTH + BUTTON_GAP;
    }
    SendMessageA(hDlg, DM_SETDEFID, static_cast<WPARAM>(box.m_nDefault), 0);
    RECT rcNow, rcClient;
    GetWindowRect(hDlg, &rcNow);
    GetClientRect(hDlg, &rcClient);
    int cx = cxClient + (rcNow.right - rcNow.left - rcClient.right);
    int cy = cyClient + (rcNow.bottom - rcNow.top - rcClient.bottom);
    SetWindowPos(hDlg, nullptr, (GetSystemMetrics(SM_CXSCREEN) - cx) / 2, (GetSystemMetrics(SM_CYSCREEN) - cy) / 2, cx,
                 cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK MessageBoxProc(HWND hDlg, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    switch (nMessage)
    {
    case WM_INITDIALOG:
    {
        SetWindowLongPtrA(hDlg, DWLP_USER, lParam);
        const auto& box = *reinterpret_cast<const BoxState*>(lParam);
        Lay(hDlg, box);
        SetDialogFocus(hDlg, GetDlgItem(hDlg, box.m_nDefault));
        return FALSE;   // the focus is set
    }
    case WM_COMMAND:
    {
        const auto* pBox = reinterpret_cast<const BoxState*>(GetWindowLongPtrA(hDlg, DWLP_USER));
        int nId = LOWORD(wParam);
        if (nId == IDCANCEL && !pBox->HasButton(IDCANCEL))
            nId = pBox->CancelResult();
        if (nId && pBox->HasButton(nId))
            EndDialog(hDlg, nId);
        return TRUE;
    }
    default:
        return FALSE;
    }
}
}

int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType)
{
    const char* szText = lpText ? lpText : "";
    const char* szCaption = lpCaption ? lpCaption : "Error";
    std::fprintf(stderr, "MessageBox \"%s\": %s\n", szCaption, szText);
    std::fflush(stderr);

    UINT nType = uType & MB_TYPEMASK;
    if (nType >= sizeof(BUTTONS) / sizeof(BUTTONS[0]))
        nType = MB_OK;
    BoxState box{BUTTONS[nType], BUTTONS[nType][0], szText, szCaption};
    UINT nDefault = (uType & MB_DEFMASK) >> 8;
    if (nDefault < 3 && box.m_pButtons[nDefault])
        box.m_nDefault = box.m_pButtons[nDefault];

    // Made empty; the box lays itself out in pixels when it starts.
    const win32::DialogTemplate tmpl{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                                     WS_EX_TOPMOST, 0, 0, 0, 0, szCaption, nullptr, 0, nullptr, 0};
    ModalDialogLoop how{"MessageBox", MSGF_MESSAGEBOX, [&box, szCaption](HWND hDlg) {
                            std::string value;
                            if (!win32::TakeAnswer("msgbox", value))
                                return;
                            int nId = ParseAnswer(value);
                            if (box.HasButton(nId))
                                EndDialog(hDlg, nId);
                            else
                                LogWarning("MessageBoxA() - the answer %s is not a button of \"%s\".", value.c_str(),
                                           szCaption);
                        }};
    INT_PTR nResult = RunModalDialog(nullptr, &tmpl, GetAncestor(hWnd, GA_ROOT), MessageBoxProc,
                                     reinterpret_cast<LPARAM>(&box), how);
    return nResult < 0 ? 0 : static_cast<int>(nResult);
}
