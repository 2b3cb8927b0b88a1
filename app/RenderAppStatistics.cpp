// The frame-rate counter and the two-line statistics overlay drawn last in every frame: the
// frame rate at the top of the 640 x 480 back buffer, the photon tracer's figures near its
// bottom.
#include "app/RenderApp.h"

#include "3dapi/RenderTimer.h"
#include "3dapi/TextureFont.h"
#include "scene/RenderOptions.h"

#include <cinttypes>
#include <cstdio>

namespace
{
// Photons a light emits per tile of its light view.
const int64_t PHOTONS_PER_TILE = 1536;
// Seconds between two frame-rate measurements.
const float FPS_INTERVAL = 0.1f;
const float STATISTICS_LINE_Y = 440.0f;
const uint32_t FPS_COLOR = 0xFFFFFF00;          // opaque yellow
const uint32_t STATISTICS_COLOR = 0xFFFFFFFF;   // opaque white
}

// The first frame only starts the measurement: a rate over the time before it would mean
// nothing, so the text stays empty until the first full interval has been measured.
void RenderApp::UpdateFrameRate()
{
    float t = RenderTimerCommand(TimerAbsoluteTime);
    ++m_nFpsFrameCount;
    if (m_fFpsLastTime < 0.0f)
    {
        m_fFpsLastTime = t;
        m_nFpsFrameCount = 0;
        return;
    }
    float fSpan = t - m_fFpsLastTime;
    if (!(fSpan > FPS_INTERVAL))
        return;
    m_fFps = static_cast<float>(m_nFpsFrameCount) / fSpan;
    m_fSecondsPerFrame = fSpan / static_cast<float>(m_nFpsFrameCount);
    m_fFpsLastTime = t;
    m_nFpsFrameCount = 0;
    std::snprintf(m_szFpsText, FPS_TEXT_SIZE, "%.02f fps, %.02f sec/frame", m_fFps, m_fSecondsPerFrame);
    m_szFpsText[FPS_TEXT_SIZE - 1] = '\0';
}

// The emitted figure counts the tiles of the two photon kinds whatever the lights; the
// accumulated count is 64-bit, so its kilophotons and the GFlops figure stay right past 2^31.
void RenderApp::FormatStatistics(char* szText, size_t nSize) const
{
    int64_t nEmitted = (static_cast<int64_t>(g_nDirectEmanateTile) * g_nDirectEmanateTile +
                        static_cast<int64_t>(g_nGlobalEmanateTile) * g_nGlobalEmanateTile) *
                       PHOTONS_PER_TILE;
    int64_t nAccumulatedK = g_nAccumulatedPhotons / 1000;
    double fGFlops = static_cast<double>(g_nAccumulatedPhotons) * m_fFps / 1e6;
    std::snprintf(szText, nSize,
                  "Visible Face : %d, Emitted Photon : %" PRId64 " KPhoton\n Accumulated Photon : %" PRId64
                  " KPhoton, GFlops: %5.2f, Radiance Estimate Passes : %d",
                  g_nVisibleFaces, nEmitted, nAccumulatedK, fGFlops, g_nRadianceEstimatePasses);
}

Vector3 RenderApp::GetEyePosition(const D3DXMATRIX& matView)
{
    D3DXMATRIX matInverse;
    if (!D3DXMatrixInverse(&matInverse, nullptr, &matView))
        return Vector3(0.0f, 0.0f, 0.0f);
    return Vector3(matInverse._41, matInverse._42, matInverse._43);
}

void RenderApp::DrawStatistics()
{
    UpdateFrameRate();
    if (!m_pFont)
        return;
    m_pFont->DrawString(2.0f, 0.0f, FPS_COLOR, m_szFpsText, 0);
    char szStatistics[512];
    FormatStatistics(szStatistics, sizeof(szStatistics));
    m_pFont->DrawString(2.0f, STATISTICS_LINE_Y, STATISTICS_COLOR, szStatistics, 0);
}
