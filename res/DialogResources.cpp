// The program's dialog templates that the window toolkit owns: the about box (dialog 100).
#include <win32/controls.h>
#include <win32/dialogs.h>
#include <win32/resources.h>
#include <win32/user.h>

namespace
{
const win32::DialogItemTemplate ABOUT_ITEMS[] = {
    {"Static", "#129", -1, SS_ICON | WS_VISIBLE, 0, 4, 6, 20, 20},
    {"Static", "Quenlaris Version 1.20", -1, SS_LEFT | SS_NOPREFIX | WS_VISIBLE, 0, 57, 4, 105, 8},
    {"Static", "Torvane Software", -1, SS_LEFT | WS_VISIBLE, 0, 57, 14, 105, 8},
    {"Static", "Copyright (C) 2004", -1, SS_LEFT | WS_VISIBLE, 0, 57, 24, 105, 8},
    {"Static", "info@torvane.example", -1, SS_LEFT | SS_NOPREFIX | WS_VISIBLE, 0, 57, 34, 105, 8},
    {"Button", "OK", IDOK, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP | WS_VISIBLE, 0, 4, 34, 32, 14},
};

const win32::DialogTemplate ABOUT_DIALOG = {
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0, 0, 0, 168, 55, "About Quenlaris 1.20",
    "MS Sans Serif", 8, ABOUT_ITEMS, sizeof(ABOUT_ITEMS) / sizeof(ABOUT_ITEMS[0])};

const ResourceEntry DIALOGS[] = {
    {"DIALOG", 100, &ABOUT_DIALOG, sizeof(ABOUT_DIALOG)},
};

struct Registrar
{
    Registrar() { RegisterResourceTable(DIALOGS, sizeof(DIALOGS) / sizeof(DIALOGS[0])); }
} s_Registrar;
}
