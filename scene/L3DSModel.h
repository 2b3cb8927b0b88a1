#pragma once
// What the 3DS reader takes out of a 3DS model file: meshes with their per-vertex normals and
// texture space, materials with colours and texture maps, cameras and lights. Plain value
// classes: copying one copies all its arrays.
#include <cstdint>
#include <string>
#include <vector>

struct L3DSVertex
{
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 0.0f;
};

struct L3DSVector
{
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

struct L3DSColor
{
    float r = 0.0f, g = 0.0f, b = 0.0f;
};

struct L3DSTexCoord
{
    float u = 0.0f, v = 0.0f;
};

struct L3DSTriangle
{
    uint16_t a = 0, b = 0, c = 0;
};

// Faces that no material group lists carry this id; the importer then picks its own fallback.
constexpr uint32_t L3DS_NO_MATERIAL = 0xFFFFFFFFu;

struct L3DSFace
{
    uint16_t a = 0, b = 0, c = 0;
    uint32_t nSmoothingGroups = 0;
    L3DSVector vNormal;
    L3DSVector vTangent;
    L3DSVector vBinormal;
    uint32_t nMaterialId = L3DS_NO_MATERIAL;
};

struct L3DSFullTriangle
{
    L3DSVertex a, b, c;
    L3DSVector na, nb, nc;
    L3DSTexCoord ta, tb, tc;
    L3DSVector vFaceNormal;
    uint32_t nMaterialId = L3DS_NO_MATERIAL;
};

// Row-major: element (row r, column c) is m[4r + c].
struct L3DSMatrix
{
    float m[16] = {};
};

void L3DSVec3Copy(const L3DSVector& from, L3DSVector& to);
L3DSVector L3DSVec3Add(const L3DSVector& a, const L3DSVector& b);
L3DSVector L3DSVec3Subtract(const L3DSVector& a, const L3DSVector& b);
float L3DSVec3Length(const L3DSVector& v);
// A vector of length 0 comes back unchanged.
L3DSVector L3DSVec3Normalize(const L3DSVector& v);
L3DSVector L3DSVec3Cross(const L3DSVector& a, const L3DSVector& b);
L3DSMatrix L3DSMatrixIdentity();
// M times the column (x, y, z, w), divided by w' when w' is not 0; w' becomes 1.
L3DSVertex L3DSTransformVertex(const L3DSMatrix& m, const L3DSVertex& v);

class L3DSObject
{
public:
    virtual ~L3DSObject() = default;
    virtual const std::string& GetName() const { return m_strName; }
    virtual void SetName(const std::string& strName) { m_strName = strName; }
    bool IsNamed(const std::string& strName) const { return m_strName == strName; }

private:
    std::string m_strName;
};

struct L3DSMap
{
    float fStrength = 0.0f;
    char szFileName[256] = {};
    float fUScale = 1.0f, fVScale = 1.0f;
    float fUOffset = 0.0f, fVOffset = 0.0f;
    float fAngle = 0.0f;
};

class L3DSMaterial : public L3DSObject
{
public:
    int32_t GetID() const { return m_nID; }
    void SetID(int32_t nID) { m_nID = nID; }
    L3DSMap& GetTextureMap1() { return m_TextureMap1; }
    L3DSMap& GetTextureMap2() { return m_TextureMap2; }
    L3DSMap& GetOpacityMap() { return m_OpacityMap; }
    L3DSMap& GetReflectionMap() { return m_ReflectionMap; }
    L3DSMap& GetBumpMap() { return m_BumpMap; }
    L3DSMap& GetSpecularMap() { return m_SpecularMap; }
    const L3DSMap& GetTextureMap1() const { return m_TextureMap1; }
    const L3DSMap& GetTextureMap2() const { return m_TextureMap2; }
    const L3DSMap& GetOpacityMap() const { return m_OpacityMap; }
    const L3DSMap& GetReflectionMap() const { return m_ReflectionMap; }
    const L3DSMap& GetBumpMap() const { return m_BumpMap; }
    const L3DSMap& GetSpecularMap() const { return m_SpecularMap; }
    const L3DSColor& GetAmbientColor() const { return m_cAmbient; }
    const L3DSColor& GetDiffuseColor() const { return m_cDiffuse; }
    const L3DSColor& GetSpecularColor() const { return m_cSpecular; }
    void SetAmbientColor(const L3DSColor& c) { m_cAmbient = c; }
    void SetDiffuseColor(const L3DSColor& c) { m_cDiffuse = c; }
    void SetSpecularColor(const L3DSColor& c) { m_cSpecular = c; }
    float GetShininess() const { return m_fShininess; }
    float GetTransparency() const { return m_fTransparency; }
    int32_t GetShading() const { return m_nShading; }
    void SetShininess(float f);
    void SetTransparency(float f);
    void SetShading(int32_t n) { m_nShading = n; }

private:
    int32_t m_nID = 0;
    L3DSMap m_TextureMap1, m_TextureMap2, m_OpacityMap, m_ReflectionMap, m_BumpMap, m_SpecularMap;
    L3DSColor m_cAmbient, m_cDiffuse, m_cSpecular;
    float m_fShininess = 0.0f;
    float m_fTransparency = 0.0f;
    int32_t m_nShading = 2;
};

class L3DSCamera : public L3DSObject
{
public:
    void SetPosition(float x, float y, float z) { m_vPosition = {x, y, z}; }
    void SetTarget(float x, float y, float z) { m_vTarget = {x, y, z}; }
    const L3DSVector& GetPosition() const { return m_vPosition; }
    const L3DSVector& GetTarget() const { return m_vTarget; }
    void SetFOV(float f) { m_fFOV = f; }
    float GetFOV() const { return m_fFOV; }
    void SetBank(float f) { m_fBank = f; }
    float GetBank() const { return m_fBank; }
    void SetNearPlane(float f) { m_fNearPlane = f; }
    float GetNearPlane() const { return m_fNearPlane; }
    void SetFarPlane(float f) { m_fFarPlane = f; }
    float GetFarPlane() const { return m_fFarPlane; }

private:
    L3DSVector m_vPosition, m_vTarget;
    float m_fBank = 0.0f;
    float m_fFOV = 80.0f;
    float m_fNearPlane = 10.0f;
    float m_fFarPlane = 10000.0f;
};

class L3DSLight : public L3DSObject
{
public:
    void SetPosition(float x, float y, float z) { m_vPosition = {x, y, z}; }
    void SetColor(float r, float g, float b) { m_cColor = {r, g, b}; }
    void SetTarget(float x, float y, float z) { m_vTarget = {x, y, z}; }
    const L3DSVector& GetPosition() const { return m_vPosition; }
    const L3DSColor& GetColor() const { return m_cColor; }
    const L3DSVector& GetTarget() const { return m_vTarget; }
    void SetSpotlight(bool b) { m_bSpotlight = b; }
    bool IsSpotlight() const { return m_bSpotlight; }
    void SetHotspot(float f) { m_fHotspot = f; }
    float GetHotspot() const { return m_fHotspot; }
    void SetFalloff(float f) { m_fFalloff = f; }
    float GetFalloff() const { return m_fFalloff; }
    void SetAttenuationStart(float f) { m_fAttenuationStart = f; }
    float GetAttenuationStart() const { return m_fAttenuationStart; }
    void SetAttenuationEnd(float f) { m_fAttenuationEnd = f; }
    float GetAttenuationEnd() const { return m_fAttenuationEnd; }

private:
    L3DSVector m_vPosition;
    L3DSColor m_cColor;
    bool m_bSpotlight = false;
    L3DSVector m_vTarget;
    float m_fHotspot = 0.0f;
    float m_fFalloff = 0.0f;
    float m_fAttenuationEnd = 1000.0f;
    float m_fAttenuationStart = 100.0f;
};

// Vertex indices are 16-bit, so a mesh holds at most this many vertices, split ones included.
constexpr uint32_t L3DS_MAX_VERTICES = 65536;

class L3DSMesh : public L3DSObject
{
public:
    L3DSMesh() { Clear(); }

