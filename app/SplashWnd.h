#pragma once
// The splash window until the window toolkit's one takes its place: start-up enables it from the
// command line and asks it to show, and it shows nothing.
class CWnd;

class CSplashWnd
{
public:
    static void Enable(bool bEnable) { s_bEnabled = bEnable; }
    static bool IsEnabled() { return s_bEnabled; }
    static void Show(CWnd*) {}

private:
    static inline bool s_bEnabled = false;
};
