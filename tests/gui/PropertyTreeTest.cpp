// The property tree: value items show "label: value" from the bound value, each editor writes its
// own value and nothing else, the double click picks the editor by the item's type, and the
// selection and right button reach the parent.
#include "GuiTestKit.h"

#include "mfc_gui/BaseTreeCtrl.h"
#include "mfc_gui/BaseTreeListBox.h"
#include "mfc_gui/ColorPickerToolDlg.h"
#include "mfc_gui/ImageFormatDlg.h"
#include "mfc_gui/TreeMessages.h"
#include "scene/SceneObject.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace
{
// Records the private messages the tree sends to its parent.
class CRecordingHost : public CWnd
{
public:
    std::vector<std::pair<UINT, std::pair<WPARAM, LPARAM>>> m_Messages;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message >= WM_TREEITEM_CLOSED && message <= WM_TRANSFORM_MOUSEMOVE)
            m_Messages.push_back({message, {wParam, lParam}});
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class PropertyTreeTest : public GuiTest
{
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        const char* szClass = AfxRegisterWndClass(0, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        ASSERT_TRUE(m_Parent.CreateEx(0, szClass, "Parent", WS_POPUP | WS_VISIBLE, 0, 0, 500, 400, nullptr, nullptr));
        ASSERT_TRUE(m_Tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                                      TVS_EDITLABELS,
                                  CRect(0, 0, 480, 380), &m_Parent, 1000));
        m_hRoot = m_Tree.InsertItem("Scene Nodes");
    }
    void TearDown() override
    {
        if (m_Tree.m_hWnd)
            m_Tree.DestroyWindow();
        m_Parent.DestroyWindow();
        GuiTest::TearDown();
    }
    std::string Label(HTREEITEM hItem) const { return m_Tree.GetItemText(hItem).GetString(); }
    // Selects the item and double-clicks the middle of its label (or beside it).
    void DoubleClick(HTREEITEM hItem, bool bOnLabel = true)
    {
        m_Tree.Expand(m_hRoot, TVE_EXPAND);
        m_Tree.SelectItem(hItem);
        CRect rc;
        ASSERT_TRUE(m_Tree.GetItemRect(hItem, &rc, TRUE));
        const int x = bOnLabel ? rc.CenterPoint().x : 470;
        m_Tree.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(x, rc.CenterPoint().y));
    }

    CRecordingHost m_Parent;
    CBaseTreeCtrl m_Tree;
    HTREEITEM m_hRoot = nullptr;
};
}

TEST_F(PropertyTreeTest, LabelsShowTheBoundValues)
{
    int32_t bTwo = 2, bOne = 1, nPhotons = 48, nFormat = 1;
    float fRadius = 1.0f, fNegative = -2.345f;
    char szPath[256] = "Media/white.jpg";
    struct Case
    {
        HTREEITEM m_hItem;
        const char* m_szLabel;
        int m_nType;
    };
    const Case cases[] = {
        {m_Tree.InsertBoolItem(&bTwo, "Trace Photon ", m_hRoot), "Trace Photon : FALSE", TREE_ITEM_BOOL},
        {m_Tree.InsertBoolItem(&bOne, "Reflection ", m_hRoot), "Reflection : TRUE", TREE_ITEM_BOOL},
        {m_Tree.InsertIntItem(&nPhotons, "Direct Photon ", 5, 1000, m_hRoot), "Direct Photon : 48",
         TREE_ITEM_INT_SLIDER},
        {m_Tree.InsertFloatItem(&fRadius, "Search Radius ", 1, 500, m_hRoot), "Search Radius : 1.00",
         TREE_ITEM_FLOAT_SLIDER},
        {m_Tree.InsertFloatItem(&fNegative, "X ", -1000, 1000, m_hRoot), "X : -2.35", TREE_ITEM_FLOAT_SLIDER},
        {m_Tree.InsertFormatItem(&nFormat, m_hRoot), "Format Screen 640x480", TREE_ITEM_IMAGE_FORMAT},
        {m_Tree.InsertImageFileItem(szPath, sizeof(szPath), m_hRoot), "Media/white.jpg", TREE_ITEM_FILE},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.m_szLabel);
        ASSERT_NE(c.m_hItem, nullptr);
        EXPECT_EQ(Label(c.m_hItem), c.m_szLabel);
        m_Tree.SelectItem(c.m_hItem);
        EXPECT_EQ(m_Tree.GetSelectedType(), c.m_nType);
    }
    EXPECT_EQ(bTwo, 2);   // showing a value never writes it
    m_Tree.SelectItem(cases[2].m_hItem);
    EXPECT_EQ(m_Tree.GetSelectedValue(), &nPhotons);
    m_Tree.SelectItem(cases[0].m_hItem);
    EXPECT_EQ(m_Tree.GetSelectedValue(), nullptr);
    m_Tree.SelectItem(m_hRoot);
    EXPECT_EQ(m_Tree.GetSelectedNode(), nullptr);
    EXPECT_EQ(m_Tree.GetSelectedType(), -1);
    // The style that would let the user type over a label is gone.
    EXPECT_EQ(m_Tree.GetStyle() & TVS_EDITLABELS, 0u);
}

