// Imports of 3D Studio files: the L3DS reader's meshes, materials, lights and first camera
// turned into scene objects. 3DS files are z-up, the scene is y-up: positions, normals and
// directions swap y and z, and the triangle corners are taken a, c, b to keep the winding.
#include "scene/SceneStore.h"

#include "core/Log.h"
#include "scene/D3DXBridge.h"
#include "scene/L3DS.h"
#include "scene/MediaDirectory.h"
#include "scene/ParticleSystem.h"
#include "scene/RenderOptions.h"
#include "scene/SceneGeometryBlock.h"
#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace
{
Vector3 SwapYZ(float x, float y, float z)
{
    return Vector3(x, z, y);
}

void CopyMapName(const L3DSMap& map, char* szOut)
{
    std::snprintf(szOut, SCENE_NAME_SIZE, "%s", map.szFileName);
    SceneStore::StripDirectory(szOut);
}
}

bool SceneStore::Load3ds(const char* szPath, const char* szOperation, L3DS& reader)
{
    if (!reader.LoadFile(szPath))
    {
        LogWarning("%s - \"%s\" is not a readable 3DS file; the scene is left as it was.", szOperation,
                   szPath ? szPath : "");
        return false;
    }
    return true;
}

bool SceneStore::Open3dsFile(const char* szPath, Renderer* pRenderer, IDirect3DDevice9* pDevice)
{
    SetMediaDirectory();
    L3DS reader;
    if (!Load3ds(szPath, "SceneStore::Open3dsFile()", reader))
        return false;
    Clear(pRenderer);
    Convert3ds(reader, szPath, pRenderer, pDevice);
    return true;
}

bool SceneStore::Import3dsFile(const char* szPath, Renderer* pRenderer, IDirect3DDevice9* pDevice)
{
    SetMediaDirectory();
    L3DS reader;
    if (!Load3ds(szPath, "SceneStore::Import3dsFile()", reader))
        return false;
    Convert3ds(reader, szPath, pRenderer, pDevice);
    return true;
}

void SceneStore::Convert3ds(L3DS& reader, const char* szPath, Renderer* pRenderer, IDirect3DDevice9* pDevice)
{
    // The frame driver sets the changed scene up (triangle grid, cube maps) on its next frame.
    g_bSceneChanged = 1;
    if (reader.GetCameraCount() >= 1)
        Convert3dsCamera(reader);
    const std::string strSceneFolder = GetSceneFolder(szPath);
    for (uint32_t i = 0; i < reader.GetMeshCount(); ++i)
        if (reader.GetMesh(i).GetTriangleCount() > 0)
            Convert3dsMesh(reader, i, pRenderer, strSceneFolder);
    for (uint32_t i = 0; i < reader.GetLightCount(); ++i)
        Convert3dsLight(reader.GetLight(i), pDevice);
}

void SceneStore::Convert3dsCamera(L3DS& reader)
{
    const L3DSCamera& source = reader.GetCamera(0);
    SceneCamera& camera = m_Camera;
    camera.m_fFov = source.GetFOV();
    camera.m_fAspect = 0.65f;
    camera.m_fFrontClip = source.GetNearPlane();
    camera.m_fBackClip = source.GetFarPlane();
    const L3DSVector& p = source.GetPosition();
    camera.m_RigidBody.m_vPosition = SwapYZ(p.x, p.y, p.z);
    camera.m_bFog = 0;
    camera.m_fFogDensity = 0.08f;
    camera.m_vFogColor[0] = 0.75f;
    camera.m_vFogColor[1] = 0.85f;
    camera.m_vFogColor[2] = 0.75f;
    camera.m_fFogScale = 0.04f;
    camera.m_fFogZ = 10.0f;
    camera.Update(0.0f);
    camera.m_vEyePosition = camera.m_RigidBody.m_vPosition;
    camera.m_bDofActive = 0;
    camera.m_fControlSpeed = 25.0f;
    camera.m_nDofQuality = 8;
    camera.m_nDofBlur = 10;
}

