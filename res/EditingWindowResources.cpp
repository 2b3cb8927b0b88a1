// The editing interface's own windows: the console (dialog 219, menu 220), the skin editor
// (dialog 163, menu 164), the options
// sheet's pages "3D Device" (221) and "Skin" (222), and the tool windows: transform (103),
// animation (159), utils (161) and general (162).
#include "MenuTemplate.h"

#include <win32/controls.h>
#include <win32/commctrl.h>
#include <win32/dialogs.h>
#include <win32/listview.h>
#include <win32/resources.h>
#include <win32/trackbar.h>
#include <win32/treeview.h>
#include <win32/user.h>

namespace
{
const DWORD CHILD = WS_CHILD | WS_VISIBLE;
const DWORD PAGE = WS_CHILD | WS_DISABLED | WS_CAPTION | DS_SETFONT;
const DWORD TOOL = WS_CHILD | DS_SETFONT;
const DWORD PUSH = WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON;
const DWORD CHECK = WS_CHILD | WS_TABSTOP | BS_AUTOCHECKBOX;

template <size_t N>
win32::DialogTemplate Dialog(DWORD nStyle, short x, short y, short cx, short cy, const char* szCaption,
                             const win32::DialogItemTemplate (&items)[N])
{
    return {nStyle, 0, x, y, cx, cy, szCaption, "MS Sans Serif", 8, items, N};
}

const win32::DialogItemTemplate CONSOLE_ITEMS[] = {
    {WC_LISTVIEWA, "", 1111, CHILD | WS_TABSTOP | LVS_REPORT | WS_BORDER, 0, 7, 8, 451, 200},
    {WC_EDITA, "", 1572, CHILD | WS_TABSTOP | ES_AUTOHSCROLL | WS_BORDER, 0, 7, 212, 204, 14},
    {PROGRESS_CLASSA, "", 1575, CHILD, 0, 216, 212, 186, 14},
    {WC_BUTTONA, "Add", 1193, CHILD | WS_TABSTOP | BS_PUSHBUTTON, 0, 408, 212, 50, 14},
};
const win32::DialogTemplate CONSOLE_DIALOG =
    Dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0, 0, 465, 233, "Console", CONSOLE_ITEMS);

const win32::DialogItemTemplate SKIN_EDITOR_ITEMS[] = {
    {WC_TREEVIEWA, "", 1030, CHILD | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, WS_EX_CLIENTEDGE,
     7, 16, 147, 231},
    {WC_BUTTONA, "OK", IDOK, CHILD | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 298, 7, 50, 14},
    {WC_BUTTONA, "Cancel", IDCANCEL, CHILD | WS_TABSTOP | BS_PUSHBUTTON, 0, 298, 24, 50, 14},
};
const win32::DialogTemplate SKIN_EDITOR_DIALOG =
    Dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT, 0, 0, 355, 254, "Skin Editor", SKIN_EDITOR_ITEMS);

const win32::DialogItemTemplate PAGE_3D_ITEMS[] = {
    {WC_BUTTONA, "Use Fixed D3D", 2034, CHILD | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 7, 7, 64, 10},
};
const win32::DialogTemplate PAGE_3D_DIALOG = Dialog(PAGE, 0, 0, 235, 156, "3D Device", PAGE_3D_ITEMS);

const win32::DialogItemTemplate PAGE_SKIN_ITEMS[] = {
    {WC_STATICA, "Skin:", -1, CHILD | SS_LEFT, 0, 7, 9, 40, 8},
    {WC_EDITA, "", 1001, CHILD | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 57, 7, 139, 14},
    {WC_BUTTONA, "...", 1002, CHILD | WS_TABSTOP | BS_PUSHBUTTON, 0, 205, 7, 20, 14},
    {WC_STATICA, "Enabled:", -1, CHILD | SS_LEFT, 0, 7, 25, 40, 8},
    {WC_BUTTONA, "", 1003, CHILD | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 58, 26, 16, 8},
};
const win32::DialogTemplate PAGE_SKIN_DIALOG = Dialog(PAGE, 0, 0, 235, 156, "Skin", PAGE_SKIN_ITEMS);

// The tool windows' buttons have no WS_VISIBLE in the transform window: it shows them itself.
const win32::DialogItemTemplate TRANSFORM_ITEMS[] = {
    {WC_BUTTONA, "Mouse Move", 1016, PUSH, 0, 95, 326, 54, 26},
    {WC_BUTTONA, "+", 1010, PUSH, 0, 94, 308, 55, 20},
    {WC_BUTTONA, "+", 1013, PUSH, 0, 146, 326, 45, 25},
    {WC_BUTTONA, "-", 1011, PUSH, 0, 94, 350, 55, 20},
    {WC_BUTTONA, "-", 1014, PUSH, 0, 53, 326, 45, 25},
    {WC_BUTTONA, "X", 1002, CHECK, 0, 209, 340, 47, 25},
    {WC_BUTTONA, "Y", 1003, CHECK, 0, 259, 340, 47, 25},
    {WC_BUTTONA, "Z", 1004, CHECK, 0, 309, 345, 47, 25},
    {WC_BUTTONA, "Translation", 1009, CHECK, 0, 209, 310, 47, 25},
    {WC_BUTTONA, "Rotation", 1007, CHECK, 0, 259, 310, 47, 25},
    {WC_BUTTONA, "Scale", 1006, CHECK, 0, 309, 315, 47, 25},
};
const win32::DialogTemplate TRANSFORM_DIALOG = Dialog(TOOL, 0, -100, 440, 505, "", TRANSFORM_ITEMS);

