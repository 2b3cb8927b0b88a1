// The main window's menu (menu 128) and the toolbar resource whose bitmap gives its items'
// icons (toolbar 128, bitmap 128), in the resource formats the window layer reads.
#include <win32/menus.h>
#include <win32/resources.h>

#include <cstdint>
#include <vector>

namespace
{
struct MenuItem
{
    const char* m_szText;   // null: a separator
    uint16_t m_nId;
};

struct Popup
{
    const char* m_szTitle;
    std::vector<MenuItem> m_Items;
};

const Popup MAIN_MENU[] = {
    {"&File",
     {{"&Open QNL...", 57601},
      {"Open 3DS...", 32820},
      {"Open X...", 32830},
      {nullptr, 0},
      {"Save As QNL...", 32780},
      {"Save As 3DS...", 32834},
      {nullptr, 0},
      {"Merge QNL...", 32819},
      {"Merge X...", 32831},
      {"Merge 3DS...", 32835},
      {nullptr, 0},
      {"Open Camera Path...", 32814},
      {"E&xit", 57665}}},
    {"&View", {{"&Status Bar", 59393}}},
    {"&Help", {{"&About Quenlaris...", 57664}, {"Documentation ...", 32836}, {"Visit Torvane Web Site ...", 32837}}},
};

// New, open, save, cut, copy, paste, print and about, in groups as the bitmap's eight images.
const uint16_t MAIN_TOOLBAR[] = {1, 16, 16, 10, 57600, 57601, 57603, 0, 57635, 57634, 57637, 0, 57607, 57664};

void PutWord(std::vector<uint8_t>& out, uint16_t n)
{
    out.push_back(static_cast<uint8_t>(n));
    out.push_back(static_cast<uint8_t>(n >> 8));
}

void PutText(std::vector<uint8_t>& out, const char* szText)
{
    for (const char* p = szText; p && *p; ++p)
        PutWord(out, static_cast<uint8_t>(*p));
    PutWord(out, 0);
}

// A menu template: a header of two zero words, then the items; MF_END marks each level's last.
std::vector<uint8_t> MenuTemplate()
{
    std::vector<uint8_t> out;
    PutWord(out, 0);
    PutWord(out, 0);
    const size_t nPopups = sizeof(MAIN_MENU) / sizeof(MAIN_MENU[0]);
    for (size_t i = 0; i < nPopups; ++i)
    {
        PutWord(out, static_cast<uint16_t>(MF_POPUP | (i + 1 == nPopups ? MF_END : 0)));
        PutText(out, MAIN_MENU[i].m_szTitle);
        const std::vector<MenuItem>& items = MAIN_MENU[i].m_Items;
        for (size_t j = 0; j < items.size(); ++j)
        {
            PutWord(out, static_cast<uint16_t>(j + 1 == items.size() ? MF_END : 0));
            PutWord(out, items[j].m_nId);
            PutText(out, items[j].m_szText);
        }
    }
    return out;
}

struct Registrar
{
    Registrar()
    {
        static const std::vector<uint8_t> s_Menu = MenuTemplate();
        static const ResourceEntry s_Entries[] = {
            {"MENU", 128, s_Menu.data(), s_Menu.size()},
            {"TOOLBAR", 128, MAIN_TOOLBAR, sizeof(MAIN_TOOLBAR)},
        };
        RegisterResourceTable(s_Entries, sizeof(s_Entries) / sizeof(s_Entries[0]));
    }
} s_Registrar;
}
