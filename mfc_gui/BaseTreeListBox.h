#pragma once
// A list editor for a property tree item: a report list the tree would place under the item, with
// the same opening and closing as the sliders. No item type of the tree opens one yet, so the
// value hooks do nothing until a kind of list editor gives them a value to show.
#include "mfc_gui/BaseTreeEditor.h"

#include <mfc/afxcmn.h>

class CBaseTreeListBox : public CListCtrl, public CBaseTreeEditor
{
public:
    int UpdateItemText() override { return 1; }

    // Shows the list on the item with the bound value and takes the focus.
    void Open(HTREEITEM hItem, CBaseTreeCtrl* pTree) { OpenWindow(*this, hItem, pTree); }
    // Hides the list, writes the label and tells the tree the editing ended.
    void Close() { CloseWindow(*this); }
};
