// The frame driver: RenderApp::DrawFrame and what it keeps between frames (the limiter, the
// render surface window's mode, camera-path recording).
#include "app/RenderApp.h"
#include "app/RenderWindow.h"
#include "app/RenderWnd.h"

#include "3dapi/RenderTimer.h"
#include "core/Log.h"
#include "scene/D3DXBridge.h"
#include "scene/ParticleSystem.h"
#include "scene/RenderOptions.h"
#include "scene/SceneCamera.h"
#include "scene/SceneMesh.h"

#include <mfc/afxdlgs.h>

uint8_t g_bRenderWndFullScreen = 0;
uint8_t g_bRecordingPath = 0;
float g_fPathTime = 0.0f;
std::vector<PathKey> g_PathKeys;

namespace
{
// The visibility views the first frame marks visible for every mesh.
const int FIRST_FRAME_VIEWS[] = {0, 4};

void FollowFullScreenRequest()
{
    CRenderWnd* pRenderWnd = g_pRenderWindow ? g_pRenderWindow->GetRenderWnd() : nullptr;
    if (!pRenderWnd)
        return;
    if (g_bFullScreenRequest == 1 && g_bRenderWndFullScreen == 0)
    {
        pRenderWnd->GoFullscreen();
        g_bRenderWndFullScreen = 1;
    }
    else if (g_bFullScreenRequest == 0 && g_bRenderWndFullScreen == 1)
    {
        pRenderWnd->GoWindowed();
        g_bRenderWndFullScreen = 0;
    }
}
}

float RenderApp::GetFrameWait()
{
    return m_fFrameStep < FRAME_INTERVAL ? FRAME_INTERVAL - m_fFrameStep : 0.0f;
}

bool RenderApp::DrawFrame()
{
    FollowFullScreenRequest();
    float t = RenderTimerCommand(TimerAppTime);
    float dt = RenderTimerCommand(TimerElapsedTime);
    if (m_fFrameStep < FRAME_INTERVAL)
    {
        m_fFrameStep += dt;
        m_bFrameDrawn = false;
        return true;
    }
    m_bFrameDrawn = true;
    m_fFrameTimeStamp = t;
    m_fFrameStep = SceneCamera::STEP;

    SceneCamera& camera = m_Scene.m_Camera;
    m_matProjection.SetPerspective(camera.m_fFov, camera.m_fAspect, camera.m_fFrontClip, camera.m_fBackClip);
    camera.Update(m_fFrameStep);
    g_matProjection = m_matProjection;
    g_matView = *camera.GetViewMatrix();
    m_vCameraPosition = camera.m_RigidBody.m_vPosition;
    camera.m_vEyePosition = camera.m_RigidBody.m_vPosition;

    if (camera.m_bRecordPath && !g_bRecordingPath)
    {
        g_bRecordingPath = 1;
        g_PathKeys.clear();
        g_fPathTime = 0.0f;
    }
    if (g_bRecordingPath)
    {
        g_fPathTime += m_fFrameStep;
        g_PathKeys.push_back(PathKey{camera.m_vEyePosition, camera.m_RigidBody.m_qOrientation});
    }
    if (camera.m_bSavePathRequest)
    {
        g_bRecordingPath = 0;
        camera.m_bSavePathRequest = 0;
        m_bSavePathDue = true;
    }

    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    m_pDevice->SetVertexDeclaration(m_pMeshDecl);
    g_matViewProjection.SetIdentity();

    const int nMeshes = static_cast<int>(m_Scene.m_Meshes.GetCount());
    if (nMeshes > 0)
    {
        for (int i = 0; i < nMeshes; ++i)
        {
            auto* pMesh = static_cast<SceneMesh*>(m_Scene.m_Meshes.Get(i));
            if (pMesh->m_bPathPlaying)
            {
                pMesh->UpdatePath(m_fFrameStep);
                pMesh->m_matWorld = *pMesh->m_RigidBody.GetWorldMatrix();
                pMesh->m_matWorldCopy = pMesh->m_matWorld;
                pMesh->m_matWorldCopy2 = pMesh->m_matWorld;
            }
            else
                pMesh->UpdateWorldMatrix();
        }
        g_nVisibleFaces = 0;
        if (g_bSceneChanged)
        {
            // The new scene's set-up: the tracer's grid (with Trace Photon on, its programs are
            // checked first, so a missing one is reported once), the particle systems and the
            // visibility of every mesh in the views that start from it, then the environment cube
            // drawn whole; later frames redraw its faces for moving meshes when it is dynamic.
            if (g_bTracePhoton)
                CheckTracerPrograms();
            BuildTriangleGrid();
            for (int i = 0; i < g_nParticleSystems && i < MAX_PARTICLE_SYSTEMS; ++i)
            {
                g_ParticleSystems[i].Init(m_pDevice);
                g_ParticleSystems[i].SetPreset(5);
            }
            if (m_Visibility.size() < static_cast<size_t>(VISIBILITY_VIEWS) * MAX_MESHES)
                m_Visibility.resize(static_cast<size_t>(VISIBILITY_VIEWS) * MAX_MESHES, 0);
            for (int nView : FIRST_FRAME_VIEWS)
                for (int i = 0; i < nMeshes && i < MAX_MESHES; ++i)
                    m_Visibility[static_cast<size_t>(nView) * MAX_MESHES + i] = 1;
            RenderEnvironmentCube(0);
        }
        else if (g_bDynamicCubeMap)
            RenderEnvironmentCube(1);
        if (g_bBackground)
        {
            m_pDevice->Clear(0, nullptr, D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0, 1.0f, 0);
            DrawBackgroundBox(camera.m_RigidBody.m_vPosition, ToD3DX(g_matView), ToD3DX(g_matProjection), 0);
        }
        if (camera.m_bDofActive)
            RenderSceneWithDepthOfField(&g_matViewProjection);
        else
            RenderScene(0, &g_matViewProjection);
        g_bSceneChanged = 0;
    }
    else
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);

    DrawStatistics();
    m_fFrameStep = 0.0f;
    return true;
}

bool RenderApp::EndFrame()
{
    bool bPresented = Direct3DApplication::EndFrame();
    if (m_bSavePathDue)
    {
        m_bSavePathDue = false;
        SaveRecordedPath();
    }
    return bPresented;
}

void RenderApp::SaveRecordedPath()
{
    CFileDialog dialog(FALSE, CAMERA_PATH_EXTENSION, "*.pth", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER,
                       CAMERA_PATH_FILTER, nullptr);
    if (dialog.DoModal() != IDOK)
        return;
    CString strPath = dialog.GetPathName();
    WritePathFile(strPath, g_PathKeys.data(), static_cast<int>(g_PathKeys.size()), g_fPathTime);
}
