#pragma once
// The transform tool window (dialog 103): moves, turns or scales the mesh or light selected in the
// scene tree by fixed steps. Three mode buttons (one mode at a time, or none), three axis
// toggles, two "+" and two "-" buttons, and the Mouse Move toggle that tells the view whether a
// drag on the render window moves that window. A right click edits the step.
#include "mfc_gui/BtnST.h"
#include "mfc_gui/DockDialog.h"
#include "mfc_gui/TransformTarget.h"
#include "mfc_gui/ViewSettings.h"

#include <d3dx9math.h>

class SceneLight;
class SceneMesh;

class CTransformToolDlg : public CDockDialog, public CTransformTarget
{
public:
    enum
    {
        IDD = 103
    };
    enum Mode
    {
        MODE_TRANSLATION = 0,
        MODE_ROTATION = 1,
        MODE_SCALE = 2,
        MODE_NONE = 3,
    };
    static constexpr int IDC_AXIS_X = 1002;
    static constexpr int IDC_AXIS_Y = 1003;
    static constexpr int IDC_AXIS_Z = 1004;
    static constexpr int IDC_SCALE = 1006;
    static constexpr int IDC_ROTATION = 1007;
    static constexpr int IDC_TRANSLATION = 1009;
    static constexpr int IDC_INC_UP = 1010;
    static constexpr int IDC_DEC_BOTTOM = 1011;
    static constexpr int IDC_INC_RIGHT = 1013;
    static constexpr int IDC_DEC_LEFT = 1014;
    static constexpr int IDC_MOUSE_MOVE = 1016;

    explicit CTransformToolDlg(CWnd* pParent = nullptr) : CDockDialog(IDD, pParent) {}

    // The source of the skin directory; 0 for null. Given before the window is made.
    int SetSettings(ViewSettings* pSettings);
    // The target of the steps, one at a time; 0 for null (the mesh and the matrix with a logged
    // warning).
    int SetMesh(SceneMesh* pMesh) override;
    int SetLight(SceneLight* pLight) override;
    int SetMatrix(D3DXMATRIX* pMatrix);
    // No target: the view calls it whenever the scene's objects are rebuilt or a mesh removed,
    // so the window never writes into an object that is gone.
    void ClearTarget() override;
    BOOL IsMouseMove() const override { return m_bMouseMove; }
    int GetMode() const { return m_nMode; }

    // Changes the target by a step vector in the current mode:
    // translation: a mesh's base matrix is moved (and its bounding box with it), a light's
    //   position, a matrix's translation row;
    // rotation: a mesh's angles and a light's direction grow by the vector, a matrix turns by
    //   yaw y, pitch x, roll z;
    // scale: the vector holds factors; a mesh's scale and a matrix are multiplied by them, and a
    //   light, which has no size, is left as it is.
    void ApplyStep(const D3DXVECTOR3& vStep);

    CBtnST m_btnMouseMove;
    CBtnST m_btnIncUp;
    CBtnST m_btnIncRight;
    CBtnST m_btnDecBottom;
    CBtnST m_btnDecLeft;
    CBtnST m_btnX;
    CBtnST m_btnY;
    CBtnST m_btnZ;
    CBtnST m_btnTranslation;
    CBtnST m_btnRotation;
    CBtnST m_btnScale;

    int m_bAxisX = 0;
    int m_bAxisY = 0;
    int m_bAxisZ = 0;
    int m_bMouseMove = 0;
    float m_fStep = 1.0f;
    // Edited by the right click with the step; nothing reads it yet.
    float m_fStep2 = 10.0f;
    D3DXMATRIX* m_pMatrix = nullptr;
    SceneMesh* m_pMesh = nullptr;
    SceneLight* m_pLight = nullptr;
    ViewSettings* m_pSettings = nullptr;
    int m_nMode = MODE_NONE;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    afx_msg void OnIncrease();
    afx_msg void OnDecrease();
    afx_msg void OnAxisX();
    afx_msg void OnAxisY();
    afx_msg void OnAxisZ();
    afx_msg void OnTranslation();
    afx_msg void OnRotation();
    afx_msg void OnScale();
    afx_msg void OnTransformMouseButton();
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    // The step vector of a "+" (nSign 1) or "-" (nSign -1) press in the current mode.
    D3DXVECTOR3 StepVector(int nSign) const;
    // Mode button pressed (its check already flipped): its mode and the others unchecked, or none.
    void OnModeButton(CBtnST& button, int nMode);
    void ChangeMode(int nMode);
    int LoadSkinBitmaps();
};
