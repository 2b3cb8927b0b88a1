#pragma once
// The main window's view, the owner of the editing interface: it creates the render surface
// window the device presents into, the scene tree, transform and animation tool windows and the
// two thin decoration bars, holds the other tool windows, forwards the tree's selection to the
// transform tool window, toggles its windows with menu check marks, opens the Options sheet and
// the skin editor, rebuilds the tree for the main window and keeps the view settings, written to
// "settings.dat" when the main window closes.
#include "app/RenderWnd.h"
#include "mfc_gui/AnimationToolDlg.h"
#include "mfc_gui/ConsoleDlg.h"
#include "mfc_gui/DockWnd.h"
#include "mfc_gui/GeneralToolDlg.h"
#include "mfc_gui/SkinUtil.h"
#include "mfc_gui/TransformToolDlg.h"
#include "mfc_gui/TreeToolDlg.h"
#include "mfc_gui/UtilsToolDlg.h"
#include "mfc_gui/ViewSettings.h"

#include <mfc/afxwin.h>

class ApplicationBase;
class CMenuBar;
class CTransformTarget;
class RenderDoc;
class RenderView;

// The view of the main window; null while none exists.
extern RenderView* g_pRenderView;

class RenderView : public CView
{
    DECLARE_DYNCREATE(RenderView)
public:
    RenderView();
    ~RenderView() override;

    // Start-up values of the settings record (the view's placement, the default skin directory).
    void ResetSettings();
    // The record's version, zoomed state, skin switch and the placements of the view and its
    // tool windows, as they are now.
    void UpdateSettings();
    // Brings the record up to date and writes "settings.dat"; 0, with a logged warning, when it
    // cannot be written.
    int SaveSettings();
    // Reads "settings.dat" into the record; 0 when it is missing. Nothing calls it: every start
    // begins from the defaults.
    int LoadSettings();
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

    enum Command
    {
        // Show or hide one of the view's windows.
        ID_SHOW_TREE_TOOL = 32771,
        ID_SHOW_CONSOLE = 32772,
        ID_TOOLS_OPTIONS = 32773,
        ID_SHOW_HEADER = 32774,
        ID_SHOW_LEFT_BAR = 32775,
        ID_SHOW_ANIMATION_TOOL = 32776,
        ID_SHOW_TRANSFORM_TOOL = 32777,
        ID_SHOW_GENERAL_TOOL = 32778,
        ID_SHOW_UTILS_TOOL = 32779,
        ID_SKIN_EDITOR = 32782,
    };

    CTreeToolDlg m_TreeToolDlg;
    CTransformToolDlg m_TransformToolDlg;
    CAnimationToolDlg m_AnimationToolDlg;
    CUtilsToolDlg m_UtilsToolDlg;
    CGeneralToolDlg m_GeneralToolDlg;
    CConsoleDlg m_dlgConsole;
    CDockWnd m_LeftBar;
    CDockWnd m_HeaderBar;
    CMenuBar* m_pMenuBar = nullptr;
    CSkinUtil m_SkinUtil;
    ViewSettings m_Settings;
    int m_bSettingsLoaded = 0;
    // Every file of the view (settings, skins) is named below it.
    char m_szProgramDir[MAX_PATH] = "C:\\Quenlaris\\";
    CRenderWnd m_RenderWnd;
    // What the tree's selection is forwarded to: the transform tool window, or a stand-in.
    CTransformTarget* m_pTransformTarget = &m_TransformToolDlg;

protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnToggleWindow(UINT nCommand);
    // The modal Options sheet on a copy of the settings; OK copies it back and reloads the skin.
    afx_msg void OnToolsOptions();
    // The modal skin editor, opening skins from the program's "Skins" folder.
    afx_msg void OnSkinEditor();
    DECLARE_MESSAGE_MAP()

private:
    // The window classes "CDockWnd" and "CRenderWnd"; false when one could not be registered.
    static bool RegisterWindowClasses();
    void CreateToolDialogs();
    void CreateChildWindows();
    // The skin description of the settings' skin directory, and the general tool window's skin.
    void ApplySkin();
    // The window a show command toggles; null when it does not exist.
    CWnd* GetToggledWindow(UINT nCommand);
};
