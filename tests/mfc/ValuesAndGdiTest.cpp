// CString, the geometry values and the GDI wrappers over a memory DC.
#include "MfcTestKit.h"

#include <cstring>

namespace
{
TEST(CStringTest, EditsAndSearchesStayInBounds)
{
    CString s("  Hello, World  ");
    s.Trim();
    EXPECT_STREQ(s, "Hello, World");
    struct Case
    {
        CString m_Result;
        const char* m_szExpected;
    };
    const Case cases[] = {
        {s.Left(5), "Hello"},         {s.Left(99), "Hello, World"}, {s.Left(-1), ""},
        {s.Right(5), "World"},        {s.Mid(7), "World"},          {s.Mid(7, 2), "Wo"},
        {s.Mid(50), ""},              {s.Mid(-3, 2), "He"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.m_Result, c.m_szExpected);
    EXPECT_EQ(s.Find(','), 5);
    EXPECT_EQ(s.Find("World"), 7);
    EXPECT_EQ(s.Find('x'), -1);
    EXPECT_EQ(s.Find('H', 99), -1);
    EXPECT_EQ(s.ReverseFind('o'), 8);
    EXPECT_EQ(s.CompareNoCase("hello, world"), 0);

    CString t("a-b-c");
    EXPECT_EQ(t.Replace("-", "--"), 2);
    EXPECT_STREQ(t, "a--b--c");
    t.Format("%s=%d %.2f", "x", 42, 1.5);
    EXPECT_STREQ(t, "x=42 1.50");
    CString u;
    EXPECT_FALSE(u.LoadString(54321));
    EXPECT_TRUE(u.IsEmpty());

    char* p = u.GetBuffer(10);
    std::strcpy(p, "abc");
    u.ReleaseBuffer();
    EXPECT_EQ(u.GetLength(), 3);
    EXPECT_STREQ(u + "d" + CString('e', 2), "abcdee");
}

TEST(CStringTest, ExtractsDocumentSubStrings)
{
    CString str;
    const char* szDoc = "Quenlaris\n\nQuenlaris\n\n\nQuenlaris.Document\nQuenlaris Document";
    EXPECT_TRUE(AfxExtractSubString(str, szDoc, 0));
    EXPECT_STREQ(str, "Quenlaris");
    EXPECT_TRUE(AfxExtractSubString(str, szDoc, 1));
    EXPECT_STREQ(str, "");
    EXPECT_TRUE(AfxExtractSubString(str, szDoc, 6));
    EXPECT_STREQ(str, "Quenlaris Document");
    EXPECT_FALSE(AfxExtractSubString(str, szDoc, 7));
}

TEST(GeometryTest, RectArithmetic)
{
    CRect rc(10, 20, 110, 70);
    EXPECT_EQ(rc.Width(), 100);
    EXPECT_EQ(rc.Height(), 50);
    EXPECT_EQ(rc.CenterPoint(), CPoint(60, 45));
    EXPECT_TRUE(rc.PtInRect(CPoint(10, 20)));
    EXPECT_FALSE(rc.PtInRect(CPoint(110, 20)));   // the right edge is outside
    rc.DeflateRect(1, 2, 3, 4);
    EXPECT_EQ(rc, CRect(11, 22, 107, 66));
    rc.OffsetRect(CPoint(-11, -22));
    EXPECT_EQ(rc.TopLeft(), CPoint(0, 0));
    EXPECT_EQ(CPoint(MAKELPARAM(-5, 7)), CPoint(-5, 7));
}

class GdiTest : public MfcTest
{
};

TEST_F(GdiTest, MemoryDCDrawsThroughTheWrappers)
{
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CClientDC screen(nullptr);
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 4, 4));
    CBitmap* pOld = dc.SelectObject(&bitmap);
    ASSERT_NE(pOld, nullptr);
    EXPECT_TRUE(pOld->IsKindOf(RUNTIME_CLASS(CBitmap)));

    dc.FillSolidRect(0, 0, 4, 4, RGB(0, 0, 255));
    dc.Draw3dRect(0, 0, 4, 4, RGB(255, 255, 255), RGB(128, 128, 128));
    // Top-left colour: the top row and left column but their last pixels.
    const COLORREF W = RGB(255, 255, 255), G = RGB(128, 128, 128), B = RGB(0, 0, 255);
    const COLORREF expected[4][4] = {{W, W, W, G}, {W, B, B, G}, {W, B, B, G}, {G, G, G, G}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(dc.GetPixel(x, y), expected[y][x]) << x << "," << y;

    CBrush brush(RGB(255, 0, 0));
    CRect rc(1, 1, 3, 3);
    dc.FillRect(&rc, &brush);
    EXPECT_EQ(dc.GetPixel(1, 1), RGB(255, 0, 0));
    EXPECT_EQ(dc.GetPixel(3, 3), G);

    BITMAP bm{};
    ASSERT_TRUE(bitmap.GetBitmap(&bm));
    EXPECT_EQ(bm.bmWidth, 4);
    dc.SelectObject(pOld);

    // A wrapper made for a handle no object owns is the same object until idle time.
    HBRUSH hStock = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    CBrush* pTemp = CBrush::FromHandle(hStock);
    ASSERT_NE(pTemp, nullptr);
    EXPECT_EQ(CBrush::FromHandle(hStock), pTemp);
    EXPECT_EQ(CBrush::FromHandle(brush), &brush);
    AfxDeleteTempMap();
    EXPECT_EQ(GetObjectType(hStock), static_cast<DWORD>(OBJ_BRUSH));   // the stock brush lives on
}

TEST_F(GdiTest, PointFontHasTheCharacterHeightOfItsSize)
{
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(80, "MS Sans Serif"));
    LOGFONT lf{};
    ASSERT_TRUE(font.GetLogFont(&lf));
    EXPECT_EQ(lf.lfHeight, -11);   // 8 pt at 96 DPI
    EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");
    HFONT hFont = font;
    font.DeleteObject();
    EXPECT_EQ(GetObjectType(hFont), 0u);
}
}

namespace
{
TEST(CUIntArrayTest, GrowsInsertsAndRemovesWithinBounds)
{
    CUIntArray ids;
    EXPECT_EQ(ids.Add(57600), 0);
    EXPECT_EQ(ids.Add(57601), 1);
    ids.InsertAt(1, 7, 2);
    EXPECT_EQ(ids.GetSize(), 4);
    EXPECT_EQ(ids[1], 7u);
    EXPECT_EQ(ids[3], 57601u);
    ids.RemoveAt(1, 5);   // more than there are: up to the end
    EXPECT_EQ(ids.GetSize(), 1);
    EXPECT_EQ(ids.GetAt(5), 0u);
    ids.SetAtGrow(3, 9);
    EXPECT_EQ(ids.GetSize(), 4);
    EXPECT_EQ(ids[2], 0u);
    EXPECT_EQ(ids[3], 9u);
    ids.RemoveAll();
    EXPECT_TRUE(ids.IsEmpty());
}
}
