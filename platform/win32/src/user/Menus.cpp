// Menus as item lists behind generation-checked handles, and their state calls.
#include "Menus.h"
#include "UserState.h"

#include <win32/menus.h>
#include <win32/resources.h>

#include "core/Log.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{
struct MenuItem
{
    UINT m_nType = MFT_STRING;   // MFT_ flags
    UINT m_nState = 0;           // MFS_ flags
    UINT m_nId = 0;
    HMENU m_hSubMenu = nullptr;
    ULONG_PTR m_nData = 0;
    std::string m_strText;
    HBITMAP m_hbmChecked = nullptr;
    HBITMAP m_hbmUnchecked = nullptr;
    HBITMAP m_hbmItem = nullptr;
};

struct Menu
{
    bool m_bPopup = false;
    std::vector<MenuItem> m_Items;
};

struct MenuStore
{
    std::vector<std::unique_ptr<Menu>> m_Menus;   // slot index + 1 and generation form the handle
    std::vector<uint32_t> m_Generations;
};

MenuStore& Store()
{
    static MenuStore s_Store;
    return s_Store;
}

HMENU AllocateMenu(bool bPopup)
{
    MenuStore& store = Store();
    size_t i = 0;
    while (i < store.m_Menus.size() && store.m_Menus[i])
        ++i;
    if (i == store.m_Menus.size())
    {
        store.m_Menus.push_back(nullptr);
        store.m_Generations.push_back(0);
    }
    if (++store.m_Generations[i] == 0)
        store.m_Generations[i] = 1;
    store.m_Menus[i] = std::make_unique<Menu>();
    store.m_Menus[i]->m_bPopup = bPopup;
    return reinterpret_cast<HMENU>(static_cast<uint64_t>(store.m_Generations[i]) << 32 | (i + 1));
}

Menu* FindMenu(HMENU hMenu)
{
    uint64_t n = reinterpret_cast<uint64_t>(hMenu);
    size_t i = static_cast<size_t>(n & 0xFFFFFFFFu);
    MenuStore& store = Store();
    if (i == 0 || i > store.m_Menus.size() || store.m_Generations[i - 1] != static_cast<uint32_t>(n >> 32))
        return nullptr;
    return store.m_Menus[i - 1].get();
}

// An item by position in this menu, or by command in it and its submenus (depth first).
struct ItemRef
{
    Menu* m_pMenu = nullptr;
    size_t m_nIndex = 0;
    MenuItem* Get() const { return m_pMenu ? &m_pMenu->m_Items[m_nIndex] : nullptr; }
};

ItemRef FindItemByCommand(Menu* pMenu, UINT nId, int nDepth)
{
    // Menus can be shared between parents; the depth limit stops a menu that contains itself.
    if (!pMenu || nDepth > 16)
        return {};
    for (size_t i = 0; i < pMenu->m_Items.size(); ++i)
    {
        const MenuItem& item = pMenu->m_Items[i];
        if (!item.m_hSubMenu && item.m_nId == nId)
            return {pMenu, i};
        if (item.m_hSubMenu)
            if (ItemRef r = FindItemByCommand(FindMenu(item.m_hSubMenu), nId, nDepth + 1); r.m_pMenu)
                return r;
    }
    // A submenu item is found by its command only when no plain item has it.
    for (size_t i = 0; i < pMenu->m_Items.size(); ++i)
        if (pMenu->m_Items[i].m_hSubMenu && pMenu->m_Items[i].m_nId == nId)
            return {pMenu, i};
    return {};
}

ItemRef FindItem(HMENU hMenu, UINT nItem, bool bByPosition)
{
    Menu* pMenu = FindMenu(hMenu);
    if (!pMenu)
        return {};
    if (bByPosition)
        return nItem < pMenu->m_Items.size() ? ItemRef{pMenu, nItem} : ItemRef{};
    return FindItemByCommand(pMenu, nItem, 0);
}

