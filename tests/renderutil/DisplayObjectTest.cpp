// Display objects: serial ids, defaults, and the rendering core's list of registered objects.
#include "morvyn/morvyn.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
// The least a kind has to supply.
class TestObject : public DisplayObject
{
public:
    explicit TestObject(int32_t nType) : DisplayObject(nType) {}
    HRESULT Integrate(float) override { return S_OK; }
    HRESULT Collide(uint32_t, DisplayObject*) override { return S_OK; }
    HRESULT Render(float, float, int* pFaces) override
    {
        *pFaces = 0;
        return S_OK;
    }
};

// The list from the head, checking every back link on the way.
std::vector<DisplayObject*> ListedObjects()
{
    std::vector<DisplayObject*> objects;
    DisplayObject* pPrev = nullptr;
    for (DisplayObject* p = g_pDisplayObjects; p; p = p->m_pNext)
    {
        EXPECT_EQ(p->m_pPrev, pPrev);
        objects.push_back(p);
        pPrev = p;
    }
    return objects;
}

TEST(DisplayObjectTest, IdsCountConstructionsAndDefaultsAreSet)
{
    const int32_t nBefore = g_nDisplayObjectsCreated;
    TestObject a(DISPLAY_OBJECT_ENEMY), b(DISPLAY_OBJECT_SHIP), c(DISPLAY_OBJECT_BULLET);
    EXPECT_EQ(a.m_nId, nBefore + 1);
    EXPECT_EQ(b.m_nId, nBefore + 2);
    EXPECT_EQ(c.m_nId, nBefore + 3);
    EXPECT_EQ(c.m_nType, DISPLAY_OBJECT_BULLET);
    EXPECT_EQ(a.m_bActive, 1);
    EXPECT_EQ(a.m_pNext, nullptr);
    EXPECT_EQ(a.m_pPrev, nullptr);
    EXPECT_EQ(a.m_vPosition.x, 0.0f);
    EXPECT_EQ(a.m_vPosition.z, 0.0f);
    EXPECT_EQ(a.m_bTouched, 0);
    EXPECT_EQ(a.Touch(1.0f, 2.0f, 3), S_OK);
    EXPECT_EQ(a.m_bTouched, 1);
    EXPECT_EQ(a.EndStep(0.1f), S_OK);
    for (HRESULT hr : {a.Setup(), a.CreateDeviceResources(), a.RestoreDeviceResources(), a.ReleaseDeviceResources(),
                       a.DestroyDeviceResources()})
        EXPECT_EQ(hr, S_OK);
}

TEST(DisplayObjectTest, RegisteringLinksNewestFirstAndCountsEnemies)
{
    TestObject a(DISPLAY_OBJECT_ENEMY), b(DISPLAY_OBJECT_BULLET), c(DISPLAY_OBJECT_ENEMY);
    EXPECT_EQ(RegisterDisplayObject(nullptr), E_INVALIDARG);
    EXPECT_EQ(UnregisterDisplayObject(nullptr), E_INVALIDARG);

    ASSERT_EQ(RegisterDisplayObject(&a), S_OK);
    EXPECT_EQ(a.m_pNext, nullptr);
    EXPECT_EQ(a.m_pPrev, nullptr);
    ASSERT_EQ(RegisterDisplayObject(&b), S_OK);
    EXPECT_EQ(ListedObjects(), (std::vector<DisplayObject*>{&b, &a}));
    EXPECT_EQ(a.m_pPrev, &b);
    EXPECT_EQ(g_nDisplayObjects, 2);
    EXPECT_EQ(g_nEnemyObjects, 1);

    // Registering a listed object again, head or not, leaves the list as it was.
    EXPECT_EQ(RegisterDisplayObject(&b), S_FALSE);
    EXPECT_EQ(RegisterDisplayObject(&a), S_FALSE);
    EXPECT_EQ(ListedObjects(), (std::vector<DisplayObject*>{&b, &a}));
    EXPECT_EQ(g_nDisplayObjects, 2);

    // Out of the middle: the neighbours are joined and the object's links cleared.
    ASSERT_EQ(RegisterDisplayObject(&c), S_OK);
    EXPECT_EQ(g_nEnemyObjects, 2);
    ASSERT_EQ(UnregisterDisplayObject(&b), S_OK);
    EXPECT_EQ(ListedObjects(), (std::vector<DisplayObject*>{&c, &a}));
    EXPECT_EQ(b.m_pNext, nullptr);
    EXPECT_EQ(b.m_pPrev, nullptr);
    EXPECT_EQ(g_nDisplayObjects, 2);
    EXPECT_EQ(g_nEnemyObjects, 2);

    // The head: the next object becomes the head with no previous link.
    ASSERT_EQ(UnregisterDisplayObject(&c), S_OK);
    EXPECT_EQ(g_pDisplayObjects, &a);
    EXPECT_EQ(a.m_pPrev, nullptr);

    // Twice, and an object never registered: nothing changes, the counters stay at 0.
    ASSERT_EQ(UnregisterDisplayObject(&a), S_OK);
    EXPECT_EQ(UnregisterDisplayObject(&a), S_FALSE);
    EXPECT_EQ(UnregisterDisplayObject(&b), S_FALSE);
    EXPECT_EQ(g_pDisplayObjects, nullptr);
    EXPECT_EQ(g_nDisplayObjects, 0);
    EXPECT_EQ(g_nEnemyObjects, 0);

    // An unregistered object can come back.
    ASSERT_EQ(RegisterDisplayObject(&b), S_OK);
    EXPECT_EQ(ListedObjects(), (std::vector<DisplayObject*>{&b}));
    ASSERT_EQ(UnregisterDisplayObject(&b), S_OK);
    EXPECT_EQ(g_nDisplayObjects, 0);
}

// A frame loop may finish objects while walking the list, taking each one's successor first.
TEST(DisplayObjectTest, UnregisteringWhileWalkingTheList)
{
    TestObject objects[4] = {TestObject(DISPLAY_OBJECT_ENEMY), TestObject(DISPLAY_OBJECT_BULLET),
                             TestObject(DISPLAY_OBJECT_ENEMY), TestObject(DISPLAY_OBJECT_BULLET)};
    for (TestObject& o : objects)
        ASSERT_EQ(RegisterDisplayObject(&o), S_OK);
    objects[1].m_bActive = 0;
    objects[3].m_bActive = 0;
    for (DisplayObject* p = g_pDisplayObjects; p;)
    {
        DisplayObject* pNext = p->m_pNext;
        if (!p->m_bActive)
        {
            EXPECT_EQ(UnregisterDisplayObject(p), S_OK);
        }
        p = pNext;
    }
    EXPECT_EQ(ListedObjects(), (std::vector<DisplayObject*>{&objects[2], &objects[0]}));
    EXPECT_EQ(g_nDisplayObjects, 2);
    EXPECT_EQ(g_nEnemyObjects, 2);
    for (TestObject& o : objects)
        UnregisterDisplayObject(&o);
    EXPECT_EQ(g_nDisplayObjects, 0);
}
}  // namespace
