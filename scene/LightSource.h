#pragma once
// A light record that computes how strongly it lights a point: a distance falloff that is 0 at
// the light, peaks at 700 units and falls off beyond, a direction term (the cosine between the
// light's direction and the direction to the point), and a fade in or out over a parameter t.
#include "core/Vector3.h"

class LightSource
{
public:
    // A point light: no direction term (it counts as 1) and no fade until they are set.
    LightSource(const Vector3& vPosition, const float color[4], float fPower);

    // Stores the normalised direction (a zero direction stays zero, so the light then gives 0)
    // and the factor; a two-sided light uses the absolute value of the direction term.
    void SetDirection(const Vector3& vDirection, float fFactor, bool bTwoSided);
    // bWhich true sets the first fade value, false the second.
    void SetFade(bool bWhich, float fValue);

    // The light's strength at P for the fade parameter t. 0 at the light's own position.
    float Evaluate(const Vector3& vPoint, float t) const;

    Vector3 m_vPosition;
    float m_fPower;
    // RGBA; not used by the evaluation.
    float m_Color[4];
    Vector3 m_vDirection{0.0f, 0.0f, 0.0f};
    float m_fDirectionFactor = 1.0f;
    // With A at or above B the light fades in from t = B, reaching full strength 20000 later;
    // with A below B it fades out from t = A to nothing 20000 later. The defaults put the
    // fade-in start at the lowest float, so an unfaded light is always at full strength.
    float m_fFadeA = 0.0f;
    float m_fFadeB;
    bool m_bDirectional = false;
    bool m_bTwoSided = false;
};
