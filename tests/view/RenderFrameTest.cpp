// The classes the document template and the frame registry make by name: the document of the
// running view, and the plain frame with its status bar.
#include "SceneTreeFixture.h"

#include "app/RenderDoc.h"
#include "app/RenderFrame.h"
#include "mfc_gui/SplashWnd.h"

#include <mfc/afxres.h>

using RenderFrameTest = SceneTreeTest;

TEST_F(RenderFrameTest, TheViewsDocumentIsARenderDocThatHoldsNothing)
{
    RenderDoc* pDoc = g_pRenderView->GetDocument();
    ASSERT_NE(pDoc, nullptr);
    pDoc->SetModifiedFlag(TRUE);
    EXPECT_TRUE(pDoc->OnNewDocument());
    EXPECT_FALSE(pDoc->IsModified());
    // Its archive gets nothing either way, and the scene stays the application's.
    const uint32_t nMeshes = m_pApp->m_Scene.m_Meshes.GetCount();
    for (UINT nMode : {CArchive::store, CArchive::load})
    {
        CArchive ar(nMode);
        pDoc->Serialize(ar);
    }
    EXPECT_EQ(m_pApp->m_Scene.m_Meshes.GetCount(), nMeshes);
    EXPECT_EQ(g_pRenderView->GetDocument(), pDoc);
}

TEST_F(RenderFrameTest, TheFrameMadeByNameCarriesAStatusBarWithFourIndicatorsAndShowsTheSplash)
{
    const CRuntimeClass* pClass = CRuntimeClass::FromName("RenderFrame");
    ASSERT_NE(pClass, nullptr);
    CObject* pObject = pClass->CreateObject();
    ASSERT_NE(pObject, nullptr);
    ASSERT_TRUE(pObject->IsKindOf(RUNTIME_CLASS(RenderFrame)));
    auto* pFrame = static_cast<RenderFrame*>(pObject);
    if (CSplashWnd* pStartUpSplash = CSplashWnd::GetActive())
        pStartUpSplash->Hide();
    CSplashWnd::Enable(TRUE);
    // The frame deletes itself when its window goes.
    ASSERT_TRUE(pFrame->Create(nullptr, "Frame", WS_OVERLAPPEDWINDOW, CRect(0, 0, 400, 300)));
    CSplashWnd::Enable(FALSE);

    CStatusBar& bar = pFrame->m_wndStatusBar;
    ASSERT_NE(bar.m_hWnd, nullptr);
    EXPECT_EQ(::GetParent(bar.m_hWnd), pFrame->m_hWnd);
    EXPECT_EQ(::GetDlgCtrlID(bar.m_hWnd), 59393);
    EXPECT_NE(bar.GetStyle() & WS_VISIBLE, 0u);
    EXPECT_EQ(pFrame->GetControlBar(AFX_IDW_STATUS_BAR), &bar);
    const UINT indicators[] = {0, 59137, 59138, 59139};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(bar.GetItemID(i), indicators[i]) << i;
    EXPECT_EQ(bar.CommandToIndex(ID_INDICATOR_EXT), -1);
    EXPECT_EQ(pFrame->m_wndToolBar.m_hWnd, nullptr);

    CSplashWnd* pSplash = CSplashWnd::GetActive();
    ASSERT_NE(pSplash, nullptr);
    EXPECT_EQ(::GetWindow(pSplash->m_hWnd, GW_OWNER), pFrame->m_hWnd);
    pSplash->Hide();
    pFrame->DestroyWindow();
}
