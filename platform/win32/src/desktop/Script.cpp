// Program scripts: one instruction a line, run on the driver's clock.
//   wait 100                      the next lines run 100 ms later (a last wait delays the close)
//   key Tab / key Alt+Return      press and release
//   press Up / release Up         a key held down over the lines between (camera movement)
//   type "quit\r"                 the keys that type the text
//   click left #1000              a click in the middle of the window (or at "x,y" on the screen)
//   answer file "a.qnl" / answer cancel / answer msgbox IDOK
//   command 57601                 WM_COMMAND to the main window
//   expect window class:CRenderWnd visible   (exists, visible, hidden, enabled, disabled, gone)
//   expect file "Images\Default.bmp"
//   expect registry "SOFTWARE\Oskel" Speed = 12   (a number or a quoted text)
//   expect text #1001 "> vendor\r\n"          (the window's text contains the quoted text)
// Blank lines and lines starting with '#' are skipped.
#include <win32/clock.h>
#include <win32/paths.h>
#include <win32/registry.h>
#include <win32/testing.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <sys/stat.h>

namespace
{
struct Token
{
    std::string m_strText;
    bool m_bQuoted;
};

bool Tokenize(const std::string& line, std::vector<Token>& tokens)
{
    size_t i = 0;
    while (i < line.size())
    {
        if (std::isspace(static_cast<unsigned char>(line[i])))
        {
            ++i;
            continue;
        }
        Token token{std::string(), line[i] == '"'};
        if (!token.m_bQuoted)
        {
            while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i])))
                token.m_strText += line[i++];
            tokens.push_back(token);
            continue;
        }
        ++i;
        bool bClosed = false;
        while (i < line.size() && !bClosed)
        {
            char c = line[i++];
            if (c == '"')
                bClosed = true;
            else if (c == '\\' && i < line.size())
            {
                char e = line[i++];
                const char* szFrom = "rnt\\\"";
                const char* szTo = "\r\n\t\\\"";
                // Other backslashes stay as they are, so "SOFTWARE\Oskel" reads as written.
                if (const char* p = std::strchr(szFrom, e))
                    token.m_strText += szTo[p - szFrom];
                else
                {
                    token.m_strText += c;
                    token.m_strText += e;
                }
            }
            else
                token.m_strText += c;
        }
        if (!bClosed)
            return false;
        tokens.push_back(token);
    }
    return true;
}

bool ParseNumber(const std::string& s, long& n)
{
    char* pEnd = nullptr;
    n = std::strtol(s.c_str(), &pEnd, 0);
    return !s.empty() && *pEnd == 0;
}

const char* const BUTTON_NAMES[] = {"left", "right", "middle"};

bool CheckWindow(const win32::Driver& driver, const std::string& selector, const std::string& state)
{
    HWND h = driver.find(selector);
    if (state == "gone")
        return !h;
    if (!h)
        return false;
    if (state == "visible")
        return IsWindowVisible(h);
    if (state == "hidden")
        return !IsWindowVisible(h);
    if (state == "enabled")
        return IsWindowEnabled(h);
    if (state == "disabled")
        return !IsWindowEnabled(h);
    return true;
}

bool CheckRegistry(const std::string& key, const std::string& name, const Token& value)
{
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    BYTE data[1024] = {};
    DWORD nType = 0, cb = sizeof(data);
    bool bOk = RegQueryValueExA(hKey, name.c_str(), nullptr, &nType, data, &cb) == ERROR_SUCCESS;
    RegCloseKey(hKey);
    if (!bOk)
        return false;
    long n = 0;
    if (!value.m_bQuoted && nType == REG_DWORD && ParseNumber(value.m_strText, n))
        return static_cast<DWORD>(data[0] | data[1] << 8 | data[2] << 16 | static_cast<DWORD>(data[3]) << 24) ==
               static_cast<DWORD>(n);
    return value.m_bQuoted && nType == REG_SZ && value.m_strText == reinterpret_cast<const char*>(data);
}
}

