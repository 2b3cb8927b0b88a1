// The MFC control wrappers over their controls, and notifications a control handles itself
// before its parent: a tree's selection change, a slider's drag, an owner-drawn button.
#include "MfcTestKit.h"

#include <mfc/afxcmn.h>

#include <functional>
#include <string>

namespace
{
enum : int
{
    IDC_CHECK = 1101,
    IDC_ICON = 1102,
    IDC_EDIT = 1103,
    IDC_SPIN = 1104,
    IDC_LIST = 1105,
    IDC_COMBO = 1106,
    IDC_PROGRESS = 1107,
    IDC_SCROLL = 1108,
    IDC_SLIDER = 1109,
    IDC_TREE = 1110,
    IDC_DRAWN = 1111,
};

const DWORD CHILD = WS_CHILD | WS_VISIBLE;
const win32::DialogItemTemplate HOST_ITEMS[] = {
    {WC_BUTTONA, "Check", IDC_CHECK, CHILD | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 7, 7, 50, 10},
    {WC_STATICA, "", IDC_ICON, CHILD | SS_ICON, 0, 60, 7, 10, 10},
    {WC_EDITA, "", IDC_EDIT, CHILD | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 7, 20, 60, 14},
    {UPDOWN_CLASSA, "", IDC_SPIN, CHILD | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_NOTHOUSANDS, 0, 70, 20, 10, 14},
    {WC_LISTBOXA, "", IDC_LIST, CHILD | WS_TABSTOP | LBS_NOTIFY, WS_EX_CLIENTEDGE, 7, 38, 60, 40},
    {WC_COMBOBOXA, "", IDC_COMBO, CHILD | WS_TABSTOP | CBS_DROPDOWNLIST | CBS_SORT, 0, 7, 82, 60, 60},
    {PROGRESS_CLASSA, "", IDC_PROGRESS, CHILD, 0, 7, 100, 60, 8},
    {WC_SCROLLBARA, "", IDC_SCROLL, CHILD | SBS_HORZ, 0, 7, 112, 60, 10},
    {TRACKBAR_CLASSA, "", IDC_SLIDER, CHILD | TBS_NOTICKS, 0, 90, 7, 100, 16},
    {WC_TREEVIEWA, "", IDC_TREE, CHILD | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT,
     WS_EX_CLIENTEDGE, 90, 28, 100, 80},
    {WC_BUTTONA, "Drawn", IDC_DRAWN, CHILD | WS_TABSTOP | BS_OWNERDRAW, 0, 90, 112, 50, 14},
};
const win32::DialogTemplate HOST{WS_POPUP | WS_CAPTION | DS_SETFONT | WS_VISIBLE, 0, 10, 10, 200, 130, "Host",
                                 "MS Sans Serif", 8, HOST_ITEMS, sizeof(HOST_ITEMS) / sizeof(HOST_ITEMS[0])};

// A tree that handles its own selection change.
class CRecordingTree : public CTreeCtrl
{
public:
    std::vector<HTREEITEM> m_Selected;
    UINT m_nAction = 0;

protected:
    afx_msg void OnSelChanged(NMHDR* pNMHDR, LRESULT* pResult)
    {
        auto* pNMTV = reinterpret_cast<NMTREEVIEW*>(pNMHDR);
        m_Selected.push_back(pNMTV->itemNew.hItem);
        m_nAction = pNMTV->action;
        *pResult = 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRecordingTree, CTreeCtrl)
    ON_NOTIFY_REFLECT(TVN_SELCHANGED, &CRecordingTree::OnSelChanged)
END_MESSAGE_MAP()

// A slider that handles its own scroll requests and the end of a drag.
class CRecordingSlider : public CSliderCtrl
{
public:
    std::vector<UINT> m_Codes;
    int m_nReleases = 0;
    int m_nPosAtRelease = -1;

