#include "mfc_gui/BaseTreeEditor.h"

#include "mfc_gui/BaseTreeCtrl.h"
#include "mfc_gui/TreeMessages.h"
#include "scene/SceneObject.h"

#include <string>

SceneObject* CBaseTreeEditor::GetRecord() const
{
    if (!m_pTree || !m_hItem)
        return nullptr;
    return reinterpret_cast<SceneObject*>(m_pTree->GetItemData(m_hItem));
}

int CBaseTreeEditor::SetLabel(const char* szSuffix)
{
    SceneObject* pRecord = GetRecord();
    if (!pRecord)
        return 0;
    std::string strLabel = std::string(pRecord->m_szName) + szSuffix;
    return m_pTree->SetItemText(m_hItem, strLabel.c_str()) ? 1 : 0;
}

void CBaseTreeEditor::OpenWindow(CWnd& editor, HTREEITEM hItem, CBaseTreeCtrl* pTree)
{
    if (!m_pTree)
        m_pTree = pTree;
    if (!m_hItem)
        m_hItem = hItem;
    UpdateControlFromPointer();
    if (m_pTree)
        editor.SetFont(m_pTree->GetFont());
    editor.ShowWindow(SW_SHOW);
    editor.SetFocus();
}

void CBaseTreeEditor::CloseWindow(CWnd& editor)
{
    // Hiding the focused editor moves the focus, which closes it again: once is enough.
    if (!editor.IsWindowVisible())
        return;
    editor.ShowWindow(SW_HIDE);
    UpdateItemText();
    if (CWnd* pParent = editor.GetParent())
        pParent->SendMessage(WM_TREEITEM_CLOSED);
}
