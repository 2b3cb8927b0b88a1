// The rich edit as the console uses it: a one-line input and a read-only transcript, keys seen by
// the parent first, character formats, line counts and scrolling.
#include "WindowTestKit.h"

#include <win32/present.h>
#include <win32/windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{
class RichEditTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        m_hFrame = Create("Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300);
        CurrentHandler() = [this](HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
            if (hWnd == m_hFrame && nMessage == WM_NOTIFY &&
                reinterpret_cast<const NMHDR*>(lParam)->code == EN_MSGFILTER)
            {
                const auto* pFilter = reinterpret_cast<const MSGFILTER*>(lParam);
                m_Filtered.push_back(pFilter->msg);
                if (m_OnFilter)
                    return m_OnFilter(*pFilter);
                return 0;
            }
            if (hWnd == m_hFrame && nMessage == WM_COMMAND && HIWORD(wParam) == EN_CHANGE)
                ++m_nChanges;
            return std::nullopt;
        };
    }

    HWND CreateEdit(DWORD nStyle, int x, int y, int cx, int cy, int nId)
    {
        HWND h = CreateWindowExA(0, RICHEDIT_CLASSA, "", WS_CHILD | WS_VISIBLE | nStyle, x, y, cx, cy, m_hFrame,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nId)), nullptr, nullptr);
        EXPECT_NE(h, nullptr);
        return h;
    }
    static std::string Text(HWND hEdit)
    {
        std::string text(static_cast<size_t>(GetWindowTextLengthA(hEdit)) + 1, '\0');
        text.resize(static_cast<size_t>(GetWindowTextA(hEdit, text.data(), static_cast<int>(text.size()))));
        return text;
    }
    static void SetFormat(HWND hEdit, WPARAM nScope, DWORD nMask, DWORD nEffects, COLORREF color, const char* szFace)
    {
        CHARFORMATA cf{};
        cf.cbSize = sizeof(cf);
        cf.dwMask = nMask;
        cf.dwEffects = nEffects;
        cf.crTextColor = color;
        if (szFace)
            std::strcpy(cf.szFaceName, szFace);
        EXPECT_TRUE(SendMessageA(hEdit, EM_SETCHARFORMAT, nScope, reinterpret_cast<LPARAM>(&cf)));
    }

    HWND m_hFrame = nullptr;
    std::vector<UINT> m_Filtered;
    std::function<LRESULT(const MSGFILTER&)> m_OnFilter;
    int m_nChanges = 0;
};
}

TEST_F(RichEditTest, KeysReachTheParentFirstWhichMayDropThem)
{
    HWND hInput = CreateEdit(WS_BORDER, 0, 250, 400, 24, 1000);
    SendMessageA(hInput, EM_SETEVENTMASK, 0, ENM_KEYEVENTS | ENM_CHANGE);
    SetFocus(hInput);
    // The parent drops the letter x, whether it comes as a key or a character.
    m_OnFilter = [](const MSGFILTER& f) -> LRESULT { return f.wParam == 'X' || f.wParam == 'x'; };
    ASSERT_TRUE(m_Driver.type("sex 12"));
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(Text(hInput), "se 12");
    EXPECT_EQ(m_nChanges, 5);
    EXPECT_NE(std::find(m_Filtered.begin(), m_Filtered.end(), static_cast<UINT>(WM_KEYDOWN)), m_Filtered.end());
    EXPECT_NE(std::find(m_Filtered.begin(), m_Filtered.end(), static_cast<UINT>(WM_CHAR)), m_Filtered.end());

    // Enter: the parent runs the line and clears the pane; the key goes on and changes nothing.
    std::string ran;
    m_OnFilter = [&](const MSGFILTER& f) -> LRESULT {
        if (f.msg == WM_KEYDOWN && f.wParam == VK_RETURN)
        {
            ran = Text(hInput);
            SetWindowTextA(hInput, "");
        }
        return 0;
    };
    m_Driver.key(VK_RETURN);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(ran, "se 12");
    EXPECT_EQ(Text(hInput), "");

    // Without the event mask the parent hears nothing.
    SendMessageA(hInput, EM_SETEVENTMASK, 0, 0);
    m_Filtered.clear();
    m_Driver.type("x");
    m_Driver.pumpUntilIdle();
    EXPECT_TRUE(m_Filtered.empty());
    EXPECT_EQ(Text(hInput), "x");

    // A parent that destroys the pane while it looks at the key.
    SendMessageA(hInput, EM_SETEVENTMASK, 0, ENM_KEYEVENTS);
    m_OnFilter = [&](const MSGFILTER&) -> LRESULT {
        DestroyWindow(hInput);
        return 0;
    };
    SendMessageA(hInput, WM_CHAR, 'q', 0);
    EXPECT_FALSE(IsWindow(hInput));
}