namespace win32
{
bool Driver::loadScript(const std::string& strText, std::string& strError)
{
    // Every line is checked before any is scheduled, so a bad script runs nothing.
    std::vector<std::pair<int64_t, std::function<void()>>> actions;
    int64_t nCursor = 0;
    size_t pos = 0;
    int nLine = 0;
    while (pos < strText.size())
    {
        size_t end = strText.find('\n', pos);
        if (end == std::string::npos)
            end = strText.size();
        std::string line = strText.substr(pos, end - pos);
        pos = end + 1;
        ++nLine;
        std::vector<Token> t;
        if (!Tokenize(line, t))
        {
            strError = "line " + std::to_string(nLine) + ": unterminated or bad quoted text";
            return false;
        }
        if (t.empty() || t[0].m_strText[0] == '#')
            continue;
        const std::string& verb = t[0].m_strText;
        std::string where = "line " + std::to_string(nLine) + " (" + line + ")";
        std::function<void()> action;
        long n = 0;
        if (verb == "wait" && t.size() == 2 && ParseNumber(t[1].m_strText, n) && n >= 0)
        {
            nCursor += n;
            continue;
        }
        if (verb == "key" && t.size() == 2)
        {
            std::string combo = t[1].m_strText;
            action = [this, combo, where] {
                if (!key(combo))
                    addFailure(where + ": unknown key");
            };
        }
        else if ((verb == "press" || verb == "release") && t.size() == 2)
        {
            BYTE vk = VirtualKeyFromName(t[1].m_strText);
            if (!vk)
            {
                strError = where + ": unknown key";
                return false;
            }
            bool bDown = verb == "press";
            action = [this, vk, bDown] { key(vk, bDown); };
        }
        else if (verb == "type" && t.size() == 2 && t[1].m_bQuoted)
        {
            std::string text = t[1].m_strText;
            action = [this, text, where] {
                if (!type(text))
                    addFailure(where + ": a character no key types");
            };
        }
        else if (verb == "click" && t.size() == 3)
        {
            int nButton = -1;
            for (int i = 0; i < 3; ++i)
                if (t[1].m_strText == BUTTON_NAMES[i])
                    nButton = i;
            if (nButton < 0)
            {
                strError = where + ": the button is left, right or middle";
                return false;
            }
            std::string target = t[2].m_strText;
            action = [this, nButton, target, where] {
                int x = 0, y = 0;
                char c = 0;
                if (std::sscanf(target.c_str(), "%d,%d%c", &x, &y, &c) == 2)
                {
                    mouse(POINT{x, y});
                    mouse(POINT{x, y}, nButton, true);
                    mouse(POINT{x, y}, nButton, false);
                }
                else if (!click(find(target), nButton))
                    addFailure(where + ": no such window");
            };
        }
        else if (verb == "answer" && t.size() == 3 && (t[1].m_strText == "file" || t[1].m_strText == "msgbox"))
        {
            std::string kind = t[1].m_strText, value = t[2].m_strText;
            action = [this, kind, value] { m_Answers.push(kind, value); };
        }
        else if (verb == "answer" && t.size() == 2 && t[1].m_strText == "cancel")
            action = [this] { m_Answers.cancel(); };
        else if (verb == "command" && t.size() == 2 && ParseNumber(t[1].m_strText, n))
        {
            WPARAM nId = static_cast<WPARAM>(n);
            action = [this, nId, where] {
                if (!PostMessageA(GetMainWindow(), WM_COMMAND, nId, 0))
                    addFailure(where + ": no main window");
            };
        }
        else if (verb == "snapshot" && t.size() == 3)
        {
            std::string target = t[1].m_strText, file = t[2].m_strText;
            action = [this, target, file, where] {
                HWND hWnd = target == "desktop" ? nullptr : find(target);
                if ((target != "desktop" && !hWnd) || !snapshot(hWnd, file))
                    addFailure(where + ": no snapshot written");
            };
        }
        else if (verb == "expect" && t.size() >= 3 && t[1].m_strText == "window" && t.size() <= 4)
        {
            std::string selector = t[2].m_strText, state = t.size() == 4 ? t[3].m_strText : "exists";
            static const char* const STATES[] = {"exists", "visible", "hidden", "enabled", "disabled", "gone"};
            if (std::none_of(std::begin(STATES), std::end(STATES), [&](const char* s) { return state == s; }))
            {
                strError = where + ": unknown window state";
                return false;
            }
            action = [this, selector, state, where] {
                if (!CheckWindow(*this, selector, state))
                    addFailure(where + ": not so");
            };
        }
        else if (verb == "expect" && t.size() == 3 && t[1].m_strText == "file")
        {
            std::string name = t[2].m_strText;
            action = [this, name, where] {
                struct stat st{};
                std::string path = MapPath(name.c_str(), false);
                if (path.empty() || stat(path.c_str(), &st) != 0)
                    addFailure(where + ": no such file");
            };
        }
        else if (verb == "expect" && t.size() == 4 && t[1].m_strText == "text" && t[3].m_bQuoted)
        {
            std::string selector = t[2].m_strText, text = t[3].m_strText;
            action = [this, selector, text, where] {
                HWND h = find(selector);
                std::string strWindowText(h ? static_cast<size_t>(GetWindowTextLengthA(h)) + 1 : 0, '\0');
                if (h)
                    strWindowText.resize(static_cast<size_t>(
                        GetWindowTextA(h, strWindowText.data(), static_cast<int>(strWindowText.size()))));
                if (!h || strWindowText.find(text) == std::string::npos)
                    addFailure(where + ": the text is not there");
            };
        }
        else if (verb == "expect" && t.size() == 6 && t[1].m_strText == "registry" && t[4].m_strText == "=")
        {
            std::string key = t[2].m_strText, name = t[3].m_strText;
            Token value = t[5];
            action = [this, key, name, value, where] {
                if (!CheckRegistry(key, name, value))
                    addFailure(where + ": not so");
            };
        }
        else
        {
            strError = where + ": not an instruction this driver knows";
            return false;
        }
        actions.emplace_back(nCursor, std::move(action));
    }
    // A trailing wait keeps the script running that long, so that what its last lines set off
    // happens before the program is asked to close.
    if (nCursor > (actions.empty() ? 0 : actions.back().first))
        actions.emplace_back(nCursor, [] {});
    int64_t nStart = ClockNow();
    for (auto& a : actions)
        schedule(nStart + a.first * 1000000, std::move(a.second));
    return true;
}
}
