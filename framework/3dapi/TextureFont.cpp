#include "3dapi/TextureFont.h"

#include "core/Log.h"

#include <win32/gdi.h>
#include <win32/user.h>

#include <cmath>
#include <cstring>

namespace
{
constexpr DWORD FONT_FVF = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
// A batch is flushed once it holds more than this many vertices.
constexpr UINT FLUSH_VERTICES = 294;

// Texture side by font height in points.
uint32_t TextureSizeForHeight(uint32_t nHeight)
{
    if (nHeight > 60)
        return 2048;
    if (nHeight > 30)
        return 1024;
    if (nHeight > 15)
        return 512;
    return 256;
}

bool IsDrawable(unsigned char c)
{
    return c >= TextureFont::FIRST_CHAR && c <= TextureFont::LAST_CHAR;
}
}

TextureFont::TextureFont(const char* szFaceName, uint32_t nHeight, uint32_t nStyle) : m_nHeight(nHeight), m_nStyle(nStyle)
{
    std::strncpy(m_FaceName, szFaceName ? szFaceName : "", sizeof(m_FaceName));
    m_FaceName[sizeof(m_FaceName) - 1] = 0;
}

TextureFont::~TextureFont()
{
    ReleaseDeviceResources();
    DestroyDeviceResources();
}

HRESULT TextureFont::CreateDeviceResources(IDirect3DDevice9* pDevice)
{
    if (!pDevice)
        return E_FAIL;
    m_pDevice = pDevice;
    m_fScale = 1.0f;
    m_nTextureWidth = m_nTextureHeight = TextureSizeForHeight(m_nHeight);

    D3DCAPS9 caps{};
    m_pDevice->GetDeviceCaps(&caps);
    if (caps.MaxTextureWidth < m_nTextureWidth)
    {
        m_fScale = static_cast<float>(caps.MaxTextureWidth) / static_cast<float>(m_nTextureWidth);
        m_nTextureWidth = m_nTextureHeight = caps.MaxTextureWidth;
    }
    // The size by height suits the face the font was designed for; a wider stand-in face may
    // need more rows than fit, and glyphs below the texture would sample nothing. Such a font
    // gets the next larger texture, as far as the device allows.
    for (;;)
    {
        HRESULT hr = m_pDevice->CreateTexture(m_nTextureWidth, m_nTextureHeight, 1, 0, D3DFMT_A4R4G4B4,
                                              D3DPOOL_MANAGED, &m_pFontTexture, nullptr);
        if (FAILED(hr))
            return hr;
        hr = RenderGlyphs();
        if (hr != S_FALSE)
            return hr;
        if (m_nTextureWidth * 2 > caps.MaxTextureWidth)
        {
            LogWarning("TextureFont::CreateDeviceResources() - %s at %u points does not fit a %u texture.", m_FaceName,
                       m_nHeight, m_nTextureWidth);
            return S_OK;
        }
        m_pFontTexture->Release();
        m_pFontTexture = nullptr;
        m_nTextureWidth = m_nTextureHeight = m_nTextureWidth * 2;
    }
}

