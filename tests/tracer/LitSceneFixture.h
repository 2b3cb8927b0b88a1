#pragma once
// A loaded RenderApp with the traced render's settings kept small (light blocks of 8, few
// photons, a grid of 8, no global illumination, background or antialiasing): meshes of flat
// faces with a white map and one material, point lights, a traced render through the frame
// driver's entry and its output image.
#include "TracerFixture.h"

#include "3dapi/Renderer.h"
#include "core/PixelBuffer.h"
#include "core/PixelImage.h"
#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace litscene
{
inline const float ALBEDO[3] = {0.8f, 0.7f, 0.6f};

struct Image
{
    int32_t nWidth = 0, nHeight = 0;
    std::vector<uint8_t> bgra;   // rows top first, blue, green, red, alpha per pixel
    const uint8_t* At(int x, int y) const { return &bgra[(static_cast<size_t>(y) * nWidth + x) * 4]; }
};
}

class LitSceneTest : public TracerTest
{
protected:
    using Image = litscene::Image;

    void SetUp() override
    {
        TracerTest::SetUp();
        ASSERT_TRUE(InitAndLoad());
        // Few photons a block and a small count keep a render near a second.
        g_nLightTargetSize = 8;
        m_pApp->CreateTracerTargets();
        g_nGridSize = 8;
        g_nDirectEmanateTile = 1;
        g_nDirectPhoton = 8;
        g_fDirectSearchRadius = 0.5f;
        g_bGlobalIllumination = 0;
        g_bBackground = 0;
        g_bAntialiasing = 0;
        g_nTracedImageWidth = SCREEN_WIDTH / 2;
        g_nTracedImageHeight = SCREEN_HEIGHT / 2;
        m_strImage = m_strFolder + "/Images/Traced.bmp";
        std::snprintf(g_szImagePath, IMAGE_PATH_SIZE, "%s", m_strImage.c_str());

        uint8_t* pPixels = AllocatePixels(4);
        std::memset(pPixels, 255, 4);
        PixelImage* pImage = new PixelImage();
        pImage->Adopt(pPixels, 1, 1, RGBA8, true, false);
        m_nWhite = m_pApp->GetRenderer()->AddTexture(pImage, 0);
        ASSERT_GE(m_nWhite, 0);
        DescribeMaterial(m_Material);
    }

    // The fixture's material: the albedo on the white map, no specular light, no bump.
    void DescribeMaterial(SceneMaterial& material) const
    {
        material.m_Material.Diffuse = {litscene::ALBEDO[0], litscene::ALBEDO[1], litscene::ALBEDO[2], 1.0f};
        material.m_Material.Specular = {0.0f, 0.0f, 0.0f, 1.0f};
        material.m_Material.Power = 10.0f;
        material.m_fGlossPower = 100.0f;
        material.m_fBumpPower = 0.0f;
        material.m_nTextureIds[SceneMaterial::TEXTURE_DIFFUSE] = m_nWhite;
        material.m_nTextureIds[SceneMaterial::TEXTURE_GLOSS] = m_nWhite;
    }

    void TearDown() override
    {
        g_bTracePhoton = 0;
        g_nDirectEmanateTile = 3;
        g_bAntialiasing = 0;
        g_nSamplingLevel = 2;
        g_bDirectIllumination = 1;
        g_bGlobalIllumination = 1;
        g_bReflection = 0;
        g_bRefraction = 0;
        g_nDirectPhoton = 32;
        g_fDirectSearchRadius = 1.0f;
        g_bBackground = 0;
        g_nTracedImageWidth = g_nTracedImageHeight = 0;
        g_nCompletedRenders = 0;
        for (SceneMesh* pMesh : m_Meshes)
            pMesh->m_pMaterial = nullptr;
        TracerTest::TearDown();
    }

    struct Face
    {
        D3DXVECTOR3 a, b, c, d, n;
    };

