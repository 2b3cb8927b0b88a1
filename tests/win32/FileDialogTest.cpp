// The Open and Save As dialog: its rules as functions, and the dialog itself driven by script
// lines (keys, clicks, answers) over a temporary folder.
#include "TempDir.h"
#include "WindowTestKit.h"

#include <win32/present.h>
#include <win32/windows.h>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace
{
std::vector<std::string> Names(const std::vector<win32::FolderEntry>& entries)
{
    std::vector<std::string> names;
    for (const auto& e : entries)
        names.push_back(e.m_strName + (e.m_bFolder ? "/" : ""));
    return names;
}

const char QNL_FILTER[] = "Quenlaris Scenes (*.qnl)\0*.qnl;\0All Files (*.*)\0*.*\0";

class FileDialogTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        m_hMain = Create("Quenlaris", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480);
        m_Temp.Write("b.qnl", "b");
        m_Temp.Write("A.qnl", "a");
        m_Temp.Write("notes.txt", "n");
        m_Temp.Write("sub/inner.qnl", "i");
        m_Temp.Write(".hidden.qnl", "h");
        std::memset(m_szFile, 0, sizeof(m_szFile));
    }

    OPENFILENAMEA Record(DWORD nFlags, const char* szDefExt)
    {
        OPENFILENAMEA ofn{};
        ofn.lStructSize = 76;   // the short record: accepted like any size
        ofn.hwndOwner = m_hMain;
        ofn.lpstrFilter = QNL_FILTER;
        ofn.lpstrFile = m_szFile;
        ofn.nMaxFile = sizeof(m_szFile);
        ofn.lpstrInitialDir = m_Temp.Path().c_str();
        ofn.Flags = nFlags;
        ofn.lpstrDefExt = szDefExt;
        return ofn;
    }
    // Runs a dialog with the script lines queued first.
    BOOL Run(OPENFILENAMEA& ofn, bool bSave, const std::string& strScript)
    {
        // Each run starts in the record's folder, not where the last one ended.
        if (ofn.lpstrFile == m_szFile)
            m_szFile[0] = 0;
        std::string strError;
        EXPECT_TRUE(m_Driver.loadScript(strScript, strError)) << strError;
        m_bOwnerDisabledDuring = false;
        m_Driver.at(0, [this] { m_bOwnerDisabledDuring = !IsWindowEnabled(m_hMain); });
        BOOL bResult = bSave ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
        EXPECT_TRUE(IsWindowEnabled(m_hMain));
        EXPECT_EQ(m_Driver.find("title:Open"), nullptr);
        return bResult;
    }

    TempDir m_Temp;
    HWND m_hMain = nullptr;
    char m_szFile[MAX_PATH];
    bool m_bOwnerDisabledDuring = false;
};
}

