#include "raster/LightConstants.h"

#include "scene/D3DXBridge.h"
#include "scene/RenderOptions.h"
#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"

#include <algorithm>
#include <cmath>

float g_fShadowDepthScale = 0.0f;

namespace
{
constexpr float PI = 3.14159265358979f;
// 1/65535 (the float 0x37800080): distances and object ids are stored in 16-bit steps.
constexpr float UNIT_16 = 1.0f / 65535.0f;
// Noise lookups repeat every 1/50 of a unit.
constexpr float NOISE_SCALE = 50.0f;

D3DXMATRIX WorldOf(const SceneMesh& mesh)
{
    return ToD3DX(mesh.m_matWorld);
}

// c4-c7 world x view x projection and c8-c11 world, both transposed.
void SetMeshTransforms(const SceneMesh& mesh, const LightFrame& frame, ConstantTable& table)
{
    D3DXMATRIX world = WorldOf(mesh), worldView, wvp;
    D3DXMatrixMultiply(&worldView, &world, &frame.view);
    D3DXMatrixMultiply(&wvp, &worldView, &frame.projection);
    table.SetTransposed(4, wvp);
    table.SetTransposed(8, world);
}

void SetRepeats(const SceneMaterial& material, ConstantTable& table)
{
    const float* u = material.m_fRepeatU;
    const float* v = material.m_fRepeatV;
    table.Set(15, u[0], v[0], u[1], v[1]);
    table.Set(16, u[2], v[2], u[3], v[3]);
}

// Registers shared by the point, spot and directional vertex constants; fRadiusScale scales r^2.
void SetLightVertexCommon(const SceneMesh& mesh, const LightFrame& frame, float fRadiusScale, ConstantTable& table)
{
    const float r = mesh.m_fSphereRadius;
    D3DXVECTOR3 centre = MeshWorldCentre(mesh);
    table.Set(0, 0.0f, 0.5f, 1.0f, 2.0f);
    table.Set(1, UNIT_16, 0.5f, fRadiusScale * r * r, 1.0f);
    table.Set(2, frame.eye.x, frame.eye.y, frame.eye.z, 1.0f);
    SetMeshTransforms(mesh, frame, table);
    table.Set(12, centre.x, centre.y, centre.z, 1.0f);
    table.Set(13, 0.1f, 1.0f, 0.0f, 1.0f);
    table.Set(14, mesh.m_vOffset.x, mesh.m_vOffset.y, mesh.m_vOffset.z, 0.0f);
    if (mesh.m_pMaterial)
    {
        SetRepeats(*mesh.m_pMaterial, table);
        float fIndex = mesh.m_pMaterial->m_vRefraction[0];
        // A refraction index of 0 or less (never written by the editors) bends nothing.
        table.Set(17, fIndex > 0.0f ? 1.0f / std::sqrt(fIndex) : 1.0f, 0.0f, 0.0f, 1.0f);
    }
}

// c0 to c14, c20 and c22 to c26 of every light pixel program. bUnshadowed: shadow level 1, so
// that no tap darkens.
void SetLightPixelCommon(SceneMesh& mesh, int nMeshIndex, const SceneLight& light, const D3DXVECTOR4* pJitter,
                         bool bUnshadowed, float fIdScale, ConstantTable& table)
{
    SceneMaterial& material = *mesh.m_pMaterial;
    const D3DMATERIAL9& m = material.m_Material;
    const float id = (float)(nMeshIndex + 1) * UNIT_16;
    const float bp = material.m_fBumpPower * 0.01f;
    const float fSpecular = m.Power;
    const float fGloss = material.m_fGlossPower / 100.0f;
    table.Set(0, 1.0f, 1.0f, 1.0f, 1.0f);
    table.Set(1, 2.0f, 1.0f, 1.0f, 1.0f);
    table.Set(2, m.Diffuse.r, m.Diffuse.g, m.Diffuse.b, 1.0f);
    table.Set(3, id, m.Ambient.r, 0.0f, 1.0f);
    table.Set(4, material.m_vReflectionColor[0], material.m_vReflectionColor[1], material.m_vReflectionColor[2], 0.0f);
    table.Set(6, 1.0f, light.m_Light.Attenuation1 * 0.01f, light.m_Light.Attenuation2 * 0.001f, 1.0f);
    table.Set(7, bp, bp * 0.1f, bp * 0.01f, bp * 0.02f);
    table.Set(8, 0.5f, 0.5f, 0.5f, 1.0f);
    table.Set(9, light.m_Light.Diffuse.r, light.m_Light.Diffuse.g, light.m_Light.Diffuse.b, 1.0f);
    table.Set(10, fSpecular / 100.0f, fSpecular, fSpecular, 1.0f);
    table.Set(11, m.Specular.r, m.Specular.g, m.Specular.b, 1.0f);
    table.Set(12, fGloss, fGloss, fGloss, 1.0f);
    table.Set(13, 0.0f, 0.0f, 1.0f, bp);
    table.Set(14, material.m_vOpacity[0], 0.0f, 0.01f, 0.0f);
    // Shadow level P1 and dispersion P2; P1 is capped at 1 once it has been used.
    table.Set(20, bUnshadowed ? 1.0f : g_fMaterialScale * material.m_fMaterialFactor, 1.0f, 0.25f,
              DISPERSION_SCALE * material.m_fMaterialValue1 * 0.1f);
    material.m_fMaterialFactor = std::min(material.m_fMaterialFactor, 1.0f);
    table.Set(22, id, NOISE_SCALE, fIdScale, 2.0f);
    for (int k = 0; k < 4; ++k)
    {
        const D3DXVECTOR4& j = pJitter[SHADOW_TAP_JITTER + k];
        table.Set(23 + k, j.x, j.y, j.z, j.w);
    }
}

D3DXVECTOR3 UnitDirection(const SceneLight& light)
{
    D3DXVECTOR3 direction(light.m_Light.Direction.x, light.m_Light.Direction.y, light.m_Light.Direction.z), unit;
    D3DXVec3Normalize(&unit, &direction);
    return unit;
}
}

