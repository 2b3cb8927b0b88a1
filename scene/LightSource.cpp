#include "scene/LightSource.h"

#include <cfloat>
#include <cmath>

namespace
{
// The fade runs over 20000 units of t.
constexpr float FADE_RATE = 0.00005f;
// Distance at which the falloff term peaks.
constexpr float PEAK_DISTANCE = 700.0f;
constexpr float PI = 3.14159265f;
}

LightSource::LightSource(const Vector3& vPosition, const float color[4], float fPower)
    : m_vPosition(vPosition), m_fPower(fPower), m_fFadeB(-FLT_MAX)
{
    for (int i = 0; i < 4; ++i)
        m_Color[i] = color[i];
}

void LightSource::SetDirection(const Vector3& vDirection, float fFactor, bool bTwoSided)
{
    float fLength = Length(vDirection);
    m_vDirection = fLength > 0.0f ? vDirection / fLength : Vector3(0.0f, 0.0f, 0.0f);
    m_fDirectionFactor = fFactor;
    m_bDirectional = true;
    m_bTwoSided = bTwoSided;
}

void LightSource::SetFade(bool bWhich, float fValue)
{
    if (bWhich)
        m_fFadeA = fValue;
    else
        m_fFadeB = fValue;
}

float LightSource::Evaluate(const Vector3& vPoint, float t) const
{
    Vector3 v = vPoint - m_vPosition;
    float d = Length(v);
    // The falloff is sin(pi) = 0 at the light itself, where there is no direction to the point.
    if (d == 0.0f)
        return 0.0f;
    v /= d;

    float w;
    if (m_fFadeA >= m_fFadeB)
    {
        w = (t - m_fFadeB) * FADE_RATE;
        if (w > 1.0f)
            w = 1.0f;
    }
    else
    {
        w = (m_fFadeA - t) * FADE_RATE + 1.0f;
        if (w < 0.0f)
            w = 0.0f;
    }

    float c = 1.0f;
    if (m_bDirectional)
    {
        c = Dot(v, m_vDirection);
        if (m_bTwoSided)
            c = std::fabs(c);
    }
    float fFalloff = std::sin(PI - PI * d / (d + PEAK_DISTANCE));
    return w * m_fPower * m_fDirectionFactor * fFalloff * c;
}
