#pragma once
// The main window's view until the editing interface's view takes its place: it creates only
// the render surface window and writes the view settings ("settings.dat") for real when the
// main window closes. Its tree, tool windows and console window come with the editing interface.
#include "app/ConsoleDlg.h"
#include "app/RenderWnd.h"

#include <mfc/afxwin.h>

#include <cstdint>

class ApplicationBase;
class CMenuBar;
class RenderView;

// The view of the main window; null while none exists.
extern RenderView* g_pRenderView;

// The view's record of its window layout and skin, as "settings.dat" stores it after a version
// word: 648 bytes, little-endian.
constexpr size_t VIEW_SETTINGS_SIZE = 648;
constexpr size_t VIEW_SETTINGS_FILE_SIZE = 4 + VIEW_SETTINGS_SIZE;

class RenderView : public CView
{
    DECLARE_DYNCREATE(RenderView)
public:
    RenderView();
    ~RenderView() override;

    // Writes "settings.dat"; false, with a logged warning, when it cannot be written.
    bool SaveSettings();
    // The bytes SaveSettings writes: version 1, then the record with the view's placement in
    // slot 0, the skin switch on and the skin directory.
    void BuildSettingsFile(uint8_t (&file)[VIEW_SETTINGS_FILE_SIZE]) const;
    // Rebuilds the property tree; with no tree yet it only checks the application.
    bool BuildTree(ApplicationBase* pApp);

    void OnDraw(CDC* pDC) override;

    CRenderWnd m_wndRender;
    CMenuBar* m_pMenuBar = nullptr;
    CConsoleDlg m_dlgConsole;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    DECLARE_MESSAGE_MAP()
};
