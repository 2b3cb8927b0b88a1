// The dialog manager: templates in dialog units, modal dialogs ended by Enter and Esc, the Tab
// order and groups, and the helpers that read and write controls by id.
#include "WindowTestKit.h"

#include <win32/windows.h>

#include <vector>

namespace
{
const DWORD CHILD = WS_CHILD | WS_VISIBLE;

// A name field, a radio group of three, OK (default) and Cancel.
const win32::DialogItemTemplate FORM_ITEMS[] = {
    {WC_STATICA, "Name:", -1, CHILD | SS_LEFT, 0, 7, 9, 30, 8},
    {WC_EDITA, "", 100, CHILD | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, 40, 7, 60, 14},
    {WC_BUTTONA, "A", 101, CHILD | BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0, 7, 26, 40, 10},
    {WC_BUTTONA, "B", 102, CHILD | BS_AUTORADIOBUTTON, 0, 7, 38, 40, 10},
    {WC_BUTTONA, "C", 103, CHILD | BS_AUTORADIOBUTTON, 0, 7, 50, 40, 10},
    {WC_BUTTONA, "OK", IDOK, CHILD | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 0, 110, 7, 42, 14},
    {WC_BUTTONA, "Cancel", IDCANCEL, CHILD | BS_PUSHBUTTON | WS_TABSTOP, 0, 110, 24, 42, 14},
};
const win32::DialogTemplate FORM{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
                                 0, 10, 20, 160, 64, "Form", "MS Sans Serif", 8, FORM_ITEMS,
                                 sizeof(FORM_ITEMS) / sizeof(FORM_ITEMS[0])};

// Ends on OK and Cancel with their ids; records WM_INITDIALOG.
struct FormLog
{
    LPARAM m_nInitParam = 0;
    HWND m_hInitFocus = nullptr;
    std::vector<int> m_Commands;
};
FormLog g_Form;

INT_PTR CALLBACK FormProc(HWND hDlg, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    switch (nMessage)
    {
    case WM_INITDIALOG:
        g_Form.m_nInitParam = lParam;
        g_Form.m_hInitFocus = reinterpret_cast<HWND>(wParam);
        return TRUE;
    case WM_COMMAND:
        g_Form.m_Commands.push_back(LOWORD(wParam));
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(hDlg, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

class DialogTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        g_Form = FormLog{};
        m_hMain = Create("Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 400);
        m_Driver.pumpUntilIdle();
    }
    // Runs the form modally; each action runs 10 ms after the one before.
    INT_PTR RunForm(std::vector<std::function<void()>> actions)
    {
        int nAt = 10;
        for (auto& action : actions)
        {
            m_Driver.at(nAt, action);
            nAt += 10;
        }
        return DialogBoxIndirectParamA(nullptr, &FORM, m_hMain, FormProc, 77);
    }
    int FocusId() const { return GetDlgCtrlID(GetFocus()); }
    HWND m_hMain = nullptr;
};

TEST_F(DialogTest, DialogUnitsRoundAwayFromZero)
{
    struct Case
    {
        RECT m_In;
        RECT m_Out;
    };
    for (Case c : {Case{{0, 0, 4, 8}, {0, 0, 6, 13}}, Case{{1, 1, 45, 25}, {2, 2, 68, 41}},
                   Case{{-100, -100, 152, 46}, {-150, -163, 228, 75}}})
    {
        RECT rc = c.m_In;
        ASSERT_TRUE(MapDialogRect(nullptr, &rc));
        EXPECT_TRUE(EqualRect(&rc, &c.m_Out)) << rc.left << "," << rc.top << "," << rc.right << "," << rc.bottom;
    }
    EXPECT_EQ(GetDialogBaseUnits(), MAKELONG(6, 13));
}

TEST_F(DialogTest, TemplatePlacesTheDialogAndItsControlsInDialogUnits)
{
    HWND hDlg = CreateDialogIndirectParamA(nullptr, &FORM, m_hMain, FormProc, 5);
    ASSERT_NE(hDlg, nullptr);
    EXPECT_EQ(g_Form.m_nInitParam, 5);
    EXPECT_EQ(g_Form.m_hInitFocus, GetDlgItem(hDlg, 100));   // the first tab stop
    RECT rc;
    GetClientRect(hDlg, &rc);
    EXPECT_EQ(rc.right, 240);   // 160 x 6 / 4
    EXPECT_EQ(rc.bottom, 104);  // 64 x 13 / 8
    // The window's corner sits at the template position in the owner's client area.
    RECT rcWindow;
    GetWindowRect(hDlg, &rcWindow);
    POINT ptMain{0, 0};
    ClientToScreen(m_hMain, &ptMain);
    EXPECT_EQ(rcWindow.left - ptMain.x, 15);
    EXPECT_EQ(rcWindow.top - ptMain.y, 33);
    struct Expected
    {
        int m_nId;
        RECT m_rc;
    };
    for (Expected e : {Expected{100, {60, 11, 150, 34}}, Expected{102, {11, 62, 71, 78}}, Expected{IDCANCEL, {165, 39, 228, 62}}})
    {
        HWND hCtl = GetDlgItem(hDlg, e.m_nId);
        ASSERT_NE(hCtl, nullptr) << e.m_nId;
        RECT r;
        GetWindowRect(hCtl, &r);
        MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_TRUE(EqualRect(&r, &e.m_rc)) << e.m_nId << ": " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
    // The controls follow the template in z-order, which is the tab order.
    EXPECT_EQ(GetDlgCtrlID(GetWindow(hDlg, GW_CHILD)), -1);
    EXPECT_EQ(GetWindow(GetDlgItem(hDlg, 100), GW_HWNDNEXT), GetDlgItem(hDlg, 101));
    // Not visible in the template: made hidden.
    EXPECT_FALSE(IsWindowVisible(hDlg));
    EXPECT_EQ(SendMessageA(hDlg, DM_GETDEFID, 0, 0), MAKELONG(IDOK, DC_HASDEFID));
    DestroyWindow(hDlg);
}

TEST_F(DialogTest, EnterAndEscEndTheDialogWithTheirIds)
{
    bool bOwnerDisabled = false;
    // Enter anywhere but on a push button means the default button.
    EXPECT_EQ(RunForm({[&] { bOwnerDisabled = !IsWindowEnabled(m_hMain); }, [&] { m_Driver.key(VK_RETURN); }}), IDOK);
    EXPECT_TRUE(bOwnerDisabled);
    EXPECT_TRUE(IsWindowEnabled(m_hMain));
    EXPECT_EQ(g_Form.m_nInitParam, 77);
    EXPECT_EQ(RunForm({[&] { m_Driver.key(VK_ESCAPE); }}), IDCANCEL);
    // Enter on a focused push button presses that button.
    EXPECT_EQ(RunForm({[&] { m_Driver.key("Shift+Tab"); }, [&] { EXPECT_EQ(FocusId(), IDCANCEL); },
                       [&] { m_Driver.key(VK_RETURN); }}),
              IDCANCEL);
    // The close box means Cancel.
    EXPECT_EQ(RunForm({[&] { PostMessageA(GetActiveWindow(), WM_CLOSE, 0, 0); }}), IDCANCEL);
    // The dialog is gone and the owner active again.
    EXPECT_EQ(GetActiveWindow(), m_hMain);
    // WM_QUIT ends the dialog with -1 and reaches the loop outside.
    EXPECT_EQ(RunForm({[] { PostQuitMessage(4); }}), -1);
    EXPECT_FALSE(m_Driver.pumpUntilIdle());
}

TEST_F(DialogTest, TabVisitsTabStopsAndArrowsMoveWithinAGroup)
{
    std::vector<int> focus;
    auto note = [&] { focus.push_back(FocusId()); };
    auto key = [&](const char* szKey) { return [&, szKey] { m_Driver.key(std::string(szKey)); }; };
    RunForm({note, key("Tab"), note, key("Down"), note, key("Down"), note, key("Down"), note, key("Tab"), note,
             key("Tab"), note, key("Tab"), note, key("Shift+Tab"), note, key("Shift+Tab"), note, key("Up"), note,
             [&] {
                 EXPECT_EQ(IsDlgButtonChecked(GetParent(GetFocus()), 101), BST_CHECKED);
                 EXPECT_EQ(IsDlgButtonChecked(GetParent(GetFocus()), 102), BST_UNCHECKED);
             },
             [&] { m_Driver.key(VK_ESCAPE); }});
    // Edit, A, then B, C and around to A (each checked as it is reached), OK, Cancel, the edit,
    // back to Cancel, OK, then Up moves within the OK/Cancel group.
    EXPECT_EQ(focus, (std::vector<int>{100, 101, 102, 103, 101, IDOK, IDCANCEL, 100, IDCANCEL, IDOK, IDCANCEL}));
}

TEST_F(DialogTest, TabIntoARadioGroupLandsOnItsCheckedButton)
{
    int nFocus = 0;
    RunForm({[&] { CheckRadioButton(GetActiveWindow(), 101, 103, 103); }, [&] { m_Driver.key("Tab"); },
             [&] { nFocus = FocusId(); }, [&] { m_Driver.key(VK_ESCAPE); }});
    EXPECT_EQ(nFocus, 103);
}

TEST_F(DialogTest, DlgItemIntReadsSignedTextAndStopsAtTrailingLetters)
{
    HWND hDlg = CreateDialogIndirectParamA(nullptr, &FORM, m_hMain, FormProc, 0);
    ASSERT_NE(hDlg, nullptr);
    struct Case
    {
        const char* m_szText;
        BOOL m_bSigned;
        UINT m_nValue;
        BOOL m_bTranslated;
    };
    const Case cases[] = {
        {"  42", FALSE, 42, TRUE},         {"-17", TRUE, static_cast<UINT>(-17), TRUE},
        {"-17", FALSE, 0, FALSE},          {"12abc", TRUE, 12, TRUE},
        {"abc", TRUE, 0, FALSE},           {"", TRUE, 0, FALSE},
        {"-", TRUE, 0, FALSE},             {"2147483648", TRUE, 0, FALSE},
        {"-2147483648", TRUE, 0x80000000u, TRUE}, {"4294967295", FALSE, 4294967295u, TRUE},
        {"4294967296", FALSE, 0, FALSE},
    };
    for (const Case& c : cases)
    {
        ASSERT_TRUE(SetDlgItemTextA(hDlg, 100, c.m_szText));
        BOOL bTranslated = -1;
        EXPECT_EQ(GetDlgItemInt(hDlg, 100, &bTranslated, c.m_bSigned), c.m_nValue) << c.m_szText;
        EXPECT_EQ(bTranslated, c.m_bTranslated) << c.m_szText;
    }
    char text[32];
    SetDlgItemInt(hDlg, 100, static_cast<UINT>(-250), TRUE);
    GetDlgItemTextA(hDlg, 100, text, sizeof(text));
    EXPECT_STREQ(text, "-250");
    SetDlgItemInt(hDlg, 100, 4000000000u, FALSE);
    GetDlgItemTextA(hDlg, 100, text, sizeof(text));
    EXPECT_STREQ(text, "4000000000");
    BOOL bTranslated = TRUE;
    EXPECT_EQ(GetDlgItemInt(hDlg, 999, &bTranslated, TRUE), 0u);
    EXPECT_FALSE(bTranslated);
    DestroyWindow(hDlg);
}

TEST_F(DialogTest, TemplatesComeFromTheResourceRegistry)
{
    size_t nKeep = GetResourceTableCount();
    static const ResourceEntry ENTRIES[] = {{"DIALOG", 7001, &FORM, sizeof(FORM)}};
    RegisterResourceTable(ENTRIES, 1);
    m_Driver.at(10, [this] { m_Driver.key(VK_ESCAPE); });
    EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(7001), m_hMain, FormProc, 0), IDCANCEL);
    // A template that is not there makes no dialog.
    EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(7002), m_hMain, FormProc, 0), -1);
    EXPECT_EQ(CreateDialogParamA(nullptr, MAKEINTRESOURCEA(7002), m_hMain, FormProc, 0), nullptr);
    EXPECT_TRUE(IsWindowEnabled(m_hMain));
    TruncateResourceTables(nKeep);
}
}
