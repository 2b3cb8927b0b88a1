// The window classes of the layer (all with AfxWndProc) and the cleanup of temporary wrappers.
#include <mfc/afxwin.h>

#include "HandleMaps.h"

#include <cstdio>
#include <set>
#include <string>

namespace
{
std::vector<void (*)()>& Cleaners()
{
    static std::vector<void (*)()> s_Cleaners;
    return s_Cleaners;
}

// Names handed out by AfxRegisterWndClass stay valid for the process.
std::set<std::string>& ClassNames()
{
    static std::set<std::string> s_Names;
    return s_Names;
}

bool RegisterClass(const char* lpszName, UINT nStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExA(nullptr, lpszName, &wc))
        return wc.lpfnWndProc == AfxWndProc;
    wc.style = nStyle;
    wc.lpfnWndProc = AfxWndProc;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hIcon = hIcon;
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.lpszClassName = lpszName;
    return RegisterClassExA(&wc) != 0;
}
}

void RegisterTempMapCleaner(void (*pfnClean)())
{
    Cleaners().push_back(pfnClean);
}

void AfxDeleteTempMap()
{
    for (auto pfnClean : Cleaners())
        pfnClean();
}

const char* AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    char szName[96];
    std::snprintf(szName, sizeof(szName), "Afx:%x:%llx:%llx:%llx", nClassStyle,
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(hCursor)),
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(hbrBackground)),
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(hIcon)));
    const std::string& strName = *ClassNames().insert(szName).first;
    if (!RegisterClass(strName.c_str(), nClassStyle, hCursor, hbrBackground, hIcon))
        return nullptr;
    return strName.c_str();
}

BOOL AfxEndDeferRegisterClass(const char* lpszClassName)
{
    if (std::string(lpszClassName) == AFX_WND)
        return RegisterClass(AFX_WND, CS_DBLCLKS, nullptr, nullptr, nullptr);
    if (std::string(lpszClassName) == AFX_WNDFRAMEORVIEW)
        return RegisterClass(AFX_WNDFRAMEORVIEW, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, nullptr,
                             reinterpret_cast<HBRUSH>(static_cast<UINT_PTR>(COLOR_WINDOW + 1)), nullptr);
    if (std::string(lpszClassName) == AFX_WNDCONTROLBAR)
        return RegisterClass(AFX_WNDCONTROLBAR, 0, nullptr,
                             reinterpret_cast<HBRUSH>(static_cast<UINT_PTR>(COLOR_BTNFACE + 1)), nullptr);
    return FALSE;
}