TEST(FileDialogRulesTest, FiltersInBothSyntaxesEndAtAnEmptyDescription)
{
    auto filters = win32::ParseFileFilter(QNL_FILTER);
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].m_strDescription, "Quenlaris Scenes (*.qnl)");
    EXPECT_EQ(filters[0].m_Patterns, std::vector<std::string>{"*.qnl"});
    EXPECT_EQ(filters[1].m_Patterns, std::vector<std::string>{"*.*"});

    // "|||" ends the list: "All Files" after it is never offered, in either syntax.
    const char* szBar = "Path file (*.path)|*.pth|Text Files (*.txt)|*.txt|||All Files (*.*)|*.*||";
    auto bar = win32::ParseBarFilter(szBar);
    std::string nul(szBar);
    std::replace(nul.begin(), nul.end(), '|', '\0');
    auto fromNul = win32::ParseFileFilter(nul.c_str());
    ASSERT_EQ(bar.size(), 2u);
    ASSERT_EQ(fromNul.size(), 2u);
    EXPECT_EQ(bar[1].m_strDescription, "Text Files (*.txt)");
    EXPECT_EQ(fromNul[0].m_Patterns, std::vector<std::string>{"*.pth"});
    EXPECT_EQ(win32::ParseBarFilter("Console Log (*.log)|*.log|All Files (*.*)|*.*||").size(), 2u);

    auto image = win32::ParseFileFilter("Image Files (*.dds, *.tga, *.jpg)\0*.dds;*.tga;*.jpg;\0\0");
    EXPECT_EQ(image[0].m_Patterns, (std::vector<std::string>{"*.dds", "*.tga", "*.jpg"}));
    auto none = win32::ParseFileFilter(nullptr);
    ASSERT_EQ(none.size(), 1u);
    EXPECT_EQ(none[0].m_strDescription, "All Files (*.*)");

    const struct
    {
        const char* m_szName;
        const char* m_szPattern;
        bool m_bMatch;
    } cases[] = {
        {"a.QNL", "*.qnl", true}, {"a.qnl.bak", "*.qnl", false}, {"README", "*.*", true},
        {"x1.txt", "x?.txt", true}, {"x12.txt", "x?.txt", false}, {"a.b.c", "*.c", true}, {"ab", "a*b*", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(win32::MatchesFilePattern(c.m_szName, c.m_szPattern), c.m_bMatch) << c.m_szName << " " << c.m_szPattern;
}

TEST(FileDialogRulesTest, TypedNamesExtensionsAndChecks)
{
    const std::pair<const char*, const char*> resolved[] = {
        {"b.qnl", "/data/scenes/b.qnl"}, {"sub\\c.qnl", "/data/scenes/sub/c.qnl"}, {"../x", "/data/x"},
        {"/abs/y/", "/abs/y"}, {"  spaced.qnl ", "/data/scenes/spaced.qnl"}, {"D:\\x.qnl", ""}, {"", ""},
    };
    for (const auto& r : resolved)
        EXPECT_EQ(win32::ResolveTypedName("/data/scenes", r.first, false), r.second) << r.first;

    EXPECT_EQ(win32::AddDefaultExtension("/t/x", "qnl"), "/t/x.qnl");
    EXPECT_EQ(win32::AddDefaultExtension("/t.d/x", "pth"), "/t.d/x.pth");
    EXPECT_EQ(win32::AddDefaultExtension("/t/x.txt", "pth"), "/t/x.txt");
    EXPECT_EQ(win32::AddDefaultExtension("/t/x", ".log"), "/t/x.log");
    EXPECT_EQ(win32::AddDefaultExtension("/t/x", nullptr), "/t/x");

    TempDir temp;
    std::string existing = temp.Write("a.qnl", "a");
    std::string missing = temp / "none.qnl";
    std::string noFolder = temp / "gone/none.qnl";
    using win32::FileChoice;
    const struct
    {
        std::string m_strPath;
        DWORD m_nFlags;
        bool m_bSave;
        FileChoice m_Expected;
    } cases[] = {
        {existing, OFN_FILEMUSTEXIST, false, FileChoice::Accept},
        {missing, OFN_FILEMUSTEXIST, false, FileChoice::FileMissing},
        {missing, 0, false, FileChoice::Accept},
        {noFolder, OFN_FILEMUSTEXIST, false, FileChoice::PathMissing},
        {noFolder, OFN_PATHMUSTEXIST, true, FileChoice::PathMissing},
        {existing, OFN_OVERWRITEPROMPT, true, FileChoice::AskOverwrite},
        {existing, OFN_OVERWRITEPROMPT, false, FileChoice::Accept},
        {existing, 0, true, FileChoice::Accept},
        {missing, OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST, true, FileChoice::Accept},
        {temp.Path(), OFN_FILEMUSTEXIST, false, FileChoice::Folder},
        {temp / "*.qnl", OFN_FILEMUSTEXIST, false, FileChoice::Wildcard},
        {"", 0, false, FileChoice::Invalid},
    };
    for (const auto& c : cases)
        EXPECT_EQ(win32::CheckChosenFile(c.m_strPath, c.m_nFlags, c.m_bSave), c.m_Expected) << c.m_strPath;
}

TEST(FileDialogRulesTest, ListingShowsFoldersThenMatchingFilesSortedWithoutCase)
{
    TempDir temp;
    for (const char* name : {"b.qnl", "A.qnl", "c.txt", ".hidden.qnl", "Zed/x", "sub/y"})
        temp.Write(name, "x");
    auto entries = win32::ListFolder(temp.Path(), {"*.qnl"}, false);
    EXPECT_EQ(Names(entries), (std::vector<std::string>{"../", "sub/", "Zed/", "A.qnl", "b.qnl"}));
    entries = win32::ListFolder(temp.Path(), {"*.txt", "*.QNL"}, true);
    EXPECT_EQ(Names(entries), (std::vector<std::string>{"../", "sub/", "Zed/", ".hidden.qnl", "A.qnl", "b.qnl", "c.txt"}));
    EXPECT_EQ(Names(win32::ListFolder("/", {}, false)).front().substr(0, 2) == "..", false);
    EXPECT_EQ(Names(win32::ListFolder(temp / "missing", {"*.*"}, false)), std::vector<std::string>{"../"});
}

TEST_F(FileDialogTest, KeysWalkTheFilteredListingAndSnapshotsShowIt)
{
    // The listing under "*.qnl": "..", "sub", "A.qnl", "b.qnl" (no "notes.txt", no hidden file).
    TempDir shots;
    std::string strShot = shots / "open.png";
    OPENFILENAMEA ofn = Record(OFN_EXPLORER | OFN_FILEMUSTEXIST, "qnl");
    ASSERT_TRUE(Run(ofn, false,
                    "snapshot title:Open \"" + strShot + "\"\nkey Down\nkey Down\nkey Down\nkey Down\nkey Return\n"));
    EXPECT_EQ(std::string(m_szFile), m_Temp / "b.qnl");
    EXPECT_TRUE(m_bOwnerDisabledDuring);
    EXPECT_EQ(ofn.nFileOffset, m_Temp.Path().size() + 1);
    EXPECT_EQ(std::string(m_szFile + ofn.nFileExtension), "qnl");
    EXPECT_EQ(ofn.nFilterIndex, 1u);
    struct stat st{};
    EXPECT_EQ(stat(strShot.c_str(), &st), 0);

    // Enter on a folder opens it; Backspace in the list goes back up; the second filter lists
    // the text file too.
    ASSERT_TRUE(Run(ofn, false, "key Down\nkey Down\nkey Return\nkey Down\nkey Down\nkey Return\n"));
    EXPECT_EQ(std::string(m_szFile), m_Temp / "sub/inner.qnl");
    ASSERT_TRUE(Run(ofn, false, "key Tab\nkey Tab\nkey Down\nkey Shift+Tab\nkey End\nkey Return\n"));
    EXPECT_EQ(std::string(m_szFile), m_Temp / "notes.txt");
    EXPECT_EQ(ofn.nFilterIndex, 2u);
}

TEST_F(FileDialogTest, MouseClicksDoubleClicksAndTheCancelButton)
{
    OPENFILENAMEA ofn = Record(OFN_FILEMUSTEXIST, "qnl");
    // Client points of the dialog: list rows start at y 36 (16 each), Open at (391, 231),
    // Cancel at (391, 259).
    auto clickAt = [this](int x, int y, bool bDouble) {
        HWND hDlg = m_Driver.find("title:Open");
        ASSERT_NE(hDlg, nullptr);
        POINT pt{x, y};
        ClientToScreen(hDlg, &pt);
        for (int i = 0; i < (bDouble ? 2 : 1); ++i)
        {
            m_Driver.mouse(pt, 0, true);
            m_Driver.mouse(pt, 0, false);
        }
    };
    // Double click on "sub" (row 1), then a click on "inner.qnl" (row 1 there) and on Open.
    m_Driver.at(10, [&] { clickAt(100, 36 + 16 + 8, true); });
    m_Driver.at(20, [&] { clickAt(100, 36 + 16 + 8, false); });
    m_Driver.at(30, [&] { clickAt(391, 231, false); });
    ASSERT_TRUE(Run(ofn, false, ""));
    EXPECT_EQ(std::string(m_szFile), m_Temp / "sub/inner.qnl");

    m_Driver.at(10, [&] { clickAt(391, 259, false); });
    EXPECT_FALSE(Run(ofn, false, ""));
    EXPECT_EQ(CommDlgExtendedError(), 0u);
    EXPECT_FALSE(Run(ofn, false, "key Escape\n"));
    EXPECT_FALSE(Run(ofn, false, "answer cancel\n"));
}

TEST_F(FileDialogTest, TypedNamesGetTheDefaultExtensionAndMustExistRefuses)
{
    // Save: a bare typed name gets the default extension; no file needs to exist.
    OPENFILENAMEA ofn = Record(OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST, "qnl");
    ASSERT_TRUE(Run(ofn, true, "type \"newscene\\r\"\n"));
    EXPECT_EQ(std::string(m_szFile), m_Temp / "newscene.qnl");

    // Open with must-exist: a missing name is refused with a message and the dialog stays.
    ofn = Record(OFN_EXPLORER | OFN_FILEMUSTEXIST, "qnl");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Run(ofn, false, "answer file \"missing\"\nanswer msgbox IDOK\nanswer cancel\n"));
    std::string strErr = testing::internal::GetCapturedStderr();
    EXPECT_NE(strErr.find("missing.qnl\nFile not found."), std::string::npos) << strErr;
    // A name that is there as typed, and one found with the extension added.
    ASSERT_TRUE(Run(ofn, false, "answer file \"notes.txt\"\n"));
    EXPECT_EQ(std::string(m_szFile), m_Temp / "notes.txt");
    ASSERT_TRUE(Run(ofn, false, "answer file \"sub\\\\inner\"\n"));
    EXPECT_EQ(std::string(m_szFile), m_Temp / "sub/inner.qnl");

    // A typed folder opens it; a typed pattern filters the listing.
    ASSERT_TRUE(Run(ofn, false, "type \"sub\\r\"\nkey Down\nkey Down\nkey Return\n"));
    EXPECT_EQ(std::string(m_szFile), m_Temp / "sub/inner.qnl");
    ASSERT_TRUE(Run(ofn, false, "type \"*.txt\\r\"\nkey Down\nkey Down\nkey Down\nkey Return\n"));
    EXPECT_EQ(std::string(m_szFile), m_Temp / "notes.txt");
}

