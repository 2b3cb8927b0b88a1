#pragma once
// CWnd: a C++ object attached to a window of the window layer. The layer's messages reach the
// object's WindowProc through AfxWndProc, which dispatches them to the message map; messages no
// entry handles go to DefWindowProc (the original procedure of a subclassed control). Control
// notifications are first offered to the control's own reflected entries.
#include <mfc/afxgeom.h>
#include <mfc/afxmsg.h>
#include <mfc/afxstr.h>

#include <win32/controls.h>
#include <win32/user.h>

class CDC;
class CFont;
class CMenu;
class CScrollBar;
class CRgn;
class CDataExchange;
class CFrameWnd;
struct CCreateContext;

// The window procedure of every window an MFC object owns.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);

class CWnd : public CCmdTarget
{
    DECLARE_DYNCREATE(CWnd)
public:
    CWnd();
    ~CWnd() override;

    HWND m_hWnd = nullptr;
    // The special places SetWindowPos takes for pWndInsertAfter.
    static const CWnd wndTop;
    static const CWnd wndBottom;
    static const CWnd wndTopMost;
    static const CWnd wndNoTopMost;
    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }
    BOOL operator==(const CWnd& wnd) const { return m_hWnd == wnd.m_hWnd; }

    // ---- Objects and handles
    // The object attached to hWnd; for a window no object owns, a temporary wrapper that lives
    // until the application's next idle time.
    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd);
    BOOL Attach(HWND hWndNew);
    HWND Detach();
    // Makes this object own an existing window: its messages now come here first.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    // ---- Creation and destruction
    virtual BOOL Create(const char* lpszClassName, const char* lpszWindowName, DWORD dwStyle, const RECT& rect,
                        CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr);
    virtual BOOL CreateEx(DWORD dwExStyle, const char* lpszClassName, const char* lpszWindowName, DWORD dwStyle,
                          int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                          LPVOID lpParam = nullptr);
    virtual BOOL CreateEx(DWORD dwExStyle, const char* lpszClassName, const char* lpszWindowName, DWORD dwStyle,
                          const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    virtual BOOL DestroyWindow();
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual void PreSubclassWindow();
    virtual void PostNcDestroy();

    // ---- Messages
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // A notification this control sent to its parent, offered back to it before the parent's
    // map; TRUE when it was consumed.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    static BOOL ReflectLastMsg(HWND hWndChild, LRESULT* pResult = nullptr);
    // Offers pMsg to PreTranslateMessage of its window and each parent up to hWndStop.
    static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);
    // The default handling of the message being handled now.
    LRESULT Default();

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL bDeep = TRUE,
                                  BOOL bOnlyPerm = FALSE) const;

    // ---- Data exchange (the dialog classes supply DDX)
    virtual void DoDataExchange(CDataExchange* pDX);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // ---- Styles, ids, relations
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    static BOOL ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags);
    int GetDlgCtrlID() const;
    int SetDlgCtrlID(int nID);
    CWnd* GetParent() const;
    CWnd* SetParent(CWnd* pWndNewParent);
    CWnd* GetOwner() const;
    CWnd* GetTopLevelParent() const;
    CFrameWnd* GetParentFrame() const;
    CWnd* GetDlgItem(int nID) const;
    void GetDlgItem(int nID, HWND* phWnd) const;
    CWnd* GetDescendantWindow(int nID, BOOL bOnlyPerm = FALSE) const;
    CWnd* GetWindow(UINT nCmd) const;
    CWnd* GetTopWindow() const;
    CWnd* GetNextWindow(UINT nFlag = GW_HWNDNEXT) const;
    BOOL IsChild(const CWnd* pWnd) const;
    static CWnd* GetDesktopWindow();
    static CWnd* GetActiveWindow();
    static CWnd* GetForegroundWindow();
    static CWnd* WindowFromPoint(POINT point);

    // ---- Geometry and state
    void GetWindowRect(LPRECT lpRect) const;
    void GetClientRect(LPRECT lpRect) const;
    void ClientToScreen(LPPOINT lpPoint) const;
    void ClientToScreen(LPRECT lpRect) const;
    void ScreenToClient(LPPOINT lpPoint) const;
    void ScreenToClient(LPRECT lpRect) const;
    void MapWindowPoints(CWnd* pwndTo, LPPOINT lpPoint, UINT nCount) const;
    void MapWindowPoints(CWnd* pwndTo, LPRECT lpRect) const;
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    BOOL IsWindowEnabled() const;
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsZoomed() const;
    BOOL IsIconic() const;
    BOOL GetWindowPlacement(WINDOWPLACEMENT* lpwndpl) const;
    BOOL SetWindowPlacement(const WINDOWPLACEMENT* lpwndpl);
    void CenterWindow(CWnd* pAlternateOwner = nullptr);
    // Places the control bars among the children (WM_SIZEPARENT) and gives the rest of the
    // client area to the child nIDLeftOver.
    enum RepositionFlags
    {
        reposDefault = 0,
        reposQuery = 1,
        reposExtra = 2,
        reposNoPosLeftOver = 0x8000,
    };
    void RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlag = reposDefault,
                        LPRECT lpRectParam = nullptr, LPCRECT lpRectClient = nullptr, BOOL bStretch = TRUE);

    // ---- Text and font
    void SetWindowText(const char* lpszString);
    int GetWindowText(char* lpszStringBuf, int nMaxCount) const;
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const;
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
    CFont* GetFont() const;

    // ---- Painting
    void Invalidate(BOOL bErase = TRUE);
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
    void ValidateRect(LPCRECT lpRect);
    void UpdateWindow();
    BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, CRgn* prgnUpdate = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    CDC* GetDC();
    CDC* GetWindowDC();
    int ReleaseDC(CDC* pDC);

    // ---- The window's own scroll bars (SB_HORZ, SB_VERT) and scrolling its content
    int SetScrollPos(int nBar, int nPos, BOOL bRedraw = TRUE);
    int GetScrollPos(int nBar) const;
    void SetScrollRange(int nBar, int nMinPos, int nMaxPos, BOOL bRedraw = TRUE);
    void GetScrollRange(int nBar, int* lpMinPos, int* lpMaxPos) const;
    BOOL SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE);
    BOOL GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL);
    void ShowScrollBar(UINT nBar, BOOL bShow = TRUE);
    void ScrollWindow(int xAmount, int yAmount, LPCRECT lpRect = nullptr, LPCRECT lpClipRect = nullptr);

    // ---- Input, focus, timers
    CWnd* SetFocus();
    static CWnd* GetFocus();
    CWnd* SetCapture();
    static CWnd* GetCapture();
    CWnd* SetActiveWindow();
    BOOL SetForegroundWindow();
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer);
    BOOL KillTimer(UINT_PTR nIDEvent);

    // ---- The menu bar of a top-level window
    CMenu* GetMenu() const;
    BOOL SetMenu(CMenu* pMenu);
    void DrawMenuBar();

    // ---- Message boxes
    int MessageBox(const char* lpszText, const char* lpszCaption = nullptr, UINT nType = MB_OK);

