#include "XMeshBuilder.h"

#include "MeshObject.h"

#include <rmxfguid.h>

#include <cstring>
#include <unordered_map>

namespace
{
// What one load may make, whatever references repeat a mesh: far above the sample models.
constexpr size_t kMaxVertices = size_t(1) << 22;
constexpr size_t kMaxTriangles = size_t(1) << 22;

// Bounded reads from an object's data.
class DataCursor
{
public:
    DataCursor(const void* pData, size_t nSize) : m_pData(static_cast<const BYTE*>(pData)), m_nSize(nSize) {}

    bool Dword(DWORD& nValue) { return Copy(&nValue, 4); }
    bool Float(float& fValue) { return Copy(&fValue, 4); }
    bool Vector(D3DXVECTOR3& v) { return Float(v.x) && Float(v.y) && Float(v.z); }
    bool String(const char*& szText) { return Copy(&szText, sizeof(szText)); }
    // Whether nCount items of nBytes each are still there.
    bool Holds(DWORD nCount, size_t nBytes) const { return nCount <= (m_nSize - m_nPos) / nBytes; }

private:
    bool Copy(void* pOut, size_t nBytes)
    {
        if (nBytes > m_nSize - m_nPos)
            return false;
        std::memcpy(pOut, m_pData + m_nPos, nBytes);
        m_nPos += nBytes;
        return true;
    }

    const BYTE* m_pData;
    size_t m_nSize;
    size_t m_nPos = 0;
};

// Polygons as a flat index list with each polygon's first index and size.
struct PolygonList
{
    std::vector<DWORD> starts;
    std::vector<DWORD> sizes;
    std::vector<DWORD> indices;
};

// nCount polygons whose indices are all below nLimit; false when the data does not hold them.
bool ReadPolygons(DataCursor& cursor, DWORD nLimit, PolygonList& polygons, bool bTriangles)
{
    DWORD nCount;
    if (!cursor.Dword(nCount) || !cursor.Holds(nCount, 4))
        return false;
    polygons.starts.reserve(nCount);
    for (DWORD f = 0; f < nCount; ++f)
    {
        DWORD nSize;
        if (!cursor.Dword(nSize) || !cursor.Holds(nSize, 4) || (bTriangles && nSize < 3))
            return false;
        polygons.starts.push_back((DWORD)polygons.indices.size());
        polygons.sizes.push_back(nSize);
        for (DWORD i = 0; i < nSize; ++i)
        {
            DWORD nIndex;
            if (!cursor.Dword(nIndex) || nIndex >= nLimit)
                return false;
            polygons.indices.push_back(nIndex);
        }
    }
    return true;
}

// The data object behind a child: the child itself or the object a reference names. Null for
// anything else; the caller releases the result.
IDirectXFileData* ChildData(IDirectXFileObject* pChild)
{
    IDirectXFileData* pData = nullptr;
    if (SUCCEEDED(pChild->QueryInterface(IID_IDirectXFileData, reinterpret_cast<void**>(&pData))))
        return pData;
    IDirectXFileDataReference* pReference = nullptr;
    if (SUCCEEDED(pChild->QueryInterface(IID_IDirectXFileDataReference, reinterpret_cast<void**>(&pReference))))
    {
        if (FAILED(pReference->Resolve(&pData)))
            pData = nullptr;
        pReference->Release();
    }
    return pData;
}

// The children of an object as data objects, references resolved, unresolvable ones left out.
std::vector<IDirectXFileData*> ChildObjects(IDirectXFileData* pObject)
{
    std::vector<IDirectXFileData*> children;
    IDirectXFileObject* pChild = nullptr;
    while (SUCCEEDED(pObject->GetNextObject(&pChild)))
    {
        if (IDirectXFileData* pData = ChildData(pChild))
            children.push_back(pData);
        pChild->Release();
    }
    return children;
}

void ReleaseAll(std::vector<IDirectXFileData*>& objects)
{
    for (IDirectXFileData* pObject : objects)
        pObject->Release();
    objects.clear();
}

bool IsType(IDirectXFileData* pObject, const GUID& type)
{
    const GUID* pType = nullptr;
    return SUCCEEDED(pObject->GetType(&pType)) && pType && *pType == type;
}

D3DMATERIAL9 WhiteMaterial()
{
    D3DMATERIAL9 material{};
    material.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    return material;
}
}

bool XMeshBuilder::Refuse(const std::string& text)
{
    m_strError = text;
    return false;
}