D3DXVECTOR3 LookAtUpVector(const D3DXVECTOR3& vDirection)
{
    return std::fabs(vDirection.y) > 0.999f ? D3DXVECTOR3(0.0f, 0.0f, 1.0f) : D3DXVECTOR3(0.0f, 1.0f, 0.0f);
}

void ConstantTable::Set(int nRegister, float x, float y, float z, float w)
{
    c[nRegister][0] = x;
    c[nRegister][1] = y;
    c[nRegister][2] = z;
    c[nRegister][3] = w;
    nWritten |= 1u << nRegister;
}

void ConstantTable::SetTransposed(int nFirst, const D3DXMATRIX& m)
{
    for (int i = 0; i < 4; ++i)
        Set(nFirst + i, m(0, i), m(1, i), m(2, i), m(3, i));
}

void FillJitterDirections(D3DXVECTOR4 table[JITTER_DIRECTIONS])
{
    for (int p = 0; p < 8; ++p)
        for (int a = 0; a < 32; ++a)
        {
            float fTheta = (float)p * PI / 16.0f, fPhi = (float)a * PI / 16.0f;
            table[32 * p + a] = D3DXVECTOR4(std::cos(fTheta) * std::cos(fPhi), std::cos(fTheta) * std::sin(fPhi),
                                            std::sin(fTheta), (std::cos(PI / 2.0f - fTheta) + 1.0f) * 0.5f);
        }
}

const SpotFaceTable LIGHTING_SPOT_FACES = {{1, 0, 0, 0, 1, 0},  {-1, 0, 0, 0, 1, 0}, {0, 1, 0, 0, 0, -1},
                                           {0, -1, 0, 0, 0, 1}, {0, 0, 1, 0, 1, 0},  {0, 0, -1, 0, 1, 0}};

void BuildSpotFrame(const D3DXVECTOR3& vDirection, int nSpotIndex, D3DXMATRIX& frame, const SpotFaceTable& faces)
{
    const D3DXVECTOR3 origin(0.0f, 0.0f, 0.0f);
    D3DXVECTOR3 up = LookAtUpVector(vDirection);
    D3DXMATRIX m1, m2, product;
    D3DXMatrixLookAtLH(&m1, &origin, &vDirection, &up);
    if (nSpotIndex >= 0 && nSpotIndex < 6)
    {
        const float* f = faces[nSpotIndex];
        D3DXVECTOR3 at(f[0], f[1], f[2]), faceUp(f[3], f[4], f[5]);
        D3DXMatrixLookAtLH(&m2, &origin, &at, &faceUp);
    }
    else
    {
        D3DXMatrixLookAtLH(&m2, &origin, &vDirection, &up);
    }
    D3DXMatrixMultiply(&product, &m1, &m2);
    D3DXMatrixTranspose(&frame, &product);
}

D3DXVECTOR3 MeshWorldCentre(const SceneMesh& mesh)
{
    D3DXMATRIX world = WorldOf(mesh);
    return D3DXVECTOR3(world._41, world._42, world._43);
}

void BuildLightVertexConstants(const SceneMesh& mesh, const SceneLight& light, const LightFrame& frame,
                               ConstantTable& table)
{
    SetLightVertexCommon(mesh, frame, 1.0f, table);
    const Vector3& p = light.m_vLightPosition;
    table.Set(3, p.x, p.y, p.z, 1.0f);
}

