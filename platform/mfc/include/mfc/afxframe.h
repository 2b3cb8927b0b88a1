#pragma once
// Frame windows, views and control bars. A frame holds its control bars and one view
// (AFX_IDW_PANE_FIRST); RecalcLayout gives each bar its edge and the view the rest. Commands
// that reach the frame try the active view (and its document) first, then the frame, then the
// application.
#include <mfc/afxres.h>
#include <mfc/afxwnd.h>

#include <win32/accelerators.h>

class CDocument;
class CDocTemplate;
class CView;
class CControlBar;

// What a frame is created for: the view class to make and the document it shows.
struct CCreateContext
{
    const CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    class CFrameWnd* m_pCurrentFrame = nullptr;
};

// Control-bar styles; Create keeps them in the bar and gives the rest to the window.
#define CBRS_ALIGN_LEFT 0x1000L
#define CBRS_ALIGN_TOP 0x2000L
#define CBRS_ALIGN_RIGHT 0x4000L
#define CBRS_ALIGN_BOTTOM 0x8000L
#define CBRS_ALIGN_ANY 0xF000L
#define CBRS_BORDER_LEFT 0x0100L
#define CBRS_BORDER_TOP 0x0200L
#define CBRS_BORDER_RIGHT 0x0400L
#define CBRS_BORDER_BOTTOM 0x0800L
#define CBRS_BORDER_ANY 0x0F00L
#define CBRS_TOOLTIPS 0x0010L
#define CBRS_FLYBY 0x0020L
#define CBRS_ORIENT_HORZ (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)
#define CBRS_ORIENT_VERT (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)
#define CBRS_TOP (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)
#define CBRS_BOTTOM (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP)
#define CBRS_LEFT (CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT)
#define CBRS_RIGHT (CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT)
#define CBRS_ALL 0x0040FFFFL

// Frame styles (in the low word, which the window layer leaves to the class).
#define FWS_ADDTOTITLE 0x00008000L
#define FWS_PREFIXTITLE 0x00004000L
#define FWS_SNAPTOBARS 0x00002000L

// The default style of a view: a visible child with a sunken client edge.
#define AFX_WS_DEFAULT_VIEW (WS_CHILD | WS_VISIBLE | WS_BORDER)

// The layout of RepositionBars: each bar takes its strip off rect.
struct AFX_SIZEPARENTPARAMS
{
    BOOL bMove;       // FALSE: only measure
    RECT rect;        // what is left for the next bar, and at the end for the view
    SIZE sizeTotal;   // the bars' total size
    BOOL bStretch;
};

class CFrameWnd : public CWnd
{
    DECLARE_DYNCREATE(CFrameWnd)
public:
    CFrameWnd();
    ~CFrameWnd() override;
    static const CRect rectDefault;

    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    virtual BOOL Create(const char* lpszClassName, const char* lpszWindowName,
                        DWORD dwStyle = WS_OVERLAPPEDWINDOW, const RECT& rect = rectDefault,
                        CWnd* pParentWnd = nullptr, const char* lpszMenuName = nullptr, DWORD dwExStyle = 0,
                        CCreateContext* pContext = nullptr);
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);

    // ---- Layout and bars
    virtual void RecalcLayout(BOOL bNotify = TRUE);
    CControlBar* GetControlBar(UINT nID);
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);

    // ---- The active view and document
    CView* GetActiveView() const { return m_pViewActive; }
    void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    virtual CDocument* GetActiveDocument();
    virtual CFrameWnd* GetActiveFrame() { return this; }
    void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
    virtual void ActivateFrame(int nCmdShow = -1);
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    void UpdateFrameTitleForDocument(const char* lpszDocName);
    const CString& GetTitle() const { return m_strTitle; }
    void SetTitle(const char* lpszTitle) { m_strTitle = lpszTitle; }

    // ---- Status prompts
    void SetMessageText(const char* lpszText);
    void SetMessageText(UINT nID);
    // The command's prompt: the first line of its string-table entry.
    virtual void GetMessageString(UINT nID, CString& rMessage) const;
    CWnd* GetMessageBar();

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    // ---- The standard bar commands (ID_VIEW_STATUS_BAR, ID_VIEW_TOOLBAR, ID_VIEW_REBAR)
    afx_msg BOOL OnBarCheck(UINT nID);
    afx_msg void OnUpdateControlBarMenu(CCmdUI* pCmdUI);

    HMENU m_hMenuDefault = nullptr;
    HACCEL m_hAccelTable = nullptr;
    BOOL m_bAutoMenuEnable = TRUE;

protected:
    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    void PostNcDestroy() override;
    void TakeFocusBackFrom(HWND hWndClicked);

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnClose();
    afx_msg void OnDestroy();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    afx_msg LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);

    CString m_strTitle;
    CView* m_pViewActive = nullptr;
    UINT m_nIDTracking = 0;
    UINT m_nIDLastMessage = 0;
    BOOL m_bInRecalcLayout = FALSE;

    DECLARE_MESSAGE_MAP()
};

class CView : public CWnd
{
    DECLARE_DYNAMIC(CView)
public:
    CDocument* GetDocument() const { return m_pDocument; }
    virtual void OnDraw(CDC* pDC) = 0;
    virtual void OnInitialUpdate();
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
    virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

protected:
    CView() = default;
    ~CView() override;
    void PostNcDestroy() override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnPaint();
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    afx_msg LRESULT OnInitialUpdateMessage(WPARAM wParam, LPARAM lParam);

    CDocument* m_pDocument = nullptr;
    friend class CDocument;

    DECLARE_MESSAGE_MAP()
};

// A bar along one edge of its frame: the frame's layout asks it for its size (WM_SIZEPARENT),
// and at idle time it updates its elements' command UI.
class CControlBar : public CWnd
{
    DECLARE_DYNAMIC(CControlBar)
public:
    // The bar's size along its edge; bHorz for the top and bottom edges.
    virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler);
    DWORD GetBarStyle() const { return m_dwStyle; }
    void SetBarStyle(DWORD dwStyle) { m_dwStyle = dwStyle; }
    BOOL IsVisible() const { return (GetStyle() & WS_VISIBLE) != 0; }

protected:
    CControlBar() = default;
    // Splits a Create style: the bar keeps its CBRS_ bits, the window gets the rest.
    DWORD TakeBarStyle(DWORD dwStyle);
    afx_msg LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);

    DWORD m_dwStyle = 0;

    DECLARE_MESSAGE_MAP()
};
