#pragma once
// The drawing interface every pass uses. Callers never hold device objects: textures, render
// targets and shader programs are small integer ids (indexes into three tables; -1 means none).
// A pass selects what it wants (the pending state) and applies it in one call; the renderer
// compares the pending values with what it last set and touches the device only for what
// changed (textures, combiners, blending), or on every call (shaders).
//
// The device-facing steps are virtual; Direct3DRenderer is the implementation.
#include "3dapi/RenderTarget.h"
#include "3dapi/ShaderEntry.h"
#include "3dapi/TextureEntry.h"
#include "core/Array.h"

#include <cstdint>

// How a fixed-function stage combines its texture with the current colour, per channel.
enum CombineMode : int32_t
{
    COMBINE_UNCHANGED = 0,     // leave the device as it is
    COMBINE_MODULATE = 1,      // current × texture
    COMBINE_DOTPRODUCT = 2,    // dot3 of current and texture (colour channel only)
    COMBINE_UNCHANGED_3 = 3,   // leave the device as it is
    COMBINE_ADD = 4,           // current + texture
    COMBINE_TEXTURE = 5,       // texture only
    COMBINE_CURRENT = 6,       // current only
    COMBINE_LERP_DIFFUSE = 7,  // texture and current blended by the diffuse colour
    COMBINE_LERP_TEXTURE = 8,  // diffuse and current blended by the texture
    COMBINE_TEXTURE_ALPHA = 9, // texture and current blended by the texture's alpha
};

// State sets that ApplyState and ApplyShaders push to the device while enabled.
enum StateSet : uint32_t
{
    STATE_SET_BLEND = 1,
    STATE_SET_PIXEL = 2,   // texture combiners and the pixel shader
    STATE_SET_VERTEX = 4,  // the vertex shader
    STATE_SET_ALL = 7,
};

// Maps -1..1 to 0..255: (int) ((x + 1) x 127.5), so 0 gives 127.
int32_t PackSignedUnit(float x);

class Renderer
{
public:
    // The per-stage arrays hold this many stages; a device that offers more is clamped to it.
    static constexpr int MAX_STAGES = 16;

    Renderer();
    // Frees the tables' storage only: ReleaseAll must have released every device object.
    virtual ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // ---- Device-facing steps, implemented by the device layer.
    virtual void CreateDeviceTexture(TextureEntry& entry) = 0;
    virtual void ReleaseDeviceTexture(TextureEntry& entry) = 0;
    virtual bool UploadTexture(TextureEntry& entry) = 0;
    // No texture on every managed stage; the per-stage record is left as it is.
    virtual void UnbindTextures() = 0;
    virtual void PreparePixelShader(ShaderEntry& entry) = 0;
    virtual void ReleasePixelShader(ShaderEntry& entry) = 0;
    virtual void CompilePixelShader(ShaderEntry& entry) = 0;
    virtual void CompilePixelShaderResource(ShaderEntry& entry) = 0;
    virtual void PrepareVertexShader(ShaderEntry& entry) = 0;
    virtual void ReleaseVertexShader(ShaderEntry& entry) = 0;
    virtual void CompileVertexShader(ShaderEntry& entry) = 0;
    virtual void CompileVertexShaderResource(ShaderEntry& entry) = 0;
    // The back buffer and its depth-stencil surface as the render target again.
    virtual bool RestoreBackBuffer() = 0;
    virtual void SelectStage(int nStage) = 0;
    // Binds the texture id (-1 none) to the active stage unless the stage already holds it.
    virtual void BindStageTexture(int nId) = 0;
    // Sets the active stage's combine modes, each only when it differs from the current one.
    virtual void SetTextureCombiner(int nColorMode, int nAlphaMode) = 0;
    virtual void SetStageOption(int nValue) = 0;
    // Shaders are set on every call (-1: none).
    virtual void BindPixelShader(int nId) = 0;
    virtual void BindVertexShader(int nId) = 0;
    // Alpha blending on with these values when a blend is requested, else off.
    virtual void SetBlend(int nSrcBlend, int nDestBlend, int nBlendOp) = 0;
    virtual void SetVSync(bool bEnabled) = 0;
    // Records the anisotropy level of a 2D texture entry.
    virtual void SetTextureAnisotropy(int nId, bool bEnabled) = 0;

