// The main window's menu (menu 128) and the toolbar resource whose bitmap gives its items'
// icons (toolbar 128, bitmap 128), in the resource formats the window layer reads.
#include "MenuTemplate.h"

#include <win32/resources.h>

namespace
{
const MenuTemplatePopup MAIN_MENU[] = {
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

struct Registrar
{
    Registrar()
    {
        static const std::vector<uint8_t> s_Menu = BuildMenuTemplate(MAIN_MENU, sizeof(MAIN_MENU) / sizeof(MAIN_MENU[0]));
        static const ResourceEntry s_Entries[] = {
            {"MENU", 128, s_Menu.data(), s_Menu.size()},
            {"TOOLBAR", 128, MAIN_TOOLBAR, sizeof(MAIN_TOOLBAR)},
        };
        RegisterResourceTable(s_Entries, sizeof(s_Entries) / sizeof(s_Entries[0]));
    }
} s_Registrar;
}
