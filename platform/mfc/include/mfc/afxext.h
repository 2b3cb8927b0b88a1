#pragma once
// The frame's control bars over the window layer's common controls: the status bar (panes, the
// frame's prompts in its first pane), the rebar (bands that size the windows they hold) and the
// toolbar (buttons named by command ids, brought up to date by the command route at idle time).
#include <mfc/afxwin.h>
#include <mfc/afxcmn.h>

#include <win32/commctrl.h>

#include <vector>

// Pane styles of SetPaneInfo.
#define SBPS_NORMAL 0x0000
#define SBPS_NOBORDERS SBT_NOBORDERS
#define SBPS_POPOUT SBT_POPOUT
#define SBPS_STRETCH 0x10000
#define SBPS_DISABLED 0x04000000

class CStatusBar : public CControlBar
{
    DECLARE_DYNAMIC(CStatusBar)
public:
    CStatusBar() = default;
    virtual BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                        UINT nID = AFX_IDW_STATUS_BAR);
    // One pane per id; ID_SEPARATOR is the stretching message pane. An indicator pane shows its
    // id's string and is as wide as that text.
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);
    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;
    void GetItemRect(int nIndex, LPRECT lpRect) const;
    BOOL SetPaneText(int nIndex, const char* lpszNewText, BOOL bUpdate = TRUE);
    CString GetPaneText(int nIndex) const;
    void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
    void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

protected:
    struct Pane
    {
        UINT m_nID;
        UINT m_nStyle;
        int m_cxText;   // the width of an indicator pane's text; the separator pane stretches
    };
    // Gives the control its part edges: fixed panes at the right, the stretching one first.
    void UpdateParts();
    afx_msg void OnSize(UINT nType, int cx, int cy);

    std::vector<Pane> m_Panes;

    DECLARE_MESSAGE_MAP()
};

class CReBarCtrl : public CWnd
{
    DECLARE_DYNAMIC(CReBarCtrl)
public:
    UINT GetBandCount() const;
    BOOL InsertBand(UINT uIndex, REBARBANDINFO* prbbi);
    BOOL SetBandInfo(UINT uBand, REBARBANDINFO* prbbi);
    BOOL GetBandInfo(UINT uBand, REBARBANDINFO* prbbi) const;
    UINT GetBarHeight() const;
    BOOL GetRect(UINT uBand, LPRECT prc) const;
};

class CReBar : public CControlBar
{
    DECLARE_DYNAMIC(CReBar)
public:
    CReBar() = default;
    virtual BOOL Create(CWnd* pParentWnd, DWORD dwCtrlStyle = RBS_BANDBORDERS,
                        DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | CBRS_TOP,
                        UINT nID = AFX_IDW_REBAR);
    // Adds pBar as a band: the rebar holds it and sizes it to the band.
    BOOL AddBar(CWnd* pBar, const char* pszText = nullptr, CBitmap* pbmp = nullptr,
                DWORD dwStyle = RBBS_GRIPPERALWAYS | RBBS_FIXEDBMP);
    // The control's messages, on the same window.
    CReBarCtrl& GetReBarCtrl() const;

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;

protected:
    afx_msg void OnHeightChange(NMHDR* pNMHDR, LRESULT* pResult);
    // Names the window only: it is not attached, so it neither owns nor destroys it.
    mutable CReBarCtrl m_Ctrl;
    DECLARE_MESSAGE_MAP()
};

class CToolBar : public CControlBar
{
    DECLARE_DYNAMIC(CToolBar)
public:
    CToolBar() = default;
    virtual BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT nID = AFX_IDW_TOOLBAR);
    // dwCtrlStyle: the toolbar control's TBSTYLE_ bits; rcBorders is accepted and not used.
    virtual BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                          DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect rcBorders = CRect(0, 0, 0, 0),
                          UINT nID = AFX_IDW_TOOLBAR);
    // One button per id, the images in order; ID_SEPARATOR (0) makes a separator. A null array
    // makes nIDCount empty buttons.
    BOOL SetButtons(const UINT* lpIDArray, int nIDCount);
    void SetSizes(SIZE sizeButton, SIZE sizeImage);
    int CommandToIndex(UINT nIDFind) const { return GetToolBarCtrl().CommandToIndex(nIDFind); }
    UINT GetItemID(int nIndex) const;
    void GetItemRect(int nIndex, LPRECT lpRect) const { GetToolBarCtrl().GetItemRect(nIndex, lpRect); }
    // The control's messages, on the same window.
    CToolBarCtrl& GetToolBarCtrl() const;

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

protected:
    // Names the window only: it is not attached, so it neither owns nor destroys it.
    mutable CToolBarCtrl m_Ctrl;
};
