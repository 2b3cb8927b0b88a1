// Direct3DRenderer: shader programs assembled with the D3DX assembler from their text or from
// the program resources, and the device shaders made from them. Assembly errors are shown to the
// user in a message box.
#include "3dapi/Direct3DRenderer.h"

#include "core/Log.h"

// The window layer's MAKEINTRESOURCEA first: the D3DX header defines it only when missing.
#include <win32/user.h>

#include <d3dx9shader.h>

#include <string>

struct Direct3DRenderer::ProgramSource
{
    bool m_bPixel;
    bool m_bResource;       // the program resource of the entry's index, else the entry's text
    const char* m_szCaption;
};

namespace
{
// Program resources: pixel programs from 600, vertex programs from 900 (ids are 16 bits).
const int PIXEL_RESOURCE_BASE = 600;
const int VERTEX_RESOURCE_BASE = 900;
const int RESOURCE_ID_MAX = 0xFFFF;

void ReleaseBuffer(ID3DXBuffer* pBuffer)
{
    if (pBuffer)
        pBuffer->Release();
}
}

void Direct3DRenderer::AssembleProgram(ShaderEntry& entry, const ProgramSource& source)
{
    entry.m_pDeviceShader = nullptr;
    const char* szKind = source.m_bPixel ? "pixel" : "vertex";
    int nResourceId = (source.m_bPixel ? PIXEL_RESOURCE_BASE : VERTEX_RESOURCE_BASE) + entry.m_nResourceIndex;
    std::string strProgram =
        source.m_bResource ? "program resource " + std::to_string(nResourceId) : std::string("program text");
    if (source.m_bResource && (entry.m_nResourceIndex < 0 || nResourceId > RESOURCE_ID_MAX))
    {
        LogError("Direct3DRenderer::AssembleProgram() - %s program index %d has no resource id.", szKind,
                 entry.m_nResourceIndex);
        return;
    }

    ID3DXBuffer* pCode = nullptr;
    ID3DXBuffer* pErrors = nullptr;
    HRESULT hr = source.m_bResource
                     ? D3DXAssembleShaderFromResourceA(nullptr, MAKEINTRESOURCEA(nResourceId), nullptr, nullptr,
                                                       D3DXSHADER_DEBUG, &pCode, &pErrors)
                     : D3DXAssembleShader(entry.m_pSource, entry.m_nSourceLength, nullptr, nullptr, D3DXSHADER_DEBUG,
                                          &pCode, &pErrors);
    if (hr == D3D_OK && pCode)
    {
        const auto* pTokens = static_cast<const DWORD*>(pCode->GetBufferPointer());
        HRESULT hrCreate;
        if (source.m_bPixel)
        {
            IDirect3DPixelShader9* pShader = nullptr;
            hrCreate = m_pDevice->CreatePixelShader(pTokens, &pShader);
            entry.m_pDeviceShader = pShader;
        }
        else
        {
            IDirect3DVertexShader9* pShader = nullptr;
            hrCreate = m_pDevice->CreateVertexShader(pTokens, &pShader);
            entry.m_pDeviceShader = pShader;
        }
        if (FAILED(hrCreate))
        {
            entry.m_pDeviceShader = nullptr;
            LogError("Direct3DRenderer::AssembleProgram() - the device refused the %s shader %s.", szKind,
                     strProgram.c_str());
        }
    }
    else
    {
        // An assembler that gives no error text still gets a message naming the program.
        std::string strMessage = pErrors && pErrors->GetBufferPointer()
                                     ? std::string(static_cast<const char*>(pErrors->GetBufferPointer()))
                                     : "The " + std::string(szKind) + " shader " + strProgram + " did not assemble.";
        MessageBoxA(nullptr, strMessage.c_str(), source.m_szCaption, MB_OK);
    }
    ReleaseBuffer(pCode);
    ReleaseBuffer(pErrors);
}

void Direct3DRenderer::PreparePixelShader(ShaderEntry&)
{
}

void Direct3DRenderer::PrepareVertexShader(ShaderEntry&)
{
}

void Direct3DRenderer::ReleasePixelShader(ShaderEntry& entry)
{
    if (entry.m_pDeviceShader)
        entry.m_pDeviceShader->Release();
}

void Direct3DRenderer::ReleaseVertexShader(ShaderEntry& entry)
{
    if (entry.m_pDeviceShader)
        entry.m_pDeviceShader->Release();
}

void Direct3DRenderer::CompilePixelShader(ShaderEntry& entry)
{
    AssembleProgram(entry, {true, false, "Fragment shader error"});
}

void Direct3DRenderer::CompilePixelShaderResource(ShaderEntry& entry)
{
    AssembleProgram(entry, {true, true, "Pixel shader error"});
}

void Direct3DRenderer::CompileVertexShader(ShaderEntry& entry)
{
    AssembleProgram(entry, {false, false, "Vertex shader error"});
}

void Direct3DRenderer::CompileVertexShaderResource(ShaderEntry& entry)
{
    AssembleProgram(entry, {false, true, "Vertex shader error"});
}