    // A mesh of these quads (two triangles each, normal n) with the fixture's material.
    SceneMesh* AddMeshOf(const std::vector<Face>& faces)
    {
        std::vector<D3DXVECTOR3> corners;
        for (const Face& face : faces)
            corners.insert(corners.end(), {face.a, face.b, face.c, face.a, face.c, face.d});
        SceneMesh* pMesh = AddMesh(corners);
        for (size_t i = 0; i < corners.size(); ++i)
        {
            const D3DXVECTOR3& n = faces[i / 6].n;
            MeshVertex& vertex = pMesh->m_pVertices[i];
            vertex.vNormal = Vector3(n.x, n.y, n.z);
            // Any tangent frame around the normal: the bump map is flat.
            const D3DXVECTOR3 t = std::fabs(n.y) > 0.5f ? D3DXVECTOR3(1, 0, 0) : D3DXVECTOR3(0, 1, 0);
            D3DXVECTOR3 b;
            D3DXVec3Cross(&b, &n, &t);
            vertex.vTangent = Vector3(t.x, t.y, t.z);
            vertex.vBinormal = Vector3(b.x, b.y, b.z);
        }
        void* pData = nullptr;
        pMesh->m_pVertexBuffer->Lock(0, 0, &pData, 0);
        std::memcpy(pData, pMesh->m_pVertices, corners.size() * sizeof(MeshVertex));
        pMesh->m_pVertexBuffer->Unlock();
        pMesh->m_pMaterial = &m_Material;
        m_Meshes.push_back(pMesh);
        return pMesh;
    }

    SceneLight* AddLight(D3DXVECTOR3 vPosition, D3DCOLORVALUE colour)
    {
        SceneLight* pLight = new SceneLight();
        pLight->m_Light.Type = D3DLIGHT_POINT;
        pLight->m_Light.Diffuse = colour;
        pLight->m_vLightPosition = Vector3(vPosition.x, vPosition.y, vPosition.z);
        EXPECT_TRUE(m_pApp->m_Scene.AddLight(pLight));
        return pLight;
    }

    // The camera at vEye looking at vAt with this vertical field of view, in the frame's matrices.
    void LookFrom(const D3DXVECTOR3& vEye, const D3DXVECTOR3& vAt, float fFov)
    {
        const D3DXVECTOR3 vUp(0.0f, 1.0f, 0.0f);
        m_pApp->m_Scene.m_Camera.m_vEyePosition = Vector3(vEye.x, vEye.y, vEye.z);
        D3DXMATRIX view, projection;
        D3DXMatrixLookAtLH(&view, &vEye, &vAt, &vUp);
        D3DXMatrixPerspectiveFovLH(&projection, fFov, static_cast<float>(SCREEN_WIDTH) / SCREEN_HEIGHT, 1.0f, 60.0f);
        g_matView = ToMatrix4(view);
        g_matProjection = ToMatrix4(projection);
        m_matViewProjection = view * projection;
    }

    // One traced render through the frame driver's entry, as the main pass calls it.
    void Trace()
    {
        g_bTracePhoton = 1;
        g_nCompletedRenders = 0;
        Device()->BeginScene();
        m_pApp->RunPhotonTracer();
        Device()->EndScene();
    }

    // The output image as the render left it.
    Image Output()
    {
        Image image;
        D3DSURFACE_DESC desc{};
        EXPECT_NE(g_pOutputTexture, nullptr);
        if (!g_pOutputTexture)
            return image;
        g_pOutputTexture->GetLevelDesc(0, &desc);
        image.nWidth = static_cast<int32_t>(desc.Width);
        image.nHeight = static_cast<int32_t>(desc.Height);
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(g_pOutputTexture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        for (int32_t y = 0; y < image.nHeight; ++y)
        {
            const uint8_t* pRow = static_cast<const uint8_t*>(locked.pBits) + static_cast<ptrdiff_t>(y) * locked.Pitch;
            image.bgra.insert(image.bgra.end(), pRow, pRow + image.nWidth * 4);
        }
        g_pOutputTexture->UnlockRect(0);
        return image;
    }

    Image TraceImage()
    {
        Trace();
        return Output();
    }

    std::string m_strImage;
    int32_t m_nWhite = -1;
    SceneMaterial m_Material;
    std::vector<SceneMesh*> m_Meshes;
    D3DXMATRIX m_matViewProjection;
};
