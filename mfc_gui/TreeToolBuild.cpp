// Building the scene tree: every group and value item of the scene tree window, in the order the
// user sees them, each value item bound to the field or option it shows. Labels are the
// system's own texts, trailing blanks included.
#include "mfc_gui/TreeToolDlg.h"

#include "app/ApplicationBase.h"
#include "app/FrameGlobals.h"
#include "scene/RenderOptions.h"
#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"

#include <cstdio>

namespace
{
// A text item: the label formatted from the arguments, cut to the 255 characters a label holds.
template <typename... Args>
HTREEITEM InsertText(CBaseTreeCtrl& tree, HTREEITEM hParent, const char* szFormat, Args... args)
{
    char szLabel[2 * SCENE_NAME_SIZE];
    std::snprintf(szLabel, sizeof(szLabel), szFormat, args...);
    szLabel[SCENE_NAME_SIZE - 1] = '\0';
    return tree.InsertItem(szLabel, 0, 0, hParent, TVI_LAST);
}

// The item stands for the object: its data is the object's SceneObject base, the pointer that
// readers of the item's data cast back from.
void SetItemObject(CBaseTreeCtrl& tree, HTREEITEM hItem, SceneObject* pObject)
{
    tree.SetItemData(hItem, reinterpret_cast<DWORD_PTR>(pObject));
}

// One float slider per entry, over the same positions.
struct FloatField
{
    const char* m_szLabel;
    float* m_pValue;
};

void InsertFloats(CBaseTreeCtrl& tree, HTREEITEM hParent, std::initializer_list<FloatField> fields, int nMin,
                  int nMax)
{
    for (const FloatField& field : fields)
        tree.InsertFloatItem(field.m_pValue, field.m_szLabel, nMin, nMax, hParent);
}

void InsertColor(CBaseTreeCtrl& tree, HTREEITEM hParent, float* pRgb, int nMax)
{
    InsertFloats(tree, hParent, {{"Red ", &pRgb[0]}, {"Green ", &pRgb[1]}, {"Blue ", &pRgb[2]}}, 0, nMax);
}

const char* LightTypeText(const SceneLight& light)
{
    switch (light.m_Light.Type)
    {
    case D3DLIGHT_POINT: return "Point Light";
    case D3DLIGHT_SPOT: return "Spot Light";
    case D3DLIGHT_DIRECTIONAL: return "Directionnal Light";
    default: return nullptr;
    }
}
}

HTREEITEM CTreeToolDlg::InsertGroup(const char* szLabel, HTREEITEM hParent)
{
    return m_TreeCtrl.InsertItem(szLabel, 0, 0, hParent, TVI_LAST);
}

int CTreeToolDlg::BuildTree(ApplicationBase* pApp)
{
    if (!m_pRenderApp)
        m_pRenderApp = pApp;
    if (!m_pRenderApp || !m_TreeCtrl.m_hWnd)
        return 1;
    m_TreeCtrl.DeleteAllNodes();
    SceneStore& scene = m_pRenderApp->m_Scene;
    scene.m_ImageSettings.SetType(TREE_ITEM_IMAGE_SETTINGS);
    scene.m_EnvironmentSettings.SetType(TREE_ITEM_ENVIRONMENT_SETTINGS);
    scene.m_Camera.SetType(TREE_ITEM_CAMERA);

    HTREEITEM hRoot = InsertGroup("Scene Nodes", TVI_ROOT);
    HTREEITEM hStatistics = InsertGroup("Scene Statistics", hRoot);
    int nFaces = 0, nVertices = 0;
    for (uint32_t i = 0; i < scene.m_Meshes.GetCount(); ++i)
    {
        auto* pMesh = static_cast<SceneMesh*>(scene.m_Meshes.GetAt(i));
        nFaces += pMesh->m_nTriangleCount;
        nVertices += pMesh->m_nVertexCount;
    }
    InsertText(m_TreeCtrl, hStatistics, "Mesh Count : %d", static_cast<int>(scene.m_Meshes.GetCount()));
    InsertText(m_TreeCtrl, hStatistics, "Face Count : %d", nFaces);
    InsertText(m_TreeCtrl, hStatistics, "Vertice Count : %d", nVertices);
    InsertText(m_TreeCtrl, hStatistics, "Available Memory : %d MBytes", g_nAvailableTextureMem / 1048576);

    InsertRenderingOptions(InsertGroup("Rendering Options", hRoot));
    InsertCamera(hRoot);
    InsertLights(InsertGroup("Light List", hRoot));
    InsertMeshes(InsertGroup("Object List", hRoot));
    HTREEITEM hMaterials = InsertGroup("Material List", hRoot);
    for (uint32_t i = 0; i < scene.m_Materials.GetCount(); ++i)
    {
        auto* pMaterial = static_cast<SceneMaterial*>(scene.m_Materials.GetAt(i));
        InsertMaterial(pMaterial, InsertText(m_TreeCtrl, hMaterials, "Material : %s", pMaterial->m_szName));
    }
    return 1;
}

