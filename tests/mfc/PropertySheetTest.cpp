// A property sheet of two pages: OK exchanges every page that was shown, Cancel none; the tab
// control switches pages, a page may refuse to be left, and Apply follows SetModified.
#include "MfcTestKit.h"

#include <mfc/afxdlgs.h>

namespace
{
const int IDD_FIRST = 9101, IDD_SECOND = 9102;
const int IDC_NAME = 1001, IDC_ENABLED = 1003;
const DWORD CHILD = WS_CHILD | WS_VISIBLE;
// As property page templates are: disabled captioned children.
const DWORD PAGE_STYLE = WS_CHILD | WS_DISABLED | WS_CAPTION | DS_SETFONT;

const win32::DialogItemTemplate FIRST_ITEMS[] = {
    {WC_EDITA, "", IDC_NAME, CHILD | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 7, 7, 100, 14}};
const win32::DialogItemTemplate SECOND_ITEMS[] = {
    {WC_BUTTONA, "Enabled", IDC_ENABLED, CHILD | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 7, 7, 60, 10}};
const win32::DialogTemplate FIRST{PAGE_STYLE, 0, 0, 0, 160, 60, "First", "MS Sans Serif", 8, FIRST_ITEMS, 1};
const win32::DialogTemplate SECOND{PAGE_STYLE, 0, 0, 0, 120, 80, "Second", "MS Sans Serif", 8, SECOND_ITEMS, 1};
const ResourceEntry PAGE_RESOURCES[] = {{"DIALOG", IDD_FIRST, &FIRST, sizeof(FIRST)},
                                        {"DIALOG", IDD_SECOND, &SECOND, sizeof(SECOND)}};

class CFirstPage : public CPropertyPageEx
{
public:
    CFirstPage() : CPropertyPageEx(IDD_FIRST) {}
    CString m_strName = "Lamp";
    int m_nApplied = 0, m_nReset = 0;
    bool m_bRefuseLeaving = false;
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, IDC_NAME, m_strName); }
    BOOL OnApply() override
    {
        ++m_nApplied;
        return CPropertyPageEx::OnApply();
    }
    void OnReset() override { ++m_nReset; }
    BOOL OnKillActive() override { return !m_bRefuseLeaving; }
};

class CSecondPage : public CPropertyPageEx
{
public:
    CSecondPage() : CPropertyPageEx(IDD_SECOND) {}
    int m_bEnabled = 0;
    int m_nApplied = 0;
    void DoDataExchange(CDataExchange* pDX) override { DDX_Check(pDX, IDC_ENABLED, m_bEnabled); }
    BOOL OnApply() override
    {
        ++m_nApplied;
        return CPropertyPageEx::OnApply();
    }
};

class PropertySheetTest : public MfcTest
{
protected:
    void SetUp() override
    {
        MfcTest::SetUp();
        RegisterResourceTable(PAGE_RESOURCES, 2);
        m_Sheet.AddPage(&m_First);
        m_Sheet.AddPage(&m_Second);
    }
    HWND Sheet() { return m_Driver.find("title:Options"); }
    // Clicks the second tab, as the user would.
    void ClickTab(int nTab)
    {
        HWND hTab = ::GetDlgItem(Sheet(), AFX_IDC_TAB_CONTROL);
        RECT rc{};
        ASSERT_TRUE(::SendMessageA(hTab, TCM_GETITEMRECT, static_cast<WPARAM>(nTab), reinterpret_cast<LPARAM>(&rc)));
        POINT pt{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
        ::ClientToScreen(hTab, &pt);
        m_Driver.mouse(pt, 0, true);
        m_Driver.mouse(pt, 0, false);
    }
    void EditBothPages()
    {
        ::SetDlgItemTextA(m_First.m_hWnd, IDC_NAME, "Spot");
        ClickTab(1);
        m_Driver.at(20, [this] { ::CheckDlgButton(m_Second.m_hWnd, IDC_ENABLED, BST_CHECKED); });
    }

    CFirstPage m_First;
    CSecondPage m_Second;
    CPropertySheetEx m_Sheet{"Options"};
};
}

