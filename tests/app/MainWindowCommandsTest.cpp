// The main window's commands as the menu and the accelerators send them: scene files opened,
// merged, imported and saved through the file dialog (answered by the test driver), files that
// cannot be read leaving the scene and the title alone, the display toggles with their stored
// values and menu ticks, the help pages handed to xdg-open, and the image commands.
#include "MainWindowFixture.h"

#include "../scene/L3DSFixtureBytes.h"
#include "../scene/XSceneFixture.h"

#include "3dapi/Renderer.h"
#include "app/CommandIds.h"
#include "core/FileIO.h"
#include "mfc_gui/TreeMessages.h"
#include "scene/PathFile.h"
#include "scene/RenderOptions.h"
#include "scene/SceneMesh.h"

#include <win32/accelerators.h>
#include <win32/menus.h>
#include <win32/registry.h>
#include <win32/shellapi.h>

#include <fstream>
#include <sstream>
#include <vector>

namespace
{
std::string ReadWhole(const std::string& strPath)
{
    std::stringstream text;
    text << std::ifstream(strPath, std::ios::binary).rdbuf();
    return text.str();
}

DWORD ReadToggle(const char* szValue)
{
    HKEY hKey = nullptr;
    DWORD dwValue = 0xFFFFFFFF, cbData = sizeof(dwValue);
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Oskel", 0, KEY_READ, &hKey) == ERROR_SUCCESS)
    {
        RegQueryValueExA(hKey, szValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&dwValue), &cbData);
        RegCloseKey(hKey);
    }
    return dwValue;
}
}

class MainWindowCommandsTest : public MainWindowTest
{
protected:
    uint32_t MeshCount() const { return m_pApp->m_Scene.m_Meshes.GetCount(); }
    // The frame's title names the document first.
    bool TitleNames(const std::string& strPath) const { return Title().rfind(strPath + " - ", 0) == 0; }
    // The command with the dialog answered by that file.
    void CommandWithFile(UINT nId, const std::string& strPath)
    {
        m_pDriver->answers().file(strPath);
        Command(nId);
        EXPECT_EQ(m_pDriver->answers().pending(), 0u) << "the command asked for a file";
    }
};

TEST_F(MainWindowCommandsTest, OpenMergeAndSaveGoThroughTheFileDialog)
{
    CommandWithFile(ID_FILE_OPEN_QNL, QUEN_SAMPLE_SCENE);
    const uint32_t nRoomMeshes = MeshCount();
    ASSERT_GT(nRoomMeshes, 0u);
    EXPECT_TRUE(TitleNames(QUEN_SAMPLE_SCENE)) << Title();
    for (uint32_t i = 0; i < nRoomMeshes; ++i)
        EXPECT_NE(static_cast<SceneMesh*>(m_pApp->m_Scene.m_Meshes.Get(i))->m_pVertexBuffer, nullptr);

    // Merge adds the meshes again and keeps the title.
    g_bSceneChanged = 0;
    CommandWithFile(ID_FILE_MERGE_QNL, QUEN_SAMPLE_SCENE);
    EXPECT_EQ(MeshCount(), 2 * nRoomMeshes);
    EXPECT_EQ(g_bSceneChanged, 1);
    EXPECT_TRUE(TitleNames(QUEN_SAMPLE_SCENE)) << Title();

    // Saved, reopened and saved again: the same bytes. Ctrl+S's command asks the same way.
    CommandWithFile(ID_FILE_SAVE_QNL, Path("saved.qnl"));
    CommandWithFile(ID_FILE_OPEN_QNL, Path("saved.qnl"));
    EXPECT_EQ(MeshCount(), 2 * nRoomMeshes);
    EXPECT_TRUE(TitleNames(Path("saved.qnl"))) << Title();
    CommandWithFile(ID_FILE_SAVE_QNL2, Path("again.qnl"));
    const std::string strSaved = ReadWhole(Path("saved.qnl"));
    EXPECT_GT(strSaved.size(), 100u);
    EXPECT_EQ(ReadWhole(Path("again.qnl")), strSaved);

    // The ".mvn" commands (no menu item) save and open the same scene.
    CommandWithFile(ID_FILE_SAVE_MVN, Path("saved.mvn"));
    CommandWithFile(ID_FILE_OPEN_MVN, Path("saved.mvn"));
    EXPECT_EQ(MeshCount(), 2 * nRoomMeshes);

    // A cancelled dialog changes nothing and says so.
    m_pDriver->answers().cancel();
    Command(ID_FILE_OPEN_QNL);
    EXPECT_EQ(MeshCount(), 2 * nRoomMeshes);
    EXPECT_TRUE(HasLogLine(LOG_WARNING, "CBaseFileDlg::OpenFile() - GetOpenFileName() return false."));
}

