#include "mfc_gui/BaseTreeCtrl.h"

#include "mfc_gui/ColorPickerToolDlg.h"
#include "mfc_gui/TreeMessages.h"
#include "core/Log.h"
#include "scene/RenderOptions.h"
#include "scene/SceneObject.h"

BEGIN_MESSAGE_MAP(CBaseTreeCtrl, CTreeCtrl)
    ON_WM_LBUTTONDBLCLK()
    ON_WM_HSCROLL()
    ON_NOTIFY_REFLECT(TVN_SELCHANGED, &CBaseTreeCtrl::OnSelChanged)
    ON_WM_RBUTTONDOWN()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace
{
bool IsSliderType(int nType)
{
    return nType == TREE_ITEM_INT_SLIDER || nType == TREE_ITEM_FLOAT_SLIDER;
}
}

CBaseTreeCtrl::~CBaseTreeCtrl()
{
    if (m_hWnd)
        DeleteAllNodes();
}

void CBaseTreeCtrl::PreSubclassWindow()
{
    // Labels show values: they are never edited as text.
    ModifyStyle(TVS_EDITLABELS, 0);
    CTreeCtrl::PreSubclassWindow();
}

// ---- Inserting

HTREEITEM CBaseTreeCtrl::InsertRecordItem(int nType, const char* szName, HTREEITEM hParent, HTREEITEM hAfter,
                                          SceneObject*& pRecord)
{
    pRecord = nullptr;
    HTREEITEM hItem = InsertItem(szName, 0, 0, hParent, hAfter);
    if (!hItem)
        return nullptr;
    pRecord = new SceneObject;
    m_OwnedRecords.insert(pRecord);
    pRecord->SetType(nType);
    pRecord->SetName(szName);
    return hItem;
}

HTREEITEM CBaseTreeCtrl::InsertEditorItem(int nType, const char* szName, CBaseTreeCtrlItem* pEditor, void* pValue,
                                          HTREEITEM hParent, HTREEITEM hAfter)
{
    SceneObject* pRecord = nullptr;
    HTREEITEM hItem = InsertRecordItem(nType, szName, hParent, hAfter, pRecord);
    if (!hItem)
    {
        delete pEditor;
        return nullptr;
    }
    pRecord->m_pEditor = pEditor;
    pEditor->m_pValue = pValue;
    pEditor->m_pTree = this;
    pEditor->m_hItem = hItem;
    SetItemData(hItem, reinterpret_cast<DWORD_PTR>(pRecord));
    pEditor->UpdateItemText();
    return hItem;
}

HTREEITEM CBaseTreeCtrl::InsertSliderItem(int nType, const char* szLabel, CBaseTreeSlider* pSlider, void* pValue,
                                          int nMin, int nMax, HTREEITEM hParent, HTREEITEM hAfter)
{
    SceneObject* pRecord = nullptr;
    HTREEITEM hItem = InsertRecordItem(nType, szLabel, hParent, hAfter, pRecord);
    if (!hItem)
    {
        delete pSlider;
        return nullptr;
    }
    if (!pSlider->Create(WS_CHILD | TBS_HORZ | TBS_NOTICKS, CRect(0, 0, 0, 0), this, 0))
    {
        // The item stays as plain text: without its slider it cannot be edited.
        delete pSlider;
        m_OwnedRecords.erase(pRecord);
        delete pRecord;
        return hItem;
    }
    pRecord->m_pEditor = pSlider;
    pSlider->m_pValue = pValue;
    pSlider->m_pTree = this;
    pSlider->m_hItem = hItem;
    SetItemData(hItem, reinterpret_cast<DWORD_PTR>(pRecord));
    pSlider->SetRange(nMin, nMax);
    pSlider->UpdateItemText();
    return hItem;
}

HTREEITEM CBaseTreeCtrl::InsertBoolItem(int32_t* pValue, const char* szLabel, HTREEITEM hParent, HTREEITEM hAfter)
{
    return InsertEditorItem(TREE_ITEM_BOOL, szLabel, new CBaseTreeCtrlBool(sizeof(int32_t)), pValue, hParent, hAfter);
}

HTREEITEM CBaseTreeCtrl::InsertBoolItem(uint8_t* pValue, const char* szLabel, HTREEITEM hParent, HTREEITEM hAfter)
{
    return InsertEditorItem(TREE_ITEM_BOOL, szLabel, new CBaseTreeCtrlBool(sizeof(uint8_t)), pValue, hParent, hAfter);
}