TEST_F(PropertyTreeTest, BoolItemsToggleTheirOwnBytesOnly)
{
    int32_t flags[3] = {7, 2, 7};
    uint8_t bytes[3] = {0xAA, 0, 0xBB};
    HTREEITEM hWide = m_Tree.InsertBoolItem(&flags[1], "Visible", m_hRoot);
    HTREEITEM hByte = m_Tree.InsertBoolItem(&bytes[1], "Is Fog ", m_hRoot);
    const struct
    {
        int32_t m_nWide;
        const char* m_szWide;
        uint8_t m_nByte;
        const char* m_szByte;
    } steps[] = {{0, "Visible: FALSE", 1, "Is Fog : TRUE"}, {1, "Visible: TRUE", 0, "Is Fog : FALSE"}};
    for (const auto& step : steps)
    {
        DoubleClick(hWide);
        DoubleClick(hByte);
        EXPECT_EQ(flags[1], step.m_nWide);
        EXPECT_EQ(Label(hWide), step.m_szWide);
        EXPECT_EQ(bytes[1], step.m_nByte);
        EXPECT_EQ(Label(hByte), step.m_szByte);
    }
    EXPECT_EQ(flags[0], 7);
    EXPECT_EQ(flags[2], 7);
    EXPECT_EQ(bytes[0], 0xAA);
    EXPECT_EQ(bytes[2], 0xBB);
    // Beside the label, or with Ctrl held, the double click is the tree's own.
    DoubleClick(hWide, false);
    EXPECT_EQ(flags[1], 1);
    m_Driver.key(VK_CONTROL, true);
    m_Driver.pumpUntilIdle();
    DoubleClick(hWide);
    m_Driver.key(VK_CONTROL, false);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(flags[1], 1);
}

