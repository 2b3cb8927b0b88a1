// Message boxes: a modal loop around a caption window. The text also goes to standard error, so
// headless runs show what the program said. An answer queued by the test driver or the program
// script ends the box once it has painted; Enter takes the default button and Esc cancels.
#include "UserState.h"

#include "core/Log.h"

#include <cstdio>
#include <cstdlib>
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

struct AnswerName
{
    const char* m_szName;
    int m_nId;
};
const AnswerName ANSWER_NAMES[] = {
    {"IDOK", IDOK}, {"IDCANCEL", IDCANCEL}, {"IDABORT", IDABORT}, {"IDRETRY", IDRETRY},
    {"IDIGNORE", IDIGNORE}, {"IDYES", IDYES}, {"IDNO", IDNO},
};

// The box's size before the text is measured; the GDI layer will size it to its text.
const int BOX_WIDTH = 320;
const int BOX_HEIGHT = 120;

struct BoxState
{
    const int* m_pButtons;
    int m_nDefault;
    int m_nResult = 0;

    bool HasButton(int nId) const
    {
        for (int i = 0; i < 3; ++i)
            if (m_pButtons[i] == nId)
                return true;
        return false;
    }
    // Esc and the close box: Cancel when there is one, OK on a lone OK, nothing otherwise.
    int CancelResult() const
    {
        return HasButton(IDCANCEL) ? IDCANCEL : (m_pButtons[0] == IDOK && !m_pButtons[1]) ? IDOK : 0;
    }
};

LRESULT CALLBACK MessageBoxProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    auto* pBox = reinterpret_cast<BoxState*>(GetWindowLongPtrA(hWnd, GWL_USERDATA));
    switch (nMessage)
    {
    case WM_KEYDOWN:
        if (wParam == VK_RETURN)
            pBox->m_nResult = pBox->m_nDefault;
        else if (wParam == VK_ESCAPE)
            pBox->m_nResult = pBox->CancelResult();
        return 0;
    case WM_CLOSE:
        pBox->m_nResult = pBox->CancelResult();
        return 0;
    case WM_COMMAND:
        if (pBox->HasButton(LOWORD(wParam)))
            pBox->m_nResult = LOWORD(wParam);
        return 0;
    default:
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    }
}

int ParseAnswer(const std::string& value)
{
    for (const AnswerName& a : ANSWER_NAMES)
        if (strcasecmp(a.m_szName, value.c_str()) == 0)
            return a.m_nId;
    return std::atoi(value.c_str());
}

// Puts the owner back however the box ends.
struct BoxCleanup
{
    HWND m_hBox;
    HWND m_hOwner;
    bool m_bReenable;
    ~BoxCleanup()
    {
        if (m_bReenable)
            EnableWindow(m_hOwner, TRUE);
        DestroyWindow(m_hBox);
    }
};
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
    BoxState box{BUTTONS[nType], BUTTONS[nType][0]};
    UINT nDefault = (uType & MB_DEFMASK) >> 8;
    if (nDefault < 3 && box.m_pButtons[nDefault])
        box.m_nDefault = box.m_pButtons[nDefault];

    HWND hOwner = GetAncestor(hWnd, GA_ROOT);
    bool bReenable = hOwner && IsWindowEnabled(hOwner);
    if (bReenable)
        EnableWindow(hOwner, FALSE);
    int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    HWND hBox = CreateWindowExA(WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, "#32770", szCaption, WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                (cx - BOX_WIDTH) / 2, (cy - BOX_HEIGHT) / 2, BOX_WIDTH, BOX_HEIGHT, hOwner, nullptr,
                                nullptr, nullptr);
    BoxCleanup cleanup{hBox, hOwner, bReenable};
    if (!hBox)
        return 0;
    SetWindowLongPtrA(hBox, GWL_USERDATA, reinterpret_cast<LONG_PTR>(&box));
    SetWindowLongPtrA(hBox, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(MessageBoxProc));
    ShowWindow(hBox, SW_SHOW);

    win32::ModalLoop loop;
    loop.m_szName = "MessageBox";
    loop.m_hWnd = hBox;
    loop.m_hOwner = hOwner;
    loop.m_nFilterCode = MSGF_MESSAGEBOX;
    loop.m_fnIdle = [&] {
        std::string value;
        if (box.m_nResult || !win32::TakeAnswer("msgbox", value))
            return;
        int nId = ParseAnswer(value);
        if (box.HasButton(nId))
            box.m_nResult = nId;
        else
            LogWarning("MessageBoxA() - the answer %s is not a button of \"%s\".", value.c_str(), szCaption);
    };
    win32::RunModalLoop(loop, [&] { return box.m_nResult != 0 || !IsWindow(hBox); });
    return box.m_nResult;
}
