#include "device/Shader.h"

#include "device/Resource.h"

#include <cstring>

namespace
{
constexpr DWORD COMMENT_OPCODE = 0xFFFE;
}  // namespace

size_t MeasureTokens(const DWORD* pFunction, size_t nLimit)
{
    if (!pFunction || nLimit == 0)
        return 0;
    const bool bLengths = D3DSHADER_VERSION_MAJOR(pFunction[0]) >= 2;
    size_t i = 1;
    while (i < nLimit)
    {
        const DWORD token = pFunction[i];
        if (token == SHADER_END_TOKEN)
            return i + 1;
        if ((token & 0xFFFF) == COMMENT_OPCODE)
            i += 1 + ((token >> 16) & 0x7FFF);
        else if (bLengths)
            i += 1 + ((token >> 24) & 0x0F);
        else
            ++i;
    }
    return 0;
}

bool IsSupportedShaderVersion(DWORD version, bool bVertex)
{
    if (bVertex)
        return version == D3DVS_VERSION(1, 1) || version == D3DVS_VERSION(2, 0);
    return version == D3DPS_VERSION(2, 0);
}

template <class Interface>
ShaderObject<Interface>::ShaderObject(ObjectKind kind, Device* pDevice, std::vector<DWORD> tokens,
                                      std::shared_ptr<CompiledProgram> pProgram)
    : ComObject<Interface>(kind, pDevice), m_Tokens(std::move(tokens)), m_pProgram(std::move(pProgram))
{
}

template <class Interface>
bool ShaderObject<Interface>::Implements(REFIID riid) const
{
    return riid == (this->GetKind() == ObjectKind::VertexShader ? IID_IDirect3DVertexShader9 : IID_IDirect3DPixelShader9);
}

template <class Interface>
HRESULT ShaderObject<Interface>::GetDevice(IDirect3DDevice9** ppDevice)
{
    return GetDeviceOf(*this, ppDevice);
}

template <class Interface>
HRESULT ShaderObject<Interface>::GetFunction(void* pData, UINT* pSizeOfData)
{
    if (!pSizeOfData)
        return D3DERR_INVALIDCALL;
    const UINT nBytes = static_cast<UINT>(m_Tokens.size() * sizeof(DWORD));
    if (pData)
    {
        if (*pSizeOfData < nBytes)
            return D3DERR_MOREDATA;
        std::memcpy(pData, m_Tokens.data(), nBytes);
    }
    *pSizeOfData = nBytes;
    return D3D_OK;
}

template class ShaderObject<IDirect3DVertexShader9>;
template class ShaderObject<IDirect3DPixelShader9>;
