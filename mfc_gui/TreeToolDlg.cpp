#include "mfc_gui/TreeToolDlg.h"

#include "app/ApplicationBase.h"
#include "app/FrameGlobals.h"
#include "app/SceneAccess.h"
#include "core/Log.h"
#include "mfc_gui/EditFloatDlg.h"
#include "mfc_gui/EditLight.h"
#include "mfc_gui/ToolSkin.h"
#include "mfc_gui/TreeMessages.h"
#include "mfc_gui/ViewSettings.h"
#include "scene/RenderOptions.h"
#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"

#include <d3dx9tex.h>
#include <mfc/afxdlgs.h>

#include <cstdio>
#include <cstring>

BEGIN_MESSAGE_MAP(CTreeToolDlg, CDockDialog)
    ON_WM_CLOSE()
    ON_COMMAND(CTreeToolDlg::ID_EDIT_VALUE, &CTreeToolDlg::OnEditValue)
    ON_COMMAND(CTreeToolDlg::ID_DELETE_MESH, &CTreeToolDlg::OnDeleteMesh)
    ON_COMMAND(CTreeToolDlg::ID_FLIP_NORMALS, &CTreeToolDlg::OnFlipNormals)
    ON_COMMAND(CTreeToolDlg::ID_GENERATE_TEXCOORDS, &CTreeToolDlg::OnGenerateTexCoords)
    ON_COMMAND(CTreeToolDlg::ID_DETACH_MATERIAL, &CTreeToolDlg::OnDetachMaterial)
    ON_COMMAND(CTreeToolDlg::ID_LOAD_LIGHT_CUBEMAP, &CTreeToolDlg::OnLoadLightCubeMap)
    ON_COMMAND_RANGE(CTreeToolDlg::ID_LOAD_DIFFUSE_MAP, CTreeToolDlg::ID_LOAD_GLOSS_MAP,
                     &CTreeToolDlg::OnLoadMaterialMap)
    ON_COMMAND(CTreeToolDlg::ID_ADD_LIGHT, &CTreeToolDlg::OnAddLight)
    ON_COMMAND(CTreeToolDlg::ID_EDIT_IMAGE_PATH, &CTreeToolDlg::OnEditImagePath)
    ON_COMMAND(CTreeToolDlg::ID_EDIT_BACKGROUND_PATH, &CTreeToolDlg::OnEditBackgroundPath)
    ON_COMMAND(CTreeToolDlg::ID_LOAD_PATH, &CTreeToolDlg::OnLoadPath)
    ON_COMMAND_RANGE(CTreeToolDlg::ID_RECENT_VALUE_FIRST, CTreeToolDlg::ID_RECENT_VALUE_LAST,
                     &CTreeToolDlg::OnRecentValue)
END_MESSAGE_MAP()

