#include "scene/SceneRecords.h"

#include "scene/SceneLight.h"
#include "scene/SceneObject.h"

static_assert(SCENE_FIELD_SIZE == SCENE_NAME_SIZE, "names and paths are read straight into the objects' fields");
// Every field of the two Direct3D records is 4 bytes and is read and written one by one.
static_assert(sizeof(D3DMATERIAL9) == D3DMATERIAL9_RECORD_SIZE && sizeof(D3DLIGHT9) == D3DLIGHT9_RECORD_SIZE);
static_assert(10 * 4 == LIGHT_SETTINGS_SIZE);

namespace
{
// Key sizes of the three tracks of a helper record: position and scale keys are three floats,
// rotation keys a quaternion.
constexpr size_t POSITION_KEY_BYTES = 12;
constexpr size_t ROTATION_KEY_BYTES = 16;
constexpr size_t SCALE_KEY_BYTES = 12;

bool ReadColorValue(ByteReader& reader, D3DCOLORVALUE& color)
{
    return reader.ReadF32(color.r) && reader.ReadF32(color.g) && reader.ReadF32(color.b) && reader.ReadF32(color.a);
}

void WriteColorValue(ByteWriter& writer, const D3DCOLORVALUE& color)
{
    writer.WriteF32(color.r);
    writer.WriteF32(color.g);
    writer.WriteF32(color.b);
    writer.WriteF32(color.a);
}

bool ReadD3DVector(ByteReader& reader, D3DVECTOR& v)
{
    return reader.ReadF32(v.x) && reader.ReadF32(v.y) && reader.ReadF32(v.z);
}

void WriteD3DVector(ByteWriter& writer, const D3DVECTOR& v)
{
    writer.WriteF32(v.x);
    writer.WriteF32(v.y);
    writer.WriteF32(v.z);
}
}

bool ReadSceneField(ByteReader& reader, char* szField)
{
    return reader.ReadFixedString(szField, SCENE_FIELD_SIZE);
}

void WriteSceneField(ByteWriter& writer, const char* szText)
{
    writer.WriteFixedString(szText, SCENE_FIELD_SIZE);
}

bool ReadSceneNames(ByteReader& reader, SceneNames& names)
{
    return ReadSceneField(reader, names.m_szName) && ReadSceneField(reader, names.m_szSecondName);
}

void WriteSceneNames(ByteWriter& writer, const char* szName, const char* szSecondName)
{
    WriteSceneField(writer, szName);
    WriteSceneField(writer, szSecondName);
}

bool ReadTransformRecord(ByteReader& reader, TransformRecord& transform)
{
    TransformRecord read;
    if (!ReadVector3(reader, read.m_vPosition) || !reader.ReadF32(read.m_qRotation.x) ||
        !reader.ReadF32(read.m_qRotation.y) || !reader.ReadF32(read.m_qRotation.z) ||
        !reader.ReadF32(read.m_qRotation.w) || !ReadVector3(reader, read.m_vScale))
        return false;
    transform = read;
    return true;
}

void WriteTransformRecord(ByteWriter& writer, const TransformRecord& transform)
{
    WriteVector3(writer, transform.m_vPosition);
    writer.WriteF32(transform.m_qRotation.x);
    writer.WriteF32(transform.m_qRotation.y);
    writer.WriteF32(transform.m_qRotation.z);
    writer.WriteF32(transform.m_qRotation.w);
    WriteVector3(writer, transform.m_vScale);
}

TransformRecord GetObjectTransform(const SceneObject& object)
{
    TransformRecord transform;
    transform.m_vPosition = object.m_vPosition;
    transform.m_qRotation = object.m_qRotation;
    transform.m_vScale = object.m_vScale;
    return transform;
}

TransformRecord GetLightTransform(const SceneLight& light)
{
    TransformRecord transform = GetObjectTransform(light);
    transform.m_vPosition = light.m_vLightPosition;
    return transform;
}

