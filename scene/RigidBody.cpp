#include "scene/RigidBody.h"

#include "scene/D3DXBridge.h"

#include <limits>

Vector3 g_vGravity(0.0f, 0.0f, 0.0f);

namespace
{
// The largest deformation a step leaves: half the body's size on every axis together.
constexpr float MAX_DEFORMATION = 0.5f;

Vector3 TransformNormal(const Vector3& v, const Matrix4& m)
{
    D3DXVECTOR3 vIn = ToD3DX(v), vOut;
    D3DXMATRIX mat = ToD3DX(m);
    D3DXVec3TransformNormal(&vOut, &vIn, &mat);
    return ToVector3(vOut);
}

Vector3 TransformCoord(const Vector3& v, const Matrix4& m)
{
    D3DXVECTOR3 vIn = ToD3DX(v), vOut;
    D3DXMATRIX mat = ToD3DX(m);
    D3DXVec3TransformCoord(&vOut, &vIn, &mat);
    return ToVector3(vOut);
}

// D3DX normalisation: the zero vector stays zero.
Vector3 SafeNormalized(const Vector3& v)
{
    D3DXVECTOR3 vIn = ToD3DX(v), vOut;
    D3DXVec3Normalize(&vOut, &vIn);
    return ToVector3(vOut);
}
}

RigidBody::RigidBody()
    : m_fMass(std::numeric_limits<float>::infinity()),
      m_fDeformDamping(std::numeric_limits<float>::infinity())
{
    SetFromMatrix(IdentityMatrix4());
    SaveState();
}

void RigidBody::InvalidateCaches()
{
    m_bInverseValid = 0;
    m_bCentreValid = 0;
}

void RigidBody::RotateDeformation(const D3DXQUATERNION& q)
{
    D3DXMATRIX matRotation;
    D3DXMatrixRotationQuaternion(&matRotation, &q);
    Matrix4 m = ToMatrix4(matRotation);
    m_vDeformationRate = TransformNormal(m_vDeformationRate, m);
    m_vDeformation = TransformNormal(m_vDeformation, m);
}

void RigidBody::Integrate(float dt)
{
    m_vVelocity += m_vForce * dt;
    m_vAngularVelocity += m_vTorque * dt;
    m_vVelocity += TransformNormal(m_vLocalForce, m_matWorld) * dt;
    m_vAngularVelocity += TransformNormal(m_vLocalTorque, m_matWorld) * dt;
    m_vVelocity += g_vGravity * dt;
    m_vDeformationRate -= (m_vDeformation * m_fDeformStiffness) * dt;

    // Drag as a fraction of the velocity kept per step; a step long enough to reverse the
    // motion stops it instead. With the default infinite mass nothing is lost.
    float fKeep = 1.0f - dt * m_fAirResistance / m_fMass;
    m_vVelocity = fKeep > 0.0f ? m_vVelocity * fKeep : Vector3(0.0f, 0.0f, 0.0f);
    float fAngularKeep = 1.0f - dt * m_fAngularAirResistance / (m_fMass * m_fInertiaFactor);
    m_vAngularVelocity = fAngularKeep > 0.0f ? m_vAngularVelocity * fAngularKeep : Vector3(0.0f, 0.0f, 0.0f);

    // The damped rate is kept only while it still points the same way, so an infinite damping
    // (the default, whose product is not a number) stops the rate.
    Vector3 vDamped = m_vDeformationRate - (m_vDeformationRate * m_fDeformDamping) * dt;
    m_vDeformationRate = Dot(vDamped, m_vDeformationRate) > 0.0f ? vDamped : Vector3(0.0f, 0.0f, 0.0f);

    m_vPosition += m_vVelocity * dt;

    Vector3 vAngle = m_vAngularVelocity * dt;
    D3DXQUATERNION q;
    D3DXQuaternionRotationYawPitchRoll(&q, vAngle.y, vAngle.x, vAngle.z);
    D3DXQuaternionMultiply(&m_qOrientation, &m_qOrientation, &q);
    RotateDeformation(q);

    m_vDeformation += m_vDeformationRate * dt;
    float fLength = Length(m_vDeformation);
    if (fLength > MAX_DEFORMATION)
        m_vDeformation /= fLength / MAX_DEFORMATION;

    UpdateWorldMatrix();
}

