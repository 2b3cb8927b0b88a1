#include "scene/QnlBlocks.h"

#include "scene/D3DXBridge.h"
#include "scene/RenderOptions.h"
#include "scene/SceneCamera.h"
#include "scene/SceneGeometryBlock.h"
#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"
#include "scene/SceneStore.h"

#include <cmath>
#include <cstring>

// The blocks are written field by field; their field lists add up to the sizes of the format.
static_assert(NAMES_BLOCK_SIZE + QNL_RENDER_OPTIONS_SIZE == QNL_SCENE_INFO_SIZE);
static_assert(4 * 1 + 2 * 4 + 2 * 1 + 2 + 2 * 4 + 4 == QNL_RENDER_OPTIONS_SIZE);
static_assert(SCENE_FIELD_SIZE + D3DMATERIAL9_RECORD_SIZE + 4 * 16 + 4 * 4 + 2 * 4 + 2 * 32 + 2 * 4 + 4 * 4 +
                  7 * SCENE_FIELD_SIZE + 1 ==
              QNL_MATERIAL_BLOCK_SIZE);
static_assert(4 + 12 + 4 * 4 + 4 + 4 * 12 + 2 * 128 + 4 == QNL_GEOMETRY_TAIL_SIZE);
static_assert(D3DLIGHT9_RECORD_SIZE + LIGHT_SETTINGS_SIZE + 1 + SCENE_FIELD_SIZE + 3 * 12 + 6 * 4 ==
              QNL_LIGHT_BLOCK_SIZE);
static_assert(12 * 4 + 2 * 16 + 1 + 5 * 12 + 16 + 3 * 12 == QNL_CAMERA_BLOCK_SIZE);

namespace
{
// Where m_nMaterialOptions entries lie in the material block: 0, 3, 4, 5 after the four
// vectors, 1, 2, 6, 7 after m_fMaterialValue1.
constexpr int FIRST_OPTIONS[4] = {0, 3, 4, 5};
constexpr int SECOND_OPTIONS[4] = {1, 2, 6, 7};

// Reader's fixed material values: the layer and per-light parameters and the refraction index.
constexpr float LAYER_OPTION_1 = 1.0f;
constexpr float LAYER_OPTION_2 = 0.5f;
constexpr float REFRACTION_INDEX = 1.2f;
// An m_fMaterialValue1 above 1 comes from files of older versions; it loads as these.
constexpr float OLD_MATERIAL_FACTOR = 0.6f;
constexpr float OLD_MATERIAL_VALUE1 = 0.03f;

// An orientation shorter than this cannot be normalised meaningfully.
constexpr float MIN_QUATERNION_LENGTH = 1e-6f;

uint8_t FlagByte(int32_t nFlag)
{
    return nFlag != 0 ? 1 : 0;
}

bool ReadBytes(ByteReader& reader, uint8_t* pValues, size_t nCount)
{
    return reader.ReadBytes(pValues, nCount);
}

// A light's kind from its Direct3D type: point lights 2, spot and directional lights (and the
// type 4 of the rendering core) 5; any other type keeps the kind it had.
void SetLightKind(SceneLight& light)
{
    const uint32_t nType = static_cast<uint32_t>(light.m_Light.Type);
    if (nType == D3DLIGHT_POINT)
        light.m_nLightKind = 2;
    else if (nType >= D3DLIGHT_SPOT && nType <= 4)
        light.m_nLightKind = 5;
}

D3DXQUATERNION NormalizedOrientation(const D3DXQUATERNION& q)
{
    float fLength = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    if (!IsFinite(q) || !std::isfinite(fLength) || fLength < MIN_QUATERNION_LENGTH)
        return D3DXQUATERNION(0.0f, 0.0f, 0.0f, 1.0f);
    return D3DXQUATERNION(q.x / fLength, q.y / fLength, q.z / fLength, q.w / fLength);
}
}

// ---- Render options.

