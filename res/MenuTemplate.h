#pragma once
// Menus written as tables and turned into the menu template format the window layer reads: a
// header of two zero words, then the items, MF_END marking each level's last.
#include <win32/menus.h>

#include <cstdint>
#include <vector>

struct MenuTemplateItem
{
    const char* m_szText;   // null: a separator
    uint16_t m_nId;
};

struct MenuTemplatePopup
{
    const char* m_szTitle;
    std::vector<MenuTemplateItem> m_Items;
};

inline std::vector<uint8_t> BuildMenuTemplate(const MenuTemplatePopup* pPopups, size_t nPopups)
{
    std::vector<uint8_t> out;
    auto putWord = [&out](uint16_t n) {
        out.push_back(static_cast<uint8_t>(n));
        out.push_back(static_cast<uint8_t>(n >> 8));
    };
    auto putText = [&putWord](const char* szText) {
        for (const char* p = szText; p && *p; ++p)
            putWord(static_cast<uint8_t>(*p));
        putWord(0);
    };
    putWord(0);
    putWord(0);
    for (size_t i = 0; i < nPopups; ++i)
    {
        putWord(static_cast<uint16_t>(MF_POPUP | (i + 1 == nPopups ? MF_END : 0)));
        putText(pPopups[i].m_szTitle);
        const std::vector<MenuTemplateItem>& items = pPopups[i].m_Items;
        for (size_t j = 0; j < items.size(); ++j)
        {
            putWord(static_cast<uint16_t>(j + 1 == items.size() ? MF_END : 0));
            putWord(items[j].m_nId);
            putText(items[j].m_szText);
        }
    }
    return out;
}
