// ".x" meshes through D3DXLoadMeshFromXA and D3DXLoadMeshFromXof: the two-frame model in both
// forms, joined and moved by its frames, with its materials, texture names and adjacency; and
// the mesh data that does not fit its counts.
#include "TestDevice.h"
#include "../dxfile/XFileWriter.h"

#include <d3dx9.h>
#include <rmxftmpl.h>

#include "core/FileIO.h"
#include "core/Log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace
{
std::string WriteTemp(const char* szName, const std::vector<uint8_t>& bytes)
{
    std::string path = testing::TempDir() + "d3dx9_" + szName;
    EXPECT_TRUE(WriteFileAtomic(path.c_str(), bytes));
    return path;
}

struct MeshVertex
{
    D3DXVECTOR3 position;
    D3DXVECTOR3 normal;
    D3DXVECTOR2 texcoord;
};

class XMeshLoadTest : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override { SetLogEcho(false); }
    void TearDown() override { SetLogEcho(true); }
    TestDevice m_device;
};

TEST_P(XMeshLoadTest, TwoFrameModelJoinsItsMeshesMovedByTheirFrames)
{
    XFileWriter w(GetParam());
    WriteTwoFrameModel(w);
    std::string path = WriteTemp(GetParam() ? "model_bin.x" : "model_txt.x", w.Bytes());

    LPD3DXBUFFER pAdjacency = nullptr, pMaterials = nullptr;
    DWORD nMaterials = 0;
    LPD3DXMESH pMesh = nullptr;
    ASSERT_EQ(D3DXLoadMeshFromXA(path.c_str(), D3DXMESH_SYSTEMMEM, m_device.get(), &pAdjacency, &pMaterials,
                                 nullptr, &nMaterials, &pMesh),
              D3D_OK);
    EXPECT_EQ(pMesh->GetFVF(), (DWORD)(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1));
    EXPECT_EQ(pMesh->GetNumFaces(), 4u);
    EXPECT_EQ(pMesh->GetNumVertices(), 8u);
    ASSERT_EQ(nMaterials, 2u);
    ASSERT_TRUE(pMaterials);
    const D3DXMATERIAL* pRecords = static_cast<D3DXMATERIAL*>(pMaterials->GetBufferPointer());
    EXPECT_STREQ(pRecords[0].pTextureFilename, "body.png");
    EXPECT_STREQ(pRecords[1].pTextureFilename, "wing.png");
    EXPECT_FLOAT_EQ(pRecords[0].MatD3D.Diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(pRecords[1].MatD3D.Diffuse.g, 1.0f);
    EXPECT_FLOAT_EQ(pRecords[1].MatD3D.Diffuse.a, 0.5f);
    EXPECT_FLOAT_EQ(pRecords[1].MatD3D.Power, 8.0f);
    ASSERT_TRUE(pAdjacency);
    EXPECT_EQ(pAdjacency->GetBufferSize(), 4 * 3 * sizeof(DWORD));
    // The two triangles of a quad share their diagonal.
    const DWORD* pAdj = static_cast<DWORD*>(pAdjacency->GetBufferPointer());
    EXPECT_NE(std::find(pAdj, pAdj + 3, 1u), pAdj + 3);

    // Body's quad moved by x + 0.5; Wing's by Body's move and its own y + 0.25.
    MeshVertex* pVertices = nullptr;
    ASSERT_EQ(pMesh->LockVertexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&pVertices)), D3D_OK);
    float fMinX[2] = {1e9f, 1e9f}, fMaxX[2] = {-1e9f, -1e9f}, fMinY[2] = {1e9f, 1e9f}, fMaxY[2] = {-1e9f, -1e9f};
    for (int v = 0; v < 8; ++v)
    {
        int nQuad = v / 4;
        fMinX[nQuad] = std::min(fMinX[nQuad], pVertices[v].position.x);
        fMaxX[nQuad] = std::max(fMaxX[nQuad], pVertices[v].position.x);
        fMinY[nQuad] = std::min(fMinY[nQuad], pVertices[v].position.y);
        fMaxY[nQuad] = std::max(fMaxY[nQuad], pVertices[v].position.y);
        EXPECT_FLOAT_EQ(pVertices[v].normal.z, -1.0f);
    }
    EXPECT_FLOAT_EQ(fMinX[0], -0.5f);
    EXPECT_FLOAT_EQ(fMaxX[0], 0.5f);
    EXPECT_FLOAT_EQ(fMinY[0], -1.0f);
    EXPECT_FLOAT_EQ(fMinX[1], 0.0f);
    EXPECT_FLOAT_EQ(fMaxX[1], 0.5f);
    EXPECT_FLOAT_EQ(fMinY[1], 0.25f);
    EXPECT_FLOAT_EQ(fMaxY[1], 0.75f);
    EXPECT_FLOAT_EQ(pVertices[1].texcoord.x, 0.0f);
    EXPECT_FLOAT_EQ(pVertices[2].texcoord.x, 1.0f);
    pMesh->UnlockVertexBuffer();

    DWORD* pAttributes = nullptr;
    ASSERT_EQ(pMesh->LockAttributeBuffer(D3DLOCK_READONLY, &pAttributes), D3D_OK);
    EXPECT_EQ(pAttributes[0], 0u);
    EXPECT_EQ(pAttributes[3], 1u);
    pMesh->UnlockAttributeBuffer();

    pMesh->Release();
    pMaterials->Release();
    pAdjacency->Release();
}