namespace
{
// The file dialogs of the commands: default extension, initial file name, filter.
struct FileDialogSpec
{
    BOOL m_bOpen;
    const char* m_szDefExt;
    const char* m_szFileName;
    const char* m_szFilter;
};
const char IMAGE_FILTER[] = "Texture JPG (*.jpg)|*.jpg|Texture BMP (*.bmp)|*.bmp|All Files (*.*)|*.*||";
const FileDialogSpec CUBE_MAP_DIALOG = {TRUE, "Cube Ligth Mapping", "*.*",
                                        "Texture Cube (*.dds)|*.dds|All Files (*.*)|*.*||"};
const FileDialogSpec DIFFUSE_MAP_DIALOG = {TRUE, "Diffuse Mapping Texture", "*.*", IMAGE_FILTER};
const FileDialogSpec BUMP_MAP_DIALOG = {TRUE, "Bump Mapping Texture", "*.*", IMAGE_FILTER};
const FileDialogSpec GLOSS_MAP_DIALOG = {TRUE, "Gloss Mapping Texture", "*.*", IMAGE_FILTER};
const FileDialogSpec IMAGE_PATH_DIALOG = {FALSE, "Image Path", "*.bmp",
                                          "Image BMP (*.bmp)|*.bmp|All Files (*.*)|*.*||"};
const FileDialogSpec BACKGROUND_DIALOG = {TRUE, "BackGround Image Path", "*.dds",
                                          "DDS Surfaces (*.dds)|*.dds|All Files (*.*)|*.*||"};
const FileDialogSpec PATH_DIALOG = {TRUE, "path", "*.pth",
                                    "Path file (*.path)|*.pth|Text Files (*.txt)|*.txt|All Files (*.*)|*.*||"};

// The path the user chose; false when the dialog was cancelled.
bool AskPath(const FileDialogSpec& spec, CString& strPath)
{
    CFileDialog dlg(spec.m_bOpen, spec.m_szDefExt, spec.m_szFileName,
                    OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER, spec.m_szFilter, nullptr);
    if (dlg.DoModal() != IDOK)
        return false;
    strPath = dlg.GetPathName();
    return true;
}

// Whether a text fits a fixed field of nFieldSize bytes; one that does not is refused with a
// logged error, so the field keeps what it held.
bool FitsField(const char* szText, size_t nFieldSize, const char* szOperation)
{
    if (std::strlen(szText) < nFieldSize)
        return true;
    LogError("CTreeToolDlg::%s() - \"%s\" is longer than %zu characters.", szOperation, szText, nFieldSize - 1);
    return false;
}

// Copies a text that fitted its field.
void CopyField(char* szField, const char* szText)
{
    std::memcpy(szField, szText, std::strlen(szText) + 1);
}

// The cube texture in the file; null without a device or when it does not load.
IDirect3DCubeTexture9* LoadCubeTexture(ApplicationBase* pApp, const char* szPath)
{
    IDirect3DDevice9* pDevice = pApp ? pApp->GetDevice() : nullptr;
    IDirect3DCubeTexture9* pCube = nullptr;
    if (!pDevice || FAILED(D3DXCreateCubeTextureFromFileA(pDevice, szPath, &pCube)))
        return nullptr;
    return pCube;
}

// The menu's slots for each "Load ... Map" command.
struct MapCommand
{
    UINT m_nCommand;
    const FileDialogSpec* m_pDialog;
    int m_nTextureSlot;
    int m_nPathSlot;
};
const MapCommand MAP_COMMANDS[] = {
    {CTreeToolDlg::ID_LOAD_DIFFUSE_MAP, &DIFFUSE_MAP_DIALOG, SceneMaterial::TEXTURE_DIFFUSE,
     SceneMaterial::PATH_DIFFUSE},
    {CTreeToolDlg::ID_LOAD_BUMP_MAP, &BUMP_MAP_DIALOG, SceneMaterial::TEXTURE_BUMP, SceneMaterial::PATH_BUMP},
    {CTreeToolDlg::ID_LOAD_GLOSS_MAP, &GLOSS_MAP_DIALOG, SceneMaterial::TEXTURE_GLOSS, SceneMaterial::PATH_GLOSS},
};

const char NEW_LIGHT_CUBE_MAP[] = "Media/Cubemap_blanc.dds";
}

CTreeToolDlg::CTreeToolDlg(CWnd* pParent) : CDockDialog(IDD, pParent)
{
}

CTreeToolDlg::~CTreeToolDlg() = default;

int CTreeToolDlg::SetSettings(ViewSettings* pSettings)
{
    if (!pSettings)
        return 0;
    m_pSettings = pSettings;
    return 1;
}

int CTreeToolDlg::LoadSkinBitmaps()
{
    if (!m_pSettings || !m_hWnd)
        return 0;
    LoadToolSkinBackground(*this, m_pSettings->m_szSkinDir, "Tree");
    return 1;
}

void CTreeToolDlg::DoDataExchange(CDataExchange* pDX)
{
    CDockDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_TREE, m_TreeCtrl);
}

