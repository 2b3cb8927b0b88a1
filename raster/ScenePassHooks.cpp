// The photon tracer's render, which the main scene pass hands over to: it draws nothing until
// the tracer's frame driver defines it, which then removes it from this file.
#include "app/RenderApp.h"

void RenderApp::RunPhotonTracer()
{
}