TEST_F(PropertyTreeTest, SlidersOpenOnTheValueAndWriteWhatIsDragged)
{
    float fRadius = 1.0f, fNeighbour = 3.0f, fWritten = 0.15f;
    int32_t nPhotons = 48;
    HTREEITEM hFloat = m_Tree.InsertFloatItem(&fRadius, "Search Radius ", 1, 500, m_hRoot);
    HTREEITEM hInt = m_Tree.InsertIntItem(&nPhotons, "Direct Photon ", 5, 1000, m_hRoot);
    HTREEITEM hWritten = m_Tree.InsertFloatItem(&fWritten, "Opacity ", 0, 100, m_hRoot);
    m_Tree.InsertFloatItem(&fNeighbour, "Other ", 0, 500, m_hRoot);
    auto slider = [&](HTREEITEM hItem) {
        return static_cast<CBaseTreeSlider*>(reinterpret_cast<SceneObject*>(m_Tree.GetItemData(hItem))->m_pEditor);
    };

    DoubleClick(hInt);
    EXPECT_TRUE(slider(hInt)->IsWindowVisible());
    EXPECT_EQ(slider(hInt)->GetPos(), 48);
    EXPECT_EQ(m_Tree.m_bEditing, 1);
    // A value the slider wrote reopens at the position that wrote it.
    DoubleClick(hWritten);
    EXPECT_FALSE(slider(hInt)->IsWindowVisible());
    EXPECT_EQ(slider(hWritten)->GetPos(), 15);

    DoubleClick(hFloat);
    CBaseTreeSlider* pSlider = slider(hFloat);
    ASSERT_TRUE(pSlider->IsWindowVisible());
    EXPECT_EQ(pSlider->GetPos(), 100);
    CRect rcThumb, rcChannel;
    pSlider->GetThumbRect(&rcThumb);
    pSlider->GetChannelRect(&rcChannel);
    const int y = rcThumb.CenterPoint().y;
    pSlider->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(rcThumb.CenterPoint().x, y));
    const int xTarget = rcChannel.left + rcChannel.Width() / 2;
    pSlider->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(xTarget, y));
    const int nDragged = pSlider->GetPos();
    EXPECT_GT(nDragged, 200);
    EXPECT_FLOAT_EQ(fRadius, nDragged * 0.01f);   // the value follows the thumb it shows
    pSlider->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(xTarget + 7, y));
    pSlider->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(xTarget + 7, y));
    m_Driver.pumpUntilIdle();
    const int nFinal = pSlider->GetPos();
    EXPECT_NE(nFinal, nDragged);
    EXPECT_FLOAT_EQ(fRadius, nFinal * 0.01f);
    char szLabel[64];
    std::snprintf(szLabel, sizeof(szLabel), "Search Radius : %.2f", static_cast<double>(fRadius));
    EXPECT_EQ(Label(hFloat), szLabel);
    EXPECT_FALSE(pSlider->IsWindowVisible());
    EXPECT_EQ(m_Tree.m_bEditing, 0);
    EXPECT_EQ(nPhotons, 48);
    EXPECT_EQ(fWritten, 0.15f);
    EXPECT_EQ(fNeighbour, 3.0f);
}

TEST_F(PropertyTreeTest, ADoubleClickBesideAnIntLabelOnlyHoldsTheScrolling)
{
    int32_t nValue = 10;
    HTREEITEM hInt = m_Tree.InsertIntItem(&nValue, "Quality ", 1, 24, m_hRoot);
    HTREEITEM hOther = m_Tree.InsertItem("Camera", m_hRoot);
    DoubleClick(hInt, false);
    EXPECT_EQ(m_Tree.m_bEditing, 1);
    auto* pSlider = static_cast<CBaseTreeSlider*>(reinterpret_cast<SceneObject*>(m_Tree.GetItemData(hInt))->m_pEditor);
    EXPECT_FALSE(pSlider->IsWindowVisible());
    m_Tree.SelectItem(hOther);
    EXPECT_EQ(m_Tree.m_bEditing, 0);
}