void BuildDirectionalVertexConstants(const SceneMesh& mesh, const SceneLight& light, const LightFrame& frame,
                                     const D3DXMATRIX& shadowTexture, bool bShadowMap, ConstantTable& table)
{
    SetLightVertexCommon(mesh, frame, 0.5f, table);
    const D3DVECTOR& d = light.m_Light.Direction;
    table.Set(3, d.x, d.y, d.z, 0.0f);
    D3DXMATRIX viewProjection;
    D3DXMatrixMultiply(&viewProjection, &frame.view, &frame.projection);
    table.SetTransposed(20, viewProjection);
    // Without a depth scale from the shadow pass the depths stay unscaled.
    table.Set(24, 1.0f, 1.0f, g_fShadowDepthScale != 0.0f ? 1.0f / g_fShadowDepthScale : 1.0f, 1.0f);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    table.SetTransposed(25, bShadowMap ? shadowTexture : identity);
}

bool BuildLightPixelConstants(SceneMesh& mesh, int nMeshIndex, const SceneLight& light, int nSpotIndex,
                              bool bShadowCube, const LightFrame& frame, const D3DXVECTOR4* pJitter,
                              ConstantTable& table)
{
    if (!mesh.m_pMaterial)
        return false;
    SetLightPixelCommon(mesh, nMeshIndex, light, pJitter, !bShadowCube, UNIT_16, table);
    // The eye goes in c17 first; a spot light's frame then takes c16 to c19 (its programs read
    // no eye), and c19 the cone.
    table.Set(17, frame.eye.x, frame.eye.y, frame.eye.z, 1.0f);
    if (light.m_Light.Type == D3DLIGHT_SPOT)
    {
        D3DXVECTOR3 direction = UnitDirection(light);
        float fCosHot = std::cos(light.m_Light.Theta * PI / 360.0f);
        float fCosFall = std::cos(light.m_Light.Phi * PI / 360.0f);
        table.Set(15, direction.x, direction.y, direction.z, fCosHot);
        D3DXMATRIX spotFrame;
        BuildSpotFrame(direction, nSpotIndex, spotFrame);
        for (int i = 0; i < 4; ++i)
            table.Set(16 + i, spotFrame(i, 0), spotFrame(i, 1), spotFrame(i, 2), spotFrame(i, 3));
        table.Set(19, fCosHot, fCosFall, 1.0f / (fCosHot - fCosFall), 1.0f);
    }
    return true;
}

bool BuildDirectionalPixelConstants(SceneMesh& mesh, int nMeshIndex, const SceneLight& light, bool bShadowMap,
                                    const D3DXVECTOR4* pJitter, ConstantTable& table)
{
    if (!mesh.m_pMaterial)
        return false;
    SetLightPixelCommon(mesh, nMeshIndex, light, pJitter, !bShadowMap, -0.01f, table);
    // Still water: the wave constants of the transparent form.
    for (int n = 28; n < 32; ++n)
        table.Set(n, 0.0f, 0.0f, 0.0f, 0.0f);
    return true;
}

void BuildLayerVertexConstants(const SceneMesh& mesh, const LightFrame& frame, ConstantTable& table)
{
    const float r = mesh.m_fSphereRadius;
    D3DXVECTOR3 centre = MeshWorldCentre(mesh);
    table.Set(0, mesh.m_vOffset.x, mesh.m_vOffset.y, mesh.m_vOffset.z, 0.0f);
    table.Set(1, centre.x, centre.y, centre.z, 1.0f);
    table.Set(2, frame.eye.x, frame.eye.y, frame.eye.z, 1.0f);
    table.Set(3, 0.0f, 1.0f, 0.0f, 1.0f);
    SetMeshTransforms(mesh, frame, table);
    table.Set(12, 0.4f * r * r, 0.0f, 0.0f, 1.0f);
    if (mesh.m_pMaterial)
        SetRepeats(*mesh.m_pMaterial, table);
}

bool BuildLayerPixelConstants(const SceneMesh& mesh, int nPass, int nPasses, const D3DXVECTOR4* pJitter,
                              ConstantTable& table)
{
    nPasses = std::clamp(nPasses, 0, MAX_LAYER_PASSES);
    if (!mesh.m_pMaterial || nPass < 0 || nPass >= nPasses)
        return false;
    const SceneMaterial& material = *mesh.m_pMaterial;
    const D3DMATERIAL9& m = material.m_Material;
    table.Set(0, 2.0f, 1.0f, material.m_fBumpPower * 0.1f, material.GetOptionFloat(2));
    table.Set(1, 1.0f / (float)nPasses, 1.0f, 0.166f * g_fLayerScale * material.GetOptionFloat(1), 0.0f);
    table.Set(2, m.Diffuse.r, m.Diffuse.g, m.Diffuse.b, 1.0f);
    table.Set(3, 0.0f, 0.0f, 1.0f, 1.0f);
    // Nine consecutive entries per pass, the last pass ending at entry 224.
    int nFirst = 9 * (MAX_LAYER_PASSES - nPasses + nPass);
    for (int k = 0; k < 9; ++k)
    {
        const D3DXVECTOR4& j = pJitter[nFirst + k];
        table.Set(6 + k, j.x, j.y, j.z, j.w);
    }
    return true;
}