BOOL CTreeToolDlg::OnInitDialog()
{
    CDockDialog::OnInitDialog();
    m_Menu.LoadMenu(IDR_TREE_MENU);
    return TRUE;
}

LRESULT CTreeToolDlg::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TREE_SELCHANGED || message == WM_TREE_VALUECHANGED)
    {
        if (CWnd* pParent = GetParent())
            pParent->SendMessage(message, wParam, lParam);
    }
    else if (message == WM_TREE_RBUTTONDOWN)
        OpenContextMenu();
    return CDockDialog::DefWindowProc(message, wParam, lParam);
}

void CTreeToolDlg::OpenContextMenu()
{
    POINT ptCursor{};
    ::GetCursorPos(&ptCursor);
    CMenu menu;
    if (!menu.LoadMenu(IDR_TREE_MENU))
        return;
    CMenu* pPopup = menu.GetSubMenu(0);
    if (!pPopup)
        return;
    if (m_TreeCtrl.GetSelectedType() == TREE_ITEM_FLOAT_SLIDER)
        BuildRecentMenu(pPopup);
    pPopup->TrackPopupMenu(TPM_LEFTALIGN | TPM_LEFTBUTTON, ptCursor.x, ptCursor.y, this);
}

void CTreeToolDlg::AddRecentValue(float fValue)
{
    if (static_cast<int>(m_RecentFloats.size()) >= m_nMaxRecent)
        m_RecentFloats.pop_back();
    m_RecentFloats.push_front(fValue);
}

int CTreeToolDlg::BuildRecentMenu(CMenu* pPopup)
{
    if (!pPopup)
        return 0;
    CMenu recent;
    recent.CreatePopupMenu();
    for (size_t i = 0; i < m_RecentFloats.size(); ++i)
    {
        char szText[64];
        std::snprintf(szText, sizeof(szText), "%.4f", static_cast<double>(m_RecentFloats[i]));
        recent.AppendMenu(MF_STRING, ID_RECENT_VALUE_FIRST + i, szText);
    }
    pPopup->InsertMenu(1, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(recent.Detach()), "Recent Values");
    return 1;
}

void CTreeToolDlg::OnClose()
{
    m_RecentFloats.clear();
    m_TreeCtrl.DeleteAllNodes();
    m_Menu.DestroyMenu();
    CDockDialog::OnClose();
}

SceneMesh* CTreeToolDlg::GetSelectedMesh() const
{
    SceneObject* pNode = m_TreeCtrl.GetSelectedNode();
    return pNode && pNode->m_nType == TREE_ITEM_MESH ? static_cast<SceneMesh*>(pNode) : nullptr;
}

// ---- Commands

void CTreeToolDlg::OnEditValue()
{
    if (m_TreeCtrl.GetSelectedType() != TREE_ITEM_FLOAT_SLIDER)
        return;
    CEditFloatDlg dlg(this);
    dlg.SetValue(static_cast<float*>(m_TreeCtrl.GetSelectedValue()));
    if (dlg.DoModal() == IDOK)
        AddRecentValue(dlg.m_fNewValue);
    m_TreeCtrl.RefreshSelectedText();
}

void CTreeToolDlg::OnRecentValue(UINT nCommand)
{
    const size_t nIndex = nCommand - ID_RECENT_VALUE_FIRST;
    // Only float values are ever recorded, so an int item takes none.
    if (m_TreeCtrl.GetSelectedType() == TREE_ITEM_FLOAT_SLIDER && nIndex < m_RecentFloats.size())
        *static_cast<float*>(m_TreeCtrl.GetSelectedValue()) = m_RecentFloats[nIndex];
    m_TreeCtrl.RefreshSelectedText();
}

void CTreeToolDlg::OnDeleteMesh()
{
    SceneMesh* pMesh = GetSelectedMesh();
    if (!pMesh)
        return;
    RemoveMesh(pMesh);
    // The mesh is gone: no item may keep pointing at it until the main window rebuilds.
    BuildTree(nullptr);
}

