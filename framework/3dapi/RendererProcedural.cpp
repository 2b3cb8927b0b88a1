// Textures computed from formulas: 2D falloff and noise, cube maps of directions or of six
// files, and volumes of attenuation, distance, sphere depth, directions and noise. Each builds
// an image with one level, makes the chain unless told not to, and stores the entry.
#include "3dapi/Renderer.h"

#include "core/Log.h"
#include "core/PixelBuffer.h"
#include "core/PixelImage.h"
#include "core/Random.h"
#include "core/Vector3.h"
#include "core/VolumeImage.h"

#include <algorithm>
#include <cmath>

namespace
{
// The half side of a texture of n texels: the centre of the formulas.
float HalfSide(int n)
{
    return (n - 1) * 0.5f;
}

// Sides that the formulas can use; a side of 1 or 2 would divide by a half side of 0 or 0.5.
bool CheckSide(const char* szOperation, int n)
{
    if (n >= 3 && n <= 4096)
        return true;
    LogError("Renderer::%s() - a side of %d texels is not between 3 and 4096.", szOperation, n);
    return false;
}

PixelImage* MakeImage(int n, int nFormat, uint8_t*& pPixels)
{
    pPixels = AllocatePixels(static_cast<size_t>(n) * n * static_cast<size_t>(GetBytesPerPixel(nFormat)));
    if (!pPixels)
        return nullptr;
    PixelImage* pImage = new PixelImage;
    pImage->Adopt(pPixels, n, n, nFormat, true, false);
    return pImage;
}

VolumeImage* MakeVolume(int n, int nBytesPerVoxel, uint8_t*& pVoxels)
{
    pVoxels = AllocatePixels(static_cast<size_t>(n) * n * n * static_cast<size_t>(nBytesPerVoxel));
    if (!pVoxels)
        return nullptr;
    VolumeImage* pVolume = new VolumeImage;
    pVolume->Adopt(pVoxels, n, n, n, nBytesPerVoxel, true, false);
    return pVolume;
}

// Byte 0 of each 4-byte cell random (the low byte of the generator, in cell order); bytes 1 to
// 3 copy byte 0 of the neighbours (x + 1), (y + 1) and (x + 1, y + 1), wrapping at the side.
void FillNoise(uint8_t* pCells, int n, int nDepth)
{
    const size_t nCells = static_cast<size_t>(n) * n * nDepth;
    for (size_t i = 0; i < nCells; ++i)
        pCells[i * 4] = static_cast<uint8_t>(Random() & 0xFF);
    for (int z = 0; z < nDepth; ++z)
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x)
            {
                auto Cell = [&](int cx, int cy) { return ((static_cast<size_t>(z) * n + cy % n) * n + cx % n) * 4; };
                uint8_t* pCell = pCells + Cell(x, y);
                pCell[1] = pCells[Cell(x + 1, y)];
                pCell[2] = pCells[Cell(x, y + 1)];
                pCell[3] = pCells[Cell(x + 1, y + 1)];
            }
}

// Volume builders add clamping on all three axes.
constexpr int kClampAll = TEXTURE_CLAMP_S | TEXTURE_CLAMP_T | TEXTURE_CLAMP_R;
}

int32_t PackSignedUnit(float x)
{
    return static_cast<int32_t>((x + 1.0f) * 127.5f);
}

