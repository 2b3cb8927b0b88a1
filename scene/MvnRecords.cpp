#include "scene/MvnRecords.h"

#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneRecords.h"

namespace
{
// Byte offsets inside the material record. The gaps between the fields are the rendering core's
// own and carry nothing here.
constexpr size_t MAT_MATERIAL = 0;
constexpr size_t MAT_REFLECTION = 68;
constexpr size_t MAT_GLOSS_POWER = 116;
constexpr size_t MAT_BUMP_POWER = 148;
constexpr size_t MAT_FACTOR = 152;
constexpr size_t MAT_VALUE1 = 156;
constexpr size_t MAT_REPEAT_V = 164;
constexpr size_t MAT_REPEAT_U = 168;
constexpr size_t MAT_PATHS = 184;        // entries 0 to 4, 256 bytes each
constexpr size_t MAT_OPACITY_PATH = 1976;  // entry 6
constexpr size_t MAT_OPTION1 = 2248;
static_assert(MAT_MATERIAL + D3DMATERIAL9_RECORD_SIZE <= MAT_REFLECTION && MAT_REFLECTION + 16 <= MAT_GLOSS_POWER);
// Bump power, factor and value 1 are read and written one after the other, as are the repeats.
static_assert(MAT_BUMP_POWER + 4 == MAT_FACTOR && MAT_FACTOR + 4 == MAT_VALUE1);
static_assert(MAT_REPEAT_V + 4 == MAT_REPEAT_U);
static_assert(MAT_VALUE1 + 4 <= MAT_REPEAT_V && MAT_REPEAT_U + 4 <= MAT_PATHS);
static_assert(MAT_PATHS + MVN_UNSTORED_PATH * SCENE_NAME_SIZE + 2 * SCENE_NAME_SIZE == MAT_OPACITY_PATH);
static_assert(MAT_OPACITY_PATH + SCENE_NAME_SIZE <= MAT_OPTION1 && MAT_OPTION1 + 4 <= MVN_MATERIAL_RECORD_SIZE);

// Byte offsets inside the light record.
constexpr size_t LIGHT_LIGHT = 0;
constexpr size_t LIGHT_SETTINGS = 104;
constexpr size_t LIGHT_FLAG = 144;
static_assert(LIGHT_LIGHT + D3DLIGHT9_RECORD_SIZE == LIGHT_SETTINGS);
static_assert(LIGHT_SETTINGS + LIGHT_SETTINGS_SIZE == LIGHT_FLAG && LIGHT_FLAG + 1 <= MVN_LIGHT_RECORD_SIZE);

// Fixed values of every light read from a ".mvn" file.
constexpr float MVN_LIGHT_RANGE = 10000.0f;
constexpr float MVN_LIGHT_FALLOFF = 0.01f;
constexpr float MVN_LIGHT_CONE = 0.314159f;  // pi / 10, hot spot and falloff angle
constexpr int32_t LIGHT_KIND_POINT = 2;

// Zeros up to nOffset bytes past the record's start.
void PadTo(ByteWriter& writer, size_t nStart, size_t nOffset)
{
    writer.WriteZeros(nStart + nOffset - writer.GetSize());
}

// Where the stored paths lie in the record; the unstored entry has none.
size_t PathOffset(int nEntry)
{
    return nEntry == MVN_TEXTURE_PATHS - 1 ? MAT_OPACITY_PATH : MAT_PATHS + static_cast<size_t>(nEntry) * SCENE_NAME_SIZE;
}

bool IsStoredPath(int nEntry)
{
    return nEntry != MVN_UNSTORED_PATH;
}

// A channel outside 0..1 (or not a number) carries no reflection.
float ClampReflection(float f)
{
    return f >= 0.0f && f <= 1.0f ? f : 0.0f;
}
}

