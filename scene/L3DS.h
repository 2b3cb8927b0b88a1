#pragma once
// The 3DS model reader: walks the file's nested, length-prefixed chunks, keeps the meshes,
// materials, lights and cameras it recognises, skips every other chunk, and computes normals
// and texture space for each mesh. Every chunk must lie inside its parent and the file; a chunk
// that does not ends the walk of its parent.
#include "core/ByteStream.h"
#include "scene/L3DSModel.h"

#include <cstdint>
#include <vector>

// Passes a reader diagnostic to the log.
void ReportL3DSError(const char* szMessage);

class L3DSImporter
{
public:
    L3DSImporter() { L3DSImporter::Clear(); }
    virtual ~L3DSImporter() = default;
    virtual bool LoadFile(const char* szFileName) = 0;
    // Empties meshes, lights and materials and resets the optimisation level; cameras stay.
    virtual void Clear();

    uint32_t GetMeshCount() const { return static_cast<uint32_t>(m_Meshes.size()); }
    uint32_t GetLightCount() const { return static_cast<uint32_t>(m_Lights.size()); }
    uint32_t GetMaterialCount() const { return static_cast<uint32_t>(m_Materials.size()); }
    uint32_t GetCameraCount() const { return static_cast<uint32_t>(m_Cameras.size()); }
    L3DSMesh& GetMesh(uint32_t i) { return m_Meshes[i]; }
    L3DSLight& GetLight(uint32_t i) { return m_Lights[i]; }
    L3DSMaterial& GetMaterial(uint32_t i) { return m_Materials[i]; }
    L3DSCamera& GetCamera(uint32_t i) { return m_Cameras[i]; }
    L3DSMaterial* FindMaterial(const std::string& strName);
    L3DSMesh* FindMesh(const std::string& strName);
    L3DSLight* FindLight(const std::string& strName);
    void SetOptimizationLevel(int nLevel) { m_nOptimizationLevel = nLevel; }
    int GetOptimizationLevel() const { return m_nOptimizationLevel; }

protected:
    std::vector<L3DSCamera> m_Cameras;
    std::vector<L3DSLight> m_Lights;
    std::vector<L3DSMesh> m_Meshes;
    std::vector<L3DSMaterial> m_Materials;
    int m_nOptimizationLevel = 2;
};

// Offsets of a chunk's first data byte and of the byte just past it, in 64 bits so that no
// stored length can wrap them.
struct L3DSChunk
{
    uint16_t nId = 0;
    uint64_t nStart = 0;
    uint64_t nEnd = 0;
};

class L3DS : public L3DSImporter
{
public:
    L3DS() = default;
    explicit L3DS(const char* szFileName) { LoadFile(szFileName); }

    bool LoadFile(const char* szFileName) override;
    // Parses a 3DS file already in memory.
    bool LoadFromMemory(const std::vector<uint8_t>& data);

private:
    static constexpr int SEEK_FROM_START = 1900;
    static constexpr int SEEK_FROM_CURRENT = 1901;

    uint8_t ReadByte();
    uint16_t ReadUInt16();
    uint32_t ReadInt32();
    float ReadFloat();
    uint32_t ReadString(char* szOut, uint32_t nSize);
    void Seek(int64_t nOffset, int nMode);
    uint64_t GetOffset() const { return m_Reader.GetPosition(); }
    bool ReadChunkHeader(L3DSChunk& chunk);
    // Reads the header of the next child of parent; false at the parent's end or on a header
    // that is cut off, shorter than itself or longer than the parent.
    bool ReadChildHeader(const L3DSChunk& parent, L3DSChunk& chunk);
    bool FindChunk(uint16_t nId, const L3DSChunk& parent, L3DSChunk& chunk);
    void SkipChunk(const L3DSChunk& chunk) { Seek(static_cast<int64_t>(chunk.nEnd), SEEK_FROM_START); }
    void GotoChunkData(const L3DSChunk& chunk) { Seek(static_cast<int64_t>(chunk.nStart), SEEK_FROM_START); }
    // How many records of nRecordSize bytes remain before the chunk's end.
    uint64_t RecordsLeft(const L3DSChunk& chunk, uint64_t nRecordSize) const;

    bool Read3DS();
    void ReadMaterial(const L3DSChunk& parent);
    void ReadMap(const L3DSChunk& parent, L3DSMap& map);
    void ReadMesh(const L3DSChunk& parent);
    void ReadFaceList(const L3DSChunk& chunk, L3DSMesh& mesh);
    void ReadLight(const L3DSChunk& parent);
    void ReadCamera(const L3DSChunk& parent);
    L3DSColor ReadColor(const L3DSChunk& chunk);
    float ReadPercentage(const L3DSChunk& chunk);

    char m_szObjectName[100] = {};
    ByteReader m_Reader;
};
