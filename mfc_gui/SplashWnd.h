#pragma once
// The start-up picture (bitmap 125) in a borderless popup centred over the main window; it
// removes itself after 1.5 seconds. There is at most one, and none when the command line turned
// it off or the picture is missing.
#include <mfc/afxwin.h>

class CSplashWnd : public CWnd
{
public:
    enum
    {
        IDB_SPLASH = 125,
        IDT_HIDE = 1,
        SHOW_TIME_MS = 1500,
    };

    static void Enable(BOOL bEnable);
    static void Show(CWnd* pParentWnd);
    // Hides the splash on a key or button press; FALSE when there is none or the message is
    // another one.
    static BOOL FilterAppMessage(const MSG* pMsg);
    // The one splash window, or null.
    static CSplashWnd* GetActive();

    BOOL Create(CWnd* pParentWnd);
    void Hide();

protected:
    CSplashWnd() = default;
    ~CSplashWnd() override;
    void PostNcDestroy() override;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnPaint();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()

    CBitmap m_bitmap;
};