void CTreeToolDlg::InsertRenderingOptions(HTREEITEM hOptions)
{
    CBaseTreeCtrl& tree = m_TreeCtrl;
    tree.InsertBoolItem(&g_bTracePhoton, "Trace Photon ", hOptions);
    tree.InsertBoolItem(&g_bReflection, "Reflection ", hOptions);
    tree.InsertBoolItem(&g_bRefraction, "Refraction ", hOptions);
    tree.InsertBoolItem(&g_bBackground, "Background ", hOptions);
    tree.InsertImageFileItem(g_szBackgroundPath, sizeof(g_szBackgroundPath), hOptions);
    tree.InsertBoolItem(&g_bBackgroundForGlobal, "Using Background for Global ", hOptions);
    tree.InsertBoolItem(&g_bForceWireframe, "Force Wireframe ", hOptions);

    HTREEITEM hTracer = InsertGroup("Photon Tracer Param.", hOptions);
    tree.InsertBoolItem(&g_bDirectIllumination, "Direct Illumination ", hTracer);
    tree.InsertIntItem(&g_nDirectPhoton, "Direct Photon ", 5, 1000, hTracer);
    tree.InsertFloatItem(&g_fDirectSearchRadius, "Search Radius ", 1, 500, hTracer);
    tree.InsertFloatItem(&g_fDirectGaussianCoef, "Gaussian Filter Coef. ", 0, 500, hTracer);
    tree.InsertIntItem(&g_nDirectEmanateTile, "Direct Emanate Tile ", 1, 16, hTracer);
    tree.InsertBoolItem(&g_bGlobalIllumination, "Global Illumination ", hTracer);
    tree.InsertIntItem(&g_nGlobalPhoton, "Global Photon ", 5, 10000, hTracer);
    tree.InsertFloatItem(&g_fGlobalSearchRadius, "Search Radius ", 1, 500, hTracer);
    tree.InsertFloatItem(&g_fGlobalGaussianCoef, "Gaussian Filter Coef. ", 0, 500, hTracer);
    tree.InsertIntItem(&g_nGlobalEmanateTile, "Global Emanate Tile ", 1, 16, hTracer);

    // The image items carry the image-settings record as their owner.
    SceneObject* pImageSettings = &m_pRenderApp->m_Scene.m_ImageSettings;
    HTREEITEM hImage = InsertGroup("Image Param.", hOptions);
    const HTREEITEM hImageItems[] = {
        tree.InsertFormatItem(&m_pRenderApp->m_Scene.m_ImageSettings.m_nImageFormat, hImage),
        tree.InsertBoolItem(&g_bAntialiasing, "Antialiasing ", hImage),
        tree.InsertIntItem(&g_nSamplingLevel, "Sampling Level ", 1, 4, hImage),
        tree.InsertImageFileItem(g_szImagePath, sizeof(g_szImagePath), hImage),
    };
    for (HTREEITEM hItem : hImageItems)
        if (auto* pRecord = hItem ? reinterpret_cast<SceneObject*>(tree.GetItemData(hItem)) : nullptr)
            pRecord->m_pOwner = pImageSettings;

    SceneCamera& camera = m_pRenderApp->m_Scene.m_Camera;
    HTREEITEM hFog = InsertGroup("Fog", hOptions);
    tree.InsertBoolItem(&camera.m_bFog, "Is Fog ", hFog);
    InsertFloats(tree, hFog, {{"Fog Density ", &camera.m_fFogDensity}, {"Fog Scale ", &camera.m_fFogScale}}, 0, 100);
    tree.InsertFloatItem(&camera.m_fFogZ, "Fog Z Value ", 0, 100000, hFog);
    InsertColor(tree, hFog, camera.m_vFogColor, 100);
}