TEST_F(PropertySheetTest, OkCopiesEveryShownPageBack)
{
    int nActiveAfterClick = -1;
    RECT rcFirst{}, rcSecond{};
    m_Driver.at(10, [&] {
        ASSERT_NE(Sheet(), nullptr);
        EXPECT_EQ(::GetParent(m_First.m_hWnd), Sheet());
        EXPECT_EQ(m_Second.m_hWnd, nullptr);   // made when first shown
        char szName[32] = {};
        ::GetDlgItemTextA(m_First.m_hWnd, IDC_NAME, szName, sizeof(szName));
        EXPECT_STREQ(szName, "Lamp");
        EditBothPages();
    });
    m_Driver.at(30, [&] {
        nActiveAfterClick = m_Sheet.GetActiveIndex();
        EXPECT_FALSE(::IsWindowVisible(m_First.m_hWnd));
        EXPECT_TRUE(::IsWindowVisible(m_Second.m_hWnd));
        ::GetWindowRect(m_First.m_hWnd, &rcFirst);
        ::GetWindowRect(m_Second.m_hWnd, &rcSecond);
        m_Driver.click(::GetDlgItem(Sheet(), IDOK));
    });
    EXPECT_EQ(m_Sheet.DoModal(), IDOK);
    EXPECT_EQ(nActiveAfterClick, 1);
    // Both pages fill the same display area, sized for the larger page.
    EXPECT_TRUE(::EqualRect(&rcFirst, &rcSecond));
    EXPECT_EQ(rcFirst.right - rcFirst.left, MulDiv(160, 6, 4));
    EXPECT_EQ(rcFirst.bottom - rcFirst.top, MulDiv(80, 13, 8));
    EXPECT_STREQ(m_First.m_strName, "Spot");
    EXPECT_EQ(m_Second.m_bEnabled, 1);
    EXPECT_EQ(m_First.m_nApplied, 1);
    EXPECT_EQ(m_Second.m_nApplied, 1);
    EXPECT_EQ(Sheet(), nullptr);
}

TEST_F(PropertySheetTest, CancelCopiesNothing)
{
    m_Driver.at(10, [&] { EditBothPages(); });
    m_Driver.at(30, [&] { m_Driver.key(VK_ESCAPE); });
    EXPECT_EQ(m_Sheet.DoModal(), IDCANCEL);
    EXPECT_STREQ(m_First.m_strName, "Lamp");
    EXPECT_EQ(m_Second.m_bEnabled, 0);
    EXPECT_EQ(m_First.m_nApplied + m_Second.m_nApplied, 0);
    EXPECT_EQ(m_First.m_nReset, 1);
}

TEST_F(PropertySheetTest, APageMayRefuseToBeLeftAndApplyFollowsSetModified)
{
    bool bApplyAtFirst = true, bApplyAfterModified = false, bApplyAfterApply = true;
    int nActive = -1;
    m_Driver.at(10, [&] {
        HWND hApply = ::GetDlgItem(Sheet(), ID_APPLY_NOW);
        bApplyAtFirst = ::IsWindowEnabled(hApply);
        m_First.m_bRefuseLeaving = true;
        ClickTab(1);
    });
    m_Driver.at(30, [&] {
        nActive = m_Sheet.GetActiveIndex();
        m_First.m_bRefuseLeaving = false;   // Apply, like OK, asks the page first
        ::SetDlgItemTextA(m_First.m_hWnd, IDC_NAME, "Area");
        m_First.SetModified();
        bApplyAfterModified = ::IsWindowEnabled(::GetDlgItem(Sheet(), ID_APPLY_NOW));
        m_Driver.click(::GetDlgItem(Sheet(), ID_APPLY_NOW));
    });
    m_Driver.at(50, [&] {
        bApplyAfterApply = ::IsWindowEnabled(::GetDlgItem(Sheet(), ID_APPLY_NOW));
        m_Driver.key(VK_ESCAPE);
    });
    EXPECT_EQ(m_Sheet.DoModal(), IDCANCEL);
    EXPECT_FALSE(bApplyAtFirst);
    EXPECT_EQ(nActive, 0);
    EXPECT_TRUE(bApplyAfterModified);
    // Apply exchanged the page (the later Cancel does not undo it) and disabled itself.
    EXPECT_STREQ(m_First.m_strName, "Area");
    EXPECT_EQ(m_First.m_nApplied, 1);
    EXPECT_FALSE(bApplyAfterApply);
}
