// The clipboard, within the program: one block per format, owned by the clipboard once set and
// freed when it is emptied. Nothing reaches other programs.
#include "UserState.h"

#include <win32/controls.h>
#include <win32/winbase.h>

#include <map>

namespace
{
struct ClipboardState
{
    bool m_bOpen = false;
    HWND m_hOpener = nullptr;
    std::map<UINT, HGLOBAL> m_Data;
    ~ClipboardState()
    {
        for (auto& entry : m_Data)
            GlobalFree(entry.second);
    }
};
ClipboardState& Clipboard()
{
    static ClipboardState s_Clipboard;
    return s_Clipboard;
}
}

BOOL OpenClipboard(HWND hWndNewOwner)
{
    ClipboardState& clip = Clipboard();
    if (clip.m_bOpen)
        return FALSE;
    clip.m_bOpen = true;
    clip.m_hOpener = hWndNewOwner;
    return TRUE;
}

BOOL CloseClipboard()
{
    ClipboardState& clip = Clipboard();
    if (!clip.m_bOpen)
        return FALSE;
    clip.m_bOpen = false;
    clip.m_hOpener = nullptr;
    return TRUE;
}

BOOL EmptyClipboard()
{
    ClipboardState& clip = Clipboard();
    if (!clip.m_bOpen)
        return FALSE;
    for (auto& entry : clip.m_Data)
        GlobalFree(entry.second);
    clip.m_Data.clear();
    return TRUE;
}

HANDLE SetClipboardData(UINT uFormat, HANDLE hMem)
{
    ClipboardState& clip = Clipboard();
    if (!clip.m_bOpen || !hMem)
        return nullptr;
    HGLOBAL& slot = clip.m_Data[uFormat];
    if (slot && slot != static_cast<HGLOBAL>(hMem))
        GlobalFree(slot);
    slot = static_cast<HGLOBAL>(hMem);
    return hMem;
}

HANDLE GetClipboardData(UINT uFormat)
{
    ClipboardState& clip = Clipboard();
    if (!clip.m_bOpen)
        return nullptr;
    auto it = clip.m_Data.find(uFormat);
    return it == clip.m_Data.end() ? nullptr : it->second;
}

BOOL IsClipboardFormatAvailable(UINT format)
{
    return Clipboard().m_Data.count(format) != 0;
}

BOOL MessageBeep(UINT)
{
    return TRUE;
}
