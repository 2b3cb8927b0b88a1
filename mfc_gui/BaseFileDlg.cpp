#include "mfc_gui/BaseFileDlg.h"

#include <core/Log.h>

#include <cstring>

namespace
{
// Description and pattern pairs, each NUL-terminated, the list ending with an empty string.
const char ALL_FILES[] = "All Files (*.*)\0*.*\0";
const char IMAGE_FILES[] = "Image Files (*.dds, *.tga, *.jpg)\0*.dds;*.tga;*.jpg;\0All Files (*.*)\0*.*\0";
const char MVN_FILES[] = "Morvyn Scenes (*.mvn)\0*.mvn;\0All Files (*.*)\0*.*\0";
const char QNL_FILES[] = "Quenlaris Scenes (*.qnl)\0*.qnl;\0All Files (*.*)\0*.*\0";
const char X_FILES[] = "DirectX Scenes (*.x)\0*.x;\0All Files (*.*)\0*.*\0";
const char FILES_3DS[] = "3DS Scenes (*.3ds)\0*.3ds;\0All Files (*.*)\0*.*\0";
const char SKIN_FILES[] = "Quenlaris Skins (*.skin)\0*.skin;\0All Files (*.*)\0*.*\0";

// The record size of the dialog structure without its extension fields.
const DWORD OPENFILENAME_SIZE = 76;

const char* AfterLastSeparator(const char* szPath)
{
    const char* szName = szPath;
    for (const char* p = szPath; *p; ++p)
        if (*p == '\\' || *p == '/')
            szName = p + 1;
    return szName;
}
}

bool CBaseFileDlg::RunDialog(bool bSave, HWND hOwner, char* szOutPath, size_t nOutSize, const char* szFilter,
                             const char* szInitialDir, const char* szDefExt, const char* szTitle)
{
    m_szPath[0] = 0;
    m_ofn = OPENFILENAME{};
    m_ofn.lStructSize = OPENFILENAME_SIZE;
    m_ofn.hwndOwner = hOwner;
    m_ofn.lpstrFilter = szFilter ? szFilter : ALL_FILES;
    m_ofn.lpstrFile = m_szPath;
    m_ofn.nMaxFile = sizeof(m_szPath);
    m_ofn.lpstrInitialDir = szInitialDir;
    m_ofn.lpstrTitle = szTitle;
    // A new scene must be savable: the save dialog wants an existing folder, not an existing
    // file, and asks before replacing one.
    m_ofn.Flags = bSave ? OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST : OFN_EXPLORER | OFN_FILEMUSTEXIST;
    m_ofn.lpstrDefExt = szDefExt;
    if (!(bSave ? GetSaveFileNameA(&m_ofn) : GetOpenFileNameA(&m_ofn)))
    {
        m_szPath[0] = 0;
        if (bSave)
            LogInfo("CBaseFileDlg::SaveFile() - GetSaveFileName() return false.");
        else
            LogWarning("CBaseFileDlg::OpenFile() - GetOpenFileName() return false.");
        return false;
    }
    if (szOutPath)
    {
        const size_t nLength = std::strlen(m_szPath);
        if (nLength >= nOutSize)
        {
            LogError("CBaseFileDlg::%s() - the path \"%s\" is longer than %zu characters.",
                     bSave ? "SaveFile" : "OpenFile", m_szPath, nOutSize - 1);
            return false;
        }
        std::memcpy(szOutPath, m_szPath, nLength + 1);
    }
    return true;
}

int CBaseFileDlg::OpenFile(HWND hOwner, char* szOutPath, const char* szFilter, const char* szInitialDir,
                           const char* szDefExt, const char* szTitle, size_t nOutSize)
{
    return RunDialog(false, hOwner, szOutPath, nOutSize, szFilter, szInitialDir, szDefExt, szTitle) ? 1 : 0;
}

int CBaseFileDlg::SaveFile(HWND hOwner, char* szOutPath, const char* szFilter, const char* szInitialDir,
                           const char* szDefExt, const char* szTitle, size_t nOutSize)
{
    return RunDialog(true, hOwner, szOutPath, nOutSize, szFilter, szInitialDir, szDefExt, szTitle) ? 1 : 0;
}

int CBaseFileDlg::OpenImageFile(HWND hOwner, char* szOutPath)
{
    return OpenFile(hOwner, szOutPath, IMAGE_FILES, nullptr, nullptr, nullptr);
}

int CBaseFileDlg::OpenMvnFile(HWND hOwner, char* szOutPath, const char* szInitialDir)
{
    return OpenFile(hOwner, szOutPath, MVN_FILES, szInitialDir, "mvn", nullptr);
}

int CBaseFileDlg::OpenQnlFile(HWND hOwner, char* szOutPath, const char* szInitialDir)
{
    return OpenFile(hOwner, szOutPath, QNL_FILES, szInitialDir, "qnl", nullptr);
}

int CBaseFileDlg::OpenXFile(HWND hOwner, char* szOutPath, const char* szInitialDir)
{
    return OpenFile(hOwner, szOutPath, X_FILES, szInitialDir, "x", nullptr);
}

int CBaseFileDlg::Open3dsFile(HWND hOwner, char* szOutPath, const char* szInitialDir)
{
    return OpenFile(hOwner, szOutPath, FILES_3DS, szInitialDir, "3ds", nullptr);
}

int CBaseFileDlg::OpenSkinFile(HWND hOwner, char* szOutPath, const char* szInitialDir)
{
    return OpenFile(hOwner, szOutPath, SKIN_FILES, szInitialDir, "skin", nullptr);
}

int CBaseFileDlg::SaveMvnFile(HWND hOwner, char* szOutPath, const char* szInitialDir)
{
    return SaveFile(hOwner, szOutPath, MVN_FILES, szInitialDir, "mvn", nullptr);
}

int CBaseFileDlg::SaveQnlFile(HWND hOwner, char* szOutPath, const char* szInitialDir)
{
    return SaveFile(hOwner, szOutPath, QNL_FILES, szInitialDir, "qnl", nullptr);
}

int CBaseFileDlg::SaveXFile(HWND hOwner, char* szOutPath, const char* szInitialDir)
{
    return SaveFile(hOwner, szOutPath, X_FILES, szInitialDir, "x", nullptr);
}

int CBaseFileDlg::SaveSkinFile(HWND hOwner, char* szOutPath, const char* szInitialDir)
{
    return SaveFile(hOwner, szOutPath, SKIN_FILES, szInitialDir, "skin", nullptr);
}

const char* CBaseFileDlg::GetFileName()
{
    std::strcpy(m_szFileName, AfterLastSeparator(m_szPath));
    return m_szFileName;
}

const char* CBaseFileDlg::GetFileDir()
{
    const size_t nDir = std::strlen(m_szPath) - std::strlen(GetFileName());
    std::memcpy(m_szFileDir, m_szPath, nDir);
    m_szFileDir[nDir] = 0;
    return m_szFileDir;
}

int CBaseFileDlg::CopyFileDir(char* szOut)
{
    if (!szOut || !*GetFileDir())
        return 0;
    std::strcpy(szOut, m_szFileDir);
    return 1;
}
