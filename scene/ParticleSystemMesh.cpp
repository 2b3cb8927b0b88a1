// The particle system's side that touches the clock, the device and the emitter mesh.
#include "scene/ParticleSystem.h"

#include "3dapi/RenderTimer.h"
#include "scene/SceneMesh.h"

#include <algorithm>
#include <cstring>

namespace
{
// The triangle's two legs are this many times the particle's size.
constexpr float LEG_PER_SIZE = 20.0f;

// The particle's triangle: p, p + (0, leg, 0) and p + (leg, 0, 0), turned by the transpose of
// the look-at matrix from the origin along the velocity (its inverse rotation). The particle's
// position is turned with the corners.
void WriteTriangle(const Particle& particle, MeshVertex* pVertices)
{
    const D3DXVECTOR3 vEye(0.0f, 0.0f, 0.0f);
    const D3DXVECTOR3 vAt(particle.m_vVelocity.x, particle.m_vVelocity.y, particle.m_vVelocity.z);
    const D3DXVECTOR3 vUp(0.0f, 1.0f, 0.0f);
    D3DXMATRIX matLookAt, matTurn;
    D3DXMatrixLookAtLH(&matLookAt, &vEye, &vAt, &vUp);
    D3DXMatrixTranspose(&matTurn, &matLookAt);

    const float fLeg = LEG_PER_SIZE * particle.m_fSize;
    const Vector3& p = particle.m_vPosition;
    const D3DXVECTOR3 corners[3] = {{p.x, p.y, p.z}, {p.x, p.y + fLeg, p.z}, {p.x + fLeg, p.y, p.z}};
    for (int k = 0; k < 3; ++k)
    {
        D3DXVECTOR4 vTurned;
        D3DXVec3Transform(&vTurned, &corners[k], &matTurn);
        pVertices[k].vPosition = Vector3(vTurned.x, vTurned.y, vTurned.z);
        pVertices[k].vNormal = particle.m_vVelocity;
    }
}
}

void ParticleSystem::Init(IDirect3DDevice9* pDevice)
{
    m_fLastTime = RenderTimerCommand(TimerAppTime);
    LoadDefaultParameters();
    if (m_pMesh)
        m_pMesh->CreateParticleVertexBuffer(pDevice);
}

int ParticleSystem::GetPoolLimit() const
{
    if (!m_pMesh || !m_pMesh->m_pVertices)
        return 0;
    return std::clamp(m_pMesh->m_nTriangleCount, 0, POOL_SIZE);
}

void ParticleSystem::Update()
{
    int nPool = GetPoolLimit();
    Step(RenderTimerCommand(TimerAppTime), nPool);
    if (m_pMesh && m_pMesh->m_pVertices)
        WriteTriangles(nPool);
}

void ParticleSystem::WriteTriangles(int nPool)
{
    MeshVertex* pVertices = m_pMesh->m_pVertices;
    int nTriangles = std::max(m_pMesh->m_nTriangleCount, 0);
    int j = 0;
    for (int i = 0; i < nPool; ++i)
    {
        if (m_Particles[i].IsAlive())
            WriteTriangle(m_Particles[i], pVertices + 3 * j++);
    }
    for (int v = 3 * j; v < 3 * nTriangles; ++v)
        pVertices[v].vPosition = Vector3(0.0f, 0.0f, 0.0f);

    // The whole buffer in one copy under one lock, never more than the vertex array or the
    // buffer holds.
    IDirect3DVertexBuffer9* pBuffer = m_pMesh->m_pVertexBuffer;
    if (!pBuffer)
        return;
    D3DVERTEXBUFFER_DESC desc = {};
    if (FAILED(pBuffer->GetDesc(&desc)))
        return;
    size_t nVertices = static_cast<size_t>(std::clamp(m_pMesh->m_nVertexCount, 0, 3 * nTriangles));
    size_t nBytes = std::min<size_t>(nVertices * sizeof(MeshVertex), desc.Size);
    void* pData = nullptr;
    if (FAILED(pBuffer->Lock(0, 0, &pData, 0)))
        return;
    std::memcpy(pData, pVertices, nBytes);
    pBuffer->Unlock();
}