int Renderer::CreateFalloffTexture(int n, int nFlags)
{
    if (!CheckSide("CreateFalloffTexture", n))
        return -1;
    uint8_t* pPixels;
    PixelImage* pImage = MakeImage(n, I8, pPixels);
    if (!pImage)
        return -1;
    const float h = HalfSide(n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
        {
            float fDistance = std::sqrt(Square(x - h) + Square(y - h));
            pPixels[y * n + x] = static_cast<uint8_t>(TruncateToByte(255.0f * std::max(0.0f, 1.0f - fDistance / h)));
        }
    if (!(nFlags & TEXTURE_NO_MIPMAPS))
        pImage->CreateMipMaps();
    return AddTexture(pImage, nFlags);
}

int Renderer::CreateNoiseTexture(int n, int nFlags)
{
    if (!CheckSide("CreateNoiseTexture", n))
        return -1;
    uint8_t* pPixels;
    PixelImage* pImage = MakeImage(n, RGBA8, pPixels);
    if (!pImage)
        return -1;
    FillNoise(pPixels, n, 1);
    if (!(nFlags & TEXTURE_NO_MIPMAPS))
        pImage->CreateMipMaps();
    return AddTexture(pImage, nFlags);
}

int Renderer::AddCubeTexture(PixelImage* pFaces[6])
{
    TextureEntry entry{};
    entry.m_nType = TEXTURE_CUBE;
    entry.m_nAnisotropy = 1;
    for (int i = 0; i < 6; ++i)
        entry.m_pImages[i] = pFaces[i];
    CreateDeviceTexture(entry);
    int nId = UploadTexture(entry) ? StoreTexture(entry) : -1;
    if (nId < 0)
    {
        ReleaseDeviceTexture(entry);
        for (int i = 0; i < 6; ++i)
            delete pFaces[i];
    }
    return nId;
}

int Renderer::LoadCubeTexture(const char* szNegX, const char* szPosX, const char* szNegY, const char* szPosY,
                              const char* szNegZ, const char* szPosZ)
{
    const char* szFiles[6] = {szPosX, szNegX, szPosY, szNegY, szPosZ, szNegZ};
    PixelImage* pFaces[6] = {};
    for (int i = 0; i < 6; ++i)
    {
        pFaces[i] = new PixelImage;
        if (!szFiles[i] || !pFaces[i]->Load(szFiles[i], m_bRgbOrder, 0))
        {
            LogWarning("Renderer::LoadCubeTexture() - cannot read the face \"%s\".", szFiles[i] ? szFiles[i] : "");
            for (int j = 0; j <= i; ++j)
                delete pFaces[j];
            return -1;
        }
    }
    return AddCubeTexture(pFaces);
}

int Renderer::CreateNormalizationCubeTexture(int n)
{
    if (!CheckSide("CreateNormalizationCubeTexture", n))
        return -1;
    const float h = HalfSide(n);
    PixelImage* pFaces[6] = {};
    for (int nFace = 0; nFace < 6; ++nFace)
    {
        uint8_t* pPixels;
        pFaces[nFace] = MakeImage(n, RGB8, pPixels);
        if (!pFaces[nFace])
        {
            for (int j = 0; j < nFace; ++j)
                delete pFaces[j];
            return -1;
        }
        for (int r = 0; r < n; ++r)
            for (int c = 0; c < n; ++c)
            {
                // The direction through texel (c, r) of face pairs +X/-X, +Y/-Y, +Z/-Z; the
                // negative face mirrors the positive one's direction.
                Vector3 d;
                switch (nFace / 2)
                {
                case 0:
                    d = Vector3(h, h - r, h - c);
                    break;
                case 1:
                    d = Vector3(c - h, h, r - h);
                    break;
                default:
                    d = Vector3(c - h, h - r, h);
                    break;
                }
                d.FastNormalize();
                if (nFace & 1)
                {
                    if (nFace == 3)
                        d = Vector3(d.x, -d.y, -d.z);
                    else
                        d = Vector3(-d.x, d.y, -d.z);
                }
                uint8_t* pTexel = pPixels + (static_cast<size_t>(r) * n + c) * 3;
                pTexel[0] = static_cast<uint8_t>(PackSignedUnit(d.x));
                pTexel[1] = static_cast<uint8_t>(PackSignedUnit(d.y));
                pTexel[2] = static_cast<uint8_t>(PackSignedUnit(d.z));
            }
        pFaces[nFace]->CreateMipMaps();
    }
    return AddCubeTexture(pFaces);
}

namespace
{
// A one-byte volume whose voxels depend only on their distance from the centre, as a fraction
// of the half side: the attenuation and distance volumes differ only in that function.
template <typename ByteOfRatio>
VolumeImage* MakeRadialVolume(int n, ByteOfRatio byteOfRatio)
{
    uint8_t* pVoxels;
    VolumeImage* pVolume = MakeVolume(n, 1, pVoxels);
    if (!pVolume)
        return nullptr;
    const float h = HalfSide(n);
    for (int z = 0; z < n; ++z)
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x)
                *pVoxels++ = byteOfRatio(FastLength(Vector3(h - x, h - y, h - z)) / h);
    return pVolume;
}
}

int Renderer::CreateAttenuationVolume(int n, int nFlags)
{
    if (!CheckSide("CreateAttenuationVolume", n))
        return -1;
    VolumeImage* pVolume = MakeRadialVolume(n, [](float fRatio) {
        return static_cast<uint8_t>(TruncateToByte(255.0f * std::max(0.0f, 1.0f - fRatio)));
    });
    return pVolume ? AddVolumeTexture(pVolume, nFlags | kClampAll) : -1;
}

