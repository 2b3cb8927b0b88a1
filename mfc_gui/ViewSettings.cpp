#include "mfc_gui/ViewSettings.h"

#include <core/FileIO.h>
#include <core/Log.h>

#include <cstdio>
#include <cstring>

namespace
{
const char SETTINGS_NAME[] = "settings.dat";
const char DEFAULT_SKIN_DIR[] = "skins\\default\\";

// The eleven 32-bit fields of a placement, in their stored order.
void WritePlacement(const WINDOWPLACEMENT& p, ByteWriter& writer)
{
    const int32_t fields[] = {static_cast<int32_t>(p.length), static_cast<int32_t>(p.flags),
                              static_cast<int32_t>(p.showCmd), p.ptMinPosition.x, p.ptMinPosition.y,
                              p.ptMaxPosition.x, p.ptMaxPosition.y, p.rcNormalPosition.left,
                              p.rcNormalPosition.top, p.rcNormalPosition.right, p.rcNormalPosition.bottom};
    for (int32_t n : fields)
        writer.WriteI32(n);
}

bool ReadPlacement(ByteReader& reader, WINDOWPLACEMENT& p)
{
    int32_t f[11];
    for (int32_t& n : f)
        reader.ReadI32(n);
    if (!reader.IsGood())
        return false;
    p.length = static_cast<UINT>(f[0]);
    p.flags = static_cast<UINT>(f[1]);
    p.showCmd = static_cast<UINT>(f[2]);
    p.ptMinPosition = {f[3], f[4]};
    p.ptMaxPosition = {f[5], f[6]};
    p.rcNormalPosition = {f[7], f[8], f[9], f[10]};
    return true;
}

void StorePlacement(ViewSettings& settings, int nSlot, HWND hWnd)
{
    if (!hWnd)
        return;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(WINDOWPLACEMENT);
    if (GetWindowPlacement(hWnd, &placement))
        settings.m_Placements[nSlot] = placement;
}

// A switch stored outside 0..1 is taken as the nearer end.
void ClampSwitch(int32_t& nValue, const char* szName, const char* szPath)
{
    if (nValue == 0 || nValue == 1)
        return;
    LogWarning("RenderView::LoadSettings() - The %s value %d in %s is out of range; %d is used.", szName,
               static_cast<int>(nValue), szPath, nValue < 0 ? 0 : 1);
    nValue = nValue < 0 ? 0 : 1;
}
}

void ResetViewSettings(ViewSettings& settings, const char* szProgramDir, HWND hView)
{
    std::memset(settings.m_nFlags, 0, sizeof(settings.m_nFlags));
    settings.m_nFlag20 = 0;
    settings.m_nFlag24 = 1;
    settings.m_bZoomed = 0;
    StorePlacement(settings, VIEW_SLOT_VIEW, hView);
    std::snprintf(settings.m_szSkinDir, sizeof(settings.m_szSkinDir), "%s%s", szProgramDir ? szProgramDir : "",
                  DEFAULT_SKIN_DIR);
}

void UpdateViewSettings(ViewSettings& settings, const ViewSettingsWindows& windows)
{
    settings.m_nVersion = VIEW_SETTINGS_VERSION;
    std::memset(settings.m_nFlags, 0, sizeof(settings.m_nFlags));
    settings.m_nFlag24 = 1;
    settings.m_bZoomed = windows.m_hView && IsZoomed(windows.m_hView) ? 1 : 0;
    StorePlacement(settings, VIEW_SLOT_VIEW, windows.m_hView);
    StorePlacement(settings, VIEW_SLOT_TRANSFORM, windows.m_hTransform);
    StorePlacement(settings, VIEW_SLOT_TREE, windows.m_hTree);
    StorePlacement(settings, VIEW_SLOT_ANIMATION, windows.m_hAnimation);
    StorePlacement(settings, VIEW_SLOT_HEADER, windows.m_hHeader);
    settings.m_bSkinEnabled = 1;
}

