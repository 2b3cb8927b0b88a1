#include "scene/SceneObject.h"

#include <cstring>

void CopySceneName(char* szField, const char* szText)
{
    if (!szText)
    {
        szField[0] = '\0';
        return;
    }
    size_t nLength = strnlen(szText, SCENE_NAME_SIZE - 1);
    // memmove: a field may be given its own text.
    std::memmove(szField, szText, nLength);
    szField[nLength] = '\0';
}

SceneObject::SceneObject() = default;

SceneObject::~SceneObject() = default;

void SceneObject::Release()
{
    --m_nRefCount;
}

SceneObject& SceneObject::operator=(const SceneObject& other)
{
    if (this == &other)
        return *this;
    m_nType = other.m_nType;
    CopySceneName(m_szName, other.m_szName);
    CopySceneName(m_szSecondName, other.m_szSecondName);
    m_pOwner = other.m_pOwner;
    m_nTag = other.m_nTag;
    m_vPosition = other.m_vPosition;
    m_vScale = other.m_vScale;
    m_qRotation = other.m_qRotation;
    m_matTransform = other.m_matTransform;
    m_pEditor = other.m_pEditor;
    m_nRefCount = other.m_nRefCount;
    return *this;
}

SceneChildList::~SceneChildList() = default;
