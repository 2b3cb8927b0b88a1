// The transform tool window: the step of every mode, axis choice and button applied to a mesh and
// a light (and a bare matrix), one mode at a time, the Mouse Move toggle reaching the view, and
// the right click editing the step.
#include "GuiTestKit.h"
#include "mfc_gui/EditFloatDlg.h"
#include "mfc_gui/TransformToolDlg.h"
#include "mfc_gui/TreeMessages.h"

#include <scene/D3DXBridge.h>
#include <scene/SceneLight.h>
#include <scene/SceneMesh.h>

#include <cmath>
#include <memory>
#include <string>

namespace
{
// The view's stand-in: counts the Mouse Move messages.
class CViewHost : public CWnd
{
public:
    int m_nMouseMoveMessages = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_TRANSFORM_MOUSEMOVE)
            ++m_nMouseMoveMessages;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// A mesh placed by a base matrix that scales by 2 and moves to (5, 6, 7), with a box around it.
std::unique_ptr<SceneMesh> PlacedMesh()
{
    auto pMesh = std::make_unique<SceneMesh>();
    D3DXMATRIX base;
    D3DXMatrixScaling(&base, 2.0f, 2.0f, 2.0f);
    base._41 = 5.0f;
    base._42 = 6.0f;
    base._43 = 7.0f;
    pMesh->m_matBase = ToMatrix4(base);
    const float bounds[6] = {-1.0f, 1.0f, -2.0f, 2.0f, -3.0f, 3.0f};
    std::copy(bounds, bounds + 6, pMesh->m_fBounds);
    pMesh->m_vAngles = Vector3(0.1f, 0.2f, 0.3f);
    pMesh->m_vScaling = Vector3(1.0f, 2.0f, 4.0f);
    return pMesh;
}

std::unique_ptr<SceneLight> PlacedLight()
{
    auto pLight = std::make_unique<SceneLight>();
    pLight->m_vLightPosition = Vector3(0.0f, 100.0f, 0.0f);
    pLight->m_Light.Direction = {0.1f, 0.4f, 0.1f};
    return pLight;
}

class TransformToolTest : public QuietGuiTest
{
protected:
    void SetUp() override
    {
        QuietGuiTest::SetUp();
        const char* szClass = AfxRegisterWndClass(0, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        ASSERT_TRUE(m_View.CreateEx(0, szClass, "View", WS_POPUP | WS_VISIBLE, 0, 0, 900, 800, nullptr, nullptr));
        std::snprintf(m_Settings.m_szSkinDir, sizeof(m_Settings.m_szSkinDir), "%s/skins/default/", QUEN_DATA_DIR);
    }
    void TearDown() override
    {
        if (m_pDlg && m_pDlg->m_hWnd)
            m_pDlg->DestroyWindow();
        m_pDlg.reset();
        m_View.DestroyWindow();
        QuietGuiTest::TearDown();
    }
    CTransformToolDlg& MakeWindow()
    {
        if (m_pDlg && m_pDlg->m_hWnd)
            m_pDlg->DestroyWindow();
        m_pDlg = std::make_unique<CTransformToolDlg>(&m_View);
        EXPECT_EQ(m_pDlg->SetSettings(&m_Settings), 1);
        EXPECT_TRUE(m_pDlg->Create(CTransformToolDlg::IDD, &m_View));
        m_pDlg->ShowWindow(SW_SHOW);
        m_Driver.pumpUntilIdle();
        return *m_pDlg;
    }
    void Click(int nId)
    {
        CRect rc;
        m_pDlg->GetDlgItem(nId)->GetWindowRect(&rc);
        const POINT pt{rc.CenterPoint().x, rc.CenterPoint().y};
        m_Driver.mouse(pt);
        m_Driver.mouse(pt, 0, true);
        m_Driver.mouse(pt, 0, false);
        m_Driver.pumpUntilIdle();
    }

    CViewHost m_View;
    ViewSettings m_Settings;
    std::unique_ptr<CTransformToolDlg> m_pDlg;
};

void ExpectVector(const Vector3& v, float x, float y, float z, const std::string& strWhere)
{
    EXPECT_FLOAT_EQ(v.x, x) << strWhere;
    EXPECT_FLOAT_EQ(v.y, y) << strWhere;
    EXPECT_FLOAT_EQ(v.z, z) << strWhere;
}
}

TEST_F(TransformToolTest, EachButtonStepsTheMeshAndTheLightByModeAndAxes)
{
    struct ModeCase
    {
        int m_nButton;   // 0: no mode
        int m_nMode;
    };
    const ModeCase modes[] = {
        {0, CTransformToolDlg::MODE_NONE},
        {CTransformToolDlg::IDC_TRANSLATION, CTransformToolDlg::MODE_TRANSLATION},
        {CTransformToolDlg::IDC_ROTATION, CTransformToolDlg::MODE_ROTATION},
        {CTransformToolDlg::IDC_SCALE, CTransformToolDlg::MODE_SCALE},
    };
    struct AxesCase
    {
        const char* m_szName;
        bool m_bX, m_bY, m_bZ;
    };
    const AxesCase axes[] = {{"none", false, false, false}, {"X", true, false, false}, {"YZ", false, true, true},
                             {"XYZ", true, true, true}};
    struct SignCase
    {
        int m_nButton;
        float m_fSign;
    };
    const SignCase signs[] = {{CTransformToolDlg::IDC_INC_UP, 1.0f},
                              {CTransformToolDlg::IDC_INC_RIGHT, 1.0f},
                              {CTransformToolDlg::IDC_DEC_BOTTOM, -1.0f},
                              {CTransformToolDlg::IDC_DEC_LEFT, -1.0f}};
    const float fStep = 0.5f;
    for (const ModeCase& mode : modes)
        for (const AxesCase& axis : axes)
        {
            CTransformToolDlg& dlg = MakeWindow();
            dlg.m_fStep = fStep;
            if (mode.m_nButton)
                Click(mode.m_nButton);
            const int axisIds[3] = {CTransformToolDlg::IDC_AXIS_X, CTransformToolDlg::IDC_AXIS_Y,
                                    CTransformToolDlg::IDC_AXIS_Z};
            const bool bOn[3] = {axis.m_bX, axis.m_bY, axis.m_bZ};
            for (int i = 0; i < 3; ++i)
                if (bOn[i])
                    Click(axisIds[i]);
            ASSERT_EQ(dlg.GetMode(), mode.m_nMode);
            for (const SignCase& sign : signs)
            {
                const std::string strWhere = "mode " + std::to_string(mode.m_nMode) + ", axes " + axis.m_szName +
                                             ", button " + std::to_string(sign.m_nButton);
                // The step on each axis: s on the checked ones, 0 on the others.
                const float d[3] = {bOn[0] ? sign.m_fSign * fStep : 0.0f, bOn[1] ? sign.m_fSign * fStep : 0.0f,
                                    bOn[2] ? sign.m_fSign * fStep : 0.0f};
                auto pMesh = PlacedMesh();
                ASSERT_EQ(dlg.SetMesh(pMesh.get()), 1);
                Click(sign.m_nButton);
                const D3DXMATRIX base = ToD3DX(pMesh->m_matBase);
                const bool bMove = mode.m_nMode == CTransformToolDlg::MODE_TRANSLATION;
                // Translation before the base: the step is scaled by the base's 2 and added to (5, 6, 7).
                EXPECT_FLOAT_EQ(base._41, 5.0f + (bMove ? 2.0f * d[0] : 0.0f)) << strWhere;
                EXPECT_FLOAT_EQ(base._42, 6.0f + (bMove ? 2.0f * d[1] : 0.0f)) << strWhere;
                EXPECT_FLOAT_EQ(base._43, 7.0f + (bMove ? 2.0f * d[2] : 0.0f)) << strWhere;
                EXPECT_FLOAT_EQ(base._11, 2.0f) << strWhere;
                for (int i = 0; i < 6; ++i)
                    EXPECT_FLOAT_EQ(pMesh->m_fBounds[i], (i % 2 ? 1.0f : -1.0f) * (i / 2 + 1) + (bMove ? d[i / 2] : 0.0f))
                        << strWhere << ", bound " << i;
                const bool bTurn = mode.m_nMode == CTransformToolDlg::MODE_ROTATION;
                ExpectVector(pMesh->m_vAngles, 0.1f + (bTurn ? d[0] : 0.0f), 0.2f + (bTurn ? d[1] : 0.0f),
                             0.3f + (bTurn ? d[2] : 0.0f), strWhere + ", angles");
                const bool bScale = mode.m_nMode == CTransformToolDlg::MODE_SCALE;
                ExpectVector(pMesh->m_vScaling, 1.0f * (bScale ? 1.0f + d[0] : 1.0f), 2.0f * (bScale ? 1.0f + d[1] : 1.0f),
                             4.0f * (bScale ? 1.0f + d[2] : 1.0f), strWhere + ", scale");

                auto pLight = PlacedLight();
                ASSERT_EQ(dlg.SetLight(pLight.get()), 1);
                Click(sign.m_nButton);
                ExpectVector(pLight->m_vLightPosition, bMove ? d[0] : 0.0f, 100.0f + (bMove ? d[1] : 0.0f),
                             bMove ? d[2] : 0.0f, strWhere + ", light position");
                ExpectVector(ToVector3(pLight->m_Light.Direction), 0.1f + (bTurn ? d[0] : 0.0f),
                             0.4f + (bTurn ? d[1] : 0.0f), 0.1f + (bTurn ? d[2] : 0.0f), strWhere + ", light direction");
            }
        }
}

TEST_F(TransformToolTest, OneModeAtATimeAndNoTargetChangesNothing)
{
    CTransformToolDlg& dlg = MakeWindow();
    EXPECT_TRUE(dlg.m_btnX.IsWindowVisible());
    EXPECT_EQ(dlg.m_btnX.GetWindowTextLength(), 0) << "the skin replaces the caption";
    // Before any selection the buttons change nothing (and do not fail).
    Click(CTransformToolDlg::IDC_TRANSLATION);
    Click(CTransformToolDlg::IDC_AXIS_X);
    Click(CTransformToolDlg::IDC_INC_UP);
    // Rotation takes over from translation; pressed again it leaves no mode.
    Click(CTransformToolDlg::IDC_ROTATION);
    EXPECT_EQ(dlg.GetMode(), CTransformToolDlg::MODE_ROTATION);
    EXPECT_EQ(dlg.m_btnTranslation.GetCheck(), 0);
    Click(CTransformToolDlg::IDC_ROTATION);
    EXPECT_EQ(dlg.GetMode(), CTransformToolDlg::MODE_NONE);
    auto pMesh = PlacedMesh();
    dlg.SetMesh(pMesh.get());
    Click(CTransformToolDlg::IDC_INC_UP);
    EXPECT_FLOAT_EQ(pMesh->m_vAngles.x, 0.1f);
    // A cleared target is let go: a later press does not reach the mesh.
    Click(CTransformToolDlg::IDC_TRANSLATION);
    dlg.ClearTarget();
    Click(CTransformToolDlg::IDC_INC_UP);
    EXPECT_FLOAT_EQ(pMesh->m_fBounds[0], -1.0f);
    // Null targets are refused; the mesh and the matrix say so.
    ClearLogLines();
    EXPECT_EQ(dlg.SetMesh(nullptr), 0);
    EXPECT_EQ(dlg.SetLight(nullptr), 0);
    EXPECT_EQ(dlg.SetMatrix(nullptr), 0);
    ASSERT_EQ(GetLogLines().size(), 2u);
    EXPECT_EQ(GetLogLines()[0].m_strText, "CTransformToolDlg::SetMesh - The mesh is null.");
    EXPECT_EQ(GetLogLines()[1].m_strText, "CTransformToolDlg::SetMatrix - The matrix is null.");
}

TEST_F(TransformToolTest, AMatrixTargetIsMovedTurnedAndScaled)
{
    CTransformToolDlg& dlg = MakeWindow();
    D3DXMATRIX matrix;
    D3DXMatrixIdentity(&matrix);
    ASSERT_EQ(dlg.SetMatrix(&matrix), 1);
    dlg.m_fStep = 0.25f;
    // Scale with no axis: multiplied by the identity.
    Click(CTransformToolDlg::IDC_SCALE);
    Click(CTransformToolDlg::IDC_INC_UP);
    EXPECT_TRUE(matrix == D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1));
    Click(CTransformToolDlg::IDC_AXIS_Y);
    Click(CTransformToolDlg::IDC_DEC_BOTTOM);
    EXPECT_FLOAT_EQ(matrix._22, 0.75f);
    EXPECT_FLOAT_EQ(matrix._11, 1.0f);
    // Translation adds to the translation row.
    Click(CTransformToolDlg::IDC_TRANSLATION);
    Click(CTransformToolDlg::IDC_INC_RIGHT);
    EXPECT_FLOAT_EQ(matrix._42, 0.25f);
    EXPECT_FLOAT_EQ(matrix._41, 0.0f);
    // Rotation about y (yaw) by the step, before the matrix.
    D3DXMatrixIdentity(&matrix);
    Click(CTransformToolDlg::IDC_ROTATION);
    Click(CTransformToolDlg::IDC_INC_UP);
    EXPECT_FLOAT_EQ(matrix._11, std::cos(0.25f));
    EXPECT_FLOAT_EQ(matrix._13, -std::sin(0.25f));
    EXPECT_FLOAT_EQ(matrix._31, std::sin(0.25f));
    EXPECT_FLOAT_EQ(matrix._22, 1.0f);
}

