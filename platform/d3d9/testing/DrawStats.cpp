#include "d3d9/testing.h"

#include "cpu/CpuBackend.h"
#include "device/Device.h"

namespace d3d9test
{
namespace
{
CpuBackend* CpuBackendOf(IDirect3DDevice9* pDevice)
{
    return dynamic_cast<CpuBackend*>(&DeviceOf(pDevice)->GetBackend());
}
}  // namespace

DrawStats Stats(IDirect3DDevice9* pDevice)
{
    DrawStats stats;
    if (const CpuBackend* pBackend = CpuBackendOf(pDevice))
    {
        const BackendStats counts = pBackend->GetStats();
        stats.nDraws = counts.nDraws;
        stats.nPrimitives = counts.nPrimitives;
        stats.nShadedPixels = counts.nShadedPixels;
        stats.nPassedPixels = counts.nPassedPixels;
        stats.nQueries = counts.nQueries;
        stats.nFlushes = counts.nFlushes;
        stats.nGeneratedPrograms = counts.nGeneratedPrograms;
    }
    return stats;
}

void ResetStats(IDirect3DDevice9* pDevice)
{
    if (CpuBackend* pBackend = CpuBackendOf(pDevice))
        pBackend->ResetStats();
}
}  // namespace d3d9test
