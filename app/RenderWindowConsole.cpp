// The main window's console: a one-line input pane and a read-only transcript above it. A line
// ended with Enter runs as a command: the window's own commands (the transcript, the registry
// variables under the console's key, exit, quit, the processor) come first, every other word
// goes to the application's ConsoleCommand. The transcript shows each line after "> " and its
// result under it.
#include "app/ApplicationBase.h"
#include "app/RenderView.h"
#include "app/RenderWindow.h"

#include "core/Log.h"
#include "core/Processor.h"
#include "core/Tokenizer.h"

#include <win32/registry.h>
#include <win32/richedit.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>
#include <utility>
#include <vector>

int32_t g_bConsoleVisible = 0;

namespace
{
const int INPUT_HEIGHT = 24;
// The transcript is this high when made and the larger height after any resize of the window.
const int OUTPUT_HEIGHT_AT_CREATION = 102;
const int OUTPUT_HEIGHT = 202;
// Lines of the transcript kept in view below its first visible line after a command.
const int VISIBLE_TRANSCRIPT_LINES = 15;
const char COMMAND_OK[] = "Command OK";

// The help text: only commands that exist, each form left-aligned in 16 characters.
const std::pair<const char*, const char*> HELP_LINES[] = {
    {"clear", "clear the output screen"},
    {"help", "display this text"},
    {"list/ls", "list all variables"},
    {"set a b", "set the variable a to the integer value b"},
    {"set a \"b\"", "set the variable a to the string value b"},
    {"pos", "shows position"},
    {"setpos a,b,c", "set position to (a,b,c)"},
    {"angles", "shows viewing angles"},
    {"setangles a,b,c", "set viewing angles to (a,b,c)"},
    {"rm/del a", "delete variable a"},
    {"exit", "close the console"},
    {"quit", "close the application"},
    {"cpu", "show cpu info"},
    {"vendor", "show graphic card vendor"},
    {"renderer", "show renderer"},
    {"version", "show driver version"},
};

bool CreatePane(CRichEditCtrl& pane, DWORD dwStyle, const RECT& rc, CWnd* pParent, UINT nId)
{
    if (!pane.Create(dwStyle, rc, pParent, nId))
        return false;
    pane.SetEventMask(ENM_KEYEVENTS);
    CHARFORMAT format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_FACE | CFM_BOLD | CFM_ITALIC;
    std::strcpy(format.szFaceName, "Courier");
    pane.SetDefaultCharFormat(format);
    return true;
}

// The key of the console's variables, created or opened with full access; null when it cannot be.
HKEY OpenVariableKey(bool bCreate)
{
    HKEY hKey = nullptr;
    DWORD dwDisposition = 0;
    LSTATUS nStatus = bCreate ? RegCreateKeyExA(HKEY_LOCAL_MACHINE, KEY_BINDINGS_REGISTRY_KEY, 0, nullptr,
                                                REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &hKey, &dwDisposition)
                              : RegOpenKeyExA(HKEY_LOCAL_MACHINE, KEY_BINDINGS_REGISTRY_KEY, 0, KEY_ALL_ACCESS, &hKey);
    return nStatus == ERROR_SUCCESS ? hKey : nullptr;
}

// "set name value": a value starting with a double quote is a string up to the next one (or the
// end), any other a number as atoi reads it.
void SetVariable(Tokenizer& tokenizer, String& result)
{
    char szName[TOKEN_BUFFER_SIZE] = "";
    char szValue[TOKEN_BUFFER_SIZE] = "";
    char szRest[TOKEN_BUFFER_SIZE] = "";
    if (!tokenizer.NextToken(szName, sizeof(szName), IsIdentifierChar) || !IsIdentifierChar(szName[0]) ||
        !tokenizer.NextToken(szValue, sizeof(szValue), IsIdentifierChar) ||
        !tokenizer.GetRemainder(szRest, sizeof(szRest)))
    {
        result = "Usage: set name value, or set name \"text\"";
        return;
    }
    HKEY hKey = OpenVariableKey(true);
    if (!hKey)
        return;
    if (szRest[0] == '"')
    {
        std::string text(szRest + 1);
        text = text.substr(0, text.find('"'));
        RegSetValueExA(hKey, szName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
    }
    else
    {
        DWORD dwValue = static_cast<DWORD>(std::atoi(szRest));
        RegSetValueExA(hKey, szName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwValue), sizeof(dwValue));
    }
    RegCloseKey(hKey);
}

void DeleteVariable(Tokenizer& tokenizer, String& result)
{
    char szName[TOKEN_BUFFER_SIZE] = "";
    if (!tokenizer.NextToken(szName, sizeof(szName), IsIdentifierChar) || !IsIdentifierChar(szName[0]))
    {
        result = "Usage: rm name";
        return;
    }
    if (HKEY hKey = OpenVariableKey(false))
    {
        RegDeleteValueA(hKey, szName);
        RegCloseKey(hKey);
    }
}

// One line a variable, ordered by name without regard to case (equal names keep their order),
// the values in a column one past the longest name.
void ListVariables(String& result)
{
    HKEY hKey = OpenVariableKey(false);
    if (!hKey)
        return;
    std::vector<std::pair<std::string, std::string>> entries;
    for (DWORD i = 0;; ++i)
    {
        char szName[TOKEN_BUFFER_SIZE] = "";
        DWORD cchName = sizeof(szName);
        BYTE data[1024] = {};
        DWORD cbData = sizeof(data) - 1;
        DWORD dwType = 0;
        if (RegEnumValueA(hKey, i, szName, &cchName, nullptr, &dwType, data, &cbData) != ERROR_SUCCESS)
            break;
        std::string value;
        if (dwType == REG_SZ)
            value = "\"" + std::string(reinterpret_cast<const char*>(data)) + "\"";
        else if (dwType == REG_DWORD && cbData == sizeof(DWORD))
        {
            DWORD dwValue = 0;
            std::memcpy(&dwValue, data, sizeof(dwValue));
            value = std::to_string(static_cast<int32_t>(dwValue));
        }
        entries.emplace_back(szName, value);
    }
    RegCloseKey(hKey);
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        return strcasecmp(a.first.c_str(), b.first.c_str()) < 0;
    });
    size_t nColumn = 0;
    for (const auto& entry : entries)
        nColumn = std::max(nColumn, entry.first.size() + 1);
    for (const auto& entry : entries)
    {
        std::string line = entry.first + std::string(nColumn - entry.first.size(), ' ') + entry.second + "\r\n";
        result += line.c_str();
    }
}