int Renderer::CreateDistanceVolume(int n, int nFlags)
{
    if (!CheckSide("CreateDistanceVolume", n))
        return -1;
    VolumeImage* pVolume = MakeRadialVolume(n, [](float fRatio) {
        return static_cast<uint8_t>(TruncateToByte(255.0f * std::min(1.0f, fRatio)));
    });
    return pVolume ? AddVolumeTexture(pVolume, nFlags | kClampAll) : -1;
}

int Renderer::CreateSphereDepthVolume(int n, int nFlags)
{
    if (!CheckSide("CreateSphereDepthVolume", n))
        return -1;
    uint8_t* pVoxels;
    VolumeImage* pVolume = MakeVolume(n, 1, pVoxels);
    if (!pVolume)
        return -1;
    // Coordinates run from -1 to 1; e is the sphere's half depth at (x, y), and a voxel holds
    // the share of that depth in front of it (half the remaining chord).
    const float fStep = 2.0f / (n - 1);
    for (int k = 0; k < n; ++k)
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i)
            {
                float x = i * fStep - 1.0f, y = j * fStep - 1.0f, z = k * fStep - 1.0f;
                float s = 1.0f - x * x - y * y;
                float e = s >= 0.0f ? std::sqrt(s) : 0.0f;
                float fValue;
                if (z > 0.0f)
                    fValue = z < e ? (e - z) / 2.0f : 0.0f;
                else
                    fValue = z < -e ? e : (e - z) / 2.0f;
                *pVoxels++ = static_cast<uint8_t>(TruncateToByte(255.0f * fValue));
            }
    return AddVolumeTexture(pVolume, nFlags | kClampAll);
}

int Renderer::CreateNormalizationVolume(int n, int nFlags)
{
    if (!CheckSide("CreateNormalizationVolume", n))
        return -1;
    uint8_t* pVoxels;
    VolumeImage* pVolume = MakeVolume(n, 4, pVoxels);
    if (!pVolume)
        return -1;
    const float h = HalfSide(n);
    // x goes to byte 0 in RGB order, else to byte 2 (the device's BGRA memory order).
    const int nByteX = m_bRgbOrder ? 0 : 2, nByteZ = m_bRgbOrder ? 2 : 0;
    for (int z = 0; z < n; ++z)
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x)
            {
                Vector3 v(x - h, y - h, z - h);
                float q = LengthSquared(v);
                float k = FastInvSqrt(q);
                float a = std::max(0.0f, 1.0f - q * k / h);
                v = v * (a * k);
                pVoxels[nByteX] = static_cast<uint8_t>(PackSignedUnit(v.x));
                pVoxels[1] = static_cast<uint8_t>(PackSignedUnit(v.y));
                pVoxels[nByteZ] = static_cast<uint8_t>(PackSignedUnit(v.z));
                pVoxels[3] = static_cast<uint8_t>(PackSignedUnit(a));
                pVoxels += 4;
            }
    return AddVolumeTexture(pVolume, nFlags | kClampAll);
}

int Renderer::CreateNoiseVolume(int n, int nFlags)
{
    if (!CheckSide("CreateNoiseVolume", n))
        return -1;
    uint8_t* pVoxels;
    VolumeImage* pVolume = MakeVolume(n, 4, pVoxels);
    if (!pVolume)
        return -1;
    FillNoise(pVoxels, n, n);
    return AddVolumeTexture(pVolume, nFlags);
}

int Renderer::AddVolumeTexture(VolumeImage* pVolume, int nFlags)
{
    if (!pVolume)
        return -1;
    if (!(nFlags & TEXTURE_NO_MIPMAPS))
        pVolume->CreateMipMaps();
    TextureEntry entry{};
    entry.m_nType = TEXTURE_VOLUME;
    entry.m_pVolume = pVolume;
    entry.m_bFlag = (nFlags & TEXTURE_USER_FLAG) != 0;
    entry.m_bClampS = (nFlags & TEXTURE_CLAMP_S) != 0;
    entry.m_bClampT = (nFlags & TEXTURE_CLAMP_T) != 0;
    entry.m_bClampR = (nFlags & TEXTURE_CLAMP_R) != 0;
    entry.m_nAnisotropy = 1;
    CreateDeviceTexture(entry);
    int nId = UploadTexture(entry) ? StoreTexture(entry) : -1;
    if (nId < 0)
    {
        ReleaseDeviceTexture(entry);
        delete pVolume;
    }
    return nId;
}
