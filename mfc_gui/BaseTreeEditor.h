#pragma once
// What every item editor of the property tree has, whether it is a window (the sliders) or not
// (the bool, colour, file and format editors): the value it is bound to, the tree and item it
// edits, and the label it writes from the value. A colour editor refreshes its linked editors
// through this, whatever their kind. The window editors (the sliders and the list) open on their
// item and close back to the tree alike.
#include <win32/commctrl.h>

class CBaseTreeCtrl;
class CWnd;
class SceneObject;

class CBaseTreeEditor
{
public:
    virtual ~CBaseTreeEditor() = default;

    // Writes the item's label from the bound value; 0 while tree or item is unknown.
    virtual int UpdateItemText() = 0;
    // A window editor's control loaded from the bound value, and the value from the control.
    virtual int UpdateControlFromPointer() { return 1; }
    virtual int UpdatePointerFromControl() { return 1; }

    void* m_pValue = nullptr;
    CBaseTreeCtrl* m_pTree = nullptr;
    HTREEITEM m_hItem = nullptr;

protected:
    // The item's record (its item data), null when the item has none.
    SceneObject* GetRecord() const;
    // "<record name><szSuffix>" as the item's label.
    int SetLabel(const char* szSuffix);
    // Shows the editor window on the item (tree and item kept when already set) with the bound
    // value, in the tree's font, with the focus.
    void OpenWindow(CWnd& editor, HTREEITEM hItem, CBaseTreeCtrl* pTree);
    // Hides the editor window, writes the label and tells the window's parent the editing ended.
    void CloseWindow(CWnd& editor);
};
