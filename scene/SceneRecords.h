#pragma once
// The pieces that the two scene formats (".qnl" and ".mvn") share: the record tags, the names
// block, the transform record, the key tracks of helper records, and the Direct3D material and
// light records and the ten light settings, each read and written field by field in
// little-endian order through ByteReader/ByteWriter. Nothing here touches a file or the scene:
// the readers decode a record completely with these before they change anything.
//
//   SceneRecordTag            the int32 that opens every record
//   ReadSceneNames / WriteSceneNames
//                             512-byte names block; names are always NUL-terminated on read
//                             (a 256-byte name without its terminator loads cut to 255) and
//                             written with zeros after the terminator
//   TransformRecord, ReadTransformRecord / WriteTransformRecord, GetObjectTransform,
//   GetLightTransform         40-byte transform record
//   SkipHelperRecord, SkipKeyTrack
//                             a helper record with its key tracks, checked against the bytes left
//   ReadD3DMaterial / WriteD3DMaterial (68 bytes), ReadD3DLight / WriteD3DLight (104 bytes),
//   ReadLightSettings / WriteLightSettings (40 bytes), ReadFloats / WriteFloats,
//   ReadInts / WriteInts, ReadVector3 / WriteVector3
//
// Every Read... returns false when the bytes run out or a check fails; the reader then drops the
// record and ends the read.
#include "core/ByteStream.h"
#include "core/Vector3.h"

#include <d3d9.h>
#include <d3dx9math.h>

#include <cstddef>
#include <cstdint>

class SceneLight;
class SceneObject;

enum SceneRecordTag : int32_t
{
    SCENE_RECORD_INFO = 0,
    // Skipped like any unknown tag: the next four bytes are the next tag.
    SCENE_RECORD_NONE = 1,
    SCENE_RECORD_GEOMETRY = 2,
    SCENE_RECORD_LIGHT = 3,
    SCENE_RECORD_CAMERA = 4,
    SCENE_RECORD_END = 5,
    // Written by the rendering core's tools only; read and dropped.
    SCENE_RECORD_HELPER = 6,
};

// Sizes of the shared records in the files.
constexpr size_t SCENE_FIELD_SIZE = 256;
constexpr size_t NAMES_BLOCK_SIZE = 2 * SCENE_FIELD_SIZE;
constexpr size_t TRANSFORM_RECORD_SIZE = 40;
constexpr size_t D3DMATERIAL9_RECORD_SIZE = 68;
constexpr size_t D3DLIGHT9_RECORD_SIZE = 104;
constexpr size_t LIGHT_SETTINGS_SIZE = 40;

// The text the writers put in both names of the scene-info record.
constexpr const char SCENE_INFO_NAME[] = "scene name";

// ---- Names block: an object's name and second name, 256 bytes each.
struct SceneNames
{
    char m_szName[SCENE_FIELD_SIZE] = {};
    char m_szSecondName[SCENE_FIELD_SIZE] = {};
};
bool ReadSceneNames(ByteReader& reader, SceneNames& names);
void WriteSceneNames(ByteWriter& writer, const char* szName, const char* szSecondName);
// One fixed 256-byte text field (a material name, a texture path), NUL-terminated on read.
bool ReadSceneField(ByteReader& reader, char* szField);
void WriteSceneField(ByteWriter& writer, const char* szText);

// ---- Transform record: position, rotation quaternion (x, y, z, w), scale.
struct TransformRecord
{
    Vector3 m_vPosition{0.0f, 0.0f, 0.0f};
    D3DXQUATERNION m_qRotation{0.0f, 0.0f, 0.0f, 0.0f};
    Vector3 m_vScale{0.0f, 0.0f, 0.0f};
};
bool ReadTransformRecord(ByteReader& reader, TransformRecord& transform);
void WriteTransformRecord(ByteWriter& writer, const TransformRecord& transform);
// A mesh's record: the object's stored transform.
TransformRecord GetObjectTransform(const SceneObject& object);
// A light's record: its own position vector with the stored rotation and scale.
TransformRecord GetLightTransform(const SceneLight& light);

// ---- Helper records and key tracks.
// A key track: int32 first, last and step, then one key of nKeyBytes for each k = first,
// first + step, ... while k <= last. The key count is computed in 64 bits and must fit the bytes
// left; a step of 0 or below with first <= last is refused. The keys are skipped.
bool SkipKeyTrack(ByteReader& reader, size_t nKeyBytes);
// The body of a helper record (after its tag): names block, transform record, three int32 track
// flags and the tracks whose flag is exactly 1 (position 12-byte keys, rotation 16, scale 12).
bool SkipHelperRecord(ByteReader& reader);

// ---- Direct3D records as the public structures lay them out.
bool ReadD3DMaterial(ByteReader& reader, D3DMATERIAL9& material);
void WriteD3DMaterial(ByteWriter& writer, const D3DMATERIAL9& material);
bool ReadD3DLight(ByteReader& reader, D3DLIGHT9& light);
void WriteD3DLight(ByteWriter& writer, const D3DLIGHT9& light);

// ---- The ten 32-bit light settings (halo, lens flare) in file order.
bool ReadLightSettings(ByteReader& reader, SceneLight& light);
void WriteLightSettings(ByteWriter& writer, const SceneLight& light);
// Both readers show every loaded light with the same halo and no flare, whatever the file
// holds, and mark it loaded (light flag 1).
void SetLoadedLightDisplay(SceneLight& light);

// ---- Plain runs of values.
bool ReadFloats(ByteReader& reader, float* pValues, size_t nCount);
void WriteFloats(ByteWriter& writer, const float* pValues, size_t nCount);
bool ReadInts(ByteReader& reader, int32_t* pValues, size_t nCount);
void WriteInts(ByteWriter& writer, const int32_t* pValues, size_t nCount);
bool ReadVector3(ByteReader& reader, Vector3& v);
void WriteVector3(ByteWriter& writer, const Vector3& v);
