#pragma once
// The Open and Save As dialogs with the program's fixed filters and default extensions. One
// object answers one question: it keeps the chosen path and splits it into file name and folder
// for the caller. The buffers are valid only after a successful OpenFile or SaveFile.
#include <win32/commdlg.h>

class CWnd;

class CBaseFileDlg
{
public:
    CBaseFileDlg() = default;
    virtual ~CBaseFileDlg() = default;

    // 1 when the user chose a file (copied into szOutPath when given, which holds nOutSize
    // bytes), 0 on cancel or when the path does not fit the caller's buffer. A null filter offers
    // all files. Opening requires an existing file; saving requires an existing folder and asks
    // before replacing a file.
    int OpenFile(HWND hOwner, char* szOutPath, const char* szFilter, const char* szInitialDir, const char* szDefExt,
                 const char* szTitle, size_t nOutSize = MAX_PATH);
    int SaveFile(HWND hOwner, char* szOutPath, const char* szFilter, const char* szInitialDir, const char* szDefExt,
                 const char* szTitle, size_t nOutSize = MAX_PATH);

    // The program's questions, each with its filter and default extension.
    int OpenImageFile(HWND hOwner, char* szOutPath);
    int OpenMvnFile(HWND hOwner, char* szOutPath, const char* szInitialDir);
    int OpenQnlFile(HWND hOwner, char* szOutPath, const char* szInitialDir);
    int OpenXFile(HWND hOwner, char* szOutPath, const char* szInitialDir);
    int Open3dsFile(HWND hOwner, char* szOutPath, const char* szInitialDir);
    int OpenSkinFile(HWND hOwner, char* szOutPath, const char* szInitialDir);
    int SaveMvnFile(HWND hOwner, char* szOutPath, const char* szInitialDir);
    int SaveQnlFile(HWND hOwner, char* szOutPath, const char* szInitialDir);
    int SaveXFile(HWND hOwner, char* szOutPath, const char* szInitialDir);
    int SaveSkinFile(HWND hOwner, char* szOutPath, const char* szInitialDir);

    const char* GetFilePath() const { return m_szPath; }
    // The text after the last separator ('\' or '/'), the whole path when there is none.
    const char* GetFileName();
    // The path up to and including its last separator; empty when there is none.
    const char* GetFileDir();
    // Copies GetFileDir (room MAX_PATH); 0 for a null buffer or when there is no folder.
    int CopyFileDir(char* szOut);

private:
    // Fills m_ofn, runs the dialog and copies the answer out; a cancel is logged.
    bool RunDialog(bool bSave, HWND hOwner, char* szOutPath, size_t nOutSize, const char* szFilter,
                   const char* szInitialDir, const char* szDefExt, const char* szTitle);

    OPENFILENAME m_ofn{};
    char m_szPath[MAX_PATH] = "";
    char m_szFileName[MAX_PATH] = "";
    char m_szFileDir[MAX_PATH] = "";
};