protected:
    // Default handlers of the ON_WM_ entries: each does the default handling of its message.
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg BOOL OnNcCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnNcDestroy();
    afx_msg void OnClose();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnMove(int x, int y);
    afx_msg void OnMoving(UINT fwSide, LPRECT pRect);
    afx_msg void OnSizing(UINT fwSide, LPRECT pRect);
    afx_msg void OnWindowPosChanging(WINDOWPOS* lpwndpos);
    afx_msg void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    afx_msg void OnEnterSizeMove();
    afx_msg void OnExitSizeMove();
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnNcPaint();
    afx_msg BOOL OnNcActivate(BOOL bActive);
    afx_msg void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnNcLButtonDown(UINT nHitTest, CPoint point);
    afx_msg void OnNcLButtonUp(UINT nHitTest, CPoint point);
    afx_msg void OnNcLButtonDblClk(UINT nHitTest, CPoint point);
    afx_msg void OnNcRButtonDown(UINT nHitTest, CPoint point);
    afx_msg void OnNcMouseMove(UINT nHitTest, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnMButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMButtonUp(UINT nFlags, CPoint point);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg void OnCancelMode();
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnSysKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnSysChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg UINT OnGetDlgCode();
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnEnable(BOOL bEnable);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnSettingChange(UINT uFlags, const char* lpszSection);
    afx_msg void OnSysColorChange();
    afx_msg void OnDisplayChange(UINT nImageDepth, int cx, int cy);
    afx_msg void OnParentNotify(UINT message, LPARAM lParam);
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    afx_msg void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
    afx_msg LRESULT OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu);
    afx_msg void OnEnterIdle(UINT nWhy, CWnd* pWho);
    afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    afx_msg void OnSetFont(CFont* pFont, BOOL bRedraw);

    // Set by Create for the window procedure of a control class this object subclassed.
    WNDPROC m_pfnSuper = nullptr;

    DECLARE_MESSAGE_MAP()

