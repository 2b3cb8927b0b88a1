// The scene tree window's template (dialog 131: a captionless child tool window holding the tree,
// control 1000) and its context menu (menu 7000, popup "Tree").
#include "MenuTemplate.h"

#include <win32/commctrl.h>
#include <win32/dialogs.h>
#include <win32/resources.h>
#include <win32/user.h>

namespace
{
const win32::DialogItemTemplate TREE_TOOL_ITEMS[] = {
    {WC_TREEVIEWA, "", 1000,
     WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, 0, 23, 1, 232,
     307},
};
const win32::DialogTemplate TREE_TOOL_DIALOG = {
    WS_CHILD | DS_SETFONT, WS_EX_TOOLWINDOW, 500, 0, 350, 533, "", "MS Sans Serif", 8, TREE_TOOL_ITEMS,
    sizeof(TREE_TOOL_ITEMS) / sizeof(TREE_TOOL_ITEMS[0])};

const MenuTemplatePopup TREE_MENU[] = {
    {"Tree",
     {{"Edit Value...", 32783},
      {"Delete", 32824},
      {"Flip Normal", 32821},
      {"Generate Texture Coordinate", 32822},
      {"Detach Material", 32813},
      {"Load Light CubeMap ...", 32823},
      {"Load Diffuse Map ...", 32816},
      {"Load Bump Map ...", 32817},
      {"Load Gloss Map ...", 32818},
      {"Add Light", 32832},
      {"Edit Image Path...", 32833},
      {"Edit Background Path ...", 32838},
      {"Load Path ...", 32815}}},
};

struct Registrar
{
    Registrar()
    {
        static const std::vector<uint8_t> s_Menu = BuildMenuTemplate(TREE_MENU, sizeof(TREE_MENU) / sizeof(TREE_MENU[0]));
        static const ResourceEntry s_Entries[] = {
            {"DIALOG", 131, &TREE_TOOL_DIALOG, sizeof(TREE_TOOL_DIALOG)},
            {"MENU", 7000, s_Menu.data(), s_Menu.size()},
        };
        RegisterResourceTable(s_Entries, sizeof(s_Entries) / sizeof(s_Entries[0]));
    }
} s_Registrar;
}
