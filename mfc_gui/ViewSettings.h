#pragma once
// The view's record of its window layout and skin, and "settings.dat", which stores it: a version
// word, then the 648-byte record, little-endian, field by field. Only the skin directory is read
// back into use (by the tool windows' skin loaders and the options sheet); the placements are a
// record of the layout and are never applied to a window.
#include <core/ByteStream.h>
#include <mfc/afxwin.h>

#include <cstdint>
#include <vector>

constexpr int VIEW_SETTINGS_VERSION = 1;
constexpr size_t VIEW_SETTINGS_RECORD_SIZE = 648;
constexpr size_t VIEW_SETTINGS_FILE_BYTES = 4 + VIEW_SETTINGS_RECORD_SIZE;
constexpr int VIEW_SETTINGS_SLOTS = 8;
constexpr size_t VIEW_SETTINGS_DIR_SIZE = 260;

// The slots that hold a window's placement; 4, 6 and 7 are never filled.
enum ViewSettingsSlot
{
    VIEW_SLOT_VIEW = 0,
    VIEW_SLOT_TRANSFORM = 1,
    VIEW_SLOT_TREE = 2,
    VIEW_SLOT_ANIMATION = 3,
    VIEW_SLOT_HEADER = 5,
};

// In memory as in the file (offsets after the file's version word).
struct ViewSettings
{
    int32_t m_nVersion = 0;                                    // 0
    int32_t m_nFlags[4] = {};                                  // 4, never read
    int32_t m_nFlag20 = 0;                                     // 20, never read
    int32_t m_nFlag24 = 0;                                     // 24, never read
    int32_t m_bZoomed = 0;                                     // 28, the view window's IsZoomed
    WINDOWPLACEMENT m_Placements[VIEW_SETTINGS_SLOTS] = {};    // 32, 44 bytes each
    int32_t m_bSkinEnabled = 0;                                // 384
    char m_szSkinDir[VIEW_SETTINGS_DIR_SIZE] = {};             // 388, ends with a backslash
};
static_assert(sizeof(ViewSettings) == VIEW_SETTINGS_RECORD_SIZE, "the record is stored as it lies");

// The windows whose placements the update stores; a null window leaves its slot as it is. The
// header bar is given only when the settings were read from the file.
struct ViewSettingsWindows
{
    HWND m_hView = nullptr;
    HWND m_hTransform = nullptr;
    HWND m_hTree = nullptr;
    HWND m_hAnimation = nullptr;
    HWND m_hHeader = nullptr;
};

// Start-up values: flags cleared, the view's placement in slot 0, the skin directory
// "<program directory>skins\default\"; the version and the other slots are left.
void ResetViewSettings(ViewSettings& settings, const char* szProgramDir, HWND hView);
// Before a save and before the options sheet: version 1, the zoomed state, the windows'
// placements, the skin switch on.
void UpdateViewSettings(ViewSettings& settings, const ViewSettingsWindows& windows);

// The record's 648 bytes; and the whole file (version word first).
void WriteViewSettings(const ViewSettings& settings, ByteWriter& writer);
std::vector<uint8_t> BuildViewSettingsFile(const ViewSettings& settings);
// Takes the file's bytes into the record. A file of the wrong size or version, or with a skin
// directory that does not end inside its field, is refused with a logged warning and the record
// is left as it was; switches outside 0..1 are clamped with a warning. szPath names the file in
// the warnings.
bool ParseViewSettingsFile(const uint8_t* pData, size_t nSize, ViewSettings& settings, const char* szPath);

// "%ssettings.dat" with the program directory.
std::string ViewSettingsPath(const char* szProgramDir);
// Written to a temporary name, then renamed over the file: 1, or 0 with a logged warning (the
// previous file kept).
int SaveViewSettingsFile(const char* szPath, const ViewSettings& settings);
// 1 when the file was opened (whether or not it was taken), 0 when it is missing.
int LoadViewSettingsFile(const char* szPath, ViewSettings& settings);
