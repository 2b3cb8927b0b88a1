#include "scene/SceneObject.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{
class ProbeObject : public SceneObject
{
public:
    void Release() override { m_bReleasedAsProbe = true; }
    bool m_bReleasedAsProbe = false;
};
}

TEST(SceneObjectTest, ReleaseOnlyLowersTheCount)
{
    SceneObject* pObject = new SceneObject;
    EXPECT_EQ(pObject->m_nRefCount, 0);
    EXPECT_EQ(pObject->m_nTag, 0);
    pObject->Release();
    EXPECT_EQ(pObject->m_nRefCount, -1);
    pObject->Release();
    EXPECT_EQ(pObject->m_nRefCount, -2);
    delete pObject;
}

TEST(SceneObjectTest, AssignmentCopiesTheFieldsAndKeepsTheClass)
{
    SceneObject source;
    source.SetType(TREE_ITEM_MESH);
    source.SetName("NONE");
    source.SetSecondName("second");
    int owner = 0;
    source.m_pOwner = &owner;
    source.m_nTag = 7;
    source.m_vPosition = Vector3(1.0f, 2.0f, 3.0f);
    source.m_vScale = Vector3(4.0f, 5.0f, 6.0f);
    source.m_qRotation = D3DXQUATERNION(0.0f, 0.0f, 0.6f, 0.8f);
    source.m_matTransform.SetIdentity();
    source.m_matTransform.e[12] = 9.0f;
    source.m_pEditor = &owner;
    source.m_nRefCount = 3;

    ProbeObject copy;
    SceneObject& target = copy;
    target = source;
    EXPECT_EQ(copy.m_nType, 1);
    EXPECT_STREQ(copy.m_szName, "NONE");
    EXPECT_STREQ(copy.m_szSecondName, "second");
    EXPECT_EQ(copy.m_pOwner, &owner);
    EXPECT_EQ(copy.m_nTag, 7);
    EXPECT_EQ(copy.m_vPosition, Vector3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(copy.m_vScale, Vector3(4.0f, 5.0f, 6.0f));
    EXPECT_EQ(copy.m_qRotation, D3DXQUATERNION(0.0f, 0.0f, 0.6f, 0.8f));
    EXPECT_EQ(copy.m_matTransform.e[12], 9.0f);
    EXPECT_EQ(copy.m_pEditor, &owner);
    EXPECT_EQ(copy.m_nRefCount, 3);

    target.Release();
    EXPECT_TRUE(copy.m_bReleasedAsProbe);
    EXPECT_EQ(copy.m_nRefCount, 3);
}

TEST(SceneObjectTest, NamesAreCutTo255CharactersAndAlwaysTerminated)
{
    struct Case
    {
        size_t nLength;
        size_t nKept;
    };
    const Case cases[] = {{0, 0}, {1, 1}, {255, 255}, {256, 255}, {1000, 255}};
    for (const Case& c : cases)
    {
        SceneObject object;
        std::memset(object.m_szName, 'x', sizeof(object.m_szName));
        std::memset(object.m_szSecondName, 'x', sizeof(object.m_szSecondName));
        std::string text(c.nLength, 'n');
        object.SetName(text.c_str());
        object.SetSecondName(text.c_str());
        EXPECT_EQ(std::strlen(object.m_szName), c.nKept) << c.nLength;
        EXPECT_EQ(std::strlen(object.m_szSecondName), c.nKept) << c.nLength;
        EXPECT_EQ(std::string(object.m_szName), text.substr(0, c.nKept));
    }
    SceneObject object;
    object.SetName(nullptr);
    EXPECT_STREQ(object.m_szName, "");
}

TEST(SceneObjectTest, ChildListsReportTheirKindAndStartEmpty)
{
    SceneChildListKind0 kind0;
    SceneChildListKind1 kind1;
    SceneChildListKind2 kind2;
    const SceneChildList* lists[] = {&kind0, &kind1, &kind2};
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(lists[i]->m_nKind, i);
        EXPECT_EQ(lists[i]->m_Children.GetCount(), 0u);
        EXPECT_FALSE(lists[i]->m_bFlag);
        EXPECT_EQ(lists[i]->m_nValue1, 0);
        EXPECT_EQ(lists[i]->m_nValue2, 0);
    }
}
