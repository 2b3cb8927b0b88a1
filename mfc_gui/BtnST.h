#pragma once
// An owner-drawn push button that shows an icon or a transparent bitmap (one while the mouse is
// over it or it is pressed, one otherwise) with an optional caption. It can look flat (no border until
// hovered), behave as a check box that keeps its pressed look, repeat clicks while held, open a
// web address when clicked, show its own cursor, and paint its parent's background behind itself so that skinned
// windows show through. Without a bitmap it draws its caption, so a missing skin file leaves a
// usable button.
#include <mfc/afxcmn.h>
#include <mfc/afxwin.h>

class CBtnST : public CButton
{
public:
    CBtnST();
    ~CBtnST() override;

    // Result codes of the setters.
    enum
    {
        BTNST_OK = 0,
        BTNST_INVALIDRESOURCE = 1,
        BTNST_FAILEDMASK = 2,
        BTNST_INVALIDINDEX = 3,
    };
    // m_aColors entries.
    enum
    {
        BTNST_COLOR_BK_IN = 0,
        BTNST_COLOR_FG_IN = 1,
        BTNST_COLOR_BK_OUT = 2,
        BTNST_COLOR_FG_OUT = 3,
    };
    enum
    {
        ST_ALIGN_HORIZ = 0,
        ST_ALIGN_VERT = 1,
        ST_ALIGN_HORIZ_RIGHT = 2,
    };

    // Paints the parent's pixels under the button as its background (captured again at the next
    // paint); the argument only asks for a repaint.
    void SetDrawTransparent(BOOL bRepaint = TRUE);
    // The "in" image (hovered or pressed) and the "out" one, each with its transparent colour.
    DWORD SetBitmapsFromFiles(const char* szIn, COLORREF crTransIn, const char* szOut, COLORREF crTransOut);
    DWORD SetBitmaps(HBITMAP hBitmapIn, COLORREF crTransIn, HBITMAP hBitmapOut = nullptr, COLORREF crTransOut = 0);
    DWORD SetBitmaps(UINT nBitmapIn, COLORREF crTransIn, UINT nBitmapOut = 0, COLORREF crTransOut = 0);
    // Icons in place of bitmaps (the button owns them); drawn greyed while disabled.
    DWORD SetIcon(HICON hIconIn, HICON hIconOut = nullptr);
    DWORD SetIcon(UINT nIconIn, UINT nIconOut = 0);
    // The cursor shown over the button (owned by it); none (the parent's choice) for 0 or null.
    // The resource version returns whether the cursor loaded.
    BOOL SetBtnCursor(int nCursorId);
    BOOL SetBtnCursor(HCURSOR hCursor);
    void SetDrawBorder(BOOL bEnable) { m_bBorderWhenFlat = bEnable; }
    // Check-box mode only.
    void SetCheck(int nCheck, BOOL bRepaint = TRUE);
    int GetCheck() const { return m_nChecked; }
    DWORD SetURL(const char* szURL);
    void SetFlat(BOOL bState = TRUE);
    BOOL IsFlat() const { return m_bFlat; }
    void SetImageAlign(int nAlign);
    int GetImageAlign() const { return m_nImageAlign; }
    void SetDrawFlatFocus(BOOL bDrawFlatFocus, BOOL bRepaint = FALSE);
    BOOL IsDefault() const { return m_bDefault; }
    DWORD SetColor(BYTE nIndex, COLORREF crColor, BOOL bRepaint = TRUE);
    DWORD GetColor(BYTE nIndex, COLORREF* pcrColor) const;
    void SetDefaultColors(BOOL bRepaint = TRUE);
    // While held, the button sends a click to its parent every nPeriod milliseconds.
    void SetAutoRepeat(BOOL bSet, DWORD nPeriod = 100);
    // The tip shown over the whole button (tool 1); a null text changes nothing.
    void SetTooltipText(const char* szText, BOOL bActivate = TRUE);
    void SetTooltipText(UINT nStringId, BOOL bActivate = TRUE);
    void ActivateTooltip(BOOL bActivate = TRUE);
    CToolTipCtrl* GetTooltip() { return &m_wndTip; }

    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;
    // Creates the tip when needed and hands it every message.
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void PreSubclassWindow() override;
    // A double click is a second press.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual DWORD DrawBackground(CDC* pDC, LPCRECT pRect);
    virtual DWORD DrawBorder(CDC* pDC, LPCRECT pRect);

    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnCancelMode();
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    afx_msg void OnEnable(BOOL bEnable);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnSysColorChange();
    afx_msg BOOL OnClicked();
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    afx_msg LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    BOOL m_bParentBack = FALSE;
    BOOL m_bHover = FALSE;
    BOOL m_bPressed = FALSE;
    BOOL m_bFocused = FALSE;
    BOOL m_bDisabled = FALSE;
    COLORREF m_aColors[4];
    int m_nImageAlign = ST_ALIGN_HORIZ;
    BOOL m_bBorderWhenFlat = TRUE;
    BOOL m_bFlat = TRUE;
    BOOL m_bFlatFocus = FALSE;
    BOOL m_bRepeat = FALSE;
    DWORD m_nRepeatPeriod = 100;
    HCURSOR m_hHoverCursor = nullptr;
    CToolTipCtrl m_wndTip;

    struct IconImage
    {
        HICON m_hIcon = nullptr;
        int m_nWidth = 0;
        int m_nHeight = 0;
    };
    IconImage m_aIcons[2];       // 0: in, 1: out

    struct BitmapImage
    {
        HBITMAP m_hBitmap = nullptr;
        int m_nWidth = 0;
        int m_nHeight = 0;
        HBITMAP m_hMask = nullptr;
        COLORREF m_crTransparent = 0;
    };
    BitmapImage m_aBitmaps[2];   // 0: in, 1: out

    CDC m_dcParentBack;
    CBitmap m_bmpParentBack;
    CBitmap* m_pOldParentBmp = nullptr;

    BOOL m_bDefault = FALSE;
    BOOL m_bCheckMode = FALSE;
    int m_nChecked = 0;
    char m_szLink[MAX_PATH] = "";

private:
    void InitToolTip();
    void FreeImages();
    void FreeParentBack();
    void Repaint();
    void EndHover();
    // Which image to draw (0 or 1): the in image when "in", else the out image when there is one.
    int ChosenImage(BOOL bHasOut) const;
    void ComputeImageRect(const CRect& rcItem, BOOL bHasCaption, int nWidth, int nHeight, CRect& rcImage,
                          CRect& rcCaption) const;
    void DrawTheIcon(CDC* pDC, BOOL bHasCaption, const CRect& rcItem, CRect& rcCaption);
    void DrawTheBitmap(CDC* pDC, BOOL bHasCaption, const CRect& rcItem, CRect& rcCaption);
    void DrawTheCaption(CDC* pDC, const CString& strCaption, CRect rcCaption);
    void PaintParentBackground(CDC* pDC);
    static HBITMAP MakeTransparentMask(HBITMAP hBitmap, int nWidth, int nHeight, COLORREF crTransparent);
};