bool SceneStore::Convert3dsMesh(L3DS& reader, uint32_t nIndex, Renderer* pRenderer, const std::string& strSceneFolder)
{
    const L3DSMesh& source = reader.GetMesh(nIndex);
    auto pMesh = std::make_unique<SceneMesh>();
    char szName[SCENE_NAME_SIZE];
    std::snprintf(szName, sizeof(szName), "Object%u", nIndex);
    pMesh->SetName(szName);
    const int32_t nTriangles = static_cast<int32_t>(source.GetTriangleCount());
    if (!pMesh->AllocateTriangles(nTriangles))
    {
        LogWarning("SceneStore::Import3dsFile() - out of memory for the %d triangles of mesh \"%s\".", nTriangles,
                   szName);
        return false;
    }
    for (int32_t t = 0; t < nTriangles; ++t)
    {
        const L3DSFullTriangle full = source.GetFullTriangle(static_cast<uint32_t>(t));
        const L3DSVertex* corners[3] = {&full.a, &full.c, &full.b};
        const L3DSVector* normals[3] = {&full.na, &full.nc, &full.nb};
        const L3DSTexCoord* uvs[3] = {&full.ta, &full.tc, &full.tb};
        for (int k = 0; k < 3; ++k)
        {
            MeshVertex& vertex = pMesh->m_pVertices[3 * t + k];
            vertex.vPosition = SwapYZ(corners[k]->x, corners[k]->y, corners[k]->z);
            vertex.vNormal = SwapYZ(normals[k]->x, normals[k]->y, normals[k]->z);
            vertex.u = uvs[k]->u;
            vertex.v = uvs[k]->v;
            if (!IsFinite(vertex.vPosition))
            {
                LogWarning("SceneStore::Import3dsFile() - mesh \"%s\" is refused: a position is not a finite number.",
                           szName);
                return false;
            }
        }
    }
    SetMeshBounds(*pMesh);
    pMesh->m_vStoredPosition = pMesh->m_vOffset;

    // The mesh's first material group names its material; without one the file's first material
    // stands in, and a file without materials gives the material's defaults.
    uint32_t nMaterialId = source.GetMaterialCount() ? source.GetMaterialId(0) : 0;
    const L3DSMaterial* pSource = nMaterialId < reader.GetMaterialCount() ? &reader.GetMaterial(nMaterialId) : nullptr;
    auto pMaterial = std::make_unique<SceneMaterial>();
    std::snprintf(szName, sizeof(szName), "Material%u", nIndex);
    pMaterial->SetName(szName);
    if (pSource)
    {
        CopyMapName(pSource->GetTextureMap1(), pMaterial->m_szTexturePaths[SceneMaterial::PATH_DIFFUSE]);
        CopyMapName(pSource->GetTextureMap2(), pMaterial->m_szTexturePaths[3]);
        CopyMapName(pSource->GetOpacityMap(), pMaterial->m_szTexturePaths[6]);
        CopyMapName(pSource->GetSpecularMap(), pMaterial->m_szTexturePaths[SceneMaterial::PATH_GLOSS]);
        CopyMapName(pSource->GetBumpMap(), pMaterial->m_szTexturePaths[SceneMaterial::PATH_BUMP]);
        CopyMapName(pSource->GetReflectionMap(), pMaterial->m_szTexturePaths[5]);
        for (int slot : {SceneMaterial::REPEAT_DIFFUSE, SceneMaterial::REPEAT_BUMP, SceneMaterial::REPEAT_GLOSS})
        {
            pMaterial->m_fRepeatV[slot] = pSource->GetTextureMap1().fUScale;
            pMaterial->m_fRepeatU[slot] = pSource->GetTextureMap1().fVScale;
        }
        D3DMATERIAL9& m = pMaterial->m_Material;
        const L3DSColor& a = pSource->GetAmbientColor();
        const L3DSColor& d = pSource->GetDiffuseColor();
        const L3DSColor& s = pSource->GetSpecularColor();
        m.Ambient = {a.r, a.g, a.b, m.Ambient.a};
        m.Diffuse = {d.r, d.g, d.b, m.Diffuse.a};
        m.Specular = {s.r, s.g, s.b, m.Specular.a};
        m.Power = pSource->GetShininess();
    }
    pMaterial->m_vOpacity[0] = 1.0f;
    pMaterial->m_fBumpPower = 0.1f;
    pMaterial->m_fGlossPower = 0.1f;
    pMaterial->m_fMaterialFactor = 0.6f;
    pMaterial->m_fMaterialValue1 = 0.03f;
    pMaterial->m_vReflectionColor[0] = pMaterial->m_vReflectionColor[1] = pMaterial->m_vReflectionColor[2] = 0.0f;
    SetImportedMaterialDefaults(*pMaterial);
    LoadMaterialTextures(*pMaterial, pRenderer, strSceneFolder);

    // A full scene refuses the mesh (AddMesh logs it); its material then goes with it.
    if (m_Meshes.GetCount() >= MAX_MESHES)
        return AddMesh(pMesh.release());
    if (m_Materials.Add(pMaterial.get()) < 0)
    {
        LogError("SceneStore::Import3dsFile() - out of memory; mesh \"%s\" is left out.", pMesh->m_szName);
        return false;
    }
    pMesh->m_pMaterial = pMaterial.release();
    g_nParticleSystems = 0;
    return AddMesh(pMesh.release());
}