TEST_F(RichEditTest, TranscriptKeepsItsBytesCountsLinesAndScrollsToItsEnd)
{
    HWND hOutput = CreateEdit(WS_VSCROLL | WS_BORDER | ES_READONLY | ES_MULTILINE, 0, 0, 400, 102, 1001);
    std::string transcript;
    for (int i = 0; i < 30; ++i)
        transcript += "\r\n> line " + std::to_string(i);
    SetWindowTextA(hOutput, transcript.c_str());
    EXPECT_EQ(Text(hOutput), transcript);
    EXPECT_EQ(SendMessageA(hOutput, EM_GETLINECOUNT, 0, 0), 31);
    EXPECT_EQ(SendMessageA(hOutput, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    // As the console does it: scroll by (line count - first visible line - 15).
    LRESULT nCount = SendMessageA(hOutput, EM_GETLINECOUNT, 0, 0);
    LRESULT nFirst = SendMessageA(hOutput, EM_GETFIRSTVISIBLELINE, 0, 0);
    EXPECT_TRUE(SendMessageA(hOutput, EM_LINESCROLL, 0, nCount - nFirst - 15));
    EXPECT_EQ(SendMessageA(hOutput, EM_GETFIRSTVISIBLELINE, 0, 0), 16);
    SendMessageA(hOutput, EM_LINESCROLL, 0, 1000);
    EXPECT_EQ(SendMessageA(hOutput, EM_GETFIRSTVISIBLELINE, 0, 0), 30);
    SendMessageA(hOutput, EM_LINESCROLL, 0, -1000);
    EXPECT_EQ(SendMessageA(hOutput, EM_GETFIRSTVISIBLELINE, 0, 0), 0);

    // Lines by index: "\r\n" is one break and belongs to no line.
    EXPECT_EQ(SendMessageA(hOutput, EM_LINEINDEX, 2, 0), 2 + 10);
    EXPECT_EQ(SendMessageA(hOutput, EM_LINELENGTH, 12, 0), 8);
    EXPECT_EQ(SendMessageA(hOutput, EM_LINEFROMCHAR, 12, 0), 2);
    EXPECT_EQ(SendMessageA(hOutput, EM_LINEINDEX, 99, 0), -1);
    char line[16] = {};
    *reinterpret_cast<WORD*>(line) = 5;
    EXPECT_EQ(SendMessageA(hOutput, EM_GETLINE, 2, reinterpret_cast<LPARAM>(line)), 5);
    EXPECT_EQ(std::string(line, 5), "> lin");

    // Read-only: keys move the caret but change nothing; text set by the program still lands.
    SetFocus(hOutput);
    m_Driver.type("zz");
    m_Driver.key("Back");
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(Text(hOutput), transcript);
    SendMessageA(hOutput, EM_SETSEL, 0, -1);
    SendMessageA(hOutput, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("a\nb\rc"));
    EXPECT_EQ(Text(hOutput), "a\nb\rc");
    EXPECT_EQ(SendMessageA(hOutput, EM_GETLINECOUNT, 0, 0), 3);
    // A single-line pane does not scroll by lines.
    HWND hInput = CreateEdit(WS_BORDER, 0, 250, 400, 24, 1000);
    EXPECT_FALSE(SendMessageA(hInput, EM_LINESCROLL, 0, 3));
}

TEST_F(RichEditTest, EditingKeysAndSelection)
{
    HWND hEdit = CreateEdit(ES_MULTILINE, 0, 0, 300, 100, 5);
    SetFocus(hEdit);
    m_Driver.type("ab\rcd");
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(Text(hEdit), "ab\r\ncd");
    // Backspace at a line's start takes the whole break; Home, Shift+End select a line.
    m_Driver.key("Home");
    m_Driver.key("Back");
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(Text(hEdit), "abcd");
    m_Driver.key("Left");
    m_Driver.key("Shift+Home");
    m_Driver.pumpUntilIdle();
    DWORD nStart = 0, nEnd = 0;
    SendMessageA(hEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&nStart), reinterpret_cast<LPARAM>(&nEnd));
    EXPECT_EQ(nStart, 0u);
    EXPECT_EQ(nEnd, 1u);
    m_Driver.type("X");
    m_Driver.key("End");
    m_Driver.key("Delete");   // nothing after the end
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(Text(hEdit), "Xbcd");

    CHARRANGE range{1, 3};
    SendMessageA(hEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    char selected[8] = {};
    EXPECT_EQ(SendMessageA(hEdit, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(selected)), 2);
    EXPECT_STREQ(selected, "bc");
    TEXTRANGEA tr{{2, -1}, selected};
    EXPECT_EQ(SendMessageA(hEdit, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&tr)), 2);
    EXPECT_STREQ(selected, "cd");

    // A click beyond the end of the only line puts the caret at the end.
    POINT pt{290, 5};
    SendMessageA(hEdit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    SendMessageA(hEdit, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    SendMessageA(hEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&nStart), reinterpret_cast<LPARAM>(&nEnd));
    EXPECT_EQ(nStart, 4u);
    EXPECT_EQ(nEnd, 4u);
    SendMessageA(hEdit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0, 5));
    SendMessageA(hEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&nStart), reinterpret_cast<LPARAM>(&nEnd));
    EXPECT_EQ(nEnd, 0u);

    // The text limit holds typing back.
    SendMessageA(hEdit, EM_EXLIMITTEXT, 0, 5);
    m_Driver.type("123");
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(Text(hEdit), "1Xbcd");
}

