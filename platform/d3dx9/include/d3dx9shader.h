#pragma once
// D3DX shader assembly and its buffer object, declared from the public documentation.
// The assembler accepts vs_1_1, vs_2_0 and ps_2_0 text and returns the token stream of
// d3d9/bytecode.h, the form CreateVertexShader and CreatePixelShader take.
#include <d3d9types.h>
#include <win32/types.h>

// {8BA5FB08-5195-40E2-AC58-0D989C3A0102}
inline constexpr IID IID_ID3DXBuffer = {0x8ba5fb08, 0x5195, 0x40e2, {0xac, 0x58, 0x0d, 0x98, 0x9c, 0x3a, 0x01, 0x02}};

struct ID3DXBuffer : IUnknown
{
    virtual LPVOID STDMETHODCALLTYPE GetBufferPointer() = 0;
    virtual DWORD STDMETHODCALLTYPE GetBufferSize() = 0;
};
typedef ID3DXBuffer* LPD3DXBUFFER;

struct D3DXMACRO
{
    LPCSTR Name;
    LPCSTR Definition;
};
typedef D3DXMACRO* LPD3DXMACRO;

// #include handling is not offered: a non-null include handler is ignored.
struct ID3DXInclude;
typedef ID3DXInclude* LPD3DXINCLUDE;

#define D3DXSHADER_DEBUG (1 << 0)
#define D3DXSHADER_SKIPVALIDATION (1 << 1)
#define D3DXSHADER_SKIPOPTIMIZATION (1 << 2)

#ifndef MAKEINTRESOURCEA
#define MAKEINTRESOURCEA(i) ((LPSTR)(ULONG_PTR)((WORD)(i)))
#endif

HRESULT D3DXCreateBuffer(DWORD NumBytes, LPD3DXBUFFER* ppBuffer);

// Assembles pSrcData (SrcDataLen bytes). On failure *ppErrorMsgs (when asked for) holds the
// error lines, "line <n>: <message>", as NUL-terminated text.
HRESULT D3DXAssembleShader(LPCSTR pSrcData, UINT SrcDataLen, const D3DXMACRO* pDefines, LPD3DXINCLUDE pInclude,
                           DWORD Flags, LPD3DXBUFFER* ppShader, LPD3DXBUFFER* ppErrorMsgs);

// The text is the program resource of that id (MAKEINTRESOURCEA(id) or "#id") in the embedded
// resource table; errors read "resource <id> line <n>: <message>". hSrcModule is not used.
HRESULT D3DXAssembleShaderFromResourceA(HMODULE hSrcModule, LPCSTR pSrcResource, const D3DXMACRO* pDefines,
                                        LPD3DXINCLUDE pInclude, DWORD Flags, LPD3DXBUFFER* ppShader,
                                        LPD3DXBUFFER* ppErrorMsgs);
#define D3DXAssembleShaderFromResource D3DXAssembleShaderFromResourceA
