// The photon surface programs of the light-view passes: which program draws a mesh, the
// constants and maps it reads, and, before a mesh's position pass, the environment image it
// looks up where a bounced or refracted photon lands (its object cube map, or a planar mirror
// image for a flat mesh).
#include "tracer/PhotonSurface.h"

#include "app/RenderApp.h"
#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"
#include "tracer/TracerGlobals.h"

#include "3dapi/Renderer.h"

#include <cmath>

namespace
{
// Programs by route: direct photons of point and spot lights, photons at translucent
// surfaces, global reflection off opaque, flat opaque and translucent surfaces; positions where
// photons hit, pass through translucent meshes, land off curved opaque, curved translucent and
// flat meshes.
constexpr int POINT_RAY_PROGRAM = 146;
constexpr int SPOT_RAY_PROGRAM = 174;
constexpr int TRANSLUCENT_RAY_PROGRAM = 167;
constexpr int GLOBAL_REFLECTION_PROGRAM = 147;
constexpr int GLOBAL_FLAT_REFLECTION_PROGRAM = 148;
constexpr int GLOBAL_REFRACTION_PROGRAM = 149;
constexpr int HIT_POSITION_PROGRAM = 120;
constexpr int PASSED_ON_POSITION_PROGRAM = 168;
constexpr int CURVED_OPAQUE_POSITION_PROGRAM = 132;
constexpr int CURVED_TRANSLUCENT_POSITION_PROGRAM = 142;
constexpr int MIRROR_POSITION_PROGRAM = 138;

constexpr DWORD ENVIRONMENT_STAGE = 2;
constexpr DWORD NOISE_STAGE = 3;
// Scales of the noise look-ups (the hash-like patterns differ by pass) and the jitter's share
// of the scene extent: a jitter moves a photon by at most 1.5 x extent / (1000 T) per axis.
constexpr float POINT_GLOBAL_NOISE_SCALE = 47.32f;
constexpr float SPOT_GLOBAL_NOISE_SCALE = 21.32f;
constexpr float GLOBAL_POSITION_NOISE_SCALE = 49.12f;
constexpr float JITTER_NOISE_SCALE = 47.33f;
constexpr float JITTER_SHARE = 1000.0f;
// How far the noise turns a scattered direction.
constexpr float SCATTER = 0.3f;
// Spot lights' global photons keep 0.9 of their energy at a reflection or refraction.
constexpr float SPOT_GLOBAL_REFLECTANCE = 0.9f;
}

const SceneMaterial& MaterialOf(const SceneMesh& mesh)
{
    static const SceneMaterial s_DefaultMaterial;
    return mesh.m_pMaterial ? *mesh.m_pMaterial : s_DefaultMaterial;
}

int SelectPhotonSurfaceProgram(PhotonPass nPass, bool bSpot, int nKind, bool bOpaque, int nFlatAxis)
{
    const bool bGlobal = nKind == 1;
    if (nPass == PHOTON_POSITION_PASS)
    {
        if (!bGlobal)
            return bOpaque ? HIT_POSITION_PROGRAM : PASSED_ON_POSITION_PROGRAM;
        if (nFlatAxis != 0)
            return MIRROR_POSITION_PROGRAM;
        return bOpaque ? CURVED_OPAQUE_POSITION_PROGRAM : CURVED_TRANSLUCENT_POSITION_PROGRAM;
    }
    if (!bGlobal)
        return !bOpaque ? TRANSLUCENT_RAY_PROGRAM : bSpot ? SPOT_RAY_PROGRAM : POINT_RAY_PROGRAM;
    if (!bOpaque)
        return GLOBAL_REFRACTION_PROGRAM;
    return nPass == PHOTON_SECOND_RAY_PASS && nFlatAxis != 0 ? GLOBAL_FLAT_REFLECTION_PROGRAM
                                                             : GLOBAL_REFLECTION_PROGRAM;
}

float FlatnessThreshold(PhotonPass nPass, bool bSpot, int nKind)
{
    if (nKind != 1)
        return 0.0f;
    if (nPass == PHOTON_SECOND_RAY_PASS)
        return bSpot ? 1.0f : 0.0f;
    if (nPass == PHOTON_POSITION_PASS)
        return bSpot ? 0.5f : 1.0f;
    return 0.0f;
}

