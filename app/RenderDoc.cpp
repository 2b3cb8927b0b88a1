#include "app/RenderDoc.h"

IMPLEMENT_DYNCREATE(RenderDoc, CDocument)
