#include "raster/LightPassChoice.h"

#include "raster/SceneDraw.h"
#include "scene/RenderOptions.h"
#include "scene/SceneLight.h"

namespace LightPrograms
{
LightPassChoice ChooseLightPass(const SceneMesh& mesh, const SceneLight& light, MeshPass nPass, int nMode,
                                bool bShadowFarLayer)
{
    LightPassChoice choice;
    const D3DLIGHTTYPE nType = light.m_Light.Type;
    const bool bCubeFaceReflection = nMode == VIEW_CUBE_FACE && g_bReflection == 1;
    const bool bDirectional = nType == D3DLIGHT_DIRECTIONAL;
    choice.bShadowCube = !bDirectional;
    if (nPass == MeshPass::OPAQUE)
    {
        if (bDirectional)
        {
            choice.nVertexProgram = VS_DIRECTIONAL;
            choice.nPixelProgram = g_bTracePhoton == 1 && bShadowFarLayer ? PS_SHADOW_FAR_LAYER : PS_DIRECTIONAL;
            choice.bDirectionalConstants = true;
        }
        else
        {
            choice.nVertexProgram = VS_LIGHT;
            choice.nPixelProgram = nType == D3DLIGHT_SPOT ? PS_SPOT : (bCubeFaceReflection ? PS_CUBE_FACE_POINT : PS_POINT);
        }
        return choice;
    }
    if (IsFlat(mesh))
    {
        choice.nVertexProgram = bDirectional ? VS_FLAT_DIRECTIONAL : VS_FLAT_LIGHT;
        choice.nPixelProgram = bDirectional ? PS_FLAT_DIRECTIONAL : (nType == D3DLIGHT_SPOT ? PS_SPOT : PS_FLAT_POINT);
        choice.bDirectionalConstants = bDirectional;
        return choice;
    }
    if (g_bRefraction == 1)
    {
        choice.nVertexProgram = VS_REFRACTION;
        if (nPass == MeshPass::TRANSPARENT_BACK)
        {
            choice.nPixelProgram = PS_REFRACTION_BACK;
        }
        else
        {
            choice.nPixelProgram = PS_REFRACTION_FRONT;
            choice.bShadowCube = true;
        }
        return choice;
    }
    if (bDirectional)
    {
        choice.nVertexProgram = VS_DIRECTIONAL;
        choice.nPixelProgram = PS_WAVE_DIRECTIONAL;
        choice.bDirectionalConstants = true;
        return choice;
    }
    choice.nVertexProgram = VS_LIGHT;
    choice.nPixelProgram = nType == D3DLIGHT_SPOT ? PS_SPOT : (bCubeFaceReflection ? PS_CUBE_FACE_POINT : PS_POINT);
    return choice;
}
}