INSTANTIATE_TEST_SUITE_P(Forms, XMeshLoadTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Binary" : "Text"; });

// Mesh bodies whose numbers contradict each other: each is refused with the mesh result.
struct BadMeshCase
{
    const char* szName;
    const char* szBody;
};
const BadMeshCase kBadMeshes[] = {
    {"FaceIndexPastTheVertices", "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3; 0, 1, 7;; }"},
    {"FaceOfTwoCorners", "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 2; 0, 1;; }"},
    {"NormalFacesOfOtherSizes", "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3; 0, 1, 2;; MeshNormals { 1; 0;0;1;; 1; 4; 0,0,0,0;; } }"},
    {"NormalIndexPastTheNormals", "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3; 0, 1, 2;; MeshNormals { 1; 0;0;1;; 1; 3; 0,0,5;; } }"},
    {"TextureCoordinatesShort", "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3; 0, 1, 2;; MeshTextureCoords { 2; 0;0;, 1;1;; } }"},
    {"MaterialIndexPastTheCount", "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3; 0, 1, 2;; MeshMaterialList { 1; 1; 3;; } }"},
    {"MaterialCountFarPastTheFaces", "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3; 0, 1, 2;; MeshMaterialList { 4000000000; 1; 0;; } }"},
};

TEST(XMeshLoadErrors, MeshesWhoseCountsDisagreeAreRefused)
{
    SetLogEcho(false);
    TestDevice device;
    for (const BadMeshCase& c : kBadMeshes)
    {
        XFileWriter w(false);
        w.Raw(c.szBody);
        std::string path = WriteTemp("bad.x", w.Bytes());
        LPD3DXMESH pMesh = reinterpret_cast<LPD3DXMESH>(1);
        DWORD nMaterials = 7;
        EXPECT_EQ(D3DXLoadMeshFromXA(path.c_str(), D3DXMESH_SYSTEMMEM, device.get(), nullptr, nullptr, nullptr,
                                     &nMaterials, &pMesh),
                  D3DXERR_INVALIDDATA)
            << c.szName;
        EXPECT_EQ(pMesh, nullptr);
        EXPECT_EQ(nMaterials, 0u);
    }
    SetLogEcho(true);
}

TEST(XMeshLoadErrors, FilesWithoutMeshesOrUnreadableGiveTheirResult)
{
    SetLogEcho(false);
    TestDevice device;
    LPD3DXMESH pMesh = nullptr;
    XFileWriter w(false);
    w.Begin("Frame", "Empty").End();
    std::string path = WriteTemp("empty.x", w.Bytes());
    EXPECT_EQ(D3DXLoadMeshFromXA(path.c_str(), 0x110, device.get(), nullptr, nullptr, nullptr, nullptr, &pMesh),
              D3DXERR_LOADEDMESHHASNODATA);
    EXPECT_EQ(D3DXLoadMeshFromXA((testing::TempDir() + "no-such.x").c_str(), 0x110, device.get(), nullptr, nullptr,
                                 nullptr, nullptr, &pMesh),
              DXFILEERR_FILENOTFOUND);
    EXPECT_EQ(pMesh, nullptr);
    SetLogEcho(true);
}

TEST(XMeshLoadFromXof, OneMeshObjectWithoutMaterialsGetsOneWhiteMaterial)
{
    TestDevice device;
    LPDIRECTXFILE pFile = nullptr;
    ASSERT_EQ(DirectXFileCreate(&pFile), DXFILE_OK);
    ASSERT_EQ(pFile->RegisterTemplates(const_cast<char*>(D3DRM_XTEMPLATES), D3DRM_XTEMPLATE_BYTES), DXFILE_OK);
    XFileWriter w(false);
    // A pentagon: three triangles in a fan.
    w.Raw("Mesh Five { 5; 0;0;0;, 0;1;0;, 1;1;0;, 1;0;0;, 0.5;-1;0;; 1; 5; 0,1,2,3,4;; }");
    DXFILELOADMEMORY memory{const_cast<uint8_t*>(w.Bytes().data()), (DWORD)w.Bytes().size()};
    LPDIRECTXFILEENUMOBJECT pEnum = nullptr;
    ASSERT_EQ(pFile->CreateEnumObject(&memory, DXFILELOAD_FROMMEMORY, &pEnum), DXFILE_OK);
    LPDIRECTXFILEDATA pData = nullptr;
    ASSERT_EQ(pEnum->GetNextDataObject(&pData), DXFILE_OK);

    LPD3DXBUFFER pMaterials = nullptr;
    DWORD nMaterials = 0;
    LPD3DXMESH pMesh = nullptr;
    ASSERT_EQ(D3DXLoadMeshFromXof(pData, 0x110, device.get(), nullptr, &pMaterials, nullptr, &nMaterials, &pMesh),
              D3D_OK);
    EXPECT_EQ(pMesh->GetFVF(), (DWORD)D3DFVF_XYZ);
    EXPECT_EQ(pMesh->GetNumFaces(), 3u);
    EXPECT_EQ(pMesh->GetNumVertices(), 5u);
    ASSERT_EQ(nMaterials, 1u);
    const D3DXMATERIAL* pRecord = static_cast<D3DXMATERIAL*>(pMaterials->GetBufferPointer());
    EXPECT_FLOAT_EQ(pRecord->MatD3D.Diffuse.b, 1.0f);
    EXPECT_EQ(pRecord->pTextureFilename, nullptr);

    WORD* pIndices = nullptr;
    ASSERT_EQ(pMesh->LockIndexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&pIndices)), D3D_OK);
    const WORD kFan[9] = {0, 1, 2, 0, 2, 3, 0, 3, 4};
    EXPECT_TRUE(std::equal(kFan, kFan + 9, pIndices));
    pMesh->UnlockIndexBuffer();

    pMesh->Release();
    pMaterials->Release();
    pData->Release();
    pEnum->Release();
    pFile->Release();
}
}
