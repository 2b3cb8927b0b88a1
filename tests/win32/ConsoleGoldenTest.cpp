// A log window as the console draws it: a captioned window with its menu bar, a report list of
// icon, message and date columns whose rows overflow (its scroll bar shows), a selected row.
#include "GoldenKit.h"
#include "WindowTestKit.h"

#include <win32/commctrl.h>
#include <win32/menus.h>

namespace
{
TEST_F(WindowTest, ConsoleWindowWithMenuBarAndReportListMatchesItsGolden)
{
    HMENU hMenu = CreateMenu();
    HMENU hFile = CreatePopupMenu();
    AppendMenuA(hFile, MF_STRING, 32807, "Save log as...");
    AppendMenuA(hMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(hFile), "File");
    AppendMenuA(hMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), "&Tools");
    HWND hWnd = CreateWindowExA(WS_EX_DLGMODALFRAME, "TestWnd", "Console", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                                20, 20, 320, 170, nullptr, hMenu, nullptr, nullptr);
    HWND hList = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS,
                                 6, 6, 296, 100, hWnd, reinterpret_cast<HMENU>(1111), nullptr, nullptr);
    // Two 16 x 16 icons: a yellow and a red square with a transparent one-pixel rim.
    HIMAGELIST himl = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 2, 0);
    for (COLORREF c : {RGB(240, 200, 0), RGB(200, 0, 0)})
    {
        std::vector<DWORD> pixels(16 * 16, 0xC0C0C0);
        for (int y = 1; y < 15; ++y)
            for (int x = 1; x < 15; ++x)
                pixels[static_cast<size_t>(y) * 16 + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        HBITMAP hbm = CreateBitmap(16, 16, 1, 32, pixels.data());
        ImageList_AddMasked(himl, hbm, RGB(192, 192, 192));
        DeleteObject(hbm);
    }
    SendMessageA(hList, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(himl));
    const struct
    {
        const char* m_szText;
        int m_nWidth;
    } columns[] = {{"Type", 40}, {"Message", 150}, {"Date", 115}};
    for (int i = 0; i < 3; ++i)
    {
        LVCOLUMNA c{LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM, 0, columns[i].m_nWidth, const_cast<char*>(columns[i].m_szText), 0, i};
        SendMessageA(hList, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&c));
    }
    const char* messages[] = {"Scene loaded", "Texture missing", "Shader refused", "Saved", "Done", "Idle"};
    for (int i = 0; i < 6; ++i)
    {
        LVITEMA item{LVIF_TEXT | LVIF_IMAGE, i, 0, 0, 0, const_cast<char*>(""), 0, i % 2, 0, 0};
        SendMessageA(hList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        LVITEMA sub{};
        sub.iSubItem = 1;
        sub.pszText = const_cast<char*>(messages[i]);
        SendMessageA(hList, LVM_SETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&sub));
        sub.iSubItem = 2;
        sub.pszText = const_cast<char*>("2026-12-11 12:00:00");
        SendMessageA(hList, LVM_SETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&sub));
    }
    LVITEMA state{};
    state.state = state.stateMask = LVIS_SELECTED;
    SendMessageA(hList, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
    m_Driver.pumpUntilIdle();
    // Six rows and 305 pixels of columns do not fit: both bars show.
    EXPECT_EQ(GetWindowLongPtrA(hList, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL), WS_VSCROLL | WS_HSCROLL);
    int nDiffering = CompareWithGolden(hWnd, "console_window");
    if (nDiffering < 0)
        GTEST_SKIP() << "the DejaVu font files differ from the ones the golden was drawn with";
    EXPECT_EQ(nDiffering, 0);
    DestroyWindow(hWnd);
    DestroyMenu(hMenu);
}
}