HRESULT TextureFont::RenderGlyphs()
{
    HDC hDC = CreateCompatibleDC(nullptr);
    if (!hDC)
        return E_FAIL;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(m_nTextureWidth);
    info.bmiHeader.biHeight = -static_cast<LONG>(m_nTextureHeight);  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    DWORD* pBits = nullptr;
    HBITMAP hBitmap = CreateDIBSection(hDC, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&pBits), nullptr, 0);
    SetMapMode(hDC, MM_TEXT);
    int nFontHeight = -MulDiv(static_cast<int>(m_nHeight),
                              static_cast<int>(static_cast<float>(GetDeviceCaps(hDC, LOGPIXELSY)) * m_fScale), 72);
    HFONT hFont = CreateFontA(nFontHeight, 0, 0, 0, (m_nStyle & FONT_BOLD) ? FW_BOLD : FW_NORMAL,
                              (m_nStyle & FONT_ITALIC) ? TRUE : FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, VARIABLE_PITCH, m_FaceName);
    if (!hBitmap || !pBits || !hFont)
    {
        DeleteObject(hFont);
        DeleteObject(hBitmap);
        DeleteDC(hDC);
        return E_FAIL;
    }
    HGDIOBJ hOldBitmap = SelectObject(hDC, hBitmap);
    HGDIOBJ hOldFont = SelectObject(hDC, hFont);
    SetTextColor(hDC, RGB(255, 255, 255));
    SetBkColor(hDC, RGB(0, 0, 0));
    SetTextAlign(hDC, TA_TOP | TA_LEFT);

    // Blank texels on each side of a glyph keep filtered neighbours apart.
    SIZE size{};
    GetTextExtentPoint32A(hDC, " ", 1, &size);
    m_nGlyphSpacing = static_cast<uint32_t>(std::ceil(static_cast<float>(size.cy) * 0.3f));
    const LONG nSpacing = static_cast<LONG>(m_nGlyphSpacing);
    const float fWidth = static_cast<float>(m_nTextureWidth);
    const float fHeight = static_cast<float>(m_nTextureHeight);

    LONG x = nSpacing, y = 0;
    for (int c = FIRST_CHAR; c <= LAST_CHAR; ++c)
    {
        char ch = static_cast<char>(c);
        GetTextExtentPoint32A(hDC, &ch, 1, &size);
        if (x + size.cx + nSpacing > static_cast<LONG>(m_nTextureWidth))
        {
            x = nSpacing;
            y += size.cy + 1;
        }
        ExtTextOutA(hDC, x, y, ETO_OPAQUE, nullptr, &ch, 1, nullptr);
        float* pCoords = m_GlyphCoords[c - FIRST_CHAR];
        pCoords[0] = static_cast<float>(x - nSpacing) / fWidth;
        pCoords[1] = static_cast<float>(y) / fHeight;
        pCoords[2] = static_cast<float>(x + size.cx + nSpacing) / fWidth;
        pCoords[3] = static_cast<float>(y + size.cy) / fHeight;
        x += size.cx + 2 * nSpacing;
    }
    const bool bFits = y + size.cy <= static_cast<LONG>(m_nTextureHeight);

    // The text's brightness (the blue byte of the white-on-black DIB) becomes a 4-bit alpha
    // over white.
    D3DLOCKED_RECT locked{};
    HRESULT hr = m_pFontTexture->LockRect(0, &locked, nullptr, 0);
    if (SUCCEEDED(hr))
    {
        auto* pRow = static_cast<BYTE*>(locked.pBits);
        for (uint32_t row = 0; row < m_nTextureHeight; ++row, pRow += locked.Pitch)
        {
            auto* pTexel = reinterpret_cast<uint16_t*>(pRow);
            const DWORD* pSource = pBits + static_cast<size_t>(row) * m_nTextureWidth;
            for (uint32_t col = 0; col < m_nTextureWidth; ++col)
            {
                uint16_t a = static_cast<uint16_t>((pSource[col] & 0xFF) >> 4);
                pTexel[col] = a > 0 ? static_cast<uint16_t>((a << 12) | 0x0FFF) : 0;
            }
        }
        m_pFontTexture->UnlockRect(0);
    }

    SelectObject(hDC, hOldBitmap);
    SelectObject(hDC, hOldFont);
    DeleteObject(hBitmap);
    DeleteObject(hFont);
    DeleteDC(hDC);
    if (FAILED(hr))
        return hr;
    return bFits ? S_OK : S_FALSE;
}

