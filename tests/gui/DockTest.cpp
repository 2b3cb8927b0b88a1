// Dock dialogs and dock windows dragged by their client area: snapping to the reference window's
// edges, the display change that refreshes the reference, and the tiled background bitmap.
#include "../win32/TempDir.h"
#include "GuiTestKit.h"
#include "mfc_gui/DockDialog.h"
#include "mfc_gui/DockWnd.h"

namespace
{
// The reference rectangle is protected; the tests read it.
class CTestDockWnd : public CDockWnd
{
public:
    const RECT& Reference() const { return m_rcReference; }
};

const int DOCK_DIALOG_ID = 900;
const win32::DialogTemplate DOCK_TEMPLATE = {WS_CHILD | WS_VISIBLE | DS_SETFONT, 0, 20, 20, 40, 24, "", "MS Sans Serif",
                                             8, nullptr, 0};

class DockTest : public GuiTest
{
protected:
    // A 50 x 40 dock window in a 400 x 300 host at (100, 100), first placed at client (100, 100).
    void MakeDockWnd()
    {
        Host(100, 100, 400, 300);
        const char* szClass = AfxRegisterWndClass(0, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
        ASSERT_TRUE(m_Dock.CreateEx(0, szClass, "Dock", WS_CHILD | WS_VISIBLE, CRect(100, 100, 150, 140), &m_Host, 1));
        m_Driver.pumpUntilIdle();
    }
    CRect DockRect() const
    {
        CRect rc;
        m_Dock.GetWindowRect(&rc);
        return rc;
    }
    // Presses 5 pixels inside the window's top-left corner and moves the cursor so that the
    // corner would land on (x, y) in screen coordinates.
    void DragCornerTo(CWnd& wnd, int x, int y)
    {
        CRect rc;
        wnd.GetWindowRect(&rc);
        Drag({rc.left + 5, rc.top + 5}, {x + 5, y + 5});
    }

    CTestDockWnd m_Dock;
};
}

TEST_F(DockTest, EdgesSnapWhenCloserThanTenPixels)
{
    MakeDockWnd();
    // The host's screen rectangle is (100, 100, 500, 400). Each case drags the top-left corner.
    struct Case
    {
        int x, y;
        CPoint expected;
        bool bDocked;
    } cases[] = {
        {250, 109, {250, 100}, true},    // top 9 below the reference top: flush
        {250, 110, {250, 110}, false},   // 10 below: where the cursor put it
        {250, 91, {250, 100}, true},     // 9 above
        {109, 200, {100, 200}, true},    // left
        {110, 200, {110, 200}, false},
        {459, 200, {450, 200}, true},    // right edge (x + 50) at 509
        {250, 351, {250, 360}, true},    // bottom edge (y + 40) at 391
        {455, 355, {450, 360}, true},    // both: right edge at 505, bottom at 395
        {300, 250, {300, 250}, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
        DragCornerTo(m_Dock, c.x, c.y);
        EXPECT_EQ(DockRect().TopLeft(), c.expected);
        EXPECT_EQ(DockRect().Size(), CSize(50, 40));
        EXPECT_EQ(m_Dock.IsDocked(), c.bDocked ? TRUE : FALSE);
    }
}

TEST_F(DockTest, RightWinsOverLeftAndClientDragsCanBeSwitchedOff)
{
    MakeDockWnd();
    // 395 wide in a 400 wide reference: both side edges are near, the right one wins.
    m_Dock.MoveWindow(10, 100, 395, 40);
    DragCornerTo(m_Dock, 103, 200);
    EXPECT_EQ(DockRect(), CRect(105, 200, 500, 240));

    m_Dock.MoveWindow(100, 100, 50, 40);
    m_Dock.SetDragByClient(FALSE);
    const CRect rcBefore = DockRect();
    DragCornerTo(m_Dock, 300, 300);
    EXPECT_EQ(DockRect(), rcBefore);
    m_Dock.SetDragByClient(TRUE);
    DragCornerTo(m_Dock, 300, 300);
    EXPECT_EQ(DockRect().TopLeft(), CPoint(300, 300));
}

TEST_F(DockTest, ADisplayChangeRefreshesTheReference)
{
    MakeDockWnd();
    EXPECT_EQ(CRect(m_Dock.Reference()), CRect(100, 100, 500, 400));
    m_Host.MoveWindow(0, 0, 640, 480);
    EXPECT_EQ(CRect(m_Dock.Reference()), CRect(100, 100, 500, 400));
    m_Dock.SendMessage(WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 1024));
    EXPECT_EQ(CRect(m_Dock.Reference()), CRect(0, 0, 640, 480));
}

TEST_F(DockTest, DockDialogsAlwaysMoveByTheirClientArea)
{
    ResourceEntry entry{"DIALOG", DOCK_DIALOG_ID, &DOCK_TEMPLATE, sizeof(DOCK_TEMPLATE)};
    RegisterResourceTable(&entry, 1);
    Host(100, 100, 400, 300);
    CDockDialog dlg(DOCK_DIALOG_ID, &m_Host);
    ASSERT_TRUE(dlg.Create(DOCK_DIALOG_ID, &m_Host));
    m_Driver.pumpUntilIdle();
    CRect rc;
    dlg.GetWindowRect(&rc);
    EXPECT_EQ(rc, CRect(130, 133, 190, 172));   // 20, 20, 40 x 24 dialog units
    DragCornerTo(dlg, 300, 205);
    dlg.GetWindowRect(&rc);
    EXPECT_EQ(rc.TopLeft(), CPoint(300, 205));
    EXPECT_FALSE(dlg.IsDocked());
    DragCornerTo(dlg, 93, 366);   // left at 93, bottom at 405
    dlg.GetWindowRect(&rc);
    EXPECT_EQ(rc.TopLeft(), CPoint(100, 400 - 39));
    EXPECT_TRUE(dlg.IsDocked());
    dlg.DestroyWindow();
}

TEST_F(DockTest, TheBackgroundTilesFromTheOriginAndIsDeletedWithTheWindow)
{
    TempDir temp;
    // 3 x 2 pixels, all different.
    const std::vector<uint32_t> tile = {0xFF0000, 0x00FF00, 0x0000FF, 0x808080, 0xFFFF00, 0x00FFFF};
    ASSERT_TRUE(WriteBmp24(temp / "tile.bmp", 3, 2, tile));
    MakeDockWnd();
    m_Dock.MoveWindow(100, 100, 7, 5);

    // Before a load the default erase paints the class brush and the size stays zero.
    ASSERT_EQ(m_Dock.SetBackgroundFromFile((temp / "missing.bmp").c_str()), 0);
    ASSERT_NE(m_Dock.m_pBackground, nullptr);
    EXPECT_EQ(m_Dock.m_pBackground->GetWidth(), 0);
    EXPECT_EQ(m_Dock.m_pBackground->GetHeight(), 0);
    m_Dock.Invalidate();
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(WindowPixel(m_Dock, 4, 3), ToRgb(GetSysColor(COLOR_BTNFACE)));

    ASSERT_EQ(m_Dock.SetBackgroundFromFile((temp / "tile.bmp").c_str()), 1);
    EXPECT_EQ(m_Dock.m_pBackground->GetWidth(), 3);
    EXPECT_EQ(m_Dock.m_pBackground->GetHeight(), 2);
    EXPECT_NE(m_Dock.m_pBackground->GetPalette()->m_hObject, nullptr);
    m_Dock.Invalidate();
    m_Driver.pumpUntilIdle();
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
        {
            const uint32_t c = tile[(y % 2) * 3 + x % 3];
            EXPECT_EQ(WindowPixel(m_Dock, x, y), c) << x << ", " << y;
        }

    m_Dock.DestroyWindow();
    EXPECT_EQ(m_Dock.m_pBackground, nullptr);
}

TEST(BackgroundBitmapTest, PaintingBeforeALoadDoesNothing)
{
    win32::Driver driver;
    CBackgroundBitmap background;
    CClientDC dc(nullptr);
    EXPECT_EQ(background.Paint(&dc, CRect(0, 0, 10, 10)), 0);
    EXPECT_EQ(background.LoadFromFile(nullptr), 1);
    EXPECT_EQ(background.Paint(&dc, CRect(0, 0, 10, 10)), 0);
    EXPECT_EQ(background.GetWidth(), 0);
}
