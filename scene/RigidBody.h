#pragma once
// A small rigid-body simulation whose world matrix places a scene node. Only the camera is ever
// integrated (its keys push it with forces and torques); paths and the mouse manipulation move
// bodies directly through SetFromMatrix, Rotate and Translate.
//
// Units are the scene's, angles radians, time seconds. Forces are accelerations here: a step
// adds force x dt to the velocity without dividing by the mass; the mass only scales the drag.
// The angular velocity's x, y and z are pitch, yaw and roll rates.
#include "core/Matrix4.h"
#include "core/Vector3.h"

#include <d3dx9math.h>

#include <cstdint>

// An acceleration added by every integration step; (0, 0, 0) from start-up.
extern Vector3 g_vGravity;

class RigidBody
{
public:
    RigidBody();

    // One step of dt seconds: forces, drag, deformation, motion, then the world matrix.
    void Integrate(float dt);
    // world = base x transformation(deformation scale, orientation, position) about the centre.
    void UpdateWorldMatrix();
    // Base and world matrix become m; position (0, 0, 0), orientation identity. The world matrix
    // is not rebuilt.
    void SetFromMatrix(const Matrix4& m);
    // world = world x translation(v); position += v.
    void Translate(const Vector3& v);
    // Turns the orientation (and the deformation with it) by q, then rebuilds the world matrix.
    void Rotate(const D3DXQUATERNION& q);
    // x pitch, y yaw, z roll, in radians.
    void RotateYawPitchRoll(const Vector3& v);

    void SaveState();
    void RestoreState();
    // Each sets the quantity and its saved copy.
    void SetVelocity(const Vector3& v);
    void SetAngularVelocity(const Vector3& v);
    void SetDeformationRate(const Vector3& v);

    Matrix4* GetWorldMatrix() { return &m_matWorld; }
    // Cached; recomputed after any change of the world matrix. A singular world matrix leaves
    // the previous inverse in place.
    Matrix4* GetInverseWorldMatrix();
    // The local centre in world coordinates, cached the same way.
    Vector3* GetWorldCentre();
    // Velocity of the body at a world point: angular velocity x (point - world centre) + velocity.
    void GetPointVelocity(Vector3* pOut, const Vector3& vPoint);

    Vector3 m_vLocalCentre{0.0f, 0.0f, 0.0f};
    float m_fMass;
    // Angular mass = mass x this factor.
    float m_fInertiaFactor = 1.0f;
    float m_fAirResistance = 0.0f;
    float m_fAngularAirResistance = 0.0f;
    float m_fFriction = 1.0f;
    // Share of a collision impulse that goes to the velocity; the rest deforms the body.
    float m_fElasticity = 1.0f;
    // Spring constant pulling the deformation back to zero, and damping of its rate.
    float m_fDeformStiffness = 1.0e15f;
    float m_fDeformDamping;
    // World-space force and torque, and body-space ones, applied every step until changed.
    Vector3 m_vForce{0.0f, 0.0f, 0.0f};
    Vector3 m_vTorque{0.0f, 0.0f, 0.0f};
    Vector3 m_vLocalForce{0.0f, 0.0f, 0.0f};
    Vector3 m_vLocalTorque{0.0f, 0.0f, 0.0f};
    Vector3 m_vPosition;
    // The transform is applied after this matrix.
    Matrix4 m_matBase;
    Vector3 m_vVelocity{0.0f, 0.0f, 0.0f};
    D3DXQUATERNION m_qOrientation;
    Vector3 m_vAngularVelocity{0.0f, 0.0f, 0.0f};
    // The body is scaled by (1, 1, 1) + deformation; its length never exceeds 0.5 after a step.
    Vector3 m_vDeformation{0.0f, 0.0f, 0.0f};
    Vector3 m_vDeformationRate{0.0f, 0.0f, 0.0f};
    Matrix4 m_matWorld;

    Vector3 m_vSavedPosition;
    Vector3 m_vSavedVelocity;
    D3DXQUATERNION m_qSavedOrientation;
    Vector3 m_vSavedAngularVelocity;
    Vector3 m_vSavedDeformation;
    Vector3 m_vSavedDeformationRate;
    Matrix4 m_matSavedWorld;

    Matrix4 m_matInverseWorld{};
    int32_t m_bInverseValid = 0;
    Vector3 m_vWorldCentre{0.0f, 0.0f, 0.0f};
    int32_t m_bCentreValid = 0;

private:
    void InvalidateCaches();
    // Turns the deformation and its rate by the rotation q.
    void RotateDeformation(const D3DXQUATERNION& q);
};

// Impulse and friction between two touching bodies at the world point vPoint, vNormal being
// the contact normal for A and vNormal2 the one for B. Momentum passes from one body to the
// other: the linear momentum of the pair is unchanged.
void ApplyCollisionImpulse(RigidBody& a, RigidBody& b, const Vector3& vPoint, const Vector3& vNormal,
                           const Vector3& vNormal2);
