#include "mfc_gui/BaseTreeCtrlItem.h"

#include "mfc_gui/BaseFileDlg.h"
#include "mfc_gui/BaseTreeCtrl.h"
#include "mfc_gui/ColorPickerToolDlg.h"
#include "mfc_gui/ImageFormatDlg.h"
#include "core/Log.h"
#include "scene/RenderOptions.h"
#include "scene/SceneObject.h"

#include <cstring>

int CBaseTreeCtrlItem::UpdateItemText()
{
    return m_pTree && m_hItem ? 1 : 0;
}

int CBaseTreeCtrlItem::Activate(HTREEITEM hItem, CBaseTreeCtrl* pTree)
{
    if (!m_pTree)
        m_pTree = pTree;
    if (!m_hItem)
        m_hItem = hItem;
    UpdateValueFromPointer();
    UpdateItemText();
    return 1;
}

int CBaseTreeCtrlItem::UpdateValueFromPointer()
{
    return m_pValue ? 1 : 0;
}

int CBaseTreeCtrlBool::GetValue() const
{
    if (!m_pValue)
        return 0;
    if (m_nValueBytes == 1)
        return *static_cast<const uint8_t*>(m_pValue);
    return *static_cast<const int32_t*>(m_pValue);
}

int CBaseTreeCtrlBool::UpdateItemText()
{
    if (!CBaseTreeCtrlItem::UpdateItemText())
        return 0;
    return SetLabel(GetValue() == 1 ? ": TRUE" : ": FALSE");
}

int CBaseTreeCtrlBool::UpdateValueFromPointer()
{
    if (!m_pValue)
        return 0;
    m_nValue = GetValue() ? 0 : 1;
    if (m_nValueBytes == 1)
        *static_cast<uint8_t*>(m_pValue) = static_cast<uint8_t>(m_nValue);
    else
        *static_cast<int32_t*>(m_pValue) = m_nValue;
    return 1;
}

int CBaseTreeCtrlColor::UpdateItemText()
{
    for (CBaseTreeEditor* pLinked : m_pLinkedEditors)
        if (pLinked)
            pLinked->UpdateItemText();
    return 1;
}

int CBaseTreeCtrlColor::UpdateValueFromPointer()
{
    if (!m_pValue)
        return 0;
    if (!m_pColorPicker)
    {
        LogWarning("CBaseTreeCtrlColor::UpdateValueFromPointer() - The color picker is null");
        return 0;
    }
    const float* pColor = static_cast<const float*>(m_pValue);
    m_fRed = pColor[0];
    m_fGreen = pColor[1];
    m_fBlue = pColor[2];
    m_fAlpha = pColor[3];
    m_pColorPicker->SetColor(m_fRed, m_fGreen, m_fBlue, m_fAlpha);
    m_pColorPicker->m_pBoundColor = static_cast<float*>(m_pValue);
    m_pColorPicker->m_pBoundItem = this;
    // The picker's colour comes back to the tree that shows it.
    m_pColorPicker->m_pOwnerWnd = m_pTree;
    return 1;
}

int CBaseTreeCtrlFileDlg::UpdateItemText()
{
    SceneObject* pRecord = GetRecord();
    if (!pRecord || !m_pValue)
        return 0;
    CopySceneName(pRecord->m_szName, static_cast<const char*>(m_pValue));
    return SetLabel("");
}

int CBaseTreeCtrlFileDlg::Activate(HTREEITEM hItem, CBaseTreeCtrl* pTree)
{
    CBaseTreeCtrlItem::Activate(hItem, pTree);
    if (!m_pValue || !m_pTree)
        return 0;
    CBaseFileDlg dlg;
    char szPath[MAX_PATH] = "";
    const int bChosen = m_bImageFile
                            ? dlg.OpenImageFile(m_pTree->m_hWnd, szPath)
                            : dlg.OpenFile(m_pTree->m_hWnd, szPath, nullptr, nullptr, nullptr, nullptr);
    if (!bChosen)
        return 0;
    if (std::strlen(szPath) >= m_nBufferSize)
    {
        LogError("CBaseTreeCtrlFileDlg::Activate() - the path \"%s\" is longer than %zu characters.", szPath,
                 m_nBufferSize - 1);
        return 0;
    }
    std::memcpy(m_pValue, szPath, std::strlen(szPath) + 1);
    UpdateItemText();
    return 1;
}

int CBaseTreeCtrlFormatDlg::UpdateValueFromPointer()
{
    if (!m_pValue)
        return 0;
    m_nFormat = *static_cast<const int32_t*>(m_pValue);
    return 1;
}

int CBaseTreeCtrlFormatDlg::UpdateItemText()
{
    SceneObject* pRecord = GetRecord();
    if (!pRecord)
        return 0;
    CopySceneName(pRecord->m_szName, GetOutputSizePreset(m_nFormat).m_szLabel);
    if (m_pValue)
        *static_cast<int32_t*>(m_pValue) = m_nFormat;
    return SetLabel("");
}

int CBaseTreeCtrlFormatDlg::Activate(HTREEITEM hItem, CBaseTreeCtrl* pTree)
{
    CBaseTreeCtrlItem::Activate(hItem, pTree);
    CImageFormatDlg dlg(m_pTree);
    dlg.m_nFormat = m_nFormat;
    if (dlg.DoModal() == IDOK)
        m_nFormat = dlg.m_nFormat;
    return UpdateItemText();
}
