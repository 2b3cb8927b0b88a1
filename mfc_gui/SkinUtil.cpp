#include "mfc_gui/SkinUtil.h"

#include <core/ByteStream.h>
#include <core/FileIO.h>
#include <core/Log.h>

#include <cstring>

namespace
{
const char SKIN_HEADER[SKIN_HEADER_SIZE] = "[SKIN DESCRIPTION]\n";
// The widths below are the fields' sizes less their terminators.
static_assert(SKIN_NAME_SIZE == 64 && SKIN_AUTHOR_SIZE == 128, "the conversions' widths follow the fields");
const char READ_HEADER_WORD[] = "%255s\n";

int ReadRect(FILE* pFile, const char* szFormat, SkinRect& rc)
{
    return std::fscanf(pFile, szFormat, &rc.m_nLeft, &rc.m_nTop, &rc.m_nRight, &rc.m_nBottom) == 4;
}

int ReadColor(FILE* pFile, const char* szFormat, int32_t (&color)[3])
{
    return std::fscanf(pFile, szFormat, &color[0], &color[1], &color[2]) == 3;
}
}

void CSkinUtil::SetDefaults()
{
    m_nSkinFlag = 1;
    m_nDialogHeight = 200;
    m_nDialogWidth = 500;
    m_ColorKeyButtons[0] = 255;
    m_ColorKeyButtons[1] = 0;
    m_ColorKeyButtons[2] = 255;
    m_bUseBorder = 0;
    m_ColorKeyBorder[0] = 255;
    m_ColorKeyBorder[1] = 0;
    m_ColorKeyBorder[2] = 255;
    std::strncpy(m_szName, "Ze_Vuvor", sizeof(m_szName));
    std::strncpy(m_szAuthor, "Torvane Software", sizeof(m_szAuthor));
}

int CSkinUtil::LoadSkin(const char*)
{
    return 1;
}

int CSkinUtil::SaveSkin(const char* szPath)
{
    AtomicFile file;
    if (!szPath || !BeginAtomicWrite(szPath, file))
    {
        LogError("CSkinUtil::SaveSkin - Could not open the file for writing.");
        return 0;
    }
    WriteDescription(file.m_pFile);
    WriteDialogSection(file.m_pFile);
    if (!CommitAtomicWrite(file))
    {
        LogError("CSkinUtil::SaveSkin - Could not write the file %s.", szPath);
        return 0;
    }
    return 1;
}

int CSkinUtil::WriteDescription(FILE* pFile)
{
    ByteWriter writer;
    writer.WriteBytes(SKIN_HEADER, sizeof(SKIN_HEADER));
    writer.WriteBytes(m_szName, sizeof(m_szName));
    writer.WriteBytes(m_szAuthor, sizeof(m_szAuthor));
    std::fwrite(writer.GetBuffer().data(), 1, writer.GetSize(), pFile);
    return 1;
}

int CSkinUtil::WriteDialogSection(FILE*)
{
    return 1;
}

int CSkinUtil::ReadDescription(FILE* pFile)
{
    char szHeader[256];
    if (std::fscanf(pFile, READ_HEADER_WORD, szHeader) != 1)
        return 1;
    if (std::fscanf(pFile, "Skin Name: %63s\n", m_szName) != 1)
        return 1;
    std::fscanf(pFile, "Skin Author: %127s\n", m_szAuthor);
    return 1;
}

int CSkinUtil::ReadDialogSection(FILE* pFile)
{
    char szHeader[256];
    const bool bRead = std::fscanf(pFile, READ_HEADER_WORD, szHeader) == 1 &&
                       std::fscanf(pFile, "Dialog_Height: %d \n", &m_nDialogHeight) == 1 &&
                       std::fscanf(pFile, "Dialog_Width: %d \n", &m_nDialogWidth) == 1 &&
                       ReadRect(pFile, "Web_Btn: %d,%d,%d,%d\n", m_rcWebButton) &&
                       ReadRect(pFile, "Fullscreen Btn: %d,%d,%d,%d\n", m_rcFullscreenButton) &&
                       ReadRect(pFile, "Move_Mode: %d,%d,%d,%d\n", m_rcMoveModeButton) &&
                       ReadColor(pFile, "Color_Key Buttons: %d,%d,%d\n", m_ColorKeyButtons) &&
                       ReadRect(pFile, "Size_Background: %d,%d,%d,%d\n", m_rcBackground) &&
                       std::fscanf(pFile, "Use_Border: %d\n", &m_bUseBorder) == 1;
    if (bRead)
        ReadColor(pFile, "Color_Key_Border: %d,%d,%d\n", m_ColorKeyBorder);
    return 1;
}