TEST_F(PropertyTreeTest, TheFormatItemOpensOnTheCurrentPresetAndStoresTheChoice)
{
    int32_t nFormat = 5;
    HTREEITEM hFormat = m_Tree.InsertFormatItem(&nFormat, m_hRoot);
    EXPECT_EQ(Label(hFormat), "Format Screen 1280x768");
    bool bFiveChecked = false;
    m_Driver.at(10, [&] {
        HWND hDlg = m_Driver.find("title:Image Format");
        ASSERT_NE(hDlg, nullptr);
        bFiveChecked = ::SendDlgItemMessageA(hDlg, CImageFormatDlg::RADIO_IDS[5], BM_GETCHECK, 0, 0) == BST_CHECKED;
        ::SendDlgItemMessageA(hDlg, CImageFormatDlg::RADIO_IDS[5], BM_SETCHECK, BST_UNCHECKED, 0);
        ::SendDlgItemMessageA(hDlg, CImageFormatDlg::RADIO_IDS[17], BM_SETCHECK, BST_CHECKED, 0);
        ::SendMessageA(hDlg, WM_COMMAND, IDOK, 0);
    });
    DoubleClick(hFormat);
    EXPECT_TRUE(bFiveChecked);
    EXPECT_EQ(nFormat, 17);
    EXPECT_EQ(Label(hFormat), "Format HDTV Low 1280x720");

    // Changed elsewhere, then cancelled: the item opens on the new value and keeps it.
    nFormat = 3;
    m_Driver.at(10, [&] { ::SendMessageA(m_Driver.find("title:Image Format"), WM_COMMAND, IDCANCEL, 0); });
    DoubleClick(hFormat);
    EXPECT_EQ(nFormat, 3);
    EXPECT_EQ(Label(hFormat), "Format Screen 1024x768");
}

TEST_F(PropertyTreeTest, FileItemsWriteTheChosenPathIntoTheirBuffer)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("quen_tree_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string strChosen = (folder / "wood.jpg").string();
    std::fclose(std::fopen(strChosen.c_str(), "wb"));
    // A path of 256 characters, one more than the buffer holds.
    const std::string strLong = (folder / std::string(256 - folder.string().size() - 1, 'a')).string();
    ASSERT_EQ(strLong.size(), 256u);
    std::fclose(std::fopen(strLong.c_str(), "wb"));

    char buffers[2][256] = {"white.jpg", "NONE"};
    HTREEITEM hItem = m_Tree.InsertImageFileItem(buffers[0], sizeof(buffers[0]), m_hRoot);
    m_Driver.answers().file(strChosen);
    DoubleClick(hItem);
    EXPECT_EQ(std::string(buffers[0]), strChosen);
    EXPECT_EQ(Label(hItem), strChosen);
    EXPECT_STREQ(buffers[1], "NONE");

    m_Driver.answers().file(strLong);
    ClearLogLines();
    DoubleClick(hItem);
    EXPECT_EQ(std::string(buffers[0]), strChosen);
    EXPECT_FALSE(GetLogLines().empty());

    m_Driver.answers().cancel();
    DoubleClick(hItem);
    EXPECT_EQ(std::string(buffers[0]), strChosen);
    fs::remove_all(folder);
}

TEST_F(PropertyTreeTest, SelectionAndRightButtonReachTheParent)
{
    int32_t bFlag = 0;
    HTREEITEM hItem = m_Tree.InsertBoolItem(&bFlag, "Light Enable ", m_hRoot);
    m_Parent.m_Messages.clear();
    m_Tree.SelectItem(hItem);
    CPoint pt(12, 34);
    m_Tree.ClientToScreen(&pt);
    m_Driver.mouse(pt, 1, true);
    m_Driver.mouse(pt, 1, false);
    m_Driver.pumpUntilIdle();
    ASSERT_GE(m_Parent.m_Messages.size(), 2u);
    EXPECT_EQ(m_Parent.m_Messages[0].first, WM_TREE_SELCHANGED);
    EXPECT_EQ(m_Parent.m_Messages.back().first, WM_TREE_RBUTTONDOWN);
    EXPECT_EQ(m_Parent.m_Messages.back().second, std::make_pair(WPARAM(12), LPARAM(34)));
}

