// Resources: level sizes and pitches, reference counts of every object kind, locks.
#include "DeviceFixture.h"

#include "core/Log.h"

#include <cstring>
#include <vector>

namespace
{
using ResourceTest = DeviceTest;

struct LevelCase
{
    D3DFORMAT format;
    UINT width, height;
    std::vector<UINT> widths, heights, pitches;
};

// Full chains (Levels 0); pitches are packed rows of pixels or 4×4 blocks rounded up to 16.
const LevelCase g_LevelCases[] = {
    {D3DFMT_A8R8G8B8, 5, 3, {5, 2, 1}, {3, 1, 1}, {32, 16, 16}},
    {D3DFMT_A16B16G16R16F, 8, 2, {8, 4, 2, 1}, {2, 1, 1, 1}, {64, 32, 16, 16}},
    {D3DFMT_L8, 32, 32, {32, 16, 8, 4, 2, 1}, {32, 16, 8, 4, 2, 1}, {32, 16, 16, 16, 16, 16}},
    {D3DFMT_DXT1, 5, 3, {5, 2, 1}, {3, 1, 1}, {16, 16, 16}},
    {D3DFMT_DXT1, 2, 2, {2, 1}, {2, 1}, {16, 16}},
    {D3DFMT_DXT5, 16, 8, {16, 8, 4, 2, 1}, {8, 4, 2, 1, 1}, {64, 32, 16, 16, 16}},
};

TEST_F(ResourceTest, LevelSizesAndPitches)
{
    for (const LevelCase& c : g_LevelCases)
    {
        IDirect3DTexture9* pTexture = nullptr;
        ASSERT_EQ(m_pDevice->CreateTexture(c.width, c.height, 0, 0, c.format, D3DPOOL_MANAGED, &pTexture, nullptr),
                  D3D_OK);
        ASSERT_EQ(pTexture->GetLevelCount(), c.widths.size());
        for (UINT level = 0; level < c.widths.size(); ++level)
        {
            D3DSURFACE_DESC desc;
            ASSERT_EQ(pTexture->GetLevelDesc(level, &desc), D3D_OK);
            EXPECT_EQ(desc.Width, c.widths[level]);
            EXPECT_EQ(desc.Height, c.heights[level]);
            EXPECT_EQ(desc.Format, c.format);
            D3DLOCKED_RECT locked;
            ASSERT_EQ(pTexture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
            EXPECT_EQ(locked.Pitch, static_cast<INT>(c.pitches[level])) << c.format << " level " << level;
            EXPECT_EQ(pTexture->UnlockRect(level), D3D_OK);
        }
        D3DSURFACE_DESC desc;
        EXPECT_EQ(pTexture->GetLevelDesc(static_cast<UINT>(c.widths.size()), &desc), D3DERR_INVALIDCALL);
        EXPECT_EQ(pTexture->Release(), 0u);
    }
}

TEST_F(ResourceTest, PitchPaddingIsAddedToEveryRow)
{
    d3d9test::SetPitchPadding(12);
    IDirect3DTexture9* pTexture = nullptr;
    ASSERT_EQ(m_pDevice->CreateTexture(3, 3, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &pTexture, nullptr), D3D_OK);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(pTexture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 16 + 12);
    // Rows written with the pitch read back as the texel grid.
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch)[x] = 0xFF000000u | (y * 3 + x);
    pTexture->UnlockRect(0);
    IDirect3DSurface9* pLevel = nullptr;
    ASSERT_EQ(pTexture->GetSurfaceLevel(0, &pLevel), D3D_OK);
    d3d9test::SurfaceData data;
    ASSERT_TRUE(d3d9test::ReadSurface(pLevel, data));
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(data.bytes[i * 4], i);
    pLevel->Release();
    pTexture->Release();
}

// Create, AddRef, Release to zero, for every kind; the object is gone afterwards.
TEST_F(ResourceTest, ReferenceCountsReachZeroForEveryKind)
{
    std::vector<IUnknown*> objects;
    IDirect3DTexture9* pTexture = nullptr;
    ASSERT_EQ(m_pDevice->CreateTexture(4, 4, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &pTexture, nullptr), D3D_OK);
    objects.push_back(pTexture);
    IDirect3DCubeTexture9* pCube = nullptr;
    ASSERT_EQ(m_pDevice->CreateCubeTexture(8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A16B16G16R16, D3DPOOL_DEFAULT, &pCube,
                                           nullptr),
              D3D_OK);
    objects.push_back(pCube);
    IDirect3DVolumeTexture9* pVolume = nullptr;
    ASSERT_EQ(m_pDevice->CreateVolumeTexture(4, 4, 4, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &pVolume, nullptr), D3D_OK);
    objects.push_back(pVolume);
    IDirect3DSurface9* pSurface = nullptr;
    ASSERT_EQ(m_pDevice->CreateRenderTarget(8, 8, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, TRUE, &pSurface, nullptr), D3D_OK);
    objects.push_back(pSurface);
    ASSERT_EQ(m_pDevice->CreateDepthStencilSurface(8, 8, D3DFMT_D24X8, D3DMULTISAMPLE_NONE, 0, FALSE, &pSurface, nullptr),
              D3D_OK);
    objects.push_back(pSurface);
    ASSERT_EQ(m_pDevice->CreateOffscreenPlainSurface(8, 8, D3DFMT_A8R8G8B8, D3DPOOL_SCRATCH, &pSurface, nullptr), D3D_OK);
    objects.push_back(pSurface);
    IDirect3DVertexBuffer9* pVertices = nullptr;
    ASSERT_EQ(m_pDevice->CreateVertexBuffer(144, D3DUSAGE_WRITEONLY, 0, D3DPOOL_DEFAULT, &pVertices, nullptr), D3D_OK);
    objects.push_back(pVertices);
    IDirect3DIndexBuffer9* pIndices = nullptr;
    ASSERT_EQ(m_pDevice->CreateIndexBuffer(12, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &pIndices, nullptr), D3D_OK);
    objects.push_back(pIndices);
    const D3DVERTEXELEMENT9 elements[] = {{0, 0, D3DDECLTYPE_FLOAT4, 0, D3DDECLUSAGE_POSITION, 0}, D3DDECL_END()};
    IDirect3DVertexDeclaration9* pDecl = nullptr;
    ASSERT_EQ(m_pDevice->CreateVertexDeclaration(elements, &pDecl), D3D_OK);
    objects.push_back(pDecl);
    const DWORD vs[] = {D3DVS_VERSION(2, 0), 0x0000FFFF};
    IDirect3DVertexShader9* pVs = nullptr;
    ASSERT_EQ(m_pDevice->CreateVertexShader(vs, &pVs), D3D_OK);
    objects.push_back(pVs);
    const DWORD ps[] = {D3DPS_VERSION(2, 0), 0x0000FFFF};
    IDirect3DPixelShader9* pPs = nullptr;
    ASSERT_EQ(m_pDevice->CreatePixelShader(ps, &pPs), D3D_OK);
    objects.push_back(pPs);
    IDirect3DQuery9* pQuery = nullptr;
    ASSERT_EQ(m_pDevice->CreateQuery(D3DQUERYTYPE_OCCLUSION, &pQuery), D3D_OK);
    objects.push_back(pQuery);
    ASSERT_EQ(m_pDevice->BeginStateBlock(), D3D_OK);
    IDirect3DStateBlock9* pBlock = nullptr;
    ASSERT_EQ(m_pDevice->EndStateBlock(&pBlock), D3D_OK);
    objects.push_back(pBlock);

    const size_t nLiveWithObjects = d3d9test::LiveObjects().size();
    for (IUnknown* pObject : objects)
    {
        EXPECT_EQ(pObject->AddRef(), 2u);
        EXPECT_EQ(pObject->Release(), 1u);
        EXPECT_EQ(pObject->Release(), 0u);
    }
    EXPECT_EQ(d3d9test::LiveObjects().size(), nLiveWithObjects - objects.size());
}

TEST_F(ResourceTest, LevelSurfacesShareTheTextureCount)
{
    IDirect3DTexture9* pTexture = nullptr;
    ASSERT_EQ(m_pDevice->CreateTexture(4, 4, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &pTexture, nullptr), D3D_OK);
    IDirect3DSurface9* pLevel = nullptr;
    ASSERT_EQ(pTexture->GetSurfaceLevel(1, &pLevel), D3D_OK);
    EXPECT_EQ(pTexture->AddRef(), 3u);  // creation, GetSurfaceLevel, this AddRef
    EXPECT_EQ(pTexture->Release(), 2u);
    // The held surface keeps its texture alive.
    EXPECT_EQ(pTexture->Release(), 1u);
    IDirect3DTexture9* pContainer = nullptr;
    ASSERT_EQ(pLevel->GetContainer(IID_IDirect3DTexture9, reinterpret_cast<void**>(&pContainer)), D3D_OK);
    EXPECT_EQ(pContainer, pTexture);
    EXPECT_EQ(pContainer->Release(), 1u);
    EXPECT_EQ(pLevel->Release(), 0u);
}

TEST_F(ResourceTest, BoundObjectsStayAliveUntilUnbound)
{
    IDirect3DTexture9* pTexture = nullptr;
    ASSERT_EQ(m_pDevice->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &pTexture, nullptr), D3D_OK);
    ASSERT_EQ(m_pDevice->SetTexture(0, pTexture), D3D_OK);
    // Bindings do not show in the count.
    EXPECT_EQ(pTexture->Release(), 0u);
    auto objects = d3d9test::LiveObjects();
    EXPECT_TRUE(std::any_of(objects.begin(), objects.end(),
                            [](const d3d9test::LiveObject& o) { return o.strKind == "Texture"; }));
    IDirect3DBaseTexture9* pBound = nullptr;
    ASSERT_EQ(m_pDevice->GetTexture(0, &pBound), D3D_OK);
    EXPECT_EQ(pBound->Release(), 0u);
    ASSERT_EQ(m_pDevice->SetTexture(0, nullptr), D3D_OK);
    objects = d3d9test::LiveObjects();
    EXPECT_FALSE(std::any_of(objects.begin(), objects.end(),
                             [](const d3d9test::LiveObject& o) { return o.strKind == "Texture"; }));
}

