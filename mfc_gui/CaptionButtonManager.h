#pragma once
// Extra buttons drawn from bitmaps in the caption of any top-level window, left of the window's
// own caption buttons, each with a tooltip. The manager subclasses the window's procedure (a
// map from window handle to manager routes every message to WindowProc first), paints its
// buttons over the non-client area after the system has painted it, tracks the mouse over them
// and tells the window about clicks with the private messages below. Attach before adding
// buttons; the manager must outlive the subclassing (WM_DESTROY detaches it).
#include <mfc/afxwin.h>

#include <vector>

// Sent to the subclassed window.
#define WM_CAPTIONBUTTON_CLICKED (WM_USER + 1)     // wParam: the button id; lParam: the release's
#define WM_CAPTIONBUTTON_CLIENTMOVE (WM_USER + 2)  // every WM_MOUSEMOVE, with its parameters
#define WM_CAPTIONBUTTON_NCMOVE (WM_USER + 3)      // WM_NCMOUSEMOVE while no button is held; WM_CAPTURECHANGED

struct CaptionButton
{
    UINT id = 0;
    HBITMAP hbmNormal = nullptr;    // the caller's
    HBITMAP hbmPressed = nullptr;   // the caller's
    HRGN hRgn = nullptr;            // the button's screen rectangle; the manager's
};

// Draws the bitmap at (x, y) leaving its pixels of the transparent colour out.
void DrawTransparentBitmap(HDC hdc, HBITMAP hBitmap, int x, int y, COLORREF crTransparent);
// A new 16 x 16 screen bitmap of the icon over the colour; null for a null icon.
HBITMAP IconToBitmap(HICON hIcon, COLORREF crBackground);
// A new bitmap of the back bitmap's size: the colour, then the back and the front drawn over it
// with that colour transparent; null when either is null.
HBITMAP CombineBitmaps(HBITMAP hbmBack, HBITMAP hbmFront, COLORREF crTransparent);

class CCaptionButtonManager
{
public:
    CCaptionButtonManager() = default;
    virtual ~CCaptionButtonManager();
    CCaptionButtonManager(const CCaptionButtonManager&) = delete;
    CCaptionButtonManager& operator=(const CCaptionButtonManager&) = delete;

    void Attach(HWND hWnd);
    BOOL Detach();
    void SetTransparentColor(COLORREF color) { m_crTransparent = color; }
    void SetReservedButtonCount(int nCount) { m_nReservedButtons = nCount; }
    // Drawn over the held button; the caller's.
    void SetHeldOverlay(HBITMAP hbmOverlay) { m_hbmHeldOverlay = hbmOverlay; }

    // nPosition: -1 appends (leftmost); 0 to the count inserts there, moving the later buttons one
    // slot left. A null pressed picture takes the normal one. False for an id already present.
    bool AddButton(UINT id, HBITMAP hbmPressed, HBITMAP hbmNormal, const char* szTooltip, int nPosition = -1);
    // The icons become bitmaps over the transparent colour and are destroyed.
    bool AddIconButton(UINT id, HICON hPressed, HICON hNormal, const char* szTooltip, int nPosition = -1);
    bool SetButton(UINT id, UINT newId, HBITMAP hbmPressed, HBITMAP hbmNormal, const char* szTooltip);
    void RemoveButton(UINT id);
    const char* SetTooltipText(UINT id, const char* szText);

    int GetButtonCount() const { return static_cast<int>(m_Buttons.size()); }
    const CaptionButton& GetButton(int nIndex) const { return m_Buttons[static_cast<size_t>(nIndex)]; }
    int GetHeldButton() const { return m_nHeldButton; }
    int GetHotButton() const { return m_nHotButton; }
    HWND GetToolTip() const { return m_hWndTip; }
    // The rectangle of caption slot nSlot, counted from the right from 1, in screen coordinates
    // or in the window's client coordinates.
    CRect GetButtonRect(int nSlot, bool bClient) const;

protected:
    virtual LRESULT WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT CallOld(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    int FindButton(UINT id) const;
    int HitButton(POINT ptScreen) const;
    int SlotOf(int nIndex) const { return nIndex + m_nReservedButtons + 1; }
    void AddTool(UINT id, int nSlot, const char* szText);
    void DeleteTool(UINT id);
    void DrawButton(int nIndex, bool bPressed);
    void DrawOverlay(int nIndex);
    void RedrawAll();
    void RepaintRegion(HRGN hRgn);
    void Relayout();
    bool PressTest(POINT ptScreen);
    void HoverTest(POINT ptScreen);
    // Returns false when the message is swallowed.
    bool ReleaseTest(POINT ptScreen, LPARAM lParam);

    WNDPROC m_pfnOldWndProc = nullptr;
    DWORD m_dwStyle = 0;
    DWORD m_dwExStyle = 0;
    int m_nHotButton = -1;
    bool m_bPaintingButton = false;
    bool m_bButtonHeld = false;
    HWND m_hWndTip = nullptr;
    HWND m_hWnd = nullptr;
    std::vector<CaptionButton> m_Buttons;
    int m_nHeldButton = -1;
    HBITMAP m_hbmHeldOverlay = nullptr;
    COLORREF m_crTransparent = 0;
    int m_nReservedButtons = 0;
};
