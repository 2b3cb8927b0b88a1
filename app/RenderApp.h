#pragma once
// The photon tracer's application: the program's resources (textures, font, vertex declarations,
// shader tables, occlusion query, render targets), the frame driver, the statistics overlay and,
// as methods defined in raster/ and tracer/, the render passes of both renderers.
//
// app/ defines the application's own operations (RenderAppLoad.cpp, RenderAppStatistics.cpp);
// each renderer declares its passes below in its own section and defines them in its folder.
#include "app/Direct3DApplication.h"
#include "app/FrameGlobals.h"

#include <d3dx9math.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

class SceneLight;
enum PhotonPass : int;
class SceneMesh;
class TextureFont;

// A range of shader ids (both ends included) that the program's resources hold.
struct ShaderIdRange
{
    int32_t m_nFirst;
    int32_t m_nLast;
};

class RenderApp : public Direct3DApplication
{
public:
    // ---- Shader programs: id = resource id - 900 (vertex) or - 600 (pixel).
    static constexpr int VERTEX_SHADER_COUNT = 54;
    static constexpr int PIXEL_SHADER_COUNT = 176;
    static constexpr int VERTEX_RESOURCE_BASE = 900;
    static constexpr int PIXEL_RESOURCE_BASE = 600;
    // The ids Load makes, in order; the ids between have no program and keep -1.
    static const ShaderIdRange VERTEX_SHADER_IDS[];
    static const ShaderIdRange PIXEL_SHADER_IDS[];
    static const int VERTEX_SHADER_RANGE_COUNT;
    static const int PIXEL_SHADER_RANGE_COUNT;

    // ---- Per-mesh tables of the passes (a scene has at most 2000 meshes).
    static constexpr int MAX_MESHES = 2000;
    // m_Visibility holds this many views of MAX_MESHES entries each.
    static constexpr int VISIBILITY_VIEWS = 196;
    static constexpr int JITTER_DIRECTION_COUNT = 256;
    // Text of the frame-rate line; its last byte is always 0.
    static constexpr int FPS_TEXT_SIZE = 90;

    RenderApp();
    ~RenderApp() override;

    // ---- Framework hooks (RenderAppLoad.cpp, RenderAppStatistics.cpp).
    bool SelectPixelFormat(PixelFormatRequest& format) override;
    bool ResetCamera() override;
    bool CheckDeviceSupport() override { return true; }
    bool Init() override;
    bool Load() override;
    bool Unload() override { return true; }
    // Releases the load-time resources, then the renderer, the device and the Direct3D object.
    bool ReleaseDevice(HWND hWnd) override;

    // ---- Frame driver (RenderAppFrame.cpp).
    // One frame: the limiter, the camera and animation by a fixed step, the path recording, the
    // first-frame set-up, the scene passes and the overlay; always true.
    bool DrawFrame() override;
    // Presents a drawn frame, then writes a camera path the frame asked to save.
    bool EndFrame() override;
    float GetFrameWait() override;
    // Asks for a ".pth" file and writes the recorded keys; a cancelled dialog writes nothing.
    void SaveRecordedPath();
    // The frame limiter's threshold: at most one frame per this many seconds of render clock.
    static constexpr float FRAME_INTERVAL = 0.011f;
    // A picture of nFactor x nFactor back buffers of the device, saved as a BMP file at szPath:
    // fnDraw draws each tile into the back buffer with g_matProjection magnified onto that tile,
    // and the projection is restored afterwards. A tile that cannot be taken stops the render and
    // writes no file. The save's result.
    static HRESULT RenderTiledHighResolution(const char* szPath, IDirect3DDevice9* pDevice, int nFactor,
                                             const std::function<void()>& fnDraw);

    // ---- Statistics overlay (RenderAppStatistics.cpp).
    void UpdateFrameRate();
    void DrawStatistics();
    // The statistics line as the overlay prints it, from the tracer's counters and the frame rate.
    void FormatStatistics(char* szText, size_t nSize) const;
    // The translation of the inverse of a view matrix: the eye's world position.
    static Vector3 GetEyePosition(const D3DXMATRIX& matView);

    // ---- Load-time set-up of the renderers, called once by Load.
    // Fills m_JitterDirections (rasterised renderer).
    void BuildJitterDirections();
    // The back-buffer-size floating-point targets and the tracer's depth-stencil surface.
    void CreateScreenTargets();
    // The tracer's scene texture, its other targets and its vertex buffers.
    void CreateTracerTargets();