void DescribeProcessor(String& result)
{
    uint64_t nHz = MeasureProcessorClock();
    result += g_ProcessorInfo.m_szVendor;
    if (g_ProcessorInfo.m_szBrand[0])
    {
        result += ", ";
        result += g_ProcessorInfo.m_szBrand;
    }
    result.AppendFormat(", %dMHz", static_cast<int>((nHz + 500000) / 1000000));
}
}

int RenderWindow::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    return CreateConsolePanes();
}

int RenderWindow::CreateConsolePanes()
{
    CRect rc;
    GetClientRect(&rc);
    CRect rcInput(rc.left, rc.bottom - INPUT_HEIGHT, rc.right, rc.bottom);
    CRect rcOutput(rc.left, rc.bottom - INPUT_HEIGHT - OUTPUT_HEIGHT_AT_CREATION, rc.right, rc.bottom - INPUT_HEIGHT);
    if (!CreatePane(m_ConsoleInput, WS_CHILD | WS_BORDER, rcInput, this, CONSOLE_INPUT_ID) ||
        !CreatePane(m_ConsoleOutput, WS_CHILD | WS_VSCROLL | WS_BORDER | ES_READONLY | ES_MULTILINE, rcOutput, this,
                    CONSOLE_OUTPUT_ID))
        LogWarning("RenderWindow::CreateConsolePanes() - the console panes could not be created.");
    return 0;
}

void RenderWindow::LayoutConsolePanes()
{
    CRect rc;
    GetClientRect(&rc);
    if (m_ConsoleInput.m_hWnd)
    {
        m_ConsoleInput.MoveWindow(rc.left, rc.bottom - INPUT_HEIGHT, rc.Width(), INPUT_HEIGHT, TRUE);
        m_ConsoleInput.Invalidate();
    }
    if (m_ConsoleOutput.m_hWnd)
    {
        m_ConsoleOutput.MoveWindow(rc.left, rc.bottom - INPUT_HEIGHT - OUTPUT_HEIGHT, rc.Width(), OUTPUT_HEIGHT, TRUE);
        m_ConsoleOutput.Invalidate();
    }
}