void WriteViewSettings(const ViewSettings& settings, ByteWriter& writer)
{
    writer.WriteI32(settings.m_nVersion);
    for (int32_t n : settings.m_nFlags)
        writer.WriteI32(n);
    writer.WriteI32(settings.m_nFlag20);
    writer.WriteI32(settings.m_nFlag24);
    writer.WriteI32(settings.m_bZoomed);
    for (const WINDOWPLACEMENT& placement : settings.m_Placements)
        WritePlacement(placement, writer);
    writer.WriteI32(settings.m_bSkinEnabled);
    // The whole field as it lies, so that a record read from a file is written back the same.
    writer.WriteBytes(settings.m_szSkinDir, sizeof(settings.m_szSkinDir));
}

std::vector<uint8_t> BuildViewSettingsFile(const ViewSettings& settings)
{
    ByteWriter writer;
    writer.WriteI32(settings.m_nVersion);
    WriteViewSettings(settings, writer);
    return writer.GetBuffer();
}

bool ParseViewSettingsFile(const uint8_t* pData, size_t nSize, ViewSettings& settings, const char* szPath)
{
    if (nSize != VIEW_SETTINGS_FILE_BYTES)
    {
        LogWarning("RenderView::LoadSettings() - The setting file (%s) has %zu bytes instead of %zu; the defaults are kept.",
                   szPath, nSize, VIEW_SETTINGS_FILE_BYTES);
        return false;
    }
    ByteReader reader(pData, nSize);
    int32_t nFileVersion = 0;
    ViewSettings read;
    reader.ReadI32(nFileVersion);
    reader.ReadI32(read.m_nVersion);
    if (nFileVersion != VIEW_SETTINGS_VERSION || read.m_nVersion != VIEW_SETTINGS_VERSION)
    {
        LogWarning("RenderView::LoadSettings() - Wrong settings file version.");
        return false;
    }
    for (int32_t& n : read.m_nFlags)
        reader.ReadI32(n);
    reader.ReadI32(read.m_nFlag20);
    reader.ReadI32(read.m_nFlag24);
    reader.ReadI32(read.m_bZoomed);
    for (WINDOWPLACEMENT& placement : read.m_Placements)
        ReadPlacement(reader, placement);
    reader.ReadI32(read.m_bSkinEnabled);
    reader.ReadBytes(read.m_szSkinDir, sizeof(read.m_szSkinDir));
    if (!reader.IsGood())
        return false;
    if (!std::memchr(read.m_szSkinDir, 0, sizeof(read.m_szSkinDir)))
    {
        LogWarning("RenderView::LoadSettings() - The skin directory in %s does not end inside its %zu bytes; the defaults are kept.",
                   szPath, VIEW_SETTINGS_DIR_SIZE);
        return false;
    }
    ClampSwitch(read.m_bZoomed, "zoomed", szPath);
    ClampSwitch(read.m_bSkinEnabled, "skin enabled", szPath);
    settings = read;
    return true;
}

std::string ViewSettingsPath(const char* szProgramDir)
{
    return std::string(szProgramDir ? szProgramDir : "") + SETTINGS_NAME;
}

int SaveViewSettingsFile(const char* szPath, const ViewSettings& settings)
{
    if (!WriteFileAtomic(szPath, BuildViewSettingsFile(settings)))
    {
        LogWarning("CMorvynForm::SaveSettings() - Could not open the file for writing. (%s)", szPath);
        return 0;
    }
    return 1;
}

int LoadViewSettingsFile(const char* szPath, ViewSettings& settings)
{
    std::vector<uint8_t> data;
    if (!ReadWholeFile(szPath, data))
    {
        LogWarning("RenderView::LoadSettings() - The setting file (%s) was not found", szPath);
        return 0;
    }
    ParseViewSettingsFile(data.data(), data.size(), settings, szPath);
    return 1;
}
