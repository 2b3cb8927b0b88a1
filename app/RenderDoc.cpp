#include "app/RenderDoc.h"

IMPLEMENT_DYNCREATE(RenderDoc, CDocument)

BOOL RenderDoc::OnNewDocument()
{
    return CDocument::OnNewDocument() ? TRUE : FALSE;
}

void RenderDoc::Serialize(CArchive&)
{
}
