// CFrameWnd: creation with its view, command routing, accelerators, layout, title and prompts.
#include <mfc/afxwin.h>

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_WM_SIZE()
    ON_WM_MENUSELECT()
    ON_WM_INITMENUPOPUP()
    ON_MESSAGE(WM_SETMESSAGESTRING, &CFrameWnd::OnSetMessageString)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, &CFrameWnd::OnIdleUpdateCmdUI)
    ON_UPDATE_COMMAND_UI_RANGE(ID_VIEW_TOOLBAR, ID_VIEW_REBAR, &CFrameWnd::OnUpdateControlBarMenu)
    ON_COMMAND_EX_RANGE(ID_VIEW_TOOLBAR, ID_VIEW_REBAR, &CFrameWnd::OnBarCheck)
END_MESSAGE_MAP()

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

CFrameWnd::CFrameWnd() = default;

CFrameWnd::~CFrameWnd() = default;

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    CString strFull;
    if (strFull.LoadString(nIDResource))
        AfxExtractSubString(m_strTitle, strFull, 0);
    if (!Create(nullptr, m_strTitle, dwDefaultStyle, rectDefault, pParentWnd, MAKEINTRESOURCEA(nIDResource), 0,
                pContext))
        return FALSE;
    m_hAccelTable = ::LoadAcceleratorsA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(nIDResource));
    if (!pContext)
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
    return TRUE;
}

BOOL CFrameWnd::Create(const char* lpszClassName, const char* lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, const char* lpszMenuName, DWORD dwExStyle, CCreateContext* pContext)
{
    m_strTitle = lpszWindowName;
    // A frame whose resource has no menu simply has none.
    bool bHasMenu = lpszMenuName && (!IS_INTRESOURCE(lpszMenuName) ||
                                     FindResourceEntry("MENU", static_cast<int>(reinterpret_cast<ULONG_PTR>(lpszMenuName))));
    HMENU hMenu = bHasMenu ? ::LoadMenuA(AfxGetInstanceHandle(), lpszMenuName) : nullptr;
    bool bDefault = rect.left == CW_USEDEFAULT;
    if (!CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                  bDefault ? CW_USEDEFAULT : rect.right - rect.left, bDefault ? CW_USEDEFAULT : rect.bottom - rect.top,
                  pParentWnd ? pParentWnd->m_hWnd : nullptr, hMenu, pContext))
    {
        if (hMenu)
            ::DestroyMenu(hMenu);
        return FALSE;
    }
    m_hMenuDefault = hMenu;
    return TRUE;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass && AfxEndDeferRegisterClass(AFX_WNDFRAMEORVIEW))
        cs.lpszClass = AFX_WNDFRAMEORVIEW;
    if (cs.style & FWS_ADDTOTITLE)
        cs.style |= FWS_PREFIXTITLE;
    return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    auto* pContext = static_cast<CCreateContext*>(lpcs->lpCreateParams);
    if (!OnCreateClient(lpcs, pContext))
        return -1;
    PostMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
    RecalcLayout();
    return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    if (pContext && pContext->m_pNewViewClass)
        return CreateView(pContext, AFX_IDW_PANE_FIRST) != nullptr;
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID)
{
    CObject* pObject = pContext->m_pNewViewClass->CreateObject();
    if (!pObject || !pObject->IsKindOf(RUNTIME_CLASS(CWnd)))
    {
        delete pObject;
        return nullptr;
    }
    auto* pView = static_cast<CWnd*>(pObject);
    // A view that fails to be created deletes itself.
    if (!pView->Create(nullptr, nullptr, AFX_WS_DEFAULT_VIEW, CRect(0, 0, 0, 0), this, nID, pContext))
        return nullptr;
    return pView;
}

void CFrameWnd::PostNcDestroy()
{
    delete this;
}

void CFrameWnd::OnClose()
{
    CDocument* pDocument = GetActiveDocument();
    if (pDocument && !pDocument->CanCloseFrame(this))
        return;
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd == this)
    {
        if (!pDocument && !pApp->SaveAllModified())
            return;
        // Closing the documents destroys their frames, this one included: then there is
        // nothing left to do here.
        HWND hWnd = m_hWnd;
        pApp->CloseAllDocuments(FALSE);
        if (!::IsWindow(hWnd))
            return;
    }
    else if (pDocument)
        pDocument->PreCloseFrame(this);
    DestroyWindow();
}

