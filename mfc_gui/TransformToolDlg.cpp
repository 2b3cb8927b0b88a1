#include "mfc_gui/TransformToolDlg.h"

#include "mfc_gui/EditFloatDlg.h"
#include "mfc_gui/ToolSkin.h"
#include "mfc_gui/TreeMessages.h"

#include <core/Log.h>
#include <scene/D3DXBridge.h>
#include <scene/SceneLight.h>
#include <scene/SceneMesh.h>

BEGIN_MESSAGE_MAP(CTransformToolDlg, CDockDialog)
    ON_BN_CLICKED(CTransformToolDlg::IDC_INC_UP, &CTransformToolDlg::OnIncrease)
    ON_BN_CLICKED(CTransformToolDlg::IDC_INC_RIGHT, &CTransformToolDlg::OnIncrease)
    ON_BN_CLICKED(CTransformToolDlg::IDC_DEC_BOTTOM, &CTransformToolDlg::OnDecrease)
    ON_BN_CLICKED(CTransformToolDlg::IDC_DEC_LEFT, &CTransformToolDlg::OnDecrease)
    ON_BN_CLICKED(CTransformToolDlg::IDC_AXIS_X, &CTransformToolDlg::OnAxisX)
    ON_BN_CLICKED(CTransformToolDlg::IDC_AXIS_Y, &CTransformToolDlg::OnAxisY)
    ON_BN_CLICKED(CTransformToolDlg::IDC_AXIS_Z, &CTransformToolDlg::OnAxisZ)
    ON_BN_CLICKED(CTransformToolDlg::IDC_TRANSLATION, &CTransformToolDlg::OnTranslation)
    ON_BN_CLICKED(CTransformToolDlg::IDC_ROTATION, &CTransformToolDlg::OnRotation)
    ON_BN_CLICKED(CTransformToolDlg::IDC_SCALE, &CTransformToolDlg::OnScale)
    ON_BN_CLICKED(CTransformToolDlg::IDC_MOUSE_MOVE, &CTransformToolDlg::OnTransformMouseButton)
    ON_WM_RBUTTONDOWN()
END_MESSAGE_MAP()

namespace
{
const char* const MODE_MESSAGES[] = {
    "CTransformToolDlg - Change to translation.",
    "CTransformToolDlg - Change to Rotation.",
    "CTransformToolDlg - Change to scale.",
    "CTransformToolDlg - Change to None.",
};
}

int CTransformToolDlg::SetSettings(ViewSettings* pSettings)
{
    if (!pSettings)
        return 0;
    m_pSettings = pSettings;
    return 1;
}

int CTransformToolDlg::SetMesh(SceneMesh* pMesh)
{
    if (!pMesh)
    {
        LogWarning("CTransformToolDlg::SetMesh - The mesh is null.");
        return 0;
    }
    ClearTarget();
    m_pMesh = pMesh;
    return 1;
}

int CTransformToolDlg::SetLight(SceneLight* pLight)
{
    if (!pLight)
        return 0;
    ClearTarget();
    m_pLight = pLight;
    return 1;
}

int CTransformToolDlg::SetMatrix(D3DXMATRIX* pMatrix)
{
    if (!pMatrix)
    {
        LogWarning("CTransformToolDlg::SetMatrix - The matrix is null.");
        return 0;
    }
    ClearTarget();
    m_pMatrix = pMatrix;
    return 1;
}

void CTransformToolDlg::ClearTarget()
{
    m_pMesh = nullptr;
    m_pLight = nullptr;
    m_pMatrix = nullptr;
}

void CTransformToolDlg::DoDataExchange(CDataExchange* pDX)
{
    CDockDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_MOUSE_MOVE, m_btnMouseMove);
    DDX_Control(pDX, IDC_INC_UP, m_btnIncUp);
    DDX_Control(pDX, IDC_INC_RIGHT, m_btnIncRight);
    DDX_Control(pDX, IDC_DEC_BOTTOM, m_btnDecBottom);
    DDX_Control(pDX, IDC_DEC_LEFT, m_btnDecLeft);
    DDX_Control(pDX, IDC_AXIS_X, m_btnX);
    DDX_Control(pDX, IDC_AXIS_Y, m_btnY);
    DDX_Control(pDX, IDC_AXIS_Z, m_btnZ);
    DDX_Control(pDX, IDC_TRANSLATION, m_btnTranslation);
    DDX_Control(pDX, IDC_ROTATION, m_btnRotation);
    DDX_Control(pDX, IDC_SCALE, m_btnScale);
}

BOOL CTransformToolDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_pSettings)
        LoadSkinBitmaps();
    // The template makes the buttons hidden; a transform window without them would do nothing.
    for (CBtnST* pButton : {&m_btnMouseMove, &m_btnIncUp, &m_btnIncRight, &m_btnDecBottom, &m_btnDecLeft, &m_btnX,
                            &m_btnY, &m_btnZ, &m_btnTranslation, &m_btnRotation, &m_btnScale})
        pButton->ShowWindow(SW_SHOW);
    return TRUE;
}