    // ---- Rasterised renderer (raster/): the main scene pass, mesh ordering and visibility,
    // transform constants and frustum planes, and the lighting constants.
    // The main scene pass: mode 0 the camera view, 1 a face of the environment cube. The
    // view-projection pointer callers pass is not read.
    void RenderScene(int nMode, const Matrix4* pViewProjection);
    // m_MeshOrder = the scene's meshes front to back by the view depth of their centres.
    void SortMeshesFrontToBack();
    static void QuickSortByDepth(int lo, int hi, float* pKeys, int32_t* pIndexes);
    // False when the mesh's bounding sphere, at its current place, is certainly out of view.
    bool IsSphereInFrustum(const SceneMesh* pMesh) const;
    // Vertex c0 = (the mesh's centre offset, 0), c4-c7 = transpose(world x view x projection).
    void SetTransformConstants(const SceneMesh* pMesh);
    // Pixel c0 = (0, 0, 0, 1).
    void SetDepthPassColour();
    // g_FrustumPlanes from g_matView x g_matProjection, or from second x first.
    void BuildFrustumPlanes();
    void BuildFrustumPlanesFrom(D3DXMATRIX first, D3DXMATRIX second);
    bool IsPointInFrustumPlanes(float x, float y, float z) const;
    bool IsSphereInFrustumPlanes(float x, float y, float z, float fRadius) const;
    bool IsCubeInFrustumPlanes(float x, float y, float z, float fHalfSize) const;
    // The lighting constants of one mesh and light (or layer pass) on the device.
    void SetLightVertexConstants(const SceneMesh* pMesh, const SceneLight* pLight, int nLightIndex);
    void SetLightPixelConstants(SceneMesh* pMesh, int nMeshIndex, const SceneLight* pLight, int nLightIndex);
    void SetDirectionalVertexConstants(const SceneMesh* pMesh, const SceneLight* pLight, int nLightIndex);
    void SetDirectionalPixelConstants(SceneMesh* pMesh, int nMeshIndex, const SceneLight* pLight, int nLightIndex);
    void SetLayerVertexConstants(const SceneMesh* pMesh, int nPass);
    void SetLayerConstants(const SceneMesh* pMesh, int nPass);
    // Makes m_nWhiteTexture; called by Load.
    void CreateRasterTextures();
    // The effects the main scene pass ends with: ground fog over the visible meshes, then, for
    // each light of the camera view, its halo, lens flare and spot cone.
    void DrawFogPass();
    void DrawLightHalo(SceneLight* pLight);
    void DrawLensFlare(SceneLight* pLight);
    void DrawSpotCone(SceneLight* pLight);
    // The frame's scene with depth of field: the main pass of the camera view into the scene
    // texture (with the tracer's depth surface), then the composite into the render target that
    // was bound; the depth surface that was bound comes back afterwards.
    void RenderSceneWithDepthOfField(const Matrix4* pViewProjection);
    // Draws the visible meshes into the bound target, blurring the scene texture away from the
    // camera's sharp band; SetDepthOfField*Constants set pass k's pixel and a mesh's vertex
    // constants.
    void CompositeDepthOfField();
    void SetDepthOfFieldPassConstants(int k);
    void SetDepthOfFieldConstants(const SceneMesh* pMesh);
    // The photon tracer's render, started by the main scene pass when Trace Photon is on.
    void RunPhotonTracer();

    // ---- Rasterised renderer (raster/): the background box.
    // Draws the box around the scene into the bound targets with the view's eye and matrices;
    // nMode is a BackgroundBoxMode (raster/BackgroundBox.h).
    void DrawBackgroundBox(const Vector3& vEye, const D3DXMATRIX& matView, const D3DXMATRIX& matProjection,
                           int nMode);

