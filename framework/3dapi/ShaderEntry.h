#pragma once
// One slot of the renderer's pixel- or vertex-shader table. The slot index is the shader id; a
// slot is in use while its device shader is non-null.
#include <win32/types.h>

#include <cstdint>

// A plain record, copied byte for byte by the table.
struct ShaderEntry
{
    // The IDirect3DPixelShader9 or IDirect3DVertexShader9, by the table it sits in; null: free.
    IUnknown* m_pDeviceShader;
    // Assembly text handed to the compile step, valid only while the entry is being created; it
    // need not end with a zero byte.
    const char* m_pSource;
    uint32_t m_nSourceLength;
    // Program resource 600 + index for pixel shaders, 900 + index for vertex shaders.
    int32_t m_nResourceIndex;
};