void RigidBody::UpdateWorldMatrix()
{
    D3DXVECTOR3 vCentre = ToD3DX(TransformCoord(m_vLocalCentre, m_matBase));
    D3DXVECTOR3 vScale = ToD3DX(Vector3(1.0f, 1.0f, 1.0f) + m_vDeformation);
    D3DXQUATERNION qScaleRotation(m_qOrientation.x, m_qOrientation.y, m_qOrientation.z, -m_qOrientation.w);
    D3DXVECTOR3 vTranslation = ToD3DX(m_vPosition);
    D3DXMATRIX matTransform;
    D3DXMatrixTransformation(&matTransform, &vCentre, &qScaleRotation, &vScale, &vCentre, &m_qOrientation,
                             &vTranslation);
    D3DXMATRIX matBase = ToD3DX(m_matBase), matWorld;
    D3DXMatrixMultiply(&matWorld, &matBase, &matTransform);
    m_matWorld = ToMatrix4(matWorld);
    InvalidateCaches();
}

void RigidBody::SetFromMatrix(const Matrix4& m)
{
    m_matBase = m;
    m_matWorld = m;
    m_vPosition = Vector3(0.0f, 0.0f, 0.0f);
    D3DXQuaternionIdentity(&m_qOrientation);
    InvalidateCaches();
}

void RigidBody::Translate(const Vector3& v)
{
    D3DXMATRIX matTranslation, matWorld = ToD3DX(m_matWorld);
    D3DXMatrixTranslation(&matTranslation, v.x, v.y, v.z);
    D3DXMatrixMultiply(&matWorld, &matWorld, &matTranslation);
    m_matWorld = ToMatrix4(matWorld);
    m_vPosition += v;
    InvalidateCaches();
}

void RigidBody::Rotate(const D3DXQUATERNION& q)
{
    D3DXQuaternionMultiply(&m_qOrientation, &m_qOrientation, &q);
    RotateDeformation(q);
    UpdateWorldMatrix();
}

void RigidBody::RotateYawPitchRoll(const Vector3& v)
{
    D3DXQUATERNION q;
    D3DXQuaternionRotationYawPitchRoll(&q, v.y, v.x, v.z);
    Rotate(q);
}

void RigidBody::SaveState()
{
    m_vSavedPosition = m_vPosition;
    m_vSavedVelocity = m_vVelocity;
    m_qSavedOrientation = m_qOrientation;
    m_vSavedAngularVelocity = m_vAngularVelocity;
    m_vSavedDeformation = m_vDeformation;
    m_vSavedDeformationRate = m_vDeformationRate;
    m_matSavedWorld = m_matWorld;
}

void RigidBody::RestoreState()
{
    m_vPosition = m_vSavedPosition;
    m_vVelocity = m_vSavedVelocity;
    m_qOrientation = m_qSavedOrientation;
    m_vAngularVelocity = m_vSavedAngularVelocity;
    m_vDeformation = m_vSavedDeformation;
    m_vDeformationRate = m_vSavedDeformationRate;
    m_matWorld = m_matSavedWorld;
    InvalidateCaches();
}

void RigidBody::SetVelocity(const Vector3& v)
{
    m_vVelocity = v;
    m_vSavedVelocity = v;
}

void RigidBody::SetAngularVelocity(const Vector3& v)
{
    m_vAngularVelocity = v;
    m_vSavedAngularVelocity = v;
}

void RigidBody::SetDeformationRate(const Vector3& v)
{
    m_vDeformationRate = v;
    m_vSavedDeformationRate = v;
}

Matrix4* RigidBody::GetInverseWorldMatrix()
{
    if (!m_bInverseValid)
    {
        D3DXMATRIX matWorld = ToD3DX(m_matWorld), matInverse;
        if (D3DXMatrixInverse(&matInverse, nullptr, &matWorld))
            m_matInverseWorld = ToMatrix4(matInverse);
        m_bInverseValid = 1;
    }
    return &m_matInverseWorld;
}

Vector3* RigidBody::GetWorldCentre()
{
    if (!m_bCentreValid)
    {
        m_vWorldCentre = TransformCoord(m_vLocalCentre, m_matWorld);
        m_bCentreValid = 1;
    }
    return &m_vWorldCentre;
}

