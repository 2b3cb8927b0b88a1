// Fuzz entry point for the "settings.dat" reader: each input is read as the file; a record that
// is taken is written back out, and must give the same bytes.
#include "mfc_gui/ViewSettings.h"

#include <core/Log.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    SetLogEcho(false);
    ViewSettings settings;
    if (ParseViewSettingsFile(pData, nSize, settings, "fuzz input"))
    {
        const std::vector<uint8_t> written = BuildViewSettingsFile(settings);
        // Only the clamped switches may differ from the input.
        if (written.size() != nSize || std::strlen(settings.m_szSkinDir) >= VIEW_SETTINGS_DIR_SIZE)
            std::abort();
    }
    ClearLogLines();
    return 0;
}