void TextureFont::SetDrawStates(bool bZEnable, bool bBlend)
{
    IDirect3DDevice9* d = m_pDevice;
    d->SetTexture(0, m_pFontTexture);
    d->SetRenderState(D3DRS_ZENABLE, bZEnable ? TRUE : FALSE);
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, bBlend ? TRUE : FALSE);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    d->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    d->SetRenderState(D3DRS_ALPHAREF, 8);
    d->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    d->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    d->SetRenderState(D3DRS_STENCILENABLE, FALSE);
    d->SetRenderState(D3DRS_CLIPPING, TRUE);
    d->SetRenderState(D3DRS_CLIPPLANEENABLE, 0);
    d->SetRenderState(D3DRS_VERTEXBLEND, D3DVBF_DISABLE);
    d->SetRenderState(D3DRS_INDEXEDVERTEXBLENDENABLE, FALSE);
    d->SetRenderState(D3DRS_FOGENABLE, FALSE);
    d->SetRenderState(D3DRS_COLORWRITEENABLE, 15);
    d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    d->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    d->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    d->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    d->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    d->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    d->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    d->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    d->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    d->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    d->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
}

HRESULT TextureFont::RestoreDeviceResources()
{
    if (!m_pDevice)
        return E_FAIL;
    HRESULT hr = m_pDevice->CreateVertexBuffer(BUFFER_BYTES, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, 0, D3DPOOL_DEFAULT,
                                               &m_pVertexBuffer, nullptr);
    if (FAILED(hr))
        return hr;
    // The same state list twice: one block captures the caller's values around a draw, the
    // other sets the font's.
    IDirect3DStateBlock9** blocks[2] = {&m_pSavedStates, &m_pDrawStates};
    for (IDirect3DStateBlock9** ppBlock : blocks)
    {
        m_pDevice->BeginStateBlock();
        SetDrawStates((m_nStyle & FONT_ZENABLE) != 0, true);
        m_pDevice->EndStateBlock(ppBlock);
    }
    return S_OK;
}

HRESULT TextureFont::ReleaseDeviceResources()
{
    IUnknown** objects[3] = {reinterpret_cast<IUnknown**>(&m_pVertexBuffer), reinterpret_cast<IUnknown**>(&m_pSavedStates),
                             reinterpret_cast<IUnknown**>(&m_pDrawStates)};
    for (IUnknown** ppObject : objects)
    {
        if (*ppObject)
        {
            (*ppObject)->Release();
            *ppObject = nullptr;
        }
    }
    return S_OK;
}

HRESULT TextureFont::DestroyDeviceResources()
{
    if (m_pFontTexture)
    {
        m_pFontTexture->Release();
        m_pFontTexture = nullptr;
    }
    m_pDevice = nullptr;
    return S_OK;
}

HRESULT TextureFont::GetStringExtent(const char* szText, SIZE* pSize) const
{
    if (!szText || !pSize)
        return E_FAIL;
    const float fRowHeight = RowHeight();
    float fWidth = 0.0f, fMaxWidth = 0.0f, fHeight = fRowHeight;
    for (const char* p = szText; *p; ++p)
    {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c == '\n')
        {
            fWidth = 0.0f;
            fHeight += fRowHeight;
            continue;
        }
        if (!IsDrawable(c))
            continue;
        fWidth += GlyphWidth(c) - 2.0f * static_cast<float>(m_nGlyphSpacing);
        if (fWidth > fMaxWidth)
            fMaxWidth = fWidth;
    }
    pSize->cx = static_cast<LONG>(fMaxWidth);
    pSize->cy = static_cast<LONG>(fHeight);
    return S_OK;
}

float TextureFont::FirstLineWidth(const char* szText) const
{
    float fWidth = 0.0f;
    for (const char* p = szText; *p && *p != '\n'; ++p)
    {
        unsigned char c = static_cast<unsigned char>(*p);
        if (IsDrawable(c))
            fWidth += GlyphWidth(c) / m_fScale - 2.0f * static_cast<float>(m_nGlyphSpacing);
    }
    return fWidth;
}

void* TextureFont::LockBatch()
{
    void* pData = nullptr;
    return SUCCEEDED(m_pVertexBuffer->Lock(0, 0, &pData, D3DLOCK_DISCARD)) ? pData : nullptr;
}