// A file that cannot be read keeps the scene, the materials and the title as they were: files the
// importers refuse and scene files that hold no scene, chosen in the dialog, and a scene file that
// is gone by the time it is read.
TEST_F(MainWindowCommandsTest, UnreadableFilesKeepTheSceneAndTitle)
{
    CommandWithFile(ID_FILE_OPEN_QNL, QUEN_SAMPLE_SCENE);
    const uint32_t nMeshes = MeshCount();
    const uint32_t nMaterials = m_pApp->m_Scene.m_Materials.GetCount();
    const std::string strTitle = Title();
    ASSERT_GT(nMeshes, 0u);
    struct Case
    {
        UINT m_nId;
        const char* m_szName;
        std::vector<uint8_t> m_Bytes;
        bool m_bTellsUser;   // the scene store's "cannot open file" box
    };
    const std::vector<uint8_t> garbage(300, 0xA7);
    const Case cases[] = {
        {ID_FILE_OPEN_3DS, "hostile.3ds", {0x4D, 0x4D, 0xFF, 0xFF, 0xFF, 0x7F}, false},
        {ID_FILE_MERGE_3DS, "text.3ds", {'n', 'o', 't', ' ', '3', 'd', 's'}, false},
        {ID_FILE_OPEN_X, "hostile.x", {'x', 'o', 'f', ' ', '0'}, false},
        {ID_FILE_MERGE_X, "empty.x", {}, false},
        {ID_FILE_OPEN_QNL, "garbage.qnl", garbage, true},
        {ID_FILE_MERGE_QNL, "text.qnl", {'n', 'o', 't', ' ', 'a', ' ', 's', 'c', 'e', 'n', 'e', '\n'}, true},
        {ID_FILE_OPEN_QNL, "empty.qnl", {}, true},
        {ID_FILE_OPEN_MVN, "garbage.mvn", garbage, true},
        {ID_FILE_MERGE_MVN, "cut.mvn", {0, 0, 0, 0, 'c', 'u', 't'}, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.m_szName);
        ASSERT_TRUE(WriteFileAtomic(Path(c.m_szName).c_str(), c.m_Bytes));
        if (c.m_bTellsUser)
            m_pDriver->answers().msgbox(IDOK);
        CommandWithFile(c.m_nId, Path(c.m_szName));
        EXPECT_EQ(m_pDriver->answers().pending(), 0u) << "the user was told";
        EXPECT_EQ(MeshCount(), nMeshes);
        EXPECT_EQ(m_pApp->m_Scene.m_Materials.GetCount(), nMaterials);
        EXPECT_EQ(Title(), strTitle);
        EXPECT_TRUE(HasLogLine(LOG_ERROR, Path(c.m_szName) + "\" could not be read"));
    }
    // The store's "cannot open file" box is answered.
    m_pDriver->answers().msgbox(IDOK);
    EXPECT_FALSE(m_pWindow->OpenSceneAs(ID_FILE_OPEN_QNL, Path("gone.qnl").c_str()));
    EXPECT_EQ(MeshCount(), nMeshes);
    EXPECT_EQ(Title(), strTitle);
}

// The 3DS and ".x" commands import the two-object fixture scene: open replaces, merge adds.
TEST_F(MainWindowCommandsTest, ImportCommandsReadThreeDsAndXFiles)
{
    const std::string str3ds = Path("scene.3ds"), strX = Path("scene.x");
    ASSERT_TRUE(WriteFileAtomic(str3ds.c_str(), l3ds_fixture::BuildScene()));
    ASSERT_TRUE(WriteFileAtomic(strX.c_str(), xscene_fixture::BuildXScene(false)));
    struct Case
    {
        UINT m_nId;
        std::string m_strPath;
        uint32_t m_nMeshes;
    };
    const Case cases[] = {
        {ID_FILE_OPEN_3DS, str3ds, 2},
        {ID_FILE_MERGE_X, strX, 4},
        {ID_FILE_OPEN_X, strX, 2},
        {ID_FILE_MERGE_3DS, str3ds, 4},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.m_nId);
        g_bSceneChanged = 0;
        CommandWithFile(c.m_nId, c.m_strPath);
        EXPECT_EQ(MeshCount(), c.m_nMeshes);
        EXPECT_EQ(g_bSceneChanged, 1);
        for (uint32_t i = 0; i < MeshCount(); ++i)
            EXPECT_NE(static_cast<SceneMesh*>(m_pApp->m_Scene.m_Meshes.Get(i))->m_pVertexBuffer, nullptr);
    }
    EXPECT_TRUE(TitleNames(strX)) << "the last open was the \".x\" file: " << Title();
    // There is no 3DS writer: the command says so and writes nothing.
    Command(ID_FILE_SAVE_3DS);
    EXPECT_TRUE(HasLogLine(LOG_WARNING, "saving 3DS files is not supported"));
}

