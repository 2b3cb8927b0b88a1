#pragma once
// Vertex and pixel shader objects: a copy of the token stream (version token first, end token
// 0x0000FFFF last) and the back end's translation of it.
#include "device/Backend.h"
#include "device/ObjectBase.h"

#include <memory>
#include <vector>

constexpr DWORD SHADER_END_TOKEN = 0x0000FFFF;

// The token count of a program up to and including its end token, or 0 if no end token is
// found within the limit. Comment blocks are skipped by their length, so their contents cannot
// end the program early; for version 2 programs each instruction's length field is used too.
size_t MeasureTokens(const DWORD* pFunction, size_t nLimit);

// True for the versions the device runs: vs_1_1 and vs_2_0 (bVertex), ps_2_0.
bool IsSupportedShaderVersion(DWORD version, bool bVertex);

template <class Interface>
class ShaderObject final : public ComObject<Interface>
{
public:
    ShaderObject(ObjectKind kind, Device* pDevice, std::vector<DWORD> tokens,
                 std::shared_ptr<CompiledProgram> pProgram);

    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override;
    HRESULT GetFunction(void* pData, UINT* pSizeOfData) override;

    const std::vector<DWORD>& GetTokens() const { return m_Tokens; }
    DWORD GetVersion() const { return m_Tokens.front(); }
    const std::shared_ptr<CompiledProgram>& GetProgram() const { return m_pProgram; }

protected:
    bool Implements(REFIID riid) const override;

private:
    std::vector<DWORD> m_Tokens;
    std::shared_ptr<CompiledProgram> m_pProgram;
};

using VertexShader = ShaderObject<IDirect3DVertexShader9>;
using PixelShader = ShaderObject<IDirect3DPixelShader9>;