TEST_F(ResourceTest, DeviceReleasedBeforeItsObjectsIsHarmless)
{
    IDirect3DVertexBuffer9* pBuffer = nullptr;
    ASSERT_EQ(m_pDevice->CreateVertexBuffer(16, 0, 0, D3DPOOL_MANAGED, &pBuffer, nullptr), D3D_OK);
    IDirect3DSurface9* pBackBuffer = nullptr;
    ASSERT_EQ(m_pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer), D3D_OK);
    EXPECT_EQ(m_pDevice->Release(), 0u);
    m_pDevice = nullptr;
    // The survivors are listed and still work.
    EXPECT_EQ(d3d9test::LiveObjects().size(), 4u);  // Direct3D, device, buffer, back buffer
    void* pData = nullptr;
    EXPECT_EQ(pBuffer->Lock(0, 0, &pData, 0), D3D_OK);
    EXPECT_EQ(pBuffer->Unlock(), D3D_OK);
    EXPECT_EQ(pBuffer->Release(), 0u);
    EXPECT_EQ(pBackBuffer->Release(), 0u);
}

TEST_F(ResourceTest, DiscardGivesZeroedStorageAndOtherLocksKeepTheRest)
{
    IDirect3DTexture9* pTexture = nullptr;
    ASSERT_EQ(m_pDevice->CreateTexture(4, 4, 1, D3DUSAGE_DYNAMIC, D3DFMT_L8, D3DPOOL_DEFAULT, &pTexture, nullptr),
              D3D_OK);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(pTexture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (int y = 0; y < 4; ++y)
        std::memset(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch, 0x11, 4);
    pTexture->UnlockRect(0);

    // A rectangle lock writes only its part; the rest keeps its bytes.
    const RECT rect{1, 1, 3, 2};
    ASSERT_EQ(pTexture->LockRect(0, &locked, &rect, 0), D3D_OK);
    static_cast<BYTE*>(locked.pBits)[0] = 0x22;
    static_cast<BYTE*>(locked.pBits)[1] = 0x33;
    pTexture->UnlockRect(0);
    ASSERT_EQ(pTexture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    const BYTE* pRow1 = static_cast<const BYTE*>(locked.pBits) + locked.Pitch;
    EXPECT_EQ(pRow1[0], 0x11);
    EXPECT_EQ(pRow1[1], 0x22);
    EXPECT_EQ(pRow1[2], 0x33);
    EXPECT_EQ(pRow1[3], 0x11);
    pTexture->UnlockRect(0);

    // DISCARD: fresh zeroed storage.
    ASSERT_EQ(pTexture->LockRect(0, &locked, nullptr, D3DLOCK_DISCARD), D3D_OK);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(static_cast<const BYTE*>(locked.pBits)[y * locked.Pitch + x], 0);
    pTexture->UnlockRect(0);
    pTexture->Release();
}

TEST_F(ResourceTest, BufferLocksReadBackAndDiscard)
{
    IDirect3DVertexBuffer9* pBuffer = nullptr;
    ASSERT_EQ(m_pDevice->CreateVertexBuffer(32, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, 0, D3DPOOL_DEFAULT, &pBuffer,
                                            nullptr),
              D3D_OK);
    BYTE* pData = nullptr;
    ASSERT_EQ(pBuffer->Lock(0, 0, reinterpret_cast<void**>(&pData), 0), D3D_OK);
    std::memset(pData, 0x5A, 32);
    pBuffer->Unlock();
    // A part lock starts at its offset; bytes outside it are kept.
    ASSERT_EQ(pBuffer->Lock(8, 4, reinterpret_cast<void**>(&pData), 0), D3D_OK);
    std::memset(pData, 0x01, 4);
    pBuffer->Unlock();
    // WRITEONLY still reads back the current contents.
    ASSERT_EQ(pBuffer->Lock(0, 0, reinterpret_cast<void**>(&pData), D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(pData[7], 0x5A);
    EXPECT_EQ(pData[8], 0x01);
    EXPECT_EQ(pData[11], 0x01);
    EXPECT_EQ(pData[12], 0x5A);
    pBuffer->Unlock();
    ASSERT_EQ(pBuffer->Lock(0, 0, reinterpret_cast<void**>(&pData), D3DLOCK_DISCARD), D3D_OK);
    EXPECT_EQ(pData[8], 0);
    pBuffer->Unlock();
    EXPECT_EQ(pBuffer->Lock(30, 4, reinterpret_cast<void**>(&pData), 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(pBuffer->Unlock(), D3DERR_INVALIDCALL);
    pBuffer->Release();
}

TEST_F(ResourceTest, LockRules)
{
    IDirect3DTexture9* pTarget = nullptr;
    ASSERT_EQ(m_pDevice->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &pTarget,
                                       nullptr),
              D3D_OK);
    IDirect3DSurface9* pPlainTarget = nullptr;
    ASSERT_EQ(m_pDevice->CreateRenderTarget(8, 8, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE, &pPlainTarget, nullptr),
              D3D_OK);
    IDirect3DSurface9* pLockable = nullptr;
    ASSERT_EQ(m_pDevice->CreateRenderTarget(8, 8, D3DFMT_A32B32G32R32F, D3DMULTISAMPLE_NONE, 0, TRUE, &pLockable, nullptr),
              D3D_OK);
    IDirect3DSurface9* pDepth = nullptr;
    ASSERT_EQ(m_pDevice->GetDepthStencilSurface(&pDepth), D3D_OK);
    IDirect3DTexture9* pDxt = nullptr;
    ASSERT_EQ(m_pDevice->CreateTexture(8, 8, 1, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &pDxt, nullptr), D3D_OK);

    D3DLOCKED_RECT locked;
    EXPECT_EQ(pTarget->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(pPlainTarget->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3DERR_INVALIDCALL);
    EXPECT_EQ(pDepth->LockRect(&locked, nullptr, 0), D3DERR_INVALIDCALL);
    ASSERT_EQ(pLockable->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(locked.Pitch, 128);
    // One lock at a time; no unlock without a lock.
    EXPECT_EQ(pLockable->LockRect(&locked, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(pLockable->UnlockRect(), D3D_OK);
    EXPECT_EQ(pLockable->UnlockRect(), D3DERR_INVALIDCALL);
    // DXT rectangles lie on block edges; the pointer is that of the block.
    D3DLOCKED_RECT whole;
    ASSERT_EQ(pDxt->LockRect(0, &whole, nullptr, D3DLOCK_READONLY), D3D_OK);
    pDxt->UnlockRect(0);
    const RECT unaligned{1, 0, 4, 4};
    EXPECT_EQ(pDxt->LockRect(0, &locked, &unaligned, 0), D3DERR_INVALIDCALL);
    const RECT second{4, 4, 8, 8};
    ASSERT_EQ(pDxt->LockRect(0, &locked, &second, 0), D3D_OK);
    EXPECT_EQ(static_cast<BYTE*>(locked.pBits) - static_cast<BYTE*>(whole.pBits), whole.Pitch + 8);
    pDxt->UnlockRect(0);
    const RECT outside{0, 0, 9, 4};
    EXPECT_EQ(pDxt->LockRect(0, &locked, &outside, 0), D3DERR_INVALIDCALL);

    pDxt->Release();
    pDepth->Release();
    pLockable->Release();
    pPlainTarget->Release();
    pTarget->Release();
}

TEST_F(ResourceTest, SystemMemoryAndScratchCannotBeBound)
{
    IDirect3DTexture9* pScratch = nullptr;
    ASSERT_EQ(m_pDevice->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_SCRATCH, &pScratch, nullptr), D3D_OK);
    IDirect3DTexture9* pSystem = nullptr;
    ASSERT_EQ(m_pDevice->CreateTexture(4, 4, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &pSystem, nullptr),
              D3D_OK);
    EXPECT_EQ(m_pDevice->SetTexture(0, pScratch), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_pDevice->SetTexture(0, pSystem), D3DERR_INVALIDCALL);
    IDirect3DVertexBuffer9* pBuffer = nullptr;
    ASSERT_EQ(m_pDevice->CreateVertexBuffer(16, 0, 0, D3DPOOL_SYSTEMMEM, &pBuffer, nullptr), D3D_OK);
    EXPECT_EQ(m_pDevice->SetStreamSource(0, pBuffer, 0, 16), D3DERR_INVALIDCALL);
    pBuffer->Release();
    pSystem->Release();
    pScratch->Release();
}

struct RefusedCase
{
    const char* name;
    UINT width, height, levels;
    DWORD usage;
    D3DFORMAT format;
    D3DPOOL pool;
};

const RefusedCase g_RefusedTextures[] = {
    {"zero width", 0, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED},
    {"too large", 8192, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED},
    {"too many levels", 4, 4, 4, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED},
    {"managed render target", 4, 4, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED},
    {"depth format", 4, 4, 1, 0, D3DFMT_D24S8, D3DPOOL_MANAGED},
    {"compressed render target", 4, 4, 1, D3DUSAGE_RENDERTARGET, D3DFMT_DXT1, D3DPOOL_DEFAULT},
    {"dynamic managed", 4, 4, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED},
};

TEST_F(ResourceTest, InvalidTexturesAreRefused)
{
    SetLogEcho(false);
    for (const RefusedCase& c : g_RefusedTextures)
    {
        IDirect3DTexture9* pTexture = nullptr;
        EXPECT_EQ(m_pDevice->CreateTexture(c.width, c.height, c.levels, c.usage, c.format, c.pool, &pTexture, nullptr),
                  D3DERR_INVALIDCALL)
            << c.name;
        EXPECT_EQ(pTexture, nullptr);
    }
    SetLogEcho(true);
}

TEST_F(ResourceTest, UpdateTextureCopiesMatchingLevels)
{
    IDirect3DTexture9* pSource = nullptr;
    ASSERT_EQ(m_pDevice->CreateTexture(8, 8, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &pSource, nullptr), D3D_OK);
    IDirect3DTexture9* pDest = nullptr;
    ASSERT_EQ(m_pDevice->CreateTexture(4, 4, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &pDest, nullptr), D3D_OK);
    for (UINT level = 0; level < 4; ++level)
    {
        D3DLOCKED_RECT locked;
        ASSERT_EQ(pSource->LockRect(level, &locked, nullptr, 0), D3D_OK);
        static_cast<BYTE*>(locked.pBits)[0] = static_cast<BYTE>(10 + level);
        pSource->UnlockRect(level);
    }
    // The 8×8 source skips its top level so that 4×4 meets 4×4.
    ASSERT_EQ(m_pDevice->UpdateTexture(pSource, pDest), D3D_OK);
    for (UINT level = 0; level < 3; ++level)
    {
        D3DLOCKED_RECT locked;
        ASSERT_EQ(pDest->LockRect(level, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        EXPECT_EQ(static_cast<BYTE*>(locked.pBits)[0], 11 + level);
        pDest->UnlockRect(level);
    }
    EXPECT_EQ(m_pDevice->UpdateTexture(pDest, pSource), D3DERR_INVALIDCALL);
    pDest->Release();
    pSource->Release();
}
}  // namespace

namespace
{
TEST_F(ResourceTest, ObjectCallsAreRecordedAndCanBeMadeToFail)
{
    IDirect3DCubeTexture9* pCube = nullptr;
    ASSERT_EQ(m_pDevice->CreateCubeTexture(4, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &pCube, nullptr),
              D3D_OK);
    IDirect3DQuery9* pQuery = nullptr;
    ASSERT_EQ(m_pDevice->CreateQuery(D3DQUERYTYPE_OCCLUSION, &pQuery), D3D_OK);
    IDirect3DVertexBuffer9* pBuffer = nullptr;
    ASSERT_EQ(m_pDevice->CreateVertexBuffer(24, D3DUSAGE_WRITEONLY, 0, D3DPOOL_DEFAULT, &pBuffer, nullptr), D3D_OK);

    d3d9test::Recorder recorder(m_pDevice);
    d3d9test::FailNext(m_pDevice, "GetCubeMapSurface");
    IDirect3DSurface9* pFace = reinterpret_cast<IDirect3DSurface9*>(1);
    EXPECT_EQ(pCube->GetCubeMapSurface(D3DCUBEMAP_FACE_NEGATIVE_Y, 0, &pFace), D3DERR_INVALIDCALL);
    ASSERT_EQ(pCube->GetCubeMapSurface(D3DCUBEMAP_FACE_NEGATIVE_Y, 0, &pFace), D3D_OK);
    pQuery->Issue(D3DISSUE_BEGIN);
    pQuery->Issue(D3DISSUE_END);
    DWORD count = 0;
    pQuery->GetData(&count, sizeof(count), D3DGETDATA_FLUSH);
    void* pData = nullptr;
    pBuffer->Lock(0, 0, &pData, 0);
    pBuffer->Unlock();
    recorder.Stop();

    const std::vector<std::string> expected = {
        "GetCubeMapSurface(CubeTexture#3, 3, 0)",
        "GetCubeMapSurface(CubeTexture#3, 3, 0)",
        "Issue(Query#10, BEGIN)",
        "Issue(Query#10, END)",
        "GetData(Query#10, 4, FLUSH)",
        "Lock(VertexBuffer#11, 0, 0, 0)",
        "Unlock(VertexBuffer#11)",
    };
    EXPECT_EQ(recorder.Texts(), expected);
    EXPECT_EQ(recorder.Calls()[1].strOutput, "Surface#7");
    pFace->Release();
    pBuffer->Release();
    pQuery->Release();
    pCube->Release();
}
}  // namespace

namespace
{
TEST_F(ResourceTest, CubeFacesAndVolumeSlicesAreSeparateImages)
{
    IDirect3DCubeTexture9* pCube = nullptr;
    ASSERT_EQ(m_pDevice->CreateCubeTexture(4, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &pCube, nullptr), D3D_OK);
    EXPECT_EQ(pCube->GetLevelCount(), 3u);
    for (DWORD face = 0; face < 6; ++face)
    {
        D3DLOCKED_RECT locked;
        ASSERT_EQ(pCube->LockRect(static_cast<D3DCUBEMAP_FACES>(face), 0, &locked, nullptr, 0), D3D_OK);
        static_cast<BYTE*>(locked.pBits)[0] = static_cast<BYTE>(face + 1);
        pCube->UnlockRect(static_cast<D3DCUBEMAP_FACES>(face), 0);
    }
    for (DWORD face = 0; face < 6; ++face)
    {
        IDirect3DSurface9* pFace = nullptr;
        ASSERT_EQ(pCube->GetCubeMapSurface(static_cast<D3DCUBEMAP_FACES>(face), 0, &pFace), D3D_OK);
        d3d9test::SurfaceData data;
        ASSERT_TRUE(d3d9test::ReadSurface(pFace, data));
        EXPECT_EQ(data.bytes[0], face + 1);
        pFace->Release();
    }
    IDirect3DSurface9* pFace = nullptr;
    EXPECT_EQ(pCube->GetCubeMapSurface(static_cast<D3DCUBEMAP_FACES>(6), 0, &pFace), D3DERR_INVALIDCALL);
    pCube->Release();

    IDirect3DVolumeTexture9* pVolume = nullptr;
    ASSERT_EQ(m_pDevice->CreateVolumeTexture(3, 2, 4, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &pVolume, nullptr), D3D_OK);
    ASSERT_EQ(pVolume->GetLevelCount(), 3u);  // 3×2×4, 1×1×2, 1×1×1
    D3DVOLUME_DESC desc;
    ASSERT_EQ(pVolume->GetLevelDesc(1, &desc), D3D_OK);
    EXPECT_EQ(desc.Width, 1u);
    EXPECT_EQ(desc.Height, 1u);
    EXPECT_EQ(desc.Depth, 2u);
    D3DLOCKED_BOX box;
    ASSERT_EQ(pVolume->LockBox(0, &box, nullptr, 0), D3D_OK);
    EXPECT_EQ(box.RowPitch, 16);
    EXPECT_EQ(box.SlicePitch, 32);
    static_cast<BYTE*>(box.pBits)[3 * box.SlicePitch] = 0x77;
    pVolume->UnlockBox(0);
    const D3DBOX lastSlice{0, 0, 1, 1, 3, 4};
    ASSERT_EQ(pVolume->LockBox(0, &box, &lastSlice, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(static_cast<BYTE*>(box.pBits)[0], 0x77);
    pVolume->UnlockBox(0);
    const D3DBOX beyond{0, 0, 1, 1, 3, 5};
    EXPECT_EQ(pVolume->LockBox(0, &box, &beyond, 0), D3DERR_INVALIDCALL);
    pVolume->Release();
}
}  // namespace
