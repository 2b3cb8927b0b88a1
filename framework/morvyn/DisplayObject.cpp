#include "morvyn/DisplayObject.h"

int32_t g_nDisplayObjectsCreated = 0;

DisplayObject::DisplayObject(int32_t nType) : m_nType(nType), m_nId(++g_nDisplayObjectsCreated) {}

HRESULT DisplayObject::EndStep(float)
{
    return S_OK;
}

HRESULT DisplayObject::Touch(float, float, uint32_t)
{
    m_bTouched = 1;
    return S_OK;
}