bool XMeshBuilder::ReadMaterial(IDirectXFileData* pObject, Material& material)
{
    DWORD nSize = 0;
    void* pData = nullptr;
    if (FAILED(pObject->GetData(nullptr, &nSize, &pData)))
        return Refuse("material without data");
    DataCursor cursor(pData, nSize);
    D3DMATERIAL9& m = material.material;
    m = D3DMATERIAL9{};
    if (!cursor.Float(m.Diffuse.r) || !cursor.Float(m.Diffuse.g) || !cursor.Float(m.Diffuse.b) ||
        !cursor.Float(m.Diffuse.a) || !cursor.Float(m.Power) || !cursor.Float(m.Specular.r) ||
        !cursor.Float(m.Specular.g) || !cursor.Float(m.Specular.b) || !cursor.Float(m.Emissive.r) ||
        !cursor.Float(m.Emissive.g) || !cursor.Float(m.Emissive.b))
        return Refuse("material data cut short");

    std::vector<IDirectXFileData*> children = ChildObjects(pObject);
    for (IDirectXFileData* pChild : children)
    {
        if (material.bHasTexture || !IsType(pChild, TID_D3DRMTextureFilename))
            continue;
        if (FAILED(pChild->GetData(nullptr, &nSize, &pData)))
            continue;
        DataCursor name(pData, nSize);
        const char* szName = nullptr;
        if (name.String(szName) && szName)
        {
            material.strTexture = szName;
            material.bHasTexture = true;
        }
    }
    ReleaseAll(children);
    return true;
}

bool XMeshBuilder::ReadMaterialList(IDirectXFileData* pList, DWORD nFaces, std::vector<DWORD>& faceMaterials)
{
    DWORD nSize = 0;
    void* pData = nullptr;
    if (FAILED(pList->GetData(nullptr, &nSize, &pData)))
        return Refuse("material list without data");
    DataCursor cursor(pData, nSize);
    DWORD nMaterials, nFaceIndexes;
    if (!cursor.Dword(nMaterials) || !cursor.Dword(nFaceIndexes) || !cursor.Holds(nFaceIndexes, 4))
        return Refuse("material list counts past its data");
    // Faces past the list take the last index given, as in the format's description.
    faceMaterials.assign(nFaces, 0);
    for (DWORD f = 0; f < nFaceIndexes; ++f)
    {
        DWORD nIndex = 0;
        cursor.Dword(nIndex);
        if (nIndex >= nMaterials)
            return Refuse("face material index past the material count");
        if (f < nFaces)
            faceMaterials[f] = nIndex;
    }
    for (DWORD f = nFaceIndexes; f < nFaces && nFaceIndexes > 0; ++f)
        faceMaterials[f] = faceMaterials[nFaceIndexes - 1];

    // Materials listed beyond the count are ignored; missing ones are white.
    std::vector<IDirectXFileData*> children = ChildObjects(pList);
    std::vector<Material> materials;
    bool bOk = true;
    for (IDirectXFileData* pChild : children)
    {
        if (materials.size() >= nMaterials || !IsType(pChild, TID_D3DRMMaterial))
            continue;
        Material material;
        if (!(bOk = ReadMaterial(pChild, material)))
            break;
        materials.push_back(std::move(material));
    }
    ReleaseAll(children);
    if (!bOk)
        return false;
    // White stand-ins for unlisted materials only as far as faces could use them.
    if (nMaterials > materials.size() + nFaces)
        return Refuse("material count far beyond the listed materials and the faces");
    const size_t nBase = m_materials.size();
    for (DWORD i = 0; i < nMaterials; ++i)
        m_materials.push_back(i < materials.size() ? materials[i] : Material{WhiteMaterial(), {}, false});
    for (DWORD& nIndex : faceMaterials)
        nIndex += (DWORD)nBase;
    return true;
}

