// The photon tracer's programs in the shader tables that Load fills. The tracer's passes feed
// each other, so one missing program spoils the whole image: a render is refused when any of
// them is missing, with one error that names them all.
#include "app/RenderApp.h"
#include "core/Log.h"
#include "tracer/TracerGlobals.h"

#include <cstdio>
#include <string>

// The programs the traced render selects; a pass that joins the render adds its own.
// Vertex programs: the depth pass, the screen quad, the grid point of the cell index, the
// G-buffer and the tracer's mesh program.
const int RenderApp::TRACER_VERTEX_PROGRAMS[] = {8, 40, 43, 51, 52};
// Pixel programs of the G-buffer and clear, the photon surface, object cube and mirror, sort
// and cell-index, gather, combine and composite passes, of the specular paths and of the present.
const int RenderApp::TRACER_PIXEL_PROGRAMS[] = {109, 120, 122, 123, 128, 129, 130, 131, 132, 133, 134, 135,
                                                138, 141, 142, 146, 147, 148, 149, 152, 153, 154, 155, 156,
                                                157, 158, 159, 160, 161, 162, 163, 164, 165, 166, 167, 168,
                                                174, 175};
const int RenderApp::TRACER_VERTEX_PROGRAM_COUNT = sizeof(TRACER_VERTEX_PROGRAMS) / sizeof(int);
const int RenderApp::TRACER_PIXEL_PROGRAM_COUNT = sizeof(TRACER_PIXEL_PROGRAMS) / sizeof(int);

bool RenderApp::FindMissingTracerPrograms(std::string& strMissing) const
{
    strMissing.clear();
    auto collect = [&strMissing](const char* szKind, const int* pIds, int nCount, const int32_t* pTable, int nBase) {
        for (int i = 0; i < nCount; ++i)
        {
            if (pTable[pIds[i]] >= 0)
                continue;
            char szEntry[64];
            std::snprintf(szEntry, sizeof(szEntry), "%s%s program %d (resource %d)", strMissing.empty() ? "" : ", ",
                          szKind, pIds[i], nBase + pIds[i]);
            strMissing += szEntry;
        }
    };
    collect("vertex", TRACER_VERTEX_PROGRAMS, TRACER_VERTEX_PROGRAM_COUNT, m_VertexShaders, VERTEX_RESOURCE_BASE);
    collect("pixel", TRACER_PIXEL_PROGRAMS, TRACER_PIXEL_PROGRAM_COUNT, m_PixelShaders, PIXEL_RESOURCE_BASE);
    return !strMissing.empty();
}

bool RenderApp::CheckTracerPrograms() const
{
    std::string strMissing;
    if (!FindMissingTracerPrograms(strMissing))
        return true;
    LogError("RenderApp::CheckTracerPrograms() - the photon tracer cannot run without %s; Trace Photon draws no "
             "traced image.",
             strMissing.c_str());
    return false;
}

bool RenderApp::PrepareTracedRender()
{
    if (!g_bGridBuilt)
    {
        LogError("RenderApp::PrepareTracedRender() - the scene has no vertices; Trace Photon draws no traced image.");
        return false;
    }
    if (!CheckTracerPrograms())
        return false;
    // The light-view passes and the gather wait on the query's pixel counts.
    if (!m_bOcclusionQuerySupported || !m_pOcclusionQuery)
    {
        LogError("RenderApp::PrepareTracedRender() - the device has no occlusion query; Trace Photon draws no "
                 "traced image.");
        return false;
    }
    return true;
}
