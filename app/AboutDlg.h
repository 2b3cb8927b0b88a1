#pragma once
// The about box until the window toolkit's dialog 100 takes its place: running it shows nothing
// and returns IDOK at once.
#include <win32/user.h>

class CAboutDlg
{
public:
    int DoModal() { return IDOK; }
};