    // ---- Rasterised renderer (raster/): the environment cube and the forward pass.
    // The scene drawn into the six faces of g_nEnvCubeTarget (mode 0) or g_nEnvCubeTarget2 (mode
    // 1) from the mean centre of the static meshes; camera position, view and projection come
    // back exactly as they were.
    void RenderEnvironmentCube(int nMode);
    // The older per-mesh cube maps, which no frame calls: for each mesh of the camera view whose
    // material reflects (Reflection on) or lets light through (Refraction on) and has a cube
    // target of its own, the scene without the mesh drawn into the target's six faces from the
    // mesh's origin; after the first frame an opaque mesh's faces that look along the camera's
    // view are kept. Camera position, view and projection come back exactly as they were.
    void RenderMeshCubeMaps();
    // Selects the six faces of the mesh's own cube target with their views (nothing is drawn
    // into them); the mesh is visible afterwards.
    void SetupObjectCubeFaces(SceneMesh* pMesh);
    // The alternative main pass (mode 0 the camera view, 1 a cube face); the view-projection
    // pointer is not read.
    void RenderSceneForward(int nMode, const Matrix4* pViewProjection);
    // The constants of the forward pass's soft-shadow programs for one mesh and light.
    void SetShadowVertexConstants(const SceneMesh* pMesh, const SceneLight* pLight, int nLightIndex);
    void SetShadowPixelConstants(const SceneMesh* pMesh, int nMeshIndex, const SceneLight* pLight, int nLightIndex);

    // ---- Rasterised renderer (raster/): the lights' shadow maps, which no live pass draws. Each
    // pixel holds (value, object id (mesh index + 1) / 65535, diffuse alpha, 1). A light gets its
    // float shadow target (cube or 2D) the first time a driver draws for it; a light whose target
    // cannot be made is skipped.
    // Point lights into the faces of their cube target (distance / 65535), directional lights
    // into their 2D target (clip depth / 65535, near or far layer).
    void RenderShadowMaps();
    // Spot light k (in list order) into face k of its cube target.
    void RenderSpotShadowFaces();
    void RenderShadowDistancePass(int nLight);
    void RenderShadowDepthPass(int nLight);
    // The directional light's shadow view and projection in g_matView and g_matProjection, with
    // m_matShadowProjection, m_matShadowTexture and the far-layer flag; false when no mesh casts.
    // The map is drawn in the camera's post-projective space, from where the light's point at
    // infinity lands there (the far layer when the light is behind the viewer).
    bool BuildDirectionalShadowView(int nLight, const D3DXMATRIX& keptView);
    void SetShadowPassConstants(const SceneMesh* pMesh, int nLight);
    // Pixel c1 = (0, (mesh index + 1) / 65535, 0, 1).
    void SetObjectIdConstant(int nMeshIndex);

    // ---- Rasterised renderer (raster/): earlier forms of the scene pass, which no frame calls.
    // Each draws the camera view like the main pass, with these differences: Planes culls by the
    // frustum planes, sorts nothing, and gives flat meshes the flat programs; PlanesCube also
    // tests the view's spheres and takes program 603 for directional lights while the far layer
    // is set; LightsSimple lays no depth and draws each shown mesh once per light with 900 and
    // 653 (659 for spot lights) over the target; Sorted blends opaque light passes by source
    // alpha and ends with the shadow volumes; Shadowed lights opaque meshes with 600 and 650 and,
    // with Trace Photon on, multiplies in the eleven-tap soft shadows; Radiosity is Sorted with
    // layer passes, 668 for point lights, 643 for flat meshes and the halos; Reduced culls both
    // ways, prepares each mesh's cube faces before its layer passes and lights with point and
    // spot lights only. None draws fog, light effects or starts the photon tracer.
    void RenderScenePlanes();
    void RenderScenePlanesCube();
    void RenderLightsSimple();
    void RenderSceneSorted();
    void RenderSceneShadowed();
    void RenderSceneRadiosity();
    void RenderSceneReduced();
    // Additive fixed-function lighting of the meshes in view (their in-frustum flag set on the way).
    void RenderMeshesLit();
    // Every mesh of the camera view's visibility once with m_nVisibleVertexProgram and
    // m_nVisiblePixelProgram (program ids; -1 for no pixel program); sets no constants.
    void DrawVisibleMeshes();
    // The mesh's collision response against every other mesh whose collision flag
    // (m_bMeshByte5) is set; the step is not read. Returns 0.
    int CollideMeshes(SceneMesh* pMesh, float fStep);
    // The directional vertex constants with c20-c23 = transpose(view x projection) of a camera
    // at MeanMeshCentre moved back against the light's direction by m_fShadowRange[light index],
    // looking along the light with up (0, 1, 0), and c25 = (depth unit, gravity, that distance,
    // 1): (1/2048, -9.81) for Old, (1/65535, 0) for Old2.
    void SetDirectionalVertexConstantsOld(const SceneMesh* pMesh, const SceneLight* pLight, int nLightIndex);
    void SetDirectionalVertexConstantsOld2(const SceneMesh* pMesh, const SceneLight* pLight, int nLightIndex);
    // The mean of the meshes' world positions; the origin without meshes.
    D3DXVECTOR3 MeanMeshCentre() const;
    // Fixed-function wireframe of the mesh's bounding sphere (4 slices, 4 stacks) at its world
    // position and of spheres a tenth that size at its bounding-box corners, in its rotation.
    void DrawBoundsDebug(const SceneMesh* pMesh);
    // A cylinder (radii 1 and 100, length 500, 6 slices and stacks) drawn once with each cube
    // face's view from the mesh's world position as the world transform, under a square
    // 90-degree projection (near 0.1, far 500).
    void DrawFaceCylinders(const SceneMesh* pMesh);

