#pragma once
// The main window's document: the template makes it with the frame and the view. The scene
// itself is the application's and is read and written by the main window's own commands; the
// document only carries the title, and its archive gets nothing either way.
#include <mfc/afxwin.h>

class RenderDoc : public CDocument
{
    DECLARE_DYNCREATE(RenderDoc)
public:
    // A new document is the base's empty one; TRUE when the base made it.
    BOOL OnNewDocument() override;
    void Serialize(CArchive& ar) override;
};
