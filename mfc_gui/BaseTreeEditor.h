#pragma once
// What every item editor of the property tree has, whether it is a window (the sliders) or not
// (the bool, colour, file and format editors): the value it is bound to, the tree and item it
// edits, and the label it writes from the value. A colour editor refreshes its linked editors
// through this, whatever their kind.
#include <win32/commctrl.h>

class CBaseTreeCtrl;
class SceneObject;

class CBaseTreeEditor
{
public:
    virtual ~CBaseTreeEditor() = default;

    // Writes the item's label from the bound value; 0 while tree or item is unknown.
    virtual int UpdateItemText() = 0;

    void* m_pValue = nullptr;
    CBaseTreeCtrl* m_pTree = nullptr;
    HTREEITEM m_hItem = nullptr;

protected:
    // The item's record (its item data), null when the item has none.
    SceneObject* GetRecord() const;
    // "<record name><szSuffix>" as the item's label.
    int SetLabel(const char* szSuffix);
};
