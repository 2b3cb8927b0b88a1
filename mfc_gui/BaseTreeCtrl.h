#pragma once
// The property tree: a tree control whose value items show values that live elsewhere (fields of
// scene objects, the rendering options) and edit them in place. Every value item carries a record
// (a SceneObject the tree owns: the item's type code and label text, and its editor) bound by
// pointer to its value; a double click on the label runs the item's editor, which writes straight
// through the pointer, so the renderer sees the change on its next frame. The selection and the
// right button reach the parent through the messages of TreeMessages.h.
#include "mfc_gui/BaseTreeCtrlItem.h"
#include "mfc_gui/BaseTreeSlider.h"

#include <mfc/afxcmn.h>

#include <cstdint>
#include <unordered_set>

class CColorPickerToolDlg;
class SceneObject;

class CBaseTreeCtrl : public CTreeCtrl
{
public:
    CBaseTreeCtrl() = default;
    ~CBaseTreeCtrl() override;

    // ---- Value items, appended under hParent; null (and nothing made) when the insert fails.
    // A 32-bit flag.
    HTREEITEM InsertBoolItem(int32_t* pValue, const char* szLabel, HTREEITEM hParent, HTREEITEM hAfter = TVI_LAST);
    // A one-byte flag: the bytes around it are never touched.
    HTREEITEM InsertBoolItem(uint8_t* pValue, const char* szLabel, HTREEITEM hParent, HTREEITEM hAfter = TVI_LAST);
    // Sliders over nMin..nMax positions (a float position is a hundredth of the value).
    HTREEITEM InsertIntItem(int32_t* pValue, const char* szLabel, int nMin, int nMax, HTREEITEM hParent,
                            HTREEITEM hAfter = TVI_LAST);
    HTREEITEM InsertFloatItem(float* pValue, const char* szLabel, int nMin, int nMax, HTREEITEM hParent,
                              HTREEITEM hAfter = TVI_LAST);
    // An RGBA colour of four floats from 0 to 1, edited in the colour picker tool window, whose
    // changes come back to this tree.
    HTREEITEM InsertColorItem(float* pColor, const char* szLabel, CColorPickerToolDlg* pColorPicker,
                              HTREEITEM hParent, HTREEITEM hAfter = TVI_LAST);
    // A path buffer of nBufferSize bytes, shown as the path; edited with the open-file dialog
    // for all files or for images.
    HTREEITEM InsertFileItem(char* szPath, size_t nBufferSize, HTREEITEM hParent, HTREEITEM hAfter = TVI_LAST);
    HTREEITEM InsertImageFileItem(char* szPath, size_t nBufferSize, HTREEITEM hParent, HTREEITEM hAfter = TVI_LAST);
    // An output-size preset index, shown as the preset's label.
    HTREEITEM InsertFormatItem(int32_t* pFormat, HTREEITEM hParent, HTREEITEM hAfter = TVI_LAST);

    // ---- The selected item.
    SceneObject* GetSelectedNode() const;
    // Its type code; -1 without a record.
    int GetSelectedType() const;
    // The value an int or float item is bound to; null for other items.
    void* GetSelectedValue() const;
    // Rewrites an int or float item's label from its value; the record, or null.
    SceneObject* RefreshSelectedText();

    // ---- Editors; 1 when one ran on the item.
    int OpenSlider(HTREEITEM hItem);
    int EditBoolItem(HTREEITEM hItem);
    int EditColorItem(HTREEITEM hItem);
    int EditFileItem(HTREEITEM hItem);
    int EditFormatItem(HTREEITEM hItem);
    // Runs the windowless editor of pRecord (hItem's record) and, when it ran and its leading
    // value is set, sends WM_TREE_VALUECHANGED (wParam the record) to the parent.
    int ActivateEditor(HTREEITEM hItem, SceneObject* pRecord);
    // Makes the editors of the items a to d (those that have one; any may be null) the linked
    // editors of the colour item's editor, bound to this tree and their items.
    void LinkEditors(HTREEITEM hColorItem, HTREEITEM hA, HTREEITEM hB, HTREEITEM hC, HTREEITEM hD);

    // ---- Deleting: a value item's record and editor go with it.
    BOOL DeleteNode(HTREEITEM hItem);
    void DeleteAllNodes();

    int m_bEditing = 0;            // a slider is open: the tree's own horizontal scrolling waits
    int m_nEditorMinWidth = 240;   // pixels
    int m_nEditorWidth = 250;      // pixels; -1: up to the right edge
    int m_nEditorHeight = 20;      // pixels

protected:
    void PreSubclassWindow() override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnSelChanged(NMHDR* pNotifyStruct, LRESULT* pResult);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    // Inserts the item and its record (type nType, name szName); null when the insert fails.
    HTREEITEM InsertRecordItem(int nType, const char* szName, HTREEITEM hParent, HTREEITEM hAfter,
                               SceneObject*& pRecord);
    // Binds a windowless editor to a new item and writes its label.
    HTREEITEM InsertEditorItem(int nType, const char* szName, CBaseTreeCtrlItem* pEditor, void* pValue,
                               HTREEITEM hParent, HTREEITEM hAfter);
    HTREEITEM InsertSliderItem(int nType, const char* szLabel, CBaseTreeSlider* pSlider, void* pValue, int nMin,
                               int nMax, HTREEITEM hParent, HTREEITEM hAfter);
    SceneObject* GetRecord(HTREEITEM hItem) const;
    bool IsOwnRecord(SceneObject* pRecord) const;
    // One of this tree's int or float records with its slider.
    bool IsOwnSlider(SceneObject* pRecord) const;
    // The editor of one of this tree's records, whatever its kind; null for other records.
    CBaseTreeEditor* GetEditor(SceneObject* pRecord) const;
    // Runs a windowless editor of one of the types; 0 when the item has none.
    int ActivateItemEditor(HTREEITEM hItem);
    void DeleteSubtreeRecords(HTREEITEM hItem);
    // Takes the picker's colour into the bound colour and refreshes the item that bound it.
    void ApplyPickedColor(float* pColor, CColorPickerToolDlg* pPicker);

    // The records this tree made: only these are freed with their items (other items may carry
    // scene objects, whatever their type codes).
    std::unordered_set<SceneObject*> m_OwnedRecords;
};
