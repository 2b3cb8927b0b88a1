#pragma once
// A window class whose procedure records every message before the test's handler (if any) and
// DefWindowProcA see it.
#include <win32/testing.h>

#include <gtest/gtest.h>

#include <algorithm>

#include <functional>
#include <optional>
#include <string>
#include <vector>

struct LoggedMessage
{
    HWND m_hWnd;
    UINT m_nMessage;
    WPARAM m_wParam;
    LPARAM m_lParam;
};

inline std::vector<LoggedMessage>& MessageLog()
{
    static std::vector<LoggedMessage> s_Log;
    return s_Log;
}

using TestHandler = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;
inline TestHandler& CurrentHandler()
{
    static TestHandler s_Handler;
    return s_Handler;
}

inline LRESULT CALLBACK RecordingProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    MessageLog().push_back({hWnd, nMessage, wParam, lParam});
    if (CurrentHandler())
        if (std::optional<LRESULT> r = CurrentHandler()(hWnd, nMessage, wParam, lParam))
            return *r;
    return DefWindowProcA(hWnd, nMessage, wParam, lParam);
}

// Each test starts from a fresh layer (the driver) with the recording class registered.
class WindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MessageLog().clear();
        CurrentHandler() = nullptr;
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = RecordingProc;
        wc.lpszClassName = "TestWnd";
        ASSERT_NE(RegisterClassExA(&wc), 0);
    }
    void TearDown() override { CurrentHandler() = nullptr; }

    HWND Create(const char* szTitle, DWORD nStyle, int x, int y, int cx, int cy, HWND hParent = nullptr,
                UINT_PTR nId = 0, DWORD nExStyle = 0)
    {
        return CreateWindowExA(nExStyle, "TestWnd", szTitle, nStyle, x, y, cx, cy, hParent,
                               reinterpret_cast<HMENU>(nId), nullptr, nullptr);
    }

    // The logged messages of one window (or all), as "hwnd-name:MESSAGE" lines.
    std::vector<UINT> MessagesOf(HWND hWnd, std::initializer_list<UINT> only = {}) const
    {
        std::vector<UINT> out;
        for (const LoggedMessage& m : MessageLog())
            if ((!hWnd || m.m_hWnd == hWnd) &&
                (only.size() == 0 || std::find(only.begin(), only.end(), m.m_nMessage) != only.end()))
                out.push_back(m.m_nMessage);
        return out;
    }

    win32::Driver m_Driver;
};
