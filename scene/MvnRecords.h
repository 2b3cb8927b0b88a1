#pragma once
// The rendering core's fixed-size records of ".mvn" scene files: the 2,260-byte material record
// and the 148-byte light record, decoded completely (the material into a plain record, since
// materials are shared; the light into a light of its own) before a reader changes the scene,
// and encoded field by field (little-endian) with zeros in every place that carries nothing.
#include "core/ByteStream.h"
#include "scene/SceneObject.h"

#include <d3d9.h>

#include <cstddef>
#include <cstdint>

class SceneLight;
class SceneMaterial;

constexpr size_t MVN_MATERIAL_RECORD_SIZE = 2260;
constexpr size_t MVN_LIGHT_RECORD_SIZE = 148;
// The camera record of the rendering core's own files; its content means nothing here.
constexpr size_t MVN_CAMERA_RECORD_SIZE = 88;
// The material record holds entries 0 to 4 and 6 of the material's seven texture paths; entry 5
// (the reflection map) is not stored.
constexpr int MVN_TEXTURE_PATHS = 7;
constexpr int MVN_UNSTORED_PATH = 5;

struct MvnMaterialRecord
{
    D3DMATERIAL9 m_Material{};
    float m_vReflectionColor[4] = {};
    float m_fGlossPower = 0.0f;
    float m_fBumpPower = 0.0f;
    float m_fMaterialFactor = 0.0f;
    float m_fMaterialValue1 = 0.0f;
    // Repeat factors of the diffuse slot; written, not applied by the reader.
    float m_fRepeatV = 0.0f;
    float m_fRepeatU = 0.0f;
    // Entry MVN_UNSTORED_PATH stays empty.
    char m_szTexturePaths[MVN_TEXTURE_PATHS][SCENE_NAME_SIZE] = {};
    // Entry 1 of the material's options (a float); written, not applied by the reader.
    float m_fOption1 = 0.0f;
};

// Each reads exactly its record's size or fails, leaving the reader where it was and the record
// as it was. Text fields come back NUL-terminated (at most 255 characters).
bool ReadMvnMaterialRecord(ByteReader& reader, MvnMaterialRecord& record);
void WriteMvnMaterialRecord(ByteWriter& writer, const MvnMaterialRecord& record);
// The light record is read straight into a light that is not in any scene yet.
bool ReadMvnLightRecord(ByteReader& reader, SceneLight& light);
void WriteMvnLightRecord(ByteWriter& writer, const SceneLight& light);

// The material's stored values as a record, and back. Applying copies what the record carries,
// then sets the values every ".mvn" material gets whatever the file says (white diffuse colour,
// ambient 0.2, fixed repeats, refraction index 1.2, opaque); the reflection colour's channels
// outside 0..1 become 0 and a reflection colour that is not black turns reflection on. Texture
// ids are left to the caller.
MvnMaterialRecord MakeMvnMaterialRecord(const SceneMaterial& material);
void ApplyMvnMaterialRecord(const MvnMaterialRecord& record, SceneMaterial& material);

// Makes a light just read from a ".mvn" file a point light with the fixed range, cone, halo and
// lens-flare values of the rendering core; its colours, attenuations, position, flare ring and
// the two stored halo values stay as read.
void ApplyMvnLightValues(SceneLight& light);