void CTreeToolDlg::InsertCamera(HTREEITEM hRoot)
{
    CBaseTreeCtrl& tree = m_TreeCtrl;
    SceneCamera& camera = m_pRenderApp->m_Scene.m_Camera;
    HTREEITEM hCamera = InsertGroup("Camera", hRoot);
    SetItemObject(tree, hCamera, &camera);
    Vector3& vEye = camera.m_RigidBody.m_vPosition;
    InsertFloats(tree, hCamera, {{"X ", &vEye.x}, {"Y ", &vEye.y}, {"Z ", &vEye.z}}, 0, 1000000);
    tree.InsertFloatItem(&camera.m_fFov, "Fov ", 0, 500, hCamera);
    tree.InsertFloatItem(&camera.m_fBackClip, "Back Clipping ", 0, 1000000, hCamera);
    InsertFloats(tree, hCamera, {{"Front Clipping ", &camera.m_fFrontClip}, {"Aspect Ratio ", &camera.m_fAspect}}, 0,
                 500);

    HTREEITEM hDof = InsertGroup("Depth of Field", hCamera);
    tree.InsertBoolItem(&camera.m_bDofActive, "Active ", hDof);
    tree.InsertIntItem(&camera.m_nDofQuality, "Quality ", 1, 24, hDof);
    tree.InsertIntItem(&camera.m_nDofBlur, "Blur Intensity", 0, 100, hDof);
    InsertFloats(tree, hDof, {{"Far Depth ", &camera.m_fDofFar}, {"Near Depth ", &camera.m_fDofNear}}, 0, 100000);

    HTREEITEM hControl = InsertGroup("Control Params", hCamera);
    tree.InsertBoolItem(&camera.m_bPathPlaying, "Run Path ", hControl);
    tree.InsertFloatItem(&camera.m_fControlSpeed, "Ctrl Speed ", 0, 10000, hControl);
    RigidBody& body = camera.m_RigidBody;
    InsertFloats(tree, hControl,
                 {{"Mass ", &body.m_fMass},
                  {"Air Resistance ", &body.m_fAirResistance},
                  {"Angular Air Resistance ", &body.m_fAngularAirResistance}},
                 0, 1000);
}