// An item from AppendMenu/InsertMenu/ModifyMenu flags.
bool MakeItem(UINT nFlags, UINT_PTR nIdNew, LPCSTR lpNewItem, MenuItem& item)
{
    item.m_nState = nFlags & (MFS_GRAYED | MFS_CHECKED | MFS_HILITE | MFS_DEFAULT);
    item.m_nType = nFlags & (MFT_BITMAP | MFT_MENUBARBREAK | MFT_MENUBREAK | MFT_OWNERDRAW | MFT_SEPARATOR |
                             MFT_RIGHTJUSTIFY);
    if (nFlags & MF_POPUP)
    {
        item.m_hSubMenu = reinterpret_cast<HMENU>(nIdNew);
        if (!FindMenu(item.m_hSubMenu))
            return false;
        item.m_nId = static_cast<UINT>(nIdNew);
    }
    else
        item.m_nId = static_cast<UINT>(nIdNew);
    if (nFlags & MF_OWNERDRAW)
        item.m_nData = reinterpret_cast<ULONG_PTR>(lpNewItem);
    else if (nFlags & MF_BITMAP)
        item.m_hbmItem = reinterpret_cast<HBITMAP>(const_cast<char*>(lpNewItem));
    else if (!(nFlags & MF_SEPARATOR) && lpNewItem)
        item.m_strText = lpNewItem;
    return true;
}

void DestroyMenuTree(HMENU hMenu, int nDepth)
{
    Menu* pMenu = FindMenu(hMenu);
    if (!pMenu || nDepth > 16)
        return;
    std::vector<MenuItem> items = std::move(pMenu->m_Items);
    uint64_t n = reinterpret_cast<uint64_t>(hMenu);
    size_t i = static_cast<size_t>(n & 0xFFFFFFFFu) - 1;
    Store().m_Menus[i].reset();
    ++Store().m_Generations[i];
    for (const MenuItem& item : items)
        DestroyMenuTree(item.m_hSubMenu, nDepth + 1);
}

// The MF_ flags GetMenuState and the state calls report.
UINT ItemFlags(const MenuItem& item)
{
    UINT n = item.m_nState | item.m_nType;
    if (item.m_hSubMenu)
    {
        const Menu* pSub = FindMenu(item.m_hSubMenu);
        n |= MF_POPUP | static_cast<UINT>(std::min<size_t>(pSub ? pSub->m_Items.size() : 0, 255)) << 8;
    }
    return n;
}

// ---- Menu templates: a version word and an offset word, then the items.
bool ReadTemplateLevel(const BYTE*& p, const BYTE* pEnd, HMENU hMenu, int nDepth)
{
    auto readWord = [&](WORD& w) {
        if (pEnd - p < 2)
            return false;
        w = static_cast<WORD>(p[0] | p[1] << 8);
        p += 2;
        return true;
    };
    for (;;)
    {
        WORD nFlags = 0, nId = 0;
        if (!readWord(nFlags) || (!(nFlags & MF_POPUP) && !readWord(nId)))
            return false;
        std::string text;
        for (WORD c = 0;;)
        {
            if (!readWord(c))
                return false;
            if (!c)
                break;
            // UTF-16 to UTF-8; the templates hold only the basic plane.
            if (c < 0x80)
                text += static_cast<char>(c);
            else if (c < 0x800)
                text += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
            else
                text += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
                         static_cast<char>(0x80 | (c & 0x3F))};
        }
        UINT nItemFlags = nFlags & ~(MF_END | MF_POPUP);
        if (nFlags & MF_POPUP)
        {
            if (nDepth > 16)
                return false;
            HMENU hSub = CreatePopupMenu();
            if (!ReadTemplateLevel(p, pEnd, hSub, nDepth + 1))
            {
                DestroyMenu(hSub);
                return false;
            }
            AppendMenuA(hMenu, nItemFlags | MF_POPUP, reinterpret_cast<UINT_PTR>(hSub), text.c_str());
        }
        else if (nId == 0 && nFlags == 0 && text.empty())
            AppendMenuA(hMenu, MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuA(hMenu, nItemFlags, nId, text.c_str());
        if (nFlags & MF_END)
            return true;
    }
}
}

