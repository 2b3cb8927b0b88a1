// Buttons: a click on each kind notifies the parent, automatic kinds change their check first,
// a radio group keeps one button checked, and an owner-drawn button is drawn with its states.
#include "ControlTestKit.h"

namespace
{
class ButtonTest : public ControlTest
{
};

TEST_F(ButtonTest, AClickOnEachKindSendsBnClicked)
{
    struct Case
    {
        DWORD m_nStyle;
        UINT m_nCheckAfter;   // BM_GETCHECK after one click
    };
    const Case cases[] = {
        {BS_PUSHBUTTON, BST_UNCHECKED}, {BS_DEFPUSHBUTTON, BST_UNCHECKED}, {BS_CHECKBOX, BST_UNCHECKED},
        {BS_AUTOCHECKBOX, BST_CHECKED}, {BS_AUTOCHECKBOX | BS_PUSHLIKE, BST_CHECKED}, {BS_RADIOBUTTON, BST_UNCHECKED},
        {BS_AUTORADIOBUTTON, BST_CHECKED}, {BS_AUTO3STATE, BST_CHECKED}, {BS_OWNERDRAW, BST_UNCHECKED},
    };
    int nId = 10;
    for (const Case& c : cases)
    {
        HWND hButton = Make(WC_BUTTONA, "B", c.m_nStyle, nId, 10, 10, 80, 24);
        // The automatic kinds have flipped by the time the parent hears of the click.
        UINT nCheckSeen = 99;
        CurrentHandler() = [&](HWND, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
            if (m == WM_COMMAND && HIWORD(w) == BN_CLICKED)
                nCheckSeen = static_cast<UINT>(SendMessageA(hButton, BM_GETCHECK, 0, 0));
            return std::nullopt;
        };
        MessageLog().clear();
        m_Driver.click(hButton);
        m_Driver.pumpUntilIdle();
        EXPECT_EQ(TakeCommands({BN_CLICKED}), (std::vector<Notification>{{nId, BN_CLICKED}})) << c.m_nStyle;
        EXPECT_EQ(nCheckSeen, c.m_nCheckAfter) << c.m_nStyle;
        EXPECT_EQ(GetFocus(), hButton);
        // Space clicks the focused button as well.
        m_Driver.key(VK_SPACE);
        m_Driver.pumpUntilIdle();
        EXPECT_EQ(TakeCommands({BN_CLICKED}).size(), 1u) << c.m_nStyle;
        CurrentHandler() = nullptr;
        DestroyWindow(hButton);
        ++nId;
    }
}

TEST_F(ButtonTest, ReleasingOutsideTheButtonDoesNotClick)
{
    HWND hButton = Make(WC_BUTTONA, "B", BS_PUSHBUTTON, 7, 10, 10, 80, 24);
    m_Driver.mouse(At(hButton, 5, 5), 0, true);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(SendMessageA(hButton, BM_GETSTATE, 0, 0) & BST_PUSHED, BST_PUSHED);
    m_Driver.mouse(At(hButton, 200, 100));
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(SendMessageA(hButton, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
    m_Driver.mouse(At(hButton, 200, 100), 0, false);
    m_Driver.pumpUntilIdle();
    EXPECT_TRUE(TakeCommands({BN_CLICKED}).empty());
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ButtonTest, ARadioGroupKeepsOneButtonChecked)
{
    HWND hA = Make(WC_BUTTONA, "A", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 1, 10, 10, 80, 16);
    HWND hB = Make(WC_BUTTONA, "B", BS_AUTORADIOBUTTON, 2, 10, 30, 80, 16);
    HWND hC = Make(WC_BUTTONA, "C", BS_AUTORADIOBUTTON, 3, 10, 50, 80, 16);
    HWND hOther = Make(WC_BUTTONA, "D", BS_AUTORADIOBUTTON | WS_GROUP, 4, 10, 70, 80, 16);
    // Windows made outside a dialog are stacked newest first: put them in order.
    for (HWND h : {hA, hB, hC, hOther})
        SetWindowPos(h, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageA(hOther, BM_SETCHECK, BST_CHECKED, 0);
    auto checks = [&] {
        std::vector<LRESULT> out;
        for (HWND h : {hA, hB, hC, hOther})
            out.push_back(SendMessageA(h, BM_GETCHECK, 0, 0));
        return out;
    };
    for (HWND hClick : {hB, hC, hA, hA})
    {
        m_Driver.click(hClick);
        m_Driver.pumpUntilIdle();
        std::vector<LRESULT> expected{hClick == hA, hClick == hB, hClick == hC, 1};
        EXPECT_EQ(checks(), expected);
        // The checked button is the group's tab stop.
        EXPECT_NE(GetWindowLongPtrA(hClick, GWL_STYLE) & WS_TABSTOP, 0);
    }
}

TEST_F(ButtonTest, GroupBoxesLetTheMouseThroughAndNeverNotify)
{
    HWND hGroup = Make(WC_BUTTONA, "Group", BS_GROUPBOX, 5, 10, 10, 200, 100);
    EXPECT_EQ(SendMessageA(hGroup, WM_NCHITTEST, 0, MAKELPARAM(At(hGroup, 50, 50).x, At(hGroup, 50, 50).y)), HTTRANSPARENT);
    MessageLog().clear();
    m_Driver.click(hGroup);
    m_Driver.pumpUntilIdle();
    // The click reached the parent beneath.
    EXPECT_FALSE(MessagesOf(m_hParent, {WM_LBUTTONDOWN}).empty());
    EXPECT_TRUE(TakeCommands().empty());
    EXPECT_EQ(SendMessageA(hGroup, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
}

TEST_F(ButtonTest, OwnerDrawnButtonsAreDrawnWithFocusAndSelectedStates)
{
    std::vector<UINT> states;
    CurrentHandler() = [&](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
        if (m != WM_DRAWITEM)
            return std::nullopt;
        auto* pdis = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
        EXPECT_EQ(pdis->CtlType, static_cast<UINT>(ODT_BUTTON));
        EXPECT_EQ(pdis->CtlID, 9u);
        EXPECT_EQ(pdis->rcItem.right, 60);
        states.push_back(pdis->itemState);
        return TRUE;
    };
    HWND hButton = Make(WC_BUTTONA, "", BS_OWNERDRAW, 9, 10, 10, 60, 30);
    ASSERT_FALSE(states.empty());
    EXPECT_EQ(states.back(), 0u);
    m_Driver.mouse(At(hButton, 5, 5), 0, true);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(states.back(), static_cast<UINT>(ODS_SELECTED | ODS_FOCUS));
    m_Driver.mouse(At(hButton, 5, 5), 0, false);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(states.back(), static_cast<UINT>(ODS_FOCUS));
    SetFocus(m_hParent);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(states.back(), 0u);
    EnableWindow(hButton, FALSE);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(states.back(), static_cast<UINT>(ODS_DISABLED));
    // A double click is a second press, and is reported.
    EnableWindow(hButton, TRUE);
    m_Driver.advance(600);
    MessageLog().clear();
    Click(hButton, 5, 5, true);
    EXPECT_EQ(TakeCommands(), (std::vector<Notification>{{9, BN_CLICKED}, {9, BN_DOUBLECLICKED}, {9, BN_CLICKED}}));
}

TEST_F(ButtonTest, CheckMessagesAndDefaultStyle)
{
    HWND hCheck = Make(WC_BUTTONA, "C", BS_AUTO3STATE, 1, 10, 10, 80, 16);
    HWND hPush = Make(WC_BUTTONA, "P", BS_PUSHBUTTON, 2, 10, 40, 80, 24);
    SendMessageA(hCheck, BM_SETCHECK, BST_INDETERMINATE, 0);
    EXPECT_EQ(SendMessageA(hCheck, BM_GETCHECK, 0, 0), BST_INDETERMINATE);
    SendMessageA(hPush, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageA(hPush, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(hPush, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
    SendMessageA(hPush, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_EQ(SendMessageA(hPush, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
    EXPECT_EQ(GetWindowLongPtrA(hPush, GWL_STYLE) & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
    // BM_CLICK clicks without the mouse; a disabled button ignores it.
    MessageLog().clear();
    SendMessageA(hPush, BM_CLICK, 0, 0);
    EnableWindow(hPush, FALSE);
    SendMessageA(hPush, BM_CLICK, 0, 0);
    EXPECT_EQ(TakeCommands({BN_CLICKED}).size(), 1u);
}
}
