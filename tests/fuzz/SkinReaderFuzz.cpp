// Fuzz entry point for the skin description's text readers: each input is read as the
// description section followed by the dialog section; every text must still end inside its field.
#include "mfc_gui/SkinUtil.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize == 0)
        return 0;
    FILE* pFile = fmemopen(const_cast<uint8_t*>(pData), nSize, "rb");
    if (!pFile)
        return 0;
    CSkinUtil skin;
    skin.SetDefaults();
    skin.ReadDescription(pFile);
    skin.ReadDialogSection(pFile);
    std::fclose(pFile);
    if (!std::memchr(skin.m_szName, 0, sizeof(skin.m_szName)) || !std::memchr(skin.m_szAuthor, 0, sizeof(skin.m_szAuthor)))
        std::abort();
    return 0;
}