private:
    explicit CWnd(HWND hWndSpecial) : m_hWnd(hWndSpecial) {}
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
    void FinishNcDestroy();
};

void AfxHookWindowCreate(CWnd* pWnd);
BOOL AfxUnhookWindowCreate();
LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
// Frees the temporary wrappers FromHandle made (windows, GDI objects, menus, DCs).
void AfxDeleteTempMap();
// Registers (once) a window class with the MFC window procedure and returns its name.
const char* AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr, HBRUSH hbrBackground = nullptr,
                                HICON hIcon = nullptr);
// The classes the frame and view windows get when their creator names none.
#define AFX_WND "AfxWnd"
#define AFX_WNDFRAMEORVIEW "AfxFrameOrView"
#define AFX_WNDCONTROLBAR "AfxControlBar"
BOOL AfxEndDeferRegisterClass(const char* lpszClassName);

// ---- Window message entries
#define AFX_WM_POINT CPoint(call.lParam)
#define ON_WM_CREATE() \
    {WM_CREATE, 0, 0, 0, AFX_THUNK(call.lResult = pThis->OnCreate(reinterpret_cast<LPCREATESTRUCT>(call.lParam)); return TRUE;)},
#define ON_WM_NCCREATE() \
    {WM_NCCREATE, 0, 0, 0, AFX_THUNK(call.lResult = pThis->OnNcCreate(reinterpret_cast<LPCREATESTRUCT>(call.lParam)); return TRUE;)},
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, 0, AFX_THUNK(pThis->OnDestroy(); return TRUE;)},
#define ON_WM_NCDESTROY() {WM_NCDESTROY, 0, 0, 0, AFX_THUNK(pThis->OnNcDestroy(); return TRUE;)},
#define ON_WM_CLOSE() {WM_CLOSE, 0, 0, 0, AFX_THUNK(pThis->OnClose(); return TRUE;)},
#define ON_WM_SIZE() \
    {WM_SIZE, 0, 0, 0, AFX_THUNK(pThis->OnSize(static_cast<UINT>(call.wParam), (SHORT)LOWORD(call.lParam), (SHORT)HIWORD(call.lParam)); return TRUE;)},
#define ON_WM_MOVE() \
    {WM_MOVE, 0, 0, 0, AFX_THUNK(pThis->OnMove((SHORT)LOWORD(call.lParam), (SHORT)HIWORD(call.lParam)); return TRUE;)},
#define ON_WM_MOVING() \
    {WM_MOVING, 0, 0, 0, AFX_THUNK(pThis->OnMoving(static_cast<UINT>(call.wParam), reinterpret_cast<LPRECT>(call.lParam)); call.lResult = TRUE; return TRUE;)},
#define ON_WM_SIZING() \
    {WM_SIZING, 0, 0, 0, AFX_THUNK(pThis->OnSizing(static_cast<UINT>(call.wParam), reinterpret_cast<LPRECT>(call.lParam)); call.lResult = TRUE; return TRUE;)},
#define ON_WM_WINDOWPOSCHANGING() \
    {WM_WINDOWPOSCHANGING, 0, 0, 0, AFX_THUNK(pThis->OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(call.lParam)); return TRUE;)},
#define ON_WM_WINDOWPOSCHANGED() \
    {WM_WINDOWPOSCHANGED, 0, 0, 0, AFX_THUNK(pThis->OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(call.lParam)); return TRUE;)},
