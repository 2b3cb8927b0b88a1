#pragma once
// The main window's command ids: those of the main menu (menu 128) and its accelerators, and the
// commands without a menu item that the message map still answers.
#include <mfc/afxres.h>
#include <win32/types.h>

// ---- "&File"
constexpr UINT ID_FILE_OPEN_QNL = ID_FILE_OPEN;       // 57601, Ctrl+O
constexpr UINT ID_FILE_OPEN_QNL2 = 32804;
constexpr UINT ID_FILE_OPEN_3DS = 32820;
constexpr UINT ID_FILE_OPEN_X = 32830;
constexpr UINT ID_FILE_SAVE_QNL = 32780;
constexpr UINT ID_FILE_SAVE_QNL2 = ID_FILE_SAVE;      // 57603, Ctrl+S
constexpr UINT ID_FILE_SAVE_3DS = 32834;
constexpr UINT ID_FILE_MERGE_QNL = 32819;
constexpr UINT ID_FILE_MERGE_X = 32831;
constexpr UINT ID_FILE_MERGE_3DS = 32835;
constexpr UINT ID_FILE_OPEN_CAMERA_PATH = 32814;
// ---- "&Help"
constexpr UINT ID_HELP_DOCUMENTATION = 32836;
constexpr UINT ID_HELP_WEB_SITE = 32837;

// ---- Without a menu item.
constexpr UINT ID_FILE_OPEN_MVN = 32810;
constexpr UINT ID_FILE_SAVE_MVN = 32811;
constexpr UINT ID_FILE_MERGE_MVN = 32812;
constexpr UINT ID_LOAD_IMAGE1 = 32825;
constexpr UINT ID_LOAD_IMAGE2 = 32826;
constexpr UINT ID_QUIT = 100;
constexpr UINT ID_RESTART_DEVICE = 101;
constexpr UINT ID_TOGGLE_CONSOLE = 102;
constexpr UINT ID_GO_FULLSCREEN = 200;
constexpr UINT ID_TOGGLE_INVERT_MOUSE = 301;
constexpr UINT ID_TOGGLE_VSYNC = 302;
constexpr UINT ID_TOGGLE_ANISOTROPIC = 303;
constexpr UINT ID_TOGGLE_DEBUG_INFO = 304;
// FSAA level n * 2 is command 305 + n; no menu or key reaches it.
constexpr UINT ID_FSAA_LEVEL_FIRST = 305;
constexpr UINT ID_START_WORKER = 400;

// The main menu and the frame's accelerator table share the document template's id.
constexpr UINT IDR_MAINFRAME = 128;
