#pragma once
// What the window layer offers beyond the Win32 calls: the main window, nested modal loops, the
// points where a presenter or the test driver feeds input and answers, and input injection.
#include <win32/user.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace win32
{
// The program's main window (the MFC layer sets it); by default the first live top-level window.
void SetMainWindow(HWND hWnd);
HWND GetMainWindow();
std::vector<HWND> GetTopLevelWindows();   // top of the z-order first

// ---- Modal loops. DoModal, MessageBox, the file dialog, popup menus and the move/size loop all
// run here: every window's messages are dispatched, WH_MSGFILTER hooks see each message first,
// the owner gets WM_ENTERIDLE when the loop goes idle, and WM_QUIT ends the loop and is posted
// again for the loop outside.
struct ModalLoop
{
    const char* m_szName = "";   // "MessageBox", "DoModal", ... (named when a script runs out)
    HWND m_hWnd = nullptr;       // the loop's window, whose caption names it
    HWND m_hOwner = nullptr;     // receives WM_ENTERIDLE
    int m_nFilterCode = MSGF_DIALOGBOX;
    std::function<void()> m_fnIdle;   // called each time the loop goes idle, before waiting
    // Rewrites each message before the filter hooks see it (popup menus give mouse messages
    // screen coordinates).
    std::function<void(MSG& msg)> m_fnPrepare;
    // Offered each message after the filter hooks; true when it handled the message (the dialog
    // manager's keys), which is then neither translated nor dispatched.
    std::function<bool(MSG& msg)> m_fnPreTranslate;
};
// Runs until fnDone() is true (true) or WM_QUIT arrives (false).
bool RunModalLoop(const ModalLoop& loop, const std::function<bool()>& fnDone);
int GetModalDepth();

// ---- Waiting. When the queue is empty, GetMessage, WaitMessage and modal loops ask the wait
// handler for more: a presenter waits for events, the test driver moves its virtual clock and
// queues script input. It returns false when nothing can ever arrive.
struct WaitRequest
{
    const char* m_szLoop;        // "GetMessage", "WaitMessage" or the modal loop's name
    std::string m_strCaption;    // the modal loop window's caption
    int m_nModalDepth;
};
using WaitHandler = std::function<bool(const WaitRequest& request)>;
void SetWaitHandler(WaitHandler handler);   // null: wait on the real clock for the next timer
// Called when PeekMessage finds the whole queue empty (script mode moves its clock there).
using IdleTurnHandler = std::function<void()>;
void SetIdleTurnHandler(IdleTurnHandler handler);

// A message, a paint or a due timer is waiting.
bool HasPendingWork();
// Nanoseconds on the layer clock when the next timer falls due; INT64_MAX with no timer.
int64_t NextTimerDue();

// ---- Answers for dialogs that run headless: a message box asks for "msgbox" (IDOK, IDYES ...),
// the file dialog for "file". False: no answer queued.
using AnswerSource = std::function<bool(const char* szKind, std::string& strValue)>;
void SetAnswerSource(AnswerSource source);
bool TakeAnswer(const char* szKind, std::string& strValue);

// ---- Input, as a presenter or the driver delivers it. Keys and buttons update the
// asynchronous key state at once; GetKeyState follows when the message is taken.
void InjectKey(BYTE nVirtualKey, bool bDown);
void InjectMouseMove(POINT ptScreen);
// nButton: 0 left, 1 right, 2 middle.
void InjectMouseButton(int nButton, bool bDown, POINT ptScreen);
// Sets a key's state in both tables without any message (tests).
void SetKeyStateDirect(BYTE nVirtualKey, bool bDown, bool bToggled);
// Virtual key and shift state that type a character; false for characters no key types.
bool VirtualKeyForChar(char c, BYTE& nVirtualKey, bool& bShift);
// Names used by scripts: "A", "F5", "Return", "Esc", "Left" ...; 0 for an unknown name.
BYTE VirtualKeyFromName(const std::string& strName);

// The screen, 1280x1024 unless QUENLARIS_DESKTOP says otherwise.
void SetScreenSize(int cx, int cy);

// Forgets every window, class, message, timer, hook and key state (the test driver's reset).
void ResetWindowSystem();
}
