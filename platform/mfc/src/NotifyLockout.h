#pragma once
// The window whose controls' notifications are ignored while UpdateData moves values between its
// members and its controls (null: none).
#include <win32/types.h>

extern HWND g_hLockoutNotifyWindow;
