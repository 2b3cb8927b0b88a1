#pragma once
// The running application with its view and scene tree window, a small fixture scene (a point
// light, a spot light, and two meshes sharing the material "Wood", every field a value of its
// own so a binding to the wrong field shows), and ways to find, select and read tree items by
// their labels.
#include "MainWindowFixture.h"

#include "app/FrameGlobals.h"
#include "app/RenderView.h"
#include "app/SceneAccess.h"
#include "mfc_gui/BaseTreeCtrlItem.h"
#include "mfc_gui/BaseTreeSlider.h"
#include "mfc_gui/TreeToolDlg.h"
#include "scene/RenderOptions.h"
#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"

#include <cstdio>
#include <string>
#include <vector>

class SceneTreeTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ASSERT_NE(g_pRenderView, nullptr);
        ASSERT_NE(Window().m_hWnd, nullptr);
    }

    CTreeToolDlg& Window() { return g_pRenderView->m_TreeToolDlg; }
    CBaseTreeCtrl& Tree() { return Window().GetTree(); }
    SceneMesh* Mesh(uint32_t i) { return static_cast<SceneMesh*>(m_pApp->m_Scene.m_Meshes.Get(i)); }
    SceneLight* Light(uint32_t i) { return static_cast<SceneLight*>(m_pApp->m_Scene.m_Lights.Get(i)); }
    std::string Label(HTREEITEM hItem) { return hItem ? static_cast<const char*>(Tree().GetItemText(hItem)) : ""; }

    // An item's label is its text, or its text followed by ':' and the value.
    static bool LabelMatches(const std::string& strLabel, const std::string& strText)
    {
        return strLabel == strText || strLabel.rfind(strText + ":", 0) == 0;
    }
    // The item at the end of a path of labels from the root; null when one is missing.
    HTREEITEM Find(const std::vector<std::string>& path)
    {
        HTREEITEM hItem = nullptr;
        for (const std::string& strText : path)
        {
            HTREEITEM hChild = hItem ? Tree().GetChildItem(hItem) : Tree().GetRootItem();
            while (hChild && !LabelMatches(Label(hChild), strText))
                hChild = Tree().GetNextSiblingItem(hChild);
            if (!hChild)
                return nullptr;
            hItem = hChild;
        }
        return hItem;
    }
    void Select(const std::vector<std::string>& path)
    {
        HTREEITEM hItem = Find(path);
        ASSERT_NE(hItem, nullptr) << path.back();
        Tree().SelectItem(hItem);
    }
    SceneObject* NodeOf(const std::vector<std::string>& path)
    {
        HTREEITEM hItem = Find(path);
        return hItem ? reinterpret_cast<SceneObject*>(Tree().GetItemData(hItem)) : nullptr;
    }
    std::vector<std::string> ChildLabels(HTREEITEM hParent)
    {
        std::vector<std::string> labels;
        for (HTREEITEM h = hParent ? Tree().GetChildItem(hParent) : nullptr; h; h = Tree().GetNextSiblingItem(h))
            labels.push_back(Label(h));
        return labels;
    }
    // A context command as the menu sends it to the window.
    void Command(UINT nId) { Window().SendMessage(WM_COMMAND, nId, 0); }
    // Ends the next modal dialog of that caption with the button.
    void AnswerDialog(const char* szCaption, int nButton)
    {
        m_pDriver->at(10, [this, szCaption, nButton] {
            HWND hDlg = m_pDriver->find(std::string("title:") + szCaption);
            ASSERT_NE(hDlg, nullptr) << szCaption;
            ::SendMessageA(hDlg, WM_COMMAND, static_cast<WPARAM>(nButton), 0);
        });
    }

    // One line per item, depth first: depth, kind, label and the bound value read through the
    // item's pointer (the kind of a scene object's item is its type; a value item's record also
    // names an owner when it has one).
    std::string DumpTree()
    {
        std::string strOut;
        DumpItem(Tree().GetRootItem(), 0, strOut);
        return strOut;
    }

    void BuildFixtureScene()
    {
        SceneStore& scene = m_pApp->m_Scene;
        g_nAvailableTextureMem = 64 * 1048576 + 5;
        std::snprintf(g_szImagePath, sizeof(g_szImagePath), "Images/Default.bmp");
        auto* pWood = new SceneMaterial;
        pWood->SetName("Wood");
        pWood->m_Material.Diffuse = {0.11f, 0.12f, 0.13f, 1.0f};
        pWood->m_Material.Ambient.r = 0.14f;
        pWood->m_Material.Specular = {0.21f, 0.22f, 0.23f, 1.0f};
        pWood->m_Material.Power = 15.5f;
        pWood->m_fGlossPower = 16.5f;
        pWood->m_fBumpPower = 3.25f;
        const float repeats[3][2] = {{2, 3}, {6, 7}, {4, 5}};   // diffuse, bump, gloss: U, V
        for (int i = 0; i < 3; ++i)
        {
            pWood->m_fRepeatU[i] = repeats[i][0];
            pWood->m_fRepeatV[i] = repeats[i][1];
        }
        std::snprintf(pWood->m_szTexturePaths[SceneMaterial::PATH_DIFFUSE], SCENE_NAME_SIZE, "wood.jpg");
        std::snprintf(pWood->m_szTexturePaths[SceneMaterial::PATH_GLOSS], SCENE_NAME_SIZE, "gloss.jpg");
        std::snprintf(pWood->m_szTexturePaths[SceneMaterial::PATH_BUMP], SCENE_NAME_SIZE, "bump.jpg");
        pWood->m_bAlphaTransparency = 1;
        pWood->m_vOpacity[0] = 0.75f;
        pWood->m_vRefraction[0] = 1.33f;
        pWood->m_vReflectionColor[0] = 0.31f;
        pWood->m_vReflectionColor[1] = 0.32f;
        pWood->m_vReflectionColor[2] = 0.33f;
        scene.m_Materials.Add(pWood);

        const struct
        {
            const char* m_szName;
            int m_nTriangles;
            int32_t m_bVisible;
            uint8_t m_bWireframe;
            float m_fBase;   // position, angles and scaling grow from it
        } meshes[] = {{"Box", 12, 1, 0, 1.0f}, {"Floor", 2, 0, 1, -4.0f}};
        for (const auto& m : meshes)
        {
            auto* pMesh = new SceneMesh;
            pMesh->SetName(m.m_szName);
            pMesh->AllocateTriangles(m.m_nTriangles);
            pMesh->m_bVisible = m.m_bVisible;
            pMesh->m_bWireframe = m.m_bWireframe;
            for (int i = 0; i < 3; ++i)
            {
                pMesh->m_matBase.e[12 + i] = m.m_fBase + static_cast<float>(i);
                pMesh->m_fSpinSpeed[i] = 0.5f / static_cast<float>(1 << i);
            }
            pMesh->m_vAngles = Vector3(m.m_fBase / 10, m.m_fBase / 5, m.m_fBase / 4);
            pMesh->m_vScaling = Vector3(m.m_fBase + 0.5f, m.m_fBase + 1.5f, m.m_fBase + 2.5f);
            pMesh->m_bAutoSpin = m.m_bVisible;
            pMesh->m_pMaterial = pWood;
            scene.AddMesh(pMesh);
        }

        const struct
        {
            const char* m_szName;
            D3DLIGHTTYPE m_nType;
            float m_fBase;
        } lights[] = {{"Lamp", D3DLIGHT_POINT, 10.0f}, {"Spot", D3DLIGHT_SPOT, 40.0f}};
        for (const auto& l : lights)
        {
            auto* pLight = new SceneLight;
            pLight->SetName(l.m_szName);
            D3DLIGHT9& d3d = pLight->m_Light;
            d3d.Type = l.m_nType;
            d3d.Diffuse = {0.9f, 0.8f, 0.7f, 1.0f};
            d3d.Direction = {0.25f, -1.0f, 0.5f};
            d3d.Theta = l.m_fBase / 20;
            d3d.Phi = l.m_fBase / 10;
            d3d.Range = l.m_fBase * 50;
            d3d.Attenuation1 = 0.01f;
            d3d.Attenuation2 = 0.002f;
            pLight->m_vLightPosition = Vector3(l.m_fBase, l.m_fBase + 10, l.m_fBase + 20);
            std::snprintf(pLight->m_szCubeMapPath, SCENE_NAME_SIZE, "%s.dds", l.m_szName);
            pLight->m_bHalo = 1;
            pLight->m_fHaloSize = 5.0f;
            pLight->m_fHaloPower = 1.5f;
            pLight->m_bLensFlareRing = 1;
            pLight->m_nLensCount = 3;
            pLight->m_fLensFlareSize = 120.0f;
            pLight->m_fLensFlareDensity = 0.3f;
            pLight->m_bCone = 1;
            pLight->m_nConeQuality = 8;
            pLight->m_fDustDensity = 0.4f;
            pLight->m_fNoiseScale = 0.6f;
            scene.m_Lights.Add(pLight);
        }

        SceneCamera& camera = scene.m_Camera;
        camera.m_RigidBody.m_vPosition = Vector3(0.0f, 50.0f, 200.0f);
        camera.m_RigidBody.m_fMass = 3.0f;
        camera.m_RigidBody.m_fAirResistance = 0.125f;
        camera.m_RigidBody.m_fAngularAirResistance = 0.25f;
        camera.m_bFog = 1;
        camera.m_fFogDensity = 0.02f;
        camera.m_fFogScale = 0.5f;
        camera.m_fFogZ = 900.0f;
        camera.m_vFogColor[0] = 0.41f;
        camera.m_vFogColor[1] = 0.42f;
        camera.m_vFogColor[2] = 0.43f;
        camera.m_bDofActive = 1;
    }