void CTreeToolDlg::OnFlipNormals()
{
    if (SceneMesh* pMesh = GetSelectedMesh())
        pMesh->FlipNormals();
}

void CTreeToolDlg::OnGenerateTexCoords()
{
    if (SceneMesh* pMesh = GetSelectedMesh())
        pMesh->GenerateTexCoords();
}

void CTreeToolDlg::OnDetachMaterial()
{
    SceneMesh* pMesh = GetSelectedMesh();
    if (!pMesh)
    {
        m_TreeCtrl.RefreshSelectedText();
        return;
    }
    SceneMaterial* pShared = pMesh->m_pMaterial;
    if (!pShared)
    {
        LogWarning("CTreeToolDlg::OnDetachMaterial() - The mesh %s has no material.", pMesh->m_szName);
        return;
    }
    char szName[SCENE_NAME_SIZE];
    for (int n = 0;; ++n)
    {
        const int nLength = std::snprintf(szName, sizeof(szName), "Copy%d_of_%s", n, pShared->m_szName);
        if (nLength < 0 || nLength >= static_cast<int>(sizeof(szName)))
        {
            LogError("CTreeToolDlg::OnDetachMaterial() - The copy's name of the material %s would be longer than %d "
                     "characters.",
                     pShared->m_szName, SCENE_NAME_SIZE - 1);
            return;
        }
        if (!FindMaterial(szName))
            break;
    }
    auto* pCopy = new SceneMaterial;
    *pCopy = *pShared;
    pCopy->SetName(szName);
    AddMaterial(pCopy);
    pMesh->m_pMaterial = pCopy;
    g_bRebuildTree = 1;
}

void CTreeToolDlg::OnLoadLightCubeMap()
{
    SceneObject* pNode = m_TreeCtrl.GetSelectedNode();
    if (!pNode)
    {
        MessageBox("pnode null", "change cube map");
        return;
    }
    if (pNode->m_nType != TREE_ITEM_LIGHT)
        return;
    MessageBox("type light", "change cube map");
    CString strPath;
    if (!AskPath(CUBE_MAP_DIALOG, strPath))
        return;
    auto* pLight = static_cast<SceneLight*>(pNode);
    if (!FitsField(strPath, sizeof(pLight->m_szCubeMapPath), "OnLoadLightCubeMap"))
        return;
    // The new cube replaces the old one only once it has loaded.
    IDirect3DCubeTexture9* pCube = LoadCubeTexture(m_pRenderApp, strPath);
    if (!pCube)
    {
        LogError("CTreeToolDlg::OnLoadLightCubeMap() - The cube map %s could not be loaded; the light keeps its own.",
                 static_cast<const char*>(strPath));
        return;
    }
    if (pLight->m_pCubeTexture)
        pLight->m_pCubeTexture->Release();
    pLight->m_pCubeTexture = pCube;
    CopyField(pLight->m_szCubeMapPath, strPath);
    BuildTree(nullptr);
}

void CTreeToolDlg::OnLoadMaterialMap(UINT nCommand)
{
    SceneMesh* pMesh = GetSelectedMesh();
    if (!pMesh)
        return;
    SceneMaterial* pMaterial = pMesh->m_pMaterial;
    if (!pMaterial)
    {
        LogWarning("CTreeToolDlg::OnLoadMaterialMap() - The mesh %s has no material.", pMesh->m_szName);
        return;
    }
    const MapCommand* pCommand = nullptr;
    for (const MapCommand& command : MAP_COMMANDS)
        if (command.m_nCommand == nCommand)
            pCommand = &command;
    CString strPath;
    if (!pCommand || !AskPath(*pCommand->m_pDialog, strPath))
        return;
    char* szField = pMaterial->m_szTexturePaths[pCommand->m_nPathSlot];
    if (!FitsField(strPath, SCENE_NAME_SIZE, "OnLoadMaterialMap"))
        return;
    pMaterial->m_nTextureIds[pCommand->m_nTextureSlot] = LoadSceneTexture(strPath, 0);
    CopyField(szField, strPath);
    BuildTree(nullptr);
}