void CFrameWnd::OnDestroy()
{
    m_pViewActive = nullptr;
    // The window destroys the menu it shows; a default menu it no longer shows is ours.
    if (m_hMenuDefault && ::GetMenu(m_hWnd) != m_hMenuDefault)
        ::DestroyMenu(m_hMenuDefault);
    m_hMenuDefault = nullptr;
    CWnd::OnDestroy();
}

void CFrameWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (nType != SIZE_MINIMIZED)
        RecalcLayout();
}

// ---- Layout and bars

void CFrameWnd::RecalcLayout(BOOL)
{
    if (m_bInRecalcLayout)
        return;
    m_bInRecalcLayout = TRUE;
    RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST);
    m_bInRecalcLayout = FALSE;
}

CControlBar* CFrameWnd::GetControlBar(UINT nID)
{
    CWnd* pWnd = GetDescendantWindow(static_cast<int>(nID), TRUE);
    return pWnd && pWnd->IsKindOf(RUNTIME_CLASS(CControlBar)) ? static_cast<CControlBar*>(pWnd) : nullptr;
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL)
{
    if (!pBar)
        return;
    pBar->ShowWindow(bShow ? SW_SHOWNOACTIVATE : SW_HIDE);
    RecalcLayout();
}

BOOL CFrameWnd::OnBarCheck(UINT nID)
{
    CControlBar* pBar = GetControlBar(nID);
    if (!pBar)
        return FALSE;
    ShowControlBar(pBar, !pBar->IsVisible(), FALSE);
    return TRUE;
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI)
{
    CControlBar* pBar = GetControlBar(pCmdUI->m_nID);
    if (!pBar)
    {
        pCmdUI->ContinueRouting();
        return;
    }
    pCmdUI->SetCheck(pBar->IsVisible() ? 1 : 0);
}

// ---- Views, documents and routing

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify)
{
    CView* pViewOld = m_pViewActive;
    if (pViewNew == pViewOld)
        return;
    m_pViewActive = nullptr;
    if (pViewOld && bNotify)
        pViewOld->OnActivateView(FALSE, pViewNew, pViewOld);
    m_pViewActive = pViewNew;
    if (pViewNew && bNotify)
        pViewNew->OnActivateView(TRUE, pViewNew, pViewOld);
}

CDocument* CFrameWnd::GetActiveDocument()
{
    return m_pViewActive ? m_pViewActive->GetDocument() : nullptr;
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible)
{
    if (!m_pViewActive)
    {
        CWnd* pWnd = GetDescendantWindow(AFX_IDW_PANE_FIRST, TRUE);
        if (pWnd && pWnd->IsKindOf(RUNTIME_CLASS(CView)))
            SetActiveView(static_cast<CView*>(pWnd), FALSE);
    }
    SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
    if (bMakeVisible)
    {
        int nCmdShow = -1;
        CWinApp* pApp = AfxGetApp();
        if (pApp && pApp->m_pMainWnd == this)
            nCmdShow = pApp->m_nCmdShow;
        ActivateFrame(nCmdShow);
    }
    if (pDoc)
        pDoc->UpdateFrameCounts();
    OnUpdateFrameTitle(TRUE);
}

void CFrameWnd::ActivateFrame(int nCmdShow)
{
    if (nCmdShow == -1)
        nCmdShow = IsWindowVisible() ? SW_SHOW : SW_SHOWNORMAL;
    if (nCmdShow != SW_HIDE)
        ShowWindow(nCmdShow);
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    CDocument* pDocument = GetActiveDocument();
    if (bAddToTitle && (GetStyle() & FWS_ADDTOTITLE) && pDocument)
        UpdateFrameTitleForDocument(pDocument->GetTitle());
    else
        UpdateFrameTitleForDocument(nullptr);
}

