// The toolbar: layout of text and image buttons, hit testing, clicks that send the command to
// the window the toolbar was made for, hot tracking, and the custom-draw stages in order.
#include "ControlTestKit.h"

#include <win32/commctrl.h>

namespace
{
const int TOOLBAR_ID = 50;

// A 16x16 DIB section of one colour.
HBITMAP SolidBitmap(COLORREF c, int cx = 16)
{
    BITMAPINFO bmi{};
    bmi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), cx, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* pvBits = nullptr;
    HBITMAP hbm = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pvBits, nullptr, 0);
    auto* p = static_cast<uint32_t*>(pvBits);
    for (int i = 0; i < cx * 16; ++i)
        p[i] = GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
    return hbm;
}

int TextWidth(const char* sz)
{
    HDC hdc = CreateCompatibleDC(nullptr);
    HGDIOBJ hOld = SelectObject(hdc, GetStockObject(DEFAULT_GUI_FONT));
    RECT rc{};
    DrawTextA(hdc, sz, -1, &rc, DT_SINGLELINE | DT_CALCRECT);
    SelectObject(hdc, hOld);
    DeleteDC(hdc);
    return rc.right;
}

class ToolbarTest : public ControlTest
{
protected:
    // A flat list-style text toolbar: "&File", a separator, "&Edit" and a disabled "Off".
    HWND MakeTextBar()
    {
        HWND hBar = Make(TOOLBARCLASSNAMEA, "", TBSTYLE_FLAT | TBSTYLE_LIST | CCS_NORESIZE | CCS_NODIVIDER, TOOLBAR_ID,
                         10, 10, 300, 30);
        SendMessageA(hBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        EXPECT_EQ(SendMessageA(hBar, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>("&File\0&Edit\0")), 0);
        SendMessageA(hBar, TB_SETBITMAPSIZE, 0, MAKELONG(1, 1));
        TBBUTTON buttons[4] = {};
        buttons[0] = TBBUTTON{0, 101, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0};
        buttons[1] = TBBUTTON{0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, {}, 0, 0};
        buttons[2] = TBBUTTON{0, 102, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 1};
        buttons[3] = TBBUTTON{0, 103, 0, TBSTYLE_BUTTON, {}, 0, reinterpret_cast<INT_PTR>("Off")};
        EXPECT_TRUE(SendMessageA(hBar, TB_ADDBUTTONSA, 4, reinterpret_cast<LPARAM>(buttons)));
        m_Driver.pumpUntilIdle();
        return hBar;
    }
    RECT ItemRect(HWND hBar, int i)
    {
        RECT rc{};
        EXPECT_TRUE(SendMessageA(hBar, TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&rc)));
        return rc;
    }
    LRESULT HitTest(HWND hBar, POINT pt) { return SendMessageA(hBar, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&pt)); }
    COLORREF PixelOf(HWND hWnd, int x, int y)
    {
        HDC hdc = GetDC(hWnd);
        COLORREF c = GetPixel(hdc, x, y);
        ReleaseDC(hWnd, hdc);
        return c;
    }
};
}

