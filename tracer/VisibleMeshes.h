#pragma once
// The meshes that the last visibility pass saw, for the tracer passes that pick among them by
// material.
#include <vector>

class RenderApp;
class SceneMesh;

// The meshes with a pixel count in view 0 of the application's m_Visibility, in scene order, of
// the first MAX_MESHES.
std::vector<SceneMesh*> VisibleMeshes(RenderApp& app);
