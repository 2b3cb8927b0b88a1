#include "scene/L3DSModel.h"

#include <algorithm>
#include <cmath>

void L3DSVec3Copy(const L3DSVector& from, L3DSVector& to)
{
    to = from;
}

L3DSVector L3DSVec3Add(const L3DSVector& a, const L3DSVector& b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

L3DSVector L3DSVec3Subtract(const L3DSVector& a, const L3DSVector& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

float L3DSVec3Length(const L3DSVector& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

L3DSVector L3DSVec3Normalize(const L3DSVector& v)
{
    float fLength = L3DSVec3Length(v);
    if (fLength == 0.0f)
        return v;
    float fScale = 1.0f / fLength;
    return {v.x * fScale, v.y * fScale, v.z * fScale};
}

L3DSVector L3DSVec3Cross(const L3DSVector& a, const L3DSVector& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

L3DSMatrix L3DSMatrixIdentity()
{
    L3DSMatrix m;
    m.m[0] = m.m[5] = m.m[10] = m.m[15] = 1.0f;
    return m;
}

L3DSVertex L3DSTransformVertex(const L3DSMatrix& m, const L3DSVertex& v)
{
    const float* r = m.m;
    L3DSVertex out;
    out.x = r[0] * v.x + r[1] * v.y + r[2] * v.z + r[3] * v.w;
    out.y = r[4] * v.x + r[5] * v.y + r[6] * v.z + r[7] * v.w;
    out.z = r[8] * v.x + r[9] * v.y + r[10] * v.z + r[11] * v.w;
    float w = r[12] * v.x + r[13] * v.y + r[14] * v.z + r[15] * v.w;
    if (w != 0.0f)
    {
        out.x /= w;
        out.y /= w;
        out.z /= w;
    }
    out.w = 1.0f;
    return out;
}

void L3DSMaterial::SetShininess(float f)
{
    m_fShininess = std::clamp(f, 0.0f, 1.0f);
}

void L3DSMaterial::SetTransparency(float f)
{
    m_fTransparency = std::clamp(f, 0.0f, 1.0f);
}

void L3DSMesh::Clear()
{
    m_Vertices.clear();
    m_Normals.clear();
    m_Binormals.clear();
    m_Tangents.clear();
    m_TexCoords.clear();
    m_Triangles.clear();
    m_Faces.clear();
    m_MaterialIds.clear();
    m_Matrix = L3DSMatrixIdentity();
}

void L3DSMesh::SetVertexArraySize(uint32_t nCount)
{
    m_Vertices.resize(nCount);
    m_Normals.resize(nCount);
    m_Binormals.resize(nCount);
    m_Tangents.resize(nCount);
    m_TexCoords.resize(nCount);
}

void L3DSMesh::SetTriangleArraySize(uint32_t nCount)
{
    m_Triangles.resize(nCount);
    m_Faces.resize(nCount);
}

void L3DSMesh::SetVertex(const L3DSVertex& v, uint32_t i)
{
    if (i < GetVertexCount())
        m_Vertices[i] = v;
}

void L3DSMesh::SetNormal(const L3DSVector& v, uint32_t i)
{
    if (i < GetVertexCount())
        m_Normals[i] = v;
}

void L3DSMesh::SetUV(const L3DSTexCoord& t, uint32_t i)
{
    if (i < GetVertexCount())
        m_TexCoords[i] = t;
}

void L3DSMesh::SetTangent(const L3DSVector& v, uint32_t i)
{
    if (i < GetVertexCount())
        m_Tangents[i] = v;
}

void L3DSMesh::SetBinormal(const L3DSVector& v, uint32_t i)
{
    if (i < GetVertexCount())
        m_Binormals[i] = v;
}

void L3DSMesh::SetFace(const L3DSFace& f, uint32_t i)
{
    if (i < GetTriangleCount())
        m_Faces[i] = f;
}

L3DSVector L3DSMesh::FacePosition(uint16_t nIndex) const
{
    const L3DSVertex& v = m_Vertices[nIndex];
    return {v.x, v.y, v.z};
}

static L3DSVector FaceNormal(const L3DSVector& p0, const L3DSVector& p1, const L3DSVector& p2)
{
    return L3DSVec3Normalize(L3DSVec3Cross(L3DSVec3Subtract(p1, p2), L3DSVec3Subtract(p1, p0)));
}

L3DSFullTriangle L3DSMesh::GetFullTriangle(uint32_t i) const
{
    const L3DSFace& f = m_Faces[i];
    L3DSFullTriangle t;
    t.a = m_Vertices[f.a];
    t.b = m_Vertices[f.b];
    t.c = m_Vertices[f.c];
    t.na = m_Normals[f.a];
    t.nb = m_Normals[f.b];
    t.nc = m_Normals[f.c];
    t.ta = m_TexCoords[f.a];
    t.tb = m_TexCoords[f.b];
    t.tc = m_TexCoords[f.c];
    t.nMaterialId = f.nMaterialId;
    t.vFaceNormal = FaceNormal(FacePosition(f.a), FacePosition(f.b), FacePosition(f.c));
    return t;
}

uint32_t L3DSMesh::RemoveInvalidFaces()
{
    uint32_t nVertices = GetVertexCount();
    size_t nKept = 0;
    for (size_t i = 0; i < m_Faces.size(); ++i)
    {
        const L3DSFace& f = m_Faces[i];
        if (f.a >= nVertices || f.b >= nVertices || f.c >= nVertices)
            continue;
        m_Faces[nKept] = f;
        m_Triangles[nKept] = m_Triangles[i];
        ++nKept;
    }
    uint32_t nRemoved = static_cast<uint32_t>(m_Faces.size() - nKept);
    SetTriangleArraySize(static_cast<uint32_t>(nKept));
    return nRemoved;
}

void L3DSMesh::SetMatrix(const float m[16])
{
    std::copy(m, m + 16, m_Matrix.m);
}

uint32_t L3DSMesh::AddMaterial(uint32_t nId)
{
    m_MaterialIds.push_back(nId);
    return GetMaterialCount() - 1;
}

void L3DSMesh::TransformVertices()
{
    for (L3DSVertex& v : m_Vertices)
        v = L3DSTransformVertex(m_Matrix, v);
}

std::vector<std::vector<uint32_t>> L3DSMesh::BuildVertexFaceLists() const
{
    std::vector<std::vector<uint32_t>> lists(m_Vertices.size());
    for (uint32_t f = 0; f < m_Faces.size(); ++f)
    {
        lists[m_Faces[f].a].push_back(f);
        lists[m_Faces[f].b].push_back(f);
        lists[m_Faces[f].c].push_back(f);
    }
    return lists;
}

void L3DSMesh::SplitBySmoothingGroups(std::vector<std::vector<uint32_t>>& faceLists)
{
    uint32_t nOriginal = GetVertexCount();
    for (uint32_t v = 0; v < nOriginal; ++v)
    {
        // Masks in order of first appearance; group 0 keeps the vertex.
        std::vector<uint32_t> masks;
        for (uint32_t f : faceLists[v])
            if (std::find(masks.begin(), masks.end(), m_Faces[f].nSmoothingGroups) == masks.end())
                masks.push_back(m_Faces[f].nSmoothingGroups);
        for (size_t g = 1; g < masks.size(); ++g)
        {
            // A 16-bit index cannot reach a further vertex: the rest of the groups share v.
            if (GetVertexCount() >= L3DS_MAX_VERTICES)
                break;
            uint32_t nNew = GetVertexCount();
            m_Vertices.push_back(m_Vertices[v]);
            m_Normals.push_back(m_Normals[v]);
            m_TexCoords.push_back(m_TexCoords[v]);
            m_Tangents.push_back(m_Tangents[v]);
            m_Binormals.push_back(m_Binormals[v]);
            for (uint32_t f : faceLists[v])
            {
                L3DSFace& face = m_Faces[f];
                if (face.nSmoothingGroups != masks[g])
                    continue;
                if (face.a == v)
                    face.a = static_cast<uint16_t>(nNew);
                if (face.b == v)
                    face.b = static_cast<uint16_t>(nNew);
                if (face.c == v)
                    face.c = static_cast<uint16_t>(nNew);
            }
        }
    }
    faceLists = BuildVertexFaceLists();
}

void L3DSMesh::CalcNormals(bool bUseSmoothingGroups)
{
    for (L3DSFace& f : m_Faces)
        f.vNormal = FaceNormal(FacePosition(f.a), FacePosition(f.b), FacePosition(f.c));
    std::vector<std::vector<uint32_t>> faceLists = BuildVertexFaceLists();
    if (bUseSmoothingGroups)
        SplitBySmoothingGroups(faceLists);
    for (size_t v = 0; v < m_Vertices.size(); ++v)
    {
        L3DSVector sum;
        for (uint32_t f : faceLists[v])
            sum = L3DSVec3Add(sum, m_Faces[f].vNormal);
        m_Normals[v] = L3DSVec3Normalize(sum);
    }
    for (size_t i = 0; i < m_Faces.size(); ++i)
        m_Triangles[i] = {m_Faces[i].a, m_Faces[i].b, m_Faces[i].c};
}

void L3DSMesh::CalcTextureSpace()
{
    for (L3DSFace& f : m_Faces)
    {
        const L3DSVertex* p[3] = {&m_Vertices[f.a], &m_Vertices[f.b], &m_Vertices[f.c]};
        const L3DSTexCoord* t[3] = {&m_TexCoords[f.a], &m_TexCoords[f.b], &m_TexCoords[f.c]};
        float tangent[3], binormal[3];
        for (int k = 0; k < 3; ++k)
        {
            auto coord = [k](const L3DSVertex* v) { return k == 0 ? v->x : (k == 1 ? v->y : v->z); };
            L3DSVector e1 = {coord(p[1]) - coord(p[0]), t[1]->u - t[0]->u, t[1]->v - t[0]->v};
            L3DSVector e2 = {coord(p[2]) - coord(p[0]), t[2]->u - t[0]->u, t[2]->v - t[0]->v};
            L3DSVector K = L3DSVec3Cross(e1, e2);
            tangent[k] = -K.y / K.x;
            binormal[k] = -K.z / K.x;
        }
        f.vTangent = {tangent[0], tangent[1], tangent[2]};
        f.vBinormal = {binormal[0], binormal[1], binormal[2]};
    }
    std::vector<std::vector<uint32_t>> faceLists = BuildVertexFaceLists();
    for (size_t v = 0; v < m_Vertices.size(); ++v)
    {
        L3DSVector sum;
        for (uint32_t f : faceLists[v])
            sum = L3DSVec3Add(sum, m_Faces[f].vTangent);
        m_Tangents[v] = L3DSVec3Normalize(sum);
        m_Binormals[v] = L3DSVec3Normalize(L3DSVec3Cross(m_Tangents[v], m_Normals[v]));
    }
}

void L3DSMesh::Optimize(int nLevel)
{
    switch (nLevel)
    {
    case 0:
        TransformVertices();
        break;
    case 1:
        CalcNormals(false);
        break;
    case 2:
        CalcNormals(true);
        CalcTextureSpace();
        break;
    default:
        break;
    }
}
