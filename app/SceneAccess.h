#pragma once
// The scene functions the editing interface calls: thin forwards to the application's scene store
// (g_pRenderApp->m_Scene). With no application object they do nothing and find nothing.
#include <cstdint>

class SceneMaterial;
class SceneMesh;

// Clears the selection flag of every mesh.
void ClearMeshSelection();
// Appends the material to the scene's materials; the scene owns it from then on.
void AddMaterial(SceneMaterial* pMaterial);
// The renderer's id of the texture file loaded with those flags: a texture already loaded under
// that name and those flags is shared, otherwise the file is loaded and recorded (a failed load
// is recorded with id -1, which is returned).
int LoadSceneTexture(const char* szPath, int nFlags);
// The first material of that name (case-sensitive); null when none has it.
SceneMaterial* FindMaterial(const char* szName);
// Takes every entry of the mesh out of the scene's list and deletes the mesh once; the tree is
// rebuilt and the tracer's grid made again. Nothing changes for a mesh the scene does not hold.
void RemoveMesh(SceneMesh* pMesh);
// The id of the texture recorded under that name and those flags; -1 when there is none.
int GetTextureIdByName(const char* szName, int nFlags = 0);
// Shortens the path in place to its file name.
void StripTexturePath(char* szPath);
// A regular file that can be opened for reading.
bool SceneFileExists(const char* szName);
// The name with its last three characters made "mpg" (changed in the caller's buffer), then
// whether that file exists. Names shorter than three characters give false and stay as they are.
bool HasMpgFile(char* szName);