    void Clear();
    uint32_t GetVertexCount() const { return static_cast<uint32_t>(m_Vertices.size()); }
    void SetVertexArraySize(uint32_t nCount);
    uint32_t GetTriangleCount() const { return static_cast<uint32_t>(m_Triangles.size()); }
    void SetTriangleArraySize(uint32_t nCount);

    const L3DSVertex& GetVertex(uint32_t i) const { return m_Vertices[i]; }
    const L3DSVector& GetNormal(uint32_t i) const { return m_Normals[i]; }
    const L3DSTexCoord& GetUV(uint32_t i) const { return m_TexCoords[i]; }
    const L3DSVector& GetTangent(uint32_t i) const { return m_Tangents[i]; }
    const L3DSVector& GetBinormal(uint32_t i) const { return m_Binormals[i]; }
    void SetVertex(const L3DSVertex& v, uint32_t i);
    void SetNormal(const L3DSVector& v, uint32_t i);
    void SetUV(const L3DSTexCoord& t, uint32_t i);
    void SetTangent(const L3DSVector& v, uint32_t i);
    void SetBinormal(const L3DSVector& v, uint32_t i);

    const L3DSTriangle& GetTriangle(uint32_t i) const { return m_Triangles[i]; }
    L3DSFace& GetFace(uint32_t i) { return m_Faces[i]; }
    const L3DSFace& GetFace(uint32_t i) const { return m_Faces[i]; }
    void SetFace(const L3DSFace& f, uint32_t i);
    L3DSFullTriangle GetFullTriangle(uint32_t i) const;
    // Removes the faces that name a vertex at or past the vertex count; returns how many.
    uint32_t RemoveInvalidFaces();

    L3DSMatrix GetMatrix() const { return m_Matrix; }
    void SetMatrix(const float m[16]);
    uint32_t GetMaterialId(uint32_t i) const { return m_MaterialIds[i]; }
    uint32_t AddMaterial(uint32_t nId);
    uint32_t GetMaterialCount() const { return static_cast<uint32_t>(m_MaterialIds.size()); }

    void TransformVertices();
    void CalcNormals(bool bUseSmoothingGroups);
    void CalcTextureSpace();
    // 0 applies the local matrix, 1 computes flat-shared normals, 2 normals with smoothing
    // groups and then texture space; other levels do nothing.
    void Optimize(int nLevel);

private:
    std::vector<std::vector<uint32_t>> BuildVertexFaceLists() const;
    void SplitBySmoothingGroups(std::vector<std::vector<uint32_t>>& faceLists);
    L3DSVector FacePosition(uint16_t nIndex) const;

    std::vector<L3DSVertex> m_Vertices;
    std::vector<L3DSVector> m_Normals;
    std::vector<L3DSVector> m_Binormals;
    std::vector<L3DSVector> m_Tangents;
    std::vector<L3DSTexCoord> m_TexCoords;
    std::vector<L3DSTriangle> m_Triangles;
    std::vector<L3DSFace> m_Faces;
    L3DSMatrix m_Matrix;
    std::vector<uint32_t> m_MaterialIds;
};