bool XMeshBuilder::AddMesh(IDirectXFileData* pMesh, const D3DXMATRIX& matWorld)
{
    DWORD nSize = 0;
    void* pData = nullptr;
    if (FAILED(pMesh->GetData(nullptr, &nSize, &pData)))
        return Refuse("mesh without data");
    DataCursor cursor(pData, nSize);
    DWORD nVertices;
    if (!cursor.Dword(nVertices) || !cursor.Holds(nVertices, 12))
        return Refuse("vertex count past the mesh data");
    std::vector<D3DXVECTOR3> positions(nVertices);
    for (D3DXVECTOR3& v : positions)
        cursor.Vector(v);
    PolygonList faces;
    if (!ReadPolygons(cursor, nVertices, faces, true))
        return Refuse("faces past the mesh data, with fewer than three corners or with indices past the vertices");
    const DWORD nFaces = (DWORD)faces.starts.size();

    std::vector<D3DXVECTOR3> normals;
    PolygonList normalFaces;
    std::vector<D3DXVECTOR2> texcoords;
    std::vector<DWORD> faceMaterials;
    bool bHasNormals = false, bHasMaterials = false, bOk = true;
    std::vector<IDirectXFileData*> children = ChildObjects(pMesh);
    for (IDirectXFileData* pChild : children)
    {
        DWORD nChildSize = 0;
        void* pChildData = nullptr;
        if (IsType(pChild, TID_D3DRMMeshNormals) && !bHasNormals)
        {
            pChild->GetData(nullptr, &nChildSize, &pChildData);
            DataCursor normalCursor(pChildData, nChildSize);
            DWORD nNormals;
            bOk = normalCursor.Dword(nNormals) && normalCursor.Holds(nNormals, 12);
            if (bOk)
            {
                normals.resize(nNormals);
                for (D3DXVECTOR3& n : normals)
                    normalCursor.Vector(n);
                bOk = ReadPolygons(normalCursor, nNormals, normalFaces, false) && normalFaces.sizes == faces.sizes;
            }
            if (!bOk)
                Refuse("normals that do not match the faces");
            bHasNormals = true;
        }
        else if (IsType(pChild, TID_D3DRMMeshTextureCoords) && texcoords.empty())
        {
            pChild->GetData(nullptr, &nChildSize, &pChildData);
            DataCursor uvCursor(pChildData, nChildSize);
            DWORD nCoords;
            bOk = uvCursor.Dword(nCoords) && nCoords == nVertices && uvCursor.Holds(nCoords, 8);
            if (bOk)
            {
                texcoords.resize(nCoords);
                for (D3DXVECTOR2& uv : texcoords)
                    uvCursor.Float(uv.x), uvCursor.Float(uv.y);
            }
            else
                Refuse("texture coordinates that do not match the vertices");
        }
        else if (IsType(pChild, TID_D3DRMMeshMaterialList) && !bHasMaterials)
        {
            bOk = ReadMaterialList(pChild, nFaces, faceMaterials);
            bHasMaterials = true;
        }
        if (!bOk)
            break;
    }
    ReleaseAll(children);
    if (!bOk)
        return false;
    if (!bHasMaterials)
    {
        faceMaterials.assign(nFaces, (DWORD)m_materials.size());
        m_materials.push_back({WhiteMaterial(), {}, false});
    }

    size_t nTriangles = faces.indices.size() - 2 * (size_t)nFaces;
    if (m_indices.size() / 3 + nTriangles > kMaxTriangles || m_vertices.size() + faces.indices.size() > kMaxVertices)
        return Refuse("more geometry than one mesh may hold");

    // A vertex per distinct (position, normal) pair, or per position without normals.
    const DWORD nBase = (DWORD)m_vertices.size();
    std::unordered_map<uint64_t, DWORD> corners;
    auto Corner = [&](DWORD nPosition, DWORD nNormal) -> DWORD {
        uint64_t nKey = (uint64_t)nPosition << 32 | nNormal;
        auto it = corners.find(nKey);
        if (it != corners.end())
            return it->second;
        Vertex vertex{};
        D3DXVec3TransformCoord(&vertex.position, &positions[nPosition], &matWorld);
        if (bHasNormals)
        {
            D3DXVec3TransformNormal(&vertex.normal, &normals[nNormal], &matWorld);
            D3DXVec3Normalize(&vertex.normal, &vertex.normal);
        }
        if (!texcoords.empty())
            vertex.texcoord = texcoords[nPosition];
        m_vertices.push_back(vertex);
        corners.emplace(nKey, (DWORD)m_vertices.size() - 1);
        return (DWORD)m_vertices.size() - 1;
    };
    if (!bHasNormals)
        for (DWORD v = 0; v < nVertices; ++v)
            Corner(v, 0);
    for (DWORD f = 0; f < nFaces; ++f)
    {
        const DWORD nStart = faces.starts[f];
        auto CornerOf = [&](DWORD i) {
            return bHasNormals ? Corner(faces.indices[nStart + i], normalFaces.indices[nStart + i])
                               : nBase + faces.indices[nStart + i];
        };
        // A fan over the polygon keeps its winding.
        const DWORD nFirst = CornerOf(0);
        DWORD nPrevious = CornerOf(1);
        for (DWORD i = 2; i < faces.sizes[f]; ++i)
        {
            DWORD nNext = CornerOf(i);
            m_indices.insert(m_indices.end(), {nFirst, nPrevious, nNext});
            m_attributes.push_back(faceMaterials[f]);
            nPrevious = nNext;
        }
    }
    m_bNormals = m_bNormals || bHasNormals;
    m_bTexcoords = m_bTexcoords || !texcoords.empty();
    return true;
}