TEST_F(TransformToolTest, MouseMoveTellsTheViewAndTheRightClickEditsTheSteps)
{
    CTransformToolDlg& dlg = MakeWindow();
    Click(CTransformToolDlg::IDC_MOUSE_MOVE);
    EXPECT_EQ(dlg.IsMouseMove(), 1);
    Click(CTransformToolDlg::IDC_MOUSE_MOVE);
    EXPECT_EQ(dlg.IsMouseMove(), 0);
    EXPECT_EQ(m_View.m_nMouseMoveMessages, 2);

    // Two edit-value dialogs in turn: the first takes 2.5, the second is cancelled.
    std::vector<std::string> shown;
    m_Driver.at(10, [&] {
        HWND hEdit = m_Driver.find("title:Edit the value");
        ASSERT_NE(hEdit, nullptr);
        char sz[64] = "";
        ::GetWindowTextA(::GetDlgItem(hEdit, CEditFloatDlg::IDC_PREVIOUS), sz, sizeof(sz));
        shown.push_back(sz);
        ::SetWindowTextA(::GetDlgItem(hEdit, CEditFloatDlg::IDC_NEW), "2.5");
        ::SendMessageA(hEdit, WM_COMMAND, IDOK, 0);
        m_Driver.at(10, [&] {
            HWND hSecond = m_Driver.find("title:Edit the value");
            ASSERT_NE(hSecond, nullptr);
            // The outer call has returned by now: its buffer is gone.
            char szSecond[64] = "";
            ::GetWindowTextA(::GetDlgItem(hSecond, CEditFloatDlg::IDC_PREVIOUS), szSecond, sizeof(szSecond));
            shown.push_back(szSecond);
            ::SendMessageA(hSecond, WM_COMMAND, IDCANCEL, 0);
        });
    });
    dlg.SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(shown, (std::vector<std::string>{"1", "10"}));
    EXPECT_FLOAT_EQ(dlg.m_fStep, 2.5f);
    EXPECT_FLOAT_EQ(dlg.m_fStep2, 10.0f);
}
