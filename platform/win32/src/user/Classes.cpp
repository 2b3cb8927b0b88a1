#include "Classes.h"

#include "../controls/Controls.h"

#include <algorithm>
#include <strings.h>

namespace
{
// The system's own classes, registered when first named. Later controls add their rows here.
struct SystemClass
{
    const char* m_szName;
    UINT m_nStyle;
    WNDPROC m_pfnWndProc;
    int m_cbWndExtra = 0;
};
const SystemClass SYSTEM_CLASSES[] = {
    {"#32770", CS_SAVEBITS | CS_DBLCLKS, DefDlgProcA, DLGWINDOWEXTRA},   // dialogs and message boxes
    {STATUSCLASSNAMEA, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, StatusBarWndProc},
    {REBARCLASSNAMEA, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ReBarWndProc},
    {RICHEDIT_CLASSA, CS_DBLCLKS, RichEditWndProc},
    {RICHEDIT_CLASS10A, CS_DBLCLKS, RichEditWndProc},
    {WC_BUTTONA, CS_DBLCLKS | CS_PARENTDC, ButtonWndProc},
    {WC_STATICA, CS_DBLCLKS | CS_PARENTDC, StaticWndProc},
    {WC_EDITA, CS_DBLCLKS | CS_PARENTDC, EditWndProc},
    {WC_LISTBOXA, CS_DBLCLKS | CS_PARENTDC, ListBoxWndProc},
    {WC_COMBOBOXA, CS_DBLCLKS | CS_PARENTDC, ComboBoxWndProc},
    {"ComboLBox", CS_DBLCLKS | CS_SAVEBITS, ComboListWndProc},   // a combo box's dropped list
    {WC_SCROLLBARA, CS_DBLCLKS | CS_PARENTDC, ScrollBarWndProc},
    {UPDOWN_CLASSA, 0, UpDownWndProc},
    {PROGRESS_CLASSA, 0, ProgressWndProc},
    {WC_TREEVIEWA, CS_DBLCLKS, TreeViewWndProc},
    {TRACKBAR_CLASSA, 0, TrackbarWndProc},
    {TOOLBARCLASSNAMEA, CS_DBLCLKS, ToolbarWndProc},
    {TOOLTIPS_CLASSA, CS_SAVEBITS, ToolTipWndProc},
    {WC_TABCONTROLA, CS_DBLCLKS | CS_PARENTDC, TabControlWndProc},
    {WC_LISTVIEWA, CS_DBLCLKS, ListViewWndProc},
    {"#32768", CS_SAVEBITS | CS_DBLCLKS, PopupMenuWndProc},   // an open popup menu's level
};

std::shared_ptr<WindowClass> Lookup(LPCSTR lpClassName)
{
    for (const auto& pClass : User().m_Classes)
    {
        if (IS_INTRESOURCE(lpClassName))
        {
            if (pClass->m_nAtom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(lpClassName)))
                return pClass;
        }
        else if (strcasecmp(pClass->m_strName.c_str(), lpClassName) == 0)
            return pClass;
    }
    return nullptr;
}

ATOM AddClass(WindowClass wc)
{
    if (wc.m_strName.empty() || Lookup(wc.m_strName.c_str()))
        return 0;
    wc.m_nAtom = User().m_nNextAtom++;
    User().m_Classes.push_back(std::make_shared<WindowClass>(std::move(wc)));
    return User().m_Classes.back()->m_nAtom;
}
}

std::shared_ptr<WindowClass> FindWindowClass(LPCSTR lpClassName)
{
    if (!lpClassName)
        return nullptr;
    if (auto pClass = Lookup(lpClassName))
        return pClass;
    if (IS_INTRESOURCE(lpClassName))
        return nullptr;
    for (const SystemClass& sc : SYSTEM_CLASSES)
        if (strcasecmp(sc.m_szName, lpClassName) == 0)
        {
            WindowClass wc;
            wc.m_strName = sc.m_szName;
            wc.m_nStyle = sc.m_nStyle;
            wc.m_pfnWndProc = sc.m_pfnWndProc;
            wc.m_cbWndExtra = sc.m_cbWndExtra;
            AddClass(std::move(wc));
            return Lookup(lpClassName);
        }
    return nullptr;
}