void CFrameWnd::UpdateFrameTitleForDocument(const char* lpszDocName)
{
    CString strText;
    if (!lpszDocName || !*lpszDocName)
        strText = m_strTitle;
    else if (GetStyle() & FWS_PREFIXTITLE)
        strText = CString(lpszDocName) + " - " + m_strTitle;
    else
        strText = m_strTitle + " - " + lpszDocName;
    CString strOld;
    GetWindowText(strOld);
    if (strOld != strText)
        SetWindowText(strText);
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The view first (it passes on to its document), then the frame, then the application.
    if (CView* pView = m_pViewActive)
        if (pView->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
            return TRUE;
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWinApp* pApp = AfxGetApp();
    return pApp && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_LBUTTONDOWN || pMsg->message == WM_RBUTTONDOWN || pMsg->message == WM_MBUTTONDOWN)
        TakeFocusBackFrom(pMsg->hwnd);
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_hAccelTable)
        return ::TranslateAcceleratorA(m_hWnd, m_hAccelTable, pMsg);
    return FALSE;
}

void CFrameWnd::TakeFocusBackFrom(HWND hWndClicked)
{
    // The frame handles the program's keys: a click on its view or its bars (or on anything they
    // hold) gives the keyboard back to the frame. A control that takes the focus when clicked
    // still does, as its own handler runs after this.
    if (::GetFocus() == m_hWnd)
        return;
    HWND hChild = hWndClicked;
    while (hChild && ::GetParent(hChild) != m_hWnd)
        hChild = ::GetParent(hChild);
    CWnd* pChild = FromHandlePermanent(hChild);
    if (pChild && (pChild->IsKindOf(RUNTIME_CLASS(CView)) || pChild->IsKindOf(RUNTIME_CLASS(CControlBar))))
        SetFocus();
}

// ---- Prompts and idle updates

CWnd* CFrameWnd::GetMessageBar()
{
    return GetDescendantWindow(AFX_IDW_STATUS_BAR, TRUE);
}

void CFrameWnd::GetMessageString(UINT nID, CString& rMessage) const
{
    CString strFull;
    if (strFull.LoadString(nID))
        AfxExtractSubString(rMessage, strFull, 0);
    else
        rMessage.Empty();
}

void CFrameWnd::SetMessageText(const char* lpszText)
{
    if (CWnd* pBar = GetMessageBar())
        pBar->SetWindowText(lpszText);
}

void CFrameWnd::SetMessageText(UINT nID)
{
    SendMessage(WM_SETMESSAGESTRING, nID);
}

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam)
{
    UINT nIDLast = m_nIDLastMessage;
    CString strMessage;
    if (lParam)
        strMessage = reinterpret_cast<const char*>(lParam);
    else if (wParam == AFX_IDS_IDLEMESSAGE)
    {
        // "Ready" unless the string table says otherwise.
        if (!strMessage.LoadString(AFX_IDS_IDLEMESSAGE))
            strMessage = "Ready";
    }
    else if (wParam)
        GetMessageString(static_cast<UINT>(wParam), strMessage);
    m_nIDLastMessage = static_cast<UINT>(wParam);
    SetMessageText(strMessage);
    return nIDLast;
}

void CFrameWnd::OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu)
{
    // Closing the menu (0xFFFF without a menu) goes back to the idle prompt; a popup or a
    // separator shows nothing; a command shows its prompt.
    if (nFlags == 0xFFFF && !hSysMenu)
        m_nIDTracking = AFX_IDS_IDLEMESSAGE;
    else if (nItemID == 0 || (nFlags & (MF_SEPARATOR | MF_POPUP)))
        m_nIDTracking = 0;
    else
        m_nIDTracking = nItemID;
    SendMessage(WM_SETMESSAGESTRING, m_nIDTracking);
}

void CFrameWnd::OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu)
{
    CWnd::OnInitMenuPopup(pPopupMenu, nIndex, bSysMenu);
    if (!bSysMenu && pPopupMenu)
        AfxUpdateMenuCmdUI(this, pPopupMenu, m_bAutoMenuEnable);
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM)
{
    if (GetStyle() & FWS_ADDTOTITLE)
        OnUpdateFrameTitle(TRUE);
    return 0;
}