bool SkipKeyTrack(ByteReader& reader, size_t nKeyBytes)
{
    int32_t nFirst = 0, nLast = 0, nStep = 0;
    if (!reader.ReadI32(nFirst) || !reader.ReadI32(nLast) || !reader.ReadI32(nStep))
        return false;
    if (nFirst > nLast)
        return true;
    // A track that never reaches its end cannot be followed.
    if (nStep <= 0)
        return false;
    int64_t nKeys = (static_cast<int64_t>(nLast) - nFirst) / nStep + 1;
    if (static_cast<uint64_t>(nKeys) > reader.GetRemaining() / nKeyBytes)
        return false;
    return reader.Skip(static_cast<size_t>(nKeys) * nKeyBytes);
}

bool SkipHelperRecord(ByteReader& reader)
{
    SceneNames names;
    TransformRecord transform;
    int32_t nFlags[3] = {};
    if (!ReadSceneNames(reader, names) || !ReadTransformRecord(reader, transform) || !ReadInts(reader, nFlags, 3))
        return false;
    const size_t keyBytes[3] = {POSITION_KEY_BYTES, ROTATION_KEY_BYTES, SCALE_KEY_BYTES};
    for (int i = 0; i < 3; ++i)
    {
        if (nFlags[i] == 1 && !SkipKeyTrack(reader, keyBytes[i]))
            return false;
    }
    return true;
}

bool ReadD3DMaterial(ByteReader& reader, D3DMATERIAL9& material)
{
    D3DMATERIAL9 read{};
    if (!ReadColorValue(reader, read.Diffuse) || !ReadColorValue(reader, read.Ambient) ||
        !ReadColorValue(reader, read.Specular) || !ReadColorValue(reader, read.Emissive) || !reader.ReadF32(read.Power))
        return false;
    material = read;
    return true;
}

void WriteD3DMaterial(ByteWriter& writer, const D3DMATERIAL9& material)
{
    WriteColorValue(writer, material.Diffuse);
    WriteColorValue(writer, material.Ambient);
    WriteColorValue(writer, material.Specular);
    WriteColorValue(writer, material.Emissive);
    writer.WriteF32(material.Power);
}

bool ReadD3DLight(ByteReader& reader, D3DLIGHT9& light)
{
    D3DLIGHT9 read{};
    uint32_t nType = 0;
    if (!reader.ReadU32(nType) || !ReadColorValue(reader, read.Diffuse) || !ReadColorValue(reader, read.Specular) ||
        !ReadColorValue(reader, read.Ambient) || !ReadD3DVector(reader, read.Position) ||
        !ReadD3DVector(reader, read.Direction) || !reader.ReadF32(read.Range) || !reader.ReadF32(read.Falloff) ||
        !reader.ReadF32(read.Attenuation0) || !reader.ReadF32(read.Attenuation1) ||
        !reader.ReadF32(read.Attenuation2) || !reader.ReadF32(read.Theta) || !reader.ReadF32(read.Phi))
        return false;
    // Any type value is kept as it stands; the readers decide what an unknown type means.
    read.Type = static_cast<D3DLIGHTTYPE>(nType);
    light = read;
    return true;
}

void WriteD3DLight(ByteWriter& writer, const D3DLIGHT9& light)
{
    writer.WriteU32(static_cast<uint32_t>(light.Type));
    WriteColorValue(writer, light.Diffuse);
    WriteColorValue(writer, light.Specular);
    WriteColorValue(writer, light.Ambient);
    WriteD3DVector(writer, light.Position);
    WriteD3DVector(writer, light.Direction);
    writer.WriteF32(light.Range);
    writer.WriteF32(light.Falloff);
    writer.WriteF32(light.Attenuation0);
    writer.WriteF32(light.Attenuation1);
    writer.WriteF32(light.Attenuation2);
    writer.WriteF32(light.Theta);
    writer.WriteF32(light.Phi);
}