void ResetMenus()
{
    MenuStore& store = Store();
    for (size_t i = 0; i < store.m_Menus.size(); ++i)
        if (store.m_Menus[i])
        {
            store.m_Menus[i].reset();
            ++store.m_Generations[i];
        }
}

HMENU CreateMenu()
{
    return AllocateMenu(false);
}

HMENU CreatePopupMenu()
{
    return AllocateMenu(true);
}

BOOL DestroyMenu(HMENU hMenu)
{
    if (!FindMenu(hMenu))
        return FALSE;
    // Windows that show it forget it first.
    for (const auto& pWnd : User().m_Windows)
        if (pWnd && pWnd->m_hMenu == hMenu && !(pWnd->m_nStyle & WS_CHILD))
            pWnd->m_hMenu = nullptr;
    DestroyMenuTree(hMenu, 0);
    return TRUE;
}

BOOL IsMenu(HMENU hMenu)
{
    return FindMenu(hMenu) != nullptr;
}

HMENU LoadMenuA(HINSTANCE, LPCSTR lpMenuName)
{
    if (!IS_INTRESOURCE(lpMenuName))
        return nullptr;
    int nId = static_cast<int>(reinterpret_cast<ULONG_PTR>(lpMenuName));
    const ResourceEntry* pEntry = FindResourceEntry("MENU", nId);
    if (!pEntry || pEntry->m_nSize < 4)
    {
        LogWarning("LoadMenuA() - no menu resource %d.", nId);
        return nullptr;
    }
    const auto* p = static_cast<const BYTE*>(pEntry->m_pData);
    WORD nOffset = static_cast<WORD>(p[2] | p[3] << 8);
    if (4 + static_cast<size_t>(nOffset) > pEntry->m_nSize)
        return nullptr;
    const BYTE* pItems = p + 4 + nOffset;
    HMENU hMenu = CreateMenu();
    if (!ReadTemplateLevel(pItems, p + pEntry->m_nSize, hMenu, 0))
    {
        LogWarning("LoadMenuA() - menu resource %d is damaged.", nId);
        DestroyMenu(hMenu);
        return nullptr;
    }
    return hMenu;
}

BOOL AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem)
{
    Menu* pMenu = FindMenu(hMenu);
    MenuItem item;
    if (!pMenu || !MakeItem(uFlags, uIDNewItem, lpNewItem, item))
        return FALSE;
    pMenu->m_Items.push_back(std::move(item));
    return TRUE;
}

BOOL InsertMenuA(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem)
{
    MenuItem item;
    if (!FindMenu(hMenu) || !MakeItem(uFlags, uIDNewItem, lpNewItem, item))
        return FALSE;
    // By position, a position past the end appends; by command, the new item goes before the
    // found one, in that item's menu.
    ItemRef at = FindItem(hMenu, uPosition, (uFlags & MF_BYPOSITION) != 0);
    Menu* pMenu = at.m_pMenu ? at.m_pMenu : FindMenu(hMenu);
    if (!at.m_pMenu && !(uFlags & MF_BYPOSITION))
        return FALSE;
    size_t nIndex = at.m_pMenu ? at.m_nIndex : pMenu->m_Items.size();
    pMenu->m_Items.insert(pMenu->m_Items.begin() + static_cast<std::ptrdiff_t>(nIndex), std::move(item));
    return TRUE;
}

BOOL ModifyMenuA(HMENU hMnu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem)
{
    ItemRef at = FindItem(hMnu, uPosition, (uFlags & MF_BYPOSITION) != 0);
    MenuItem item;
    if (!at.m_pMenu || !MakeItem(uFlags, uIDNewItem, lpNewItem, item))
        return FALSE;
    // A submenu that the item no longer holds is destroyed.
    HMENU hOld = at.Get()->m_hSubMenu;
    if (hOld && hOld != item.m_hSubMenu)
        DestroyMenu(hOld);
    *at.Get() = std::move(item);
    return TRUE;
}

