#include "3dapi/ScreenQuad.h"

ScreenQuad g_ScreenQuad;

namespace
{
// Texture coordinates (u, v) of the four corners, in vertex order.
struct QuadCoords
{
    float uv[4][2];
};

// The construction's coordinates stop short of 0 by a hundredth, as does the bottom half's u.
const QuadCoords INITIAL = {{{0.01f, 1}, {0.01f, 0.01f}, {1, 1}, {1, 0.01f}}};
// [layout is top and bottom][second half]
const QuadCoords HALVES[2][2] = {
    {{{{0, 1}, {0, 0}, {0.5f, 1}, {0.5f, 0}}}, {{{0.5f, 1}, {0.5f, 0}, {1, 1}, {1, 0}}}},
    {{{{0, 0.5f}, {0, 0}, {1, 0.5f}, {1, 0}}}, {{{0.01f, 1}, {0.01f, 0.5f}, {1, 1}, {1, 0.5f}}}},
};

void SetCorners(ScreenQuadVertex* pVertices, const QuadCoords& coords, uint32_t dwColor)
{
    for (int i = 0; i < 4; ++i)
        pVertices[i] = {0.0f, 0.0f, 0.1f, 0.1f, dwColor, coords.uv[i][0], coords.uv[i][1]};
}
}

ScreenQuad::ScreenQuad()
{
    SetCorners(m_Vertices, INITIAL, 0xFFFFFF00);
}

void ScreenQuad::SetPosition(float x, float y)
{
    m_fX = x;
    m_fY = y;
}

void ScreenQuad::SetSize(float fWidth, float fHeight)
{
    m_fWidth = fWidth;
    m_fHeight = fHeight;
}

void ScreenQuad::FlipU()
{
    for (ScreenQuadVertex& vertex : m_Vertices)
        vertex.u = 1.0f - vertex.u;
}

void ScreenQuad::FlipV()
{
    for (ScreenQuadVertex& vertex : m_Vertices)
        vertex.v = 1.0f - vertex.v;
}

void ScreenQuad::Draw(IDirect3DDevice9* pDevice)
{
    pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
    if (m_bHalfTexture)
        SetCorners(m_Vertices, HALVES[m_nHalfLayout != 0][!m_bFirstHalf], 0xFFFFFFFF);

    const float fRight = m_fX + m_fWidth;
    const float fBottom = m_fY + m_fHeight;
    const float positions[4][2] = {{m_fX, fBottom}, {m_fX, m_fY}, {fRight, fBottom}, {fRight, m_fY}};
    for (int i = 0; i < 4; ++i)
    {
        m_Vertices[i].x = positions[i][0];
        m_Vertices[i].y = positions[i][1];
        m_Vertices[i].dwColor = 0xFFFFFFFF;
    }

    pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    pDevice->SetPixelShader(nullptr);
    pDevice->SetVertexShader(nullptr);
    pDevice->SetFVF(SCREEN_QUAD_FVF);
    pDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, m_Vertices, sizeof(ScreenQuadVertex));
    pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
}