void TextureFont::FlushBatch(UINT nTriangles)
{
    m_pVertexBuffer->Unlock();
    // A batch that ended exactly on a flush holds nothing: no empty draw.
    if (nTriangles > 0)
        m_pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, nTriangles);
}

template <class Vertex> bool TextureFont::AddQuad(Vertex*& pVertex, UINT& nTriangles, const Vertex (&quad)[6])
{
    for (const Vertex& v : quad)
        *pVertex++ = v;
    nTriangles += 2;
    if (nTriangles * 3 <= FLUSH_VERTICES)
        return true;
    FlushBatch(nTriangles);
    nTriangles = 0;
    pVertex = static_cast<Vertex*>(LockBatch());
    return pVertex != nullptr;
}

void TextureFont::SetStreamStates(DWORD dwFVF, UINT nStride, uint32_t nFlags)
{
    m_pDevice->SetFVF(dwFVF);
    m_pDevice->SetPixelShader(nullptr);
    m_pDevice->SetVertexShader(nullptr);
    m_pDevice->SetStreamSource(0, m_pVertexBuffer, 0, nStride);
    if (nFlags & TEXT_FILTERED)
    {
        m_pDevice->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
        m_pDevice->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    }
}

void TextureFont::EmitScreenText(float x, float y, float z, float fScaleX, float fScaleY, float fSpacing,
                                 float fRowAdvance, uint32_t dwColor, const char* szText)
{
    x -= fSpacing;
    const float fLineStart = x;
    auto* pVertex = static_cast<FontVertex2D*>(LockBatch());
    UINT nTriangles = 0;
    for (const char* p = szText; *p && pVertex; ++p)
    {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c == '\n')
        {
            x = fLineStart;
            y += fRowAdvance;
            continue;
        }
        if (!IsDrawable(c))
            continue;
        const float* uv = GetGlyphCoords(c);
        const float w = GlyphWidth(c) / m_fScale * fScaleX;
        const float h = GlyphHeight(c) / m_fScale * fScaleY;
        if (c != ' ')
        {
            // Half-pixel offsets put texel centres on pixel centres.
            const float left = x - 0.5f, top = y - 0.5f, right = x + w - 0.5f, bottom = y + h - 0.5f;
            const FontVertex2D quad[6] = {
                {left, bottom, z, 1.0f, dwColor, uv[0], uv[3]}, {left, top, z, 1.0f, dwColor, uv[0], uv[1]},
                {right, bottom, z, 1.0f, dwColor, uv[2], uv[3]}, {right, top, z, 1.0f, dwColor, uv[2], uv[1]},
                {right, bottom, z, 1.0f, dwColor, uv[2], uv[3]}, {left, top, z, 1.0f, dwColor, uv[0], uv[1]}};
            AddQuad(pVertex, nTriangles, quad);
        }
        x += w - 2.0f * fSpacing;
    }
    if (pVertex)
        FlushBatch(nTriangles);
}

HRESULT TextureFont::DrawString(float x, float y, uint32_t dwColor, const char* szText, uint32_t nFlags)
{
    if (!m_pDevice || !szText || !HasDrawResources())
        return E_FAIL;

    m_pSavedStates->Capture();
    m_pDrawStates->Apply();
    // Text is drawn with the alpha test alone: no depth test, no blending.
    SetDrawStates(false, false);
    SetStreamStates(FONT_FVF, sizeof(FontVertex2D), nFlags);

    const float fRowHeight = RowHeight();
    const float fSpacing = static_cast<float>(m_nGlyphSpacing);
    if (nFlags & (TEXT_CENTERED_X | TEXT_CENTERED_Y))
    {
        D3DVIEWPORT9 viewport{};
        m_pDevice->GetViewport(&viewport);
        if (nFlags & TEXT_CENTERED_X)
            x = (static_cast<float>(viewport.Width) - FirstLineWidth(szText)) / 2.0f;
        if (nFlags & TEXT_CENTERED_Y)
            y = (static_cast<float>(viewport.Height) - fRowHeight) / 2.0f;
    }

    EmitScreenText(x, y, 0.9f, 1.0f, 1.0f, fSpacing, fRowHeight, dwColor, szText);
    m_pSavedStates->Apply();
    return S_OK;
}

