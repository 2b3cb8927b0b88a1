#include "app/MainMenu.h"

#include "app/CommandIds.h"

#include <win32/accelerators.h>
#include <win32/menus.h>
#include <win32/resources.h>
#include <win32/user.h>

#include <string>
#include <vector>

namespace
{
// One item of the menu: a popup's title (nId 0, bPopup) or a command; an empty text is a
// separator.
struct MenuLine
{
    int m_nDepth;
    bool m_bPopup;
    UINT m_nId;
    const char* m_szText;
};

const MenuLine MAIN_MENU[] = {
    {0, true, 0, "&File"},
    {1, false, ID_FILE_OPEN_QNL, "&Open QNL..."},
    {1, false, ID_FILE_OPEN_3DS, "Open 3DS..."},
    {1, false, ID_FILE_OPEN_X, "Open X..."},
    {1, false, 0, ""},
    {1, false, ID_FILE_SAVE_QNL, "Save As QNL..."},
    {1, false, ID_FILE_SAVE_3DS, "Save As 3DS..."},
    {1, false, 0, ""},
    {1, false, ID_FILE_MERGE_QNL, "Merge QNL..."},
    {1, false, ID_FILE_MERGE_X, "Merge X..."},
    {1, false, ID_FILE_MERGE_3DS, "Merge 3DS..."},
    {1, false, 0, ""},
    {1, false, ID_FILE_OPEN_CAMERA_PATH, "Open Camera Path..."},
    {1, false, ID_APP_EXIT, "E&xit"},
    {0, true, 0, "&View"},
    {1, false, ID_VIEW_STATUS_BAR, "&Status Bar"},
    {0, true, 0, "&Help"},
    {1, false, ID_APP_ABOUT, "&About Quenlaris..."},
    {1, false, ID_HELP_DOCUMENTATION, "Documentation ..."},
    {1, false, ID_HELP_WEB_SITE, "Visit Torvane Web Site ..."},
};

const ACCEL MAIN_ACCELERATORS[] = {
    {FVIRTKEY | FCONTROL, 'O', static_cast<WORD>(ID_FILE_OPEN_QNL)},
    {FVIRTKEY | FCONTROL, 'S', static_cast<WORD>(ID_FILE_SAVE_QNL2)},
};

const char PROMPT_OPEN[] = "Open an Quenlaris file\nOpen";
const char PROMPT_MERGE[] = "Merge an Quenlaris File";
const char PROMPT_CAMERA_PATH[] = "Open a Quenlaris Camera Path";

// The standard menu template: a header of two words, then per item its flags (MF_POPUP, MF_END on
// the last item of a level), its id unless it is a popup, and its UTF-16 text.
std::vector<BYTE> BuildMenuTemplate()
{
    std::vector<BYTE> out{0, 0, 0, 0};
    auto Word = [&out](UINT w) {
        out.push_back(static_cast<BYTE>(w));
        out.push_back(static_cast<BYTE>(w >> 8));
    };
    const size_t nCount = sizeof(MAIN_MENU) / sizeof(MAIN_MENU[0]);
    for (size_t i = 0; i < nCount; ++i)
    {
        const MenuLine& line = MAIN_MENU[i];
        // The last of its level: no later item at the same depth before one of a shallower depth.
        bool bLast = true;
        for (size_t j = i + 1; j < nCount && MAIN_MENU[j].m_nDepth >= line.m_nDepth; ++j)
            if (MAIN_MENU[j].m_nDepth == line.m_nDepth)
            {
                bLast = false;
                break;
            }
        Word((line.m_bPopup ? MF_POPUP : 0) | (bLast ? MF_END : 0));
        if (!line.m_bPopup)
            Word(line.m_nId);
        for (const char* p = line.m_szText; *p; ++p)
            Word(static_cast<BYTE>(*p));
        Word(0);
    }
    return out;
}
}

void RegisterMainMenuResources()
{
    static const std::vector<BYTE> menuTemplate = BuildMenuTemplate();
    static const ResourceEntry RESOURCES[] = {
        {"MENU", static_cast<int>(IDR_MAINFRAME), menuTemplate.data(), menuTemplate.size()},
        {"ACCELERATOR", static_cast<int>(IDR_MAINFRAME), MAIN_ACCELERATORS, sizeof(MAIN_ACCELERATORS)},
        {"STRING", static_cast<int>(ID_FILE_OPEN_QNL), PROMPT_OPEN, sizeof(PROMPT_OPEN)},
        {"STRING", static_cast<int>(ID_FILE_MERGE_QNL), PROMPT_MERGE, sizeof(PROMPT_MERGE)},
        {"STRING", static_cast<int>(ID_FILE_OPEN_CAMERA_PATH), PROMPT_CAMERA_PATH, sizeof(PROMPT_CAMERA_PATH)},
    };
    RegisterResourceTable(RESOURCES, sizeof(RESOURCES) / sizeof(RESOURCES[0]));
}