private:
    void DumpItem(HTREEITEM hItem, int nDepth, std::string& strOut)
    {
        for (; hItem; hItem = Tree().GetNextSiblingItem(hItem))
        {
            auto* pRecord = reinterpret_cast<SceneObject*>(Tree().GetItemData(hItem));
            strOut += std::to_string(nDepth) + "|" + Kind(pRecord) + "|" + Label(hItem) + "|" + Value(pRecord) + "\n";
            DumpItem(Tree().GetChildItem(hItem), nDepth + 1, strOut);
        }
    }
    static std::string Kind(const SceneObject* pRecord)
    {
        if (!pRecord)
            return "plain";
        switch (pRecord->m_nType)
        {
        case TREE_ITEM_MESH: return "mesh";
        case TREE_ITEM_LIGHT: return "light";
        case TREE_ITEM_CAMERA: return "camera";
        case TREE_ITEM_BOOL: return "bool";
        case TREE_ITEM_INT_SLIDER: return "int";
        case TREE_ITEM_FLOAT_SLIDER: return "float";
        case TREE_ITEM_COLOR: return "colour";
        case TREE_ITEM_FILE: return "file";
        case TREE_ITEM_IMAGE_FORMAT: return "format";
        default: return "type " + std::to_string(pRecord->m_nType);
        }
    }
    std::string Value(const SceneObject* pRecord)
    {
        if (!pRecord || !pRecord->m_pEditor)
            return "";
        char szValue[300] = "";
        switch (pRecord->m_nType)
        {
        case TREE_ITEM_BOOL:
            std::snprintf(szValue, sizeof(szValue), "%d", static_cast<CBaseTreeCtrlBool*>(pRecord->m_pEditor)->GetValue());
            break;
        case TREE_ITEM_INT_SLIDER:
            std::snprintf(szValue, sizeof(szValue), "%d",
                          *static_cast<int32_t*>(static_cast<CBaseTreeSlider*>(pRecord->m_pEditor)->m_pValue));
            break;
        case TREE_ITEM_FLOAT_SLIDER:
            std::snprintf(szValue, sizeof(szValue), "%g",
                          static_cast<double>(
                              *static_cast<float*>(static_cast<CBaseTreeSlider*>(pRecord->m_pEditor)->m_pValue)));
            break;
        case TREE_ITEM_FILE:
            std::snprintf(szValue, sizeof(szValue), "%s",
                          static_cast<const char*>(static_cast<CBaseTreeCtrlItem*>(pRecord->m_pEditor)->m_pValue));
            break;
        case TREE_ITEM_IMAGE_FORMAT:
            std::snprintf(szValue, sizeof(szValue), "%d",
                          *static_cast<int32_t*>(static_cast<CBaseTreeCtrlItem*>(pRecord->m_pEditor)->m_pValue));
            break;
        default: break;
        }
        std::string strValue = szValue;
        if (pRecord->m_pOwner == static_cast<SceneObject*>(&m_pApp->m_Scene.m_ImageSettings))
            strValue += " (image settings)";
        return strValue;
    }
};