int FlatnessAxis(const float bounds[6], float fThreshold)
{
    int nAxis = 0;
    for (int a = 0; a < 3; ++a)
        if (std::fabs(bounds[2 * a + 1] - bounds[2 * a]) < fThreshold)
            nAxis = a + 1;
    return nAxis;
}

bool IsOpaqueMesh(const SceneMesh& mesh)
{
    return MaterialOf(mesh).m_vOpacity[0] == 1.0f;
}

void RenderApp::SetPhotonSurfaceConstants(const SceneMesh& mesh, PhotonPass nPass, bool bSpot, int nKind, int nTiles)
{
    const SceneMaterial& material = MaterialOf(mesh);
    const bool bGlobal = nKind == 1, bPosition = nPass == PHOTON_POSITION_PASS;
    const float o = material.m_vOpacity[0];
    // A refraction index of 0 or below has no reciprocal: such a material reads as index 1.
    const float n = material.m_vRefraction[0] > 0.0f ? material.m_vRefraction[0] : 1.0f;
    const float* reflection = material.m_vReflectionColor;
    const float fMeanReflection = (reflection[0] + reflection[1] + reflection[2]) / 3.0f;
    const D3DCOLORVALUE& diffuse = material.m_Material.Diffuse;
    const float r = mesh.m_fSphereRadius;

    const float c1[4] = {2.0f, 1.0f, bPosition && !(bGlobal && !bSpot) ? 1.0f : 0.5f,
                         bPosition && !bGlobal ? 0.5f : 1.0f};
    const float c2[4] = {diffuse.r, diffuse.g, diffuse.b, 1.0f};
    const bool bSpotGlobalRay = bSpot && bGlobal && !bPosition;
    const float c11[4] = {bSpotGlobalRay ? SPOT_GLOBAL_REFLECTANCE : 1.0f, bSpotGlobalRay ? reflection[0] : fMeanReflection,
                          bSpotGlobalRay ? o : 1.0f - o, 1.0f};
    const float c13[4] = {0.0f, 0.0f, 1.0f, material.m_fBumpPower * 0.01f};
    const float c14[4] = {1.0f / std::sqrt(n), -1.0f / n, o, 1.0f - o};
    m_pDevice->SetPixelShaderConstantF(1, c1, 1);
    m_pDevice->SetPixelShaderConstantF(2, c2, 1);
    m_pDevice->SetPixelShaderConstantF(11, c11, 1);
    m_pDevice->SetPixelShaderConstantF(13, c13, 1);
    m_pDevice->SetPixelShaderConstantF(14, c14, 1);

    if (bGlobal || bPosition)
    {
        const float fExtent[3] = {g_vSceneMax.x - g_vSceneMin.x, g_vSceneMax.y - g_vSceneMin.y,
                                  g_vSceneMax.z - g_vSceneMin.z};
        const float fShare = JITTER_SHARE * static_cast<float>(nTiles > 0 ? nTiles : 1);
        const float fNoiseScale = bPosition ? GLOBAL_POSITION_NOISE_SCALE
                                  : bSpot   ? SPOT_GLOBAL_NOISE_SCALE
                                            : POINT_GLOBAL_NOISE_SCALE;
        const float c16Global[4] = {0.0f, 0.0f, fNoiseScale, 1.0f};
        const float c16Jitter[4] = {fExtent[0] / fShare, fExtent[1] / fShare, fExtent[2] / fShare, JITTER_NOISE_SCALE};
        m_pDevice->SetPixelShaderConstantF(16, bGlobal ? c16Global : c16Jitter, 1);
        // The scatter of the noise; the spread of the hit spot grows with the mesh's size.
        const bool bWideSpread = bGlobal && (nPass == PHOTON_SECOND_RAY_PASS || (bPosition && !bSpot));
        const float c19[4] = {r > 0.0f ? 1.414f / r : 0.0f, 1.0f, bWideSpread ? 0.2f : 0.15f, SCATTER};
        if (bGlobal)
            m_pDevice->SetPixelShaderConstantF(19, c19, 1);
        m_pRenderer->BindTexture(0, material.m_nTextureIds[SceneMaterial::TEXTURE_DIFFUSE]);
    }
    if (bPosition)
    {
        const float c8[4] = {0.5f, 0.5f, 0.5f, 1.0f};
        const float c18[4] = {mesh.m_vOffset.x, mesh.m_vOffset.y, mesh.m_vOffset.z, 1.0f};
        const float c22[4] = {0.0f, 0.0f, 0.0f, (bGlobal && !bSpot ? 1.1f : 1.0f) * r * r};
        const float c23[4] = {g_vSceneMax.x - g_vSceneMin.x, g_vSceneMax.y - g_vSceneMin.y, g_vSceneMax.z - g_vSceneMin.z,
                              1.0f};
        const float c24[4] = {g_vSceneMin.x, g_vSceneMin.y, g_vSceneMin.z, 1.0f};
        // Where an environment image shows nothing the photon is lost: it takes the no-photon
        // position past the grid box.
        const float c20[4] = {g_vSceneMax.x + 1.0f, g_vSceneMax.y + 1.0f, g_vSceneMax.z + 1.0f, 0.0f};
        m_pDevice->SetPixelShaderConstantF(8, c8, 1);
        m_pDevice->SetPixelShaderConstantF(20, c20, 1);
        m_pDevice->SetPixelShaderConstantF(18, c18, 1);
        m_pDevice->SetPixelShaderConstantF(22, c22, 1);
        m_pDevice->SetPixelShaderConstantF(23, c23, 1);
        m_pDevice->SetPixelShaderConstantF(24, c24, 1);
    }
    m_pRenderer->BindTexture(1, material.m_nTextureIds[SceneMaterial::TEXTURE_BUMP]);
    // The spot light's direct ray pass reads no noise.
    m_pRenderer->BindTexture(NOISE_STAGE, bSpot && !bGlobal && !bPosition ? -1 : g_nNoiseTexture);
}