const win32::DialogItemTemplate ANIMATION_ITEMS[] = {
    {WC_BUTTONA, "Rec", 1019, CHILD | CHECK, 0, 182, 5, 47, 24},
    {WC_BUTTONA, "Play", 1015, CHILD | CHECK, 0, 228, 5, 47, 24},
    {WC_BUTTONA, "Pause", 1016, CHILD | CHECK, 0, 280, 5, 47, 24},
    {WC_BUTTONA, "Stop", 1017, CHILD | CHECK, 0, 333, 5, 47, 24},
    {WC_BUTTONA, "Loop", 1018, CHILD | CHECK, 0, 381, 5, 47, 24},
    {TRACKBAR_CLASSA, "Slider1", 1021, CHILD | WS_TABSTOP | TBS_AUTOTICKS | TBS_TOP | TBS_ENABLESELRANGE, 0, 0, 10,
     180, 21},
};
const win32::DialogTemplate ANIMATION_DIALOG = Dialog(TOOL, 0, -100, 429, 32, "", ANIMATION_ITEMS);

const win32::DialogItemTemplate UTILS_ITEMS[] = {
    {WC_BUTTONA, "Device...", 1024, CHILD | PUSH, 0, 95, 10, 47, 25},
    {WC_BUTTONA, "Camera", 1025, CHILD | PUSH, 0, 40, 10, 47, 25},
    {WC_BUTTONA, "Render", 1026, CHILD | PUSH, 0, 150, 40, 47, 25},
    {WC_BUTTONA, "Holoscopy", 1027, CHILD | CHECK, 0, 150, 10, 47, 25},
    {WC_BUTTONA, "Lights", 1028, CHILD | PUSH, 0, 40, 40, 47, 25},
    {WC_BUTTONA, "Material", 1029, CHILD | PUSH, 0, 95, 40, 47, 25},
};
const win32::DialogTemplate UTILS_DIALOG = Dialog(TOOL, 0, 0, 212, 77, "", UTILS_ITEMS);

const win32::DialogItemTemplate GENERAL_ITEMS[] = {
    {WC_BUTTONA, "Web Page", 1021, CHILD | PUSH, 0, 52, 23, 37, 38},
    {WC_BUTTONA, "Fullscreen", 1022, CHILD | PUSH, 0, 122, 8, 47, 26},
    {WC_BUTTONA, "Move Mode", 1023, CHILD | CHECK | BS_PUSHLIKE, 0, 122, 49, 47, 26},
};
const win32::DialogTemplate GENERAL_DIALOG = Dialog(TOOL, 0, 0, 212, 97, "", GENERAL_ITEMS);

const MenuTemplatePopup CONSOLE_MENU[] = {
    {"File", {{"Save log as...", 32807}, {"Reset list", 32808}, {nullptr, 0}, {"Close", 57602}}},
    {"&Tools", {{"Dump to output window", 32806}}},
};

const MenuTemplatePopup SKIN_EDITOR_MENU[] = {
    {"File", {{"Open...", 57601}, {"Save As...", 32780}}},
};

struct Registrar
{
    Registrar()
    {
        static const std::vector<uint8_t> s_SkinEditorMenu =
            BuildMenuTemplate(SKIN_EDITOR_MENU, sizeof(SKIN_EDITOR_MENU) / sizeof(SKIN_EDITOR_MENU[0]));
        static const std::vector<uint8_t> s_ConsoleMenu =
            BuildMenuTemplate(CONSOLE_MENU, sizeof(CONSOLE_MENU) / sizeof(CONSOLE_MENU[0]));
        static const ResourceEntry s_Entries[] = {
            {"DIALOG", 219, &CONSOLE_DIALOG, sizeof(CONSOLE_DIALOG)},
            {"MENU", 220, s_ConsoleMenu.data(), s_ConsoleMenu.size()},
            {"DIALOG", 163, &SKIN_EDITOR_DIALOG, sizeof(SKIN_EDITOR_DIALOG)},
            {"MENU", 164, s_SkinEditorMenu.data(), s_SkinEditorMenu.size()},
            {"DIALOG", 221, &PAGE_3D_DIALOG, sizeof(PAGE_3D_DIALOG)},
            {"DIALOG", 222, &PAGE_SKIN_DIALOG, sizeof(PAGE_SKIN_DIALOG)},
            {"DIALOG", 103, &TRANSFORM_DIALOG, sizeof(TRANSFORM_DIALOG)},
            {"DIALOG", 159, &ANIMATION_DIALOG, sizeof(ANIMATION_DIALOG)},
            {"DIALOG", 161, &UTILS_DIALOG, sizeof(UTILS_DIALOG)},
            {"DIALOG", 162, &GENERAL_DIALOG, sizeof(GENERAL_DIALOG)},
        };
        RegisterResourceTable(s_Entries, sizeof(s_Entries) / sizeof(s_Entries[0]));
    }
} s_Registrar;
}
