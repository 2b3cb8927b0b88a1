#pragma once
// A renderer whose device-facing steps only write what they were asked into a list, so the
// device-independent parts (apply order, caches' inputs, tables) can be checked on their own.
// Device objects are stand-in addresses that nothing dereferences.
#include "3dapi/Renderer.h"
#include "core/PixelImage.h"

#include <set>
#include <string>
#include <vector>

class ScriptedRenderer : public Renderer
{
public:
    explicit ScriptedRenderer(int nStageCount)
    {
        SetStageCount(nStageCount);
        m_nMaxAnisotropy = 8;
        ResetState();
    }

    // Resource indexes (or, for text, the first byte of the text) whose programs fail to assemble.
    std::set<int> m_FailingPrograms;
    bool m_bFailUpload = false;
    std::vector<std::string> m_Calls;

    void CreateDeviceTexture(TextureEntry& entry) override
    {
        Note("CreateDeviceTexture");
        entry.m_pDeviceTexture = FakeObject<IDirect3DBaseTexture9>();
    }
    void ReleaseDeviceTexture(TextureEntry& entry) override
    {
        Note("ReleaseDeviceTexture");
        entry.m_pDeviceTexture = nullptr;
    }
    bool UploadTexture(TextureEntry&) override
    {
        Note("UploadTexture");
        return !m_bFailUpload;
    }
    void UnbindTextures() override { Note("UnbindTextures"); }
    void PreparePixelShader(ShaderEntry&) override { Note("PreparePixelShader"); }
    void ReleasePixelShader(ShaderEntry&) override { Note("ReleasePixelShader"); }
    void CompilePixelShader(ShaderEntry& entry) override { Compile("CompilePixelShader", entry, TextKey(entry)); }
    void CompilePixelShaderResource(ShaderEntry& entry) override
    {
        Compile("CompilePixelShaderResource", entry, entry.m_nResourceIndex);
    }
    void PrepareVertexShader(ShaderEntry&) override { Note("PrepareVertexShader"); }
    void ReleaseVertexShader(ShaderEntry&) override { Note("ReleaseVertexShader"); }
    void CompileVertexShader(ShaderEntry& entry) override { Compile("CompileVertexShader", entry, TextKey(entry)); }
    void CompileVertexShaderResource(ShaderEntry& entry) override
    {
        Compile("CompileVertexShaderResource", entry, entry.m_nResourceIndex);
    }
    bool RestoreBackBuffer() override
    {
        Note("RestoreBackBuffer");
        return true;
    }
    void SelectStage(int nStage) override
    {
        m_nActiveStage = nStage;
        Note("SelectStage(" + std::to_string(nStage) + ")");
    }
    void BindStageTexture(int nId) override { Note("BindStageTexture(" + std::to_string(nId) + ")"); }
    void SetTextureCombiner(int nColor, int nAlpha) override
    {
        Note("SetTextureCombiner(" + std::to_string(nColor) + ", " + std::to_string(nAlpha) + ")");
    }
    void SetStageOption(int nValue) override { Note("SetStageOption(" + std::to_string(nValue) + ")"); }
    void BindPixelShader(int nId) override { Note("BindPixelShader(" + std::to_string(nId) + ")"); }
    void BindVertexShader(int nId) override { Note("BindVertexShader(" + std::to_string(nId) + ")"); }
    void SetBlend(int nSrc, int nDest, int nOp) override
    {
        Note("SetBlend(" + std::to_string(nSrc) + ", " + std::to_string(nDest) + ", " + std::to_string(nOp) + ")");
    }
    void SetVSync(bool) override {}
    void SetTextureAnisotropy(int nId, bool bEnabled) override
    {
        if (TextureEntry* pEntry = FindTextureEntry(nId))
            pEntry->m_nAnisotropy = bEnabled ? m_nMaxAnisotropy : 1;
    }

    // The calls noted since the last Take, then forgets them.
    std::vector<std::string> Take() { return std::move(m_Calls); }

    // A small RGBA8 image with one level, owned by whoever receives it.
    static PixelImage* NewImage(int nSide = 4)
    {
        auto* pImage = new PixelImage;
        size_t nSize = static_cast<size_t>(nSide) * static_cast<size_t>(nSide) * 4;
        uint8_t* pPixels = AllocatePixels(nSize);
        for (size_t i = 0; i < nSize; ++i)
            pPixels[i] = static_cast<uint8_t>(i);
        pImage->Adopt(pPixels, nSide, nSide, RGBA8, true, false);
        return pImage;
    }

private:
    template <typename T>
    T* FakeObject()
    {
        return reinterpret_cast<T*>(&m_FakeObjects[m_nNextFake++ % 64]);
    }
    static int TextKey(const ShaderEntry& entry) { return entry.m_nSourceLength ? entry.m_pSource[0] : -1; }
    void Compile(const char* szName, ShaderEntry& entry, int nKey)
    {
        Note(szName);
        entry.m_pDeviceShader = m_FailingPrograms.count(nKey) ? nullptr : FakeObject<IUnknown>();
    }
    void Note(std::string strCall) { m_Calls.push_back(std::move(strCall)); }

    alignas(16) char m_FakeObjects[64][16] = {};
    int m_nNextFake = 0;
};
