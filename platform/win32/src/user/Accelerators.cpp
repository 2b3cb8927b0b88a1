// Accelerator tables and TranslateAccelerator. Tables live in a generation-checked slot list, so
// a stale handle fails; a table loaded from the resources is loaded once and shared, as Windows
// shares resource tables between callers.
#include <win32/accelerators.h>
#include <win32/resources.h>
#include <win32/user.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace
{
struct AccelTable
{
    std::vector<ACCEL> m_Entries;
    const ResourceEntry* m_pSource = nullptr;   // the resource it came from, or null
    uint32_t m_nGeneration = 0;
    bool m_bLive = false;
};

std::vector<AccelTable>& Tables()
{
    static std::vector<AccelTable> s_Tables;
    return s_Tables;
}

HACCEL MakeHandle(size_t nIndex, uint32_t nGeneration)
{
    return reinterpret_cast<HACCEL>(static_cast<uint64_t>(nGeneration) << 32 | (nIndex + 1));
}

AccelTable* FindTable(HACCEL hAccel)
{
    uint64_t v = reinterpret_cast<uint64_t>(hAccel);
    size_t nIndex = static_cast<size_t>(v & 0xFFFFFFFFu);
    auto& tables = Tables();
    if (nIndex == 0 || nIndex > tables.size())
        return nullptr;
    AccelTable& t = tables[nIndex - 1];
    return t.m_bLive && t.m_nGeneration == static_cast<uint32_t>(v >> 32) ? &t : nullptr;
}

HACCEL AddTable(std::vector<ACCEL> entries, const ResourceEntry* pSource)
{
    auto& tables = Tables();
    size_t i = 0;
    while (i < tables.size() && tables[i].m_bLive)
        ++i;
    if (i == tables.size())
        tables.emplace_back();
    AccelTable& t = tables[i];
    t.m_Entries = std::move(entries);
    t.m_pSource = pSource;
    t.m_bLive = true;
    if (++t.m_nGeneration == 0)
        t.m_nGeneration = 1;
    return MakeHandle(i, t.m_nGeneration);
}

bool KeyDown(int nVirtualKey)
{
    return (GetKeyState(nVirtualKey) & 0x8000) != 0;
}

bool Matches(const ACCEL& a, const MSG& msg)
{
    bool bAlt = KeyDown(VK_MENU);
    if (a.fVirt & FVIRTKEY)
    {
        if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN)
            return false;
        return msg.wParam == a.key && bool(a.fVirt & FSHIFT) == KeyDown(VK_SHIFT) &&
               bool(a.fVirt & FCONTROL) == KeyDown(VK_CONTROL) && bool(a.fVirt & FALT) == bAlt;
    }
    // A character accelerator matches the typed character itself, case and all.
    if (msg.message != WM_CHAR && msg.message != WM_SYSCHAR)
        return false;
    return msg.wParam == a.key && bool(a.fVirt & FALT) == bAlt;
}
}

HACCEL LoadAcceleratorsA(HINSTANCE, LPCSTR lpTableName)
{
    if (!IS_INTRESOURCE(lpTableName))
        return nullptr;
    const ResourceEntry* pEntry =
        FindResourceEntry("ACCELERATOR", static_cast<int>(reinterpret_cast<ULONG_PTR>(lpTableName)));
    if (!pEntry || !pEntry->m_pData || pEntry->m_nSize < sizeof(ACCEL))
        return nullptr;
    auto& tables = Tables();
    for (size_t i = 0; i < tables.size(); ++i)
        if (tables[i].m_bLive && tables[i].m_pSource == pEntry)
            return MakeHandle(i, tables[i].m_nGeneration);
    std::vector<ACCEL> entries(pEntry->m_nSize / sizeof(ACCEL));
    std::memcpy(entries.data(), pEntry->m_pData, entries.size() * sizeof(ACCEL));
    return AddTable(std::move(entries), pEntry);
}

HACCEL CreateAcceleratorTableA(LPACCEL paccel, int cAccel)
{
    if (!paccel || cAccel <= 0)
        return nullptr;
    return AddTable(std::vector<ACCEL>(paccel, paccel + cAccel), nullptr);
}

BOOL DestroyAcceleratorTable(HACCEL hAccel)
{
    AccelTable* pTable = FindTable(hAccel);
    if (!pTable)
        return FALSE;
    pTable->m_bLive = false;
    pTable->m_Entries.clear();
    pTable->m_pSource = nullptr;
    return TRUE;
}

int CopyAcceleratorTableA(HACCEL hAccelSrc, LPACCEL lpAccelDst, int cAccelEntries)
{
    AccelTable* pTable = FindTable(hAccelSrc);
    if (!pTable)
        return 0;
    int nCount = static_cast<int>(pTable->m_Entries.size());
    if (!lpAccelDst)
        return nCount;
    int n = std::min(nCount, std::max(cAccelEntries, 0));
    std::copy(pTable->m_Entries.begin(), pTable->m_Entries.begin() + n, lpAccelDst);
    return n;
}

int TranslateAcceleratorA(HWND hWnd, HACCEL hAccTable, LPMSG lpMsg)
{
    AccelTable* pTable = FindTable(hAccTable);
    if (!pTable || !lpMsg || !IsWindow(hWnd))
        return 0;
    for (const ACCEL& a : pTable->m_Entries)
        if (Matches(a, *lpMsg))
        {
            SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(a.cmd, 1), 0);
            return 1;
        }
    return 0;
}
