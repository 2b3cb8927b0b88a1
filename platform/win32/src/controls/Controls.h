#pragma once
// What the standard controls share: their window procedures (the system class table names them),
// their per-window state, the font they draw with, the colours their parent chooses and the
// notifications they send.
#include <win32/windows.h>

#include <functional>
#include <memory>
#include <unordered_map>

LRESULT CALLBACK StatusBarWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ReBarWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK RichEditWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ButtonWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK StaticWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK EditWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ListBoxWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ComboBoxWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ComboListWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ScrollBarWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK UpDownWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ProgressWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK TreeViewWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK TrackbarWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ToolbarWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ToolTipWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK TabControlWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ListViewWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK PopupMenuWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);

// The state of each live control of one kind, made at WM_NCCREATE and dropped at WM_NCDESTROY.
// Handles are never reused, so a state left behind by a reset of the layer is never found again.
template <class T>
class ControlStore
{
public:
    T* Find(HWND hWnd)
    {
        auto it = m_States.find(hWnd);
        return it == m_States.end() ? nullptr : it->second.get();
    }
    T& Make(HWND hWnd)
    {
        auto& p = m_States[hWnd];
        p = std::make_unique<T>();
        return *p;
    }
    void Drop(HWND hWnd) { m_States.erase(hWnd); }
    // A control's window procedure: the state is made and attached at WM_NCCREATE, every message
    // until WM_NCDESTROY goes to its Handle, and WM_NCDESTROY drops it.
    LRESULT Dispatch(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
    {
        if (nMessage == WM_NCCREATE)
            Make(hWnd).Attach(hWnd);
        if (nMessage == WM_NCDESTROY)
        {
            Drop(hWnd);
            return DefWindowProcA(hWnd, nMessage, wParam, lParam);
        }
        T* pState = Find(hWnd);
        return pState ? pState->Handle(nMessage, wParam, lParam) : DefWindowProcA(hWnd, nMessage, wParam, lParam);
    }

private:
    std::unordered_map<HWND, std::unique_ptr<T>> m_States;
};

// WM_SETFONT / WM_GETFONT: a control draws with the font it was given, else the GUI font.
HFONT ControlFont(HFONT hFont);

// The brush of WM_CTLCOLOR* from the parent; without one, the text and background colours of
// the system colour nBackground and its brush. The DC's text and background colours are set.
HBRUSH ControlBrush(HWND hCtl, HDC hdc, UINT nCtlColorMessage, int nBackground);

// WM_COMMAND to the parent with the control's id and the code.
void NotifyParent(HWND hCtl, WORD nCode);

// WM_PAINT: the control draws between BeginPaint and EndPaint; 0.
LRESULT PaintControl(HWND hWnd, const std::function<void(HDC)>& fnPaint);

// Redraws a control at once (state changes show before the next message).
void RedrawNow(HWND hWnd);

// The height of a line of text in the font.
int FontLineHeight(HFONT hFont);

// WM_NOTIFY to the parent (or hTo) with the control's id and the code; the parent's answer.
LRESULT NotifyParentNm(HWND hCtl, UINT nCode, NMHDR* pHeader = nullptr, HWND hTo = nullptr);

// A combo box's dropped list reports to its combo box: the item chosen (bChosen) or the list
// closed without a choice.
void ComboListClosed(HWND hCombo, int nIndex, bool bChosen);
// The list box state a combo box's list window keeps for its combo box.
void SetListOwnerCombo(HWND hList, HWND hCombo);

// The sibling created just before hWnd (an up-down control's automatic buddy). A dialog keeps
// its controls in template order, last made at the bottom; other windows put a new child on top.
HWND PreviouslyCreatedSibling(HWND hWnd);

// The position a WM_HSCROLL / WM_VSCROLL request asks for (SB_ code in the low word of wParam, a
// thumb position in the high word), before clamping to 0..nMax.
int ScrollTarget(WPARAM wParam, int nNow, int nLine, int nPage, int nMax);