void RigidBody::GetPointVelocity(Vector3* pOut, const Vector3& vPoint)
{
    *pOut = Cross(m_vAngularVelocity, vPoint - *GetWorldCentre()) + m_vVelocity;
}

namespace
{
// The angular part of an impulse on one body: the lever arm's direction crossed with the
// impulse spread over its length. A contact at the centre has no lever and turns nothing.
Vector3 AngularImpulse(const Vector3& vArm, float fArm, const Vector3& vImpulse)
{
    if (!(fArm > 0.0f))
        return Vector3(0.0f, 0.0f, 0.0f);
    return Cross(SafeNormalized(vArm), vImpulse / fArm);
}

bool IsUsableDivisor(float f)
{
    return f != 0.0f && std::isfinite(f);
}
}

void ApplyCollisionImpulse(RigidBody& a, RigidBody& b, const Vector3& vPoint, const Vector3& vNormal,
                           const Vector3& vNormal2)
{
    Vector3 vA, vB;
    a.GetPointVelocity(&vA, vPoint);
    b.GetPointVelocity(&vB, vPoint);
    Vector3 vRelative = vB - vA;
    Vector3 vTangent = SafeNormalized(Cross(Cross(vNormal, vRelative), vNormal));
    float fNormalSpeed = Dot(vNormal, vRelative);
    float fTangentSpeed = Dot(vTangent, vRelative);

    Vector3 vArmA = vPoint - *a.GetWorldCentre();
    Vector3 vArmB = vPoint - *b.GetWorldCentre();
    float fArmA = Length(vArmA), fArmB = Length(vArmB);
    Vector3 vTurnA = Cross(Cross(vArmA, vNormal), vArmA);
    Vector3 vTurnB = Cross(Cross(vArmB, vNormal2), vArmB);
    float fTurnA = Dot(vNormal2, vTurnA);
    float fTurnB = Dot(vNormal, vTurnB);

    float kA = 1.0f / a.m_fMass, kB = 1.0f / b.m_fMass;
    // The first body's rotational term is squared and the second's is not; the contact response
    // has always been tuned with this form.
    float kAr = fTurnA * fTurnA / (a.m_fMass * a.m_fInertiaFactor);
    float kBr = -fTurnB / (b.m_fMass * b.m_fInertiaFactor);

    // Two immovable bodies (or a degenerate contact) exchange nothing.
    float fDenominator = kA + kAr + kB + kBr;
    if (!IsUsableDivisor(fDenominator))
        return;
    float j = fNormalSpeed / fDenominator;
    float jE = (a.m_fElasticity + b.m_fElasticity) * j;
    float jA = (1.0f - a.m_fElasticity) * j;
    float jB = (1.0f - b.m_fElasticity) * j;

    a.m_vVelocity += vNormal * (jE * kA);
    b.m_vVelocity -= vNormal * (jE * kB);
    a.m_vDeformationRate += vNormal * (jA * kA);
    b.m_vDeformationRate += vNormal * (jB * kB);
    a.m_vAngularVelocity += AngularImpulse(vArmA, fArmA, SafeNormalized(vTurnA) * (jE * kAr));
    b.m_vAngularVelocity += AngularImpulse(vArmB, fArmB, SafeNormalized(vTurnB) * (jE * kBr));

    // Friction: at most the normal impulse scaled by both friction coefficients.
    float fLimit = std::fabs(a.m_fFriction * b.m_fFriction * fNormalSpeed);
    float fFriction = fTangentSpeed > fLimit ? fLimit : fTangentSpeed;
    float kAf = 1.0f / (a.m_fMass * a.m_fInertiaFactor * fArmA);
    float kBf = 1.0f / (b.m_fMass * b.m_fInertiaFactor * fArmB);
    float fFrictionDenominator = kA + kAf + kB + kBf;
    if (!IsUsableDivisor(fFrictionDenominator))
        return;
    float jf = fFriction / fFrictionDenominator;

    a.m_vVelocity += vTangent * (jf * kA);
    a.m_vAngularVelocity += AngularImpulse(vArmA, fArmA, vTangent * (jf * kAf));
    b.m_vVelocity -= vTangent * (jf * kB);
    b.m_vAngularVelocity -= AngularImpulse(vArmB, fArmB, vTangent * (jf * kBf));
}