bool ReadMvnMaterialRecord(ByteReader& reader, MvnMaterialRecord& record)
{
    if (reader.GetRemaining() < MVN_MATERIAL_RECORD_SIZE)
        return false;
    ByteReader fields(reader.GetCurrent(), MVN_MATERIAL_RECORD_SIZE);
    MvnMaterialRecord decoded;
    ReadD3DMaterial(fields, decoded.m_Material);
    fields.Seek(MAT_REFLECTION);
    ReadFloats(fields, decoded.m_vReflectionColor, 4);
    fields.Seek(MAT_GLOSS_POWER);
    fields.ReadF32(decoded.m_fGlossPower);
    fields.Seek(MAT_BUMP_POWER);
    fields.ReadF32(decoded.m_fBumpPower);
    fields.ReadF32(decoded.m_fMaterialFactor);
    fields.ReadF32(decoded.m_fMaterialValue1);
    fields.Seek(MAT_REPEAT_V);
    fields.ReadF32(decoded.m_fRepeatV);
    fields.ReadF32(decoded.m_fRepeatU);
    for (int i = 0; i < MVN_TEXTURE_PATHS; ++i)
    {
        if (IsStoredPath(i))
        {
            fields.Seek(PathOffset(i));
            ReadSceneField(fields, decoded.m_szTexturePaths[i]);
        }
    }
    fields.Seek(MAT_OPTION1);
    fields.ReadF32(decoded.m_fOption1);
    if (!fields.IsGood())
        return false;
    reader.Skip(MVN_MATERIAL_RECORD_SIZE);
    record = decoded;
    return true;
}

void WriteMvnMaterialRecord(ByteWriter& writer, const MvnMaterialRecord& record)
{
    const size_t nStart = writer.GetSize();
    WriteD3DMaterial(writer, record.m_Material);
    PadTo(writer, nStart, MAT_REFLECTION);
    WriteFloats(writer, record.m_vReflectionColor, 4);
    PadTo(writer, nStart, MAT_GLOSS_POWER);
    writer.WriteF32(record.m_fGlossPower);
    PadTo(writer, nStart, MAT_BUMP_POWER);
    writer.WriteF32(record.m_fBumpPower);
    writer.WriteF32(record.m_fMaterialFactor);
    writer.WriteF32(record.m_fMaterialValue1);
    PadTo(writer, nStart, MAT_REPEAT_V);
    writer.WriteF32(record.m_fRepeatV);
    writer.WriteF32(record.m_fRepeatU);
    for (int i = 0; i < MVN_TEXTURE_PATHS; ++i)
    {
        if (IsStoredPath(i))
        {
            PadTo(writer, nStart, PathOffset(i));
            WriteSceneField(writer, record.m_szTexturePaths[i]);
        }
    }
    PadTo(writer, nStart, MAT_OPTION1);
    writer.WriteF32(record.m_fOption1);
    PadTo(writer, nStart, MVN_MATERIAL_RECORD_SIZE);
}

bool ReadMvnLightRecord(ByteReader& reader, SceneLight& light)
{
    if (reader.GetRemaining() < MVN_LIGHT_RECORD_SIZE)
        return false;
    ByteReader fields(reader.GetCurrent(), MVN_LIGHT_RECORD_SIZE);
    uint8_t nFlag = 0;
    if (!ReadD3DLight(fields, light.m_Light) || !ReadLightSettings(fields, light) || !fields.ReadU8(nFlag))
        return false;
    light.m_bLightFlag = static_cast<int8_t>(nFlag);
    return reader.Skip(MVN_LIGHT_RECORD_SIZE);
}

void WriteMvnLightRecord(ByteWriter& writer, const SceneLight& light)
{
    const size_t nStart = writer.GetSize();
    WriteD3DLight(writer, light.m_Light);
    WriteLightSettings(writer, light);
    writer.WriteU8(static_cast<uint8_t>(light.m_bLightFlag));
    PadTo(writer, nStart, MVN_LIGHT_RECORD_SIZE);
}

