// The golden of a tree view with a slider under one of its items (as the property tree edits a
// value) and a ticked trackbar with a selection range, drawn exactly.
#include "GoldenKit.h"
#include "WindowTestKit.h"

#include <win32/commctrl.h>

#include <cstring>

namespace
{
HTREEITEM Insert(HWND hTree, const char* szText, HTREEITEM hParent)
{
    TVINSERTSTRUCTA tvis{};
    tvis.hParent = hParent;
    tvis.hInsertAfter = TVI_LAST;
    tvis.item.mask = TVIF_TEXT;
    tvis.item.pszText = const_cast<char*>(szText);
    return reinterpret_cast<HTREEITEM>(SendMessageA(hTree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&tvis)));
}

TEST_F(WindowTest, TreeWithSliderMatchesItsGolden)
{
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = RecordingProc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1);
    wc.lpszClassName = "GoldenPanel";
    ASSERT_NE(RegisterClassExA(&wc), 0);
    HWND hPanel = CreateWindowExA(0, "GoldenPanel", "", WS_POPUP | WS_VISIBLE, 40, 30, 200, 190, nullptr, nullptr,
                                  nullptr, nullptr);
    HWND hTree = CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "",
                                 WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, 5, 5, 190, 140,
                                 hPanel, reinterpret_cast<HMENU>(1000), nullptr, nullptr);
    ASSERT_NE(hTree, nullptr);
    HTREEITEM hRoot = Insert(hTree, "Scene Nodes", TVI_ROOT);
    HTREEITEM hOptions = Insert(hTree, "Rendering Options", hRoot);
    Insert(hTree, "Trace Photon : TRUE", hOptions);
    HTREEITEM hPhoton = Insert(hTree, "Direct Photon : 48", hOptions);
    Insert(hTree, "Search Radius : 1.00", hOptions);
    HTREEITEM hCamera = Insert(hTree, "Camera", hRoot);
    Insert(hTree, "Fov : 45.00", hCamera);
    Insert(hTree, "Light List", hRoot);
    SendMessageA(hTree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(hRoot));
    SendMessageA(hTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(hPhoton));
    SetFocus(hTree);

    // The slider opens under the selected item's label, as the property tree places it.
    RECT rcItem;
    std::memcpy(&rcItem, &hPhoton, sizeof(hPhoton));
    ASSERT_TRUE(SendMessageA(hTree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rcItem)));
    HWND hSlider = CreateWindowExA(0, TRACKBAR_CLASSA, "", WS_CHILD | WS_VISIBLE | TBS_NOTICKS, rcItem.left, rcItem.bottom,
                                   140, 20, hTree, nullptr, nullptr, nullptr);
    ASSERT_NE(hSlider, nullptr);
    SendMessageA(hSlider, TBM_SETRANGE, TRUE, MAKELPARAM(5, 1000));
    SendMessageA(hSlider, TBM_SETPOS, TRUE, 480);

    HWND hTicked = CreateWindowExA(0, TRACKBAR_CLASSA, "", WS_CHILD | WS_VISIBLE | TBS_AUTOTICKS | TBS_TOP | TBS_ENABLESELRANGE,
                                   5, 155, 190, 28, hPanel, reinterpret_cast<HMENU>(1021), nullptr, nullptr);
    SendMessageA(hTicked, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
    SendMessageA(hTicked, TBM_SETSEL, TRUE, MAKELPARAM(2, 6));
    SendMessageA(hTicked, TBM_SETPOS, TRUE, 4);
    m_Driver.pumpUntilIdle();

    int nDiffering = CompareWithGolden(hPanel, "tree_with_slider");
    if (nDiffering < 0)
        GTEST_SKIP() << "the DejaVu font files differ from the ones the golden was drawn with";
    EXPECT_EQ(nDiffering, 0);
}
}