bool ReadRenderOptionsBlock(ByteReader& reader, QnlRenderOptions& options)
{
    QnlRenderOptions read;
    uint8_t reserved[4];
    if (!reader.ReadU8(read.m_bTracePhoton) || !reader.ReadU8(read.m_bReflection) ||
        !reader.ReadU8(read.m_bDynamicCubeMap) || !reader.ReadU8(read.m_bStoredOption1) ||
        !reader.ReadI32(read.m_nCubePasses) || !reader.ReadI32(read.m_nLayerPasses) ||
        !reader.ReadU8(read.m_bForceWireframe) || !reader.ReadU8(read.m_bStoredOption2) ||
        !ReadBytes(reader, reserved, 2) || !reader.ReadF32(read.m_fLayerScale) ||
        !reader.ReadF32(read.m_fMaterialScale) || !ReadBytes(reader, reserved, 4))
        return false;
    options = read;
    return true;
}

void WriteRenderOptionsBlock(ByteWriter& writer)
{
    writer.WriteU8(FlagByte(g_bTracePhoton));
    writer.WriteU8(FlagByte(g_bReflection));
    writer.WriteU8(FlagByte(g_bDynamicCubeMap));
    writer.WriteU8(FlagByte(g_bStoredOption1));
    writer.WriteI32(g_nCubePasses);
    writer.WriteI32(g_nLayerPasses);
    writer.WriteU8(FlagByte(g_bForceWireframe));
    writer.WriteU8(FlagByte(g_bStoredOption2));
    writer.WriteZeros(2);
    writer.WriteF32(g_fLayerScale);
    writer.WriteF32(g_fMaterialScale);
    writer.WriteZeros(4);
}

void ApplyRenderOptions(const QnlRenderOptions& options)
{
    // Some passes compare a flag with 1, others with 0: any non-zero byte means on.
    g_bDynamicCubeMap = FlagByte(options.m_bDynamicCubeMap);
    g_bStoredOption1 = FlagByte(options.m_bStoredOption1);
    g_bForceWireframe = FlagByte(options.m_bForceWireframe);
    g_bStoredOption2 = FlagByte(options.m_bStoredOption2);
    // Only a pass count: the driver that reads it bounds its own loop, and the file keeps it.
    g_nCubePasses = options.m_nCubePasses;
    g_nLayerPasses = ClampOption(options.m_nLayerPasses, 0, LAYER_PASSES_MAX);
    g_fLayerScale = options.m_fLayerScale;
    g_fMaterialScale = options.m_fMaterialScale;
    g_bTracePhoton = 0;
    g_bReflection = 0;
}

// ---- Material block.

bool ReadQnlMaterialBlock(ByteReader& reader, QnlMaterialBlock& block)
{
    QnlMaterialBlock read;
    bool bOk = ReadSceneField(reader, read.m_szName) && ReadD3DMaterial(reader, read.m_Material) &&
               ReadFloats(reader, read.m_vReflectionColor, 4) && ReadFloats(reader, read.m_vOpacity, 4) &&
               ReadFloats(reader, read.m_vRefraction, 4) && ReadFloats(reader, read.m_vMaterialValues, 4);
    for (int nIndex : FIRST_OPTIONS)
        bOk = bOk && reader.ReadI32(read.m_nMaterialOptions[nIndex]);
    bOk = bOk && reader.ReadF32(read.m_fBumpPower) && reader.ReadF32(read.m_fGlossPower) &&
          ReadFloats(reader, read.m_fRepeatV, 8) && ReadFloats(reader, read.m_fRepeatU, 8) &&
          reader.ReadF32(read.m_fMaterialFactor) && reader.ReadF32(read.m_fMaterialValue1);
    for (int nIndex : SECOND_OPTIONS)
        bOk = bOk && reader.ReadI32(read.m_nMaterialOptions[nIndex]);
    for (char* szPath : read.m_szTexturePaths)
        bOk = bOk && ReadSceneField(reader, szPath);
    bOk = bOk && reader.ReadU8(read.m_nMaterialValue2Byte);
    if (bOk)
        block = read;
    return bOk;
}

