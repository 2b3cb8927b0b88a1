#pragma once
// The window system's state: windows by handle, classes, the queue, timers, hooks and input.
// One instance, on the one user-interface thread.
#include <win32/layer.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

struct WindowClass
{
    std::string m_strName;
    ATOM m_nAtom = 0;
    UINT m_nStyle = 0;
    WNDPROC m_pfnWndProc = nullptr;
    int m_cbClsExtra = 0;
    int m_cbWndExtra = 0;
    HINSTANCE m_hInstance = nullptr;
    HICON m_hIcon = nullptr;
    HCURSOR m_hCursor = nullptr;
    HBRUSH m_hbrBackground = nullptr;
    std::string m_strMenuName;
    HICON m_hIconSm = nullptr;
};

struct Window
{
    HWND m_hWnd = nullptr;
    std::shared_ptr<WindowClass> m_pClass;
    WNDPROC m_pfnWndProc = nullptr;
    std::string m_strText;
    DWORD m_nStyle = 0;
    DWORD m_nExStyle = 0;
    HWND m_hParent = nullptr;     // the desktop for top-level windows
    HWND m_hOwner = nullptr;      // top-level windows only
    UINT_PTR m_nId = 0;           // child windows: the control id
    HMENU m_hMenu = nullptr;      // top-level windows: the menu
    HINSTANCE m_hInstance = nullptr;
    // Both rectangles are in the parent's client coordinates (the screen for top-level windows).
    RECT m_rcWindow{};
    RECT m_rcClient{};
    RECT m_rcNormal{};            // the restored rectangle while maximised or minimised
    std::vector<HWND> m_Children; // z-order, top first
    LONG_PTR m_nUserData = 0;
    std::vector<uint8_t> m_Extra; // cbWndExtra bytes
    bool m_bNeedsPaint = false;
    bool m_bErase = false;
    bool m_bDestroying = false;
    bool m_bZoomed = false;
    bool m_bIconic = false;
};

struct TimerEntry
{
    HWND m_hWnd;
    UINT_PTR m_nId;
    UINT m_nElapse;          // ms
    int64_t m_nDue;          // ns on the layer clock
    TIMERPROC m_pfnProc;
};

// An input event waits as it happened; its target is chosen when it is taken from the queue.
struct InputEvent
{
    bool m_bKey = false;
    UINT m_nMessage = 0;     // keys: WM_KEYDOWN ... WM_SYSKEYUP; mouse: WM_MOUSEMOVE, WM_xBUTTONDOWN/UP
    WPARAM m_wParam = 0;
    LPARAM m_lParam = 0;     // keys: repeat, scan code and flags
    POINT m_pt{};            // screen
    DWORD m_nTime = 0;
};

struct HookEntry
{
    HHOOK m_hHook;
    HOOKPROC m_pfnProc;
    int m_idHook;   // WH_MSGFILTER or WH_CBT
};

struct UserState
{
    std::vector<std::unique_ptr<Window>> m_Windows;   // slot index + 1 and generation form the handle
    std::vector<uint32_t> m_Generations;
    std::vector<std::shared_ptr<WindowClass>> m_Classes;
    ATOM m_nNextAtom = 0xC000;

    std::deque<MSG> m_Posted;
    std::deque<InputEvent> m_Input;
    bool m_bQuit = false;
    int m_nQuitCode = 0;
    std::vector<TimerEntry> m_Timers;
    UINT_PTR m_nNextTimerId = 1;
    std::vector<HookEntry> m_Hooks;
    uintptr_t m_nNextHook = 1;

    BYTE m_KeyState[256] = {};        // as of the last keyboard message taken
    BYTE m_AsyncKeyState[256] = {};   // as the keyboard is now
    bool m_bAltOnly = false;          // Alt is down and no other key went down since
    POINT m_ptCursor{};
    HCURSOR m_hCursor = nullptr;      // the cursor shown, as SetCursor set it
    HWND m_hFocus = nullptr;
    HWND m_hActive = nullptr;
    HWND m_hCapture = nullptr;
    HWND m_hMain = nullptr;
    MSG m_LastMessage{};              // GetMessageTime, GetMessagePos

    // Double clicks: the last button press taken.
    HWND m_hLastClick = nullptr;
    UINT m_nLastClickMessage = 0;
    DWORD m_nLastClickTime = 0;
    POINT m_ptLastClick{};

    int m_nModalDepth = 0;
    int m_cxScreen = 1280;
    int m_cyScreen = 1024;

    win32::WaitHandler m_WaitHandler;
    win32::IdleTurnHandler m_IdleTurnHandler;
    win32::AnswerSource m_AnswerSource;
};

UserState& User();

// The window behind a handle; null for a stale or unknown one (the desktop included).
Window* FindWindowObject(HWND hWnd);
// Top-level windows are the desktop's children.
Window* DesktopObject();
bool IsTopLevel(const Window* pWnd);
// The client area's origin in screen coordinates.
POINT ClientOriginOnScreen(const Window* pWnd);
// Calls the window procedure; 0 for a dead window.
LRESULT CallWindowObject(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
// Every window below pWnd, depth first, parents before children.
void CollectDescendants(const Window* pWnd, std::vector<HWND>& out);

// Internals shared between the user/ files.
bool SetWindowPosInternal(HWND hWnd, HWND hInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
void ActivateWindow(HWND hWnd, bool bByMouse);
// Activation leaves hWnd (hidden or going away) for its owner or the next window.
void ActivateNextWindow(HWND hWnd);
void RestackWindow(Window* pWnd, HWND hInsertAfter);
void ForgetWindowInput(HWND hWnd);      // timers, posted messages, focus, capture of a dying window
void KillWindowTimers(HWND hWnd);
bool TakeDueTimer(HWND hFilter, UINT nMin, UINT nMax, bool bRemove, MSG& msg);
bool FindPaintMessage(HWND hFilter, MSG& msg);
// An input event becomes a message for the window that takes it now; false when none does.
bool ConvertKeyInput(const InputEvent& event, MSG& msg);
bool ConvertMouseInput(const InputEvent& event, MSG& msg);
// WM_SETCURSOR for a mouse message that is not captured, and DefWindowProc's answer to it.
void SendSetCursor(HWND hWnd, LRESULT nHit, UINT nMouseMessage);
LRESULT DefaultSetCursor(HWND hWnd, WPARAM wParam, LPARAM lParam);
// What taking the message changes: the key state, the last click.
void ApplyTakenKey(const MSG& msg);
void ApplyTakenMouse(const MSG& msg);
bool WaitForMore(const char* szLoop, HWND hLoopWindow);
// The WH_CBT hooks' HCBT_CREATEWND, before the new window's first message.
void CallCreationHooks(HWND hWnd, CREATESTRUCTA& cs);
bool MessageMatches(const MSG& msg, HWND hFilter, UINT nMin, UINT nMax);