HRESULT TextureFont::DrawStringScaled(float x, float y, float z, float xScale, float yScale, uint32_t dwColor,
                                      const char* szText, uint32_t nFlags)
{
    if (!m_pDevice || !szText || !HasDrawResources())
        return E_FAIL;

    m_pDrawStates->Apply();
    SetStreamStates(FONT_FVF, sizeof(FontVertex2D), nFlags);

    D3DVIEWPORT9 viewport{};
    m_pDevice->GetViewport(&viewport);
    const float fViewWidth = static_cast<float>(viewport.Width);
    const float fViewHeight = static_cast<float>(viewport.Height);
    const float fRowHeight = RowHeight();
    // One row of the font at scale 1 fills the viewport's height.
    const float k = fViewHeight / fRowHeight;
    const float fScaleX = xScale * k;
    const float fScaleY = yScale * k;
    const float fSpacing = static_cast<float>(m_nGlyphSpacing) * fScaleX;

    if (nFlags & TEXT_CENTERED_X)
        x = -(FirstLineWidth(szText) * fScaleX) / fViewWidth;
    if (nFlags & TEXT_CENTERED_Y)
        y = -fRowHeight / fViewHeight;
    x = (x + 1.0f) * fViewWidth / 2.0f;
    y = (y + 1.0f) * fViewHeight / 2.0f;

    EmitScreenText(x, y, z, fScaleX, fScaleY, fSpacing, fViewHeight * yScale, dwColor, szText);
    return S_OK;
}

HRESULT TextureFont::Render3DString(const char* szText, uint32_t nFlags)
{
    if (!m_pDevice || !szText || !HasDrawResources())
        return E_FAIL;

    m_pSavedStates->Capture();
    m_pDrawStates->Apply();
    SetStreamStates(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, sizeof(FontVertex3D), nFlags);
    if (nFlags & TEXT_TWO_SIDED)
        m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);

    // Ten texels to a world unit.
    const float fUnits = 10.0f * m_fScale;
    const float fSpacing = static_cast<float>(m_nGlyphSpacing) / 10.0f;
    SIZE extent{};
    GetStringExtent(szText, &extent);
    float x = (nFlags & TEXT_CENTERED_X) ? -0.5f * static_cast<float>(extent.cx) / 10.0f : 0.0f;
    float y = (nFlags & TEXT_CENTERED_Y) ? -0.5f * static_cast<float>(extent.cy) / 10.0f : 0.0f;
    x -= fSpacing;
    const float fLineStart = x;
    const float fRowStep = RowHeight() / 10.0f;

    auto* pVertex = static_cast<FontVertex3D*>(LockBatch());
    UINT nTriangles = 0;
    for (const char* p = szText; *p && pVertex; ++p)
    {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c == '\n')
        {
            x = fLineStart;
            y -= fRowStep;
            continue;
        }
        if (!IsDrawable(c))
            continue;
        const float* uv = GetGlyphCoords(c);
        const float w = GlyphWidth(c) / fUnits;
        const float h = GlyphHeight(c) / fUnits;
        if (c != ' ')
        {
            const FontVertex3D quad[6] = {{x, y, 0, 0, 0, -1, uv[0], uv[3]},         {x, y + h, 0, 0, 0, -1, uv[0], uv[1]},
                                          {x + w, y, 0, 0, 0, -1, uv[2], uv[3]},     {x + w, y + h, 0, 0, 0, -1, uv[2], uv[1]},
                                          {x + w, y, 0, 0, 0, -1, uv[2], uv[3]},     {x, y + h, 0, 0, 0, -1, uv[0], uv[1]}};
            AddQuad(pVertex, nTriangles, quad);
        }
        x += w - 2.0f * fSpacing;
    }
    if (pVertex)
        FlushBatch(nTriangles);

    m_pSavedStates->Apply();
    return S_OK;
}
