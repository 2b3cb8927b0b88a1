#pragma once
// The X11 presenter: one desktop-sized X window showing the composed desktop. X keyboard and
// mouse events become the layer's input, closing the X window posts WM_CLOSE to the main
// window, and the layer's message loops wait on the X connection.
namespace win32
{
// Opens the display ($DISPLAY), maps the window and installs the presenter and its wait
// handler. False (logged) when no display can be opened.
bool StartX11Presenter();
// Unmaps the window, closes the display and restores the headless presenter.
void StopX11Presenter();
// The X window (an X11 Window id), 0 when not started; tests read its pixels back.
unsigned long X11PresenterWindow();
// Turns every pending X event into layer input without waiting; false when not started.
bool PumpX11Events();
}