TEST_F(PropertyTreeTest, DeletingANodeOrTheTreeFreesItsEditors)
{
    int32_t nValue = 3, nFormat = 1;
    float fValue = 0.5f;
    char szPath[256] = "a.jpg";
    HTREEITEM hGroup = m_Tree.InsertItem("Group", m_hRoot);
    // A scene object carried by an item stays the scene's, whatever its type code says.
    SceneObject scene;
    scene.SetType(TREE_ITEM_FILE);
    HTREEITEM hMesh = m_Tree.InsertItem("Mesh #0 :Box ", m_hRoot);
    m_Tree.SetItemData(hMesh, reinterpret_cast<DWORD_PTR>(&scene));
    m_Tree.InsertIntItem(&nValue, "Quality ", 0, 100, hGroup);
    m_Tree.InsertFloatItem(&fValue, "Opacity ", 0, 100, hGroup);
    m_Tree.InsertFormatItem(&nFormat, hMesh);
    m_Tree.InsertImageFileItem(szPath, sizeof(szPath), hMesh);
    EXPECT_TRUE(m_Tree.DeleteNode(hGroup));
    EXPECT_EQ(m_Tree.GetCount(), 4u);
    m_Tree.DeleteAllNodes();
    EXPECT_EQ(m_Tree.GetCount(), 0u);
    EXPECT_EQ(nValue, 3);
    EXPECT_EQ(nFormat, 1);
    // LeakSanitizer runs of this test see every record and editor freed.
}

TEST_F(PropertyTreeTest, AnActivatedEditorReportsAChangeOnlyWhenItsLeadingValueIsSet)
{
    CColorPickerToolDlg picker(&m_Parent);
    ASSERT_TRUE(picker.Create(CColorPickerToolDlg::IDD, &m_Parent));
    int32_t bFlag = 0, nQuality = 7;
    float red[4] = {0.5f, 0.1f, 0.1f, 1.0f}, black[4] = {0.0f, 0.3f, 0.3f, 1.0f};
    HTREEITEM hBool = m_Tree.InsertBoolItem(&bFlag, "Light Enable ", m_hRoot);
    HTREEITEM hRed = m_Tree.InsertColorItem(red, "Diffuse Color", &picker, m_hRoot);
    HTREEITEM hBlack = m_Tree.InsertColorItem(black, "Ambient Color", &picker, m_hRoot);
    HTREEITEM hSlider = m_Tree.InsertIntItem(&nQuality, "Quality ", 0, 100, m_hRoot);
    SceneObject scene;
    scene.SetType(TREE_ITEM_BOOL);
    HTREEITEM hScene = m_Tree.InsertItem("Light #0 ", m_hRoot);
    m_Tree.SetItemData(hScene, reinterpret_cast<DWORD_PTR>(&scene));
    auto record = [&](HTREEITEM h) { return reinterpret_cast<SceneObject*>(m_Tree.GetItemData(h)); };
    struct Case
    {
        const char* m_szWhat;
        HTREEITEM m_hItem;
        int m_nResult;
        bool m_bReported;
    };
    const Case cases[] = {
        {"bool toggled on", hBool, 1, true},
        {"bool toggled off", hBool, 1, false},
        {"colour with red", hRed, 1, true},
        {"colour without red", hBlack, 1, false},
        {"slider: no windowless editor", hSlider, 0, false},
        {"the scene's object", hScene, 0, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.m_szWhat);
        m_Parent.m_Messages.clear();
        EXPECT_EQ(m_Tree.ActivateEditor(c.m_hItem, record(c.m_hItem)), c.m_nResult);
        if (c.m_bReported)
        {
            ASSERT_EQ(m_Parent.m_Messages.size(), 1u);
            EXPECT_EQ(m_Parent.m_Messages[0].first, WM_TREE_VALUECHANGED);
            EXPECT_EQ(m_Parent.m_Messages[0].second.first, reinterpret_cast<WPARAM>(record(c.m_hItem)));
        }
        else
        {
            EXPECT_TRUE(m_Parent.m_Messages.empty());
        }
    }
    EXPECT_EQ(bFlag, 0);   // toggled twice
    EXPECT_EQ(nQuality, 7);
    EXPECT_EQ(scene.m_nType, TREE_ITEM_BOOL);
    picker.DestroyWindow();
}