HTREEITEM CBaseTreeCtrl::InsertIntItem(int32_t* pValue, const char* szLabel, int nMin, int nMax, HTREEITEM hParent,
                                       HTREEITEM hAfter)
{
    return InsertSliderItem(TREE_ITEM_INT_SLIDER, szLabel, new CBaseTreeSliderInt, pValue, nMin, nMax, hParent,
                            hAfter);
}

HTREEITEM CBaseTreeCtrl::InsertFloatItem(float* pValue, const char* szLabel, int nMin, int nMax, HTREEITEM hParent,
                                         HTREEITEM hAfter)
{
    return InsertSliderItem(TREE_ITEM_FLOAT_SLIDER, szLabel, new CBaseTreeSliderFloat, pValue, nMin, nMax, hParent,
                            hAfter);
}

HTREEITEM CBaseTreeCtrl::InsertColorItem(float* pColor, const char* szLabel, CColorPickerToolDlg* pColorPicker,
                                         HTREEITEM hParent, HTREEITEM hAfter)
{
    return InsertEditorItem(TREE_ITEM_COLOR, szLabel, new CBaseTreeCtrlColor(pColorPicker), pColor, hParent, hAfter);
}

HTREEITEM CBaseTreeCtrl::InsertFileItem(char* szPath, size_t nBufferSize, HTREEITEM hParent, HTREEITEM hAfter)
{
    return InsertEditorItem(TREE_ITEM_FILE, szPath, new CBaseTreeCtrlFileDlg(false, nBufferSize), szPath, hParent,
                            hAfter);
}

HTREEITEM CBaseTreeCtrl::InsertImageFileItem(char* szPath, size_t nBufferSize, HTREEITEM hParent, HTREEITEM hAfter)
{
    return InsertEditorItem(TREE_ITEM_FILE, szPath, new CBaseTreeCtrlFileDlg(true, nBufferSize), szPath, hParent,
                            hAfter);
}

HTREEITEM CBaseTreeCtrl::InsertFormatItem(int32_t* pFormat, HTREEITEM hParent, HTREEITEM hAfter)
{
    auto* pEditor = new CBaseTreeCtrlFormatDlg;
    pEditor->m_nFormat = *pFormat;
    return InsertEditorItem(TREE_ITEM_IMAGE_FORMAT, GetOutputSizePreset(*pFormat).m_szLabel, pEditor, pFormat,
                            hParent, hAfter);
}

// ---- The selection

SceneObject* CBaseTreeCtrl::GetRecord(HTREEITEM hItem) const
{
    return hItem ? reinterpret_cast<SceneObject*>(GetItemData(hItem)) : nullptr;
}

bool CBaseTreeCtrl::IsOwnRecord(SceneObject* pRecord) const
{
    return pRecord && m_OwnedRecords.count(pRecord) != 0;
}

bool CBaseTreeCtrl::IsOwnSlider(SceneObject* pRecord) const
{
    return IsOwnRecord(pRecord) && IsSliderType(pRecord->m_nType) && pRecord->m_pEditor;
}

CBaseTreeEditor* CBaseTreeCtrl::GetEditor(SceneObject* pRecord) const
{
    if (!IsOwnRecord(pRecord) || !pRecord->m_pEditor)
        return nullptr;
    // The record holds the editor as the class it was made as.
    if (IsSliderType(pRecord->m_nType))
        return static_cast<CBaseTreeSlider*>(pRecord->m_pEditor);
    return static_cast<CBaseTreeCtrlItem*>(pRecord->m_pEditor);
}

SceneObject* CBaseTreeCtrl::GetSelectedNode() const
{
    return GetRecord(GetSelectedItem());
}

int CBaseTreeCtrl::GetSelectedType() const
{
    SceneObject* pRecord = GetSelectedNode();
    return pRecord ? pRecord->m_nType : -1;
}

void* CBaseTreeCtrl::GetSelectedValue() const
{
    SceneObject* pRecord = GetSelectedNode();
    if (!IsOwnSlider(pRecord))
        return nullptr;
    return static_cast<CBaseTreeSlider*>(pRecord->m_pEditor)->m_pValue;
}

SceneObject* CBaseTreeCtrl::RefreshSelectedText()
{
    HTREEITEM hItem = GetSelectedItem();
    SceneObject* pRecord = GetRecord(hItem);
    if (IsOwnSlider(pRecord))
    {
        auto* pSlider = static_cast<CBaseTreeSlider*>(pRecord->m_pEditor);
        pSlider->m_pTree = this;
        pSlider->m_hItem = hItem;
        pSlider->UpdateItemText();
    }
    return pRecord;
}

