// The string table's status-bar indicator texts: a status bar pane of one of these ids shows the
// text and is as wide as it.
#include <win32/resources.h>

namespace
{
const char CAPS[] = "CAP";
const char NUM[] = "NUM";
const char SCROLL[] = "SCRL";

// ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL.
const ResourceEntry STRINGS[] = {
    {"STRING", 0xE701, CAPS, sizeof(CAPS)},
    {"STRING", 0xE702, NUM, sizeof(NUM)},
    {"STRING", 0xE703, SCROLL, sizeof(SCROLL)},
};

struct Registrar
{
    Registrar() { RegisterResourceTable(STRINGS, sizeof(STRINGS) / sizeof(STRINGS[0])); }
} s_Registrar;
}
