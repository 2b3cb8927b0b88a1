// CDialog and data exchange: values into the controls and back, refusals that keep the dialog
// open, modal ending by Enter and Esc, and the creation messages reaching the object.
#include "MfcTestKit.h"

#include <cstdio>
#include <string>

namespace
{
enum : int
{
    IDC_COUNT = 1001,
    IDC_SCALE = 1002,
    IDC_NAME = 1003,
    IDC_SHADOWS = 1004,
    IDC_POINT = 1005,
    IDC_SPOT = 1006,
    IDC_DIRECTIONAL = 1007,
    IDC_AFTER = 1008,
};

const DWORD CHILD = WS_CHILD | WS_VISIBLE;
const win32::DialogItemTemplate FORM_ITEMS[] = {
    {WC_EDITA, "", IDC_COUNT, CHILD | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 7, 7, 60, 14},
    {WC_EDITA, "", IDC_SCALE, CHILD | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 7, 24, 60, 14},
    {WC_EDITA, "", IDC_NAME, CHILD | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 7, 41, 60, 14},
    {WC_BUTTONA, "Shadows", IDC_SHADOWS, CHILD | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 7, 58, 60, 10},
    {WC_BUTTONA, "Point", IDC_POINT, CHILD | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 0, 80, 7, 60, 10},
    {WC_BUTTONA, "Spot", IDC_SPOT, CHILD | BS_AUTORADIOBUTTON, 0, 80, 19, 60, 10},
    {WC_BUTTONA, "Directional", IDC_DIRECTIONAL, CHILD | BS_AUTORADIOBUTTON, 0, 80, 31, 60, 10},
    {WC_BUTTONA, "After", IDC_AFTER, CHILD | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 0, 80, 43, 60, 10},
    {WC_BUTTONA, "OK", IDOK, CHILD | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 0, 150, 7, 40, 14},
    {WC_BUTTONA, "Cancel", IDCANCEL, CHILD | WS_TABSTOP | BS_PUSHBUTTON, 0, 150, 24, 40, 14},
};
const win32::DialogTemplate FORM{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | WS_VISIBLE,
                                 0, 20, 20, 200, 80, "Light", "MS Sans Serif", 8, FORM_ITEMS,
                                 sizeof(FORM_ITEMS) / sizeof(FORM_ITEMS[0])};
const int IDD_FORM = 7101;
const ResourceEntry DIALOG_RESOURCES[] = {{"DIALOG", IDD_FORM, &FORM, sizeof(FORM)}};

class CFormDialog : public CDialog
{
public:
    explicit CFormDialog(CWnd* pParent = nullptr) : CDialog(IDD_FORM, pParent) {}

    int m_nCount = 42;
    float m_fScale = 1.234567f;
    CString m_strName = "Lamp";
    int m_bShadows = 1;
    int m_nKind = 1;
    HWND m_hCreateParent = reinterpret_cast<HWND>(-1);
    bool m_bCreatedBeforeInit = false;
    int m_nInitCalls = 0;