// Each toggle flips its flag, stores it under the console's key, ticks its menu item and reaches
// what it names.
TEST_F(MainWindowCommandsTest, TogglesFlipStoreAndTickTheirItems)
{
    HMENU hMenu = CreateMenu();
    for (UINT nId = ID_TOGGLE_INVERT_MOUSE; nId <= ID_TOGGLE_DEBUG_INFO; ++nId)
        AppendMenuA(hMenu, MF_STRING, nId, "toggle");
    ASSERT_TRUE(::SetMenu(m_pWindow->m_hWnd, hMenu));
    struct Case
    {
        UINT m_nId;
        const char* m_szValue;
        bool RenderWindow::*m_pFlag;
    };
    const Case cases[] = {
        {ID_TOGGLE_INVERT_MOUSE, "InvertMouse", &RenderWindow::m_bInvertMouse},
        {ID_TOGGLE_VSYNC, "VSync", &RenderWindow::m_bVSync},
        {ID_TOGGLE_ANISOTROPIC, "Anisotropic", &RenderWindow::m_bAnisotropic},
        {ID_TOGGLE_DEBUG_INFO, "ShowDebugInfo", &RenderWindow::m_bShowDebugInfo},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.m_szValue);
        const bool bBefore = m_pWindow->*c.m_pFlag;
        for (int nTurn = 1; nTurn <= 2; ++nTurn)
        {
            Command(c.m_nId);
            const bool bNow = nTurn == 1 ? !bBefore : bBefore;
            EXPECT_EQ(m_pWindow->*c.m_pFlag, bNow);
            EXPECT_EQ(ReadToggle(c.m_szValue), bNow ? 1u : 0u);
            EXPECT_EQ((GetMenuState(hMenu, c.m_nId, MF_BYCOMMAND) & MF_CHECKED) != 0, bNow);
            if (c.m_nId == ID_TOGGLE_DEBUG_INFO)
            {
                EXPECT_EQ(m_pApp->m_bShowDebugInfo, bNow);
            }
        }
    }
}

// The help pages come with the program and open with xdg-open, each path one argument.
TEST_F(MainWindowCommandsTest, HelpPagesOpenWithTheDesktopHandler)
{
    std::vector<std::vector<std::string>> started;
    win32::SetSpawnFunction([&started](const std::vector<std::string>& args) {
        started.push_back(args);
        return true;
    });
    Command(ID_HELP_DOCUMENTATION);
    Command(ID_HELP_WEB_SITE);
    EXPECT_FALSE(RenderWindow::OpenHelpPage("htmlDoc\\Missing.html"));
    win32::SetSpawnFunction(nullptr);
    const std::string strData = std::filesystem::canonical(QUEN_DATA_DIR).string();
    ASSERT_EQ(started.size(), 2u);
    EXPECT_EQ(started[0], (std::vector<std::string>{"xdg-open", strData + "/htmlDoc/QuenlarisHelp.html"}));
    EXPECT_EQ(started[1], (std::vector<std::string>{"xdg-open", strData + "/Weblink.html"}));
    EXPECT_TRUE(HasLogLine(LOG_ERROR, "the help page \"htmlDoc\\Missing.html\" could not be opened"));
}

// The image commands load the chosen image as a texture; a camera path loads onto the camera.
TEST_F(MainWindowCommandsTest, ImageAndCameraPathCommandsLoadTheirFiles)
{
    g_nLoadedImageTexture = -1;
    CommandWithFile(ID_LOAD_IMAGE1, std::string(QUEN_DATA_DIR) + "/Media/white.jpg");
    EXPECT_GE(g_nLoadedImageTexture, 0);

    PathKey keys[3] = {};
    for (int i = 0; i < 3; ++i)
    {
        keys[i].m_vPosition = Vector3(10.0f * static_cast<float>(i), 0.0f, 0.0f);
        keys[i].m_qRotation = D3DXQUATERNION(0.0f, 0.0f, 0.0f, 1.0f);
    }
    ASSERT_TRUE(WritePathFile(Path("flight.pth").c_str(), keys, 3, 2.0f));
    CommandWithFile(ID_FILE_OPEN_CAMERA_PATH, Path("flight.pth"));
    EXPECT_EQ(m_pApp->m_Scene.m_Camera.m_nPathKeys, 3);
}

