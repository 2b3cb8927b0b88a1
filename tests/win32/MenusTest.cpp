#include "WindowTestKit.h"

#include <win32/menus.h>
#include <win32/resources.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace
{
// "&File" (Open 57601, a separator, Exit 57665) and "&View" (Status Bar 59393).
struct SampleMenu
{
    HMENU m_hBar = CreateMenu();
    HMENU m_hFile = CreatePopupMenu();
    HMENU m_hView = CreatePopupMenu();
    SampleMenu()
    {
        AppendMenuA(m_hFile, MF_STRING, 57601, "&Open QNL...");
        AppendMenuA(m_hFile, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(m_hFile, MF_STRING, 57665, "E&xit");
        AppendMenuA(m_hView, MF_STRING | MF_CHECKED, 59393, "&Status Bar");
        AppendMenuA(m_hBar, MF_POPUP, reinterpret_cast<UINT_PTR>(m_hFile), "&File");
        AppendMenuA(m_hBar, MF_POPUP, reinterpret_cast<UINT_PTR>(m_hView), "&View");
    }
};

// A menu template as a resource compiler writes it: version, header size, then the items.
std::vector<BYTE> Template(const std::vector<std::pair<WORD, std::pair<WORD, std::string>>>& items)
{
    std::vector<BYTE> out{0, 0, 0, 0};
    auto word = [&](WORD w) {
        out.push_back(static_cast<BYTE>(w));
        out.push_back(static_cast<BYTE>(w >> 8));
    };
    for (const auto& item : items)
    {
        word(item.first);
        if (!(item.first & MF_POPUP))
            word(item.second.first);
        for (char c : item.second.second)
            word(static_cast<BYTE>(c));
        word(0);
    }
    return out;
}
}

class MenusTest : public WindowTest
{
};

TEST_F(MenusTest, CheckAndEnableFindCommandsInSubmenusAndReturnThePreviousState)
{
    SampleMenu m;
    // The bar's handle reaches the View popup's item by command.
    EXPECT_EQ(CheckMenuItem(m.m_hBar, 59393, MF_UNCHECKED), static_cast<DWORD>(MF_CHECKED));
    EXPECT_EQ(CheckMenuItem(m.m_hBar, 59393, MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED));
    EXPECT_EQ(GetMenuState(m.m_hView, 0, MF_BYPOSITION) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(CheckMenuItem(m.m_hBar, 4242, MF_CHECKED), static_cast<DWORD>(-1));
    EXPECT_EQ(CheckMenuItem(m.m_hFile, 2, MF_BYPOSITION | MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED));
    EXPECT_EQ(GetMenuState(m.m_hBar, 57665, MF_BYCOMMAND) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));

    EXPECT_EQ(EnableMenuItem(m.m_hBar, 57601, MF_GRAYED), MF_ENABLED);
    EXPECT_EQ(EnableMenuItem(m.m_hBar, 57601, MF_ENABLED), MF_GRAYED);
    EXPECT_EQ(EnableMenuItem(m.m_hBar, 1, MF_ENABLED), -1);

    // A popup's state carries its item count in the high byte.
    EXPECT_EQ(GetMenuState(m.m_hBar, 0, MF_BYPOSITION), static_cast<UINT>(MF_POPUP | 3 << 8));
    EXPECT_EQ(GetMenuState(m.m_hFile, 1, MF_BYPOSITION), static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(GetMenuItemID(m.m_hBar, 0), static_cast<UINT>(-1));
    EXPECT_EQ(GetMenuItemID(m.m_hFile, 2), 57665u);
    EXPECT_EQ(GetSubMenu(m.m_hBar, 1), m.m_hView);
    EXPECT_EQ(GetSubMenu(m.m_hBar, 2), nullptr);

    ASSERT_TRUE(CheckMenuRadioItem(m.m_hFile, 57601, 57665, 57665, MF_BYCOMMAND));
    EXPECT_EQ(GetMenuState(m.m_hFile, 57601, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_NE(GetMenuState(m.m_hFile, 57665, MF_BYCOMMAND) & MF_CHECKED, 0u);
}

TEST_F(MenusTest, TextsComeBackTruncatedWithTheirLength)
{
    SampleMenu m;
    char buffer[5];
    EXPECT_EQ(GetMenuStringA(m.m_hBar, 57601, buffer, sizeof(buffer), MF_BYCOMMAND), 4);
    EXPECT_STREQ(buffer, "&Ope");
    EXPECT_EQ(GetMenuStringA(m.m_hBar, 1, nullptr, 0, MF_BYPOSITION), 5);

    MENUITEMINFOA mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_STRING | MIIM_ID | MIIM_SUBMENU;
    EXPECT_TRUE(GetMenuItemInfoA(m.m_hBar, 0, TRUE, &mii));
    EXPECT_EQ(mii.cch, 5u);   // no buffer: the length
    EXPECT_EQ(mii.hSubMenu, m.m_hFile);

    // Owner drawing keeps the text and takes the item data.
    mii.fMask = MIIM_FTYPE | MIIM_DATA;
    mii.fType = MFT_OWNERDRAW;
    mii.dwItemData = 77;
    ASSERT_TRUE(SetMenuItemInfoA(m.m_hFile, 57665, FALSE, &mii));
    EXPECT_EQ(GetMenuState(m.m_hFile, 57665, MF_BYCOMMAND) & MF_OWNERDRAW, static_cast<UINT>(MF_OWNERDRAW));
    EXPECT_EQ(GetMenuStringA(m.m_hFile, 57665, buffer, sizeof(buffer), MF_BYCOMMAND), 4);

    ASSERT_TRUE(InsertMenuA(m.m_hFile, 0, MF_BYPOSITION | MF_STRING, 32820, "Open 3DS..."));
    EXPECT_EQ(GetMenuItemID(m.m_hFile, 0), 32820u);
    ASSERT_TRUE(InsertMenuA(m.m_hBar, 57665, MF_BYCOMMAND | MF_STRING, 32819, "Merge"));
    EXPECT_EQ(GetMenuItemID(m.m_hFile, 3), 32819u);
    EXPECT_EQ(GetMenuItemCount(m.m_hFile), 5);
}

TEST_F(MenusTest, DestroyedMenusAndTheirSubmenusAreStaleAndAWindowDestroysItsMenu)
{
    SampleMenu m;
    ASSERT_TRUE(DeleteMenu(m.m_hBar, 1, MF_BYPOSITION));
    EXPECT_FALSE(IsMenu(m.m_hView));
    EXPECT_EQ(CheckMenuItem(m.m_hBar, 59393, MF_CHECKED), static_cast<DWORD>(-1));

    HMENU hKept = CreatePopupMenu();
    AppendMenuA(m.m_hBar, MF_POPUP, reinterpret_cast<UINT_PTR>(hKept), "Kept");
    ASSERT_TRUE(RemoveMenu(m.m_hBar, 1, MF_BYPOSITION));
    EXPECT_TRUE(IsMenu(hKept));

    HWND hFrame = Create("Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200);
    RECT rcBefore{};
    GetClientRect(hFrame, &rcBefore);
    ASSERT_TRUE(SetMenu(hFrame, m.m_hBar));
    EXPECT_EQ(GetMenu(hFrame), m.m_hBar);
    RECT rcAfter{};
    GetClientRect(hFrame, &rcAfter);
    EXPECT_EQ(rcBefore.bottom - rcAfter.bottom, GetSystemMetrics(SM_CYMENU));
    DestroyWindow(hFrame);
    EXPECT_FALSE(IsMenu(m.m_hBar));
    EXPECT_FALSE(IsMenu(m.m_hFile));
    EXPECT_TRUE(IsMenu(hKept));
    EXPECT_FALSE(DestroyMenu(m.m_hBar));
    EXPECT_EQ(GetMenuItemCount(m.m_hBar), -1);
}

TEST_F(MenusTest, LoadMenuReadsATemplateAndRefusesATruncatedOne)
{
    std::vector<BYTE> good = Template({{MF_POPUP, {0, "&File"}},
                                       {MF_STRING, {57601, "&Open"}},
                                       {0, {0, ""}},
                                       {MF_END, {57665, "E&xit"}},
                                       {MF_POPUP | MF_END, {0, "&View"}},
                                       {MF_CHECKED | MF_END, {59393, "&Status Bar"}}});
    std::vector<BYTE> cut(good.begin(), good.end() - 6);
    ResourceEntry entries[] = {{"MENU", 128, good.data(), good.size()}, {"MENU", 129, cut.data(), cut.size()}};
    size_t nTables = GetResourceTableCount();
    RegisterResourceTable(entries, 2);

    HMENU hMenu = LoadMenuA(nullptr, MAKEINTRESOURCEA(128));
    ASSERT_NE(hMenu, nullptr);
    EXPECT_EQ(GetMenuItemCount(hMenu), 2);
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(hMenu, 0)), 3);
    EXPECT_EQ(GetMenuState(GetSubMenu(hMenu, 0), 1, MF_BYPOSITION), static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(GetMenuState(hMenu, 59393, MF_BYCOMMAND), static_cast<UINT>(MF_CHECKED));
    char text[16];
    GetMenuStringA(hMenu, 57665, text, sizeof(text), MF_BYCOMMAND);
    EXPECT_STREQ(text, "E&xit");

    EXPECT_EQ(LoadMenuA(nullptr, MAKEINTRESOURCEA(129)), nullptr);
    EXPECT_EQ(LoadMenuA(nullptr, MAKEINTRESOURCEA(130)), nullptr);
    TruncateResourceTables(nTables);
}
