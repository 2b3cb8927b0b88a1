// The debug-draw list: slots, keys, one-frame shapes and what Draw sends to the device.
#include "3dapi/DebugDrawList.h"
#include "DeviceTestBase.h"
#include "morvyn/morvyn.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace
{
using Texts = std::vector<std::string>;

int CountActiveSpheres(const DebugDrawList& list)
{
    int n = 0;
    for (int i = 0; i < DebugDrawList::MAX_SPHERES; ++i)
        n += list.GetSphere(i).bActive;
    return n;
}

int CountActiveLines(const DebugDrawList& list)
{
    int n = 0;
    for (int i = 0; i < DebugDrawList::MAX_LINES; ++i)
        n += list.GetLine(i).bActive;
    return n;
}

TEST(DebugDrawListSlots, FullListsKeysAndReuse)
{
    auto pList = std::make_unique<DebugDrawList>();
    for (int i = 0; i < DebugDrawList::MAX_SPHERES; ++i)
        EXPECT_EQ(pList->AddSphere({float(i), 0, 0}, 1.0f, 0xFF0000, i % 3, false), 0);
    for (int i = 0; i < DebugDrawList::MAX_LINES; ++i)
        EXPECT_EQ(pList->AddLine({0, 0, 0}, {1, 1, float(i)}, 0xFF00FF00, i % 3, false), 0);
    // The 501st of each kind is dropped and still reports success.
    EXPECT_EQ(pList->AddSphere({9, 9, 9}, 2.0f, 0, 7, false), 0);
    EXPECT_EQ(pList->AddLine({9, 9, 9}, {8, 8, 8}, 0, 7, false), 0);
    EXPECT_EQ(CountActiveSpheres(*pList), 500);
    EXPECT_EQ(pList->GetSphere(499).vCenter.x, 499.0f);
    EXPECT_EQ(pList->GetLine(499).vEnd.z, 499.0f);

    // A key no slot holds changes nothing; one call removes every slot of a key.
    pList->RemoveSpheres(42);
    EXPECT_EQ(CountActiveSpheres(*pList), 500);
    pList->RemoveSpheres(1);
    pList->RemoveLines(2);
    EXPECT_EQ(CountActiveSpheres(*pList), 500 - 167);
    EXPECT_EQ(CountActiveLines(*pList), 500 - 166);
    EXPECT_FALSE(pList->GetSphere(1).bActive);
    // Freeing keeps the data; the lowest freed slot takes the next shape.
    EXPECT_EQ(pList->GetSphere(1).vCenter.x, 1.0f);
    pList->AddSphere({-5, 0, 0}, 3.0f, 0x123456, 9, true);
    EXPECT_TRUE(pList->GetSphere(1).bActive);
    EXPECT_EQ(pList->GetSphere(1).vCenter.x, -5.0f);
    EXPECT_EQ(pList->GetSphere(1).bOneFrame, 1);
    pList->AddLine({0, 0, 0}, {0, 0, 0}, 0, 9, true);
    EXPECT_EQ(pList->GetLine(2).nKey, 9);

    // One-frame shapes go at ClearTransient, the others stay.
    pList->ClearTransient(0);
    EXPECT_FALSE(pList->GetSphere(1).bActive);
    EXPECT_FALSE(pList->GetLine(2).bActive);
    EXPECT_TRUE(pList->GetSphere(0).bActive);
}

class DebugDrawListTest : public UtilityDeviceTest
{
protected:
    void SetUp() override
    {
        UtilityDeviceTest::SetUp();
        SetMorvynDevice(m_pDevice);
        m_pList = std::make_unique<DebugDrawList>();
    }
    void TearDown() override
    {
        if (m_pList)
            m_pList->ReleaseDeviceResources();
        m_pList.reset();
        SetMorvynDevice(nullptr);
        UtilityDeviceTest::TearDown();
    }

    static size_t Count(const Texts& calls, const std::string& prefix)
    {
        return static_cast<size_t>(std::count_if(calls.begin(), calls.end(),
                                                 [&](const std::string& s) { return s.rfind(prefix, 0) == 0; }));
    }

    std::unique_ptr<DebugDrawList> m_pList;
};

TEST_F(DebugDrawListTest, DrawBeforeRestoreTouchesNothing)
{
    m_pList->AddSphere({0, 0, 0}, 1.0f, 0xFFFFFFFF, 1, false);
    m_pList->AddLine({0, 0, 0}, {1, 0, 0}, 0xFFFFFFFF, 1, false);
    d3d9test::Recorder recorder(m_pDevice);
    EXPECT_EQ(m_pList->Draw(), 0);
    recorder.Stop();
    EXPECT_TRUE(recorder.Texts().empty());
}

TEST_F(DebugDrawListTest, LinesThenSpheresWithTheirMaterials)
{
    ASSERT_EQ(m_pList->RestoreDeviceResources(), 0);
    m_pList->AddLine({0, 0, 0}, {1, 2, 3}, 0xFF00FF00, 5, true);
    m_pList->AddLine({4, 5, 6}, {7, 8, 9}, 0xFF0000FF, 6, false);
    m_pList->AddSphere({1, 2, 3}, 2.0f, 0x80FF8000, 5, true);

    d3d9test::Recorder recorder(m_pDevice);
    EXPECT_EQ(m_pList->Draw(), 0);
    recorder.Stop();
    EXPECT_EQ(m_pList->GetLineCount(), 2u);
    Texts calls = recorder.Texts({"SetRenderState", "DrawPrimitive", "DrawIndexedPrimitive", "SetFVF"});
    ASSERT_GE(calls.size(), 5u);
    EXPECT_EQ(calls[0], "SetRenderState(LIGHTING, FALSE)");
    EXPECT_EQ(calls[2], "DrawPrimitive(LINELIST, 0, 2)");
    EXPECT_EQ(calls[3], "SetRenderState(LIGHTING, TRUE)");
    EXPECT_EQ(Count(calls, "DrawIndexedPrimitive("), 1u);

    // The sphere's material: the colour without its alpha byte, alpha 1; its world matrix
    // scales by the radius and moves to the centre.
    D3DMATERIAL9 material{};
    m_pDevice->GetMaterial(&material);
    EXPECT_FLOAT_EQ(material.Diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(material.Diffuse.g, 128.0f / 255.0f);
    EXPECT_FLOAT_EQ(material.Diffuse.b, 0.0f);
    EXPECT_FLOAT_EQ(material.Diffuse.a, 1.0f);
    EXPECT_FLOAT_EQ(material.Ambient.g, 128.0f / 255.0f);
    D3DMATRIX world{};
    m_pDevice->GetTransform(D3DTS_WORLD, &world);
    EXPECT_EQ(world._11, 2.0f);
    EXPECT_EQ(world._41, 1.0f);
    EXPECT_EQ(world._43, 3.0f);

    // One-frame shapes survive any number of draws until ClearTransient.
    m_pList->Draw();
    m_pList->Draw();
    EXPECT_EQ(m_pList->GetLineCount(), 2u);
    m_pList->ClearTransient(0);
    m_pList->Draw();
    EXPECT_EQ(m_pList->GetLineCount(), 1u);
}

TEST_F(DebugDrawListTest, WithoutLinesLightingAndFormatAreLeftAlone)
{
    ASSERT_EQ(m_pList->RestoreDeviceResources(), 0);
    m_pList->AddSphere({0, 0, 0}, 1.0f, 0xFFFFFFFF, 1, false);
    m_pList->AddSphere({5, 0, 0}, 1.0f, 0xFFFFFFFF, 2, false);
    d3d9test::Recorder recorder(m_pDevice);
    m_pList->Draw();
    recorder.Stop();
    Texts calls = recorder.Texts();
    EXPECT_EQ(Count(calls, "SetRenderState(LIGHTING"), 0u);
    EXPECT_EQ(Count(calls, "DrawPrimitive("), 0u);
    EXPECT_EQ(Count(calls, "DrawIndexedPrimitive("), 2u);
    EXPECT_EQ(m_pList->GetLineCount(), 0u);
}

TEST_F(DebugDrawListTest, ReleaseAfterTheDeviceIsHarmless)
{
    ASSERT_EQ(m_pList->RestoreDeviceResources(), 0);
    m_pList->AddLine({0, 0, 0}, {1, 0, 0}, 0xFFFFFFFF, 1, false);
    m_pList->Draw();
    // The program lets go of its device first; the list's objects go afterwards.
    m_pDevice->Release();
    m_pDevice = nullptr;
    SetMorvynDevice(nullptr);
    EXPECT_EQ(m_pList->ReleaseDeviceResources(), 0);
    EXPECT_EQ(m_pList->ReleaseDeviceResources(), 0);
}
}  // namespace