// Menu 128 as the menu bar loads it, and the frame's accelerators.
TEST(MainMenuTest, MenuAndAcceleratorsHoldTheCommands)
{
    win32::InstallBase();
    win32::Driver driver;
    RegisterMainMenuResources();
    HMENU hMenu = LoadMenuA(nullptr, MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_NE(hMenu, nullptr);
    ASSERT_EQ(GetMenuItemCount(hMenu), 3);
    const std::vector<UINT> file = {ID_FILE_OPEN_QNL,  ID_FILE_OPEN_3DS, ID_FILE_OPEN_X,    0,
                                    ID_FILE_SAVE_QNL,  ID_FILE_SAVE_3DS, 0,                 ID_FILE_MERGE_QNL,
                                    ID_FILE_MERGE_X,   ID_FILE_MERGE_3DS, 0,                ID_FILE_OPEN_CAMERA_PATH,
                                    ID_APP_EXIT};
    const std::vector<UINT> view = {ID_VIEW_STATUS_BAR};
    const std::vector<UINT> help = {ID_APP_ABOUT, ID_HELP_DOCUMENTATION, ID_HELP_WEB_SITE};
    const std::vector<UINT>* levels[] = {&file, &view, &help};
    const char* titles[] = {"&File", "&View", "&Help"};
    for (int i = 0; i < 3; ++i)
    {
        char szTitle[32] = "";
        GetMenuStringA(hMenu, static_cast<UINT>(i), szTitle, sizeof(szTitle), MF_BYPOSITION);
        EXPECT_STREQ(szTitle, titles[i]);
        HMENU hPopup = GetSubMenu(hMenu, i);
        ASSERT_EQ(GetMenuItemCount(hPopup), static_cast<int>(levels[i]->size())) << titles[i];
        for (size_t j = 0; j < levels[i]->size(); ++j)
        {
            UINT nId = (*levels[i])[j];
            if (nId == 0)
                EXPECT_TRUE(GetMenuState(hPopup, static_cast<UINT>(j), MF_BYPOSITION) & MF_SEPARATOR);
            else
                EXPECT_EQ(GetMenuItemID(hPopup, static_cast<int>(j)), nId);
        }
    }
    char szItem[64] = "";
    GetMenuStringA(hMenu, ID_HELP_WEB_SITE, szItem, sizeof(szItem), MF_BYCOMMAND);
    EXPECT_STREQ(szItem, "Visit Torvane Web Site ...");
    DestroyMenu(hMenu);

    HACCEL hAccel = LoadAcceleratorsA(nullptr, MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_NE(hAccel, nullptr);
    ACCEL entries[4] = {};
    ASSERT_EQ(CopyAcceleratorTableA(hAccel, entries, 4), 2);
    EXPECT_EQ(entries[0].key, 'O');
    EXPECT_EQ(entries[0].cmd, ID_FILE_OPEN_QNL);
    EXPECT_EQ(entries[1].key, 'S');
    EXPECT_EQ(entries[1].cmd, ID_FILE_SAVE_QNL2);
    EXPECT_EQ(entries[0].fVirt & FCONTROL, FCONTROL);
    DestroyAcceleratorTable(hAccel);
}

// The property tree's value notification reaching the main window names the changed object in a
// box before the textures are read again; a notification without an object is an error.
TEST_F(MainWindowCommandsTest, TreeValueNotificationNamesItsObjectAndANullOneIsAnError)
{
    SceneObject node;
    node.SetName("Wood");
    m_pDriver->answers().msgbox(IDOK);
    testing::internal::CaptureStderr();
    m_pWindow->SendMessage(WM_TREE_VALUECHANGED, reinterpret_cast<WPARAM>(&node), 0);
    const std::string strShown = testing::internal::GetCapturedStderr();
    EXPECT_EQ(m_pDriver->answers().pending(), 0u) << "no box was shown";
    EXPECT_NE(strShown.find("MessageBox \"Wood\": Reload the texture"), std::string::npos) << strShown;

    m_pWindow->SendMessage(WM_TREE_VALUECHANGED, 0, 0);
    EXPECT_TRUE(HasLogLine(LOG_ERROR, "RenderWindow::OnTreeTextureChange() - The node is null."));
}
