// The main window's side of the property tree's value notification: a changed texture item asks
// for its textures to be read again. The tree sends the notification to its window, which passes
// it to the view; a sender that reaches the main window gives the scene object as wParam.
#include "app/ApplicationBase.h"
#include "app/RenderWindow.h"

#include "core/Log.h"
#include "mfc_gui/TreeMessages.h"
#include "scene/SceneObject.h"

LRESULT RenderWindow::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TREE_VALUECHANGED)
        OnTreeTextureChange(reinterpret_cast<SceneObject*>(wParam));
    return CFrameWnd::DefWindowProc(message, wParam, lParam);
}

void RenderWindow::OnTreeTextureChange(SceneObject* pNode)
{
    if (!pNode)
    {
        LogError("RenderWindow::OnTreeTextureChange() - The node is null.");
        return;
    }
    MessageBox("Reload the texture", pNode->m_szName, MB_OK);
    if (m_pApp)
        m_pApp->m_Scene.ReloadTextures(m_pApp->GetRenderer());
}