    afx_msg void HScroll(UINT nSBCode, UINT) { m_Codes.push_back(nSBCode); }

protected:
    afx_msg void OnReleasedCapture(NMHDR*, LRESULT* pResult)
    {
        ++m_nReleases;
        m_nPosAtRelease = GetPos();
        *pResult = 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRecordingSlider, CSliderCtrl)
    ON_WM_HSCROLL_REFLECT()
    ON_NOTIFY_REFLECT(NM_RELEASEDCAPTURE, &CRecordingSlider::OnReleasedCapture)
END_MESSAGE_MAP()

// An owner-drawn button that records the states it was drawn in.
class CRecordingButton : public CButton
{
public:
    std::vector<UINT> m_States;
    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override
    {
        m_States.push_back(lpDIS->itemState);
        ::FillRect(lpDIS->hDC, &lpDIS->rcItem, ::GetSysColorBrush(COLOR_3DFACE));
    }
};

class CHostDialog : public CDialog
{
public:
    CButton m_Check;
    CStatic m_Icon;
    CEdit m_Edit;
    CSpinButtonCtrl m_Spin;
    CListBox m_List;
    CComboBox m_Combo;
    CProgressCtrl m_Progress;
    CScrollBar m_Scroll;
    CRecordingSlider m_Slider;
    CRecordingTree m_Tree;
    CRecordingButton m_Drawn;
    int m_nParentSelChanges = 0;
    int m_nParentScrolls = 0;
    int m_nParentDrawItems = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_CHECK, m_Check);
        DDX_Control(pDX, IDC_ICON, m_Icon);
        DDX_Control(pDX, IDC_EDIT, m_Edit);
        DDX_Control(pDX, IDC_SPIN, m_Spin);
        DDX_Control(pDX, IDC_LIST, m_List);
        DDX_Control(pDX, IDC_COMBO, m_Combo);
        DDX_Control(pDX, IDC_PROGRESS, m_Progress);
        DDX_Control(pDX, IDC_SCROLL, m_Scroll);
        DDX_Control(pDX, IDC_SLIDER, m_Slider);
        DDX_Control(pDX, IDC_TREE, m_Tree);
        DDX_Control(pDX, IDC_DRAWN, m_Drawn);
    }
    afx_msg void OnTreeSelChanged(NMHDR*, LRESULT*) { ++m_nParentSelChanges; }
    afx_msg void OnHScroll(UINT, UINT, CScrollBar*) { ++m_nParentScrolls; }
    afx_msg LRESULT OnDrawItem(WPARAM, LPARAM)
    {
        ++m_nParentDrawItems;
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHostDialog, CDialog)
    ON_NOTIFY(TVN_SELCHANGED, IDC_TREE, &CHostDialog::OnTreeSelChanged)
    ON_WM_HSCROLL()
    ON_MESSAGE(WM_DRAWITEM, &CHostDialog::OnDrawItem)
END_MESSAGE_MAP()

HICON MakeIcon(int cx, int cy)
{
    HDC hScreen = ::GetDC(nullptr);
    HBITMAP hColor = ::CreateCompatibleBitmap(hScreen, cx, cy);
    HBITMAP hMask = ::CreateBitmap(cx, cy, 1, 1, nullptr);
    ::ReleaseDC(nullptr, hScreen);
    ICONINFO info{TRUE, 0, 0, hMask, hColor};
    HICON hIcon = ::CreateIconIndirect(&info);
    ::DeleteObject(hMask);
    ::DeleteObject(hColor);
    return hIcon;
}

POINT ScreenCentre(const CWnd& wnd, RECT rc)
{
    POINT pt{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    wnd.ClientToScreen(&pt);
    return pt;
}

class ControlsTest : public MfcTest
{
protected:
    void SetUp() override
    {
        MfcTest::SetUp();
        ASSERT_TRUE(m_Dlg.CreateIndirect(&HOST));
        m_Driver.pumpUntilIdle();
    }
    void TearDown() override
    {
        m_Dlg.DestroyWindow();
        MfcTest::TearDown();
    }
    CHostDialog m_Dlg;
};

TEST_F(ControlsTest, WrappersWorkTheirControls)
{
    struct Case
    {
        const char* m_szName;
        std::function<void(CHostDialog&)> m_fnCheck;
    };
    const Case cases[] = {
        {"button", [](CHostDialog& d) {
             EXPECT_EQ(d.m_Check.GetButtonStyle() & BS_TYPEMASK, static_cast<UINT>(BS_AUTOCHECKBOX));
             d.m_Check.SetCheck(BST_CHECKED);
             EXPECT_EQ(d.m_Check.GetCheck(), BST_CHECKED);
             EXPECT_EQ(d.IsDlgButtonChecked(IDC_CHECK), static_cast<UINT>(BST_CHECKED));
         }},
        {"static", [](CHostDialog& d) {
             HICON hIcon = MakeIcon(32, 32);
             EXPECT_EQ(d.m_Icon.SetIcon(hIcon), nullptr);
             EXPECT_EQ(d.m_Icon.GetIcon(), hIcon);
             CRect rc;
             d.m_Icon.GetWindowRect(&rc);
             EXPECT_EQ(rc.Width(), 32);   // the control takes the icon's size
             d.m_Icon.SetIcon(nullptr);
             ::DestroyIcon(hIcon);
         }},
        {"edit", [](CHostDialog& d) {
             d.m_Edit.SetWindowText("hello world");
             d.m_Edit.SetSel(0, 5);
             int nStart = -1, nEnd = -1;
             d.m_Edit.GetSel(nStart, nEnd);
             EXPECT_EQ(nStart, 0);
             EXPECT_EQ(nEnd, 5);
             d.m_Edit.ReplaceSel("HELLO");
             CString str;
             d.m_Edit.GetWindowText(str);
             EXPECT_EQ(str, "HELLO world");
             d.m_Edit.SetReadOnly(TRUE);
             EXPECT_NE(d.m_Edit.GetStyle() & ES_READONLY, 0u);
             d.m_Edit.SetReadOnly(FALSE);
         }},
        {"spin", [](CHostDialog& d) {
             d.m_Spin.SetRange32(0, 255);
             EXPECT_EQ(d.m_Spin.SetBuddy(&d.m_Edit), nullptr);
             EXPECT_EQ(d.m_Spin.GetBuddy()->m_hWnd, d.m_Edit.m_hWnd);
             d.m_Spin.SetPos(300);
             EXPECT_EQ(d.m_Spin.GetPos(), 255);
             CString str;
             d.m_Edit.GetWindowText(str);
             EXPECT_EQ(str, "255");
             int nLower = -1, nUpper = -1;
             d.m_Spin.GetRange32(nLower, nUpper);
             EXPECT_EQ(nLower, 0);
             EXPECT_EQ(nUpper, 255);
         }},
        {"list box", [](CHostDialog& d) {
             d.m_List.AddString("Red");
             d.m_List.AddString("Green");
             EXPECT_EQ(d.m_List.InsertString(0, "Blue"), 0);
             EXPECT_EQ(d.m_List.GetCount(), 3);
             CString str;
             d.m_List.GetText(1, str);
             EXPECT_EQ(str, "Red");
             d.m_List.SetItemData(2, 77);
             EXPECT_EQ(d.m_List.GetItemData(2), 77u);
             EXPECT_EQ(d.m_List.FindStringExact(-1, "green"), 2);
             d.m_List.SetCurSel(1);
             EXPECT_EQ(d.m_List.GetCurSel(), 1);
             d.m_List.ResetContent();
             EXPECT_EQ(d.m_List.GetCount(), 0);
         }},
        {"combo box", [](CHostDialog& d) {
             // Sorted without regard to case.
             d.m_Combo.AddString("beta");
             d.m_Combo.AddString("Gamma");
             d.m_Combo.AddString("alpha");
             CString str;
             d.m_Combo.GetLBText(0, str);
             EXPECT_EQ(str, "alpha");
             d.m_Combo.GetLBText(2, str);
             EXPECT_EQ(str, "Gamma");
             EXPECT_EQ(d.m_Combo.SetCurSel(1), 1);
             EXPECT_EQ(d.m_Combo.GetCurSel(), 1);
             EXPECT_EQ(d.m_Combo.FindStringExact(-1, "GAMMA"), 2);
             EXPECT_EQ(d.m_Combo.SelectString(-1, "al"), 0);
         }},
        {"progress", [](CHostDialog& d) {
             d.m_Progress.SetRange32(0, 100);
             int nLower = -1, nUpper = -1;
             d.m_Progress.GetRange(nLower, nUpper);
             EXPECT_EQ(nLower, 0);
             EXPECT_EQ(nUpper, 100);
             d.m_Progress.SetPos(40);
             EXPECT_EQ(d.m_Progress.OffsetPos(10), 40);
             EXPECT_EQ(d.m_Progress.GetPos(), 50);
             d.m_Progress.SetPos(500);
             EXPECT_EQ(d.m_Progress.GetPos(), 100);
         }},
        {"scroll bar", [](CHostDialog& d) {
             d.m_Scroll.SetScrollRange(0, 50);
             d.m_Scroll.SetScrollPos(80);
             EXPECT_EQ(d.m_Scroll.GetScrollPos(), 50);
             SCROLLINFO si{};
             ASSERT_TRUE(d.m_Scroll.GetScrollInfo(&si));
             EXPECT_EQ(si.nMin, 0);
             EXPECT_EQ(si.nMax, 50);
             EXPECT_EQ(si.nPos, 50);
         }},
        {"slider", [](CHostDialog& d) {
             d.m_Slider.SetRange(1, 500);
             d.m_Slider.SetPos(1000);
             EXPECT_EQ(d.m_Slider.GetPos(), 500);
             d.m_Slider.SetPos(-5);
             EXPECT_EQ(d.m_Slider.GetPos(), 1);
             int nMin = 0, nMax = 0;
             d.m_Slider.GetRange(nMin, nMax);
             EXPECT_EQ(nMin, 1);
             EXPECT_EQ(nMax, 500);
             d.m_Slider.SetPageSize(25);
             EXPECT_EQ(d.m_Slider.GetPageSize(), 25);
         }},
        {"tree", [](CHostDialog& d) {
             CTreeCtrl& tree = d.m_Tree;
             HTREEITEM hScene = tree.InsertItem("Scene");
             HTREEITEM hLights = tree.InsertItem("Lights", hScene);
             HTREEITEM hMeshes = tree.InsertItem("Meshes", 0, 0, hScene, TVI_LAST);
             HTREEITEM hLamp = tree.InsertItem("Lamp", hLights);
             EXPECT_EQ(tree.GetCount(), 4u);
             EXPECT_EQ(tree.GetRootItem(), hScene);
             EXPECT_EQ(tree.GetChildItem(hScene), hLights);
             EXPECT_EQ(tree.GetNextSiblingItem(hLights), hMeshes);
             EXPECT_EQ(tree.GetPrevSiblingItem(hMeshes), hLights);
             EXPECT_EQ(tree.GetParentItem(hLamp), hLights);
             EXPECT_TRUE(tree.ItemHasChildren(hLights));
             EXPECT_FALSE(tree.ItemHasChildren(hMeshes));
             EXPECT_EQ(tree.GetItemText(hLamp), "Lamp");
             EXPECT_TRUE(tree.SetItemText(hLamp, std::string(600, 'x').c_str()));
             EXPECT_EQ(tree.GetItemText(hLamp).GetLength(), 600);
             EXPECT_TRUE(tree.SetItemData(hMeshes, 0x1234));
             EXPECT_EQ(tree.GetItemData(hMeshes), 0x1234u);
             EXPECT_TRUE(tree.Expand(hScene, TVE_EXPAND));
             EXPECT_EQ(tree.GetItemState(hScene, TVIS_EXPANDED), static_cast<UINT>(TVIS_EXPANDED));
             EXPECT_TRUE(tree.DeleteItem(hLights));
             EXPECT_EQ(tree.GetCount(), 2u);
             EXPECT_TRUE(tree.DeleteAllItems());
             EXPECT_EQ(tree.GetCount(), 0u);
             EXPECT_EQ(tree.GetRootItem(), nullptr);
         }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.m_szName);
        c.m_fnCheck(m_Dlg);
    }
}

TEST_F(ControlsTest, TreeHandlesItsOwnSelectionChangeBeforeItsParent)
{
    CTreeCtrl& tree = m_Dlg.m_Tree;
    HTREEITEM hFirst = tree.InsertItem("First");
    HTREEITEM hSecond = tree.InsertItem("Second");
    m_Driver.pumpUntilIdle();
    CRect rcLabel;
    ASSERT_TRUE(tree.GetItemRect(hSecond, &rcLabel, TRUE));
    // The label is hit; the row to its right is not the label.
    UINT nFlags = 0;
    EXPECT_EQ(tree.HitTest(rcLabel.CenterPoint(), &nFlags), hSecond);
    EXPECT_NE(nFlags & TVHT_ONITEMLABEL, 0u);
    EXPECT_EQ(tree.HitTest(CPoint(rcLabel.right + 5, rcLabel.CenterPoint().y), &nFlags), hSecond);
    EXPECT_EQ(nFlags & TVHT_ONITEMLABEL, 0u);

    POINT pt = ScreenCentre(tree, rcLabel);
    m_Driver.mouse(pt, 0, true);
    m_Driver.mouse(pt, 0, false);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(tree.GetSelectedItem(), hSecond);
    ASSERT_EQ(m_Dlg.m_Tree.m_Selected.size(), 1u);
    EXPECT_EQ(m_Dlg.m_Tree.m_Selected[0], hSecond);
    EXPECT_EQ(m_Dlg.m_Tree.m_nAction, static_cast<UINT>(TVC_BYMOUSE));
    tree.SelectItem(hFirst);
    EXPECT_EQ(m_Dlg.m_Tree.m_Selected.size(), 2u);
    // A plain reflected entry consumes the notification: the parent's entry never runs.
    EXPECT_EQ(m_Dlg.m_nParentSelChanges, 0);
}

TEST_F(ControlsTest, SliderHandlesItsOwnDragBeforeItsParent)
{
    CRecordingSlider& slider = m_Dlg.m_Slider;
    slider.SetRange(0, 100);
    slider.SetPos(10);
    m_Driver.pumpUntilIdle();
    CRect rcThumb;
    slider.GetThumbRect(&rcThumb);
    POINT pt = ScreenCentre(slider, rcThumb);
    m_Driver.mouse(pt, 0, true);
    m_Driver.mouse(POINT{pt.x + 40, pt.y});
    m_Driver.mouse(POINT{pt.x + 40, pt.y}, 0, false);
    m_Driver.pumpUntilIdle();
    EXPECT_GT(slider.GetPos(), 10);
    ASSERT_GE(slider.m_Codes.size(), 3u);
    EXPECT_EQ(slider.m_Codes.front(), static_cast<UINT>(TB_THUMBTRACK));
    EXPECT_EQ(slider.m_Codes[slider.m_Codes.size() - 2], static_cast<UINT>(TB_THUMBPOSITION));
    EXPECT_EQ(slider.m_Codes.back(), static_cast<UINT>(TB_ENDTRACK));
    EXPECT_EQ(slider.m_nReleases, 1);
    EXPECT_EQ(slider.m_nPosAtRelease, slider.GetPos());
    EXPECT_EQ(m_Dlg.m_nParentScrolls, 0);
}

TEST_F(ControlsTest, OwnerDrawnButtonDrawsItselfWithFocusAndSelectedStates)
{
    CRecordingButton& button = m_Dlg.m_Drawn;
    button.m_States.clear();
    button.SetFocus();
    m_Driver.pumpUntilIdle();
    ASSERT_FALSE(button.m_States.empty());
    EXPECT_NE(button.m_States.back() & ODS_FOCUS, 0u);
    EXPECT_EQ(button.m_States.back() & ODS_SELECTED, 0u);
    CRect rc;
    button.GetClientRect(&rc);
    m_Driver.mouse(ScreenCentre(button, rc), 0, true);
    m_Driver.pumpUntilIdle();
    EXPECT_NE(button.m_States.back() & ODS_SELECTED, 0u);
    m_Driver.mouse(ScreenCentre(button, rc), 0, false);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(button.m_States.back() & ODS_SELECTED, 0u);
    EXPECT_EQ(m_Dlg.m_nParentDrawItems, 0);
}
}
