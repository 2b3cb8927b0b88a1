#include "Metrics.h"
#include "UserState.h"

#include <win32/sysparams.h>

namespace
{
// The classic Windows 2000 metrics: frame 4, dialog frame 3, caption 19, caption button 18,
// small caption button 12x15, scroll bar 16, menu check mark 13. The screen entries are filled
// from the desktop.
struct Metric
{
    int m_nIndex;
    int m_nValue;
};
const Metric METRICS[] = {
    {SM_CXVSCROLL, 16}, {SM_CYHSCROLL, 16}, {SM_CYCAPTION, 19}, {SM_CXBORDER, 1}, {SM_CYBORDER, 1},
    {SM_CXDLGFRAME, 3}, {SM_CYDLGFRAME, 3}, {SM_CYVTHUMB, 16}, {SM_CXHTHUMB, 16}, {SM_CXICON, 32},
    {SM_CYICON, 32}, {SM_CXCURSOR, 32}, {SM_CYCURSOR, 32}, {SM_CYMENU, 19}, {SM_MOUSEPRESENT, 1},
    {SM_CYVSCROLL, 16}, {SM_CXHSCROLL, 16}, {SM_CXMIN, 112}, {SM_CYMIN, 27}, {SM_CXSIZE, 18},
    {SM_CYSIZE, 18}, {SM_CXFRAME, 4}, {SM_CYFRAME, 4}, {SM_CXDOUBLECLK, 4}, {SM_CYDOUBLECLK, 4},
    {SM_CMOUSEBUTTONS, 3}, {SM_CXEDGE, 2}, {SM_CYEDGE, 2}, {SM_CXSMICON, 16}, {SM_CYSMICON, 16},
    {SM_CYSMCAPTION, 16}, {SM_CXSMSIZE, 12}, {SM_CYSMSIZE, 15},
    {SM_CXMENUCHECK, 13}, {SM_CYMENUCHECK, 13},
};
}

int GetSystemMetrics(int nIndex)
{
    const UserState& state = User();
    switch (nIndex)
    {
    case SM_CXSCREEN: return state.m_cxScreen;
    case SM_CYSCREEN: return state.m_cyScreen;
    case SM_CXFULLSCREEN: return state.m_cxScreen;
    case SM_CYFULLSCREEN: return state.m_cyScreen - GetSystemMetrics(SM_CYCAPTION);
    default: break;
    }
    for (const Metric& m : METRICS)
        if (m.m_nIndex == nIndex)
            return m.m_nValue;
    return 0;
}

UINT GetDoubleClickTime()
{
    return 500;
}

RECT NonClientInsets(DWORD nStyle, DWORD nExStyle, bool bMenu)
{
    int nFrame = 0;
    if (nStyle & WS_THICKFRAME)
        nFrame = GetSystemMetrics(SM_CXFRAME);
    else if ((nStyle & WS_DLGFRAME) || (nExStyle & WS_EX_DLGMODALFRAME))
        nFrame = GetSystemMetrics(SM_CXDLGFRAME);
    else if (nStyle & WS_BORDER)
        nFrame = GetSystemMetrics(SM_CXBORDER);
    if (nExStyle & WS_EX_CLIENTEDGE)
        nFrame += GetSystemMetrics(SM_CXEDGE);
    else if (nExStyle & WS_EX_STATICEDGE)
        nFrame += 1;
    RECT insets{nFrame, nFrame, nFrame, nFrame};
    if ((nStyle & WS_CAPTION) == WS_CAPTION)
        insets.top += GetSystemMetrics((nExStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
    if (bMenu)
        insets.top += GetSystemMetrics(SM_CYMENU);
    if (nStyle & WS_VSCROLL)
        insets.right += GetSystemMetrics(SM_CXVSCROLL);
    if (nStyle & WS_HSCROLL)
        insets.bottom += GetSystemMetrics(SM_CYHSCROLL);
    return insets;
}
