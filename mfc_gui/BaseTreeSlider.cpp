#include "mfc_gui/BaseTreeSlider.h"

#include "mfc_gui/BaseTreeCtrl.h"
#include "mfc_gui/TreeMessages.h"

#include <cmath>
#include <cstdio>

BEGIN_MESSAGE_MAP(CBaseTreeSlider, CSliderCtrl)
    ON_NOTIFY_REFLECT(NM_RELEASEDCAPTURE, &CBaseTreeSlider::OnReleasedCapture)
    ON_WM_KILLFOCUS()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

int CBaseTreeSlider::SetScale(float fScale)
{
    if (!(fScale > 0.0f))
        return 0;
    m_fScale = fScale;
    return 1;
}

void CBaseTreeSlider::Open(HTREEITEM hItem, CBaseTreeCtrl* pTree)
{
    OpenWindow(*this, hItem, pTree);
}

void CBaseTreeSlider::Close()
{
    CloseWindow(*this);
}

void CBaseTreeSlider::OnReleasedCapture(NMHDR*, LRESULT* pResult)
{
    if (m_bDragging)
    {
        UpdatePointerFromControl();
        m_bDragging = 0;
    }
    Close();
    *pResult = 0;
}

void CBaseTreeSlider::OnKillFocus(CWnd*)
{
    Default();
    Close();
}

void CBaseTreeSlider::OnMouseMove(UINT, CPoint)
{
    // The control moves the thumb first, so the value follows the thumb it shows.
    Default();
    if (m_bDragging)
    {
        UpdatePointerFromControl();
        UpdateItemText();
    }
}

void CBaseTreeSlider::OnLButtonDown(UINT, CPoint)
{
    m_bDragging = 1;
    Default();
}

void CBaseTreeSlider::OnLButtonUp(UINT, CPoint)
{
    Default();
    m_bDragging = 0;
}

int CBaseTreeSliderInt::UpdateItemText()
{
    if (!m_pValue)
        return 0;
    char sz[32];
    std::snprintf(sz, sizeof(sz), ": %d", *static_cast<const int32_t*>(m_pValue));
    return SetLabel(sz);
}

int CBaseTreeSliderInt::UpdateControlFromPointer()
{
    if (!m_pValue)
        return 0;
    SetPos(static_cast<int>(static_cast<float>(*static_cast<const int32_t*>(m_pValue)) / m_fScale));
    return 1;
}

int CBaseTreeSliderInt::UpdatePointerFromControl()
{
    if (!m_pValue)
        return 0;
    *static_cast<int32_t*>(m_pValue) = static_cast<int32_t>(static_cast<float>(GetPos()) * m_fScale);
    return 1;
}

int CBaseTreeSliderFloat::UpdateItemText()
{
    if (!m_pValue)
        return 0;
    char sz[64];
    std::snprintf(sz, sizeof(sz), ": %.2f", static_cast<double>(*static_cast<const float*>(m_pValue)));
    return SetLabel(sz);
}

int CBaseTreeSliderFloat::UpdateControlFromPointer()
{
    if (!m_pValue)
        return 0;
    SetPos(static_cast<int>(std::lround(*static_cast<const float*>(m_pValue) / m_fScale)));
    return 1;
}

int CBaseTreeSliderFloat::UpdatePointerFromControl()
{
    if (!m_pValue)
        return 0;
    *static_cast<float*>(m_pValue) = static_cast<float>(GetPos()) * m_fScale;
    return 1;
}
