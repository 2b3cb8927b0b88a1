// The single-line edit: typing, selection, EN_CHANGE after every change, read-only, scrolling
// and the clipboard within the program.
#include "ControlTestKit.h"

namespace
{
class EditTest : public ControlTest
{
protected:
    HWND MakeEdit(DWORD nStyle, int cx = 200)
    {
        HWND hEdit = Make(WC_EDITA, "", nStyle, 50, 10, 10, cx, 22, WS_EX_CLIENTEDGE);
        SetFocus(hEdit);
        m_Driver.pumpUntilIdle();
        MessageLog().clear();
        return hEdit;
    }
    void Type(const std::string& strText)
    {
        m_Driver.type(strText);
        m_Driver.pumpUntilIdle();
    }
    void Keys(std::initializer_list<const char*> keys)
    {
        for (const char* szKey : keys)
            m_Driver.key(std::string(szKey));
        m_Driver.pumpUntilIdle();
    }
    std::pair<DWORD, DWORD> Selection(HWND hEdit)
    {
        DWORD nStart = 0, nEnd = 0;
        SendMessageA(hEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&nStart), reinterpret_cast<LPARAM>(&nEnd));
        return {nStart, nEnd};
    }
};

TEST_F(EditTest, TypingSelectionAndChangeNotifications)
{
    HWND hEdit = MakeEdit(ES_AUTOHSCROLL);
    Type("hello");
    EXPECT_EQ(Text(hEdit), "hello");
    EXPECT_EQ(TakeCommands({EN_CHANGE}).size(), 5u);
    EXPECT_EQ(Selection(hEdit), (std::pair<DWORD, DWORD>{5, 5}));
    // Shift+Left twice selects "lo"; typing replaces it.
    Keys({"Shift+Left", "Shift+Left"});
    EXPECT_EQ(Selection(hEdit), (std::pair<DWORD, DWORD>{3, 5}));
    EXPECT_TRUE(TakeCommands({EN_CHANGE}).empty());
    Type("p");
    EXPECT_EQ(Text(hEdit), "help");
    Keys({"Home", "Delete", "Back", "End", "Back"});
    EXPECT_EQ(Text(hEdit), "el");
    EXPECT_EQ(TakeCommands({EN_CHANGE}).size(), 3u);   // p, Delete, the second Back (Back at the start does nothing)
    // EM_SETSEL: -1 as the end means the end of the text.
    SendMessageA(hEdit, EM_SETSEL, 0, -1);
    EXPECT_EQ(Selection(hEdit), (std::pair<DWORD, DWORD>{0, 2}));
    SendMessageA(hEdit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("new"));
    EXPECT_EQ(Text(hEdit), "new");
    // WM_SETTEXT changes the text too and says so.
    SetWindowTextA(hEdit, "12");
    EXPECT_EQ(TakeCommands({EN_CHANGE}), (std::vector<Notification>{{50, EN_CHANGE}, {50, EN_CHANGE}}));
    EXPECT_EQ(SendMessageA(hEdit, WM_GETTEXTLENGTH, 0, 0), 2);
}

TEST_F(EditTest, ReadOnlyRefusesTyping)
{
    HWND hEdit = MakeEdit(ES_AUTOHSCROLL | ES_READONLY);
    SetWindowTextA(hEdit, "fixed");
    MessageLog().clear();
    Type("x");
    Keys({"End", "Back", "Delete"});
    EXPECT_EQ(Text(hEdit), "fixed");
    EXPECT_TRUE(TakeCommands({EN_CHANGE}).empty());
    // The program may still change it.
    SendMessageA(hEdit, EM_SETREADONLY, FALSE, 0);
    Type("!");
    EXPECT_EQ(Text(hEdit), "fixed!");
    EXPECT_EQ(GetWindowLongPtrA(hEdit, GWL_STYLE) & ES_READONLY, 0);
}

TEST_F(EditTest, WithoutAutoScrollTextThatDoesNotFitIsRefused)
{
    HWND hNarrow = MakeEdit(0, 40);
    Type("wwwwwwwwwwwwwwww");
    std::string strNarrow = Text(hNarrow);
    EXPECT_LT(strNarrow.size(), 16u);
    EXPECT_GT(strNarrow.size(), 0u);
    EXPECT_FALSE(TakeCommands({EN_MAXTEXT}).empty());
    DestroyWindow(hNarrow);
    // With ES_AUTOHSCROLL the text scrolls so the caret stays in view.
    HWND hWide = MakeEdit(ES_AUTOHSCROLL, 40);
    Type("wwwwwwwwwwwwwwww");
    EXPECT_EQ(Text(hWide).size(), 16u);
    LRESULT nFirst = SendMessageA(hWide, EM_POSFROMCHAR, 0, 0);
    EXPECT_LT(static_cast<SHORT>(LOWORD(nFirst)), 0);
    LRESULT nCaret = SendMessageA(hWide, EM_POSFROMCHAR, 16, 0);
    RECT rc;
    GetClientRect(hWide, &rc);
    EXPECT_LT(static_cast<SHORT>(LOWORD(nCaret)), rc.right);
    // A limit holds typing to its length.
    SetWindowTextA(hWide, "");
    SendMessageA(hWide, EM_LIMITTEXT, 3, 0);
    Type("abcdef");
    EXPECT_EQ(Text(hWide), "abc");
}

TEST_F(EditTest, CutCopyAndPasteWithinTheProgram)
{
    HWND hEdit = MakeEdit(ES_AUTOHSCROLL);
    Type("copy me");
    Keys({"Ctrl+A", "Ctrl+C", "End"});
    Type(" ");
    Keys({"Ctrl+V"});
    EXPECT_EQ(Text(hEdit), "copy me copy me");
    // Cut takes the selection away and puts it on the clipboard.
    SendMessageA(hEdit, EM_SETSEL, 0, 5);
    Keys({"Ctrl+X", "End", "Ctrl+V"});
    EXPECT_EQ(Text(hEdit), "me copy mecopy ");
    ASSERT_TRUE(OpenClipboard(nullptr));
    auto hMem = static_cast<HGLOBAL>(GetClipboardData(CF_TEXT));
    ASSERT_NE(hMem, nullptr);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(hMem)), "copy ");
    GlobalUnlock(hMem);
    CloseClipboard();
    // A read-only edit copies but neither cuts nor pastes.
    SendMessageA(hEdit, EM_SETREADONLY, TRUE, 0);
    SendMessageA(hEdit, EM_SETSEL, 0, 2);
    SendMessageA(hEdit, WM_CUT, 0, 0);
    SendMessageA(hEdit, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(hEdit), "me copy mecopy ");
}

TEST_F(EditTest, MouseSetsTheCaretAndDragsASelection)
{
    HWND hEdit = MakeEdit(ES_AUTOHSCROLL);
    SetWindowTextA(hEdit, "abcdef");
    int xEnd = LOWORD(SendMessageA(hEdit, EM_POSFROMCHAR, 6, 0));
    int xThird = LOWORD(SendMessageA(hEdit, EM_POSFROMCHAR, 3, 0));
    m_Driver.mouse(At(hEdit, xThird, 5), 0, true);
    m_Driver.mouse(At(hEdit, xEnd + 20, 5));
    m_Driver.mouse(At(hEdit, xEnd + 20, 5), 0, false);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(Selection(hEdit), (std::pair<DWORD, DWORD>{3, 6}));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(SendMessageA(hEdit, EM_CHARFROMPOS, 0, MAKELPARAM(xThird, 5)), 3);
    EXPECT_EQ(SendMessageA(hEdit, WM_GETDLGCODE, 0, 0), DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS);
}
}
