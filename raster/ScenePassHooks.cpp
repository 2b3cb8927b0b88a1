// Passes the main scene pass hands over to that are not built yet: the fog, the light effects
// of the camera view and the photon tracer's render. Each draws nothing until its pass defines
// it, which then removes it from this file.
#include "app/RenderApp.h"

void RenderApp::DrawFogPass()
{
}

void RenderApp::DrawLightHalo(SceneLight*)
{
}

void RenderApp::DrawLensFlare(SceneLight*)
{
}

void RenderApp::DrawSpotCone(SceneLight*)
{
}

void RenderApp::RunPhotonTracer()
{
}
