#pragma once
// Keyboard accelerators: tables of (modifiers, key, command) records from the resources or built
// at run time. TranslateAccelerator turns a matching key message into WM_COMMAND with 1 in the
// high word of wParam, as a menu command would arrive with 0.
#include <win32/messages.h>
#include <win32/types.h>

#define FVIRTKEY 0x01
#define FNOINVERT 0x02
#define FSHIFT 0x04
#define FCONTROL 0x08
#define FALT 0x10

// The resource form (type "ACCELERATOR"): an array of these records.
struct ACCEL
{
    BYTE fVirt;
    WORD key;
    WORD cmd;
};
typedef ACCEL* LPACCEL;

HACCEL LoadAcceleratorsA(HINSTANCE hInstance, LPCSTR lpTableName);
HACCEL CreateAcceleratorTableA(LPACCEL paccel, int cAccel);
BOOL DestroyAcceleratorTable(HACCEL hAccel);
int CopyAcceleratorTableA(HACCEL hAccelSrc, LPACCEL lpAccelDst, int cAccelEntries);
int TranslateAcceleratorA(HWND hWnd, HACCEL hAccTable, LPMSG lpMsg);
#define LoadAccelerators LoadAcceleratorsA
#define TranslateAccelerator TranslateAcceleratorA