MvnMaterialRecord MakeMvnMaterialRecord(const SceneMaterial& material)
{
    MvnMaterialRecord record;
    record.m_Material = material.m_Material;
    for (int i = 0; i < 4; ++i)
        record.m_vReflectionColor[i] = material.m_vReflectionColor[i];
    record.m_fGlossPower = material.m_fGlossPower;
    record.m_fBumpPower = material.m_fBumpPower;
    record.m_fMaterialFactor = material.m_fMaterialFactor;
    record.m_fMaterialValue1 = material.m_fMaterialValue1;
    record.m_fRepeatV = material.m_fRepeatV[SceneMaterial::REPEAT_DIFFUSE];
    record.m_fRepeatU = material.m_fRepeatU[SceneMaterial::REPEAT_DIFFUSE];
    for (int i = 0; i < MVN_TEXTURE_PATHS; ++i)
    {
        if (IsStoredPath(i))
            CopySceneName(record.m_szTexturePaths[i], material.m_szTexturePaths[i]);
    }
    record.m_fOption1 = material.GetOptionFloat(1);
    return record;
}

void ApplyMvnMaterialRecord(const MvnMaterialRecord& record, SceneMaterial& material)
{
    material.m_Material = record.m_Material;
    for (int i = 0; i < MVN_TEXTURE_PATHS; ++i)
    {
        if (IsStoredPath(i))
            CopySceneName(material.m_szTexturePaths[i], record.m_szTexturePaths[i]);
    }
    material.m_fGlossPower = record.m_fGlossPower;
    // Bump strengths below 1 flatten the normal map to nothing.
    material.m_fBumpPower = record.m_fBumpPower >= 1.0f ? record.m_fBumpPower : 1.0f;
    material.m_fMaterialFactor = record.m_fMaterialFactor;
    material.m_fMaterialValue1 = record.m_fMaterialValue1;
    for (int i = 0; i < 4; ++i)
        material.m_vReflectionColor[i] = record.m_vReflectionColor[i];

    // The rendering core's files carry its own map orientation and colours; these are the values
    // the renderers expect of every material loaded from one.
    material.m_fRepeatU[SceneMaterial::REPEAT_DIFFUSE] = 1.0f;
    material.m_fRepeatV[SceneMaterial::REPEAT_DIFFUSE] = -1.0f;
    material.m_fRepeatU[SceneMaterial::REPEAT_BUMP] = -1.0f;
    material.m_fRepeatV[SceneMaterial::REPEAT_BUMP] = 1.0f;
    material.m_fRepeatU[SceneMaterial::REPEAT_GLOSS] = 1.0f;
    material.m_fRepeatV[SceneMaterial::REPEAT_GLOSS] = -1.0f;
    material.m_Material.Diffuse.r = material.m_Material.Diffuse.g = material.m_Material.Diffuse.b = 1.0f;
    material.m_Material.Ambient.r = material.m_Material.Ambient.g = material.m_Material.Ambient.b = 0.2f;
    material.m_vRefraction[0] = 1.2f;
    material.m_bAlphaTransparency = 0;
    material.m_vOpacity[0] = 1.0f;

    bool bReflects = false;
    for (int i = 0; i < 3; ++i)
    {
        material.m_vReflectionColor[i] = ClampReflection(material.m_vReflectionColor[i]);
        bReflects = bReflects || material.m_vReflectionColor[i] != 0.0f;
    }
    if (bReflects)
        material.m_bMaterialByte2 = 1;
}

void ApplyMvnLightValues(SceneLight& light)
{
    // Every light of the rendering core's files is shown as a haloed point light.
    light.m_Light.Type = D3DLIGHT_POINT;
    light.m_Light.Direction = D3DVECTOR{0.0f, 0.0f, 1.0f};
    light.m_Light.Range = MVN_LIGHT_RANGE;
    light.m_Light.Falloff = MVN_LIGHT_FALLOFF;
    light.m_Light.Theta = MVN_LIGHT_CONE;
    light.m_Light.Phi = MVN_LIGHT_CONE;
    // The file's flag byte was read, and is replaced.
    SetLoadedLightDisplay(light);
    light.m_nLightKind = LIGHT_KIND_POINT;
}
