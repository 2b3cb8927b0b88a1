#pragma once
// The MFC layer: everything system code includes to derive from the application, window, frame,
// view, document and dialog classes, to use the GDI wrappers and the standard controls.
#include <win32/windows.h>

#include <mfc/afxstr.h>
#include <mfc/afxgeom.h>
#include <mfc/afxobj.h>
#include <mfc/afxcoll.h>
#include <mfc/afxmsg.h>
#include <mfc/afxres.h>
#include <mfc/afxgdi.h>
#include <mfc/afxmenu.h>
#include <mfc/afxwnd.h>
#include <mfc/afxcontrols.h>
#include <mfc/afxdialog.h>
#include <mfc/afxframe.h>
#include <mfc/afxdoc.h>
#include <mfc/afxapp.h>
