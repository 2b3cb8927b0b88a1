// The renderer's pixel- and vertex-shader tables: programs assembled from resources or files,
// slots handed out as ids. A program that does not assemble gets no id (-1) and no slot, so an
// id always stands for the program it was returned for.
#include "3dapi/Renderer.h"

#include "core/FileIO.h"
#include "core/Log.h"

#include <vector>

// The steps of one kind of shader table; the pixel and vertex tables differ only in these.
struct Renderer::ShaderTable
{
    Array<ShaderEntry> Renderer::*m_pEntries;
    void (Renderer::*m_pfnPrepare)(ShaderEntry&);
    void (Renderer::*m_pfnCompile)(ShaderEntry&);
    void (Renderer::*m_pfnCompileResource)(ShaderEntry&);
    void (Renderer::*m_pfnRelease)(ShaderEntry&);
};

const Renderer::ShaderTable Renderer::PIXEL_SHADERS = {&Renderer::m_PixelShaderEntries, &Renderer::PreparePixelShader,
                                                       &Renderer::CompilePixelShader,
                                                       &Renderer::CompilePixelShaderResource,
                                                       &Renderer::ReleasePixelShader};
const Renderer::ShaderTable Renderer::VERTEX_SHADERS = {
    &Renderer::m_VertexShaderEntries, &Renderer::PrepareVertexShader, &Renderer::CompileVertexShader,
    &Renderer::CompileVertexShaderResource, &Renderer::ReleaseVertexShader};

int Renderer::StoreShader(Array<ShaderEntry>& table, const ShaderEntry& entry)
{
    int nId = 0;
    int nCount = table.GetCount();
    while (nId < nCount && table[nId].m_pDeviceShader)
        ++nId;
    if (nId < nCount)
    {
        table[nId] = entry;
        return nId;
    }
    nId = table.Add(entry);
    if (nId < 0)
        LogError("Renderer::StoreShader() - the shader table cannot grow past %d entries.", nCount);
    return nId;
}

int Renderer::StoreCompiledShader(const ShaderTable& kind, ShaderEntry& entry)
{
    entry.m_pSource = nullptr;
    entry.m_nSourceLength = 0;
    if (!entry.m_pDeviceShader)
        return -1;
    int nId = StoreShader(this->*kind.m_pEntries, entry);
    if (nId < 0)
        (this->*kind.m_pfnRelease)(entry);
    return nId;
}

int Renderer::CreateShader(const ShaderTable& kind, int nIndex)
{
    ShaderEntry entry{};
    entry.m_nResourceIndex = nIndex;
    (this->*kind.m_pfnPrepare)(entry);
    if (nIndex < 0)
        return -1;
    (this->*kind.m_pfnCompileResource)(entry);
    return StoreCompiledShader(kind, entry);
}

int Renderer::LoadShader(const ShaderTable& kind, int nIndex, const char* szFileName)
{
    ShaderEntry entry{};
    entry.m_nResourceIndex = nIndex;
    (this->*kind.m_pfnPrepare)(entry);
    std::vector<uint8_t> text;
    if (!szFileName || !ReadWholeFile(szFileName, text))
        return -1;
    entry.m_pSource = reinterpret_cast<const char*>(text.data());
    entry.m_nSourceLength = static_cast<uint32_t>(text.size());
    (this->*kind.m_pfnCompile)(entry);
    return StoreCompiledShader(kind, entry);
}

void Renderer::DestroyShader(const ShaderTable& kind, int nId)
{
    ShaderEntry* pEntry = FindShaderEntry(this->*kind.m_pEntries, nId);
    if (!pEntry || !pEntry->m_pDeviceShader)
        return;
    (this->*kind.m_pfnRelease)(*pEntry);
    pEntry->m_pDeviceShader = nullptr;
}

int Renderer::CreatePixelShader(int nIndex)
{
    return CreateShader(PIXEL_SHADERS, nIndex);
}

int Renderer::CreateVertexShader(int nIndex)
{
    return CreateShader(VERTEX_SHADERS, nIndex);
}

int Renderer::LoadPixelShader(int nIndex, const char* szFileName)
{
    return LoadShader(PIXEL_SHADERS, nIndex, szFileName);
}

int Renderer::LoadVertexShader(const char* szFileName)
{
    return LoadShader(VERTEX_SHADERS, 0, szFileName);
}

int Renderer::AddPixelShader(int nIndex, IUnknown* pDeviceShader)
{
    ShaderEntry entry{};
    entry.m_pDeviceShader = pDeviceShader;
    entry.m_nResourceIndex = nIndex;
    return StoreCompiledShader(PIXEL_SHADERS, entry);
}

void Renderer::DestroyPixelShader(int nId)
{
    DestroyShader(PIXEL_SHADERS, nId);
}

void Renderer::DestroyVertexShader(int nId)
{
    DestroyShader(VERTEX_SHADERS, nId);
}

int Renderer::StorePixelShader(const ShaderEntry& entry)
{
    return StoreShader(m_PixelShaderEntries, entry);
}

int Renderer::StoreVertexShader(const ShaderEntry& entry)
{
    return StoreShader(m_VertexShaderEntries, entry);
}
