// The Open and Save As dialog: a modal window with the folder, its list, a file name field, the
// filter and two buttons, worked by keyboard (Tab between parts, arrows in the list and the
// filter, Enter, Backspace for the parent folder, Esc) and mouse (click, double click, wheel).
#include "Controls.h"

#include <win32/commdlg.h>
#include <win32/layer.h>
#include <win32/paths.h>

#include <algorithm>
#include <cstring>
#include <unistd.h>

namespace
{
// The client area's parts.
const RECT RC_FOLDER{80, 8, 432, 28};
const RECT RC_LIST{8, 34, 432, 214};
const RECT RC_NAME{90, 220, 340, 242};
const RECT RC_TYPE{90, 248, 340, 270};
const RECT RC_OK{350, 220, 432, 242};
const RECT RC_CANCEL{350, 248, 432, 270};
const int CLIENT_WIDTH = 440;
const int CLIENT_HEIGHT = 280;
const int ROW_HEIGHT = 16;
const int WHEEL_ROWS = 3;

enum Part
{
    PART_NAME,
    PART_LIST,
    PART_TYPE,
    PART_OK,
    PART_CANCEL,
    PART_COUNT,
};

DWORD g_nExtendedError = 0;

struct FileDialog
{
    OPENFILENAMEA* m_pOfn = nullptr;
    bool m_bSave = false;
    std::string m_strTitle;
    std::vector<win32::FileFilter> m_Filters;
    size_t m_nFilter = 0;
    std::string m_strPattern;        // a typed wildcard, shown instead of the filter's patterns
    std::string m_strFolder;
    std::vector<win32::FolderEntry> m_Entries;
    int m_nSelected = -1;
    int m_nTop = 0;                  // the first row in view
    std::string m_strName;
    int m_nFocus = PART_NAME;
    int m_nPressed = -1;             // the button under a held mouse button
    bool m_bPainted = false;
    bool m_bDone = false;
    bool m_bAccepted = false;
    std::string m_strResult;
    HWND m_hWnd = nullptr;