    BOOL OnInitDialog() override
    {
        ++m_nInitCalls;
        return CDialog::OnInitDialog();
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        DDX_Text(pDX, IDC_COUNT, m_nCount);
        DDX_Text(pDX, IDC_SCALE, m_fScale);
        DDX_Text(pDX, IDC_NAME, m_strName);
        DDX_Check(pDX, IDC_SHADOWS, m_bShadows);
        DDX_Radio(pDX, IDC_POINT, m_nKind);
    }
    afx_msg int OnCreate(LPCREATESTRUCT lpcs)
    {
        m_hCreateParent = lpcs->hwndParent;
        m_bCreatedBeforeInit = m_nInitCalls == 0;
        return CDialog::OnCreate(lpcs);
    }
    afx_msg void OnCountChange() { Record("count changed"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFormDialog, CDialog)
    ON_WM_CREATE()
    ON_EN_CHANGE(IDC_COUNT, &CFormDialog::OnCountChange)
END_MESSAGE_MAP()

std::string Text(const CWnd& dlg, int nId)
{
    char sz[128] = "";
    ::GetDlgItemTextA(dlg.m_hWnd, nId, sz, sizeof(sz));
    return sz;
}

class DialogTest : public MfcTest
{
protected:
    void SetUp() override
    {
        MfcTest::SetUp();
        RegisterResourceTable(DIALOG_RESOURCES, 1);
    }
};

TEST_F(DialogTest, ModelessDialogShowsMembersAndReadsThemBack)
{
    CFormDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_FORM));
    EXPECT_EQ(dlg.m_nInitCalls, 1);
    EXPECT_TRUE(dlg.IsWindowVisible());
    // Members into the controls; the edits' EN_CHANGE is not the dialog's business meanwhile.
    EXPECT_EQ(Text(dlg, IDC_COUNT), "42");
    EXPECT_EQ(Text(dlg, IDC_SCALE), "1.23457");
    EXPECT_EQ(Text(dlg, IDC_NAME), "Lamp");
    EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_SHADOWS), 1u);
    EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_SPOT), 1u);
    EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_POINT), 0u);
    EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_AFTER), 0u);   // another group
    EXPECT_TRUE(Events().empty());

    // And back, after the user's changes.
    dlg.SetDlgItemText(IDC_COUNT, " -17 ");
    EXPECT_EQ(Events(), std::vector<std::string>{"count changed"});
    dlg.SetDlgItemText(IDC_SCALE, "  2.5e1");
    dlg.SetDlgItemText(IDC_NAME, "Key light");
    dlg.CheckDlgButton(IDC_SHADOWS, BST_UNCHECKED);
    dlg.CheckRadioButton(IDC_POINT, IDC_DIRECTIONAL, IDC_DIRECTIONAL);
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_nCount, -17);
    EXPECT_FLOAT_EQ(dlg.m_fScale, 25.0f);
    EXPECT_EQ(dlg.m_strName, "Key light");
    EXPECT_EQ(dlg.m_bShadows, 0);
    EXPECT_EQ(dlg.m_nKind, 2);

    // No button of the group checked reads as -1.
    for (int nId : {IDC_POINT, IDC_SPOT, IDC_DIRECTIONAL})
        dlg.CheckDlgButton(nId, BST_UNCHECKED);
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_nKind, -1);
}

TEST_F(DialogTest, NumbersThatAreNotWholeAreRefusedWithTheirMessage)
{
    struct Case
    {
        int m_nId;
        const char* m_szText;
        const char* m_szMessage;   // null: accepted
    };
    const Case cases[] = {
        {IDC_SCALE, "", "Please enter a number."},
        {IDC_SCALE, "   ", "Please enter a number."},
        {IDC_SCALE, "2.5x", "Please enter a number."},
        {IDC_SCALE, "abc", "Please enter a number."},
        {IDC_SCALE, "\t-0.125 ", nullptr},
        {IDC_COUNT, "12a", "Please enter an integer."},
        {IDC_COUNT, "1.5", "Please enter an integer."},
        {IDC_COUNT, "99999999999", "Please enter an integer."},
        {IDC_COUNT, "+8", nullptr},
    };
    CFormDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_FORM));
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.m_szText);
        ASSERT_TRUE(dlg.UpdateData(FALSE));
        dlg.SetDlgItemText(c.m_nId, c.m_szText);
        dlg.m_strName = "unchanged";
        if (c.m_szMessage)
            m_Driver.answers().msgbox(IDOK);
        testing::internal::CaptureStderr();
        BOOL bOk = dlg.UpdateData(TRUE);
        std::string strErr = testing::internal::GetCapturedStderr();
        EXPECT_EQ(bOk, c.m_szMessage == nullptr);
        if (!c.m_szMessage)
            continue;
        EXPECT_NE(strErr.find(c.m_szMessage), std::string::npos) << strErr;
        // The exchange stops at the refused field: the later ones keep their values and the
        // refused edit has the focus with its text selected.
        EXPECT_EQ(dlg.m_strName, "unchanged");
        EXPECT_EQ(::GetFocus(), ::GetDlgItem(dlg.m_hWnd, c.m_nId));
        DWORD nStart = 0, nEnd = 0;
        ::SendDlgItemMessageA(dlg.m_hWnd, c.m_nId, EM_GETSEL, reinterpret_cast<WPARAM>(&nStart),
                              reinterpret_cast<LPARAM>(&nEnd));
        EXPECT_EQ(nStart, 0u);
        EXPECT_EQ(nEnd, std::string(c.m_szText).size());
    }
    EXPECT_EQ(m_Driver.answers().pending(), 0u);
}

