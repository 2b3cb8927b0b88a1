#pragma once
// The common Open and Save As dialogs. The dialog lists the Linux file system: folders first,
// then the files the chosen filter lets through. It returns a native absolute path and leaves
// the current directory alone. Headless, it takes the next "file" answer of the test driver or
// the program script once it has painted (an empty answer cancels); the answer is checked like a
// typed name. Hooks and custom templates are not used.
#include <win32/user.h>

#include <string>
#include <vector>

typedef UINT_PTR(CALLBACK* LPOFNHOOKPROC)(HWND, UINT, WPARAM, LPARAM);

struct OPENFILENAMEA
{
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    LPCSTR lpstrFilter;         // description and pattern pairs, each NUL-terminated, then a NUL
    LPSTR lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex;         // 1-based; 0 takes the first
    LPSTR lpstrFile;            // in: the initial name (may hold a folder or wildcards); out: the path
    DWORD nMaxFile;
    LPSTR lpstrFileTitle;       // out: the file name alone
    DWORD nMaxFileTitle;
    LPCSTR lpstrInitialDir;
    LPCSTR lpstrTitle;
    DWORD Flags;
    WORD nFileOffset;
    WORD nFileExtension;
    LPCSTR lpstrDefExt;
    LPARAM lCustData;
    LPOFNHOOKPROC lpfnHook;
    LPCSTR lpTemplateName;
    void* pvReserved;
    DWORD dwReserved;
    DWORD FlagsEx;
};
typedef OPENFILENAMEA* LPOPENFILENAMEA;
typedef OPENFILENAMEA OPENFILENAME;
typedef LPOPENFILENAMEA LPOPENFILENAME;

#define OFN_READONLY 0x00000001
#define OFN_OVERWRITEPROMPT 0x00000002
#define OFN_HIDEREADONLY 0x00000004
#define OFN_NOCHANGEDIR 0x00000008
#define OFN_SHOWHELP 0x00000010
#define OFN_ENABLEHOOK 0x00000020
#define OFN_ENABLETEMPLATE 0x00000040
#define OFN_ENABLETEMPLATEHANDLE 0x00000080
#define OFN_NOVALIDATE 0x00000100
#define OFN_ALLOWMULTISELECT 0x00000200
#define OFN_EXTENSIONDIFFERENT 0x00000400
#define OFN_PATHMUSTEXIST 0x00000800
#define OFN_FILEMUSTEXIST 0x00001000
#define OFN_CREATEPROMPT 0x00002000
#define OFN_SHAREAWARE 0x00004000
#define OFN_NOREADONLYRETURN 0x00008000
#define OFN_NOTESTFILECREATE 0x00010000
#define OFN_NONETWORKBUTTON 0x00020000
#define OFN_NOLONGNAMES 0x00040000
#define OFN_EXPLORER 0x00080000
#define OFN_NODEREFERENCELINKS 0x00100000
#define OFN_LONGNAMES 0x00200000
#define OFN_ENABLESIZING 0x00800000
#define OFN_DONTADDTORECENT 0x02000000
#define OFN_FORCESHOWHIDDEN 0x10000000

// CommDlgExtendedError: 0 after a cancel; FNERR_BUFFERTOOSMALL when the path did not fit (the
// first two bytes of lpstrFile then hold the size needed).
#define CDERR_DIALOGFAILURE 0xFFFF
#define CDERR_INITIALIZATION 0x0002
#define FNERR_INVALIDFILENAME 0x3002
#define FNERR_BUFFERTOOSMALL 0x3003

BOOL GetOpenFileNameA(LPOPENFILENAMEA lpofn);
BOOL GetSaveFileNameA(LPOPENFILENAMEA lpofn);
DWORD CommDlgExtendedError();
#define GetOpenFileName GetOpenFileNameA
#define GetSaveFileName GetSaveFileNameA

namespace win32
{
// ---- The dialog's rules, one function each.
struct FileFilter
{
    std::string m_strDescription;
    std::vector<std::string> m_Patterns;   // "*.qnl", "*.*"; empty entries of "a;b;" dropped
};
// NUL-separated description and pattern pairs; an empty description ends the list, as does the
// double NUL at its end. Null gives "All Files (*.*)", "*.*".
std::vector<FileFilter> ParseFileFilter(const char* szFilter);
// The same pairs separated by '|' (the form MFC's file dialog takes): "||" ends the list, so
// "A|*.a|||B|*.b||" offers only A.
std::vector<FileFilter> ParseBarFilter(const char* szFilter);
// '*' and '?' wildcards compared without regard to case; "*.*" also matches names without a dot.
bool MatchesFilePattern(const std::string& strName, const std::string& strPattern);

struct FolderEntry
{
    std::string m_strName;
    bool m_bFolder;
};
// A folder's entries: "..", unless it is the root, and the subfolders, then the files that match
// any pattern, each group sorted without regard to case. Names starting with '.' are left out
// unless bHidden.
std::vector<FolderEntry> ListFolder(const std::string& strFolder, const std::vector<std::string>& patterns,
                                    bool bHidden);

// The absolute path a typed name means in a folder: '\' is a separator, "C:\..." names go
// through MapPath, "." and ".." are resolved. Empty when the name cannot be a path.
std::string ResolveTypedName(const std::string& strFolder, const std::string& strTyped, bool bSave);
// strPath with "." and szDefExt appended when its file name has no extension.
std::string AddDefaultExtension(const std::string& strPath, const char* szDefExt);

enum class FileChoice
{
    Accept,          // the path is the answer
    Folder,          // an existing folder: the dialog opens it
    Wildcard,        // a pattern: the dialog lists the files that match it
    FileMissing,     // OFN_FILEMUSTEXIST and no such file: refused with a message
    PathMissing,     // OFN_PATHMUSTEXIST (or must-exist) and no such folder: refused
    AskOverwrite,    // saving over an existing file with OFN_OVERWRITEPROMPT: ask first
    Invalid,         // not a name the dialog can return
};
// What the dialog does with a resolved path (after the default extension).
FileChoice CheckChosenFile(const std::string& strPath, DWORD nFlags, bool bSave);
}
