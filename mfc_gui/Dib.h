#pragma once
// A device-independent bitmap of 1, 4, 8 or 24 bits per pixel kept in one block laid out as a
// packed DIB (40-byte header, colour table, rows bottom-up), with a table of row pointers top row
// first. It offers pixel access, copies between 8-bit images (clipped, with a transparency
// table, enlarged by whole factors, resampled to the nearest pixel), conversion of any depth into
// an 8-bit image with a given colour table, a gamma-corrected colour table, drawing to a device
// context, and the packed-DIB (clipboard) and BMP file forms.
//
// Every image read from outside (a BMP file, a packed DIB) is checked first: positive sizes of at
// most MAX_SIDE, 1, 4, 8 or 24 bits per pixel, no compression and all its data present; a
// refused one is logged and leaves the current image as it was.
#include <mfc/afxwin.h>

#include <memory>

class CDib
{
public:
    // The longest side an image may have.
    static const int MAX_SIDE = 32768;

    CDib();
    // With a packed DIB: imports it.
    explicit CDib(HGLOBAL hGlobal);
    CDib(const CDib& other);
    CDib& operator=(const CDib& other);
    virtual ~CDib();

    // ---- Set-up. Each releases the previous image; the colour table and pixels of a new image
    // are zero.
    BOOL Create(int nWidth, int nHeight, int nBitCount);
    BOOL Allocate(const BITMAPINFOHEADER& header);
    void Free();
    BOOL Assign(const CDib& other);
    BOOL IsValid() const { return m_pBlock != nullptr; }

    // ---- Colour table: N = 2, 16 or 256 entries for 1, 4 or 8 bits per pixel, none otherwise.
    // SetPaletteRGB takes N red, green, blue triples (through the gamma table when enabled).
    void SetPaletteRGB(const BYTE* pRGB);
    void SetPalette(const RGBQUAD* pColors);
    int GetPaletteSize() const;
    int GetBitCount() const;
    COLORREF GetPaletteColor(int nIndex) const;
    const RGBQUAD* GetColors() const { return m_pColors; }
    // trunc(255 (i / 255)^gamma + 0.5) for each i; the previous gamma is kept.
    void SetGamma(float fGamma, BOOL bEnable);
    float GetGamma() const { return m_fGamma; }
    float GetPrevGamma() const { return m_fPrevGamma; }

    // ---- Pixels, from the top-left; positions outside the image are ignored.
    BYTE* GetRow(int y) const { return m_ppRows[y]; }
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    int GetBytesPerLine() const { return m_nBytesPerLine; }
    void SetPixel24(int x, int y, COLORREF color);
    COLORREF GetPixel24(int x, int y) const;
    void SetPixel8(int x, int y, BYTE nIndex);
    void GetPixel8(unsigned x, unsigned y, int* pIndex) const;
    // 24 bits: every pixel becomes the colour; other depths: every byte of every row, padding
    // included, becomes the value's low byte.
    void Fill(DWORD nValue);
    void CopyRow(int nSourceRow, int nDestRow);
    // 8 bits per pixel only.
    void ReplaceIndex(BYTE nOld, BYTE nNew);
    int CountColors() const;
    int GetUsedColors(BYTE used[256]) const;

    // ---- Copies between 8-bit images; each first takes the source's colour table.
    // pTable: 256 entries, nonzero for the indices that are copied (the others keep this image's
    // pixel); null copies all.
    void CopyRect(int xDest, int yDest, int nWidth, int nHeight, const CDib& source, int xSource, int ySource,
                  const BYTE* pTable = nullptr);
    void ScaleCopy(int xDest, int yDest, int nFactorX, int nFactorY, const CDib& source, int xSource, int ySource,
                   int nWidth, int nHeight);
    void StretchCopy(int xDest, int yDest, int nDestWidth, int nDestHeight, const CDib& source, int xSource,
                     int ySource, int nSourceWidth, int nSourceHeight);

    // ---- Conversion of a 1-, 4-, 8- or 24-bit source of the same size into this 8-bit image's
    // colour table.
    BOOL CopyFrom(const CDib& source);
    // The table entry nearest to the colour (3 dr^2 + 4 dg^2 + 2 db^2, the first of equals).
    int NearestIndex(RGBQUAD color);

    // ---- Output. Draw's source y counts from the top; StretchDraw's is the system's, from the
    // bottom row.
    int Draw(HDC hdc, int xDest, int yDest, int nWidth, int nHeight, int xSource, int ySource) const;
    int StretchDraw(HDC hdc, int xDest, int yDest, int nDestWidth, int nDestHeight, int xSource, int ySource,
                    int nSourceWidth, int nSourceHeight) const;
    // A device-dependent bitmap of the image (the caller deletes it); null on failure.
    HBITMAP CreateBitmap(CDC* pDC) const;
    // The same as a new CBitmap made from its bits (the caller deletes it).
    CBitmap* CreateBitmapCopy(CDC* pDC) const;
    // The packed DIB in a new moveable block (the caller frees it); null on failure.
    HGLOBAL ExportGlobal() const;
    DWORD GetTotalSize() const;
    BOOL ImportGlobal(HGLOBAL hGlobal);

    // ---- BMP files. WriteBmp replaces an existing file; SaveFile also makes a new one (format 0,
    // the only one). Both write a temporary file and rename it over the target.
    BOOL LoadFile(const char* szFileName);
    BOOL ReadBmp(const char* szFileName);
    BOOL SaveFile(const char* szFileName, int nFormat = 0) const;
    BOOL WriteBmp(const char* szFileName) const;
    // The file's bytes: the 14-byte file header and the block.
    std::unique_ptr<BYTE[]> BmpBytes(size_t& nSize) const;
    // Reads a packed DIB or a BMP file from memory (the checks above; szWhat names it in the log).
    BOOL ReadPackedDib(const BYTE* pData, size_t nSize, const char* szWhat);
    BOOL ReadBmpBytes(const BYTE* pData, size_t nSize, const char* szWhat);

private:
    void Swap(CDib& other);
    // Clears the colour cache; each conversion starts with it.
    void ClearCache();

    BYTE* m_pBits = nullptr;
    BITMAPINFOHEADER* m_pInfo = nullptr;
    RGBQUAD* m_pColors = nullptr;
    std::unique_ptr<BYTE[]> m_pBlock;
    std::unique_ptr<BYTE*[]> m_ppRows;
    int m_nHeight = 0;
    int m_nBytesPerLine = 0;
    int m_nWidth = 0;
    BOOL m_bGamma = FALSE;
    float m_fGamma = 1.0f;
    float m_fPrevGamma = 1.0f;
    BYTE m_GammaTable[256];
    RGBQUAD m_CacheColor[256];
    BYTE m_CacheValid[256];
};
