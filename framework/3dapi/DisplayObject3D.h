#pragma once
// A rigid box-shaped game object: mass and inertia from its model's box, explicit Euler steps
// from the current state into the next one, contact impulses against other bodies and against a
// flat ground at height 10, and debug shapes of its box and contacts.
//
// Vectors are row vectors: a body-space direction d is d x matOrientation in world space.
#include "morvyn/DisplayObject.h"

#include <d3dx9math.h>

class DisplayModel;

struct RigidState
{
    D3DXVECTOR3 vPosition;
    D3DXVECTOR3 vVelocity;
    D3DXVECTOR3 vAcceleration;
    D3DXVECTOR3 vAngularVelocity;   // world space
    D3DXMATRIX matOrientation;      // rows: the body's x, y and z axes in world space
    D3DXVECTOR3 vAngularMomentum;   // world space
    D3DXMATRIX matInvInertia;       // world space
    D3DXVECTOR3 vForce;             // body space, written by the kinds
    D3DXVECTOR3 vTorque;            // world space
};

// Results of the contact impulses.
constexpr HRESULT CONTACT_IMPULSE_APPLIED = 0x40201;
constexpr HRESULT CONTACT_NO_IMPULSE = 1;
// The ground is the plane y = GROUND_HEIGHT.
constexpr float GROUND_HEIGHT = 10.0f;

class DisplayObject3D : public DisplayObject
{
public:
    explicit DisplayObject3D(int32_t nType);
    ~DisplayObject3D() override;

    // One step of dt seconds into the next state, ground contacts resolved.
    HRESULT Integrate(float fDeltaTime) override;
    // Corners of this body against the faces of the other one (DisplayObjectCollide.cpp).
    HRESULT Collide(uint32_t nValue, DisplayObject* pOther) override;
    // The state just computed becomes the current one.
    HRESULT EndStep(float fDeltaTime) override;
    // Removes the body's debug shapes when it posted any.
    void Cleanup() override;

    // Places the body and takes its inertia from the model's box; the kind must have set a
    // positive mass. E_INVALIDARG (and nothing changed) for a null model or a mass not above 0.
    virtual HRESULT Init(int nTypeIndex, const D3DXVECTOR3* pPosition, const D3DXMATRIX* pOrientation,
                         DisplayModel* pModel);
    // The kind's force (body space) and torque (world space) into the next state.
    virtual HRESULT ComputeForces(float fDeltaTime) = 0;

    // Eye at the current position, looking along the body's z axis, with its y axis up.
    void GetViewVectors(D3DXVECTOR3* pEye, D3DXVECTOR3* pLookAt, D3DXVECTOR3* pUp);
    // Impulses at corners below the ground until none approaches it (at most 21 passes);
    // bodies still stuck after 10 passes are lifted.
    HRESULT ResolveGroundContacts();
    // The impulse at corner p against the ground point g: CONTACT_IMPULSE_APPLIED or
    // CONTACT_NO_IMPULSE.
    HRESULT ApplyGroundImpulse(const D3DXVECTOR3& p, const D3DXVECTOR3& g);
    // The model's box corners carried to world space by the next state.
    void UpdateWorldCorners();

    static bool SameSide(const D3DXVECTOR3& p, const D3DXVECTOR3& a, const D3DXVECTOR3& b, const D3DXVECTOR3& c);
    static bool PointInTriangle(const D3DXVECTOR3& p, const D3DXVECTOR3& a, const D3DXVECTOR3& b,
                                const D3DXVECTOR3& c);
    static bool PointInQuad(const D3DXVECTOR3& p, const D3DXVECTOR3* pQuad);

    int32_t m_nTypeIndex = 0;
    DisplayModel* m_pModel = nullptr;
    RigidState m_States[2];
    RigidState* m_pState;
    RigidState* m_pNextState;
    float m_fMass = 0.0f;
    D3DXMATRIX m_matInvBodyInertia;
    D3DXVECTOR3 m_vWorldCorners[8];
    float m_fHealth = 0.0f;
    float m_fLinearFactor = -10.0f;
    float m_fAngularFactor = -0.8f;
    BYTE m_bGravity = 1;
    float m_fRestitution = 0.4f;
    float m_fGravityScale = 1.0f;
    BYTE m_bDebugDraw = 0;
    BYTE m_bMoving = 1;
};

// The impulse at corner p of A against point q on a face of B with normal n. Its size takes only
// A's mass and inertia; B's share goes to B's current state.
HRESULT ApplyContactImpulse(DisplayObject3D* pA, DisplayObject3D* pB, const D3DXVECTOR3& p, const D3DXVECTOR3& q,
                            const D3DXVECTOR3& n);

// low + Random() x (high - low) / 32767: both ends reachable.
float RandomFloat(float fLow, float fHigh);
