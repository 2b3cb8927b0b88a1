#pragma once
// The Direct3D 9 implementation of the renderer: every device-facing step on one device, shader
// programs assembled with the D3DX assembler, and the back buffer and depth-stencil surface that
// were current at creation, kept so that render targets can be left again.
#include "3dapi/Renderer.h"

#include <d3d9.h>

// The Direct3D format of each PixelFormat code (D3DFMT_UNKNOWN where none fits); RGB8 images are
// widened to four bytes before upload.
extern const D3DFORMAT g_TextureFormats[11];

class Direct3DRenderer : public Renderer
{
public:
    // The device is not owned. Takes references to its current render target 0 and depth-stencil
    // surface, released by the destructor.
    Direct3DRenderer(const D3DCAPS9& caps, IDirect3DDevice9* pDevice);
    ~Direct3DRenderer() override;

    void CreateDeviceTexture(TextureEntry& entry) override;
    void ReleaseDeviceTexture(TextureEntry& entry) override;
    bool UploadTexture(TextureEntry& entry) override;
    void UnbindTextures() override;
    void PreparePixelShader(ShaderEntry& entry) override;
    void ReleasePixelShader(ShaderEntry& entry) override;
    void CompilePixelShader(ShaderEntry& entry) override;
    void CompilePixelShaderResource(ShaderEntry& entry) override;
    void PrepareVertexShader(ShaderEntry& entry) override;
    void ReleaseVertexShader(ShaderEntry& entry) override;
    void CompileVertexShader(ShaderEntry& entry) override;
    void CompileVertexShaderResource(ShaderEntry& entry) override;
    bool RestoreBackBuffer() override;
    void SelectStage(int nStage) override;
    void BindStageTexture(int nId) override;
    void SetTextureCombiner(int nColorMode, int nAlphaMode) override;
    void SetStageOption(int nValue) override;
    void BindPixelShader(int nId) override;
    void BindVertexShader(int nId) override;
    void SetBlend(int nSrcBlend, int nDestBlend, int nBlendOp) override;
    void SetVSync(bool bEnabled) override;
    void SetTextureAnisotropy(int nId, bool bEnabled) override;

private:
    // Which program a compile step assembles: its text or its resource, pixel or vertex.
    struct ProgramSource;
    void AssembleProgram(ShaderEntry& entry, const ProgramSource& source);
    // Sets one channel's combine mode on the active stage.
    void ApplyCombineMode(int nMode, bool bAlpha);
    // Copies the levels of one face image into the locked levels of the device texture.
    bool UploadFace(TextureEntry& entry, int nFace);
    void CreateVolumeTexture(TextureEntry& entry);
    bool UploadVolume(TextureEntry& entry);

    IDirect3DSurface9* m_pSavedBackBuffer = nullptr;
    IDirect3DSurface9* m_pSavedDepthStencil = nullptr;
    IDirect3DDevice9* m_pDevice = nullptr;
};
