#pragma once
// The blocks that only ".qnl" scene files hold: the render-options block of the scene-info
// record, a mesh's material block and the rest of its geometry block, a light's block and the
// camera block. Each Read... decodes a whole block into a value that does not belong to the
// scene yet (a local record, or a mesh or light that the reader has just made) and fails,
// changing nothing else, when the bytes run out; the Apply... functions then put a complete
// block into the scene's objects with the values the reader fixes or clamps.
#include "core/ByteStream.h"
#include "core/Vector3.h"
#include "scene/SceneRecords.h"

#include <d3d9.h>
#include <d3dx9math.h>

#include <cstdint>

class SceneCamera;
class SceneLight;
class SceneMaterial;
class SceneMesh;

constexpr size_t QNL_SCENE_INFO_SIZE = 540;
constexpr size_t QNL_RENDER_OPTIONS_SIZE = 28;
constexpr size_t QNL_MATERIAL_BLOCK_SIZE = 2293;
constexpr size_t QNL_GEOMETRY_TAIL_SIZE = 344;
constexpr size_t QNL_LIGHT_BLOCK_SIZE = 461;
constexpr size_t QNL_CAMERA_BLOCK_SIZE = 193;

// ---- RenderOptionsBlock: the options a scene carries.
struct QnlRenderOptions
{
    uint8_t m_bTracePhoton = 0;
    uint8_t m_bReflection = 0;
    uint8_t m_bDynamicCubeMap = 0;
    uint8_t m_bStoredOption1 = 0;
    int32_t m_nCubePasses = 0;
    int32_t m_nLayerPasses = 0;
    uint8_t m_bForceWireframe = 0;
    uint8_t m_bStoredOption2 = 0;
    float m_fLayerScale = 0.0f;
    float m_fMaterialScale = 0.0f;
};
bool ReadRenderOptionsBlock(ByteReader& reader, QnlRenderOptions& options);
// From the option globals; a flag is stored as 1 when it is not 0.
void WriteRenderOptionsBlock(ByteWriter& writer);
// Into the option globals: flag bytes as 0 or 1, pass counts clamped to their ranges, then Trace
// Photon and Reflection off, so a loaded scene never starts tracing by itself.
void ApplyRenderOptions(const QnlRenderOptions& options);

// ---- Material block of a mesh's material.
struct QnlMaterialBlock
{
    char m_szName[SCENE_FIELD_SIZE] = {};
    D3DMATERIAL9 m_Material{};
    float m_vReflectionColor[4] = {};
    float m_vOpacity[4] = {};
    float m_vRefraction[4] = {};
    float m_vMaterialValues[4] = {};
    // Entries 0 to 7 of m_nMaterialOptions; 1, 2, 6 and 7 hold float bits.
    int32_t m_nMaterialOptions[8] = {};
    float m_fBumpPower = 0.0f;
    float m_fGlossPower = 0.0f;
    float m_fRepeatV[8] = {};
    float m_fRepeatU[8] = {};
    float m_fMaterialFactor = 0.0f;
    float m_fMaterialValue1 = 0.0f;
    char m_szTexturePaths[7][SCENE_FIELD_SIZE] = {};
    // The file keeps only the first byte (in memory order) of m_fMaterialValue2.
    uint8_t m_nMaterialValue2Byte = 0;
};
bool ReadQnlMaterialBlock(ByteReader& reader, QnlMaterialBlock& block);
// A mesh without a material is written with the values of a new material and an empty name.
void WriteQnlMaterialBlock(ByteWriter& writer, const SceneMaterial* pMaterial);
// The block's fields into the material (the name is the caller's), then the reader's fixed
// values: the per-light and layer parameters, refraction index 1.2, no alpha transparency, a
// large m_fMaterialValue1 replaced, reflection components outside 0..1 set to 0, and the
// diffuse, gloss and bump paths cut to their file names ("NONE" and empty paths stay as read).
void ApplyQnlMaterialBlock(const QnlMaterialBlock& block, SceneMaterial& material);

// ---- Geometry block: the vertex block, then the mesh's placement, spin and flags.
// Into a mesh that is not in the scene yet; false when cut short or when the vertex block fails
// its checks. Negative spin speeds (the floats) load as 0; the offset is also kept as the stored
// position; the base matrix becomes the translation by the stored base position.
bool ReadQnlGeometryBlock(ByteReader& reader, SceneMesh& mesh);
void WriteQnlGeometryBlock(ByteWriter& writer, SceneMesh& mesh);

// ---- Light block.
// Into a light that is not in the scene yet, with the reader's fixed halo, flare, cone, range
// and falloff values, negative attenuations 1 and 2 set to 0 and the light kind from the type.
// The cube map is the caller's (it needs the device).
bool ReadQnlLightBlock(ByteReader& reader, SceneLight& light);
void WriteQnlLightBlock(ByteWriter& writer, const SceneLight& light);

// ---- Camera block of the scene's camera and its rigid body.
struct QnlCameraBlock
{
    float m_fFov = 0.0f, m_fAspect = 0.0f, m_fFrontClip = 0.0f, m_fBackClip = 0.0f;
    int32_t m_nDofQuality = 0, m_nDofBlur = 0;
    float m_fDofFar = 0.0f, m_fDofNear = 0.0f, m_fControlSpeed = 0.0f, m_fFogDensity = 0.0f;
    float m_fStoredValue1 = 0.0f, m_fStoredValue2 = 0.0f;
    float m_fStoredValues[4] = {};
    float m_vFogColor[4] = {};
    uint8_t m_bDofActive = 0;
    Vector3 m_vEyePosition{0.0f, 0.0f, 0.0f};
    Vector3 m_vStoredVector1{0.0f, 0.0f, 0.0f};
    Vector3 m_vStoredVector2{0.0f, 0.0f, 0.0f};
    Vector3 m_vPosition{0.0f, 0.0f, 0.0f};
    Vector3 m_vVelocity{0.0f, 0.0f, 0.0f};
    D3DXQUATERNION m_qOrientation{0.0f, 0.0f, 0.0f, 1.0f};
    Vector3 m_vAngularVelocity{0.0f, 0.0f, 0.0f};
    Vector3 m_vDeformation{0.0f, 0.0f, 0.0f};
    Vector3 m_vDeformationRate{0.0f, 0.0f, 0.0f};
};
bool ReadQnlCameraBlock(ByteReader& reader, QnlCameraBlock& block);
void WriteQnlCameraBlock(ByteWriter& writer, const SceneCamera& camera);
// Into the camera: the orientation normalised (identity when it has no length or is not
// finite), depth-of-field quality and blur 0 replaced by 8 and 10 and clamped to their ranges,
// the fixed fog values, then a zero-length camera update.
void ApplyQnlCameraBlock(const QnlCameraBlock& block, SceneCamera& camera);
