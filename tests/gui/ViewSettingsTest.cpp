// "settings.dat": the record's layout as stored, a byte-identical round trip, hostile files
// refused (or their switches clamped) with a warning and the record kept, and the file written
// whole or not at all.
#include "../win32/TempDir.h"
#include "GuiTestKit.h"
#include "mfc_gui/ViewSettings.h"

#include <core/ByteStream.h>

#include <cstring>
#include <functional>

namespace
{
int32_t Int32At(const std::vector<uint8_t>& bytes, size_t nOffset)
{
    int32_t n = 0;
    ByteReader reader(bytes);
    reader.Seek(nOffset);
    reader.ReadI32(n);
    return n;
}

void PutInt32(std::vector<uint8_t>& bytes, size_t nOffset, int32_t n)
{
    for (int i = 0; i < 4; ++i)
        bytes[nOffset + i] = static_cast<uint8_t>(static_cast<uint32_t>(n) >> (8 * i));
}

// A record with a distinct value in every field, and bytes after the directory's terminator.
ViewSettings FilledSettings()
{
    ViewSettings settings;
    settings.m_nVersion = 1;
    for (int i = 0; i < 4; ++i)
        settings.m_nFlags[i] = 100 + i;
    settings.m_nFlag20 = -20;
    settings.m_nFlag24 = 1;
    settings.m_bZoomed = 1;
    for (int i = 0; i < VIEW_SETTINGS_SLOTS; ++i)
    {
        WINDOWPLACEMENT& p = settings.m_Placements[i];
        p = {44, static_cast<UINT>(i), SW_SHOWNORMAL, {-i, i}, {2 * i, -2 * i}, {10 * i, 20 * i, 300 + i, 400 + i}};
    }
    settings.m_bSkinEnabled = 0;
    std::memset(settings.m_szSkinDir, 0x5A, sizeof(settings.m_szSkinDir));
    std::strcpy(settings.m_szSkinDir, "D:\\Skins\\Blue\\");
    return settings;
}

class ViewSettingsTest : public QuietGuiTest
{
protected:
    TempDir m_Temp;
};
}

TEST_F(ViewSettingsTest, AStartAndACloseWriteTheRecordAtItsOffsets)
{
    CWnd& view = Host(30, 40, 320, 200);
    ViewSettings settings;
    ResetViewSettings(settings, "C:\\Quenlaris\\", view.m_hWnd);
    ViewSettingsWindows windows;
    windows.m_hView = view.m_hWnd;
    UpdateViewSettings(settings, windows);
    const std::vector<uint8_t> file = BuildViewSettingsFile(settings);

    ASSERT_EQ(file.size(), 652u);
    EXPECT_EQ(Int32At(file, 0), 1);                  // the copy of the version
    EXPECT_EQ(Int32At(file, 4), 1);                  // the record's own version
    for (size_t nOffset : {8u, 12u, 16u, 20u, 24u})  // the four flags and the one left at reset
        EXPECT_EQ(Int32At(file, nOffset), 0) << nOffset;
    EXPECT_EQ(Int32At(file, 28), 1);
    EXPECT_EQ(Int32At(file, 32), 0);                 // not zoomed
    // Slot 0, the view: length, then the normal rectangle at +28.
    EXPECT_EQ(Int32At(file, 36), 44);
    EXPECT_EQ(Int32At(file, 36 + 28), 30);
    EXPECT_EQ(Int32At(file, 36 + 32), 40);
    EXPECT_EQ(Int32At(file, 36 + 36), 350);
    EXPECT_EQ(Int32At(file, 36 + 40), 240);
    EXPECT_EQ(Int32At(file, 80), 0);                 // slot 1: no transform window given
    EXPECT_EQ(Int32At(file, 388), 1);                // skin enabled
    EXPECT_STREQ(reinterpret_cast<const char*>(&file[392]), "C:\\Quenlaris\\skins\\default\\");
}

TEST_F(ViewSettingsTest, TheUpdateStoresEachGivenWindowInItsSlot)
{
    CWnd& tool = Host(5, 6, 70, 80);
    ViewSettings settings;
    ViewSettingsWindows windows;
    windows.m_hTree = tool.m_hWnd;
    windows.m_hHeader = tool.m_hWnd;
    UpdateViewSettings(settings, windows);
    for (int nSlot = 0; nSlot < VIEW_SETTINGS_SLOTS; ++nSlot)
    {
        const bool bFilled = nSlot == VIEW_SLOT_TREE || nSlot == VIEW_SLOT_HEADER;
        EXPECT_EQ(settings.m_Placements[nSlot].length, bFilled ? 44u : 0u) << nSlot;
        EXPECT_EQ(settings.m_Placements[nSlot].rcNormalPosition.right, bFilled ? 75 : 0) << nSlot;
    }
}

TEST_F(ViewSettingsTest, AFileReadsBackAndWritesTheSameBytes)
{
    const std::vector<uint8_t> file = BuildViewSettingsFile(FilledSettings());
    ViewSettings read;
    ASSERT_TRUE(ParseViewSettingsFile(file.data(), file.size(), read, "settings.dat"));
    EXPECT_EQ(BuildViewSettingsFile(read), file);
    EXPECT_EQ(read.m_Placements[3].ptMinPosition.x, -3);
    EXPECT_EQ(read.m_Placements[7].rcNormalPosition.bottom, 407);
    EXPECT_STREQ(read.m_szSkinDir, "D:\\Skins\\Blue\\");
    EXPECT_TRUE(GetLogLines().empty());

    // The same through the file on disk.
    const std::string strPath = ViewSettingsPath((m_Temp.Path() + "/").c_str());
    EXPECT_EQ(strPath, m_Temp / "settings.dat");
    ASSERT_EQ(SaveViewSettingsFile(strPath.c_str(), FilledSettings()), 1);
    ViewSettings loaded;
    ASSERT_EQ(LoadViewSettingsFile(strPath.c_str(), loaded), 1);
    EXPECT_EQ(BuildViewSettingsFile(loaded), file);
}

