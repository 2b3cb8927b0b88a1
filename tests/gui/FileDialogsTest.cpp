// The program's file questions: each passes its own filter and default extension, a cancel is
// logged, a new scene can be saved, and the chosen path splits into name and folder.
#include "../win32/TempDir.h"
#include "mfc_gui/BaseFileDlg.h"

#include <core/Log.h>
#include <win32/testing.h>

#include <gtest/gtest.h>

#include <functional>

namespace
{
class FileDialogsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // One file per kind; the text file matches none of the program's own filters.
        for (const char* szName : {"look.skin", "notes.txt", "scene.3ds", "scene.mvn", "scene.qnl", "scene.x", "tex.dds"})
            m_Temp.Write(szName, "x");
        ClearLogLines();
        SetLogEcho(false);
    }
    void TearDown() override { SetLogEcho(true); }

    int Run(const std::string& strScript, const std::function<int()>& fnDialog)
    {
        std::string strError;
        EXPECT_TRUE(m_Driver.loadScript(strScript, strError)) << strError;
        return fnDialog();
    }

    win32::Driver m_Driver;
    TempDir m_Temp;
    CBaseFileDlg m_Dlg;
    char m_szPath[MAX_PATH] = "";
};

using Operation = int (CBaseFileDlg::*)(HWND, char*, const char*);

struct OperationCase
{
    const char* m_szName;
    Operation m_pfn;
    bool m_bSave;
    const char* m_szOnlyListed;   // the one file the filter's first entry lists
    const char* m_szExtension;    // added to a bare typed name
};

const OperationCase OPERATIONS[] = {
    {"OpenMvnFile", &CBaseFileDlg::OpenMvnFile, false, "scene.mvn", "mvn"},
    {"OpenQnlFile", &CBaseFileDlg::OpenQnlFile, false, "scene.qnl", "qnl"},
    {"OpenXFile", &CBaseFileDlg::OpenXFile, false, "scene.x", "x"},
    {"Open3dsFile", &CBaseFileDlg::Open3dsFile, false, "scene.3ds", "3ds"},
    {"OpenSkinFile", &CBaseFileDlg::OpenSkinFile, false, "look.skin", "skin"},
    {"SaveMvnFile", &CBaseFileDlg::SaveMvnFile, true, "scene.mvn", "mvn"},
    {"SaveQnlFile", &CBaseFileDlg::SaveQnlFile, true, "scene.qnl", "qnl"},
    {"SaveXFile", &CBaseFileDlg::SaveXFile, true, "scene.x", "x"},
    {"SaveSkinFile", &CBaseFileDlg::SaveSkinFile, true, "look.skin", "skin"},
};
}

TEST_F(FileDialogsTest, EachOperationListsItsFilesAndAddsItsExtension)
{
    for (const OperationCase& c : OPERATIONS)
    {
        SCOPED_TRACE(c.m_szName);
        const char* szDir = m_Temp.Path().c_str();
        // The listing is "..", then the only file the filter lets through; choosing an existing
        // file in a save dialog asks first.
        std::string strScript = "key Down\nkey Down\nkey Return\n";
        if (c.m_bSave)
            strScript += "answer msgbox IDYES\n";
        ASSERT_EQ(Run(strScript, [&] { return (m_Dlg.*c.m_pfn)(nullptr, m_szPath, szDir); }), 1);
        EXPECT_EQ(std::string(m_szPath), m_Temp / c.m_szOnlyListed);
        EXPECT_EQ(std::string(m_Dlg.GetFilePath()), m_Temp / c.m_szOnlyListed);

        // A bare name gets the extension: opening finds the file, saving may name a new one.
        const std::string strBare = c.m_bSave ? "fresh" : std::string(c.m_szOnlyListed).substr(0, std::string(c.m_szOnlyListed).find('.'));
        ASSERT_EQ(Run("answer file \"" + strBare + "\"\n",
                      [&] { return (m_Dlg.*c.m_pfn)(nullptr, m_szPath, szDir); }), 1);
        EXPECT_EQ(std::string(m_szPath), m_Temp / (strBare + "." + c.m_szExtension));
    }
    // Images: three extensions, no default one.
    m_Temp.Write("b.tga", "x");
    m_Temp.Write("c.JPG", "x");
    std::string strScript = "type \"" + m_Temp.Path() + "\\r\"\nkey Down\nkey Down\nkey Down\nkey Down\nkey Return\n";
    ASSERT_EQ(Run(strScript, [&] { return m_Dlg.OpenImageFile(nullptr, m_szPath); }), 1);
    EXPECT_EQ(std::string(m_szPath), m_Temp / "tex.dds");
}