void SceneStore::Convert3dsLight(const L3DSLight& source, IDirect3DDevice9* pDevice)
{
    auto pLight = std::make_unique<SceneLight>();
    pLight->SetName("Ligth One");
    pLight->SetSecondName("");
    const L3DSVector& p = source.GetPosition();
    pLight->m_vLightPosition = SwapYZ(p.x, p.y, p.z);
    D3DLIGHT9& light = pLight->m_Light;
    const L3DSColor& c = source.GetColor();
    light.Diffuse.r = c.r;
    light.Diffuse.g = c.g;
    light.Diffuse.b = c.b;
    if (source.IsSpotlight())
    {
        light.Type = D3DLIGHT_SPOT;
        const L3DSVector& t = source.GetTarget();
        light.Direction = {t.x, t.z, t.y};
        light.Falloff = source.GetFalloff();
        light.Theta = light.Phi = source.GetHotspot();
    }
    else
    {
        light.Type = D3DLIGHT_POINT;
        light.Falloff = 0.01f;
        light.Theta = light.Phi = 0.314159f;
    }
    SetImportedLightDefaults(*pLight, pDevice);
    pLight->m_nLightKind = source.IsSpotlight() ? 5 : 2;
    AddLight(pLight.release());
}

void SceneStore::SetImportedMaterialDefaults(SceneMaterial& material)
{
    material.SetOptionFloat(6, 0.0f);
    material.SetOptionFloat(7, 0.0f);
    material.SetOptionFloat(1, 1.0f);
    material.SetOptionFloat(2, 0.5f);
    material.m_vRefraction[0] = 1.2f;
    material.m_bAlphaTransparency = 0;
    material.m_nMaterialIds[0] = -1;
    material.m_bMaterialFlags[1] = 1;
    material.m_bMaterialFlags[2] = 0;
}

void SceneStore::SetImportedLightDefaults(SceneLight& light, IDirect3DDevice9* pDevice)
{
    light.m_bHalo = 1;
    light.m_fHaloValue1 = 0.0f;
    light.m_fHaloSize = 5.0f;
    light.m_fHaloPower = 1.0f;
    light.m_bLensFlare = 0;
    light.m_bLensFlareRing = 0;
    light.m_nLensCount = 3;
    light.m_fLensFlareSize = 120.0f;
    light.m_fLensFlareDensity = 0.3f;
    light.m_Light.Range = 10000.0f;
    light.m_Light.Attenuation1 = light.m_Light.Attenuation2 = 0.0f;
    light.m_bLightFlag = 1;
    LoadLightCubeMap(light, pDevice);
    light.m_nTextureId = -1;
}