    // ---- Rasterised renderer (raster/): stencil shadow volumes, which no live pass draws. For
    // each enabled light and each of its shadow samples (the light, then jittered copies of it;
    // at most 18), the volumes of the meshes that cast one are counted into the stencil (z-fail),
    // then the meshes of the camera view's visibility are darkened where the count is off its
    // cleared value, by the material's density, dispersion noise and attenuation.
    void RenderShadowVolumes();
    // Vertex constants of vertex program 18 for a mesh and the light's own position (its
    // direction for directional lights).
    void SetShadowVolumeConstants(const SceneMesh* pMesh, int nMeshIndex, const SceneLight* pLight);
    // The volumes of the visible meshes on the far side of g_MirrorPlane (centre not in front of
    // it), each mesh and light reflected by g_matViewProjection, counted into the stencil from its
    // cleared value the z-pass way; nothing is darkened.
    void RenderMirroredShadowVolumes();
    void DarkenShadowedMeshes(const D3DXVECTOR3& vLight);
    void SetDarkenVertexConstants(const SceneMesh* pMesh, const D3DXVECTOR3& vLight);
    void SetDarkenPixelConstants(const SceneMesh* pMesh);

    // ---- Rasterised renderer (raster/DormantPasses.cpp): passes no frame calls.
    // The four timing surfaces and eight timing textures (raster/DormantPasses.h), made again.
    void CreateTimingTargets();
    static void ReleaseTimingTargets();
    // 200 (Short: 16) products of the 4 x 4 matrices held texel by texel in the timing textures
    // into the timing surfaces, timed into g_fTimingResult; the targets are made when missing.
    // The back buffer is render target 0 afterwards.
    void TimeMatrixProducts();
    void TimeMatrixProductsShort();
    // m_MeshOrder = the meshes ordered by their diffuse texture id.
    void SortMeshesByTexture();
    // QuickSortByDepth's sort on integer keys.
    static void QuickSortByKey(int lo, int hi, int32_t* pKeys, int32_t* pOrder);
    // g_vViewSlabCentre and g_fViewSlabRadius: the sphere around the first 10 units of the view.
    bool ComputeViewSlabSphere();
    // Stage 0's texture as a square of fSize pixels at (50, 50), without programs or depth.
    void DrawTextureOverlay(float fSize);

    // Releases what Load made; safe to call twice and before Load.
    void ReleaseLoadedResources();

