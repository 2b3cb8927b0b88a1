// Load-time set-up that belongs to the renderers and is not built yet. Each does nothing until
// its renderer defines it in raster/ or tracer/, which then removes it from this file.
#include "app/RenderApp.h"

// The photon tracer's screen-size targets and depth-stencil surface.
void RenderApp::CreateScreenTargets()
{
}

// The photon tracer's scene texture, other targets and vertex buffers.
void RenderApp::CreateTracerTargets()
{
}
