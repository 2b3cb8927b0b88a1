#pragma once
// Everything of the window layer that system code calls by its Win32 name. Later parts of the
// layer (GDI, common controls and dialogs, rich edit) add their headers here.
#include <win32/types.h>

#include <win32/accelerators.h>
#include <win32/clock.h>
#include <win32/commctrl.h>
#include <win32/commdlg.h>
#include <win32/controls.h>
#include <win32/dialogs.h>
#include <win32/display.h>
#include <win32/gdi.h>
#include <win32/icons.h>
#include <win32/menus.h>
#include <win32/messages.h>
#include <win32/modules.h>
#include <win32/paths.h>
#include <win32/present.h>
#include <win32/registry.h>
#include <win32/resources.h>
#include <win32/richedit.h>
#include <win32/shellapi.h>
#include <win32/user.h>
#include <win32/winbase.h>