BOOL RemoveMenu(HMENU hMenu, UINT uPosition, UINT uFlags)
{
    ItemRef at = FindItem(hMenu, uPosition, (uFlags & MF_BYPOSITION) != 0);
    if (!at.m_pMenu)
        return FALSE;
    at.m_pMenu->m_Items.erase(at.m_pMenu->m_Items.begin() + static_cast<std::ptrdiff_t>(at.m_nIndex));
    return TRUE;
}

BOOL DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags)
{
    ItemRef at = FindItem(hMenu, uPosition, (uFlags & MF_BYPOSITION) != 0);
    if (!at.m_pMenu)
        return FALSE;
    HMENU hSub = at.Get()->m_hSubMenu;
    at.m_pMenu->m_Items.erase(at.m_pMenu->m_Items.begin() + static_cast<std::ptrdiff_t>(at.m_nIndex));
    if (hSub)
        DestroyMenu(hSub);
    return TRUE;
}

DWORD CheckMenuItem(HMENU hMenu, UINT uIDCheckItem, UINT uCheck)
{
    MenuItem* pItem = FindItem(hMenu, uIDCheckItem, (uCheck & MF_BYPOSITION) != 0).Get();
    if (!pItem)
        return static_cast<DWORD>(-1);
    DWORD nOld = pItem->m_nState & MF_CHECKED;
    pItem->m_nState = (pItem->m_nState & ~MF_CHECKED) | (uCheck & MF_CHECKED);
    return nOld;
}

BOOL EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable)
{
    MenuItem* pItem = FindItem(hMenu, uIDEnableItem, (uEnable & MF_BYPOSITION) != 0).Get();
    if (!pItem)
        return -1;
    BOOL nOld = static_cast<BOOL>(pItem->m_nState & (MF_GRAYED | MF_DISABLED));
    pItem->m_nState = (pItem->m_nState & ~(MF_GRAYED | MF_DISABLED)) | (uEnable & (MF_GRAYED | MF_DISABLED));
    return nOld;
}

BOOL CheckMenuRadioItem(HMENU hmenu, UINT first, UINT last, UINT check, UINT flags)
{
    bool bByPosition = (flags & MF_BYPOSITION) != 0;
    ItemRef target = FindItem(hmenu, check, bByPosition);
    if (!target.m_pMenu)
        return FALSE;
    // The range lies in the menu that holds the checked item.
    for (size_t i = 0; i < target.m_pMenu->m_Items.size(); ++i)
    {
        MenuItem& item = target.m_pMenu->m_Items[i];
        UINT nKey = bByPosition ? static_cast<UINT>(i) : item.m_nId;
        if (nKey < first || nKey > last || item.m_hSubMenu)
            continue;
        bool bOn = i == target.m_nIndex;
        item.m_nState = (item.m_nState & ~MF_CHECKED) | (bOn ? MF_CHECKED : 0);
        if (bOn)
            item.m_nType |= MFT_RADIOCHECK;
    }
    return TRUE;
}

UINT GetMenuState(HMENU hMenu, UINT uId, UINT uFlags)
{
    const MenuItem* pItem = FindItem(hMenu, uId, (uFlags & MF_BYPOSITION) != 0).Get();
    return pItem ? ItemFlags(*pItem) : static_cast<UINT>(-1);
}

int GetMenuItemCount(HMENU hMenu)
{
    const Menu* pMenu = FindMenu(hMenu);
    return pMenu ? static_cast<int>(pMenu->m_Items.size()) : -1;
}

UINT GetMenuItemID(HMENU hMenu, int nPos)
{
    const MenuItem* pItem = nPos < 0 ? nullptr : FindItem(hMenu, static_cast<UINT>(nPos), true).Get();
    return pItem && !pItem->m_hSubMenu ? pItem->m_nId : static_cast<UINT>(-1);
}