void CTreeToolDlg::InsertLights(HTREEITEM hLights)
{
    CBaseTreeCtrl& tree = m_TreeCtrl;
    PointerArray& lights = m_pRenderApp->m_Scene.m_Lights;
    for (uint32_t i = 0; i < lights.GetCount(); ++i)
    {
        auto* pLight = static_cast<SceneLight*>(lights.GetAt(i));
        pLight->SetType(TREE_ITEM_LIGHT);
        D3DLIGHT9& d3dLight = pLight->m_Light;
        HTREEITEM hLight = InsertText(tree, hLights, "light #%d :", static_cast<int>(i));
        SetItemObject(tree, hLight, pLight);
        tree.InsertBoolItem(&pLight->m_bEnabled, "Light Enable ", hLight);
        const char* szType = LightTypeText(*pLight);
        tree.InsertItem(szType ? szType : static_cast<const char*>(tree.GetItemText(hLight)), 0, 0, hLight, TVI_LAST);
        Vector3& vPosition = pLight->m_vLightPosition;
        InsertFloats(tree, hLight,
                     {{"Position X ", &vPosition.x}, {"Position Y ", &vPosition.y}, {"Position Z ", &vPosition.z}},
                     -100000, 100000);
        InsertFloats(tree, hLight,
                     {{"Direction X ", &d3dLight.Direction.x},
                      {"Direction Y ", &d3dLight.Direction.y},
                      {"Direction Z ", &d3dLight.Direction.z}},
                     -100, 100);
        InsertFloats(tree, hLight, {{"HotSpot ", &d3dLight.Theta}, {"Falloff ", &d3dLight.Phi}}, 0, 18000);
        tree.InsertFloatItem(&d3dLight.Range, "Range", 0, 10000, hLight);
        InsertFloats(tree, hLight,
                     {{"Linear Atten. ", &d3dLight.Attenuation1}, {"Quadratic Atten. ", &d3dLight.Attenuation2}}, 0,
                     1000);
        tree.InsertItem("Use Texture ", 0, 0, hLight, TVI_LAST);
        tree.InsertImageFileItem(pLight->m_szCubeMapPath, sizeof(pLight->m_szCubeMapPath), hLight);
        InsertColor(tree, InsertGroup("Diffuse Color", hLight), &d3dLight.Diffuse.r, 100);

        HTREEITEM hHalo = InsertGroup("Light Halo", hLight);
        tree.InsertBoolItem(&pLight->m_bHalo, "Halo Enable ", hHalo);
        tree.InsertFloatItem(&pLight->m_fHaloSize, "Halo Size ", 0, 1000, hHalo);
        tree.InsertFloatItem(&pLight->m_fHaloPower, "Halo Power ", 0, 100, hHalo);

        HTREEITEM hFlare = InsertGroup("Light Lens Flare", hLight);
        tree.InsertBoolItem(&pLight->m_bLensFlare, "Lens Flare Enable ", hFlare);
        tree.InsertBoolItem(&pLight->m_bLensFlareRing, "Lens Flare Ring ", hFlare);
        tree.InsertIntItem(&pLight->m_nLensCount, "Nb Lens", 0, 100, hFlare);
        tree.InsertFloatItem(&pLight->m_fLensFlareSize, "Lens Flare Size ", 0, 20000, hFlare);
        tree.InsertFloatItem(&pLight->m_fLensFlareDensity, "Lens Flare density ", 0, 100, hFlare);

        if (d3dLight.Type != D3DLIGHT_SPOT)
            continue;
        HTREEITEM hCone = InsertGroup("Spot Light Cone", hLight);
        tree.InsertBoolItem(&pLight->m_bCone, "Light Cone Enable ", hCone);
        tree.InsertIntItem(&pLight->m_nConeQuality, "Quality ", 0, 100, hCone);
        InsertFloats(tree, hCone, {{"Dust Density ", &pLight->m_fDustDensity}, {"Noise Scale ", &pLight->m_fNoiseScale}},
                     0, 100);
    }
}

void CTreeToolDlg::InsertMeshes(HTREEITEM hObjects)
{
    CBaseTreeCtrl& tree = m_TreeCtrl;
    PointerArray& meshes = m_pRenderApp->m_Scene.m_Meshes;
    for (uint32_t i = 0; i < meshes.GetCount(); ++i)
    {
        auto* pMesh = static_cast<SceneMesh*>(meshes.GetAt(i));
        HTREEITEM hMesh = InsertText(tree, hObjects, "Mesh #%d :%s ", static_cast<int>(i), pMesh->m_szName);
        SetItemObject(tree, hMesh, pMesh);
        HTREEITEM hStatistics = InsertGroup("Statistics", hMesh);
        InsertText(tree, hStatistics, "Triangles : %d ", pMesh->m_nTriangleCount);
        InsertText(tree, hStatistics, "Vertices : %d ", pMesh->m_nVertexCount);
        tree.InsertBoolItem(&pMesh->m_bVisible, "Visible", hMesh);
        tree.InsertBoolItem(&pMesh->m_bWireframe, "Force Wireframe", hMesh);
        // The base matrix's translation is the mesh's position.
        float* pTranslation = &pMesh->m_matBase.e[12];
        InsertFloats(tree, hMesh,
                     {{"X Position ", &pTranslation[0]}, {"Y Position ", &pTranslation[1]},
                      {"Z Position ", &pTranslation[2]}},
                     -10000, 10000);
        Vector3& vAngles = pMesh->m_vAngles;
        InsertFloats(tree, hMesh, {{"X Angle ", &vAngles.x}, {"Y Angle ", &vAngles.y}, {"Z Angle ", &vAngles.z}}, -314,
                     314);
        Vector3& vScaling = pMesh->m_vScaling;
        InsertFloats(tree, hMesh,
                     {{"X Scaling ", &vScaling.x}, {"Y Scaling ", &vScaling.y}, {"Z Scaling ", &vScaling.z}}, 1, 1000);
        if (SceneMaterial* pMaterial = pMesh->m_pMaterial)
            InsertMaterial(pMaterial, InsertText(tree, hMesh, "Material: %s", pMaterial->m_szName));
        tree.InsertBoolItem(&pMesh->m_bPathPlaying, "Run Path", hMesh);
        tree.InsertBoolItem(&pMesh->m_bAutoSpin, "AutoSpin", hMesh);
        InsertFloats(tree, hMesh,
                     {{"Speed X-Axis ", &pMesh->m_fSpinSpeed[0]},
                      {"Speed Y-Axis ", &pMesh->m_fSpinSpeed[1]},
                      {"Speed Z-Axis ", &pMesh->m_fSpinSpeed[2]}},
                     0, 10);
    }
}