HRESULT XMeshBuilder::Build(DWORD options, IDirect3DDevice9* pDevice, LPD3DXBUFFER* ppAdjacency,
                            LPD3DXBUFFER* ppMaterials, DWORD* pNumMaterials, LPD3DXMESH* ppMesh)
{
    const DWORD nFaces = (DWORD)m_attributes.size(), nVertices = (DWORD)m_vertices.size();
    const DWORD fvf = D3DFVF_XYZ | (m_bNormals ? D3DFVF_NORMAL : 0) | (m_bTexcoords ? D3DFVF_TEX1 : 0);
    if (nVertices > 0xffff)
        options |= D3DXMESH_32BIT;
    HRESULT hr;
    MeshObject* pMesh = MeshObject::Create(nFaces, nVertices, options, fvf, pDevice, &hr);
    if (!pMesh)
        return hr;

    const size_t nStride = D3DXGetFVFVertexSize(fvf);
    std::vector<BYTE> bytes(nStride * nVertices);
    for (DWORD v = 0; v < nVertices; ++v)
    {
        BYTE* p = bytes.data() + v * nStride;
        std::memcpy(p, &m_vertices[v].position, 12);
        p += 12;
        if (m_bNormals)
        {
            std::memcpy(p, &m_vertices[v].normal, 12);
            p += 12;
        }
        if (m_bTexcoords)
            std::memcpy(p, &m_vertices[v].texcoord, 8);
    }
    if (!pMesh->WriteVertices(bytes) || !pMesh->WriteIndices(m_indices))
    {
        pMesh->Release();
        return D3DERR_INVALIDCALL;
    }
    pMesh->Attributes() = m_attributes;

    LPD3DXBUFFER pAdjacency = nullptr, pMaterials = nullptr;
    if (ppAdjacency)
    {
        hr = D3DXCreateBuffer(nFaces * 3 * sizeof(DWORD), &pAdjacency);
        if (SUCCEEDED(hr) && nFaces > 0)
            hr = pMesh->GenerateAdjacency(0.0f, static_cast<DWORD*>(pAdjacency->GetBufferPointer()));
    }
    if (SUCCEEDED(hr) && ppMaterials)
    {
        size_t nBytes = m_materials.size() * sizeof(D3DXMATERIAL);
        for (const Material& material : m_materials)
            nBytes += material.bHasTexture ? material.strTexture.size() + 1 : 0;
        hr = D3DXCreateBuffer((DWORD)nBytes, &pMaterials);
        if (SUCCEEDED(hr) && nBytes > 0)
        {
            BYTE* pBytes = static_cast<BYTE*>(pMaterials->GetBufferPointer());
            D3DXMATERIAL* pRecords = reinterpret_cast<D3DXMATERIAL*>(pBytes);
            char* pText = reinterpret_cast<char*>(pBytes + m_materials.size() * sizeof(D3DXMATERIAL));
            for (size_t i = 0; i < m_materials.size(); ++i)
            {
                pRecords[i].MatD3D = m_materials[i].material;
                pRecords[i].pTextureFilename = nullptr;
                if (m_materials[i].bHasTexture)
                {
                    std::memcpy(pText, m_materials[i].strTexture.c_str(), m_materials[i].strTexture.size() + 1);
                    pRecords[i].pTextureFilename = pText;
                    pText += m_materials[i].strTexture.size() + 1;
                }
            }
        }
    }
    if (FAILED(hr))
    {
        if (pAdjacency)
            pAdjacency->Release();
        if (pMaterials)
            pMaterials->Release();
        pMesh->Release();
        return hr;
    }
    if (ppAdjacency)
        *ppAdjacency = pAdjacency;
    if (ppMaterials)
        *ppMaterials = pMaterials;
    if (pNumMaterials)
        *pNumMaterials = (DWORD)m_materials.size();
    *ppMesh = pMesh;
    return D3D_OK;
}
