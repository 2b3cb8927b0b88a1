#pragma once
// Collects the geometry and materials of ".x" Mesh data objects, checking every count and index
// against the object's data, and lays them into one ID3DXMesh with its material and adjacency
// buffers.
#include <d3dx9mesh.h>

#include <string>
#include <vector>

class XMeshBuilder
{
public:
    // Appends one Mesh object, its positions and normals carried by the matrix. False (with the
    // reason in Error()) when the object's data does not hold what its counts say.
    bool AddMesh(IDirectXFileData* pMesh, const D3DXMATRIX& matWorld);
    bool Empty() const { return m_indices.empty(); }
    const std::string& Error() const { return m_strError; }

    HRESULT Build(DWORD options, IDirect3DDevice9* pDevice, LPD3DXBUFFER* ppAdjacency, LPD3DXBUFFER* ppMaterials,
                  DWORD* pNumMaterials, LPD3DXMESH* ppMesh);

private:
    struct Vertex
    {
        D3DXVECTOR3 position;
        D3DXVECTOR3 normal;
        D3DXVECTOR2 texcoord;
    };
    struct Material
    {
        D3DMATERIAL9 material;
        std::string strTexture;
        bool bHasTexture = false;
    };

    bool Refuse(const std::string& text);
    bool ReadMaterialList(IDirectXFileData* pList, DWORD nFaces, std::vector<DWORD>& faceMaterials);
    bool ReadMaterial(IDirectXFileData* pMaterial, Material& material);

    std::vector<Vertex> m_vertices;
    std::vector<DWORD> m_indices;
    std::vector<DWORD> m_attributes;   // one per triangle
    std::vector<Material> m_materials;
    bool m_bNormals = false;
    bool m_bTexcoords = false;
    std::string m_strError;
};
