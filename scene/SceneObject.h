#pragma once
// The base record of everything the scene lists and the property tree shows: meshes, lights,
// materials, textures, the camera, the settings nodes and the tree's own value items. Its type
// code tells the tree and the view what an item holds.
//
// Lifetime belongs to the owners, which delete through the virtual destructor; Release only
// lowers a counter that nothing raises or reads, so no scene object deletes itself.
#include "core/Matrix4.h"
#include "core/Vector3.h"
#include "scene/PointerArray.h"

#include <d3dx9math.h>

#include <cstdint>

// The codes of SceneObject::m_nType. Materials, textures and the render settings node have none.
enum TreeItemType
{
    TREE_ITEM_MESH = 1,
    TREE_ITEM_LIGHT = 3,
    TREE_ITEM_CAMERA = 19,
    TREE_ITEM_BOOL = 21,
    TREE_ITEM_INT_SLIDER = 22,
    TREE_ITEM_FLOAT_SLIDER = 23,
    TREE_ITEM_COLOR = 24,
    TREE_ITEM_FILE = 29,
    TREE_ITEM_SPRITE = 30,
    TREE_ITEM_IMAGE_SETTINGS = 31,
    TREE_ITEM_ENVIRONMENT_SETTINGS = 32,
    TREE_ITEM_IMAGE_FORMAT = 33,
};

// Size of every fixed name and path field of the scene objects: 255 characters and a NUL.
constexpr int SCENE_NAME_SIZE = 256;

// Copies szText into a SCENE_NAME_SIZE field, cut to 255 characters, always NUL-terminated; a
// null text gives an empty field.
void CopySceneName(char* szField, const char* szText);

class SceneObject
{
public:
    SceneObject();
    SceneObject(const SceneObject&) = delete;
    virtual ~SceneObject();
    virtual void Release();

    // Copies the type, both names, owner, tag, transform and editor fields and the reference
    // count; the object keeps its own class.
    SceneObject& operator=(const SceneObject& other);

    void SetType(int nType) { m_nType = nType; }
    void SetName(const char* szName) { CopySceneName(m_szName, szName); }
    void SetSecondName(const char* szName) { CopySceneName(m_szSecondName, szName); }

    int32_t m_nType = 0;
    char m_szName[SCENE_NAME_SIZE] = {};
    // Stored after the name in the scene files; empty for new lights and imported objects.
    char m_szSecondName[SCENE_NAME_SIZE] = {};
    // The property tree's owning object of a value item, or a child mesh's parent.
    void* m_pOwner = nullptr;
    int32_t m_nTag = 0;
    // The transform that the scene writers store for meshes; nothing else sets it.
    Vector3 m_vPosition{0.0f, 0.0f, 0.0f};
    Vector3 m_vScale{0.0f, 0.0f, 0.0f};
    D3DXQUATERNION m_qRotation{0.0f, 0.0f, 0.0f, 0.0f};
    Matrix4 m_matTransform{};
    // The property tree's editor control of a value item.
    void* m_pEditor = nullptr;
    int32_t m_nRefCount = 0;
};

// A scene object with a list of children; every mesh embeds one of each of the three kinds.
// The list never deletes its children.
class SceneChildList : public SceneObject
{
public:
    SceneChildList() = default;
    ~SceneChildList() override;

    int32_t m_nKind = -1;
    PointerArray m_Children;
    bool m_bFlag = false;
    int32_t m_nValue1 = 0;
    int32_t m_nValue2 = 0;
};

class SceneChildListKind0 : public SceneChildList
{
public:
    SceneChildListKind0() { m_nKind = 0; }
};

class SceneChildListKind1 : public SceneChildList
{
public:
    SceneChildListKind1() { m_nKind = 1; }
};

class SceneChildListKind2 : public SceneChildList
{
public:
    SceneChildListKind2() { m_nKind = 2; }
};
