#pragma once
// The main window's document: the template makes it with the frame and the view. The scene
// itself is the application's; the document only carries the title.
#include <mfc/afxwin.h>

class RenderDoc : public CDocument
{
    DECLARE_DYNCREATE(RenderDoc)
};