void SetLoadedLightDisplay(SceneLight& light)
{
    light.m_bHalo = 1;
    light.m_fHaloSize = 5.0f;
    light.m_fHaloPower = 1.0f;
    light.m_bLensFlare = 0;
    light.m_fLensFlareSize = 120.0f;
    light.m_fLensFlareDensity = 0.3f;
    light.m_nLensCount = 3;
    light.m_bLightFlag = 1;
}

bool ReadLightSettings(ByteReader& reader, SceneLight& light)
{
    int32_t bHalo = 0, bLensFlare = 0, bLensFlareRing = 0, nLensCount = 0;
    float fHaloValue1 = 0, fHaloSize = 0, fHaloValue2 = 0, fHaloPower = 0, fLensFlareSize = 0, fLensFlareDensity = 0;
    if (!reader.ReadI32(bHalo) || !reader.ReadF32(fHaloValue1) || !reader.ReadF32(fHaloSize) ||
        !reader.ReadF32(fHaloValue2) || !reader.ReadF32(fHaloPower) || !reader.ReadI32(bLensFlare) ||
        !reader.ReadI32(bLensFlareRing) || !reader.ReadI32(nLensCount) || !reader.ReadF32(fLensFlareSize) ||
        !reader.ReadF32(fLensFlareDensity))
        return false;
    light.m_bHalo = bHalo;
    light.m_fHaloValue1 = fHaloValue1;
    light.m_fHaloSize = fHaloSize;
    light.m_fHaloValue2 = fHaloValue2;
    light.m_fHaloPower = fHaloPower;
    light.m_bLensFlare = bLensFlare;
    light.m_bLensFlareRing = bLensFlareRing;
    light.m_nLensCount = nLensCount;
    light.m_fLensFlareSize = fLensFlareSize;
    light.m_fLensFlareDensity = fLensFlareDensity;
    return true;
}

void WriteLightSettings(ByteWriter& writer, const SceneLight& light)
{
    writer.WriteI32(light.m_bHalo);
    writer.WriteF32(light.m_fHaloValue1);
    writer.WriteF32(light.m_fHaloSize);
    writer.WriteF32(light.m_fHaloValue2);
    writer.WriteF32(light.m_fHaloPower);
    writer.WriteI32(light.m_bLensFlare);
    writer.WriteI32(light.m_bLensFlareRing);
    writer.WriteI32(light.m_nLensCount);
    writer.WriteF32(light.m_fLensFlareSize);
    writer.WriteF32(light.m_fLensFlareDensity);
}

bool ReadFloats(ByteReader& reader, float* pValues, size_t nCount)
{
    for (size_t i = 0; i < nCount; ++i)
    {
        if (!reader.ReadF32(pValues[i]))
            return false;
    }
    return true;
}

void WriteFloats(ByteWriter& writer, const float* pValues, size_t nCount)
{
    for (size_t i = 0; i < nCount; ++i)
        writer.WriteF32(pValues[i]);
}

bool ReadInts(ByteReader& reader, int32_t* pValues, size_t nCount)
{
    for (size_t i = 0; i < nCount; ++i)
    {
        if (!reader.ReadI32(pValues[i]))
            return false;
    }
    return true;
}

void WriteInts(ByteWriter& writer, const int32_t* pValues, size_t nCount)
{
    for (size_t i = 0; i < nCount; ++i)
        writer.WriteI32(pValues[i]);
}

bool ReadVector3(ByteReader& reader, Vector3& v)
{
    float x = 0, y = 0, z = 0;
    if (!reader.ReadF32(x) || !reader.ReadF32(y) || !reader.ReadF32(z))
        return false;
    v = Vector3(x, y, z);
    return true;
}

void WriteVector3(ByteWriter& writer, const Vector3& v)
{
    writer.WriteF32(v.x);
    writer.WriteF32(v.y);
    writer.WriteF32(v.z);
}