#define ON_WM_ENTERSIZEMOVE() {WM_ENTERSIZEMOVE, 0, 0, 0, AFX_THUNK(pThis->OnEnterSizeMove(); return TRUE;)},
#define ON_WM_EXITSIZEMOVE() {WM_EXITSIZEMOVE, 0, 0, 0, AFX_THUNK(pThis->OnExitSizeMove(); return TRUE;)},
#define ON_WM_PAINT() {WM_PAINT, 0, 0, 0, AFX_THUNK(pThis->OnPaint(); return TRUE;)},
#define ON_WM_ERASEBKGND() \
    {WM_ERASEBKGND, 0, 0, 0, AFX_THUNK(call.lResult = pThis->OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(call.wParam))); return TRUE;)},
#define ON_WM_NCPAINT() {WM_NCPAINT, 0, 0, 0, AFX_THUNK(pThis->OnNcPaint(); return TRUE;)},
#define ON_WM_NCACTIVATE() \
    {WM_NCACTIVATE, 0, 0, 0, AFX_THUNK(call.lResult = pThis->OnNcActivate(static_cast<BOOL>(call.wParam)); return TRUE;)},
#define ON_WM_NCCALCSIZE() \
    {WM_NCCALCSIZE, 0, 0, 0, AFX_THUNK(pThis->OnNcCalcSize(static_cast<BOOL>(call.wParam), reinterpret_cast<NCCALCSIZE_PARAMS*>(call.lParam)); return TRUE;)},
#define ON_WM_NCHITTEST() {WM_NCHITTEST, 0, 0, 0, AFX_THUNK(call.lResult = pThis->OnNcHitTest(AFX_WM_POINT); return TRUE;)},
#define AFX_NC_MOUSE_ENTRY(msg, fn) \
    {msg, 0, 0, 0, AFX_THUNK(pThis->fn(static_cast<UINT>(call.wParam), AFX_WM_POINT); return TRUE;)},
#define ON_WM_NCLBUTTONDOWN() AFX_NC_MOUSE_ENTRY(WM_NCLBUTTONDOWN, OnNcLButtonDown)
#define ON_WM_NCLBUTTONUP() AFX_NC_MOUSE_ENTRY(WM_NCLBUTTONUP, OnNcLButtonUp)
#define ON_WM_NCLBUTTONDBLCLK() AFX_NC_MOUSE_ENTRY(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk)
#define ON_WM_NCRBUTTONDOWN() AFX_NC_MOUSE_ENTRY(WM_NCRBUTTONDOWN, OnNcRButtonDown)
#define ON_WM_NCMOUSEMOVE() AFX_NC_MOUSE_ENTRY(WM_NCMOUSEMOVE, OnNcMouseMove)
#define ON_WM_MOUSEMOVE() AFX_NC_MOUSE_ENTRY(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_LBUTTONDOWN() AFX_NC_MOUSE_ENTRY(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_NC_MOUSE_ENTRY(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_NC_MOUSE_ENTRY(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() AFX_NC_MOUSE_ENTRY(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() AFX_NC_MOUSE_ENTRY(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() AFX_NC_MOUSE_ENTRY(WM_RBUTTONDBLCLK, OnRButtonDblClk)
#define ON_WM_MBUTTONDOWN() AFX_NC_MOUSE_ENTRY(WM_MBUTTONDOWN, OnMButtonDown)
#define ON_WM_MBUTTONUP() AFX_NC_MOUSE_ENTRY(WM_MBUTTONUP, OnMButtonUp)
#define ON_WM_MOUSEWHEEL() \
    {WM_MOUSEWHEEL, 0, 0, 0, AFX_THUNK(call.lResult = pThis->OnMouseWheel(LOWORD(call.wParam), (short)HIWORD(call.wParam), AFX_WM_POINT); return TRUE;)},
#define ON_WM_SETCURSOR() \
    {WM_SETCURSOR, 0, 0, 0, AFX_THUNK(call.lResult = pThis->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(call.wParam)), LOWORD(call.lParam), HIWORD(call.lParam)); return TRUE;)},
