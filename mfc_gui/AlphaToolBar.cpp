#include "mfc_gui/AlphaToolBar.h"

#include "mfc_gui/ToolBarResource.h"

BOOL CAlphaToolBar::CreateEx(CWnd* pParentWnd, UINT nID)
{
    return CToolBar::CreateEx(pParentWnd, TBSTYLE_FLAT | TBSTYLE_TRANSPARENT,
                              WS_CHILD | CBRS_TOP | CBRS_TOOLTIPS | CBRS_FLYBY, CRect(0, 0, 0, 0), nID);
}

BOOL CAlphaToolBar::LoadToolBar(UINT nId, int nMode)
{
    ToolBarResource toolbar;
    if (!ReadToolBarResource(nId, toolbar))
        return FALSE;
    const int nCount = static_cast<int>(toolbar.m_Ids.size());
    if (!SetButtons(toolbar.m_Ids.data(), nCount))
        return FALSE;
    SetSizes(CSize(toolbar.m_nWidth + 8, toolbar.m_nHeight + 7), CSize(toolbar.m_nWidth, toolbar.m_nHeight));
    if (!m_images.Create(toolbar.m_nWidth, toolbar.m_nHeight, nMode, nCount) || !m_images.AddBitmap(nId))
        return FALSE;
    SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_images.GetImageList(CAlphaImageList::STATE_NORMAL)));
    SendMessage(TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(m_images.GetImageList(CAlphaImageList::STATE_DARK)));
    SendMessage(TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(m_images.GetImageList(CAlphaImageList::STATE_GREY)));
    return TRUE;
}
