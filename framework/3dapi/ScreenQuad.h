#pragma once
// One textured rectangle in screen pixels (pre-transformed vertices), showing the texture the
// caller bound on stage 0, whole or one half of it.
#include <d3d9.h>

#include <cstdint>

// 28 bytes: D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1.
struct ScreenQuadVertex
{
    float x, y, z, rhw;
    uint32_t dwColor;
    float u, v;
};
constexpr DWORD SCREEN_QUAD_FVF = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

class ScreenQuad
{
public:
    ScreenQuad();
    virtual ~ScreenQuad() = default;

    // Opaque copy of the quad (ONE, ZERO) as a two-triangle strip, no shaders; alpha blending is
    // left off afterwards.
    virtual void Draw(IDirect3DDevice9* pDevice);

    void SetPosition(float x, float y);
    void SetSize(float fWidth, float fHeight);
    // Mirror the texture coordinates: u = 1 - u, or v = 1 - v.
    void FlipU();
    void FlipV();

    // Which part of the texture the next Draw shows: all of it, or one half (layout 0 splits it
    // into left and right, any other value into top and bottom; the first half is left or top).
    void SetHalfTexture(bool bHalf) { m_bHalfTexture = bHalf; }
    void SetHalfLayout(int32_t nLayout) { m_nHalfLayout = nLayout; }
    void SetFirstHalf(bool bFirst) { m_bFirstHalf = bFirst; }

    // Corners in strip order: 0 left-bottom, 1 left-top, 2 right-bottom, 3 right-top.
    const ScreenQuadVertex* GetVertices() const { return m_Vertices; }

private:
    ScreenQuadVertex m_Vertices[4];
    float m_fX = 0.0f;
    float m_fY = 840.0f;
    float m_fWidth = 10.0f;
    float m_fHeight = 10.0f;
    bool m_bHalfTexture = false;
    int32_t m_nHalfLayout = 0;
    bool m_bFirstHalf = true;
};

// The program's one quad, built before the entry point.
extern ScreenQuad g_ScreenQuad;
