#pragma once
// The one description of every pixel format the device stores, and the one place that converts
// between a format's bytes and float RGBA. Sizes and pitches of resources, clears, copies,
// read-back and (later) sampling and the output merger all go through it.
#include <d3d9types.h>

#include <cstdint>

enum class FormatKind : uint8_t
{
    Color,       // uncompressed colour: bytes per pixel, channels below
    Compressed,  // 4×4 blocks (DXT1/3/5)
    Depth,       // stored as one float depth and one stencil byte per pixel, whatever the format
};

enum class ChannelType : uint8_t
{
    Unorm,  // unsigned normalised integer packed in a little-endian word
    Half,   // IEEE binary16
    Float,  // IEEE binary32
};

// Which colour component a stored channel holds.
enum ChannelComponent : uint8_t
{
    CHANNEL_R = 0,
    CHANNEL_G = 1,
    CHANNEL_B = 2,
    CHANNEL_A = 3,
    CHANNEL_L = 4,  // luminance: read into r, g and b; written from r
    CHANNEL_X = 5,  // padding: ignored on read, written as all ones
};

struct ChannelLayout
{
    uint8_t component;  // ChannelComponent
    uint8_t shift;      // bit offset from the start of the pixel
    uint8_t bits;
};

struct FormatInfo
{
    D3DFORMAT format;
    const char* name;  // without the D3DFMT_ prefix
    FormatKind kind;
    uint8_t bytesPerBlock;  // per pixel, or per 4×4 block for compressed formats
    uint8_t blockSize;      // 1, or 4 for compressed formats
    bool renderTarget;      // may be a render target
    bool hasStencil;        // depth formats with a stencil part
    uint8_t depthBits;      // depth formats
    ChannelType type;
    uint8_t channelCount;
    ChannelLayout channels[4];
};

// The format's description, or null for a format the device does not store.
const FormatInfo* FindFormat(D3DFORMAT format);
// "A8R8G8B8", or "UNKNOWN" for a format the device does not store.
const char* FormatName(D3DFORMAT format);

// Bytes of one packed row of blocks (a row of pixels, or of 4×4 blocks) for a width in pixels.
UINT PackedRowBytes(const FormatInfo& info, UINT width);
// Rows of blocks for a height in pixels.
UINT BlockRows(const FormatInfo& info, UINT height);
// The pitch of every lock: the packed row rounded up to 16 bytes, plus the extra row padding.
UINT RowPitch(const FormatInfo& info, UINT width);

// Extra bytes added to every row pitch from now on, so that code which assumes a packed pitch
// fails in tests. 0 by default.
void SetExtraRowPadding(UINT bytes);
UINT GetExtraRowPadding();

// One uncompressed pixel: bytes to float RGBA and back. Channels the format lacks read as 1;
// UNORM writes saturate (NaN → 0) and round to nearest; X channels store all ones; halves round
// to nearest even.
void DecodePixel(const FormatInfo& info, const BYTE* pixel, float rgba[4]);
void EncodePixel(const FormatInfo& info, const float rgba[4], BYTE* pixel);

// One 4×4 DXT block to 16 float RGBA texels, row by row.
void DecodeBlock(const FormatInfo& info, const BYTE* block, float texels[16][4]);

// Texel (x, y) of an image whose block rows start pitch bytes apart, for any colour or
// compressed format.
void ReadTexel(const FormatInfo& info, const BYTE* bits, UINT pitch, UINT x, UINT y, float rgba[4]);

// A D3DCOLOR (0xAARRGGBB) as float RGBA: each byte divided by 255.
void ColorToFloat(D3DCOLOR color, float rgba[4]);