void RenderWindow::OnToggleConsole()
{
    if (!m_ConsoleInput.m_hWnd || !m_ConsoleOutput.m_hWnd)
        return;
    if (g_bConsoleVisible)
    {
        m_ConsoleInput.ShowWindow(SW_HIDE);
        m_ConsoleOutput.ShowWindow(SW_HIDE);
        // The keys go back to the frame, which hands them to the application.
        SetFocus();
    }
    else
    {
        // Above the view, which covers the whole client area; the view then leaves the panes'
        // area alone, frames presented into its render surface included.
        if (m_pRenderView)
            m_pRenderView->ModifyStyle(0, WS_CLIPSIBLINGS);
        m_ConsoleOutput.SetWindowPos(&wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        m_ConsoleInput.SetWindowPos(&wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        RebuildTree(nullptr);
        m_ConsoleInput.SetFocus();
    }
    g_bConsoleVisible = !g_bConsoleVisible;
    if (m_pApp)
        m_pApp->m_bConsoleVisible = g_bConsoleVisible;
}

void RenderWindow::OnConsoleNotify(NMHDR* pNotify, LRESULT* pResult)
{
    *pResult = 0;
    const auto* pFilter = reinterpret_cast<const MSGFILTER*>(pNotify);
    if (pFilter->msg != WM_KEYDOWN)
        return;
    if (pFilter->wParam == VK_ESCAPE)
        OnToggleConsole();
    else if (pFilter->wParam == VK_RETURN && pNotify->idFrom == CONSOLE_INPUT_ID)
        RunConsoleInput();
}

void RenderWindow::RunConsoleInput()
{
    CString strLine;
    m_ConsoleInput.GetWindowText(strLine);
    if (strLine.IsEmpty())
        return;
    m_ConsoleInput.SetWindowText("");
    m_bClearTranscript = false;
    String result = ExecuteConsoleCommand(strLine);
    CString strTranscript;
    if (!m_bClearTranscript)
        m_ConsoleOutput.GetWindowText(strTranscript);
    strTranscript += "\r\n> ";
    strTranscript += strLine;
    strTranscript += "\r\n";
    strTranscript += result.GetText();
    m_ConsoleOutput.SetWindowText(strTranscript);
    m_ConsoleOutput.LineScroll(m_ConsoleOutput.GetLineCount() - m_ConsoleOutput.GetFirstVisibleLine() -
                               VISIBLE_TRANSCRIPT_LINES);
}

String RenderWindow::ExecuteConsoleCommand(const char* szLine)
{
    String result;
    if (!RunWindowCommand(szLine, result) && !(m_pApp && m_pApp->ConsoleCommand(szLine, result)))
        result = INVALID_COMMAND_TEXT;
    if (result.GetLength() == 0)
        result = COMMAND_OK;
    result.TrimRight(" \r\n\t");
    return result;
}

bool RenderWindow::RunWindowCommand(const char* szLine, String& result)
{
    Tokenizer tokenizer;
    tokenizer.SetText(szLine);
    char szCommand[TOKEN_BUFFER_SIZE] = "";
    if (!tokenizer.NextToken(szCommand, sizeof(szCommand), IsIdentifierChar))
        return false;
    auto Is = [&szCommand](const char* szName) { return strcasecmp(szCommand, szName) == 0; };
    if (Is("clear"))
        m_bClearTranscript = true;
    else if (Is("help"))
    {
        for (const auto& line : HELP_LINES)
        {
            std::string form = line.first;
            form.resize(std::max<size_t>(form.size(), 16), ' ');
            result += (form + "- " + line.second + "\r\n").c_str();
        }
    }
    else if (Is("set"))
        SetVariable(tokenizer, result);
    else if (Is("rm") || Is("del"))
        DeleteVariable(tokenizer, result);
    else if (Is("exit"))
        OnToggleConsole();
    else if (Is("quit"))
        PostMessage(WM_CLOSE);
    else if (Is("cpu"))
        DescribeProcessor(result);
    else if (Is("list") || Is("ls"))
        ListVariables(result);
    else
        return false;
    return true;
}