TEST_F(ToolbarTest, TextButtonsLayOutInARowAndHitTest)
{
    HWND hBar = MakeTextBar();
    EXPECT_EQ(SendMessageA(hBar, TB_BUTTONCOUNT, 0, 0), 4);
    // Each text button is its text plus 6 pixels either side; the separator is 8 wide.
    RECT rcFile = ItemRect(hBar, 0), rcSep = ItemRect(hBar, 1), rcEdit = ItemRect(hBar, 2), rcOff = ItemRect(hBar, 3);
    EXPECT_EQ(rcFile.left, 0);
    EXPECT_EQ(rcFile.right, 12 + TextWidth("&File"));
    EXPECT_EQ(rcSep.left, rcFile.right);
    EXPECT_EQ(rcSep.right - rcSep.left, 8);
    EXPECT_EQ(rcEdit.left, rcSep.right);
    EXPECT_EQ(rcEdit.right - rcEdit.left, 12 + TextWidth("&Edit"));
    EXPECT_EQ(rcOff.left, rcEdit.right);
    EXPECT_EQ(rcFile.bottom, rcEdit.bottom);

    struct Case
    {
        POINT m_pt;
        LRESULT m_nExpected;
    } cases[] = {{{rcFile.left + 2, 5}, 0},   {{rcEdit.right - 1, 5}, 2}, {{rcSep.left + 1, 5}, -2},
                 {{rcOff.right + 5, 5}, -5}, {{rcOff.left, 5}, 3}};
    for (const Case& c : cases)
        EXPECT_EQ(HitTest(hBar, c.m_pt), c.m_nExpected) << c.m_pt.x;

    char szText[16] = {};
    EXPECT_EQ(SendMessageA(hBar, TB_GETBUTTONTEXTA, 102, reinterpret_cast<LPARAM>(szText)), 5);
    EXPECT_STREQ(szText, "&Edit");
    EXPECT_EQ(SendMessageA(hBar, TB_GETBUTTONTEXTA, 103, 0), 3);
    EXPECT_EQ(SendMessageA(hBar, TB_COMMANDTOINDEX, 102, 0), 2);

    // Hiding a button closes its gap; deleting one moves the rest along.
    SendMessageA(hBar, TB_HIDEBUTTON, 102, TRUE);
    EXPECT_EQ(ItemRect(hBar, 3).left, rcEdit.left);
    EXPECT_TRUE(SendMessageA(hBar, TB_DELETEBUTTON, 0, 0));
    EXPECT_EQ(SendMessageA(hBar, TB_BUTTONCOUNT, 0, 0), 3);
    EXPECT_EQ(ItemRect(hBar, 0).left, 0);
    EXPECT_FALSE(SendMessageA(hBar, TB_DELETEBUTTON, 3, 0));
}

TEST_F(ToolbarTest, ReleaseOverThePressedButtonSendsItsCommandToTheCreatingWindow)
{
    HWND hBar = MakeTextBar();
    RECT rcFile = ItemRect(hBar, 0), rcEdit = ItemRect(hBar, 2), rcOff = ItemRect(hBar, 3);
    // The toolbar moves to another parent, as in a rebar; its commands still reach its creator.
    HWND hOther = Create("Other", WS_CHILD | WS_VISIBLE, 0, 100, 300, 50, m_hParent);
    SetParent(hBar, hOther);
    MessageLog().clear();

    Click(hBar, rcFile.left + 3, 5);
    EXPECT_EQ(TakeCommands(), (std::vector<Notification>{{101, BN_CLICKED}}));
    // Pressed on one button and released on another: nothing; the disabled button: nothing.
    m_Driver.mouse(At(hBar, rcFile.left + 3, 5), 0, true);
    m_Driver.pumpUntilIdle();
    EXPECT_TRUE(SendMessageA(hBar, TB_ISBUTTONPRESSED, 101, 0));
    m_Driver.mouse(At(hBar, rcEdit.left + 3, 5));
    m_Driver.pumpUntilIdle();
    EXPECT_FALSE(SendMessageA(hBar, TB_ISBUTTONPRESSED, 101, 0));
    m_Driver.mouse(At(hBar, rcEdit.left + 3, 5), 0, false);
    Click(hBar, rcOff.left + 3, 5);
    EXPECT_TRUE(TakeCommands().empty());
    EXPECT_EQ(GetCapture(), nullptr);

    // A check button flips on each click; TB_SETPARENT redirects the commands.
    TBBUTTON check{0, 104, TBSTATE_ENABLED, TBSTYLE_CHECK, {}, 0, reinterpret_cast<INT_PTR>("Chk")};
    SendMessageA(hBar, TB_INSERTBUTTONA, 0, reinterpret_cast<LPARAM>(&check));
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(hBar, TB_SETPARENT, reinterpret_cast<WPARAM>(hOther), 0)), m_hParent);
    Click(hBar, 3, 5);
    EXPECT_TRUE(SendMessageA(hBar, TB_ISBUTTONCHECKED, 104, 0));
    Click(hBar, 3, 5);
    EXPECT_FALSE(SendMessageA(hBar, TB_ISBUTTONCHECKED, 104, 0));
    int nToOther = 0;
    for (const LoggedMessage& m : MessageLog())
        nToOther += m.m_hWnd == hOther && m.m_nMessage == WM_COMMAND && LOWORD(m.m_wParam) == 104;
    EXPECT_EQ(nToOther, 2);
}

