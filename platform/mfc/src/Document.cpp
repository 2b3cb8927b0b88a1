// CDocument: its views, title and life cycle.
#include <mfc/afxwin.h>

#include <algorithm>
#include <cstdio>

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

CDocument::~CDocument()
{
    // Views outliving their document no longer point at it.
    for (CView* pView : m_viewList)
        pView->m_pDocument = nullptr;
    if (m_pDocTemplate)
        m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(const char* lpszTitle)
{
    m_strTitle = lpszTitle;
    UpdateFrameCounts();
}

void CDocument::SetPathName(const char* lpszPathName, BOOL)
{
    char szFull[MAX_PATH];
    if (::GetFullPathNameA(lpszPathName, sizeof(szFull), szFull, nullptr))
        m_strPathName = szFull;
    else
        m_strPathName = lpszPathName;
    // The title is the file name without its folder.
    int nSlash = std::max(m_strPathName.ReverseFind('/'), m_strPathName.ReverseFind('\\'));
    SetTitle(m_strPathName.Mid(nSlash + 1));
}

void CDocument::AddView(CView* pView)
{
    m_viewList.push_back(pView);
    pView->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* pView)
{
    auto it = std::find(m_viewList.begin(), m_viewList.end(), pView);
    if (it == m_viewList.end())
        return;
    m_viewList.erase(it);
    pView->m_pDocument = nullptr;
    OnChangedViewList();
}

void CDocument::OnChangedViewList()
{
    // A document whose last view went away closes.
    if (m_viewList.empty() && m_bAutoDelete)
    {
        OnCloseDocument();
        return;
    }
    UpdateFrameCounts();
}

POSITION CDocument::GetFirstViewPosition() const
{
    return m_viewList.empty() ? nullptr : reinterpret_cast<POSITION>(static_cast<uintptr_t>(1));
}

CView* CDocument::GetNextView(POSITION& rPosition) const
{
    size_t nIndex = reinterpret_cast<uintptr_t>(rPosition) - 1;
    if (!rPosition || nIndex >= m_viewList.size())
    {
        rPosition = nullptr;
        return nullptr;
    }
    rPosition = nIndex + 1 < m_viewList.size() ? reinterpret_cast<POSITION>(static_cast<uintptr_t>(nIndex + 2)) : nullptr;
    return m_viewList[nIndex];
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint)
{
    for (CView* pView : std::vector<CView*>(m_viewList))
        if (pView != pSender)
            pView->OnUpdate(pSender, lHint, pHint);
}

void CDocument::UpdateFrameCounts()
{
    for (CView* pView : m_viewList)
        if (CFrameWnd* pFrame = pView->GetParentFrame())
            if (::IsWindow(pFrame->m_hWnd))
                pFrame->OnUpdateFrameTitle(TRUE);
}

BOOL CDocument::OnNewDocument()
{
    DeleteContents();
    m_strPathName.Empty();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnOpenDocument(const char* lpszPathName)
{
    std::FILE* pFile = lpszPathName ? std::fopen(lpszPathName, "rb") : nullptr;
    if (!pFile)
    {
        CString strText;
        strText.Format("Cannot open the file %s.", lpszPathName ? lpszPathName : "");
        AfxMessageBox(strText, MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    std::fclose(pFile);
    DeleteContents();
    CArchive ar(CArchive::load);
    Serialize(ar);
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnSaveDocument(const char*)
{
    CArchive ar(CArchive::store);
    Serialize(ar);
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::OnCloseDocument()
{
    // Closing the frames removes the views; the document must survive that.
    BOOL bAutoDelete = m_bAutoDelete;
    m_bAutoDelete = FALSE;
    while (!m_viewList.empty())
    {
        CView* pView = m_viewList.front();
        CFrameWnd* pFrame = pView->GetParentFrame();
        if (!pFrame)
        {
            RemoveView(pView);
            continue;
        }
        PreCloseFrame(pFrame);
        pFrame->DestroyWindow();
        if (!m_viewList.empty() && m_viewList.front() == pView)
            RemoveView(pView);
    }
    m_bAutoDelete = bAutoDelete;
    DeleteContents();
    if (m_bAutoDelete)
        delete this;
}

void CDocument::DeleteContents()
{
}

BOOL CDocument::SaveModified()
{
    if (!IsModified())
        return TRUE;
    CString strPrompt;
    strPrompt.Format("Save changes to %s?", m_strTitle.IsEmpty() ? "Untitled" : m_strTitle.GetString());
    switch (AfxMessageBox(strPrompt, MB_YESNOCANCEL | MB_ICONEXCLAMATION))
    {
    case IDCANCEL: return FALSE;
    case IDYES: return OnSaveDocument(m_strPathName);
    default: return TRUE;
    }
}

BOOL CDocument::CanCloseFrame(CFrameWnd* pFrame)
{
    // Another frame still showing this document can close freely.
    for (CView* pView : m_viewList)
        if (CFrameWnd* p = pView->GetParentFrame(); p && p != pFrame)
            return TRUE;
    return SaveModified();
}

void CDocument::PreCloseFrame(CFrameWnd*)
{
}

BOOL CDocument::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return m_pDocTemplate && m_pDocTemplate->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}
