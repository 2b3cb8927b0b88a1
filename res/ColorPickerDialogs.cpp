// The colour pickers' dialog templates: the modal picker (dialog 153) and the roll-up picker
// tool window (dialog 220). Both share the control ids of the picker panel: the wheel frame 1365,
// the edit fields 1366 to 1380 each followed by its spin button, and the hidden swatch frames 1372
// and 1373.
#include <win32/commctrl.h>
#include <win32/controls.h>
#include <win32/dialogs.h>
#include <win32/resources.h>
#include <win32/user.h>

namespace
{
const DWORD EDIT = ES_AUTOHSCROLL | ES_NUMBER | WS_BORDER | WS_TABSTOP | WS_VISIBLE;
const DWORD SPIN = UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_NOTHOUSANDS | WS_VISIBLE;
const DWORD LABEL = SS_LEFT | WS_VISIBLE;
const DWORD GROUP = BS_GROUPBOX | WS_VISIBLE;

const win32::DialogItemTemplate PICKER_ITEMS[] = {
    {"Button", "RGB", 1364, GROUP, 0, 7, 4, 150, 150},
    {"Button", "HSB", 1365, GROUP, 0, 161, 4, 200, 150},
    {"Button", "RGB Values", -1, GROUP, 0, 7, 158, 96, 58},
    {"Static", "Red", -1, LABEL, 0, 13, 171, 36, 8},
    {"Edit", "", 1366, EDIT, 0, 53, 169, 34, 12},
    {"msctls_updown32", "", 1367, SPIN, 0, 87, 169, 10, 12},
    {"Static", "Green", -1, LABEL, 0, 13, 185, 36, 8},
    {"Edit", "", 1368, EDIT, 0, 53, 183, 34, 12},
    {"msctls_updown32", "", 1369, SPIN, 0, 87, 183, 10, 12},
    {"Static", "Blue", -1, LABEL, 0, 13, 199, 36, 8},
    {"Edit", "", 1370, EDIT, 0, 53, 197, 34, 12},
    {"msctls_updown32", "", 1371, SPIN, 0, 87, 197, 10, 12},
    {"Button", "HSB Values", -1, GROUP, 0, 109, 158, 104, 58},
    {"Static", "Hue", -1, LABEL, 0, 115, 171, 42, 8},
    {"Edit", "", 1374, EDIT, 0, 161, 169, 34, 12},
    {"msctls_updown32", "", 1375, SPIN, 0, 195, 169, 10, 12},
    {"Static", "Saturation", -1, LABEL, 0, 115, 185, 42, 8},
    {"Edit", "", 1376, EDIT, 0, 161, 183, 34, 12},
    {"msctls_updown32", "", 1377, SPIN, 0, 195, 183, 10, 12},
    {"Static", "Brightness", -1, LABEL, 0, 115, 199, 42, 8},
    {"Edit", "", 1378, EDIT, 0, 161, 197, 34, 12},
    {"msctls_updown32", "", 1379, SPIN, 0, 195, 197, 10, 12},
    {"Button", "Alpha Value", -1, GROUP, 0, 219, 158, 68, 30},
    {"Static", "Alpha", -1, LABEL, 0, 225, 171, 20, 8},
    {"Edit", "", 1380, EDIT, 0, 247, 169, 28, 12},
    {"msctls_updown32", "", 1381, SPIN, 0, 275, 169, 10, 12},
    {"Static", "Old Color", -1, LABEL, 0, 295, 158, 50, 8},
    {"Button", "", 1372, BS_GROUPBOX, 0, 295, 167, 37, 18},
    {"Static", "New Color", -1, LABEL, 0, 295, 189, 50, 8},
    {"Button", "", 1373, BS_GROUPBOX, 0, 295, 198, 37, 18},
    {"Button", "OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 0, 219, 197, 28, 14},
    {"Button", "Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 0, 251, 197, 28, 14},
};

const win32::DialogTemplate PICKER_DIALOG = {
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0, 0, 0, 368, 221, "Color Picker", "Arial", 8,
    PICKER_ITEMS, sizeof(PICKER_ITEMS) / sizeof(PICKER_ITEMS[0])};

const win32::DialogItemTemplate TOOL_ITEMS[] = {
    {"Button", "Color", 1365, GROUP, 0, 7, 4, 200, 150},
    {"Button", "RGBA Values", -1, GROUP, 0, 7, 158, 86, 72},
    {"Static", "Red", -1, LABEL, 0, 13, 171, 28, 8},
    {"Edit", "", 1366, EDIT, 0, 45, 169, 34, 12},
    {"msctls_updown32", "", 1367, SPIN, 0, 79, 169, 10, 12},
    {"Static", "Green", -1, LABEL, 0, 13, 185, 28, 8},
    {"Edit", "", 1368, EDIT, 0, 45, 183, 34, 12},
    {"msctls_updown32", "", 1369, SPIN, 0, 79, 183, 10, 12},
    {"Static", "Blue", -1, LABEL, 0, 13, 199, 28, 8},
    {"Edit", "", 1370, EDIT, 0, 45, 197, 34, 12},
    {"msctls_updown32", "", 1371, SPIN, 0, 79, 197, 10, 12},
    {"Static", "Alpha", -1, LABEL, 0, 13, 213, 28, 8},
    {"Edit", "", 1380, EDIT, 0, 45, 211, 34, 12},
    {"msctls_updown32", "", 1381, SPIN, 0, 79, 211, 10, 12},
    {"Button", "HSB Values", -1, GROUP, 0, 97, 158, 110, 58},
    {"Static", "Hue", -1, LABEL, 0, 101, 171, 46, 8},
    {"Edit", "", 1374, EDIT, 0, 149, 169, 30, 12},
    {"msctls_updown32", "", 1375, SPIN, 0, 179, 169, 10, 12},
    {"Static", "Saturation", -1, LABEL, 0, 101, 185, 46, 8},
    {"Edit", "", 1376, EDIT, 0, 149, 183, 30, 12},
    {"msctls_updown32", "", 1377, SPIN, 0, 179, 183, 10, 12},
    {"Static", "Brightness", -1, LABEL, 0, 101, 199, 46, 8},
    {"Edit", "", 1378, EDIT, 0, 149, 197, 30, 12},
    {"msctls_updown32", "", 1379, SPIN, 0, 179, 197, 10, 12},
    {"Static", "Old Color", -1, LABEL, 0, 121, 219, 40, 8},
    {"Button", "", 1372, BS_GROUPBOX, 0, 121, 228, 40, 14},
    {"Static", "New Color", -1, LABEL, 0, 165, 219, 42, 8},
    {"Button", "", 1373, BS_GROUPBOX, 0, 165, 228, 42, 14},
    {"Button", "Apply", 2010, BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 0, 7, 234, 40, 14},
    {"Button", "Auto Change", 2030, BS_AUTOCHECKBOX | WS_TABSTOP | WS_VISIBLE, 0, 51, 236, 62, 10},
};

const win32::DialogTemplate TOOL_DIALOG = {
    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_SETFONT, WS_EX_TOOLWINDOW, 0, 0, 214, 253, "Color Picker",
    "Arial", 8, TOOL_ITEMS, sizeof(TOOL_ITEMS) / sizeof(TOOL_ITEMS[0])};

const ResourceEntry DIALOGS[] = {
    {"DIALOG", 153, &PICKER_DIALOG, sizeof(PICKER_DIALOG)},
    {"DIALOG", 220, &TOOL_DIALOG, sizeof(TOOL_DIALOG)},
};

struct Registrar
{
    Registrar() { RegisterResourceTable(DIALOGS, sizeof(DIALOGS) / sizeof(DIALOGS[0])); }
} s_Registrar;
}