int CTransformToolDlg::LoadSkinBitmaps()
{
    const ToolSkinButton buttons[] = {
        {&m_btnX, "x"},
        {&m_btnY, "y"},
        {&m_btnZ, "z"},
        {&m_btnTranslation, "Translation"},
        {&m_btnRotation, "Rotation"},
        {&m_btnScale, "Scale"},
        {&m_btnMouseMove, "Transform Central"},
        {&m_btnIncUp, "Transform Inc Up"},
        {&m_btnDecBottom, "Transform Dec Bottom"},
        {&m_btnIncRight, "Transform Inc Right"},
        {&m_btnDecLeft, "Transform Dec Left"},
    };
    ApplyToolSkinButtons(m_pSettings->m_szSkinDir, buttons);
    return 1;
}

void CTransformToolDlg::OnAxisX()
{
    m_bAxisX = m_btnX.GetCheck() != 0;
}

void CTransformToolDlg::OnAxisY()
{
    m_bAxisY = m_btnY.GetCheck() != 0;
}

void CTransformToolDlg::OnAxisZ()
{
    m_bAxisZ = m_btnZ.GetCheck() != 0;
}

void CTransformToolDlg::ChangeMode(int nMode)
{
    m_nMode = nMode;
    LogTrace("%s", MODE_MESSAGES[nMode]);
}

void CTransformToolDlg::OnModeButton(CBtnST& button, int nMode)
{
    if (!button.GetCheck())
    {
        ChangeMode(MODE_NONE);
        return;
    }
    ChangeMode(nMode);
    for (CBtnST* pOther : {&m_btnTranslation, &m_btnRotation, &m_btnScale})
        if (pOther != &button)
            pOther->SetCheck(0, TRUE);
}

void CTransformToolDlg::OnTranslation()
{
    OnModeButton(m_btnTranslation, MODE_TRANSLATION);
}

void CTransformToolDlg::OnRotation()
{
    OnModeButton(m_btnRotation, MODE_ROTATION);
}

void CTransformToolDlg::OnScale()
{
    OnModeButton(m_btnScale, MODE_SCALE);
}

D3DXVECTOR3 CTransformToolDlg::StepVector(int nSign) const
{
    const float fStep = static_cast<float>(nSign) * m_fStep;
    // A scale step is a factor: 1 on the axes left alone.
    const float fBase = m_nMode == MODE_SCALE ? 1.0f : 0.0f;
    return D3DXVECTOR3(fBase + (m_bAxisX ? fStep : 0.0f), fBase + (m_bAxisY ? fStep : 0.0f),
                       fBase + (m_bAxisZ ? fStep : 0.0f));
}

void CTransformToolDlg::OnIncrease()
{
    ApplyStep(StepVector(1));
}

void CTransformToolDlg::OnDecrease()
{
    ApplyStep(StepVector(-1));
}

void CTransformToolDlg::ApplyStep(const D3DXVECTOR3& v)
{
    D3DXMATRIX step;
    switch (m_nMode)
    {
    case MODE_TRANSLATION:
        if (m_pMesh)
        {
            D3DXMATRIX base = ToD3DX(m_pMesh->m_matBase);
            D3DXMatrixTranslation(&step, v.x, v.y, v.z);
            D3DXMatrixMultiply(&base, &step, &base);
            m_pMesh->m_matBase = ToMatrix4(base);
            const float fMove[3] = {v.x, v.y, v.z};
            for (int i = 0; i < 6; ++i)
                m_pMesh->m_fBounds[i] += fMove[i / 2];
        }
        else if (m_pLight)
            m_pLight->m_vLightPosition = m_pLight->m_vLightPosition + Vector3(v.x, v.y, v.z);
        else if (m_pMatrix)
        {
            m_pMatrix->_41 += v.x;
            m_pMatrix->_42 += v.y;
            m_pMatrix->_43 += v.z;
        }
        break;
    case MODE_ROTATION:
        if (m_pMesh)
            m_pMesh->m_vAngles = m_pMesh->m_vAngles + Vector3(v.x, v.y, v.z);
        else if (m_pLight)
        {
            m_pLight->m_Light.Direction.x += v.x;
            m_pLight->m_Light.Direction.y += v.y;
            m_pLight->m_Light.Direction.z += v.z;
        }
        else if (m_pMatrix)
        {
            D3DXMatrixRotationYawPitchRoll(&step, v.y, v.x, v.z);
            D3DXMatrixMultiply(m_pMatrix, &step, m_pMatrix);
        }
        break;
    case MODE_SCALE:
        if (m_pMesh)
        {
            m_pMesh->m_vScaling.x *= v.x;
            m_pMesh->m_vScaling.y *= v.y;
            m_pMesh->m_vScaling.z *= v.z;
        }
        else if (m_pMatrix)
        {
            D3DXMatrixScaling(&step, v.x, v.y, v.z);
            D3DXMatrixMultiply(m_pMatrix, &step, m_pMatrix);
        }
        break;
    default:
        break;
    }
}

void CTransformToolDlg::OnTransformMouseButton()
{
    m_bMouseMove = !m_bMouseMove;
    LogInfo(m_bMouseMove ? "CTransformToolDlg::OnTransformMouseButton() - Mouse move enabled."
                         : "CTransformToolDlg::OnTransformMouseButton() - Mouse move disabled.");
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(WM_TRANSFORM_MOUSEMOVE, 0, 0);
}

void CTransformToolDlg::OnRButtonDown(UINT nFlags, CPoint point)
{
    for (float* pValue : {&m_fStep, &m_fStep2})
    {
        CEditFloatDlg dlg(this);
        dlg.SetValue(pValue);
        dlg.DoModal();
    }
    CDockDialog::OnRButtonDown(nFlags, point);
}