    // ---- Photon tracer (tracer/): the triangle grid, the targets, the grid constants and sampling
    // states, the program catalogue and the G-buffer and depth passes.
    // Numbers every triangle into its vertices' texel address, lays the grid over the scene's box
    // and makes the grid textures and the quad vertex buffers; called for every new scene. A
    // scene without vertices gets no grid (g_bGridBuilt 0) and is not traced.
    void BuildTriangleGrid();
    void ReleaseTriangleGrid();
    // Releases the grid and every tracer target; safe to call twice.
    void ReleaseTracerResources();
    // Earlier tracer variant (tracer/TriangleVertexUpload.cpp): the world-space corners of every
    // triangle drawn as points into g_pTriangleVertexTextures (made on first use, S x S float
    // textures of the grid's triangle texture size), one texel per triangle at its texel address.
    void UploadTriangleVertices();
    static void ReleaseTriangleVertexTextures();
    // Earlier tracer variant (tracer/PrimarySurface.cpp): the nearest surface's world position
    // (w 1 where a surface lies, 0 elsewhere) into G-buffer target 0 and the per-axis reciprocals
    // of the vector to the first light into target 1, through g_matView and g_matProjection.
    void RenderPrimarySurface();
    // (tracer/MeshesBehindPlane.cpp) After a clear, the visible meshes whose centre is not in
    // front of g_MirrorPlane, culled counter-clockwise, with vertex program 0 and pixel program 53
    // under the constants the caller set.
    void DrawMeshesBehindPlane();
    // (tracer/ShadowRayTracer.cpp) The primary surface, then with Trace Photon on, from every
    // surface point a ray to each enabled light walked through the grid against the triangles
    // of the cells it crosses; the last light's records (t, u, v of the blocking triangle, or 0,
    // and state 1) go into the back buffer. Makes the corner, cell-list and record textures.
    void RenderShadowRayTracer();
    // The textures only the shadow-ray tracer uses, corner textures included.
    static void ReleaseShadowRayTextures();
    // The screen-size targets and depth surfaces (those CreateScreenTargets makes).
    void ReleaseScreenTargets();
    // The screen-size targets, their depth surfaces and the scene texture made again at a tile
    // size other than the back buffer's; false (logged) for an empty size or a failed creation.
    bool RecreateScreenTargets(int nWidth, int nHeight);
    // The gate of a traced render: true when the scene has a grid and every tracer program and
    // the occlusion query exist; otherwise false after one logged error that names the cause.
    bool PrepareTracedRender();
    // Pixel c0 to c3 and c5 to c15: the grid description.
    void SetGridConstants();
    // Samplers 0 to 7: point filtering, clamped addressing.
    void SetPointSampling();
    // The rasterised renderer's states, drawing into the surface afterwards (its reference is
    // released).
    void RestoreRenderStates(IDirect3DSurface9* pSurface);
    // The shader ids the traced render selects.
    static const int TRACER_VERTEX_PROGRAMS[];
    static const int TRACER_PIXEL_PROGRAMS[];
    static const int TRACER_VERTEX_PROGRAM_COUNT;
    static const int TRACER_PIXEL_PROGRAM_COUNT;
    // The tracer's programs whose table entry is -1, as one list of names; true when there are any.
    bool FindMissingTracerPrograms(std::string& strMissing) const;
    // False, after one logged error naming them, when any of the tracer's programs is missing;
    // a render is not started then.
    bool CheckTracerPrograms() const;

    // The G-buffer of the visible meshes with a query each (m_Visibility view 0), photon target
    // 0 marked under them, and the background box into the scene texture.
    void RenderGBufferCulled();
    // The G-buffer of the visible translucent meshes, culling counter-clockwise (0) or clockwise.
    void RenderGBuffer(int bCullClockwise);
    // Pixel program 124 over the bound vertex program and stream into G-buffer target 1.
    void RenderEmissionPass();

    // ---- Light-view photon passes (tracer/LightPasses.cpp).
    // The photons of emanate tile (i, j) of a light: point lights six cube faces of 2 x 2 blocks,
    // spot lights one frustum of 4 x 4 blocks, other lights none; then sorted and indexed. Kind 0
    // direct, 1 global, 2 refraction path, 3 reflection path.
    void RenderLightPasses(SceneLight* pLight, int nKind, int i, int j);
    // The ray and position passes of one block seen through view and projection.
    void RenderLightBlock(const SceneLight& light, int nKind, int nTiles, int nBlock, const D3DXMATRIX& view,
                          const D3DXMATRIX& projection);
    // m_MeshOrder front to back along the view's depth axis.
    void OrderMeshesForView(const D3DXMATRIX& view);
    // The mesh drawn with vertex program 52 and this pixel program, the light at vEye.
    void DrawPhotonSurface(const SceneMesh& mesh, const D3DXVECTOR3& vEye, const D3DXMATRIX& view,
                           const D3DXMATRIX& projection, int nPixelProgram, int nKind);

    // ---- Photon surface programs (tracer/PhotonSurface.cpp).
    // The material's pixel constants and maps that the mesh's program reads in this pass.
    void SetPhotonSurfaceConstants(const SceneMesh& mesh, PhotonPass nPass, bool bSpot, int nKind, int nTiles);
    // The mesh's program in this pass; before a position pass that looks an environment image
    // up, the mesh's object cube map or planar mirror image (view, projection) is drawn and bound
    // on stage 2, and pTarget is render target 0 again.
    int PreparePhotonEnvironment(SceneMesh& mesh, PhotonPass nPass, bool bSpot, int nKind, IDirect3DTexture9* pTarget,
                                 const D3DXMATRIX& view, const D3DXMATRIX& projection);

