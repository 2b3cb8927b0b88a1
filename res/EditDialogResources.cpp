// The dialog templates of the editing interface's value dialogs: "Edit the value" (7001), the
// light dialog (7002) and the image-format dialog (7003).
#include <win32/controls.h>
#include <win32/dialogs.h>
#include <win32/resources.h>
#include <win32/user.h>

namespace
{
const DWORD CHILD = WS_CHILD | WS_VISIBLE;
const DWORD MODAL = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;

const win32::DialogItemTemplate EDIT_VALUE_ITEMS[] = {
    {WC_BUTTONA, "OK", IDOK, CHILD | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 0, 103, 7, 42, 14},
    {WC_BUTTONA, "Cancel", IDCANCEL, CHILD | WS_TABSTOP | BS_PUSHBUTTON, 0, 103, 24, 42, 14},
    {WC_STATICA, "Previous:", -1, CHILD | SS_LEFT, 0, 7, 9, 36, 8},
    {WC_STATICA, "New:", -1, CHILD | SS_LEFT, 0, 7, 28, 36, 8},
    {WC_EDITA, "", 7000, CHILD | WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY, WS_EX_CLIENTEDGE, 45, 6, 50, 14},
    {WC_EDITA, "", 7001, CHILD | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 45, 25, 50, 14},
};
const win32::DialogTemplate EDIT_VALUE_DIALOG = {
    MODAL, 0, 0, 0, 152, 46, "Edit the value", "MS Sans Serif", 8, EDIT_VALUE_ITEMS,
    sizeof(EDIT_VALUE_ITEMS) / sizeof(EDIT_VALUE_ITEMS[0])};

const char* const LIGHT_TYPES[] = {"Directionnal", "Point", "Spot", "Surface", nullptr};
const char* const PRIMITIVE_TYPES[] = {"Rectangle", "Box", "Cone", "Sphere", nullptr};
const DWORD DROP_DOWN = CHILD | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_SORT;
const win32::DialogItemTemplate LIGHT_ITEMS[] = {
    {WC_STATICA, "Ligth type :", -1, CHILD | SS_LEFT, 0, 7, 7, 83, 8},
    {WC_COMBOBOXA, "", 1018, DROP_DOWN, 0, 7, 17, 83, 60, LIGHT_TYPES},
    {WC_STATICA, "Primitive type :", -1, CHILD | SS_LEFT, 0, 7, 32, 83, 8},
    {WC_COMBOBOXA, "", 1020, DROP_DOWN, 0, 7, 42, 83, 60, PRIMITIVE_TYPES},
    {WC_BUTTONA, "OK", IDOK, CHILD | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 0, 103, 14, 42, 14},
    {WC_BUTTONA, "Cancel", IDCANCEL, CHILD | WS_TABSTOP | BS_PUSHBUTTON, 0, 103, 29, 42, 14},
};
const win32::DialogTemplate LIGHT_DIALOG = {MODAL, 0, 0, 0, 152, 62, "Ligth Edit", "MS Sans Serif", 8, LIGHT_ITEMS,
                                            sizeof(LIGHT_ITEMS) / sizeof(LIGHT_ITEMS[0])};

// One radio button per output-size preset, thirteen to a column; the dialog writes their texts
// from the preset table.
const DWORD RADIO = CHILD | BS_AUTORADIOBUTTON;
#define FORMAT_RADIO(id, column, row, extra) \
    {WC_BUTTONA, "", id, RADIO | (extra), 0, static_cast<short>(4 + 120 * (column)), static_cast<short>(4 + 12 * (row)), 116, 10}
const win32::DialogItemTemplate IMAGE_FORMAT_ITEMS[] = {
    FORMAT_RADIO(1036, 0, 0, WS_GROUP | WS_TABSTOP),
    FORMAT_RADIO(1037, 0, 1, 0), FORMAT_RADIO(1038, 0, 2, 0), FORMAT_RADIO(1039, 0, 3, 0),
    FORMAT_RADIO(1040, 0, 4, 0), FORMAT_RADIO(1041, 0, 5, 0), FORMAT_RADIO(1042, 0, 6, 0),
    FORMAT_RADIO(1043, 0, 7, 0), FORMAT_RADIO(1035, 0, 8, 0), FORMAT_RADIO(1047, 0, 9, 0),
    FORMAT_RADIO(1048, 0, 10, 0), FORMAT_RADIO(1049, 0, 11, 0), FORMAT_RADIO(1027, 0, 12, 0),
    FORMAT_RADIO(1028, 1, 0, 0), FORMAT_RADIO(1029, 1, 1, 0), FORMAT_RADIO(1030, 1, 2, 0),
    FORMAT_RADIO(1026, 1, 3, 0), FORMAT_RADIO(1032, 1, 4, 0), FORMAT_RADIO(1031, 1, 5, 0),
    FORMAT_RADIO(1044, 1, 6, 0), FORMAT_RADIO(1033, 1, 7, 0), FORMAT_RADIO(1045, 1, 8, 0),
    FORMAT_RADIO(1034, 1, 9, 0), FORMAT_RADIO(1046, 1, 10, 0), FORMAT_RADIO(1050, 1, 11, 0),
    FORMAT_RADIO(1051, 1, 12, 0),
    {WC_BUTTONA, "OK", IDOK, CHILD | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 0, 59, 165, 48, 14},
    {WC_BUTTONA, "Cancel", IDCANCEL, CHILD | WS_TABSTOP | BS_PUSHBUTTON, 0, 118, 165, 48, 14},
};
#undef FORMAT_RADIO
const win32::DialogTemplate IMAGE_FORMAT_DIALOG = {
    MODAL, 0, 0, 0, 244, 184, "Image Format", "MS Sans Serif", 8, IMAGE_FORMAT_ITEMS,
    sizeof(IMAGE_FORMAT_ITEMS) / sizeof(IMAGE_FORMAT_ITEMS[0])};

const ResourceEntry DIALOGS[] = {
    {"DIALOG", 7001, &EDIT_VALUE_DIALOG, sizeof(EDIT_VALUE_DIALOG)},
    {"DIALOG", 7002, &LIGHT_DIALOG, sizeof(LIGHT_DIALOG)},
    {"DIALOG", 7003, &IMAGE_FORMAT_DIALOG, sizeof(IMAGE_FORMAT_DIALOG)},
};

struct Registrar
{
    Registrar() { RegisterResourceTable(DIALOGS, sizeof(DIALOGS) / sizeof(DIALOGS[0])); }
} s_Registrar;
}
