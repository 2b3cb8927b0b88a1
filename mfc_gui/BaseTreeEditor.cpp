#include "mfc_gui/BaseTreeEditor.h"

#include "mfc_gui/BaseTreeCtrl.h"
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
