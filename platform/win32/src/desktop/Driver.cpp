#include <win32/testing.h>

#include <win32/clock.h>
#include <win32/display.h>
#include <win32/registry.h>

#include <algorithm>
#include <climits>

namespace
{
const int64_t NANOSECONDS_PER_MS = 1000000;
// How long a program may idle once its script is done before the run counts as hung: inside a
// modal loop with only timers left, and after the closing WM_CLOSE.
const int64_t END_OF_SCRIPT_LIMIT = 10000 * NANOSECONDS_PER_MS;
}

namespace win32
{
ScriptExhausted::ScriptExhausted(std::string strLoop, std::string strCaption, bool bModal)
    : m_strLoop(std::move(strLoop)), m_strCaption(std::move(strCaption)), m_bModal(bModal)
{
    m_strWhat = m_bModal ? m_strLoop + " \"" + m_strCaption + "\" needs input and the script has none left"
                         : m_strLoop + ": the script is done and the program did not exit";
}

Answers& Answers::file(const std::string& strPath)
{
    push("file", strPath);
    return *this;
}

Answers& Answers::cancel()
{
    push("file", std::string());
    return *this;
}

Answers& Answers::msgbox(int nId)
{
    push("msgbox", std::to_string(nId));
    return *this;
}

void Answers::push(const std::string& strKind, const std::string& strValue)
{
    m_Queue.emplace_back(strKind, strValue);
}

bool Answers::take(const char* szKind, std::string& strValue)
{
    auto it = std::find_if(m_Queue.begin(), m_Queue.end(), [&](const auto& a) { return a.first == szKind; });
    if (it == m_Queue.end())
        return false;
    strValue = it->second;
    m_Queue.erase(it);
    return true;
}

Driver::Driver(Mode mode) : m_Mode(mode)
{
    ResetWindowSystem();
    if (mode == Mode::Test)
        UseMemoryRegistry();
    SetDisplayModes({});
    ClearDisplayChanges();
    UseVirtualClock(0);
    SetWaitHandler([this](const WaitRequest& request) { return waitForInput(request); });
    SetAnswerSource([this](const char* szKind, std::string& strValue) { return m_Answers.take(szKind, strValue); });
    SetSleepHandler([this](DWORD nMilliseconds) {
        AdvanceClock(static_cast<int64_t>(nMilliseconds) * NANOSECONDS_PER_MS);
        runDueEvents();
    });
    if (mode == Mode::Program)
        SetIdleTurnHandler([this] { idleTurn(); });
}

Driver::~Driver()
{
    SetWaitHandler(nullptr);
    SetAnswerSource(nullptr);
    SetSleepHandler(nullptr);
    SetIdleTurnHandler(nullptr);
    ResetWindowSystem();
    UseRealClock();
}

void Driver::advance(int nMilliseconds)
{
    int64_t nEnd = ClockNow() + static_cast<int64_t>(nMilliseconds) * NANOSECONDS_PER_MS;
    // Events in between run at their own time, so the input they queue carries it.
    while (!m_Events.empty() && m_Events.front().m_nTime <= nEnd)
    {
        AdvanceClock(m_Events.front().m_nTime - ClockNow());
        runDueEvents();
    }
    AdvanceClock(nEnd - ClockNow());
}

int64_t Driver::now() const
{
    return ClockNow() / NANOSECONDS_PER_MS;
}

void Driver::at(int nMilliseconds, std::function<void()> action)
{
    schedule(ClockNow() + static_cast<int64_t>(nMilliseconds) * NANOSECONDS_PER_MS, std::move(action));
}

void Driver::schedule(int64_t nTime, std::function<void()> action)
{
    Event event{nTime, m_nSequence++, std::move(action)};
    auto it = std::upper_bound(m_Events.begin(), m_Events.end(), event, [](const Event& a, const Event& b) {
        return a.m_nTime < b.m_nTime || (a.m_nTime == b.m_nTime && a.m_nSequence < b.m_nSequence);
    });
    m_Events.insert(it, std::move(event));
}

void Driver::runDueEvents()
{
    while (!m_Events.empty() && m_Events.front().m_nTime <= ClockNow())
    {
        std::function<void()> action = std::move(m_Events.front().m_Action);
        m_Events.erase(m_Events.begin());
        action();
    }
}

int64_t Driver::nextEventTime() const
{
    return m_Events.empty() ? INT64_MAX : m_Events.front().m_nTime;
}

bool Driver::scriptDone() const
{
    return m_Events.empty();
}

void Driver::key(BYTE nVirtualKey, bool bDown)
{
    InjectKey(nVirtualKey, bDown);
}

void Driver::key(BYTE nVirtualKey)
{
    InjectKey(nVirtualKey, true);
    InjectKey(nVirtualKey, false);
}

bool Driver::key(const std::string& strCombination)
{
    std::vector<BYTE> keys;
    size_t i = 0;
    while (i <= strCombination.size())
    {
        size_t end = strCombination.find('+', i + 1);   // "+" alone names the plus key
        if (end == std::string::npos)
            end = strCombination.size();
        BYTE vk = VirtualKeyFromName(strCombination.substr(i, end - i));
        if (!vk)
            return false;
        keys.push_back(vk);
        i = end + 1;
    }
    for (BYTE vk : keys)
        InjectKey(vk, true);
    for (auto it = keys.rbegin(); it != keys.rend(); ++it)
        InjectKey(*it, false);
    return true;
}

bool Driver::type(const std::string& strText)
{
    for (char c : strText)
    {
        BYTE vk = 0;
        bool bShift = false;
        if (!VirtualKeyForChar(c, vk, bShift))
            return false;
        if (bShift)
            InjectKey(VK_SHIFT, true);
        key(vk);
        if (bShift)
            InjectKey(VK_SHIFT, false);
    }
    return true;
}

void Driver::mouse(POINT ptScreen)
{
    InjectMouseMove(ptScreen);
}

void Driver::mouse(POINT ptScreen, int nButton, bool bDown)
{
    InjectMouseButton(nButton, bDown, ptScreen);
}

bool Driver::click(HWND hWnd, int nButton)
{
    RECT rc;
    if (!GetClientRect(hWnd, &rc))
        return false;
    POINT pt{rc.right / 2, rc.bottom / 2};
    ClientToScreen(hWnd, &pt);
    InjectMouseMove(pt);
    InjectMouseButton(nButton, true, pt);
    InjectMouseButton(nButton, false, pt);
    return true;
}

bool Driver::pumpUntilIdle()
{
    runDueEvents();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        if (msg.message == WM_QUIT)
        {
            m_nQuitCode = static_cast<int>(msg.wParam);
            return false;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        runDueEvents();
    }
    return true;
}

bool Driver::waitForInput(const WaitRequest& request)
{
    // A script's answer line queues no message; the loop takes it on its next idle turn.
    size_t nAnswers = m_Answers.pending();
    runDueEvents();
    if (HasPendingWork() || m_Answers.pending() > nAnswers)
        return true;
    bool bModal = request.m_nModalDepth > 0;
    if (m_Mode == Mode::Test)
    {
        // Jump to whatever comes next; with nothing to come, fail now rather than hang.
        int64_t nNext = std::min(nextEventTime(), NextTimerDue());
        if (nNext == INT64_MAX)
            throw ScriptExhausted(request.m_szLoop, request.m_strCaption, bModal);
        AdvanceClock(nNext - ClockNow());
        runDueEvents();
        return true;
    }
    if (!m_Events.empty())
    {
        idleTurn();
        return true;
    }
    if (bModal)
    {
        if (NextTimerDue() == INT64_MAX)
            throw ScriptExhausted(request.m_szLoop, request.m_strCaption, true);
        if (m_nIdleSince < 0)
            m_nIdleSince = ClockNow();
        if (ClockNow() - m_nIdleSince > END_OF_SCRIPT_LIMIT)
            throw ScriptExhausted(request.m_szLoop, request.m_strCaption, true);
        AdvanceClock(m_nStep);
        return true;
    }
    idleTurn();
    return true;
}

void Driver::idleTurn()
{
    AdvanceClock(m_nStep);
    runDueEvents();
    if (!m_Events.empty())
    {
        m_nIdleSince = -1;
        return;
    }
    if (m_nIdleSince < 0)
        m_nIdleSince = ClockNow();
    if (GetModalDepth() > 0)
        return;
    // Answers still queued belong to a dialog that has yet to open.
    if (m_Answers.pending() && ClockNow() - m_nIdleSince <= END_OF_SCRIPT_LIMIT)
        return;
    // The script is done: the main window is asked to close, and the program must then end.
    if (!m_bClosePosted)
    {
        m_bClosePosted = true;
        m_nIdleSince = ClockNow();
        if (HWND hMain = GetMainWindow())
            PostMessageA(hMain, WM_CLOSE, 0, 0);
        else
            PostQuitMessage(0);
        return;
    }
    if (ClockNow() - m_nIdleSince > END_OF_SCRIPT_LIMIT)
        throw ScriptExhausted("Run", std::string(), false);
}
}
