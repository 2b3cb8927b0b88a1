#pragma once
// What the import tests share: a scratch folder that is also the working directory of the media
// folder (with the light cube map), a store to import into, the triangles of a mesh in a form
// that two imports can be compared by, a snapshot of the store's objects, and a drawing of the
// store's meshes on the software device.
#include "scene/SceneStore.h"

#include <d3d9/testing.h>
#include <d3dx9math.h>

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

class SceneLight;
class SceneMesh;

void ExpectVector(const Vector3& v, float x, float y, float z);

// One corner: position, normal, texture coordinates.
using CornerValues = std::array<float, 8>;
using TriangleValues = std::array<CornerValues, 3>;
// The mesh's triangles, each turned to start at its smallest corner (which keeps its winding),
// sorted: equal for two meshes of the same triangles in any order and from any first corner.
std::vector<TriangleValues> Triangles(const SceneMesh& mesh);

// The objects of a store by address, and the counts of its materials and texture records.
struct SceneSnapshot
{
    std::vector<const void*> meshes;
    std::vector<const void*> lights;
    uint32_t nMaterials = 0;
    uint32_t nTextures = 0;
    bool operator==(const SceneSnapshot&) const = default;
};

class SceneImportTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the bytes to a file of that name in the scratch folder; its path.
    std::string Write(const char* szName, const std::vector<uint8_t>& bytes);
    std::string Path(const char* szName) const { return (m_Dir / szName).string(); }

    SceneMesh& Mesh(uint32_t i) { return *static_cast<SceneMesh*>(m_Store.m_Meshes.Get(i)); }
    SceneLight& Light(uint32_t i) { return *static_cast<SceneLight*>(m_Store.m_Lights.Get(i)); }
    SceneSnapshot Snapshot() const;
    // Every mesh of the store has triangles, three records each with finite positions, and a
    // material of its own.
    void ExpectWholeMeshes();

    std::filesystem::path m_Dir;
    SceneStore m_Store;

private:
    std::string m_strSavedWorkingDir;
};

// Draws the store's meshes into a new size x size target through the vertex buffers
// SceneMesh::CreateVertexBuffers makes, placed as the mesh programs place them (position minus
// the offset, then the world matrix), mesh i in colours[i], with a depth test and clockwise front
// faces; the target read back.
d3d9test::SurfaceData DrawMeshes(IDirect3DDevice9* pDevice, SceneStore& store, const D3DXMATRIX& viewProjection,
                                 const std::vector<D3DCOLOR>& colours, UINT nSize);