void WriteQnlMaterialBlock(ByteWriter& writer, const SceneMaterial* pMaterial)
{
    static const SceneMaterial s_NewMaterial;
    const SceneMaterial& material = pMaterial ? *pMaterial : s_NewMaterial;
    WriteSceneField(writer, pMaterial ? material.m_szName : "");
    WriteD3DMaterial(writer, material.m_Material);
    WriteFloats(writer, material.m_vReflectionColor, 4);
    WriteFloats(writer, material.m_vOpacity, 4);
    WriteFloats(writer, material.m_vRefraction, 4);
    WriteFloats(writer, material.m_vMaterialValues, 4);
    for (int nIndex : FIRST_OPTIONS)
        writer.WriteI32(material.m_nMaterialOptions[nIndex]);
    writer.WriteF32(material.m_fBumpPower);
    writer.WriteF32(material.m_fGlossPower);
    WriteFloats(writer, material.m_fRepeatV, 8);
    WriteFloats(writer, material.m_fRepeatU, 8);
    writer.WriteF32(material.m_fMaterialFactor);
    writer.WriteF32(material.m_fMaterialValue1);
    for (int nIndex : SECOND_OPTIONS)
        writer.WriteI32(material.m_nMaterialOptions[nIndex]);
    for (const char* szPath : material.m_szTexturePaths)
        WriteSceneField(writer, szPath);
    uint8_t valueBytes[4];
    std::memcpy(valueBytes, &material.m_fMaterialValue2, sizeof(valueBytes));
    writer.WriteU8(valueBytes[0]);
}

void ApplyQnlMaterialBlock(const QnlMaterialBlock& block, SceneMaterial& material)
{
    material.m_Material = block.m_Material;
    std::memcpy(material.m_vReflectionColor, block.m_vReflectionColor, sizeof(block.m_vReflectionColor));
    std::memcpy(material.m_vOpacity, block.m_vOpacity, sizeof(block.m_vOpacity));
    std::memcpy(material.m_vRefraction, block.m_vRefraction, sizeof(block.m_vRefraction));
    std::memcpy(material.m_vMaterialValues, block.m_vMaterialValues, sizeof(block.m_vMaterialValues));
    std::memcpy(material.m_nMaterialOptions, block.m_nMaterialOptions, sizeof(block.m_nMaterialOptions));
    material.m_fBumpPower = block.m_fBumpPower;
    material.m_fGlossPower = block.m_fGlossPower;
    std::memcpy(material.m_fRepeatV, block.m_fRepeatV, sizeof(block.m_fRepeatV));
    std::memcpy(material.m_fRepeatU, block.m_fRepeatU, sizeof(block.m_fRepeatU));
    material.m_fMaterialFactor = block.m_fMaterialFactor;
    material.m_fMaterialValue1 = block.m_fMaterialValue1;
    std::memcpy(material.m_szTexturePaths, block.m_szTexturePaths, sizeof(block.m_szTexturePaths));
    uint8_t valueBytes[4];
    std::memcpy(valueBytes, &material.m_fMaterialValue2, sizeof(valueBytes));
    valueBytes[0] = block.m_nMaterialValue2Byte;
    std::memcpy(&material.m_fMaterialValue2, valueBytes, sizeof(valueBytes));

    if (material.m_fMaterialValue1 > 1.0f)
    {
        material.m_fMaterialFactor = OLD_MATERIAL_FACTOR;
        material.m_fMaterialValue1 = OLD_MATERIAL_VALUE1;
    }
    material.SetOptionFloat(6, 0.0f);
    material.SetOptionFloat(7, 0.0f);
    material.SetOptionFloat(1, LAYER_OPTION_1);
    material.SetOptionFloat(2, LAYER_OPTION_2);
    material.m_vRefraction[0] = REFRACTION_INDEX;
    material.m_bAlphaTransparency = 0;
    for (int i = 0; i < 3; ++i)
    {
        float& fComponent = material.m_vReflectionColor[i];
        if (!(fComponent >= 0.0f && fComponent <= 1.0f))
            fComponent = 0.0f;
    }
    for (int nPath : {SceneMaterial::PATH_DIFFUSE, SceneMaterial::PATH_GLOSS, SceneMaterial::PATH_BUMP})
        SceneStore::StripDirectory(material.m_szTexturePaths[nPath]);
}