int RenderApp::PreparePhotonEnvironment(SceneMesh& mesh, PhotonPass nPass, bool bSpot, int nKind,
                                        IDirect3DTexture9* pTarget, const D3DXMATRIX& view,
                                        const D3DXMATRIX& projection)
{
    const bool bOpaque = IsOpaqueMesh(mesh);
    const float fThreshold = FlatnessThreshold(nPass, bSpot, nKind);
    const int nAxis = fThreshold > 0.0f ? FlatnessAxis(mesh.m_fBounds, fThreshold) : 0;
    // Only the position passes look an image up, and of direct photons only those that a
    // translucent mesh passes on.
    if (nPass != PHOTON_POSITION_PASS || (nKind != 1 && bOpaque))
        return SelectPhotonSurfaceProgram(nPass, bSpot, nKind, bOpaque, nAxis);

    if (nAxis == 0)
        RenderObjectCubeMap(&mesh, 0);
    else
        RenderPlanarMirror(&mesh, &view, &projection, 0);
    BindTextureTarget(m_pDevice, 0, pTarget);
    UnbindTargets(m_pDevice);
    m_pDevice->SetVertexDeclaration(m_pMeshDecl);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    // The stage is set on the device directly: the renderer's record of it is emptied first. The
    // mirror image is read texel for texel at the pixel's own position; a filter would blend
    // the positions of neighbouring pixels.
    m_pRenderer->BindTexture(static_cast<int>(ENVIRONMENT_STAGE), -1);
    const DWORD nFilter = nAxis == 0 ? D3DTEXF_ANISOTROPIC : D3DTEXF_POINT;
    m_pDevice->SetSamplerState(ENVIRONMENT_STAGE, D3DSAMP_MINFILTER, nFilter);
    m_pDevice->SetSamplerState(ENVIRONMENT_STAGE, D3DSAMP_MAGFILTER, nFilter);
    if (nAxis == 0)
        m_pDevice->SetTexture(ENVIRONMENT_STAGE, g_pCubeTarget);
    else
        m_pDevice->SetTexture(ENVIRONMENT_STAGE, g_pMirrorTarget);
    return SelectPhotonSurfaceProgram(nPass, bSpot, nKind, bOpaque, nAxis);
}
