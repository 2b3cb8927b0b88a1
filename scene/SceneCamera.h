#pragma once
// The scene's camera: a node whose rigid body is the eye, with the viewing, fog, depth-of-field
// and control parameters that the property tree edits and the renderers read. Every frame it
// polls its sixteen keys (g_CameraKeyTable), turns them into a body-space force and torque and
// integrates its body; a loaded path takes over while it plays. Two keys start and stop the
// recording of a camera path, which the frame driver watches through m_bRecordPath,
// m_bSavePathRequest and g_bFullScreenRequest.
#include "scene/SceneNode.h"
#include "scene/SceneObject.h"

#include <cstdint>

// What a camera key does while it is held.
enum CameraKeyAction
{
    CAMERA_KEY_UP = 0,
    CAMERA_KEY_DOWN = 1,
    CAMERA_KEY_LEFT = 2,
    CAMERA_KEY_RIGHT = 3,
    CAMERA_KEY_FORWARDS = 4,
    CAMERA_KEY_BACKWARDS = 5,
    CAMERA_KEY_PITCH_DOWN = 6,
    CAMERA_KEY_PITCH_UP = 7,
    CAMERA_KEY_YAW_LEFT = 8,
    CAMERA_KEY_YAW_RIGHT = 9,
    CAMERA_KEY_ROLL_LEFT = 10,
    CAMERA_KEY_ROLL_RIGHT = 11,
    CAMERA_KEY_STOP_RECORDING = 12,
    CAMERA_KEY_START_RECORDING = 13,
    CAMERA_KEY_HOME = 14,
    CAMERA_KEY_END = 15,
    CAMERA_KEY_ACTION_COUNT = 16,
};

struct CameraKey
{
    int32_t m_nAction;
    // Virtual-key code.
    int32_t m_nKey;
};

constexpr int CAMERA_KEY_COUNT = 16;
extern const CameraKey g_CameraKeyTable[CAMERA_KEY_COUNT];

// The render window's full-screen request, set by the camera's record key and cleared by its
// save key; the frame driver switches the window when it changes.
extern uint8_t g_bFullScreenRequest;

class SceneCamera : public SceneNode, public SceneObject
{
public:
    // The frame driver's animation step, and the camera's integration step.
    static constexpr float STEP = 1.0f / 30.0f;

    SceneCamera();
    ~SceneCamera() override;

    // Plays the path, or polls the keys and integrates the body over dt seconds.
    void Update(float dt);
    Matrix4* GetViewMatrix() { return m_RigidBody.GetInverseWorldMatrix(); }
    // The camera's marker shape: scaling (-4, 4, 10) placed by the body. One matrix shared by
    // every camera, refilled on each call.
    Matrix4* GetDisplayMatrix() override;
    Vector3* GetDisplayColor(Vector3* pColor) override;

    // Field of view in radians, aspect ratio, clipping distances.
    float m_fFov = 0.7853982f;
    float m_fAspect = 0.65f;
    float m_fFrontClip = 10.0f;
    float m_fBackClip = 500000.0f;
    // Depth of field: quality 1 to 24, blur 0 to 100, far and near depths.
    int32_t m_nDofQuality = 8;
    int32_t m_nDofBlur = 10;
    float m_fDofFar = 350.0f;
    float m_fDofNear = 60.0f;
    // Force scale of the control keys; torques get a thirtieth of it.
    float m_fControlSpeed = 1000.0f;
    int32_t m_bFog = 0;
    float m_fFogDensity = 0.01f;
    // Kept for the scene files only.
    float m_fStoredValue1 = 0.1f;
    float m_fStoredValue2 = 10.0f;
    float m_fFogScale = 0.0f;
    float m_fFogZ = 0.0f;
    float m_fStoredValues[4] = {};
    // r, g, b, a.
    float m_vFogColor[4] = {};
    uint8_t m_bDofActive = 0;
    Matrix4 m_matCamera{};
    // The rigid body's position, copied by the frame driver every frame.
    Vector3 m_vEyePosition{0.0f, 0.0f, 0.0f};
    Vector3 m_vStoredVector1{0.0f, 0.0f, 0.0f};
    Vector3 m_vStoredVector2{0.0f, 0.0f, 0.0f};
    // Set by the save key; the frame driver writes the recorded path and clears it.
    uint8_t m_bSavePathRequest = 0;
    int32_t m_nCameraValue = 0;
    char m_szPathFile[SCENE_NAME_SIZE];

private:
    void PollKeys();
};