// ---- Editors

int CBaseTreeCtrl::OpenSlider(HTREEITEM hItem)
{
    SceneObject* pRecord = GetRecord(hItem);
    if (!IsOwnSlider(pRecord))
        return 0;
    auto* pSlider = static_cast<CBaseTreeSlider*>(pRecord->m_pEditor);
    CRect rcItem, rcClient;
    if (!GetItemRect(hItem, &rcItem, TRUE))
        return 0;
    GetClientRect(&rcClient);
    int nMargin = 3;
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_PAGE;
    if (::GetScrollInfo(m_hWnd, SB_VERT, &si) && si.nPage != 0)
        nMargin += ::GetSystemMetrics(SM_CXVSCROLL);
    int nLeft = rcItem.left;
    const int nAvailable = rcClient.Width() - nLeft - nMargin;
    if (m_nEditorWidth != -1 && m_nEditorWidth < m_nEditorMinWidth)
        m_nEditorWidth = m_nEditorMinWidth;
    int nWidth = m_nEditorWidth == -1 || m_nEditorWidth >= nAvailable ? nAvailable : m_nEditorWidth;
    if (nWidth < m_nEditorMinWidth && nLeft + nWidth >= rcClient.Width() - nMargin)
    {
        nLeft = rcClient.Width() - nMargin - m_nEditorMinWidth;
        nWidth = m_nEditorMinWidth;
    }
    if (m_nEditorMinWidth > rcClient.Width() - nMargin)
    {
        nLeft = 0;
        nWidth = rcClient.Width() - nMargin;
    }
    pSlider->SetWindowPos(nullptr, nLeft, rcItem.bottom, nWidth, m_nEditorHeight, SWP_NOZORDER);
    pSlider->Open(hItem, this);
    return 1;
}

int CBaseTreeCtrl::ActivateItemEditor(HTREEITEM hItem)
{
    SceneObject* pRecord = GetRecord(hItem);
    if (!IsOwnRecord(pRecord) || !pRecord->m_pEditor || IsSliderType(pRecord->m_nType))
        return 0;
    return static_cast<CBaseTreeCtrlItem*>(pRecord->m_pEditor)->Activate(hItem, this) ? 1 : 0;
}

int CBaseTreeCtrl::EditBoolItem(HTREEITEM hItem)
{
    return ActivateItemEditor(hItem);
}

int CBaseTreeCtrl::EditColorItem(HTREEITEM hItem)
{
    return ActivateItemEditor(hItem);
}

int CBaseTreeCtrl::EditFileItem(HTREEITEM hItem)
{
    return ActivateItemEditor(hItem);
}

int CBaseTreeCtrl::EditFormatItem(HTREEITEM hItem)
{
    return ActivateItemEditor(hItem);
}

int CBaseTreeCtrl::ActivateEditor(HTREEITEM hItem, SceneObject* pRecord)
{
    if (!IsOwnRecord(pRecord) || !pRecord->m_pEditor || IsSliderType(pRecord->m_nType))
        return 0;
    auto* pEditor = static_cast<CBaseTreeCtrlItem*>(pRecord->m_pEditor);
    if (!pEditor->Activate(hItem, this))
        return 0;
    if (pEditor->IsLeadingValueSet())
    {
        if (CWnd* pParent = GetParent())
            pParent->SendMessage(WM_TREE_VALUECHANGED, reinterpret_cast<WPARAM>(pRecord));
    }
    return 1;
}

void CBaseTreeCtrl::LinkEditors(HTREEITEM hColorItem, HTREEITEM hA, HTREEITEM hB, HTREEITEM hC, HTREEITEM hD)
{
    SceneObject* pColorRecord = GetRecord(hColorItem);
    if (!IsOwnRecord(pColorRecord) || pColorRecord->m_nType != TREE_ITEM_COLOR || !pColorRecord->m_pEditor)
        return;
    auto* pColor = static_cast<CBaseTreeCtrlColor*>(pColorRecord->m_pEditor);
    const HTREEITEM linked[CBaseTreeCtrlColor::LINKED_EDITORS] = {hA, hB, hC, hD};
    for (int i = 0; i < CBaseTreeCtrlColor::LINKED_EDITORS; ++i)
    {
        CBaseTreeEditor* pEditor = GetEditor(GetRecord(linked[i]));
        if (!pEditor)
            continue;
        pEditor->m_pTree = this;
        pEditor->m_hItem = linked[i];
        pColor->m_pLinkedEditors[i] = pEditor;
    }
}

