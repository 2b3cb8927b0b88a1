#pragma once
// The stereo-sync line: one row of texels at the top of the back buffer that tells shutter
// glasses which eye the frame is for, and the matching left/right column marker. Nothing in the
// program creates one.
#include "3dapi/D3DUtil.h"

#include <d3d9.h>
#include <d3dx9.h>

#include <cstdint>

class StereoCodeLine
{
public:
    // Texels in a code texture; the code itself fills the first 512.
    static constexpr UINT TEXTURE_WIDTH = 1024;

    explicit StereoCodeLine(IDirect3DDevice9* pDevice);
    ~StereoCodeLine();
    StereoCodeLine(const StereoCodeLine&) = delete;
    StereoCodeLine& operator=(const StereoCodeLine&) = delete;

    // Makes the two code textures (eye 1 first, eye 0 second); any failure releases what was
    // made and leaves the line uncreated.
    void Create();
    void Release();
    void SetEye(int32_t nEye) { m_nEye = nEye; }
    // Copies the current eye's code onto (0, 0)-(800, 1) of the back buffer.
    void Draw(bool bFlag);
    // Marks rows 0 to 767 (as far as the surface reaches): column 0 blue and column 1 red with
    // the flag set, the other way about with it clear.
    void DrawColumns(IDirect3DSurface9* pSurface, bool bFlag);

    bool IsCreated() const { return m_bCreated; }
    IDirect3DTexture9* GetTexture(int nIndex) const { return m_pTextures[nIndex]; }

    // The 64-bit code of an eye, most significant bit first: 0x11FF, the eye value, 0x11FF.
    static uint64_t EyeCode(int32_t nEye);
    // The texel (X8R8G8B8) of position nTexel in an eye's code texture.
    static DWORD CodeTexel(int32_t nEye, UINT nTexel);

private:
    IDirect3DDevice9* m_pDevice = nullptr;
    IDirect3DTexture9* m_pTextures[2] = {nullptr, nullptr};
    int32_t m_nEye = 0;
    bool m_bCreated = false;
};