    // ---- Selection: pending values only, nothing reaches the device.
    // Pending textures of stages 0 to 5; later stages keep theirs (-1 after every apply).
    void SelectTextures(int t0, int t1, int t2, int t3, int t4, int t5);
    void SelectPixelShader(int nId) { m_nPendingPixelShader = nId; }
    void SelectVertexShader(int nId) { m_nPendingVertexShader = nId; }
    void SetAnisotropic(bool bAnisotropic) { m_bAnisotropic = bAnisotropic; }
    void SetColorMipMaps(bool bColorMipMaps) { m_bColorMipMaps = bColorMipMaps; }

    // ---- Application.
    // Records the device as holding nothing (blending recorded as on); no device call.
    void ResetState();
    void ClearPendingState();
    // Pushes every pending value through the caches, then clears the pending state.
    void ApplyState();
    // Binds the pending shaders of the enabled sets; the pending state stays.
    void ApplyShaders();
    // Binds a texture to a stage at once; the pending state is untouched.
    void BindTexture(int nStage, int nId);
    void EnableStateSets(uint32_t nBits);
    // Pushes the pending values of those sets once; later applies leave them to the caller.
    void DisableStateSets(uint32_t nBits);
    // Unbinds everything and destroys every texture and shader; the tables keep their counts.
    void ReleaseAll();

    // ---- Texture table (ids are slot indexes; -1 means none or failure).
    int LoadTexture(const char* szPath, int nFlags);
    // Takes ownership of the image, whatever the result.
    int AddTexture(PixelImage* pImage, int nFlags);
    int StoreTexture(const TextureEntry& entry);
    void DestroyTexture(int nId);
    // The first id above nId whose slot is in use, -1 when none; start with -1.
    int NextTexture(int nId) const;

    // ---- Procedural textures (RendererProcedural.cpp). n is the side in texels or voxels; flag
    // TEXTURE_NO_MIPMAPS keeps a single level. Sides below 3 are refused (-1): the formulas
    // divide by the half side (n - 1) / 2, taken in floating point.
    // I8 radial falloff: 255 x max(0, 1 - distance to the centre / half side).
    int CreateFalloffTexture(int n, int nFlags);
    // RGBA8: byte 0 random, bytes 1 to 3 byte 0 of the neighbours (x + 1), (y + 1), (x + 1, y + 1).
    int CreateNoiseTexture(int n, int nFlags);
    // Faces +X, -X, +Y, -Y, +Z, -Z from six image files; -1 when one cannot be read.
    int LoadCubeTexture(const char* szNegX, const char* szPosX, const char* szNegY, const char* szPosY,
                        const char* szNegZ, const char* szPosZ);
    // RGB8 faces whose texels hold the packed unit direction through them.
    int CreateNormalizationCubeTexture(int n);
    // Volumes, clamped on all three axes: 1 byte a voxel of 255 x max(0, 1 - length / half side),
    // of 255 x min(1, length / half side), of the depth through the unit sphere; 4 bytes a voxel
    // of the direction to the centre scaled by the attenuation, with the attenuation in alpha.
    int CreateAttenuationVolume(int n, int nFlags);
    int CreateDistanceVolume(int n, int nFlags);
    int CreateSphereDepthVolume(int n, int nFlags);
    int CreateNormalizationVolume(int n, int nFlags);
    // 4 bytes a voxel: random byte 0 and its neighbours in x, y and x-y; flags as given.
    int CreateNoiseVolume(int n, int nFlags);
    // Takes ownership of the volume, whatever the result.
    int AddVolumeTexture(VolumeImage* pVolume, int nFlags);
    // Stores a cube entry of the six images (faces +X, -X, +Y, -Y, +Z, -Z), taking ownership.
    int AddCubeTexture(PixelImage* pFaces[6]);

    // ---- Render targets (entries of the texture table).
    int CreateRenderTarget(int nWidth, int nHeight, bool bMipChain, bool bCube, RenderTargetFormat nFormat);
    // False, and nothing done, when that id is already bound; -1 restores the back buffer.
    bool BindRenderTarget(int nIndex, int nId);
    bool SelectCubeFace(int nId, int nFace);

    // ---- Shader tables.
    int CreatePixelShader(int nIndex);
    int CreateVertexShader(int nIndex);
    int LoadPixelShader(int nIndex, const char* szFileName);
    int LoadVertexShader(const char* szFileName);
    int AddPixelShader(int nIndex, IUnknown* pDeviceShader);
    void DestroyPixelShader(int nId);
    void DestroyVertexShader(int nId);
    int StorePixelShader(const ShaderEntry& entry);
    int StoreVertexShader(const ShaderEntry& entry);