ATOM RegisterClassExA(const WNDCLASSEXA* lpwcx)
{
    if (!lpwcx || !lpwcx->lpszClassName || IS_INTRESOURCE(lpwcx->lpszClassName) || !lpwcx->lpfnWndProc ||
        lpwcx->cbWndExtra < 0 || lpwcx->cbClsExtra < 0)
        return 0;
    WindowClass wc;
    wc.m_strName = lpwcx->lpszClassName;
    wc.m_nStyle = lpwcx->style;
    wc.m_pfnWndProc = lpwcx->lpfnWndProc;
    wc.m_cbClsExtra = lpwcx->cbClsExtra;
    wc.m_cbWndExtra = lpwcx->cbWndExtra;
    wc.m_hInstance = lpwcx->hInstance;
    wc.m_hIcon = lpwcx->hIcon;
    wc.m_hCursor = lpwcx->hCursor;
    wc.m_hbrBackground = lpwcx->hbrBackground;
    if (lpwcx->lpszMenuName && !IS_INTRESOURCE(lpwcx->lpszMenuName))
        wc.m_strMenuName = lpwcx->lpszMenuName;
    wc.m_hIconSm = lpwcx->hIconSm;
    return AddClass(std::move(wc));
}

ATOM RegisterClassA(const WNDCLASSA* lpWndClass)
{
    if (!lpWndClass)
        return 0;
    WNDCLASSEXA wcx{sizeof(WNDCLASSEXA), lpWndClass->style, lpWndClass->lpfnWndProc, lpWndClass->cbClsExtra,
                    lpWndClass->cbWndExtra, lpWndClass->hInstance, lpWndClass->hIcon, lpWndClass->hCursor,
                    lpWndClass->hbrBackground, lpWndClass->lpszMenuName, lpWndClass->lpszClassName, nullptr};
    return RegisterClassExA(&wcx);
}

BOOL UnregisterClassA(LPCSTR lpClassName, HINSTANCE)
{
    auto pClass = Lookup(lpClassName);
    if (!pClass)
        return FALSE;
    // A class with live windows stays registered.
    for (const auto& pWnd : User().m_Windows)
        if (pWnd && pWnd->m_pClass == pClass)
            return FALSE;
    auto& classes = User().m_Classes;
    classes.erase(std::find(classes.begin(), classes.end(), pClass));
    return TRUE;
}

BOOL GetClassInfoExA(HINSTANCE, LPCSTR lpszClass, WNDCLASSEXA* lpwcx)
{
    auto pClass = FindWindowClass(lpszClass);
    if (!pClass || !lpwcx)
        return FALSE;
    lpwcx->style = pClass->m_nStyle;
    lpwcx->lpfnWndProc = pClass->m_pfnWndProc;
    lpwcx->cbClsExtra = pClass->m_cbClsExtra;
    lpwcx->cbWndExtra = pClass->m_cbWndExtra;
    lpwcx->hInstance = pClass->m_hInstance;
    lpwcx->hIcon = pClass->m_hIcon;
    lpwcx->hCursor = pClass->m_hCursor;
    lpwcx->hbrBackground = pClass->m_hbrBackground;
    lpwcx->lpszMenuName = pClass->m_strMenuName.empty() ? nullptr : pClass->m_strMenuName.c_str();
    lpwcx->lpszClassName = pClass->m_strName.c_str();
    lpwcx->hIconSm = pClass->m_hIconSm;
    return TRUE;
}

int GetClassNameA(HWND hWnd, LPSTR lpClassName, int nMaxCount)
{
    Window* pWnd = FindWindowObject(hWnd);
    if (!pWnd || !pWnd->m_pClass || !lpClassName || nMaxCount <= 0)
        return 0;
    const std::string& name = pWnd->m_pClass->m_strName;
    size_t n = std::min<size_t>(name.size(), static_cast<size_t>(nMaxCount - 1));
    name.copy(lpClassName, n);
    lpClassName[n] = 0;
    return static_cast<int>(n);
}
