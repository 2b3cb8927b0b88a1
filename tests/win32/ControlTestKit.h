#pragma once
// A visible parent window that records the notifications its controls send.
#include "WindowTestKit.h"

#include <win32/windows.h>

#include <vector>

struct Notification
{
    int m_nId;
    UINT m_nCode;
};
inline bool operator==(const Notification& a, const Notification& b)
{
    return a.m_nId == b.m_nId && a.m_nCode == b.m_nCode;
}
inline std::ostream& operator<<(std::ostream& out, const Notification& n)
{
    return out << "{" << n.m_nId << ", " << static_cast<int>(n.m_nCode) << "}";
}

class ControlTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        m_hParent = Create("Parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300);
        m_Driver.pumpUntilIdle();
        MessageLog().clear();
    }
    HWND Make(const char* szClass, const char* szText, DWORD nStyle, int nId, int x, int y, int cx, int cy,
              DWORD nExStyle = 0)
    {
        HWND hCtl = CreateWindowExA(nExStyle, szClass, szText, WS_CHILD | WS_VISIBLE | nStyle, x, y, cx, cy, m_hParent,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(nId)), nullptr, nullptr);
        m_Driver.pumpUntilIdle();
        return hCtl;
    }
    // WM_COMMAND notifications the parent received, in order (and forgets them).
    std::vector<Notification> TakeCommands(std::initializer_list<UINT> only = {})
    {
        std::vector<Notification> out;
        for (const LoggedMessage& m : MessageLog())
            if (m.m_hWnd == m_hParent && m.m_nMessage == WM_COMMAND &&
                (only.size() == 0 || std::find(only.begin(), only.end(), HIWORD(m.m_wParam)) != only.end()))
                out.push_back({static_cast<SHORT>(LOWORD(m.m_wParam)), HIWORD(m.m_wParam)});
        MessageLog().clear();
        return out;
    }
    // A point of a control's client area, on the screen.
    POINT At(HWND hCtl, int x, int y)
    {
        POINT pt{x, y};
        ClientToScreen(hCtl, &pt);
        return pt;
    }
    void Click(HWND hCtl, int x, int y, bool bDouble = false)
    {
        for (int i = 0; i < (bDouble ? 2 : 1); ++i)
        {
            m_Driver.mouse(At(hCtl, x, y), 0, true);
            m_Driver.mouse(At(hCtl, x, y), 0, false);
        }
        m_Driver.pumpUntilIdle();
    }
    std::string Text(HWND hWnd)
    {
        char text[256];
        GetWindowTextA(hWnd, text, sizeof(text));
        return text;
    }
    HWND m_hParent = nullptr;
};