TEST_F(PropertyTreeTest, AColourItemRewritesTheLabelsOfItsLinkedItems)
{
    float colour[4] = {0.2f, 0.4f, 0.6f, 1.0f};
    float fRed = 0.2f, fGreen = 0.4f, fUnlinked = 0.5f;
    int32_t nAlpha = 255, bShow = 1;
    HTREEITEM hColor = m_Tree.InsertColorItem(colour, "Diffuse Color", nullptr, m_hRoot);
    HTREEITEM hRed = m_Tree.InsertFloatItem(&fRed, "R ", 0, 100, m_hRoot);
    HTREEITEM hGreen = m_Tree.InsertFloatItem(&fGreen, "G ", 0, 100, m_hRoot);
    HTREEITEM hAlpha = m_Tree.InsertIntItem(&nAlpha, "A ", 0, 255, m_hRoot);
    HTREEITEM hShow = m_Tree.InsertBoolItem(&bShow, "Show ", m_hRoot);
    HTREEITEM hPlain = m_Tree.InsertItem("Group", m_hRoot);
    HTREEITEM hUnlinked = m_Tree.InsertFloatItem(&fUnlinked, "B ", 0, 100, m_hRoot);
    // An item without an editor is passed over.
    m_Tree.LinkEditors(hColor, hRed, hPlain, hAlpha, hShow);
    m_Tree.LinkEditors(hColor, nullptr, hGreen, nullptr, nullptr);
    fRed = 0.75f;
    fGreen = 0.25f;
    fUnlinked = 0.125f;
    nAlpha = 128;
    bShow = 0;
    EXPECT_EQ(Label(hRed), "R : 0.20");   // labels follow their values only when written
    EXPECT_EQ(m_Tree.EditColorItem(hColor), 1);
    EXPECT_EQ(Label(hRed), "R : 0.75");
    EXPECT_EQ(Label(hGreen), "G : 0.25");
    EXPECT_EQ(Label(hAlpha), "A : 128");
    EXPECT_EQ(Label(hShow), "Show : FALSE");
    EXPECT_EQ(Label(hUnlinked), "B : 0.50");
    EXPECT_EQ(Label(hColor), "Diffuse Color");
    EXPECT_EQ(colour[0], 0.2f);   // without a picker nothing is written
}

// The list editor opens on its item like the sliders: it keeps the tree and item it was first
// given, shows itself in the tree's font with the focus, and closing it once tells the parent.
TEST_F(PropertyTreeTest, AListEditorOpensOnItsItemAndClosesBackToTheTree)
{
    HTREEITEM hItem = m_Tree.InsertItem("Choice", m_hRoot);
    HTREEITEM hOther = m_Tree.InsertItem("Other", m_hRoot);
    HFONT hFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    m_Tree.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
    CBaseTreeListBox list;
    ASSERT_TRUE(list.Create(WS_CHILD | LVS_REPORT, CRect(10, 10, 200, 100), &m_Parent, 2000));
    list.Open(hItem, &m_Tree);
    EXPECT_TRUE(list.IsWindowVisible());
    EXPECT_EQ(CWnd::GetFocus(), &list);
    EXPECT_EQ(reinterpret_cast<HFONT>(list.SendMessage(WM_GETFONT)), hFont);
    list.Open(hOther, nullptr);
    EXPECT_EQ(list.m_hItem, hItem);
    EXPECT_EQ(list.m_pTree, &m_Tree);

    m_Parent.m_Messages.clear();
    list.Close();
    list.Close();
    EXPECT_FALSE(list.IsWindowVisible());
    ASSERT_EQ(m_Parent.m_Messages.size(), 1u);
    EXPECT_EQ(m_Parent.m_Messages[0].first, WM_TREEITEM_CLOSED);
    list.DestroyWindow();
}