#define ON_WM_MOUSEACTIVATE() \
    {WM_MOUSEACTIVATE, 0, 0, 0, AFX_THUNK(call.lResult = pThis->OnMouseActivate(CWnd::FromHandle(reinterpret_cast<HWND>(call.wParam)), LOWORD(call.lParam), HIWORD(call.lParam)); return TRUE;)},
#define ON_WM_CAPTURECHANGED() \
    {WM_CAPTURECHANGED, 0, 0, 0, AFX_THUNK(pThis->OnCaptureChanged(CWnd::FromHandle(reinterpret_cast<HWND>(call.lParam))); return TRUE;)},
#define ON_WM_CANCELMODE() {WM_CANCELMODE, 0, 0, 0, AFX_THUNK(pThis->OnCancelMode(); return TRUE;)},
#define AFX_KEY_ENTRY(msg, fn) \
    {msg, 0, 0, 0, AFX_THUNK(pThis->fn(static_cast<UINT>(call.wParam), LOWORD(call.lParam), HIWORD(call.lParam)); return TRUE;)},
#define ON_WM_KEYDOWN() AFX_KEY_ENTRY(WM_KEYDOWN, OnKeyDown)
#define ON_WM_KEYUP() AFX_KEY_ENTRY(WM_KEYUP, OnKeyUp)
#define ON_WM_CHAR() AFX_KEY_ENTRY(WM_CHAR, OnChar)
#define ON_WM_SYSKEYDOWN() AFX_KEY_ENTRY(WM_SYSKEYDOWN, OnSysKeyDown)
#define ON_WM_SYSKEYUP() AFX_KEY_ENTRY(WM_SYSKEYUP, OnSysKeyUp)
#define ON_WM_SYSCHAR() AFX_KEY_ENTRY(WM_SYSCHAR, OnSysChar)
#define ON_WM_SYSCOMMAND() \
    {WM_SYSCOMMAND, 0, 0, 0, AFX_THUNK(pThis->OnSysCommand(static_cast<UINT>(call.wParam), call.lParam); return TRUE;)},
#define ON_WM_GETDLGCODE() {WM_GETDLGCODE, 0, 0, 0, AFX_THUNK(call.lResult = pThis->OnGetDlgCode(); return TRUE;)},
#define ON_WM_SETFOCUS() \
    {WM_SETFOCUS, 0, 0, 0, AFX_THUNK(pThis->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(call.wParam))); return TRUE;)},
#define ON_WM_KILLFOCUS() \
    {WM_KILLFOCUS, 0, 0, 0, AFX_THUNK(pThis->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(call.wParam))); return TRUE;)},
#define ON_WM_ACTIVATE() \
    {WM_ACTIVATE, 0, 0, 0, AFX_THUNK(pThis->OnActivate(LOWORD(call.wParam), CWnd::FromHandle(reinterpret_cast<HWND>(call.lParam)), HIWORD(call.wParam)); return TRUE;)},
#define ON_WM_SHOWWINDOW() \
    {WM_SHOWWINDOW, 0, 0, 0, AFX_THUNK(pThis->OnShowWindow(static_cast<BOOL>(call.wParam), static_cast<UINT>(call.lParam)); return TRUE;)},
#define ON_WM_ENABLE() {WM_ENABLE, 0, 0, 0, AFX_THUNK(pThis->OnEnable(static_cast<BOOL>(call.wParam)); return TRUE;)},
#define ON_WM_TIMER() {WM_TIMER, 0, 0, 0, AFX_THUNK(pThis->OnTimer(static_cast<UINT_PTR>(call.wParam)); return TRUE;)},
#define AFX_SCROLL_ENTRY(msg, fn) \
    {msg, 0, 0, 0, AFX_THUNK(pThis->fn(LOWORD(call.wParam), (SHORT)HIWORD(call.wParam), reinterpret_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(call.lParam)))); return TRUE;)},
#define ON_WM_HSCROLL() AFX_SCROLL_ENTRY(WM_HSCROLL, OnHScroll)
#define ON_WM_VSCROLL() AFX_SCROLL_ENTRY(WM_VSCROLL, OnVScroll)
#define ON_WM_CTLCOLOR() \
    {WM_CTLCOLOR, 0, 0, 0, AFX_THUNK(call.lResult = reinterpret_cast<LRESULT>(pThis->OnCtlColor(CDC::FromHandle(reinterpret_cast<HDC>(call.wParam)), CWnd::FromHandle(reinterpret_cast<HWND>(call.lParam)), static_cast<UINT>(call.nID))); return TRUE;)},