TEST_F(ViewSettingsTest, HostileFilesAreRefusedAndTheRecordKept)
{
    const std::vector<uint8_t> good = BuildViewSettingsFile(FilledSettings());
    struct Case
    {
        const char* m_szName;
        std::function<void(std::vector<uint8_t>&)> m_fnDamage;
        const char* m_szWarning;
    };
    const Case cases[] = {
        {"empty", [](std::vector<uint8_t>& b) { b.clear(); }, "has 0 bytes"},
        {"short by one", [](std::vector<uint8_t>& b) { b.pop_back(); }, "has 651 bytes"},
        {"only the version", [](std::vector<uint8_t>& b) { b.resize(4); }, "has 4 bytes"},
        {"long by one", [](std::vector<uint8_t>& b) { b.push_back(0); }, "has 653 bytes"},
        {"version 2", [](std::vector<uint8_t>& b) { PutInt32(b, 0, 2); }, "Wrong settings file version."},
        {"record version 0", [](std::vector<uint8_t>& b) { PutInt32(b, 4, 0); }, "Wrong settings file version."},
        {"unterminated directory", [](std::vector<uint8_t>& b) { std::memset(&b[392], 'a', 260); },
         "does not end inside its 260 bytes"},
    };
    for (const Case& c : cases)
    {
        ClearLogLines();
        std::vector<uint8_t> bytes = good;
        c.m_fnDamage(bytes);
        ViewSettings settings;
        ResetViewSettings(settings, "C:\\Quenlaris\\", nullptr);
        const std::vector<uint8_t> before = BuildViewSettingsFile(settings);
        EXPECT_FALSE(ParseViewSettingsFile(bytes.data(), bytes.size(), settings, "settings.dat")) << c.m_szName;
        EXPECT_EQ(BuildViewSettingsFile(settings), before) << c.m_szName;
        ASSERT_EQ(GetLogLines().size(), 1u) << c.m_szName;
        EXPECT_EQ(GetLogLines()[0].m_nType, LOG_WARNING);
        EXPECT_NE(GetLogLines()[0].m_strText.find(c.m_szWarning), std::string::npos) << GetLogLines()[0].m_strText;
    }
}

TEST_F(ViewSettingsTest, SwitchesOutOfRangeAreClampedWithAWarning)
{
    struct Case
    {
        int32_t m_nZoomed, m_nSkinEnabled;
        int32_t m_nZoomedRead, m_nSkinEnabledRead;
        size_t m_nWarnings;
    };
    const Case cases[] = {
        {7, 1, 1, 1, 1},
        {0, -3, 0, 0, 1},
        {INT32_MIN, INT32_MAX, 0, 1, 2},
        {1, 0, 1, 0, 0},
    };
    for (const Case& c : cases)
    {
        ClearLogLines();
        std::vector<uint8_t> bytes = BuildViewSettingsFile(FilledSettings());
        PutInt32(bytes, 32, c.m_nZoomed);
        PutInt32(bytes, 388, c.m_nSkinEnabled);
        ViewSettings settings;
        ASSERT_TRUE(ParseViewSettingsFile(bytes.data(), bytes.size(), settings, "settings.dat"));
        EXPECT_EQ(settings.m_bZoomed, c.m_nZoomedRead) << c.m_nZoomed;
        EXPECT_EQ(settings.m_bSkinEnabled, c.m_nSkinEnabledRead) << c.m_nSkinEnabled;
        EXPECT_EQ(GetLogLines().size(), c.m_nWarnings);
        EXPECT_STREQ(settings.m_szSkinDir, "D:\\Skins\\Blue\\");
    }
}

TEST_F(ViewSettingsTest, MissingAndUnwritableFilesAreReported)
{
    ViewSettings settings = FilledSettings();
    const std::vector<uint8_t> before = BuildViewSettingsFile(settings);
    const std::string strMissing = m_Temp / "settings.dat";
    EXPECT_EQ(LoadViewSettingsFile(strMissing.c_str(), settings), 0);
    EXPECT_EQ(BuildViewSettingsFile(settings), before);
    ASSERT_EQ(GetLogLines().size(), 1u);
    EXPECT_EQ(GetLogLines()[0].m_strText, "RenderView::LoadSettings() - The setting file (" + strMissing + ") was not found");

    // A hostile file on disk is opened (1) but not taken.
    m_Temp.Write("short.dat", "\x01\x00\x00\x00");
    EXPECT_EQ(LoadViewSettingsFile((m_Temp / "short.dat").c_str(), settings), 1);
    EXPECT_EQ(BuildViewSettingsFile(settings), before);

    ClearLogLines();
    const std::string strUnwritable = m_Temp / "no folder/settings.dat";
    EXPECT_EQ(SaveViewSettingsFile(strUnwritable.c_str(), settings), 0);
    ASSERT_EQ(GetLogLines().size(), 1u);
    EXPECT_EQ(GetLogLines()[0].m_strText,
              "CMorvynForm::SaveSettings() - Could not open the file for writing. (" + strUnwritable + ")");

    // A save over a file that cannot be replaced (a folder of that name) leaves it.
    const std::string strFolder = m_Temp / "taken";
    std::filesystem::create_directories(strFolder + "/inside");
    EXPECT_EQ(SaveViewSettingsFile(strFolder.c_str(), settings), 0);
    EXPECT_TRUE(std::filesystem::is_directory(strFolder + "/inside"));
}
