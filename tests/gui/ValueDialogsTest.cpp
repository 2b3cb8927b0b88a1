// The value dialogs: "Edit the value" writes the bound float only on a good OK, the light dialog
// offers its sorted choices, and the image-format dialog opens on the current preset and gives
// back the chosen one.
#include "GuiTestKit.h"

#include "mfc_gui/EditFloatDlg.h"
#include "mfc_gui/EditLight.h"
#include "mfc_gui/ImageFormatDlg.h"
#include "scene/RenderOptions.h"

#include <functional>
#include <string>

namespace
{
std::string ItemText(HWND hDlg, int nId)
{
    char sz[256] = "";
    ::GetWindowTextA(::GetDlgItem(hDlg, nId), sz, sizeof(sz));
    return sz;
}

class ValueDialogsTest : public GuiTest
{
protected:
    // Runs fnInside on the open dialog (found by its caption) once it is up.
    INT_PTR RunModal(CDialog& dlg, const char* szCaption, std::function<void(HWND)> fnInside)
    {
        m_Driver.at(10, [this, szCaption, fnInside] {
            HWND hDlg = m_Driver.find(std::string("title:") + szCaption);
            ASSERT_NE(hDlg, nullptr);
            fnInside(hDlg);
        });
        return dlg.DoModal();
    }
    void Press(HWND hDlg, int nId) { ::SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED), 0); }
};
}

TEST_F(ValueDialogsTest, EditValueShowsTheValueAndStoresOnlyANumber)
{
    Host(0, 0, 400, 300);
    float fValue = 0.5f;
    float fNeighbour = 7.0f;
    CEditFloatDlg dlg(&m_Host);
    ASSERT_EQ(dlg.SetValue(&fValue), 1);
    std::string strPrevious, strNew, strErr;
    bool bOpenAfterLetters = false;
    float fAfterLetters = 0.0f;
    INT_PTR nResult = RunModal(dlg, "Edit the value", [&](HWND hDlg) {
        strPrevious = ItemText(hDlg, CEditFloatDlg::IDC_PREVIOUS);
        strNew = ItemText(hDlg, CEditFloatDlg::IDC_NEW);
        ::SetWindowTextA(::GetDlgItem(hDlg, CEditFloatDlg::IDC_NEW), "abc");
        m_Driver.answers().msgbox(IDOK);
        testing::internal::CaptureStderr();
        Press(hDlg, IDOK);
        strErr = testing::internal::GetCapturedStderr();
        bOpenAfterLetters = ::IsWindowVisible(hDlg) != FALSE;
        fAfterLetters = fValue;
        ::SetWindowTextA(::GetDlgItem(hDlg, CEditFloatDlg::IDC_NEW), "2.25");
        Press(hDlg, IDOK);
    });
    EXPECT_EQ(strPrevious, "0.5");
    EXPECT_EQ(strNew, "0.5");
    EXPECT_NE(strErr.find("Please enter a number."), std::string::npos) << strErr;
    EXPECT_EQ(strErr.find("Please enter a number."), strErr.rfind("Please enter a number.")) << "shown once";
    EXPECT_TRUE(bOpenAfterLetters);
    EXPECT_EQ(fAfterLetters, 0.5f);
    EXPECT_EQ(nResult, IDOK);
    EXPECT_EQ(fValue, 2.25f);
    EXPECT_EQ(fNeighbour, 7.0f);
    EXPECT_EQ(m_Driver.answers().pending(), 0u);
}

TEST_F(ValueDialogsTest, EditValueCancelledOrUnboundWritesNothing)
{
    Host(0, 0, 400, 300);
    float fValue = 1.5f;
    CEditFloatDlg cancelled(&m_Host);
    cancelled.SetValue(&fValue);
    EXPECT_EQ(RunModal(cancelled, "Edit the value",
                       [&](HWND hDlg) {
                           ::SetWindowTextA(::GetDlgItem(hDlg, CEditFloatDlg::IDC_NEW), "9");
                           Press(hDlg, IDCANCEL);
                       }),
              IDCANCEL);
    EXPECT_EQ(fValue, 1.5f);

    CEditFloatDlg unbound(&m_Host);
    EXPECT_EQ(unbound.SetValue(nullptr), 0);
    EXPECT_EQ(unbound.m_pValue, nullptr);
    EXPECT_EQ(RunModal(unbound, "Edit the value",
                       [&](HWND hDlg) {
                           ::SetWindowTextA(::GetDlgItem(hDlg, CEditFloatDlg::IDC_NEW), "3");
                           Press(hDlg, IDOK);
                       }),
              IDOK);
    EXPECT_EQ(unbound.m_fNewValue, 3.0f);
}

