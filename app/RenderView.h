#pragma once
// The main window's view, the owner of the editing interface: it creates the render surface
// window the device presents into, the scene tree window and the two thin decoration bars,
// holds the other tool windows, forwards the tree's selection to the transform tool window,
// toggles its windows with menu check marks, rebuilds the tree for the main window and writes
// the view settings ("settings.dat") when the main window closes.
#include "app/RenderWnd.h"
#include "mfc_gui/ConsoleDlg.h"
#include "mfc_gui/DockWnd.h"
#include "mfc_gui/TreeToolDlg.h"

#include <mfc/afxwin.h>

#include <cstdint>

class ApplicationBase;
class CMenuBar;
class RenderDoc;
class CTransformTarget;
class RenderView;

// The view of the main window; null while none exists.
extern RenderView* g_pRenderView;

// The view's record of its window layout and skin, as "settings.dat" stores it after a version
// word: 648 bytes, little-endian.
constexpr size_t VIEW_SETTINGS_SIZE = 648;
constexpr size_t VIEW_SETTINGS_FILE_SIZE = 4 + VIEW_SETTINGS_SIZE;

class RenderView : public CView
{
    DECLARE_DYNCREATE(RenderView)
public:
    RenderView();
    ~RenderView() override;

    // Writes "settings.dat"; false, with a logged warning, when it cannot be written.
    bool SaveSettings();
    // The bytes SaveSettings writes: version 1, then the record with the view's placement in
    // slot 0, the skin switch on and the skin directory.
    void BuildSettingsFile(uint8_t (&file)[VIEW_SETTINGS_FILE_SIZE]) const;
    // Rebuilds the scene tree; the transform tool window forgets its target first, since the
    // tree is rebuilt whenever the scene's objects may have gone. A null application is logged.
    bool BuildTree(ApplicationBase* pApp);
    // Selects the mesh or light of the tree's selected item for the transform tool window.
    void OnTreeSelChanged();

    // The view's document when it is a RenderDoc, else null.
    RenderDoc* GetDocument() const;
    // Draws nothing: the device presents into the render window, and the other windows are
    // children that paint themselves.
    void OnDraw(CDC* pDC) override;

    // Commands that show or hide the view's windows.
    enum Command
    {
        ID_SHOW_TREE_TOOL = 32771,
        ID_SHOW_CONSOLE = 32772,
        ID_SHOW_HEADER = 32774,
        ID_SHOW_LEFT_BAR = 32775,
        ID_SHOW_ANIMATION_TOOL = 32776,
        ID_SHOW_TRANSFORM_TOOL = 32777,
        ID_SHOW_GENERAL_TOOL = 32778,
        ID_SHOW_UTILS_TOOL = 32779,
    };

    CTreeToolDlg m_TreeToolDlg;
    CDockWnd m_LeftBar;
    CDockWnd m_HeaderBar;
    CRenderWnd m_RenderWnd;
    CMenuBar* m_pMenuBar = nullptr;
    CConsoleDlg m_dlgConsole;
    // The tool windows made elsewhere; each may be null (a toggle of a missing window does
    // nothing, a selection reaches no transform window).
    CTransformTarget* m_pTransformTarget = nullptr;
    CWnd* m_pTransformToolWnd = nullptr;
    CWnd* m_pAnimationToolWnd = nullptr;
    CWnd* m_pGeneralToolWnd = nullptr;
    CWnd* m_pUtilsToolWnd = nullptr;
    CWnd* m_pConsoleWnd = nullptr;

protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnToggleWindow(UINT nCommand);
    DECLARE_MESSAGE_MAP()

private:
    // The window classes "CDockWnd" and "CRenderWnd"; false when one could not be registered.
    static bool RegisterWindowClasses();
    void CreateToolDialogs();
    void CreateChildWindows();
    // The window a show command toggles; null when it does not exist.
    CWnd* GetToggledWindow(UINT nCommand);
};