// ---- Messages

void CBaseTreeCtrl::OnLButtonDblClk(UINT, CPoint point)
{
    if (::GetKeyState(VK_CONTROL) & 0x8000)
    {
        Default();
        return;
    }
    HTREEITEM hItem = GetSelectedItem();
    SceneObject* pRecord = GetRecord(hItem);
    if (!pRecord)
        return;
    // The item edited is the selected one; the hit test only tells whether the label was hit.
    if (IsSliderType(pRecord->m_nType))
        m_bEditing = 1;
    UINT nFlags = 0;
    HitTest(point, &nFlags);
    const bool bOnLabel = (nFlags & TVHT_ONITEMLABEL) != 0;
    int bRan = 0;
    if (bOnLabel)
    {
        switch (pRecord->m_nType)
        {
        case TREE_ITEM_INT_SLIDER:
        case TREE_ITEM_FLOAT_SLIDER: bRan = OpenSlider(hItem); break;
        case TREE_ITEM_BOOL: bRan = EditBoolItem(hItem); break;
        case TREE_ITEM_COLOR: bRan = EditColorItem(hItem); break;
        case TREE_ITEM_FILE: bRan = EditFileItem(hItem); break;
        case TREE_ITEM_IMAGE_FORMAT: bRan = EditFormatItem(hItem); break;
        default: break;
        }
    }
    if (!bRan)
        Default();
}

void CBaseTreeCtrl::OnHScroll(UINT, UINT, CScrollBar*)
{
    if (!m_bEditing)
        Default();
}

void CBaseTreeCtrl::OnSelChanged(NMHDR*, LRESULT* pResult)
{
    m_bEditing = 0;
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(WM_TREE_SELCHANGED);
    *pResult = 0;
}

void CBaseTreeCtrl::OnRButtonDown(UINT, CPoint point)
{
    Default();
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(WM_TREE_RBUTTONDOWN, static_cast<WPARAM>(point.x), point.y);
}

void CBaseTreeCtrl::OnDestroy()
{
    DeleteAllNodes();
    CTreeCtrl::OnDestroy();
}

LRESULT CBaseTreeCtrl::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TREEITEM_CLOSED)
        m_bEditing = 0;
    else if (message == WM_COLORPICKER_APPLY && wParam)
        ApplyPickedColor(reinterpret_cast<float*>(wParam), reinterpret_cast<CColorPickerToolDlg*>(lParam));
    return CTreeCtrl::DefWindowProc(message, wParam, lParam);
}

void CBaseTreeCtrl::ApplyPickedColor(float* pColor, CColorPickerToolDlg* pPicker)
{
    if (!pPicker)
    {
        LogWarning("CBaseTreeCtrl::DefWindowProc() - The color picker tool dialog is null");
        return;
    }
    pPicker->GetColor(&pColor[0], &pColor[1], &pColor[2], &pColor[3]);
    if (pPicker->m_pBoundItem)
        pPicker->m_pBoundItem->UpdateItemText();
}

// ---- Deleting

void CBaseTreeCtrl::DeleteSubtreeRecords(HTREEITEM hItem)
{
    for (HTREEITEM hChild = GetChildItem(hItem); hChild; hChild = GetNextSiblingItem(hChild))
        DeleteSubtreeRecords(hChild);
    SceneObject* pRecord = GetRecord(hItem);
    if (!pRecord || !m_OwnedRecords.erase(pRecord))
        return;   // scene objects belong to the scene
    if (IsSliderType(pRecord->m_nType))
    {
        auto* pSlider = static_cast<CBaseTreeSlider*>(pRecord->m_pEditor);
        if (pSlider && pSlider->m_hWnd)
            pSlider->DestroyWindow();
        delete pSlider;
    }
    else
        delete static_cast<CBaseTreeCtrlItem*>(pRecord->m_pEditor);
    delete pRecord;
    SetItemData(hItem, 0);
}

BOOL CBaseTreeCtrl::DeleteNode(HTREEITEM hItem)
{
    if (!hItem)
        return FALSE;
    DeleteSubtreeRecords(hItem);
    return DeleteItem(hItem);
}

void CBaseTreeCtrl::DeleteAllNodes()
{
    for (HTREEITEM hRoot = GetRootItem(); hRoot; hRoot = GetNextSiblingItem(hRoot))
        DeleteSubtreeRecords(hRoot);
    DeleteAllItems();
}