    // ---- Object cube map and planar mirror (tracer/ObjectCubeMap.cpp, tracer/PlanarMirror.cpp).
    // The positions around the mesh's centre (mode 0; the mesh is left out unless the camera is
    // inside its box) or around the scene box's centre (mode 1, no mesh) into g_pCubeTarget's
    // faces, normalised to the scene box.
    void RenderObjectCubeMap(SceneMesh* pMesh, int nMode);
    // Attribute k of the surroundings of the mesh's centre into g_pCubeTarget's faces: 0 the
    // position normalised to the scene box, 1 the normal packed to [0, 1] with the specular
    // power / 100, 2 the diffuse colour x opacity, 3 the specular colour (the same visibility
    // rule as mode 0 above). The auxiliary depth surface stays bound.
    void RenderObjectCubePass(SceneMesh* pMesh, int k);
    // The scene in front of the mirror mesh's plane, reflected and seen through view and
    // projection: kind 0 the positions normalised to the scene box into g_pMirrorTarget, other
    // kinds the surface data into photon targets 0 to 3. g_matViewProjection holds the reflection.
    void RenderPlanarMirror(SceneMesh* pMirror, const D3DXMATRIX* pView, const D3DXMATRIX* pProjection,
                            int nTargetKind);
    // The same with every triangle of the mirror a mirror of its own, its image clipped to the
    // pyramid from the first enabled light through the triangle (nothing without such a light);
    // the reflected meshes' back faces culled. Nothing calls it.
    void RenderPlanarMirrorClipped(SceneMesh* pMirror, const D3DXMATRIX* pView, const D3DXMATRIX* pProjection,
                                   int nTargetKind);
    // The mirror image's targets bound and cleared with the auxiliary depth, and its programs.
    void BeginMirrorImage(int nTargetKind);
    // The visible meshes in front of g_MirrorPlane (or on it, when asked) reflected in it.
    void DrawReflectedMeshes(const D3DXMATRIX& view, const D3DXMATRIX& projection, int nTargetKind,
                             bool bOnPlaneDrawn);

    // ---- Specular routes (tracer/SpecularRoutes.cpp): the G-buffer at the mesh's pixels made to
    // hold the surface seen in it (reflection) or through it (refraction), with the depth of
    // g_pPathDepthStencil: a curved mesh looks its object cube maps up along the reflected or
    // refracted view ray, a flat one (box thinner than 1.0, or 0.5 for refraction) samples the
    // planar mirror images of the scene drawn with the camera's view.
    void RenderSpecularRoute(SceneMesh& mesh, bool bRefraction);
    void RenderSpecularCubeRoute(SceneMesh& mesh, bool bRefraction);
    void RenderSpecularPlanarRoute(SceneMesh& mesh, bool bRefraction);
    static bool IsFlatForSpecularPath(const SceneMesh& mesh, bool bRefraction);
    // Depth test and writes, the path depth surface, the mesh's vertex constants with the camera as
    // the eye, and its bump map and constants.
    void BeginSpecularRouteDraw(const SceneMesh& mesh, bool bRefraction);

    // ---- Specular paths (tracer/SpecularPaths.cpp), once per tile after the composite: with
    // Refraction on, the refraction-path photons of the first enabled light gathered at the
    // visible translucent meshes and at what is seen through them; with Reflection on, the
    // reflection-path photons gathered at what the visible reflective meshes show; both added to
    // the scene texture. Then the finish: fog, the lights' halos, flares and cones, the overlay,
    // the tile on the back buffer and in g_pReadbackSurface. The texture is not read.
    void RenderSpecularPaths(IDirect3DTexture9* pSceneTexture);
    void RenderRefractionPath(SceneLight* pLight);
    void RenderReflectionPath(SceneLight* pLight);
    void FinishTracedTile();
    SceneLight* FindFirstEnabledLight();
    // The visible meshes (a pixel count in m_Visibility) that are translucent or reflective.
    std::vector<SceneMesh*> FindSpecularMeshes(bool bRefraction);
    // Every visible mesh front to back into g_pPathDepthStencil with its pixel count in
    // m_Visibility; the colour target keeps its colour (cleared first when asked).
    void SpecularDepthPass(IDirect3DTexture9* pColourTarget, bool bClearTarget);
    // The photon targets set to (0, 0, 0, N): every pixel counts as finished.
    void PrepareSpecularSums(std::initializer_list<int> targets);
    // Photon target 0 = 0 at the meshes' visible pixels: only those gather.
    void MaskSpecularMeshes(const std::vector<SceneMesh*>& meshes);