TEST_F(RichEditTest, CharacterFormatsAndWrapping)
{
    HWND hEdit = CreateEdit(ES_MULTILINE | ES_READONLY, 0, 0, 200, 80, 7);
    // The console's default: Courier, neither bold nor italic.
    SetFormat(hEdit, SCF_DEFAULT, CFM_FACE | CFM_BOLD | CFM_ITALIC, 0, 0, "Courier");
    CHARFORMATA cf{};
    cf.cbSize = sizeof(cf);
    SendMessageA(hEdit, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
    EXPECT_STREQ(cf.szFaceName, "Courier");
    EXPECT_EQ(cf.dwEffects & (CFE_BOLD | CFE_ITALIC), 0u);

    SetWindowTextA(hEdit, "plain RED plain");
    SendMessageA(hEdit, EM_SETSEL, 6, 9);
    SetFormat(hEdit, SCF_SELECTION, CFM_COLOR | CFM_BOLD, CFE_BOLD, RGB(255, 0, 0), nullptr);
    SendMessageA(hEdit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    EXPECT_EQ(cf.crTextColor, RGB(255, 0, 0));
    EXPECT_TRUE(cf.dwEffects & CFE_BOLD);
    // Over mixed text the differing fields drop out of the mask.
    SendMessageA(hEdit, EM_SETSEL, 4, 8);
    DWORD nMask = static_cast<DWORD>(SendMessageA(hEdit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf)));
    EXPECT_EQ(nMask & (CFM_COLOR | CFM_BOLD), 0u);
    EXPECT_TRUE(nMask & CFM_FACE);

    // What is drawn: red pixels only where the red word is.
    SendMessageA(hEdit, EM_SETSEL, 0, 0);
    m_Driver.pumpUntilIdle();
    win32::Image32 image;
    ASSERT_TRUE(win32::GetWindowImage(hEdit, image));
    int nRedLeft = 1000, nRedRight = -1;
    for (UINT y = 0; y < image.m_nHeight; ++y)
        for (UINT x = 0; x < image.m_nWidth; ++x)
            if ((image.m_Pixels[y * image.m_nWidth + x] & 0xFFFFFF) == 0xFF0000)
            {
                nRedLeft = std::min<int>(nRedLeft, static_cast<int>(x));
                nRedRight = std::max<int>(nRedRight, static_cast<int>(x));
            }
    ASSERT_GE(nRedRight, 0);
    // Six monospaced cells of "plain " come before it, three after it fit in the word.
    int nCell = nRedLeft / 6;
    EXPECT_GT(nCell, 3);
    EXPECT_LT(nRedRight, nRedLeft + 3 * (nCell + 2));

    // Text typed at an empty selection after a format change takes that format.
    SendMessageA(hEdit, EM_SETREADONLY, FALSE, 0);
    SendMessageA(hEdit, EM_SETSEL, 0, 0);
    SetFormat(hEdit, SCF_SELECTION, CFM_ITALIC, CFE_ITALIC, 0, nullptr);
    SendMessageA(hEdit, WM_CHAR, 'i', 0);
    SendMessageA(hEdit, EM_SETSEL, 0, 1);
    SendMessageA(hEdit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    EXPECT_TRUE(cf.dwEffects & CFE_ITALIC);
    SendMessageA(hEdit, EM_SETSEL, 1, 2);
    SendMessageA(hEdit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    EXPECT_FALSE(cf.dwEffects & CFE_ITALIC);

    // A long line wraps after a blank at the control's width; a sideways-scrolling one does not.
    std::string words;
    for (int i = 0; i < 12; ++i)
        words += "word" + std::to_string(i) + " ";
    SetWindowTextA(hEdit, words.c_str());
    LRESULT nLines = SendMessageA(hEdit, EM_GETLINECOUNT, 0, 0);
    EXPECT_GT(nLines, 2);
    LRESULT nSecond = SendMessageA(hEdit, EM_LINEINDEX, 1, 0);
    EXPECT_EQ(words[static_cast<size_t>(nSecond) - 1], ' ');
    HWND hWide = CreateEdit(ES_MULTILINE | ES_AUTOHSCROLL, 0, 100, 200, 80, 8);
    SetWindowTextA(hWide, words.c_str());
    EXPECT_EQ(SendMessageA(hWide, EM_GETLINECOUNT, 0, 0), 1);
}