TEST_F(DialogTest, ModalDialogEndsWithOkOnlyWhenItsValuesAreGood)
{
    HWND hOwner = ::CreateWindowExA(0, "Static", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                                    nullptr, nullptr, nullptr);
    CWnd owner;
    ASSERT_TRUE(owner.Attach(hOwner));
    CFormDialog dlg(&owner);
    bool bOwnerDisabled = false;
    bool bStillOpen = false;
    m_Driver.at(10, [&] {
        bOwnerDisabled = !::IsWindowEnabled(hOwner);
        HWND hDlg = m_Driver.find("title:Light");
        ::SetDlgItemTextA(hDlg, IDC_SCALE, "not a number");
        m_Driver.key(VK_RETURN);
        m_Driver.answers().msgbox(IDOK);
    });
    m_Driver.at(50, [&] {
        HWND hDlg = m_Driver.find("title:Light");
        bStillOpen = hDlg && ::IsWindowVisible(hDlg);
        ::SetDlgItemTextA(hDlg, IDC_SCALE, "0.5");
        m_Driver.key(VK_RETURN);
    });
    testing::internal::CaptureStderr();
    INT_PTR nResult = dlg.DoModal();
    std::string strErr = testing::internal::GetCapturedStderr();
    EXPECT_EQ(nResult, IDOK);
    EXPECT_TRUE(bOwnerDisabled);
    EXPECT_TRUE(bStillOpen);
    EXPECT_NE(strErr.find("Please enter a number."), std::string::npos);
    EXPECT_FLOAT_EQ(dlg.m_fScale, 0.5f);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_TRUE(::IsWindowEnabled(hOwner));
    EXPECT_EQ(m_Driver.find("title:Light"), nullptr);
    // The object owned the window from its creation: WM_CREATE came before WM_INITDIALOG.
    EXPECT_TRUE(dlg.m_bCreatedBeforeInit);
    EXPECT_EQ(dlg.m_hCreateParent, hOwner);
    owner.DestroyWindow();
}

TEST_F(DialogTest, EscapeCancelsAModalDialogWithoutReadingItsControls)
{
    CFormDialog dlg;
    m_Driver.at(10, [&] {
        ::SetDlgItemTextA(m_Driver.find("title:Light"), IDC_COUNT, "5");
        m_Driver.key(VK_ESCAPE);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.m_nCount, 42);
    EXPECT_EQ(dlg.m_nInitCalls, 1);
}

TEST_F(DialogTest, ModalDialogFromATemplateInMemoryAndAMissingTemplate)
{
    CFormDialog dlg;
    win32::DialogTemplate copy = FORM;
    copy.m_szCaption = "Copy";
    ASSERT_TRUE(dlg.InitModalIndirect(&copy));
    m_Driver.at(10, [&] { m_Driver.key(VK_RETURN); });
    EXPECT_EQ(dlg.DoModal(), IDOK);

    CDialog missing(9999);
    testing::internal::CaptureStderr();
    EXPECT_EQ(missing.DoModal(), -1);
    EXPECT_FALSE(missing.Create(9999));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("CDialog::FindTemplate() - there is no dialog template 9999."),
              std::string::npos);
}
}
