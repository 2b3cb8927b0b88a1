#pragma once
// The main window's menu (menu 128), its accelerator table (Ctrl+O, Ctrl+S) and the status-bar
// prompts of its commands, as resources of the program. The program registers them before the
// main window is made; the menu bar loads the menu from there.
void RegisterMainMenuResources();