    int VisibleRows() const { return (RC_LIST.bottom - RC_LIST.top - 4) / ROW_HEIGHT; }
};

void Refresh(FileDialog& dlg)
{
    InvalidateRect(dlg.m_hWnd, nullptr, TRUE);
}

void ListCurrentFolder(FileDialog& dlg)
{
    std::vector<std::string> patterns = dlg.m_strPattern.empty() ? dlg.m_Filters[dlg.m_nFilter].m_Patterns
                                                                 : std::vector<std::string>{dlg.m_strPattern};
    dlg.m_Entries = win32::ListFolder(dlg.m_strFolder, patterns, (dlg.m_pOfn->Flags & OFN_FORCESHOWHIDDEN) != 0);
    dlg.m_nSelected = -1;
    dlg.m_nTop = 0;
    Refresh(dlg);
}

void OpenFolder(FileDialog& dlg, const std::string& strFolder)
{
    dlg.m_strFolder = strFolder;
    ListCurrentFolder(dlg);
}

void SelectRow(FileDialog& dlg, int nRow)
{
    if (dlg.m_Entries.empty())
        return;
    nRow = std::clamp(nRow, 0, static_cast<int>(dlg.m_Entries.size()) - 1);
    dlg.m_nSelected = nRow;
    if (!dlg.m_Entries[static_cast<size_t>(nRow)].m_bFolder)
        dlg.m_strName = dlg.m_Entries[static_cast<size_t>(nRow)].m_strName;
    if (nRow < dlg.m_nTop)
        dlg.m_nTop = nRow;
    else if (nRow >= dlg.m_nTop + dlg.VisibleRows())
        dlg.m_nTop = nRow - dlg.VisibleRows() + 1;
    Refresh(dlg);
}

void Finish(FileDialog& dlg, bool bAccepted, const std::string& strPath)
{
    dlg.m_bDone = true;
    dlg.m_bAccepted = bAccepted;
    dlg.m_strResult = strPath;
}

std::string FileNameOf(const std::string& strPath)
{
    return strPath.substr(strPath.find_last_of('/') + 1);
}

void Refuse(FileDialog& dlg, const std::string& strText, UINT nType)
{
    MessageBoxA(dlg.m_hWnd, strText.c_str(), dlg.m_strTitle.c_str(), nType);
}

// The name field's text as a choice: a folder opens, a pattern filters, a file is checked and,
// when it passes, ends the dialog.
void Choose(FileDialog& dlg)
{
    if (dlg.m_strName.empty())
    {
        if (dlg.m_nSelected >= 0 && dlg.m_Entries[static_cast<size_t>(dlg.m_nSelected)].m_bFolder)
            OpenFolder(dlg, win32::ResolveTypedName(dlg.m_strFolder, dlg.m_Entries[static_cast<size_t>(dlg.m_nSelected)].m_strName, false));
        return;
    }
    std::string path = win32::ResolveTypedName(dlg.m_strFolder, dlg.m_strName, dlg.m_bSave);
    win32::FileChoice choice = win32::CheckChosenFile(path, dlg.m_pOfn->Flags, dlg.m_bSave);
    if (choice == win32::FileChoice::Invalid)
    {
        Refuse(dlg, dlg.m_strName + "\nThe file name is not valid.", MB_OK | MB_ICONWARNING);
        return;
    }
    if (choice == win32::FileChoice::Folder || choice == win32::FileChoice::Wildcard)
    {
        if (choice == win32::FileChoice::Wildcard)
        {
            dlg.m_strPattern = FileNameOf(path);
            path = path.substr(0, path.size() - dlg.m_strPattern.size());
            if (path.size() > 1)
                path.pop_back();
        }
        if (access(path.c_str(), R_OK | X_OK) != 0)
        {
            Refuse(dlg, path + "\nPath does not exist.\nCheck the path and try again.", MB_OK | MB_ICONWARNING);
            return;
        }
        dlg.m_strName.clear();
        OpenFolder(dlg, path);
        return;
    }
    // An open dialog takes a bare name that exists as typed; otherwise the default extension.
    std::string withExt = win32::AddDefaultExtension(path, dlg.m_pOfn->lpstrDefExt);
    if (withExt != path && !(!dlg.m_bSave && access(path.c_str(), F_OK) == 0))
    {
        path = withExt;
        choice = win32::CheckChosenFile(path, dlg.m_pOfn->Flags, dlg.m_bSave);
    }
    switch (choice)
    {
    case win32::FileChoice::PathMissing:
        Refuse(dlg, path + "\nPath does not exist.\nCheck the path and try again.", MB_OK | MB_ICONWARNING);
        return;
    case win32::FileChoice::FileMissing:
        Refuse(dlg, FileNameOf(path) + "\nFile not found.\nCheck the file name and try again.", MB_OK | MB_ICONWARNING);
        return;
    case win32::FileChoice::AskOverwrite:
        if (MessageBoxA(dlg.m_hWnd, (FileNameOf(path) + " already exists.\nDo you want to replace it?").c_str(),
                        dlg.m_strTitle.c_str(), MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
            return;
        break;
    case win32::FileChoice::Folder:
        dlg.m_strName.clear();
        OpenFolder(dlg, path);
        return;
    default: break;
    }
    Finish(dlg, true, path);
}

void Activate(FileDialog& dlg, int nPart)
{
    if (nPart == PART_CANCEL)
        Finish(dlg, false, std::string());
    else if (nPart == PART_LIST && dlg.m_nSelected >= 0 && dlg.m_Entries[static_cast<size_t>(dlg.m_nSelected)].m_bFolder)
    {
        dlg.m_strName.clear();
        Choose(dlg);
    }
    else
        Choose(dlg);
}

void StepFilter(FileDialog& dlg, int nStep)
{
    int n = static_cast<int>(dlg.m_Filters.size());
    dlg.m_nFilter = static_cast<size_t>(((static_cast<int>(dlg.m_nFilter) + nStep) % n + n) % n);
    dlg.m_strPattern.clear();
    ListCurrentFolder(dlg);
}

void OnKeyDown(FileDialog& dlg, WPARAM nKey)
{
    bool bShift = GetKeyState(VK_SHIFT) < 0;
    switch (nKey)
    {
    case VK_ESCAPE: Finish(dlg, false, std::string()); return;
    case VK_TAB: dlg.m_nFocus = (dlg.m_nFocus + (bShift ? PART_COUNT - 1 : 1)) % PART_COUNT; break;
    case VK_RETURN: Activate(dlg, dlg.m_nFocus); return;
    case VK_SPACE:
        if (dlg.m_nFocus == PART_OK || dlg.m_nFocus == PART_CANCEL)
            Activate(dlg, dlg.m_nFocus);
        return;
    case VK_BACK:
        if (dlg.m_nFocus == PART_LIST)
            OpenFolder(dlg, win32::ResolveTypedName(dlg.m_strFolder, "..", false));
        return;
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END:
    {
        int nStep = nKey == VK_UP ? -1 : nKey == VK_DOWN ? 1 : nKey == VK_PRIOR ? -dlg.VisibleRows()
                  : nKey == VK_NEXT ? dlg.VisibleRows() : nKey == VK_HOME ? -1000000 : 1000000;
        if (dlg.m_nFocus == PART_TYPE && (nKey == VK_UP || nKey == VK_DOWN))
            StepFilter(dlg, nStep);
        else if (dlg.m_nFocus == PART_LIST || dlg.m_nFocus == PART_NAME)
        {
            dlg.m_nFocus = PART_LIST;
            // With nothing selected, End goes to the last row and every other key to the first.
            int nFrom = dlg.m_nSelected >= 0 ? dlg.m_nSelected : nKey == VK_END ? static_cast<int>(dlg.m_Entries.size()) : -1;
            SelectRow(dlg, dlg.m_nSelected < 0 && nKey != VK_END ? 0 : nFrom + nStep);
        }
        break;
    }
    default: return;
    }
    Refresh(dlg);
}

void OnChar(FileDialog& dlg, WPARAM nChar)
{
    if (nChar < ' ' && nChar != '\b')
        return;
    if (dlg.m_nFocus == PART_LIST && nChar != '\b')
    {
        // Type-ahead: the next entry after the selection that starts with the letter.
        size_t n = dlg.m_Entries.size();
        for (size_t k = 1; k <= n; ++k)
        {
            size_t i = (static_cast<size_t>(std::max(dlg.m_nSelected, 0)) + k) % n;
            const std::string& name = dlg.m_Entries[i].m_strName;
            if (!name.empty() && std::tolower(static_cast<unsigned char>(name[0])) == std::tolower(static_cast<int>(nChar)))
            {
                SelectRow(dlg, static_cast<int>(i));
                return;
            }
        }
        return;
    }
    if (dlg.m_nFocus != PART_NAME)
        return;
    if (nChar == '\b')
    {
        // A whole UTF-8 character goes.
        while (!dlg.m_strName.empty() && (static_cast<unsigned char>(dlg.m_strName.back()) & 0xC0) == 0x80)
            dlg.m_strName.pop_back();
        if (!dlg.m_strName.empty())
            dlg.m_strName.pop_back();
    }
    else if (nChar <= 0xFF)
        dlg.m_strName += static_cast<char>(nChar);
    Refresh(dlg);
}

int PartAt(POINT pt)
{
    const RECT* parts[PART_COUNT] = {&RC_NAME, &RC_LIST, &RC_TYPE, &RC_OK, &RC_CANCEL};
    for (int i = 0; i < PART_COUNT; ++i)
        if (PtInRect(parts[i], pt))
            return i;
    return -1;
}

int RowAt(const FileDialog& dlg, POINT pt)
{
    int nRow = dlg.m_nTop + (pt.y - RC_LIST.top - 2) / ROW_HEIGHT;
    return nRow >= 0 && nRow < static_cast<int>(dlg.m_Entries.size()) ? nRow : -1;
}

void OnButtonDown(FileDialog& dlg, POINT pt, bool bDouble)
{
    int nPart = PartAt(pt);
    if (nPart < 0)
        return;
    dlg.m_nFocus = nPart;
    if (nPart == PART_LIST)
    {
        int nRow = RowAt(dlg, pt);
        if (nRow >= 0)
        {
            SelectRow(dlg, nRow);
            if (bDouble)
                Activate(dlg, PART_LIST);
        }
    }
    else if (nPart == PART_TYPE)
        StepFilter(dlg, 1);
    else if (nPart == PART_OK || nPart == PART_CANCEL)
    {
        dlg.m_nPressed = nPart;
        SetCapture(dlg.m_hWnd);
    }
    Refresh(dlg);
}

void OnButtonUp(FileDialog& dlg, POINT pt)
{
    int nPressed = dlg.m_nPressed;
    dlg.m_nPressed = -1;
    if (GetCapture() == dlg.m_hWnd)
        ReleaseCapture();
    Refresh(dlg);
    if (nPressed >= 0 && PartAt(pt) == nPressed)
        Activate(dlg, nPressed);
}

// ---- Drawing
void DrawBox(HDC hdc, RECT rc, const std::string& text, bool bFocused, bool bCaret)
{
    DrawEdge(hdc, &rc, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    win32::FillSolidRect(hdc, rc, GetSysColor(COLOR_WINDOW));
    RECT rcText{rc.left + 3, rc.top, rc.right - 2, rc.bottom};
    SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
    DrawTextA(hdc, text.c_str(), -1, &rcText, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (bFocused && bCaret)
    {
        RECT rcMeasure = rcText;
        DrawTextA(hdc, text.c_str(), -1, &rcMeasure, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
        int x = std::min<int>(rcMeasure.right, rcText.right - 1);
        win32::FillSolidRect(hdc, RECT{x, rc.top + 3, x + 1, rc.bottom - 3}, GetSysColor(COLOR_WINDOWTEXT));
    }
    else if (bFocused)
    {
        RECT rcFocus{rc.left + 1, rc.top + 1, rc.right - 1, rc.bottom - 1};
        DrawFocusRect(hdc, &rcFocus);
    }
}

void DrawButton(HDC hdc, RECT rc, const char* szText, bool bFocused, bool bPressed, bool bDefault)
{
    if (bDefault)
    {
        FrameRect(hdc, &rc, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&rc, -1, -1);
    }
    DrawEdge(hdc, &rc, bPressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE);
    SetTextColor(hdc, GetSysColor(COLOR_BTNTEXT));
    DrawTextA(hdc, szText, -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (bFocused)
    {
        RECT rcFocus{rc.left + 3, rc.top + 3, rc.right - 3, rc.bottom - 3};
        DrawFocusRect(hdc, &rcFocus);
    }
}

void DrawList(HDC hdc, const FileDialog& dlg)
{
    RECT rc = RC_LIST;
    DrawEdge(hdc, &rc, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    win32::FillSolidRect(hdc, rc, GetSysColor(COLOR_WINDOW));
    int nRows = dlg.VisibleRows();
    for (int i = 0; i < nRows && dlg.m_nTop + i < static_cast<int>(dlg.m_Entries.size()); ++i)
    {
        int nRow = dlg.m_nTop + i;
        const win32::FolderEntry& entry = dlg.m_Entries[static_cast<size_t>(nRow)];
        RECT rcRow{rc.left, rc.top + i * ROW_HEIGHT, rc.right, rc.top + (i + 1) * ROW_HEIGHT};
        bool bSelected = nRow == dlg.m_nSelected;
        bool bFocused = dlg.m_nFocus == PART_LIST;
        if (bSelected)
            win32::FillSolidRect(hdc, rcRow, GetSysColor(bFocused ? COLOR_HIGHLIGHT : COLOR_3DFACE));
        // A folder shows a yellow tab, a file a white page.
        RECT rcIcon{rcRow.left + 3, rcRow.top + 3, rcRow.left + 15, rcRow.bottom - 3};
        win32::FillSolidRect(hdc, rcIcon, entry.m_bFolder ? RGB(240, 200, 80) : RGB(255, 255, 255));
        FrameRect(hdc, &rcIcon, GetSysColorBrush(COLOR_3DSHADOW));
        SetTextColor(hdc, GetSysColor(bSelected && bFocused ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        RECT rcText{rcRow.left + 19, rcRow.top, rcRow.right - 2, rcRow.bottom};
        DrawTextA(hdc, entry.m_strName.c_str(), -1, &rcText, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        if (bSelected && bFocused)
            DrawFocusRect(hdc, &rcRow);
    }
}

void Paint(FileDialog& dlg)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(dlg.m_hWnd, &ps);
    RECT rcClient{};
    GetClientRect(dlg.m_hWnd, &rcClient);
    FillRect(hdc, &rcClient, GetSysColorBrush(COLOR_3DFACE));
    HGDIOBJ hOld = SelectObject(hdc, ControlFont(nullptr));
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, GetSysColor(COLOR_BTNTEXT));
    struct Label
    {
        const char* m_szText;
        int y;
    };
    const Label labels[] = {{"Look in:", RC_FOLDER.top}, {"File name:", RC_NAME.top}, {"Files of type:", RC_TYPE.top}};
    for (const Label& label : labels)
    {
        RECT rc{8, label.y, 88, label.y + 22};
        DrawTextA(hdc, label.m_szText, -1, &rc, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    DrawBox(hdc, RC_FOLDER, dlg.m_strFolder, false, false);
    DrawList(hdc, dlg);
    DrawBox(hdc, RC_NAME, dlg.m_strName, dlg.m_nFocus == PART_NAME, true);
    std::string type = dlg.m_strPattern.empty() ? dlg.m_Filters[dlg.m_nFilter].m_strDescription : dlg.m_strPattern;
    DrawBox(hdc, RC_TYPE, type, dlg.m_nFocus == PART_TYPE, false);
    DrawButton(hdc, RC_OK, dlg.m_bSave ? "Save" : "Open", dlg.m_nFocus == PART_OK, dlg.m_nPressed == PART_OK, true);
    DrawButton(hdc, RC_CANCEL, "Cancel", dlg.m_nFocus == PART_CANCEL, dlg.m_nPressed == PART_CANCEL, false);
    SelectObject(hdc, hOld);
    EndPaint(dlg.m_hWnd, &ps);
    dlg.m_bPainted = true;
}

LRESULT CALLBACK FileDialogProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    auto* pDlg = reinterpret_cast<FileDialog*>(GetWindowLongPtrA(hWnd, GWL_USERDATA));
    if (!pDlg || pDlg->m_bDone)
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    FileDialog& dlg = *pDlg;
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (nMessage)
    {
    case WM_PAINT: Paint(dlg); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_KEYDOWN: OnKeyDown(dlg, wParam); return 0;
    case WM_CHAR: OnChar(dlg, wParam); return 0;
    case WM_LBUTTONDOWN: OnButtonDown(dlg, pt, false); return 0;
    case WM_LBUTTONDBLCLK: OnButtonDown(dlg, pt, true); return 0;
    case WM_LBUTTONUP: OnButtonUp(dlg, pt); return 0;
    case WM_MOUSEWHEEL:
    {
        int nMax = std::max(0, static_cast<int>(dlg.m_Entries.size()) - dlg.VisibleRows());
        dlg.m_nTop = std::clamp(dlg.m_nTop - static_cast<SHORT>(HIWORD(wParam)) / 120 * WHEEL_ROWS, 0, nMax);
        Refresh(dlg);
        return 0;
    }
    case WM_CLOSE: Finish(dlg, false, std::string()); return 0;
    default: return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    }
}

// Where the dialog starts: the folder part of the initial name, else the initial folder, else
// the current directory.
void StartIn(FileDialog& dlg)
{
    char szCwd[4096] = {};
    std::string cwd = getcwd(szCwd, sizeof(szCwd)) ? szCwd : "/";
    OPENFILENAMEA& ofn = *dlg.m_pOfn;
    std::string initial;
    if (ofn.lpstrFile && ofn.nMaxFile > 0)
        initial.assign(ofn.lpstrFile, strnlen(ofn.lpstrFile, ofn.nMaxFile));
    std::replace(initial.begin(), initial.end(), '\\', '/');
    std::string folder;
    size_t nSlash = initial.find_last_of('/');
    if (nSlash != std::string::npos)
    {
        folder = win32::ResolveTypedName(cwd, initial.substr(0, nSlash + 1), false);
        if (nSlash == 0)
            folder = "/";
        initial.erase(0, nSlash + 1);
    }
    if ((folder.empty() || access(folder.c_str(), X_OK) != 0) && ofn.lpstrInitialDir && *ofn.lpstrInitialDir)
        folder = win32::MapPath(ofn.lpstrInitialDir, false);
    if (folder.empty() || access(folder.c_str(), X_OK) != 0)
        folder = cwd;
    dlg.m_strFolder = folder;
    if (initial.find_first_of("*?") != std::string::npos)
        dlg.m_strPattern = initial;
    else
        dlg.m_strName = initial;
}

// The chosen path into the caller's record; false when it does not fit.
bool WriteResult(OPENFILENAMEA& ofn, const std::string& path, size_t nFilter)
{
    if (!ofn.lpstrFile || path.size() + 1 > ofn.nMaxFile)
    {
        g_nExtendedError = FNERR_BUFFERTOOSMALL;
        if (ofn.lpstrFile && ofn.nMaxFile >= 2)
        {
            WORD nNeeded = static_cast<WORD>(std::min<size_t>(path.size() + 1, 0xFFFF));
            std::memcpy(ofn.lpstrFile, &nNeeded, sizeof(nNeeded));
        }
        return false;
    }
    std::memcpy(ofn.lpstrFile, path.c_str(), path.size() + 1);
    size_t nName = path.find_last_of('/') + 1;
    size_t nDot = path.find_last_of('.');
    ofn.nFileOffset = static_cast<WORD>(std::min<size_t>(nName, 0xFFFF));
    ofn.nFileExtension = static_cast<WORD>(nDot == std::string::npos || nDot < nName ? 0 : std::min<size_t>(nDot + 1, 0xFFFF));
    if (ofn.lpstrFileTitle && ofn.nMaxFileTitle > 0)
    {
        size_t n = std::min<size_t>(path.size() - nName, ofn.nMaxFileTitle - 1);
        std::memcpy(ofn.lpstrFileTitle, path.data() + nName, n);
        ofn.lpstrFileTitle[n] = 0;
    }
    ofn.nFilterIndex = static_cast<DWORD>(nFilter + 1);
    ofn.Flags &= ~OFN_READONLY;
    return true;
}

// Puts the owner back however the dialog ends, a script running out included.
struct DialogCleanup
{
    HWND m_hDlg;
    HWND m_hOwner;
    bool m_bReenable;
    ~DialogCleanup()
    {
        if (m_bReenable)
            EnableWindow(m_hOwner, TRUE);
        if (IsWindow(m_hDlg))
            DestroyWindow(m_hDlg);
    }
};

BOOL RunFileDialog(LPOPENFILENAMEA lpofn, bool bSave)
{
    g_nExtendedError = 0;
    if (!lpofn)
    {
        g_nExtendedError = CDERR_INITIALIZATION;
        return FALSE;
    }
    FileDialog dlg;
    dlg.m_pOfn = lpofn;
    dlg.m_bSave = bSave;
    dlg.m_strTitle = lpofn->lpstrTitle && *lpofn->lpstrTitle ? lpofn->lpstrTitle : bSave ? "Save As" : "Open";
    dlg.m_Filters = win32::ParseFileFilter(lpofn->lpstrFilter);
    dlg.m_nFilter = lpofn->nFilterIndex > 0 ? std::min<size_t>(lpofn->nFilterIndex - 1, dlg.m_Filters.size() - 1) : 0;
    StartIn(dlg);

    HWND hOwner = GetAncestor(lpofn->hwndOwner, GA_ROOT);
    bool bReenable = hOwner && IsWindowEnabled(hOwner);
    if (bReenable)
        EnableWindow(hOwner, FALSE);
    int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    HWND hDlg = CreateWindowExA(WS_EX_DLGMODALFRAME, "#32770", dlg.m_strTitle.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                0, 0, CLIENT_WIDTH, CLIENT_HEIGHT, hOwner, nullptr, nullptr, nullptr);
    DialogCleanup cleanup{hDlg, hOwner, bReenable};
    if (!hDlg)
    {
        g_nExtendedError = CDERR_DIALOGFAILURE;
        return FALSE;
    }
    // The client area gets its size; the window is centred on the screen.
    RECT rcWindow{}, rcClient{};
    GetWindowRect(hDlg, &rcWindow);
    GetClientRect(hDlg, &rcClient);
    int cxWindow = CLIENT_WIDTH + (rcWindow.right - rcWindow.left) - rcClient.right;
    int cyWindow = CLIENT_HEIGHT + (rcWindow.bottom - rcWindow.top) - rcClient.bottom;
    SetWindowPos(hDlg, nullptr, (cx - cxWindow) / 2, (cy - cyWindow) / 2, cxWindow, cyWindow, SWP_NOZORDER | SWP_NOACTIVATE);
    dlg.m_hWnd = hDlg;
    SetWindowLongPtrA(hDlg, GWL_USERDATA, reinterpret_cast<LONG_PTR>(&dlg));
    SetWindowLongPtrA(hDlg, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(FileDialogProc));
    ListCurrentFolder(dlg);
    ShowWindow(hDlg, SW_SHOW);
    SetFocus(hDlg);

    win32::ModalLoop loop;
    loop.m_szName = bSave ? "GetSaveFileName" : "GetOpenFileName";
    loop.m_hWnd = hDlg;
    loop.m_hOwner = hOwner;
    loop.m_nFilterCode = MSGF_DIALOGBOX;
    loop.m_fnIdle = [&] {
        // Each answer is typed into the name field and chosen; an empty one cancels. A refused
        // answer leaves the dialog open for the next one.
        std::string value;
        while (!dlg.m_bDone && dlg.m_bPainted && win32::TakeAnswer("file", value))
        {
            if (value.empty())
                Finish(dlg, false, std::string());
            else
            {
                dlg.m_strName = value;
                Choose(dlg);
            }
        }
    };
    win32::RunModalLoop(loop, [&] { return dlg.m_bDone || !IsWindow(hDlg); });
    SetWindowLongPtrA(hDlg, GWL_USERDATA, 0);
    if (!dlg.m_bAccepted)
        return FALSE;
    return WriteResult(*lpofn, dlg.m_strResult, dlg.m_nFilter) ? TRUE : FALSE;
}
}

BOOL GetOpenFileNameA(LPOPENFILENAMEA lpofn)
{
    return RunFileDialog(lpofn, false);
}

BOOL GetSaveFileNameA(LPOPENFILENAMEA lpofn)
{
    return RunFileDialog(lpofn, true);
}

DWORD CommDlgExtendedError()
{
    return g_nExtendedError;
}