TEST_F(FileDialogsTest, ACancelReturnsZeroAndTheOpenDialogLogsIt)
{
    std::strcpy(m_szPath, "kept");
    EXPECT_EQ(Run("answer cancel\n", [&] { return m_Dlg.OpenQnlFile(nullptr, m_szPath, nullptr); }), 0);
    EXPECT_EQ(std::string(m_szPath), "kept");
    EXPECT_EQ(std::string(m_Dlg.GetFilePath()), "");
    ASSERT_EQ(GetLogLines().size(), 1u);
    EXPECT_EQ(GetLogLines()[0].m_nType, LOG_WARNING);
    EXPECT_EQ(GetLogLines()[0].m_strText, "CBaseFileDlg::OpenFile() - GetOpenFileName() return false.");

    // The save dialog's cancel is an information line, which the log does not keep.
    ClearLogLines();
    EXPECT_EQ(Run("key Escape\n", [&] { return m_Dlg.SaveQnlFile(nullptr, m_szPath, m_Temp.Path().c_str()); }), 0);
    EXPECT_EQ(std::string(m_szPath), "kept");
    EXPECT_TRUE(GetLogLines().empty());
}

TEST_F(FileDialogsTest, SavingAsksBeforeReplacingAndWantsAnExistingFolder)
{
    const char* szDir = m_Temp.Path().c_str();
    // "No" to replacing scene.qnl keeps the dialog open for another name.
    ASSERT_EQ(Run("answer file \"scene\"\nanswer msgbox IDNO\nanswer file \"other\"\n",
                  [&] { return m_Dlg.SaveQnlFile(nullptr, m_szPath, szDir); }), 1);
    EXPECT_EQ(std::string(m_szPath), m_Temp / "other.qnl");
    EXPECT_EQ(Run("answer file \"gone/new\"\nanswer msgbox IDOK\nanswer cancel\n",
                  [&] { return m_Dlg.SaveQnlFile(nullptr, m_szPath, szDir); }), 0);
}

TEST_F(FileDialogsTest, ThePathSplitsIntoNameAndFolderWithItsSeparator)
{
    char szDir[MAX_PATH] = "";
    EXPECT_EQ(m_Dlg.CopyFileDir(szDir), 0);   // nothing chosen yet: no folder
    EXPECT_EQ(m_Dlg.CopyFileDir(nullptr), 0);
    ASSERT_EQ(Run("answer file \"scene.qnl\"\n", [&] { return m_Dlg.OpenQnlFile(nullptr, nullptr, m_Temp.Path().c_str()); }), 1);
    EXPECT_EQ(std::string(m_Dlg.GetFileName()), "scene.qnl");
    EXPECT_EQ(std::string(m_Dlg.GetFileDir()), m_Temp.Path() + "/");
    ASSERT_EQ(m_Dlg.CopyFileDir(szDir), 1);
    EXPECT_EQ(std::string(szDir), m_Temp.Path() + "/");

    // A caller's buffer too small for the path gets nothing and an error.
    char szSmall[8] = "kept";
    EXPECT_EQ(Run("answer file \"scene.qnl\"\n", [&] {
                  return m_Dlg.OpenFile(nullptr, szSmall, nullptr, m_Temp.Path().c_str(), nullptr, nullptr,
                                        sizeof(szSmall));
              }), 0);
    EXPECT_EQ(std::string(szSmall), "kept");
    ASSERT_FALSE(GetLogLines().empty());
    EXPECT_EQ(GetLogLines().back().m_nType, LOG_ERROR);
}