    // ---- Earlier reflection-only form of the specular paths (tracer/ReflectionPaths.cpp),
    // which nothing calls. With Reflection on and a light switched on: the refraction-path
    // photons of the first enabled light, a depth pass over the target, then every visible
    // reflective or translucent mesh drawn additively into the target, looking up the dynamic
    // environment cube (curved meshes) or g_pMirrorTarget (flat ones, after their mirror image
    // and a gather into the scene texture); then the scene texture on the back buffer.
    void RenderReflectionPaths(IDirect3DTexture9* pTarget);
    void DrawEarlierSpecularMesh(SceneMesh& mesh, SceneLight* pLight, IDirect3DTexture9* pTarget);

    // ---- Photon sort and cell index (tracer/PhotonSort.cpp).
    // The photon blocks 0 to nBlocks - 1 sorted by (cell, photon address) into their lists and
    // each cell's first list address into their grid textures; the first emanate tile of a light
    // and kind also sets the cell statistics.
    void SortAndIndexPhotons(int nBlocks, bool bFirstTile);
    void SortPhotonBlocks(int nBlocks);
    void BuildCellIndex(int nBlocks, bool bStatistics);
    void IndexPhotonBlock(int nBlock, IDirect3DVertexBuffer9* pPoints, std::vector<int64_t>& counters);
    // The screen quad with vertex program 40 and this pixel program into the bound targets.
    void DrawTracerQuad(int nPixelProgram);
    // Program 134: level 0 of the source copied texel for texel into the target.
    void CopyTracerTexture(IDirect3DTexture9* pSource, IDirect3DTexture9* pTarget);
    // Photon target 0 = (0, 0, 0, photons of the kind + 1), then 0 under every mesh, with the depth
    // of all meshes; photon target 2 cleared. Kind 0 direct, 1 global.
    void ClearAndDepthPass(int nPhotonKind);
    // Vertex c4-c11, c14-c16 of a mesh draw of the tracer.
    void SetTracerMeshConstants(const SceneMesh& mesh);
    void SetTracerMeshConstants(const SceneMesh& mesh, const D3DXMATRIX& view, const D3DXMATRIX& projection);
    // Those and the G-buffer's material constants and textures.
    void SetGBufferMeshConstants(const SceneMesh& mesh);
    void DrawTracerMesh(const SceneMesh& mesh);
    void BeginGBufferPass(D3DCULL nCull);
    // A renderer texture on a stage whatever the renderer's record of the stage says (the
    // tracer's passes bind their targets to the stages directly).
    void BindTracerTexture(int nStage, int32_t nId);

    // ---- Photon trace and gather (tracer/TraceAndGather.cpp).
    // The photons of the blocks the light's passes indexed, gathered at the tile's visible points:
    // per pixel the neighbour cells nearest shell first, each cell's run two photons a pass,
    // until the weighted count reaches the kind's photon count. Mode 0 leaves the sums in photon
    // targets 0 (diffuse, weighted count in alpha) and 2 (specular); any other mode also shades
    // them and adds them to the scene texture. Kind 0 direct, 1 global; the tile indexes are not
    // read.
    void TraceAndGatherPhotons(SceneLight* pLight, int nMode, int nKind, int nTileX, int nTileY);
    // The tile triangles of a sorted list of their indexes: one list built on the CPU, or one
    // draw per run of consecutive triangles when that shortcut is off.
    void DrawTileTriangles(const std::vector<int>& triangles);
    // The photon-address pass over the active tile triangles (sorted indexes out of nTriangles),
    // one query per run of QueryRunLength triangles: the triangles of a run that passed no pixel
    // leave the list. Returns the pixels that passed.
    int64_t CountGatheringPixels(std::vector<int>& active, int nTriangles);
    // Triangles per query: a power of two, 1 at the full image size, more on smaller tiles.
    int QueryRunLength(int nTriangles) const;

