#pragma once
// The scene tree window (dialog 131): the view's tool window that shows the application's whole
// editable state in one property tree: scene statistics, the rendering options and photon-tracer
// parameters, the output image, fog, the camera, every light, every mesh with its material and
// every material. Value items are bound to the fields they show, so an edit reaches the next
// frame. Its context menu (menu 7000) changes the scene: textures, cube maps and paths, detaching
// a material, deleting a mesh, adding a light, typing a value, the output and background paths.
#include "mfc_gui/BaseTreeCtrl.h"
#include "mfc_gui/DockDialog.h"

#include <mfc/afxmenu.h>

#include <deque>

class ApplicationBase;
class SceneMaterial;
class SceneMesh;
struct ViewSettings;

class CTreeToolDlg : public CDockDialog
{
public:
    enum
    {
        IDD = 131,
        IDC_TREE = 1000,
        IDR_TREE_MENU = 7000,
    };
    // Commands of menu 7000.
    enum Command
    {
        ID_EDIT_VALUE = 32783,
        ID_DELETE_MESH = 32824,
        ID_FLIP_NORMALS = 32821,
        ID_GENERATE_TEXCOORDS = 32822,
        ID_DETACH_MATERIAL = 32813,
        ID_LOAD_LIGHT_CUBEMAP = 32823,
        ID_LOAD_DIFFUSE_MAP = 32816,
        ID_LOAD_BUMP_MAP = 32817,
        ID_LOAD_GLOSS_MAP = 32818,
        ID_ADD_LIGHT = 32832,
        ID_EDIT_IMAGE_PATH = 32833,
        ID_EDIT_BACKGROUND_PATH = 32838,
        ID_LOAD_PATH = 32815,
        // The "Recent Values" submenu: the newest value first.
        ID_RECENT_VALUE_FIRST = 32784,
        ID_RECENT_VALUE_LAST = 32803,
    };

    explicit CTreeToolDlg(CWnd* pParent = nullptr);
    ~CTreeToolDlg() override;

    // Rebuilds the tree from the application's scene and options. The first non-null application
    // is kept; null means that one. Returns 1.
    int BuildTree(ApplicationBase* pApp);
    // Puts the value at the front of the recent values, dropping the oldest beyond the capacity.
    void AddRecentValue(float fValue);
    // Inserts the "Recent Values" submenu after the popup's first item; 0 without a menu.
    int BuildRecentMenu(CMenu* pPopup);
    CBaseTreeCtrl& GetTree() { return m_TreeCtrl; }
    // The source of the skin directory; 0 for null. Given before the window is made.
    int SetSettings(ViewSettings* pSettings);
    // The skin's background "Tree Bkgnd.bmp": the window moves to (0, 0) and takes its size when
    // it loads. 0 without settings or a window.
    int LoadSkinBitmaps();
    const std::deque<float>& GetRecentValues() const { return m_RecentFloats; }

    ApplicationBase* m_pRenderApp = nullptr;
    int m_nMaxRecent = 8;
    ViewSettings* m_pSettings = nullptr;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    afx_msg void OnClose();
    DECLARE_MESSAGE_MAP()

private:
    // The tree, group by group.
    void InsertRenderingOptions(HTREEITEM hParent);
    void InsertCamera(HTREEITEM hParent);
    void InsertLights(HTREEITEM hParent);
    void InsertMeshes(HTREEITEM hParent);
    void InsertMaterial(SceneMaterial* pMaterial, HTREEITEM hParent);
    HTREEITEM InsertGroup(const char* szLabel, HTREEITEM hParent);

    void OpenContextMenu();
    // The context commands; each does nothing when the selection does not fit.
    void OnEditValue();
    void OnDeleteMesh();
    void OnFlipNormals();
    void OnGenerateTexCoords();
    void OnDetachMaterial();
    void OnLoadLightCubeMap();
    void OnLoadMaterialMap(UINT nCommand);
    void OnAddLight();
    void OnEditImagePath();
    void OnEditBackgroundPath();
    void OnLoadPath();
    void OnRecentValue(UINT nCommand);
    // The selected item's mesh; null when the selection is not a mesh.
    SceneMesh* GetSelectedMesh() const;

    CBaseTreeCtrl m_TreeCtrl;
    CMenu m_Menu;
    std::deque<float> m_RecentFloats;
};
