#pragma once
// Start-up of the window layer. main() and every test fixture call win32::Install() first.
namespace win32
{
// The base services: core's clock, path and display-mode hooks are filled with the layer clock,
// MapPath and EnumDisplaySettingsA/ChangeDisplaySettingsA; the folders come from the
// environment and the registry from $XDG_CONFIG_HOME/quenlaris/registry.
void InstallBase();

// InstallBase, then the window system; with QUENLARIS_SCRIPT set, the program runs that script
// headless. False when the script cannot be read.
bool Install();
}
