#pragma once
// The property tree's slider editors for int and float values: a hidden horizontal slider the
// tree places under the item being edited. Positions are the value divided by the scale (1 for
// ints, 0.01 for floats, so a float slider moves in hundredths). While the thumb is dragged the
// bound value follows it; releasing the mouse writes the final position and closes the editor.
#include "mfc_gui/BaseTreeEditor.h"

#include <mfc/afxcmn.h>

class CBaseTreeSlider : public CSliderCtrl, public CBaseTreeEditor
{
public:
    enum Kind
    {
        KIND_INT = 1,
        KIND_FLOAT = 2,
    };

    // The label, the thumb from the value and the value from the thumb: the kinds below.
    int UpdateItemText() override { return 1; }

    // Replaces the scale when the new one is above 0.
    int SetScale(float fScale);
    // Shows the slider on the item with the bound value's position and takes the focus.
    void Open(HTREEITEM hItem, CBaseTreeCtrl* pTree);
    // Hides the slider, writes the label and tells the tree the editing ended.
    void Close();

    int m_nKind = 0;
    float m_fScale = 1.0f;
    int m_bDragging = 0;

protected:
    afx_msg void OnReleasedCapture(NMHDR* pNotifyStruct, LRESULT* pResult);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()
};

// "<label>: %d"; position = value / scale and back, truncated toward zero.
class CBaseTreeSliderInt : public CBaseTreeSlider
{
public:
    CBaseTreeSliderInt() { m_nKind = KIND_INT; }
    int UpdateItemText() override;
    int UpdateControlFromPointer() override;
    int UpdatePointerFromControl() override;
};

// "<label>: %.2f"; position = value / scale rounded to the nearest, so a value the slider wrote
// reopens at the position that wrote it; value = position x scale.
class CBaseTreeSliderFloat : public CBaseTreeSlider
{
public:
    CBaseTreeSliderFloat() { m_nKind = KIND_FLOAT; m_fScale = 0.01f; }
    int UpdateItemText() override;
    int UpdateControlFromPointer() override;
    int UpdatePointerFromControl() override;
};
