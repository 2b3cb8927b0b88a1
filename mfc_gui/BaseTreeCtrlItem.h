#pragma once
// The property tree's item editors that need no window of their own: a bool toggled in place,
// a path chosen with the open-file dialog and an output-size preset chosen with the image-format
// dialog. Each is bound by pointer to the value it edits and writes the item's label as "label"
// plus the current value, so the tree always shows what the renderer reads.
#include "mfc_gui/BaseTreeEditor.h"

#include <cstddef>
#include <cstdint>

class CBaseTreeCtrl;
class CColorPickerToolDlg;
class SceneObject;

class CBaseTreeCtrlItem : public CBaseTreeEditor
{
public:
    CBaseTreeCtrlItem() = default;
    CBaseTreeCtrlItem(const CBaseTreeCtrlItem&) = delete;
    CBaseTreeCtrlItem& operator=(const CBaseTreeCtrlItem&) = delete;

    int UpdateItemText() override;
    // Runs the editor on the item: remembers tree and item, takes the bound value, writes the
    // label. 1 when the editor ran.
    virtual int Activate(HTREEITEM hItem, CBaseTreeCtrl* pTree);
    // Takes the bound value into the editor; 0 when nothing is bound.
    virtual int UpdateValueFromPointer();
    // Whether the editor's leading value is nonzero: the bool's flag after its toggle, the
    // colour's red, the file editor's image switch, the format index. The tree reports an
    // activation as a value change only then.
    virtual bool IsLeadingValueSet() const { return false; }
};

// A flag shown as "<label>: TRUE" when it is exactly 1, else "<label>: FALSE". Activating it
// toggles it to 0 or 1. Most flags are 32-bit; a one-byte flag is read and written alone, so the
// bytes beside it are never touched.
class CBaseTreeCtrlBool : public CBaseTreeCtrlItem
{
public:
    explicit CBaseTreeCtrlBool(size_t nValueBytes = sizeof(int32_t)) : m_nValueBytes(nValueBytes) {}

    int UpdateItemText() override;
    // Toggles the bound flag.
    int UpdateValueFromPointer() override;
    bool IsLeadingValueSet() const override { return m_nValue != 0; }
    int GetValue() const;

    int m_nValue = 0;   // the flag after the last toggle

private:
    size_t m_nValueBytes;
};

// An RGBA colour of four floats from 0 to 1, edited in the colour picker tool window. Activating
// it loads the colour into the picker and binds the picker to it; the colour changes only when the
// picker applies (WM_COLORPICKER_APPLY to the tree). Its label is the text it was inserted with.
// Up to four linked editors (those of items showing the channels, say) rewrite their labels
// whenever this one would; linked items must live as long as the colour item.
class CBaseTreeCtrlColor : public CBaseTreeCtrlItem
{
public:
    static constexpr int LINKED_EDITORS = 4;

    explicit CBaseTreeCtrlColor(CColorPickerToolDlg* pColorPicker) : m_pColorPicker(pColorPicker) {}

    // Rewrites the linked editors' labels; its own label never changes.
    int UpdateItemText() override;
    // Gives the bound colour to the picker; 0, with a logged warning, without a picker.
    int UpdateValueFromPointer() override;
    bool IsLeadingValueSet() const override { return m_fRed != 0.0f; }

    float m_fRed = 0.0f;
    float m_fGreen = 0.0f;
    float m_fBlue = 0.0f;
    float m_fAlpha = 0.0f;
    CColorPickerToolDlg* m_pColorPicker;
    CBaseTreeEditor* m_pLinkedEditors[LINKED_EDITORS] = {};
};

// A path buffer of nBufferSize bytes, shown as the path itself. Activating it runs the open-file
// dialog (image files or all files) and copies the chosen path into the buffer; a path that does
// not fit is refused with a logged error and the buffer is kept.
class CBaseTreeCtrlFileDlg : public CBaseTreeCtrlItem
{
public:
    CBaseTreeCtrlFileDlg(bool bImageFile, size_t nBufferSize) : m_bImageFile(bImageFile), m_nBufferSize(nBufferSize) {}

    int UpdateItemText() override;
    // 1 when a path was chosen and stored, 0 on cancel.
    int Activate(HTREEITEM hItem, CBaseTreeCtrl* pTree) override;
    bool IsLeadingValueSet() const override { return m_bImageFile; }

    bool m_bImageFile;

private:
    size_t m_nBufferSize;
};

// An output-size preset index, shown as the preset's label. Activating it runs the image-format
// dialog on the current preset and stores the chosen one; Cancel keeps it.
class CBaseTreeCtrlFormatDlg : public CBaseTreeCtrlItem
{
public:
    // Stores m_nFormat into the bound index and shows its label.
    int UpdateItemText() override;
    int Activate(HTREEITEM hItem, CBaseTreeCtrl* pTree) override;
    // Takes the bound index, so the dialog opens on it.
    int UpdateValueFromPointer() override;
    bool IsLeadingValueSet() const override { return m_nFormat != 0; }

    int m_nFormat = 1;
};