TEST_F(FileDialogTest, SavingOverAFileAsksFirstAndTheBufferMustHoldThePath)
{
    OPENFILENAMEA ofn = Record(OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST, "qnl");
    testing::internal::CaptureStderr();
    ASSERT_TRUE(Run(ofn, true,
                    "answer file \"b\"\nanswer msgbox IDNO\nanswer file \"A.qnl\"\nanswer msgbox IDYES\n"));
    std::string strErr = testing::internal::GetCapturedStderr();
    EXPECT_NE(strErr.find("b.qnl already exists."), std::string::npos) << strErr;
    EXPECT_EQ(std::string(m_szFile), m_Temp / "A.qnl");

    // A save into a folder that is not there is refused.
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Run(ofn, true, "answer file \"gone/x\"\nanswer msgbox IDOK\nanswer cancel\n"));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Path does not exist."), std::string::npos);

    // The initial name names the start folder and a pattern; a path too long for the buffer
    // fails with the size it needs.
    char szStart[MAX_PATH];
    std::snprintf(szStart, sizeof(szStart), "%s/sub/*.qnl", m_Temp.Path().c_str());
    char szSmall[8];
    std::strcpy(szSmall, "x");
    ofn = Record(0, "qnl");
    ofn.lpstrInitialDir = nullptr;
    ofn.lpstrFile = szStart;
    ofn.nMaxFile = sizeof(szStart);
    ASSERT_TRUE(Run(ofn, false, "key Down\nkey Down\nkey Return\n"));
    EXPECT_EQ(std::string(szStart), m_Temp / "sub/inner.qnl");
    ofn.lpstrFile = szSmall;
    ofn.nMaxFile = sizeof(szSmall);
    ofn.lpstrInitialDir = m_Temp.Path().c_str();
    EXPECT_FALSE(Run(ofn, false, "answer file \"A.qnl\"\n"));
    EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(FNERR_BUFFERTOOSMALL));
    WORD nNeeded = 0;
    std::memcpy(&nNeeded, szSmall, sizeof(nNeeded));
    EXPECT_EQ(nNeeded, (m_Temp / "A.qnl").size() + 1);
}

TEST_F(FileDialogTest, AScriptThatRunsOutInsideTheDialogFailsAtOnce)
{
    OPENFILENAMEA ofn = Record(OFN_FILEMUSTEXIST, "qnl");
    EXPECT_THROW(GetOpenFileNameA(&ofn), win32::ScriptExhausted);
    EXPECT_TRUE(IsWindowEnabled(m_hMain));
    EXPECT_EQ(m_Driver.find("title:Open"), nullptr);
}
