#pragma once
// A fixed list of debug shapes in world space, coloured spheres and line segments, that game
// objects post under a key of their own and remove by that key. The list draws them with the
// fixed-function pipeline on the rendering core's device. Nothing is allocated after
// construction: 500 slots of each kind, a full list drops new shapes.
#include <d3d9.h>
#include <d3dx9mesh.h>

#include <cstdint>

struct DebugVector
{
    float x, y, z;
};

struct DebugSphere
{
    DebugVector vCenter;
    float fRadius;
    uint32_t dwColor;  // 0xAARRGGBB; the alpha byte is not used
    int32_t nKey;
    uint8_t bActive;
    uint8_t bOneFrame;  // freed by the next ClearTransient
};

struct DebugLine
{
    DebugVector vStart;
    DebugVector vEnd;
    uint32_t dwColor;  // D3DCOLOR of both ends
    int32_t nKey;
    uint8_t bActive;
    uint8_t bOneFrame;
};

// One end of a line in the vertex buffer: D3DFVF_XYZ | D3DFVF_DIFFUSE, 16 bytes.
struct DebugLineVertex
{
    float x, y, z;
    uint32_t dwColor;
};

class DebugDrawList
{
public:
    static constexpr int MAX_SPHERES = 500;
    static constexpr int MAX_LINES = 500;
    static constexpr DWORD LINE_FVF = D3DFVF_XYZ | D3DFVF_DIFFUSE;

    DebugDrawList();
    ~DebugDrawList();
    DebugDrawList(const DebugDrawList&) = delete;
    DebugDrawList& operator=(const DebugDrawList&) = delete;

    HRESULT Setup();
    HRESULT CreateDeviceResources();
    // The unit sphere (its failure is not reported; spheres are then not drawn) and the line
    // buffer (its failure is the result).
    HRESULT RestoreDeviceResources();
    HRESULT ReleaseDeviceResources();
    HRESULT DestroyDeviceResources();
    void Cleanup();

    // Frees every one-frame shape; the argument is not used.
    HRESULT ClearTransient(uint32_t nUnused);
    // All active lines (lighting off, white material, identity world), then all active spheres
    // lit by whatever the caller set. Without a line buffer nothing is drawn.
    HRESULT Draw();

    // The lowest free slot takes the shape; a full list stores nothing. Always 0.
    HRESULT AddSphere(DebugVector vCenter, float fRadius, uint32_t dwColor, int32_t nKey, bool bOneFrame);
    HRESULT AddLine(DebugVector vStart, DebugVector vEnd, uint32_t dwColor, int32_t nKey, bool bOneFrame);
    // Frees every slot of that key.
    HRESULT RemoveSpheres(int32_t nKey);
    HRESULT RemoveLines(int32_t nKey);

    const DebugSphere& GetSphere(int i) const { return m_Spheres[i]; }
    const DebugLine& GetLine(int i) const { return m_Lines[i]; }
    // Lines copied into the buffer by the last Draw.
    uint32_t GetLineCount() const { return m_nLineCount; }

private:
    DebugSphere m_Spheres[MAX_SPHERES];
    DebugLine m_Lines[MAX_LINES];
    IDirect3DVertexBuffer9* m_pLineVB = nullptr;
    uint32_t m_nLineCount = 0;
    ID3DXMesh* m_pSphereMesh = nullptr;
};

// The program's one list, made when resources load.
extern DebugDrawList* g_pDebugDrawList;