HMENU GetSubMenu(HMENU hMenu, int nPos)
{
    const MenuItem* pItem = nPos < 0 ? nullptr : FindItem(hMenu, static_cast<UINT>(nPos), true).Get();
    return pItem && FindMenu(pItem->m_hSubMenu) ? pItem->m_hSubMenu : nullptr;
}

int GetMenuStringA(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags)
{
    const MenuItem* pItem = FindItem(hMenu, uIDItem, (flags & MF_BYPOSITION) != 0).Get();
    if (!pItem)
        return 0;
    const std::string& text = pItem->m_strText;
    if (!lpString || cchMax <= 0)
        return static_cast<int>(text.size());
    size_t n = std::min(text.size(), static_cast<size_t>(cchMax - 1));
    std::memcpy(lpString, text.data(), n);
    lpString[n] = 0;
    return static_cast<int>(n);
}

BOOL GetMenuItemInfoA(HMENU hmenu, UINT item, BOOL fByPosition, LPMENUITEMINFOA lpmii)
{
    const MenuItem* pItem = FindItem(hmenu, item, fByPosition != FALSE).Get();
    if (!pItem || !lpmii)
        return FALSE;
    UINT nMask = lpmii->fMask;
    if (nMask & (MIIM_FTYPE | MIIM_TYPE))
        lpmii->fType = pItem->m_nType;
    if (nMask & MIIM_STATE)
        lpmii->fState = pItem->m_nState;
    if (nMask & MIIM_ID)
        lpmii->wID = pItem->m_nId;
    if (nMask & MIIM_SUBMENU)
        lpmii->hSubMenu = pItem->m_hSubMenu;
    if (nMask & MIIM_CHECKMARKS)
    {
        lpmii->hbmpChecked = pItem->m_hbmChecked;
        lpmii->hbmpUnchecked = pItem->m_hbmUnchecked;
    }
    if (nMask & MIIM_DATA)
        lpmii->dwItemData = pItem->m_nData;
    if (nMask & MIIM_BITMAP)
        lpmii->hbmpItem = pItem->m_hbmItem;
    bool bText = (nMask & MIIM_STRING) || ((nMask & MIIM_TYPE) && !(pItem->m_nType & (MFT_OWNERDRAW | MFT_BITMAP |
                                                                                      MFT_SEPARATOR)));
    if (bText)
    {
        // cch comes back as the text's length; the buffer gets as much as fits.
        const std::string& text = pItem->m_strText;
        if (lpmii->dwTypeData && lpmii->cch > 0)
        {
            size_t n = std::min<size_t>(text.size(), lpmii->cch - 1);
            std::memcpy(lpmii->dwTypeData, text.data(), n);
            lpmii->dwTypeData[n] = 0;
            lpmii->cch = static_cast<UINT>(n);
        }
        else
            lpmii->cch = static_cast<UINT>(text.size());
    }
    return TRUE;
}

BOOL SetMenuItemInfoA(HMENU hmenu, UINT item, BOOL fByPositon, LPCMENUITEMINFOA lpmii)
{
    MenuItem* pItem = FindItem(hmenu, item, fByPositon != FALSE).Get();
    if (!pItem || !lpmii)
        return FALSE;
    UINT nMask = lpmii->fMask;
    if ((nMask & MIIM_SUBMENU) && lpmii->hSubMenu && !FindMenu(lpmii->hSubMenu))
        return FALSE;
    if (nMask & (MIIM_FTYPE | MIIM_TYPE))
        pItem->m_nType = lpmii->fType;
    if (nMask & MIIM_STATE)
        pItem->m_nState = lpmii->fState;
    if (nMask & MIIM_ID)
        pItem->m_nId = lpmii->wID;
    if (nMask & MIIM_SUBMENU)
        pItem->m_hSubMenu = lpmii->hSubMenu;
    if (nMask & MIIM_CHECKMARKS)
    {
        pItem->m_hbmChecked = lpmii->hbmpChecked;
        pItem->m_hbmUnchecked = lpmii->hbmpUnchecked;
    }
    if (nMask & MIIM_DATA)
        pItem->m_nData = lpmii->dwItemData;
    if (nMask & MIIM_BITMAP)
        pItem->m_hbmItem = lpmii->hbmpItem;
    bool bText = (nMask & MIIM_STRING) || ((nMask & MIIM_TYPE) && !(lpmii->fType & (MFT_OWNERDRAW | MFT_BITMAP |
                                                                                     MFT_SEPARATOR)));
    if (bText)
        pItem->m_strText = lpmii->dwTypeData ? lpmii->dwTypeData : "";
    return TRUE;
}