// ---- Geometry block.

bool ReadQnlGeometryBlock(ByteReader& reader, SceneMesh& mesh)
{
    if (!ReadVertexBlock(reader, mesh))
        return false;
    int32_t nMeshFlag = 0, nSpinSpeed[3] = {}, nValues[4] = {}, nLightFlags[SceneMesh::LIGHT_SLOTS] = {},
            bLitBy[SceneMesh::LIGHT_SLOTS] = {}, nMeshValue4 = 0;
    uint8_t wireframe[4] = {};
    float fSpinSpeed[3] = {};
    Vector3 vBasePosition, vAngles, vScaling;
    if (!reader.ReadI32(nMeshFlag) || !ReadInts(reader, nSpinSpeed, 3) || !ReadInts(reader, nValues, 4) ||
        !ReadBytes(reader, wireframe, 4) || !ReadFloats(reader, fSpinSpeed, 3) || !ReadVector3(reader, vBasePosition) ||
        !ReadVector3(reader, vAngles) || !ReadVector3(reader, vScaling) ||
        !ReadInts(reader, nLightFlags, SceneMesh::LIGHT_SLOTS) || !ReadInts(reader, bLitBy, SceneMesh::LIGHT_SLOTS) ||
        !reader.ReadI32(nMeshValue4))
        return false;

    mesh.m_vStoredPosition = mesh.m_vOffset;
    mesh.m_nMeshFlag = nMeshFlag;
    std::memcpy(mesh.m_nSpinSpeed, nSpinSpeed, sizeof(nSpinSpeed));
    mesh.m_nMeshValue1 = nValues[0];
    mesh.m_bVisible = nValues[1];
    mesh.m_nMeshValue2 = nValues[2];
    mesh.m_bAutoSpin = nValues[3];
    mesh.m_bWireframe = wireframe[0];
    for (int i = 0; i < 3; ++i)
        mesh.m_fSpinSpeed[i] = fSpinSpeed[i] < 0.0f ? 0.0f : fSpinSpeed[i];
    D3DXMATRIX matBase;
    D3DXMatrixTranslation(&matBase, vBasePosition.x, vBasePosition.y, vBasePosition.z);
    mesh.m_matBase = ToMatrix4(matBase);
    mesh.m_vAngles = vAngles;
    mesh.m_vScaling = vScaling;
    std::memcpy(mesh.m_nLightFlags, nLightFlags, sizeof(nLightFlags));
    std::memcpy(mesh.m_bLitBy, bLitBy, sizeof(bLitBy));
    mesh.m_nMeshValue4 = nMeshValue4;
    return true;
}

void WriteQnlGeometryBlock(ByteWriter& writer, SceneMesh& mesh)
{
    WriteVertexBlock(writer, mesh);
    writer.WriteI32(mesh.m_bHasPath);
    WriteInts(writer, mesh.m_nSpinSpeed, 3);
    writer.WriteI32(mesh.m_nMeshValue1);
    writer.WriteI32(mesh.m_bVisible);
    writer.WriteI32(mesh.m_nMeshValue2);
    writer.WriteI32(mesh.m_bAutoSpin);
    writer.WriteU8(mesh.m_bWireframe);
    writer.WriteZeros(3);
    WriteFloats(writer, mesh.m_fSpinSpeed, 3);
    WriteVector3(writer, Vector3(mesh.m_matBase.e[12], mesh.m_matBase.e[13], mesh.m_matBase.e[14]));
    WriteVector3(writer, mesh.m_vAngles);
    WriteVector3(writer, mesh.m_vScaling);
    WriteInts(writer, mesh.m_nLightFlags, SceneMesh::LIGHT_SLOTS);
    WriteInts(writer, mesh.m_bLitBy, SceneMesh::LIGHT_SLOTS);
    writer.WriteI32(mesh.m_nMeshValue4);
}

