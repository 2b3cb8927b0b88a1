// Passes of the renderers that others call and that are not built yet. Each does nothing until
// its renderer defines it in raster/ or tracer/, which then removes it from this file.
#include "app/RenderApp.h"

// The background box; the G-buffer pass draws it into the scene texture when Background is on.
void RenderApp::DrawBackgroundBox(const Vector3&, D3DXMATRIX, D3DXMATRIX, int)
{
}