BOOL InsertMenuItemA(HMENU hmenu, UINT item, BOOL fByPosition, LPCMENUITEMINFOA lpmi)
{
    if (!lpmi || !FindMenu(hmenu))
        return FALSE;
    ItemRef at = FindItem(hmenu, item, fByPosition != FALSE);
    if (!at.m_pMenu && !fByPosition)
        return FALSE;
    Menu* pMenu = at.m_pMenu ? at.m_pMenu : FindMenu(hmenu);
    size_t nIndex = at.m_pMenu ? at.m_nIndex : pMenu->m_Items.size();
    pMenu->m_Items.insert(pMenu->m_Items.begin() + static_cast<std::ptrdiff_t>(nIndex), MenuItem());
    if (!SetMenuItemInfoA(hmenu, static_cast<UINT>(nIndex), TRUE, lpmi) && pMenu == FindMenu(hmenu))
    {
        pMenu->m_Items.erase(pMenu->m_Items.begin() + static_cast<std::ptrdiff_t>(nIndex));
        return FALSE;
    }
    return TRUE;
}

UINT GetMenuDefaultItem(HMENU hMenu, UINT fByPos, UINT)
{
    const Menu* pMenu = FindMenu(hMenu);
    if (!pMenu)
        return static_cast<UINT>(-1);
    for (size_t i = 0; i < pMenu->m_Items.size(); ++i)
        if (pMenu->m_Items[i].m_nState & MFS_DEFAULT)
            return fByPos ? static_cast<UINT>(i) : pMenu->m_Items[i].m_nId;
    return static_cast<UINT>(-1);
}

BOOL SetMenuDefaultItem(HMENU hMenu, UINT uItem, UINT fByPos)
{
    Menu* pMenu = FindMenu(hMenu);
    if (!pMenu)
        return FALSE;
    // -1 clears the default; otherwise the item must be in this menu.
    bool bFound = uItem == static_cast<UINT>(-1);
    for (size_t i = 0; i < pMenu->m_Items.size(); ++i)
    {
        MenuItem& item = pMenu->m_Items[i];
        bool bThis = fByPos ? i == uItem : item.m_nId == uItem;
        bFound = bFound || bThis;
        item.m_nState = (item.m_nState & ~MFS_DEFAULT) | (bThis ? MFS_DEFAULT : 0);
    }
    return bFound;
}

HMENU GetMenu(HWND hWnd)
{
    const Window* pWnd = FindWindowObject(hWnd);
    return pWnd && !(pWnd->m_nStyle & WS_CHILD) ? pWnd->m_hMenu : nullptr;
}

BOOL SetMenu(HWND hWnd, HMENU hMenu)
{
    Window* pWnd = FindWindowObject(hWnd);
    if (!pWnd || (pWnd->m_nStyle & WS_CHILD) || (hMenu && !FindMenu(hMenu)))
        return FALSE;
    pWnd->m_hMenu = hMenu;
    // The menu bar changes the client area.
    SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return TRUE;
}

BOOL DrawMenuBar(HWND hWnd)
{
    return GetMenu(hWnd) != nullptr;
}