// ---- Light block.

bool ReadQnlLightBlock(ByteReader& reader, SceneLight& light)
{
    uint8_t nLightFlag = 0;
    if (!ReadD3DLight(reader, light.m_Light) || !ReadLightSettings(reader, light) || !reader.ReadU8(nLightFlag) ||
        !ReadSceneField(reader, light.m_szCubeMapPath) || !ReadVector3(reader, light.m_vLightPosition) ||
        !ReadVector3(reader, light.m_vLightVector1) || !ReadVector3(reader, light.m_vLightVector2) ||
        !ReadInts(reader, light.m_nLightOptions, 6))
        return false;

    SetLoadedLightDisplay(light);
    light.m_Light.Range = 100000.0f;
    light.m_Light.Falloff = 0.01f;
    if (light.m_Light.Attenuation1 < 0.0f)
        light.m_Light.Attenuation1 = 0.0f;
    if (light.m_Light.Attenuation2 < 0.0f)
        light.m_Light.Attenuation2 = 0.0f;
    light.m_bCone = 0;
    light.m_fDustDensity = 0.08f;
    light.m_nConeQuality = 32;
    light.m_fNoiseScale = 0.04f;
    light.m_nTextureId = -1;
    SetLightKind(light);
    return true;
}

void WriteQnlLightBlock(ByteWriter& writer, const SceneLight& light)
{
    WriteD3DLight(writer, light.m_Light);
    WriteLightSettings(writer, light);
    writer.WriteU8(static_cast<uint8_t>(light.m_bLightFlag));
    WriteSceneField(writer, light.m_szCubeMapPath);
    WriteVector3(writer, light.m_vLightPosition);
    WriteVector3(writer, light.m_vLightVector1);
    WriteVector3(writer, light.m_vLightVector2);
    WriteInts(writer, light.m_nLightOptions, 6);
}

// ---- Camera block.

bool ReadQnlCameraBlock(ByteReader& reader, QnlCameraBlock& block)
{
    QnlCameraBlock read;
    D3DXQUATERNION& q = read.m_qOrientation;
    if (!reader.ReadF32(read.m_fFov) || !reader.ReadF32(read.m_fAspect) || !reader.ReadF32(read.m_fFrontClip) ||
        !reader.ReadF32(read.m_fBackClip) || !reader.ReadI32(read.m_nDofQuality) || !reader.ReadI32(read.m_nDofBlur) ||
        !reader.ReadF32(read.m_fDofFar) || !reader.ReadF32(read.m_fDofNear) || !reader.ReadF32(read.m_fControlSpeed) ||
        !reader.ReadF32(read.m_fFogDensity) || !reader.ReadF32(read.m_fStoredValue1) ||
        !reader.ReadF32(read.m_fStoredValue2) || !ReadFloats(reader, read.m_fStoredValues, 4) ||
        !ReadFloats(reader, read.m_vFogColor, 4) || !reader.ReadU8(read.m_bDofActive) ||
        !ReadVector3(reader, read.m_vEyePosition) || !ReadVector3(reader, read.m_vStoredVector1) ||
        !ReadVector3(reader, read.m_vStoredVector2) || !ReadVector3(reader, read.m_vPosition) ||
        !ReadVector3(reader, read.m_vVelocity) || !reader.ReadF32(q.x) || !reader.ReadF32(q.y) ||
        !reader.ReadF32(q.z) || !reader.ReadF32(q.w) || !ReadVector3(reader, read.m_vAngularVelocity) ||
        !ReadVector3(reader, read.m_vDeformation) || !ReadVector3(reader, read.m_vDeformationRate))
        return false;
    block = read;
    return true;
}