void CTreeToolDlg::InsertMaterial(SceneMaterial* pMaterial, HTREEITEM hMaterial)
{
    CBaseTreeCtrl& tree = m_TreeCtrl;
    D3DMATERIAL9& d3dMaterial = pMaterial->m_Material;
    auto insertPath = [&](int nSlot, HTREEITEM hParent) {
        tree.InsertImageFileItem(pMaterial->m_szTexturePaths[nSlot], SCENE_NAME_SIZE, hParent);
    };
    auto insertRepeats = [&](const char* szU, const char* szV, int nSlot, HTREEITEM hParent) {
        InsertFloats(tree, hParent, {{szU, &pMaterial->m_fRepeatU[nSlot]}, {szV, &pMaterial->m_fRepeatV[nSlot]}}, 100,
                     10000);
    };

    HTREEITEM hDiffuse = InsertGroup("Diffuse", hMaterial);
    InsertColor(tree, hDiffuse, &d3dMaterial.Diffuse.r, 100);
    tree.InsertFloatItem(&d3dMaterial.Ambient.r, "Ambient Power ", 0, 100, hDiffuse);
    insertPath(SceneMaterial::PATH_DIFFUSE, hDiffuse);
    insertRepeats("Diffuse RepeatU ", "Diffuse RepeatV ", SceneMaterial::REPEAT_DIFFUSE, hDiffuse);

    HTREEITEM hSpecular = InsertGroup("Specular", hMaterial);
    tree.InsertFloatItem(&d3dMaterial.Power, "Specular Power ", 1000, 250000, hSpecular);
    InsertColor(tree, hSpecular, &d3dMaterial.Specular.r, 100);
    tree.InsertFloatItem(&pMaterial->m_fGlossPower, "Gloss Power ", 1000, 250000, hSpecular);
    insertPath(SceneMaterial::PATH_GLOSS, hSpecular);
    insertRepeats("Gloss RepeatU ", "Gloss RepeatV ", SceneMaterial::REPEAT_GLOSS, hSpecular);

    HTREEITEM hBump = InsertGroup("Bump Mapping", hMaterial);
    tree.InsertFloatItem(&pMaterial->m_fBumpPower, "Bump Power ", 100, 25000, hBump);
    insertPath(SceneMaterial::PATH_BUMP, hBump);
    insertRepeats("Bump RepeatU ", "Bump RepeatV ", SceneMaterial::REPEAT_BUMP, hBump);

    HTREEITEM hOpacity = InsertGroup("Opacity", hMaterial);
    tree.InsertBoolItem(&pMaterial->m_bAlphaTransparency, "Alpha transparency ", hOpacity);
    tree.InsertFloatItem(&pMaterial->m_vOpacity[0], "Opacity ", 0, 100, hOpacity);
    tree.InsertFloatItem(&pMaterial->m_vRefraction[0], "Refract. Ind.", 0, 500, hOpacity);

    InsertColor(tree, InsertGroup("Reflection Color", hMaterial), pMaterial->m_vReflectionColor, 100);
}