TEST_F(ToolbarTest, HotItemFollowsTheMouseAndTheArrowKeys)
{
    HWND hBar = MakeTextBar();
    RECT rcEdit = ItemRect(hBar, 2);
    m_Driver.mouse(At(hBar, rcEdit.left + 2, 4));
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(SendMessageA(hBar, TB_GETHOTITEM, 0, 0), 2);
    // Over the disabled button nothing is hot; once the mouse leaves, the hot item goes.
    m_Driver.mouse(At(hBar, ItemRect(hBar, 3).left + 2, 4));
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(SendMessageA(hBar, TB_GETHOTITEM, 0, 0), -1);
    m_Driver.mouse(At(hBar, rcEdit.left + 2, 4));
    m_Driver.pumpUntilIdle();
    m_Driver.mouse(At(m_hParent, 5, 250));
    m_Driver.advance(150);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(SendMessageA(hBar, TB_GETHOTITEM, 0, 0), -1);

    // The arrows step over the separator and the disabled button, wrapping at the ends.
    EXPECT_EQ(SendMessageA(hBar, TB_SETHOTITEM, 0, 0), -1);
    for (LRESULT nExpected : {2, 0, 2})
    {
        SendMessageA(hBar, WM_KEYDOWN, VK_RIGHT, 0);
        EXPECT_EQ(SendMessageA(hBar, TB_GETHOTITEM, 0, 0), nExpected);
    }
    SendMessageA(hBar, WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(SendMessageA(hBar, TB_GETHOTITEM, 0, 0), 0);
}

TEST_F(ToolbarTest, CustomDrawStagesComeInOrderAndTheirAnswersAreFollowed)
{
    HWND hBar = MakeTextBar();
    std::vector<std::string> stages;
    CurrentHandler() = [&](HWND hWnd, UINT nMessage, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (hWnd != m_hParent || nMessage != WM_NOTIFY)
            return std::nullopt;
        auto* pcd = reinterpret_cast<NMTBCUSTOMDRAW*>(lParam);
        if (pcd->nmcd.hdr.code != NM_CUSTOMDRAW || pcd->nmcd.hdr.hwndFrom != hBar)
            return std::nullopt;
        EXPECT_EQ(pcd->nmcd.hdr.idFrom, static_cast<UINT_PTR>(TOOLBAR_ID));
        std::string strItem = pcd->nmcd.dwDrawStage & CDDS_ITEM ? " " + std::to_string(pcd->nmcd.dwItemSpec) : "";
        stages.push_back(std::to_string(pcd->nmcd.dwDrawStage) + strItem +
                         ((pcd->nmcd.uItemState & CDIS_DISABLED) ? " disabled" : ""));
        switch (pcd->nmcd.dwDrawStage)
        {
        case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
        case CDDS_ITEMPREPAINT:
            if (pcd->nmcd.dwItemSpec == 101)
                return CDRF_SKIPDEFAULT | CDRF_NOTIFYPOSTPAINT;
            pcd->clrText = RGB(255, 0, 0);
            return CDRF_DODEFAULT;
        default: return 0;
        }
    };
    InvalidateRect(hBar, nullptr, TRUE);
    m_Driver.pumpUntilIdle();
    const std::string pre = std::to_string(CDDS_ITEMPREPAINT), post = std::to_string(CDDS_ITEMPOSTPAINT);
    EXPECT_EQ(stages, (std::vector<std::string>{std::to_string(CDDS_PREPAINT), pre + " 101", post + " 101",
                                                pre + " 102", pre + " 103 disabled",
                                                std::to_string(CDDS_POSTPAINT)}));
    // The skipped button shows no text; the other draws in the colour the answer chose.
    auto CountRed = [&](const RECT& rc) {
        int n = 0;
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x)
                n += PixelOf(hBar, x, y) == RGB(255, 0, 0);
        return n;
    };
    auto CountNotFace = [&](const RECT& rc) {
        int n = 0;
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x)
                n += PixelOf(hBar, x, y) != GetSysColor(COLOR_3DFACE);
        return n;
    };
    EXPECT_EQ(CountNotFace(ItemRect(hBar, 0)), 0);
    EXPECT_GT(CountRed(ItemRect(hBar, 2)), 5);

    // Answering the first stage with CDRF_SKIPDEFAULT leaves the whole bar to its owner.
    stages.clear();
    CurrentHandler() = [&](HWND hWnd, UINT nMessage, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (hWnd == m_hParent && nMessage == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == NM_CUSTOMDRAW)
        {
            stages.push_back(std::to_string(reinterpret_cast<NMCUSTOMDRAW*>(lParam)->dwDrawStage));
            return CDRF_SKIPDEFAULT;
        }
        return std::nullopt;
    };
    InvalidateRect(hBar, nullptr, TRUE);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(stages, std::vector<std::string>{std::to_string(CDDS_PREPAINT)});
    EXPECT_EQ(CountNotFace(ItemRect(hBar, 2)), 0);
}