void WriteQnlCameraBlock(ByteWriter& writer, const SceneCamera& camera)
{
    const RigidBody& body = camera.m_RigidBody;
    writer.WriteF32(camera.m_fFov);
    writer.WriteF32(camera.m_fAspect);
    writer.WriteF32(camera.m_fFrontClip);
    writer.WriteF32(camera.m_fBackClip);
    writer.WriteI32(camera.m_nDofQuality);
    writer.WriteI32(camera.m_nDofBlur);
    writer.WriteF32(camera.m_fDofFar);
    writer.WriteF32(camera.m_fDofNear);
    writer.WriteF32(camera.m_fControlSpeed);
    writer.WriteF32(camera.m_fFogDensity);
    writer.WriteF32(camera.m_fStoredValue1);
    writer.WriteF32(camera.m_fStoredValue2);
    WriteFloats(writer, camera.m_fStoredValues, 4);
    WriteFloats(writer, camera.m_vFogColor, 4);
    writer.WriteU8(camera.m_bDofActive);
    WriteVector3(writer, camera.m_vEyePosition);
    WriteVector3(writer, camera.m_vStoredVector1);
    WriteVector3(writer, camera.m_vStoredVector2);
    WriteVector3(writer, body.m_vPosition);
    WriteVector3(writer, body.m_vVelocity);
    writer.WriteF32(body.m_qOrientation.x);
    writer.WriteF32(body.m_qOrientation.y);
    writer.WriteF32(body.m_qOrientation.z);
    writer.WriteF32(body.m_qOrientation.w);
    WriteVector3(writer, body.m_vAngularVelocity);
    WriteVector3(writer, body.m_vDeformation);
    WriteVector3(writer, body.m_vDeformationRate);
}

void ApplyQnlCameraBlock(const QnlCameraBlock& block, SceneCamera& camera)
{
    camera.m_fFov = block.m_fFov;
    camera.m_fAspect = block.m_fAspect;
    camera.m_fFrontClip = block.m_fFrontClip;
    camera.m_fBackClip = block.m_fBackClip;
    camera.m_nDofQuality = block.m_nDofQuality;
    camera.m_nDofBlur = block.m_nDofBlur;
    camera.m_fDofFar = block.m_fDofFar;
    camera.m_fDofNear = block.m_fDofNear;
    camera.m_fControlSpeed = block.m_fControlSpeed;
    camera.m_fFogDensity = block.m_fFogDensity;
    camera.m_fStoredValue1 = block.m_fStoredValue1;
    camera.m_fStoredValue2 = block.m_fStoredValue2;
    std::memcpy(camera.m_fStoredValues, block.m_fStoredValues, sizeof(block.m_fStoredValues));
    std::memcpy(camera.m_vFogColor, block.m_vFogColor, sizeof(block.m_vFogColor));
    camera.m_bDofActive = block.m_bDofActive;
    camera.m_vEyePosition = block.m_vEyePosition;
    camera.m_vStoredVector1 = block.m_vStoredVector1;
    camera.m_vStoredVector2 = block.m_vStoredVector2;
    RigidBody& body = camera.m_RigidBody;
    body.m_vPosition = block.m_vPosition;
    body.m_vVelocity = block.m_vVelocity;
    body.m_qOrientation = NormalizedOrientation(block.m_qOrientation);
    body.m_vAngularVelocity = block.m_vAngularVelocity;
    body.m_vDeformation = block.m_vDeformation;
    body.m_vDeformationRate = block.m_vDeformationRate;

    camera.Update(0.0f);
    camera.m_bFog = 0;
    camera.m_fFogDensity = 0.08f;
    camera.m_vFogColor[0] = 0.75f;
    camera.m_vFogColor[1] = 0.85f;
    camera.m_vFogColor[2] = 0.75f;
    camera.m_fFogScale = 0.04f;
    camera.m_fFogZ = 10.0f;
    // The depth-of-field composite takes quality samples from a table and blurs by a percentage.
    if (camera.m_nDofQuality == 0)
        camera.m_nDofQuality = 8;
    if (camera.m_nDofBlur == 0)
        camera.m_nDofBlur = 10;
    camera.m_nDofQuality = ClampOption(camera.m_nDofQuality, DOF_QUALITY_MIN, DOF_QUALITY_MAX);
    camera.m_nDofBlur = ClampOption(camera.m_nDofBlur, DOF_BLUR_MIN, DOF_BLUR_MAX);
}