    // ---- Inspection.
    int GetStageCount() const { return m_nStageCount; }
    int GetActiveStage() const { return m_nActiveStage; }
    int GetCurrentRenderTarget() const { return m_nCurrentRenderTarget; }
    uint32_t GetStateSetMask() const { return m_nStateSetMask; }
    int GetTextureCount() const { return m_TextureEntries.GetCount(); }
    int GetPixelShaderCount() const { return m_PixelShaderEntries.GetCount(); }
    int GetVertexShaderCount() const { return m_VertexShaderEntries.GetCount(); }
    // Null for an id outside the table.
    const TextureEntry* GetTextureEntry(int nId) const;
    const ShaderEntry* GetPixelShaderEntry(int nId) const;
    const ShaderEntry* GetVertexShaderEntry(int nId) const;
    bool GetRgbOrder() const { return m_bRgbOrder; }
    bool GetColorMipMaps() const { return m_bColorMipMaps; }
    bool GetAnisotropic() const { return m_bAnisotropic; }

protected:
    // Sets the managed stage count, clamped to 0..MAX_STAGES.
    void SetStageCount(int nStageCount);
    TextureEntry* FindTextureEntry(int nId);
    ShaderEntry* FindShaderEntry(Array<ShaderEntry>& table, int nId);
    // The device objects an id stands for; null for -1, a free slot or an id outside the table.
    IDirect3DBaseTexture9* GetDeviceTexture(int nId) const;
    IUnknown* GetDevicePixelShader(int nId) const;
    IUnknown* GetDeviceVertexShader(int nId) const;

    Array<TextureEntry> m_TextureEntries;
    int32_t m_nStageCount = 0;
    int32_t m_nActiveStage = 0;
    int32_t m_nMaxAnisotropy = 1;
    int32_t m_PendingTexture[MAX_STAGES] = {};
    int32_t m_CurrentTexture[MAX_STAGES] = {};
    int32_t m_PendingColorMode[MAX_STAGES] = {};
    int32_t m_CurrentColorMode[MAX_STAGES] = {};
    int32_t m_PendingAlphaMode[MAX_STAGES] = {};
    int32_t m_CurrentAlphaMode[MAX_STAGES] = {};
    int32_t m_PendingStageOption[MAX_STAGES] = {};
    int32_t m_CurrentStageOption[MAX_STAGES] = {};
    Array<ShaderEntry> m_PixelShaderEntries;
    int32_t m_nPendingPixelShader = -1;
    int32_t m_nCurrentPixelShader = -1;
    Array<ShaderEntry> m_VertexShaderEntries;
    int32_t m_nPendingVertexShader = -1;
    int32_t m_nCurrentVertexShader = -1;
    int32_t m_nCurrentRenderTarget = -1;
    uint32_t m_nStateSetMask = STATE_SET_ALL;
    // Blend factors (D3DBLEND) and operation (D3DBLENDOP), as last set and as pending.
    int32_t m_nCurrentSrcBlend = -1;
    int32_t m_nPendingSrcBlend = -1;
    int32_t m_nCurrentDestBlend = -1;
    int32_t m_nPendingDestBlend = -1;
    int32_t m_nCurrentBlendOp = 1;
    int32_t m_nPendingBlendOp = 1;
    bool m_bBlendEnabled = true;
    bool m_bBlendRequested = false;
    // Colour order of images read or built: true R,G,B bytes; false B,G,R (the Direct3D order).
    bool m_bRgbOrder = true;
    bool m_bColorMipMaps = true;
    bool m_bAnisotropic = true;

private:
    struct ShaderTable;
    static const ShaderTable PIXEL_SHADERS;
    static const ShaderTable VERTEX_SHADERS;

    // The shared slot allocation of the two shader tables: the first free slot, else a new one.
    static int StoreShader(Array<ShaderEntry>& table, const ShaderEntry& entry);
    // Stores an entry whose program assembled; -1 (nothing stored) for one without a device shader.
    int StoreCompiledShader(const ShaderTable& kind, ShaderEntry& entry);
    int CreateShader(const ShaderTable& kind, int nIndex);
    int LoadShader(const ShaderTable& kind, int nIndex, const char* szFileName);
    void DestroyShader(const ShaderTable& kind, int nId);
    // Deletes the images an entry owns (a render target's object is the device layer's).
    static void DeleteEntryImages(TextureEntry& entry);
};
