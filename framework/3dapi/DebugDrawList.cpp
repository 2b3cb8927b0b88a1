#include "3dapi/DebugDrawList.h"

#include "3dapi/D3DUtil.h"
#include "morvyn/morvyn.h"

#include <d3dx9shape.h>

DebugDrawList* g_pDebugDrawList = nullptr;

namespace
{
// Two vertices per line slot.
constexpr UINT LINE_BUFFER_BYTES = DebugDrawList::MAX_LINES * 2 * sizeof(DebugLineVertex);

template <typename Slot, int N>
Slot* FirstFreeSlot(Slot (&slots)[N])
{
    for (Slot& slot : slots)
    {
        if (!slot.bActive)
            return &slot;
    }
    return nullptr;
}

template <typename Slot, int N>
void FreeSlots(Slot (&slots)[N], bool (*pfnFree)(const Slot&, int32_t), int32_t nKey)
{
    for (Slot& slot : slots)
    {
        if (pfnFree(slot, nKey))
            slot.bActive = 0;
    }
}

template <typename Slot>
bool HasKey(const Slot& slot, int32_t nKey)
{
    return slot.nKey == nKey;
}

template <typename Slot>
bool IsOneFrame(const Slot& slot, int32_t)
{
    return slot.bOneFrame != 0;
}
}

DebugDrawList::DebugDrawList() : m_Spheres(), m_Lines()
{
}

DebugDrawList::~DebugDrawList()
{
    Cleanup();
}

HRESULT DebugDrawList::Setup()
{
    return 0;
}

HRESULT DebugDrawList::CreateDeviceResources()
{
    return 0;
}

HRESULT DebugDrawList::RestoreDeviceResources()
{
    IDirect3DDevice9* pDevice = GetMorvynDevice();
    if (!pDevice)
        return E_FAIL;
    D3DXCreateSphere(pDevice, 1.0f, 8, 8, &m_pSphereMesh, nullptr);
    HRESULT hr = pDevice->CreateVertexBuffer(LINE_BUFFER_BYTES, D3DUSAGE_WRITEONLY, LINE_FVF, D3DPOOL_MANAGED,
                                             &m_pLineVB, nullptr);
    return FAILED(hr) ? hr : 0;
}

HRESULT DebugDrawList::ReleaseDeviceResources()
{
    if (m_pSphereMesh)
    {
        m_pSphereMesh->Release();
        m_pSphereMesh = nullptr;
    }
    if (m_pLineVB)
    {
        m_pLineVB->Release();
        m_pLineVB = nullptr;
    }
    return 0;
}

HRESULT DebugDrawList::DestroyDeviceResources()
{
    return 0;
}

void DebugDrawList::Cleanup()
{
}

HRESULT DebugDrawList::ClearTransient(uint32_t)
{
    FreeSlots(m_Spheres, IsOneFrame<DebugSphere>, 0);
    FreeSlots(m_Lines, IsOneFrame<DebugLine>, 0);
    return 0;
}

HRESULT DebugDrawList::AddSphere(DebugVector vCenter, float fRadius, uint32_t dwColor, int32_t nKey, bool bOneFrame)
{
    if (DebugSphere* pSlot = FirstFreeSlot(m_Spheres))
        *pSlot = {vCenter, fRadius, dwColor, nKey, 1, static_cast<uint8_t>(bOneFrame)};
    return 0;
}

HRESULT DebugDrawList::AddLine(DebugVector vStart, DebugVector vEnd, uint32_t dwColor, int32_t nKey, bool bOneFrame)
{
    if (DebugLine* pSlot = FirstFreeSlot(m_Lines))
        *pSlot = {vStart, vEnd, dwColor, nKey, 1, static_cast<uint8_t>(bOneFrame)};
    return 0;
}

HRESULT DebugDrawList::RemoveSpheres(int32_t nKey)
{
    FreeSlots(m_Spheres, HasKey<DebugSphere>, nKey);
    return 0;
}

HRESULT DebugDrawList::RemoveLines(int32_t nKey)
{
    FreeSlots(m_Lines, HasKey<DebugLine>, nKey);
    return 0;
}

HRESULT DebugDrawList::Draw()
{
    if (!m_pLineVB)
        return 0;
    IDirect3DDevice9* pDevice = GetMorvynDevice();
    if (!pDevice)
        return 0;

    m_nLineCount = 0;
    void* pData = nullptr;
    if (SUCCEEDED(m_pLineVB->Lock(0, 0, &pData, 0)))
    {
        auto* pVertex = static_cast<DebugLineVertex*>(pData);
        for (const DebugLine& line : m_Lines)
        {
            if (!line.bActive)
                continue;
            *pVertex++ = {line.vStart.x, line.vStart.y, line.vStart.z, line.dwColor};
            *pVertex++ = {line.vEnd.x, line.vEnd.y, line.vEnd.z, line.dwColor};
            ++m_nLineCount;
        }
        m_pLineVB->Unlock();
    }

    D3DMATERIAL9 material;
    D3DXMATRIX world;
    if (m_nLineCount > 0)
    {
        pDevice->SetTransform(D3DTS_WORLD, D3DXMatrixIdentity(&world));
        pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
        pDevice->SetTexture(0, nullptr);
        MakeMaterial(material, 1.0f, 1.0f, 1.0f, 1.0f);
        pDevice->SetMaterial(&material);
        pDevice->SetFVF(LINE_FVF);
        pDevice->SetStreamSource(0, m_pLineVB, 0, sizeof(DebugLineVertex));
        pDevice->DrawPrimitive(D3DPT_LINELIST, 0, m_nLineCount);
        pDevice->SetRenderState(D3DRS_LIGHTING, TRUE);
    }

    if (!m_pSphereMesh)
        return 0;
    for (const DebugSphere& sphere : m_Spheres)
    {
        if (!sphere.bActive)
            continue;
        D3DXMATRIX scale, translation;
        D3DXMatrixScaling(&scale, sphere.fRadius, sphere.fRadius, sphere.fRadius);
        D3DXMatrixTranslation(&translation, sphere.vCenter.x, sphere.vCenter.y, sphere.vCenter.z);
        D3DXMatrixMultiply(&world, &scale, &translation);
        MakeMaterial(material, static_cast<float>((sphere.dwColor >> 16) & 0xFF) / 255.0f,
                     static_cast<float>((sphere.dwColor >> 8) & 0xFF) / 255.0f,
                     static_cast<float>(sphere.dwColor & 0xFF) / 255.0f, 1.0f);
        pDevice->SetTexture(0, nullptr);
        pDevice->SetMaterial(&material);
        pDevice->SetTransform(D3DTS_WORLD, &world);
        m_pSphereMesh->DrawSubset(0);
    }
    return 0;
}
