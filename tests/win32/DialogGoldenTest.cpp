// The golden snapshot of a dialog with one of each control, drawn by the controls themselves.
#include "GoldenKit.h"
#include "WindowTestKit.h"

#include <win32/windows.h>

#include <vector>

namespace
{
const DWORD CHILD = WS_CHILD | WS_VISIBLE;
const char* const SHAPES[] = {"Sphere", "Box", "Cone", "Rectangle", nullptr};
const char* const ITEMS[] = {"Red", "Green", "Blue", "Alpha", nullptr};

const win32::DialogItemTemplate ALL_ITEMS[] = {
    {WC_STATICA, "", 10, CHILD | SS_ICON, 0, 7, 7, 21, 20},
    {WC_STATICA, "Name:", -1, CHILD | SS_LEFT, 0, 34, 9, 30, 8},
    {WC_EDITA, "Lamp 1", 11, CHILD | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 64, 7, 60, 14},
    {WC_EDITA, "128", 12, CHILD | WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY, WS_EX_CLIENTEDGE, 130, 7, 40, 14},
    {UPDOWN_CLASSA, "", 13, CHILD | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0,
     0, 0, 10, 14},
    {WC_BUTTONA, "Options", -1, CHILD | BS_GROUPBOX, 0, 7, 28, 90, 58},
    {WC_BUTTONA, "Shadows", 14, CHILD | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 14, 40, 70, 10},
    {WC_BUTTONA, "Point", 15, CHILD | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 0, 14, 54, 70, 10},
    {WC_BUTTONA, "Spot", 16, CHILD | BS_AUTORADIOBUTTON, 0, 14, 68, 70, 10},
    {WC_BUTTONA, "Hold", 17, CHILD | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX | BS_PUSHLIKE, 0, 104, 28, 40, 14},
    {WC_COMBOBOXA, "", 18, CHILD | WS_TABSTOP | CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL, 0, 104, 48, 70, 60, SHAPES},
    {WC_LISTBOXA, "", 19, CHILD | WS_TABSTOP | LBS_NOTIFY, WS_EX_CLIENTEDGE, 104, 66, 70, 34, ITEMS},
    {PROGRESS_CLASSA, "", 20, CHILD, 0, 7, 92, 90, 8},
    {WC_SCROLLBARA, "", 21, CHILD | SBS_HORZ, 0, 7, 104, 90, 10},
    {WC_BUTTONA, "OK", IDOK, CHILD | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 0, 180, 7, 42, 14},
    {WC_BUTTONA, "Cancel", IDCANCEL, CHILD | WS_TABSTOP | BS_PUSHBUTTON, 0, 180, 24, 42, 14},
    {WC_SCROLLBARA, "", 59936, CHILD | SBS_SIZEBOX | SBS_SIZEBOXBOTTOMRIGHTALIGN | SBS_SIZEGRIP, 0, 0, 0, 230, 118},
};
const win32::DialogTemplate ALL{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | WS_VISIBLE,
                                0, 10, 10, 230, 118, "Controls", "MS Sans Serif", 8, ALL_ITEMS,
                                sizeof(ALL_ITEMS) / sizeof(ALL_ITEMS[0])};

// A 32x32 icon drawn from code: a yellow disc ringed in black on a transparent ground.
HICON MakeIcon()
{
    HDC hScreen = GetDC(nullptr);
    HBITMAP hColor = CreateCompatibleBitmap(hScreen, 32, 32);
    HBITMAP hMask = CreateBitmap(32, 32, 1, 1, nullptr);
    HDC hdc = CreateCompatibleDC(hScreen);
    HGDIOBJ hOld = SelectObject(hdc, hColor);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
        {
            int d2 = (x - 16) * (x - 16) + (y - 16) * (y - 16);
            SetPixel(hdc, x, y, d2 < 144 ? RGB(255, 220, 0) : d2 < 196 ? RGB(0, 0, 0) : RGB(0, 0, 0));
        }
    SelectObject(hdc, hMask);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            SetPixel(hdc, x, y, (x - 16) * (x - 16) + (y - 16) * (y - 16) < 196 ? RGB(0, 0, 0) : RGB(255, 255, 255));
    SelectObject(hdc, hOld);
    DeleteDC(hdc);
    ReleaseDC(nullptr, hScreen);
    ICONINFO info{TRUE, 16, 16, hMask, hColor};
    HICON hIcon = CreateIconIndirect(&info);
    DeleteObject(hMask);
    DeleteObject(hColor);
    return hIcon;
}

INT_PTR CALLBACK AllProc(HWND hDlg, UINT nMessage, WPARAM, LPARAM lParam)
{
    if (nMessage != WM_INITDIALOG)
        return FALSE;
    SendDlgItemMessageA(hDlg, 10, STM_SETICON, static_cast<WPARAM>(lParam), 0);
    SendDlgItemMessageA(hDlg, 13, UDM_SETRANGE, 0, MAKELONG(255, 0));
    SendDlgItemMessageA(hDlg, 13, UDM_SETPOS, 0, MAKELONG(128, 0));
    CheckDlgButton(hDlg, 14, BST_CHECKED);
    CheckRadioButton(hDlg, 15, 16, 16);
    CheckDlgButton(hDlg, 17, BST_CHECKED);
    SendDlgItemMessageA(hDlg, 18, CB_SETCURSEL, 1, 0);
    SendDlgItemMessageA(hDlg, 19, LB_SETCURSEL, 2, 0);
    SendDlgItemMessageA(hDlg, 20, PBM_SETPOS, 40, 0);
    SCROLLINFO si{sizeof(si), SIF_ALL, 0, 99, 25, 30, 0};
    SetScrollInfo(GetDlgItem(hDlg, 21), SB_CTL, &si, TRUE);
    return TRUE;   // the focus goes to the first tab stop, the name
}

TEST_F(WindowTest, DialogWithEachControlMatchesItsGolden)
{
    HICON hIcon = MakeIcon();
    HWND hDlg = CreateDialogIndirectParamA(nullptr, &ALL, nullptr, AllProc, reinterpret_cast<LPARAM>(hIcon));
    ASSERT_NE(hDlg, nullptr);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), 11);
    int nDiffering = CompareWithGolden(hDlg, "dialog_controls");
    if (nDiffering < 0)
        GTEST_SKIP() << "the DejaVu font files differ from the ones the golden was drawn with";
    EXPECT_EQ(nDiffering, 0);
    DestroyWindow(hDlg);
    DestroyIcon(hIcon);
}
}
