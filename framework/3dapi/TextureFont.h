#pragma once
// Text drawn from a texture that holds the printable ASCII characters (32 to 126) of one GDI
// font. At creation the characters are rendered with GDI into a bitmap, packed row by row, and
// turned into a 4-bit-alpha texture with a table of texture coordinates per character; drawing
// builds two triangles per visible character into a dynamic vertex buffer, flushed every 50
// characters. Works on the device directly, not through the Renderer.
#include <d3d9.h>
#include <win32/types.h>

#include <cstdint>

// Creation flags.
enum FontStyle : uint32_t
{
    FONT_BOLD = 1,
    FONT_ITALIC = 2,
    FONT_ZENABLE = 4,  // depth test on while drawing
};

// Drawing flags.
enum TextFlags : uint32_t
{
    TEXT_CENTERED_X = 1,     // the first line centred horizontally in the viewport
    TEXT_CENTERED_Y = 2,     // centred vertically
    TEXT_TWO_SIDED = 4,      // 3D text: both faces drawn
    TEXT_FILTERED = 8,       // linear texture filtering instead of point sampling
};

// 28 bytes: XYZRHW | DIFFUSE | TEX1.
struct FontVertex2D
{
    float x, y, z, rhw;
    uint32_t dwColor;
    float u, v;
};

// 32 bytes: XYZ | NORMAL | TEX1.
struct FontVertex3D
{
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};

class TextureFont
{
public:
    static constexpr int FIRST_CHAR = 32;
    static constexpr int LAST_CHAR = 126;
    // The buffer holds 300 vertices of the 32-byte kind; a batch flushes past 294 vertices
    // (49 characters), so every batch draws at most 50 characters.
    static constexpr UINT BUFFER_BYTES = 9600;

    TextureFont(const char* szFaceName, uint32_t nHeight, uint32_t nStyle);
    ~TextureFont();
    TextureFont(const TextureFont&) = delete;
    TextureFont& operator=(const TextureFont&) = delete;

    // The glyph texture and the coordinate table. A face whose glyphs need more rows than the
    // texture for its height has gets the next larger texture (up to the device's maximum).
    HRESULT CreateDeviceResources(IDirect3DDevice9* pDevice);
    // The vertex buffer and the two state blocks.
    HRESULT RestoreDeviceResources();
    HRESULT ReleaseDeviceResources();
    HRESULT DestroyDeviceResources();

    // Size in pixels of the text at the texture's scale; E_FAIL for null pointers.
    HRESULT GetStringExtent(const char* szText, SIZE* pSize) const;
    // Screen-space text at (x, y), the caller's device state restored afterwards.
    HRESULT DrawString(float x, float y, uint32_t dwColor, const char* szText, uint32_t nFlags);
    // Text placed in viewport units (-1 to 1 across, -1 at the top) at depth z, one row being
    // yScale of the viewport's height and glyphs widened by xScale / yScale. Leaves the font's
    // drawing states (blending on, depth test by FONT_ZENABLE) set for the caller.
    HRESULT DrawStringScaled(float x, float y, float z, float xScale, float yScale, uint32_t dwColor, const char* szText,
                             uint32_t nFlags);
    // Text as quads in the plane z = 0 facing -z, ten texels to a unit, the first line's bottom
    // at y = 0 (or centred on the origin by TEXT_CENTERED_X / TEXT_CENTERED_Y), lines going down.
    // Drawn through the caller's transforms, material and lighting; the caller's states restored.
    HRESULT Render3DString(const char* szText, uint32_t nFlags);

    uint32_t GetTextureWidth() const { return m_nTextureWidth; }
    uint32_t GetTextureHeight() const { return m_nTextureHeight; }
    float GetScale() const { return m_fScale; }
    uint32_t GetGlyphSpacing() const { return m_nGlyphSpacing; }
    // Left u, top v, right u, bottom v of a character 32 to 126.
    const float* GetGlyphCoords(int c) const { return m_GlyphCoords[c - FIRST_CHAR]; }
    IDirect3DTexture9* GetTexture() const { return m_pFontTexture; }

private:
    // S_FALSE when the glyphs ran past the bottom of the texture.
    HRESULT RenderGlyphs();
    void RecordStates(bool bZEnable);
    void SetDrawStates(bool bZEnable, bool bBlend);
    // Vertex format, no shaders, the buffer on stream 0, and the filter of TEXT_FILTERED.
    void SetStreamStates(DWORD dwFVF, UINT nStride, uint32_t nFlags);
    // Screen-space glyph quads from (x, y) at depth z, glyph sides times the scales, fRowAdvance
    // down per newline, drawn in batches.
    void EmitScreenText(float x, float y, float z, float fScaleX, float fScaleY, float fSpacing, float fRowAdvance,
                        uint32_t dwColor, const char* szText);
    // Locks the buffer with DISCARD; null when it cannot.
    void* LockBatch();
    // Unlocks and draws the triangles written so far (none: no draw).
    void FlushBatch(UINT nTriangles);
    // Adds a character's two triangles to the batch, flushing a full batch; false when the buffer
    // could not be locked again.
    template <class Vertex> bool AddQuad(Vertex*& pVertex, UINT& nTriangles, const Vertex (&quad)[6]);
    float GlyphWidth(int c) const { return (m_GlyphCoords[c - FIRST_CHAR][2] - m_GlyphCoords[c - FIRST_CHAR][0]) * m_nTextureWidth; }
    float GlyphHeight(int c) const { return (m_GlyphCoords[c - FIRST_CHAR][3] - m_GlyphCoords[c - FIRST_CHAR][1]) * m_nTextureHeight; }
    float RowHeight() const { return GlyphHeight(FIRST_CHAR); }
    // Width of the first line for centring, in screen pixels.
    float FirstLineWidth(const char* szText) const;
    bool HasDrawResources() const { return m_pVertexBuffer && m_pSavedStates && m_pDrawStates; }

    char m_FaceName[80];
    uint32_t m_nHeight;
    uint32_t m_nStyle;
    IDirect3DDevice9* m_pDevice = nullptr;
    IDirect3DTexture9* m_pFontTexture = nullptr;
    IDirect3DVertexBuffer9* m_pVertexBuffer = nullptr;
    uint32_t m_nTextureWidth = 0;
    uint32_t m_nTextureHeight = 0;
    float m_fScale = 1.0f;
    // Characters 32 to 127; the last entry is never filled.
    float m_GlyphCoords[96][4] = {};
    uint32_t m_nGlyphSpacing = 0;
    IDirect3DStateBlock9* m_pSavedStates = nullptr;
    IDirect3DStateBlock9* m_pDrawStates = nullptr;
};