TEST_F(ValueDialogsTest, TheLightDialogOffersSortedTypesWithNoneChosen)
{
    Host(0, 0, 400, 300);
    CEditLight dlg(&m_Host);
    std::vector<std::string> lightTypes, primitiveTypes;
    int nLightSel = 0, nPrimitiveSel = 0;
    auto read = [](CComboBox& combo, std::vector<std::string>& out) {
        for (int i = 0; i < combo.GetCount(); ++i)
        {
            CString str;
            combo.GetLBText(i, str);
            out.push_back(str.GetString());
        }
    };
    EXPECT_EQ(RunModal(dlg, "Ligth Edit",
                       [&](HWND hDlg) {
                           read(dlg.m_cbLightType, lightTypes);
                           read(dlg.m_cbPrimitiveType, primitiveTypes);
                           nLightSel = dlg.m_cbLightType.GetCurSel();
                           nPrimitiveSel = dlg.m_cbPrimitiveType.GetCurSel();
                           Press(hDlg, IDOK);
                       }),
              IDOK);
    EXPECT_EQ(lightTypes, (std::vector<std::string>{"Directionnal", "Point", "Spot", "Surface"}));
    EXPECT_EQ(primitiveTypes, (std::vector<std::string>{"Box", "Cone", "Rectangle", "Sphere"}));
    EXPECT_EQ(nLightSel, CB_ERR);
    EXPECT_EQ(nPrimitiveSel, CB_ERR);
    CEditLight cancelled(&m_Host);
    EXPECT_EQ(RunModal(cancelled, "Ligth Edit", [&](HWND hDlg) { Press(hDlg, IDCANCEL); }), IDCANCEL);
}

TEST_F(ValueDialogsTest, TheImageFormatDialogOpensOnTheCurrentPresetAndGivesTheChosenOne)
{
    Host(0, 0, 640, 480);
    CImageFormatDlg dlg(&m_Host);
    dlg.m_nFormat = 5;
    std::vector<std::string> labels;
    std::vector<int> checked;
    EXPECT_EQ(RunModal(dlg, "Image Format",
                       [&](HWND hDlg) {
                           for (int i = 0; i < CImageFormatDlg::RADIO_COUNT; ++i)
                           {
                               labels.push_back(ItemText(hDlg, CImageFormatDlg::RADIO_IDS[i]));
                               if (::SendDlgItemMessageA(hDlg, CImageFormatDlg::RADIO_IDS[i], BM_GETCHECK, 0, 0))
                                   checked.push_back(i);
                           }
                           ::SendDlgItemMessageA(hDlg, CImageFormatDlg::RADIO_IDS[5], BM_SETCHECK, BST_UNCHECKED, 0);
                           ::SendDlgItemMessageA(hDlg, CImageFormatDlg::RADIO_IDS[17], BM_SETCHECK, BST_CHECKED, 0);
                           Press(hDlg, IDOK);
                       }),
              IDOK);
    EXPECT_EQ(checked, std::vector<int>{5});
    ASSERT_EQ(labels.size(), static_cast<size_t>(OUTPUT_SIZE_PRESET_COUNT));
    // Each button names its preset's real size; the last two presets have buttons too.
    EXPECT_EQ(labels[0], "Screen 320x240");
    EXPECT_EQ(labels[17], "HDTV Low 1280x720");
    EXPECT_EQ(labels[19], "Slide Low 2048x1366");
    EXPECT_EQ(labels[23], "70 mm Low 1536x698");
    EXPECT_EQ(labels[25], "70mm IMax Low 1536x1126");
    EXPECT_EQ(dlg.m_nFormat, 17);
}

TEST_F(ValueDialogsTest, TheImageFormatDialogKeepsTheFormatOnCancelOrWithNoneChecked)
{
    Host(0, 0, 640, 480);
    CImageFormatDlg cancelled(&m_Host);
    cancelled.m_nFormat = 3;
    EXPECT_EQ(RunModal(cancelled, "Image Format",
                       [&](HWND hDlg) {
                           ::SendDlgItemMessageA(hDlg, CImageFormatDlg::RADIO_IDS[3], BM_SETCHECK, BST_UNCHECKED, 0);
                           ::SendDlgItemMessageA(hDlg, CImageFormatDlg::RADIO_IDS[9], BM_SETCHECK, BST_CHECKED, 0);
                           Press(hDlg, IDCANCEL);
                       }),
              IDCANCEL);
    EXPECT_EQ(cancelled.m_nFormat, 3);

    CImageFormatDlg none(&m_Host);
    none.m_nFormat = 2;
    bool bStillOpen = false;
    EXPECT_EQ(RunModal(none, "Image Format",
                       [&](HWND hDlg) {
                           ::SendDlgItemMessageA(hDlg, CImageFormatDlg::RADIO_IDS[2], BM_SETCHECK, BST_UNCHECKED, 0);
                           Press(hDlg, IDOK);
                           bStillOpen = ::IsWindow(hDlg) && ::IsWindowVisible(hDlg);
                           Press(hDlg, IDCANCEL);
                       }),
              IDCANCEL);
    EXPECT_TRUE(bStillOpen);
    EXPECT_EQ(none.m_nFormat, 2);
}
