#pragma once
// The test driver: runs the window layer headless on a virtual clock, with scripted input and
// scripted answers for dialogs. Tests make a Driver; a program binary gets one from
// win32::Install() when QUENLARIS_SCRIPT names a script file.
#include <win32/layer.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace win32
{
// Thrown when a loop needs input and the script has none left and no timer is pending: the test
// fails at once instead of hanging. The layers' only exception, and only under a driver.
class ScriptExhausted : public std::exception
{
public:
    ScriptExhausted(std::string strLoop, std::string strCaption, bool bModal);
    const char* what() const noexcept override { return m_strWhat.c_str(); }
    const std::string& Loop() const { return m_strLoop; }
    const std::string& Caption() const { return m_strCaption; }
    bool InModalLoop() const { return m_bModal; }

private:
    std::string m_strLoop;
    std::string m_strCaption;
    bool m_bModal;
    std::string m_strWhat;
};

// Answers for headless dialogs, taken in order by the dialog of their kind.
class Answers
{
public:
    Answers& file(const std::string& strPath);
    Answers& cancel();
    Answers& msgbox(int nId);
    void push(const std::string& strKind, const std::string& strValue);
    bool take(const char* szKind, std::string& strValue);
    size_t pending() const { return m_Queue.size(); }
    void clear() { m_Queue.clear(); }

private:
    std::vector<std::pair<std::string, std::string>> m_Queue;
};

class Driver
{
public:
    // Tests: the clock moves only by advance() and Sleep, and a loop that must wait jumps to the
    // next scheduled event or timer. Program: each empty turn of a loop moves the clock one step.
    enum class Mode
    {
        Test,
        Program,
    };
    // Resets the layer: no windows, an in-memory registry (tests), the clock at 0.
    explicit Driver(Mode mode = Mode::Test);
    ~Driver();
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    // ---- Time (milliseconds on the layer clock)
    void advance(int nMilliseconds);
    int64_t now() const;
    // Runs the action when the clock reaches now() + nMilliseconds.
    void at(int nMilliseconds, std::function<void()> action);

    // ---- Input, queued at once
    void key(BYTE nVirtualKey, bool bDown);
    void key(BYTE nVirtualKey);                   // press and release
    bool key(const std::string& strCombination);  // "Tab", "Alt+Return", "Ctrl+O"
    bool type(const std::string& strText);
    void mouse(POINT ptScreen);                   // move
    void mouse(POINT ptScreen, int nButton, bool bDown);
    bool click(HWND hWnd, int nButton = 0);       // the centre of its client area
    Answers& answers() { return m_Answers; }

    // Dispatches until no message, paint or due timer remains; false when WM_QUIT was taken.
    bool pumpUntilIdle();
    int quitCode() const { return m_nQuitCode; }

    // "main", "#1000", "class:Name", "title:Text", or a path of these joined by '/'.
    HWND find(const std::string& strSelector) const;

    // Writes a window's pixels (null: the composed desktop) as a PNG file; a relative path goes
    // below $QUENLARIS_SNAPSHOT_DIR when that is set.
    bool snapshot(HWND hWnd, const std::string& strPath);

    // ---- Scripts
    // Schedules a script's lines from now on; false with a message naming the bad line.
    bool loadScript(const std::string& strText, std::string& strError);
    // Failed expect lines and script lines that could not act, in order.
    const std::vector<std::string>& failures() const { return m_Failures; }
    bool scriptDone() const;
    void addFailure(const std::string& strText) { m_Failures.push_back(strText); }
    // A step of the program's idle clock; 10 ms unless set.
    void setStep(int nMilliseconds) { m_nStep = static_cast<int64_t>(nMilliseconds) * 1000000; }

private:
    struct Event
    {
        int64_t m_nTime;
        uint64_t m_nSequence;
        std::function<void()> m_Action;
    };
    void schedule(int64_t nTime, std::function<void()> action);
    void runDueEvents();
    bool waitForInput(const WaitRequest& request);
    void idleTurn();
    int64_t nextEventTime() const;

    Mode m_Mode;
    Answers m_Answers;
    std::vector<Event> m_Events;
    uint64_t m_nSequence = 0;
    int64_t m_nStep = 10 * 1000000LL;
    int m_nQuitCode = 0;
    std::vector<std::string> m_Failures;
    bool m_bClosePosted = false;
    int64_t m_nIdleSince = -1;   // when the program last had script left, for the end-of-run limits
};

// The driver of a program run under QUENLARIS_SCRIPT; null otherwise.
Driver* GetProgramDriver();
// Runs the program's body. Under a script: a script that runs out inside a modal loop gives exit
// status 3; a failed expect, or a program that does not exit when the script ends, gives 4.
int RunProgram(const std::function<int()>& fnMain);
}