#define ON_WM_SETTINGCHANGE() \
    {WM_SETTINGCHANGE, 0, 0, 0, AFX_THUNK(pThis->OnSettingChange(static_cast<UINT>(call.wParam), reinterpret_cast<const char*>(call.lParam)); return TRUE;)},
#define ON_WM_SYSCOLORCHANGE() {WM_SYSCOLORCHANGE, 0, 0, 0, AFX_THUNK(pThis->OnSysColorChange(); return TRUE;)},
#define ON_WM_DISPLAYCHANGE() \
    {WM_DISPLAYCHANGE, 0, 0, 0, AFX_THUNK(pThis->OnDisplayChange(static_cast<UINT>(call.wParam), LOWORD(call.lParam), HIWORD(call.lParam)); return TRUE;)},
#define ON_WM_PARENTNOTIFY() \
    {WM_PARENTNOTIFY, 0, 0, 0, AFX_THUNK(pThis->OnParentNotify(static_cast<UINT>(call.wParam), call.lParam); return TRUE;)},
#define ON_WM_INITMENUPOPUP() \
    {WM_INITMENUPOPUP, 0, 0, 0, AFX_THUNK(pThis->OnInitMenuPopup(CMenu::FromHandle(reinterpret_cast<HMENU>(call.wParam)), LOWORD(call.lParam), HIWORD(call.lParam)); return TRUE;)},
#define ON_WM_MENUSELECT() \
    {WM_MENUSELECT, 0, 0, 0, AFX_THUNK(pThis->OnMenuSelect(LOWORD(call.wParam), HIWORD(call.wParam), reinterpret_cast<HMENU>(call.lParam)); return TRUE;)},
#define ON_WM_MENUCHAR() \
    {WM_MENUCHAR, 0, 0, 0, AFX_THUNK(call.lResult = pThis->OnMenuChar(LOWORD(call.wParam), HIWORD(call.wParam), CMenu::FromHandle(reinterpret_cast<HMENU>(call.lParam))); return TRUE;)},
#define ON_WM_ENTERIDLE() \
    {WM_ENTERIDLE, 0, 0, 0, AFX_THUNK(pThis->OnEnterIdle(static_cast<UINT>(call.wParam), CWnd::FromHandle(reinterpret_cast<HWND>(call.lParam))); return TRUE;)},
// Owner-drawn menu items and controls; an owner-drawn control's own DrawItem has run first.
#define ON_WM_DRAWITEM() \
    {WM_DRAWITEM, 0, 0, 0, AFX_THUNK(pThis->OnDrawItem(static_cast<int>(call.wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(call.lParam)); call.lResult = TRUE; return TRUE;)},
#define ON_WM_MEASUREITEM() \
    {WM_MEASUREITEM, 0, 0, 0, AFX_THUNK(pThis->OnMeasureItem(static_cast<int>(call.wParam), reinterpret_cast<LPMEASUREITEMSTRUCT>(call.lParam)); call.lResult = TRUE; return TRUE;)},

// ---- Reflected window messages
#define ON_WM_CTLCOLOR_REFLECT() \
    {WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0, 0, AFX_THUNK(call.lResult = reinterpret_cast<LRESULT>(pThis->CtlColor(CDC::FromHandle(reinterpret_cast<HDC>(call.wParam)), static_cast<UINT>(call.nID))); return call.lResult != 0;)},
#define ON_WM_HSCROLL_REFLECT() \
    {WM_REFLECT_BASE + WM_HSCROLL, 0, 0, 0, AFX_THUNK(pThis->HScroll(LOWORD(call.wParam), (SHORT)HIWORD(call.wParam)); return TRUE;)},
#define ON_WM_VSCROLL_REFLECT() \
    {WM_REFLECT_BASE + WM_VSCROLL, 0, 0, 0, AFX_THUNK(pThis->VScroll(LOWORD(call.wParam), (SHORT)HIWORD(call.wParam)); return TRUE;)},