TEST_F(ToolbarTest, ImageButtonsDrawFromTheNormalHotAndDisabledLists)
{
    HWND hBar = Make(TOOLBARCLASSNAMEA, "", TBSTYLE_FLAT | CCS_NORESIZE, TOOLBAR_ID, 0, 0, 200, 30);
    SendMessageA(hBar, TB_SETBITMAPSIZE, 0, MAKELONG(16, 16));
    SendMessageA(hBar, TB_SETBUTTONSIZE, 0, MAKELONG(24, 23));
    HIMAGELIST lists[3];
    const COLORREF colours[3] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
    for (int i = 0; i < 3; ++i)
    {
        lists[i] = ImageList_Create(16, 16, ILC_COLOR24, 2, 1);
        HBITMAP hbm = SolidBitmap(colours[i], 32);
        ImageList_Add(lists[i], hbm, nullptr);
        DeleteObject(hbm);
    }
    EXPECT_EQ(SendMessageA(hBar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(lists[0])), 0);
    SendMessageA(hBar, TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(lists[1]));
    SendMessageA(hBar, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(lists[2]));
    TBBUTTON buttons[2] = {TBBUTTON{0, 201, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, -1},
                           TBBUTTON{1, 202, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, -1}};
    SendMessageA(hBar, TB_ADDBUTTONSA, 2, reinterpret_cast<LPARAM>(buttons));
    m_Driver.pumpUntilIdle();
    // The image is centred: (24 - 16) / 2 across, (23 - 16) / 2 down.
    EXPECT_EQ(PixelOf(hBar, 4, 3), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(hBar, 19, 18), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(hBar, 24 + 10, 10), RGB(255, 0, 0));
    SendMessageA(hBar, TB_ENABLEBUTTON, 202, FALSE);
    SendMessageA(hBar, TB_SETHOTITEM, 0, 0);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(PixelOf(hBar, 10, 10), RGB(0, 255, 0));
    EXPECT_EQ(PixelOf(hBar, 24 + 10, 10), RGB(0, 0, 255));
    DestroyWindow(hBar);
    for (HIMAGELIST h : lists)
        ImageList_Destroy(h);
}
