#include <d3dx9shader.h>

#include <ShaderAssembler.h>
#include <win32/resources.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace
{
// Program texts are registered under their file kind; RCDATA is the form the resource
// compiler gives them.
constexpr const char* s_ProgramResourceTypes[] = {"PSH", "VSH", "RCDATA"};

LPD3DXBUFFER MakeBuffer(const void* pData, size_t nBytes)
{
    LPD3DXBUFFER pBuffer = nullptr;
    if (FAILED(D3DXCreateBuffer((DWORD)nBytes, &pBuffer)))
        return nullptr;
    if (nBytes)
        std::memcpy(pBuffer->GetBufferPointer(), pData, nBytes);
    return pBuffer;
}

// The error text: one line per error, each with the prefix, NUL-terminated.
void ReturnErrors(const std::string& strPrefix, const std::vector<std::string>& errors, LPD3DXBUFFER* ppErrorMsgs)
{
    if (!ppErrorMsgs)
        return;
    std::string strText;
    for (const std::string& strLine : errors)
        strText += strPrefix + strLine + "\n";
    *ppErrorMsgs = MakeBuffer(strText.c_str(), strText.size() + 1);
}

HRESULT Assemble(const char* pText, size_t nLength, const std::string& strPrefix, LPD3DXBUFFER* ppShader,
                 LPD3DXBUFFER* ppErrorMsgs)
{
    if (ppShader)
        *ppShader = nullptr;
    if (ppErrorMsgs)
        *ppErrorMsgs = nullptr;
    ShaderAssembly result;
    if (!AssembleShaderText(pText, nLength, ShaderAssemblyOptions(), result))
    {
        ReturnErrors(strPrefix, result.errors, ppErrorMsgs);
        return E_FAIL;
    }
    if (ppShader)
    {
        *ppShader = MakeBuffer(result.tokens.data(), result.tokens.size() * sizeof(DWORD));
        if (!*ppShader)
            return E_OUTOFMEMORY;
    }
    return S_OK;
}

// MAKEINTRESOURCEA(id) or "#id".
bool ResourceId(LPCSTR pSrcResource, int& nId)
{
    ULONG_PTR nValue = (ULONG_PTR)pSrcResource;
    if (nValue && nValue <= 0xFFFF)
    {
        nId = (int)nValue;
        return true;
    }
    if (!pSrcResource || pSrcResource[0] != '#')
        return false;
    char* pEnd = nullptr;
    long n = std::strtol(pSrcResource + 1, &pEnd, 10);
    if (pEnd == pSrcResource + 1 || *pEnd || n < 0 || n > 0xFFFF)
        return false;
    nId = (int)n;
    return true;
}
}

HRESULT D3DXAssembleShader(LPCSTR pSrcData, UINT SrcDataLen, const D3DXMACRO*, LPD3DXINCLUDE, DWORD,
                           LPD3DXBUFFER* ppShader, LPD3DXBUFFER* ppErrorMsgs)
{
    if (!pSrcData || !ppShader)
        return E_INVALIDARG;
    return Assemble(pSrcData, SrcDataLen, std::string(), ppShader, ppErrorMsgs);
}

HRESULT D3DXAssembleShaderFromResourceA(HMODULE, LPCSTR pSrcResource, const D3DXMACRO*, LPD3DXINCLUDE, DWORD,
                                        LPD3DXBUFFER* ppShader, LPD3DXBUFFER* ppErrorMsgs)
{
    int nId = 0;
    if (!ppShader || !ResourceId(pSrcResource, nId))
        return E_INVALIDARG;
    std::string strPrefix = "resource " + std::to_string(nId) + " ";
    const ResourceEntry* pEntry = nullptr;
    for (const char* szType : s_ProgramResourceTypes)
        if (!pEntry)
            pEntry = FindResourceEntry(szType, nId);
    if (!pEntry)
    {
        *ppShader = nullptr;
        ReturnErrors(strPrefix, {"line 0: no program resource has this id"}, ppErrorMsgs);
        return E_FAIL;
    }
    return Assemble(static_cast<const char*>(pEntry->m_pData), pEntry->m_nSize, strPrefix, ppShader, ppErrorMsgs);
}
