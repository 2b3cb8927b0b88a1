// CListCtrl over a report list in a dialog, used as a log list is: an icon list of system icons,
// columns with subitems, rows added at the end with their data and texts, read back, selected
// rows walked by position, and selection changes the list handles itself before its parent.
#include "MfcTestKit.h"

#include <mfc/afxcmn.h>

namespace
{
const int IDC_LOG = 1111;
const win32::DialogItemTemplate LOG_ITEMS[] = {
    {WC_LISTVIEWA, "", IDC_LOG, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT, 0, 7, 8, 300, 100},
};
const win32::DialogTemplate LOG_HOST{WS_POPUP | WS_CAPTION | DS_SETFONT | WS_VISIBLE, 0, 10, 10, 320, 120, "Log",
                                     "MS Sans Serif", 8, LOG_ITEMS, 1};

class CRecordingList : public CListCtrl
{
public:
    std::vector<int> m_Changed;

protected:
    afx_msg BOOL OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult)
    {
        m_Changed.push_back(reinterpret_cast<NMLISTVIEW*>(pNMHDR)->iItem);
        *pResult = 0;
        return FALSE;   // the parent sees it too
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRecordingList, CListCtrl)
    ON_NOTIFY_REFLECT_EX(LVN_ITEMCHANGED, &CRecordingList::OnItemChanged)
END_MESSAGE_MAP()

class CLogDialog : public CDialog
{
public:
    CRecordingList m_List;
    int m_nParentChanges = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_LOG, m_List);
    }
    afx_msg void OnListChanged(NMHDR*, LRESULT*) { ++m_nParentChanges; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CLogDialog, CDialog)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_LOG, &CLogDialog::OnListChanged)
END_MESSAGE_MAP()

class ListCtrlTest : public MfcTest
{
protected:
    void SetUp() override
    {
        MfcTest::SetUp();
        ASSERT_TRUE(m_Dlg.CreateIndirect(&LOG_HOST));
        m_Driver.pumpUntilIdle();
    }
    void TearDown() override
    {
        m_Dlg.DestroyWindow();
        MfcTest::TearDown();
    }
    CLogDialog m_Dlg;
};
}

TEST_F(ListCtrlTest, RowsOfIconDataAndSubitemsReadBack)
{
    CListCtrl& list = m_Dlg.m_List;
    ASSERT_TRUE(list.GetSafeHwnd());
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 5, 0));
    for (LPCSTR id : {IDI_ASTERISK, IDI_QUESTION, IDI_EXCLAMATION, IDI_HAND, IDI_APPLICATION})
        EXPECT_GE(images.Add(::LoadIcon(nullptr, id)), 0);
    EXPECT_EQ(images.GetImageCount(), 5);
    // The list is given the icons and shares them (the object keeps ownership).
    list.ModifyStyle(0, LVS_SHAREIMAGELISTS);
    EXPECT_EQ(list.SetImageList(&images, LVSIL_SMALL), nullptr);
    EXPECT_EQ(list.GetImageList(LVSIL_SMALL), &images);
    EXPECT_EQ(list.InsertColumn(0, "Type", LVCFMT_LEFT, 40), 0);
    EXPECT_EQ(list.InsertColumn(1, "Message", LVCFMT_LEFT, 500, 1), 1);
    EXPECT_EQ(list.InsertColumn(2, "Date", LVCFMT_LEFT, 115, 2), 2);
    EXPECT_EQ(list.GetColumnWidth(1), 500);

    const struct
    {
        int m_nType;
        const char* m_szText;
    } lines[] = {{1, "a warning"}, {2, "an error"}, {4, "typed"}};
    for (const auto& line : lines)
    {
        int nRow = list.GetItemCount();
        EXPECT_EQ(list.InsertItem(nRow, "", line.m_nType), nRow);
        EXPECT_TRUE(list.SetItemData(nRow, static_cast<DWORD_PTR>(line.m_nType)));
        EXPECT_TRUE(list.SetItemText(nRow, 1, line.m_szText));
        EXPECT_TRUE(list.SetItemText(nRow, 2, "2026-12-11 12:00:00"));
        EXPECT_TRUE(list.EnsureVisible(nRow, FALSE));
    }
    ASSERT_EQ(list.GetItemCount(), 3);
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(list.GetItemData(i), static_cast<DWORD_PTR>(lines[i].m_nType));
        EXPECT_STREQ(list.GetItemText(i, 1), lines[i].m_szText);
        EXPECT_STREQ(list.GetItemText(i, 2), "2026-12-11 12:00:00");
        LVITEMA item{LVIF_IMAGE, i, 0, 0, 0, nullptr, 0, -1, 0, 0};
        EXPECT_TRUE(list.GetItem(&item));
        EXPECT_EQ(item.iImage, lines[i].m_nType);
    }
    EXPECT_STREQ(list.GetItemText(7, 1), "");
    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(list.GetItemCount(), 0);
}

TEST_F(ListCtrlTest, SelectedRowsWalkByPositionAndBothListAndParentSeeChanges)
{
    CRecordingList& list = m_Dlg.m_List;
    list.InsertColumn(0, "Name", LVCFMT_LEFT, 100);
    for (int i = 0; i < 4; ++i)
        list.InsertItem(i, "row");
    list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    list.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(list.m_Changed, (std::vector<int>{1, 3}));
    EXPECT_EQ(m_Dlg.m_nParentChanges, 2);
    EXPECT_EQ(list.GetSelectedCount(), 2u);
    std::vector<int> walked;
    for (POSITION pos = list.GetFirstSelectedItemPosition(); pos;)
        walked.push_back(list.GetNextSelectedItem(pos));
    EXPECT_EQ(walked, (std::vector<int>{1, 3}));

    // A click on row 0 selects it alone.
    CRect rc;
    ASSERT_TRUE(list.GetItemRect(0, &rc, LVIR_LABEL));
    CPoint pt = rc.CenterPoint();
    EXPECT_EQ(list.HitTest(pt), 0);
    list.ClientToScreen(&pt);
    m_Driver.mouse(pt, 0, true);
    m_Driver.mouse(pt, 0, false);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(list.GetSelectedCount(), 1u);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 0);
    EXPECT_EQ(list.GetItemState(0, LVIS_FOCUSED), static_cast<UINT>(LVIS_FOCUSED));
}
