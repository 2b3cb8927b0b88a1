#include "morvyn/morvyn.h"

DisplayObject* g_pDisplayObjects = nullptr;
int32_t g_nDisplayObjects = 0;
int32_t g_nEnemyObjects = 0;

namespace
{
// Every listed object but the head has a previous one, and objects outside the list have their
// links cleared.
bool IsRegistered(const DisplayObject* pObject)
{
    return pObject == g_pDisplayObjects || pObject->m_pPrev != nullptr;
}

void Count(const DisplayObject* pObject, int32_t nStep)
{
    if (pObject->m_nType == DISPLAY_OBJECT_ENEMY)
        g_nEnemyObjects += nStep;
    g_nDisplayObjects += nStep;
}
}

HRESULT RegisterDisplayObject(DisplayObject* pObject)
{
    if (!pObject)
        return E_INVALIDARG;
    if (IsRegistered(pObject))
        return S_FALSE;
    pObject->m_pNext = g_pDisplayObjects;
    pObject->m_pPrev = nullptr;
    if (g_pDisplayObjects)
        g_pDisplayObjects->m_pPrev = pObject;
    g_pDisplayObjects = pObject;
    Count(pObject, 1);
    return S_OK;
}

HRESULT UnregisterDisplayObject(DisplayObject* pObject)
{
    if (!pObject)
        return E_INVALIDARG;
    if (!IsRegistered(pObject))
        return S_FALSE;
    if (pObject == g_pDisplayObjects)
        g_pDisplayObjects = pObject->m_pNext;
    else
        pObject->m_pPrev->m_pNext = pObject->m_pNext;
    if (pObject->m_pNext)
        pObject->m_pNext->m_pPrev = pObject->m_pPrev;
    pObject->m_pNext = nullptr;
    pObject->m_pPrev = nullptr;
    Count(pObject, -1);
    return S_OK;
}
