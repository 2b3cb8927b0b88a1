#pragma once
// The device's test hook: record the calls a stretch of code makes, fail a chosen call, read any
// surface back, capture and compare the whole device state, and list the live objects. Only
// tests link it.
#include <d3d9.h>
#include <d3d9/present.h>

#include <map>
#include <string>
#include <vector>

namespace d3d9test
{
// Present parameters of the small windowed devices that tests and benchmarks make: one back
// buffer of that size and format, discarded on present, and an auto depth-stencil surface
// unless depthFormat is D3DFMT_UNKNOWN.
inline D3DPRESENT_PARAMETERS TestPresentParameters(UINT nWidth, UINT nHeight, D3DFORMAT backFormat = D3DFMT_A8R8G8B8,
                                                   D3DFORMAT depthFormat = D3DFMT_UNKNOWN)
{
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = nWidth;
    pp.BackBufferHeight = nHeight;
    pp.BackBufferFormat = backFormat;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.Windowed = TRUE;
    pp.EnableAutoDepthStencil = depthFormat != D3DFMT_UNKNOWN;
    pp.AutoDepthStencilFormat = depthFormat;
    pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    return pp;
}

struct RecordedCall
{
    uint64_t nSequence;
    std::string strMethod;     // "SetRenderState"
    std::string strArguments;  // "ZFUNC, LESSEQUAL"
    std::string strOutput;     // object returned by a Create*/Get* call ("Texture#3"), else empty
    HRESULT hResult;
    std::string strText;       // "SetRenderState(ZFUNC, LESSEQUAL)"
};

// Records every call made on the device and its objects from construction until Stop() or
// destruction. Objects appear as Kind#id, ids counting the device's objects in creation order.
// Stop it (or destroy it) before the device is released.
class Recorder
{
public:
    explicit Recorder(IDirect3DDevice9* pDevice);
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // Stops recording; the calls stay available.
    void Stop();
    std::vector<RecordedCall> Calls();
    // The text forms of the calls whose method is one of methods (all calls when empty).
    std::vector<std::string> Texts(const std::vector<std::string>& methods = {});

private:
    IDirect3DDevice9* m_pDevice;
    bool m_bStopped = false;
    std::vector<RecordedCall> m_Calls;
};

// The next call of that device method fails with D3DERR_INVALIDCALL (repeat to fail several).
void FailNext(IDirect3DDevice9* pDevice, const std::string& strMethod);

// The next IDirect3D9::CreateDevice of any Direct3D object fails with D3DERR_NOTAVAILABLE
// (repeat to fail several).
void FailNextDeviceCreation();

// A surface's contents after all pending work: float RGBA per pixel (channels the format lacks
// read as 1) and the raw bytes of each row without pitch padding (for DXT, rows of blocks).
struct SurfaceData
{
    UINT nWidth = 0;
    UINT nHeight = 0;
    D3DFORMAT nFormat = D3DFMT_UNKNOWN;
    std::vector<float> rgba;  // nWidth × nHeight × 4, rows top to bottom
    std::vector<BYTE> bytes;

    const float* Pixel(UINT x, UINT y) const { return &rgba[(static_cast<size_t>(y) * nWidth + x) * 4]; }
};
// Any colour surface: render targets (lockable or not), texture levels, cube faces, the back
// buffer. False for depth surfaces and foreign objects.
bool ReadSurface(IDirect3DSurface9* pSurface, SurfaceData& data);
// Depth as stored (one float per pixel) and stencil of a depth-stencil surface.
bool ReadDepth(IDirect3DSurface9* pSurface, std::vector<float>& depth);
bool ReadStencil(IDirect3DSurface9* pSurface, std::vector<BYTE>& stencil);

// The whole device state as named entries ("RenderState ZFUNC" → "LESSEQUAL",
// "Texture 0" → "Texture#5", "VertexConstantF 3" → "{1 0 0 1}").
struct StateSnapshot
{
    std::map<std::string, std::string> entries;
};
StateSnapshot CaptureState(IDirect3DDevice9* pDevice);
// The entries that differ, as "name: before -> after", in name order.
std::vector<std::string> DiffState(const StateSnapshot& before, const StateSnapshot& after);

struct LiveObject
{
    std::string strKind;  // "Texture", "Surface", "Device", ...
    UINT nId;
    UINT nDevice;         // the device's number (devices count from 1 per process)
    ULONG nPublicCount;
};
// Every object of the layer still alive, by device and id.
std::vector<LiveObject> LiveObjects();

// The last frame Present handed to the headless presenter.
const PresentImage& LastPresented();

// The number of threads the device draws with, the caller included (0: one per hardware thread).
// Images must come out the same whatever the count.
void SetThreadCount(IDirect3DDevice9* pDevice, unsigned nThreads);

// Whether the back end converts half floats with the processor's instructions where it has them
// (the default) or with its portable loops. Images must come out the same either way.
void UseProcessorConversions(bool bUse);

// Extra bytes of row padding for every image created from now on (0 restores packed pitches).
void SetPitchPadding(UINT nBytes);

// What the device's back end has done since the device was made or ResetStats.
struct DrawStats
{
    uint64_t nDraws = 0;              // draws carried out
    uint64_t nPrimitives = 0;         // primitives those draws asked for
    uint64_t nShadedPixels = 0;       // covered pixels the pixel stage ran for
    uint64_t nPassedPixels = 0;       // of those, the ones that passed depth and stencil
    uint64_t nQueries = 0;            // occlusion queries begun
    uint64_t nFlushes = 0;            // requests to run pending work (query reads, locks, read-backs)
    uint64_t nGeneratedPrograms = 0;  // fixed-function programs generated for a state not seen before
};
DrawStats Stats(IDirect3DDevice9* pDevice);
void ResetStats(IDirect3DDevice9* pDevice);
}  // namespace d3d9test