void CTreeToolDlg::OnAddLight()
{
    CEditLight dlg(this);
    if (dlg.DoModal() != IDOK || !m_pRenderApp)
        return;
    auto* pLight = new SceneLight;
    pLight->SetName("Ligth One");
    pLight->SetSecondName("");
    D3DLIGHT9& light = pLight->m_Light;
    light.Type = D3DLIGHT_POINT;
    light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    light.Direction = {0.1f, 0.4f, 0.1f};
    pLight->m_vLightPosition = Vector3{0.0f, 100.0f, 0.0f};
    light.Range = 10000.0f;
    light.Falloff = 0.01f;
    light.Attenuation1 = 0.0f;
    light.Attenuation2 = 0.0f;
    light.Theta = 0.31415927f;
    light.Phi = 0.31415927f;
    pLight->m_bHalo = 1;
    pLight->m_fHaloSize = 5.0f;
    pLight->m_fHaloPower = 1.0f;
    pLight->m_bLensFlare = 0;
    pLight->m_nLensCount = 3;
    pLight->m_fLensFlareSize = 120.0f;
    pLight->m_fLensFlareDensity = 0.3f;
    pLight->m_bLightFlag = 1;
    pLight->m_pCubeTexture = LoadCubeTexture(m_pRenderApp, NEW_LIGHT_CUBE_MAP);
    if (!pLight->m_pCubeTexture)
    {
        LogWarning("CTreeToolDlg::OnAddLight() - The cube map %s could not be loaded; the light has none.",
                   NEW_LIGHT_CUBE_MAP);
    }
    m_pRenderApp->m_Scene.m_Lights.Add(pLight);
    BuildTree(nullptr);
}

void CTreeToolDlg::OnEditImagePath()
{
    // Only the item that shows the output image path sets it.
    SceneObject* pRecord = m_TreeCtrl.GetSelectedNode();
    if (m_TreeCtrl.GetSelectedType() != TREE_ITEM_FILE || !pRecord->m_pEditor ||
        static_cast<CBaseTreeCtrlItem*>(pRecord->m_pEditor)->m_pValue != g_szImagePath)
        return;
    CString strPath;
    if (!AskPath(IMAGE_PATH_DIALOG, strPath))
        return;
    if (!FitsField(strPath, sizeof(g_szImagePath), "OnEditImagePath"))
        return;
    CopyField(g_szImagePath, strPath);
    BuildTree(nullptr);
}

void CTreeToolDlg::OnEditBackgroundPath()
{
    CString strPath;
    if (!AskPath(BACKGROUND_DIALOG, strPath))
        return;
    if (!FitsField(strPath, sizeof(g_szBackgroundPath), "OnEditBackgroundPath"))
        return;
    // The background keeps its cube until the new one has loaded.
    IDirect3DCubeTexture9* pCube = LoadCubeTexture(m_pRenderApp, strPath);
    if (!pCube)
    {
        LogError("CTreeToolDlg::OnEditBackgroundPath() - The background %s could not be loaded; the old one stays.",
                 static_cast<const char*>(strPath));
        MessageBox("gsadashdas", "");
        return;
    }
    if (g_pEnvironmentCubeTexture)
        g_pEnvironmentCubeTexture->Release();
    g_pEnvironmentCubeTexture = pCube;
    CopyField(g_szBackgroundPath, strPath);
    BuildTree(nullptr);
}

void CTreeToolDlg::OnLoadPath()
{
    SceneMesh* pMesh = GetSelectedMesh();
    CString strPath;
    if (!pMesh || !AskPath(PATH_DIALOG, strPath))
        return;
    if (!FitsField(strPath, sizeof(pMesh->m_szPathFile), "OnLoadPath") || !pMesh->LoadPath(strPath))
        return;
    CopyField(pMesh->m_szPathFile, strPath);
    pMesh->m_bHasPath = 1;
    pMesh->m_bPathPlaying = 1;
}