    // ---- Combine and composite (tracer/CombineComposite.cpp).
    // Photon targets 0 and 2 scaled by 1 / the kind's photon count and added, saturated, to the
    // tile's running sums in photon targets 4 and 5.
    void CombinePhotonTargets(int nPhotonKind);
    // The running sums shaded with the G-buffer colours into the scene texture, added to the
    // background box when Background is on.
    void CompositeGlobalIllumination();

    // ---- The traced frame (tracer/TracedFrame.cpp).
    // One traced image, the first frame after Trace Photon is switched on: every tile with every
    // enabled light, read back into the output image and saved as a BMP at g_szImagePath; later
    // frames present it.
    void RenderGlobalIllumination();
    // The passes of one tile whose projection is already set: G-buffer, the lights, composite,
    // the specular paths and the finish, which leaves the tile in g_pReadbackSurface.
    void RenderTracedTile(int nLights);
    // The kept image over the whole back buffer.
    void PresentTracedImage();
    // Writes the output image to g_szImagePath (its folder made when missing); false, logged, on
    // failure.
    bool SaveTracedImage();

    // ---- Members, in declaration order.
    TextureFont* m_pFont = nullptr;                  // the overlay's font, "Impact" of height 10
    int32_t m_bOcclusionQuerySupported = 0;
    IDirect3DQuery9* m_pOcclusionQuery = nullptr;
    // One occlusion query per tile triangle of the gather, made on its first use.
    std::vector<IDirect3DQuery9*> m_GatherQueries;
    // Samples that mesh i passed in view v's last occlusion query, at v x MAX_MESHES + i.
    std::vector<uint32_t> m_Visibility;
    // Mesh indexes front to back.
    std::vector<int32_t> m_MeshOrder;
    // The 64-byte mesh vertex (position, uv, tangent, binormal, normal, triangle texel address).
    IDirect3DVertexDeclaration9* m_pMeshDecl = nullptr;
    // POSITION float3, TEXCOORD0 float3.
    IDirect3DVertexDeclaration9* m_pShadowVolumeDecl = nullptr;
    // POSITION and TEXCOORD0 to TEXCOORD3, float4 each.
    IDirect3DVertexDeclaration9* m_pParticleDecl = nullptr;
    // Hemisphere directions with a weight in w.
    D3DXVECTOR4 m_JitterDirections[JITTER_DIRECTION_COUNT] = {};
    // Renderer shader ids by program id; -1 for an id without a program (or one that failed).
    int32_t m_VertexShaders[VERTEX_SHADER_COUNT];
    int32_t m_PixelShaders[PIXEL_SHADER_COUNT];
    // The photon tracer's quad vertex buffers (the tracer creates and owns them).
    IDirect3DVertexBuffer9* m_pQuadVB = nullptr;
    IDirect3DVertexBuffer9* m_pTileQuadVB = nullptr;
    IDirect3DVertexBuffer9* m_pOffsetQuadVB = nullptr;
    float m_fFrameTimeStamp = 0.0f;    // render-clock time of the last drawn frame
    float m_fFrameStep = 0.0f;         // frame limiter's accumulator, then the drawn frame's step
    float m_fFps = 0.0f;
    float m_fSecondsPerFrame = 0.0f;
    char m_szFpsText[FPS_TEXT_SIZE] = {};
    // Frame-rate measurement: frames counted since, and render-clock time of, the last one.
    int32_t m_nFpsFrameCount = 0;
    float m_fFpsLastTime = -1.0f;      // below 0 until the first frame
    // Renderer id of a 1 x 1 white texture: the light texture of the directional programs, whose
    // lights have none of their own; -1 until Load makes it.
    int32_t m_nWhiteTexture = -1;
    // g_nEnvCubeTarget2 holds the scene in all six faces; Load clears it when it makes the
    // target, the environment cube's mode 0 (a new scene) when the faces go stale.
    uint8_t m_bEnvCubeTarget2Filled = 0;
    // A drawn frame asked for the recorded path to be saved once it is presented.
    bool m_bSavePathDue = false;
    // The programs DrawVisibleMeshes selects.
    int32_t m_nVisibleVertexProgram = -1;
    int32_t m_nVisiblePixelProgram = -1;
    // Written only by the shadow drivers.
    uint8_t m_bShadowFarLayer = 0;
    D3DXMATRIX m_matShadowTexture;
    D3DXMATRIX m_matShadowProjection;
    // Per light (a scene has at most 32): the farthest a mesh's sphere reaches from it (point
    // lights).
    float m_fShadowRange[32] = {};
};
