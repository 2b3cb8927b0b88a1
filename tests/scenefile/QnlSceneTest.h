#pragma once
// Shared set-up of the scene-file tests: a scratch folder that is also the working directory
// of the media directory (with a "Media/white.jpg"), the option globals saved and restored, the
// log kept quiet, and every "cannot open file" message box answered and counted.
#include "SceneBytes.h"

#include "core/Log.h"
#include "core/PixelImage.h"
#include "scene/MediaDirectory.h"
#include "scene/ParticleSystem.h"
#include "scene/RenderOptions.h"

#include <gtest/gtest.h>
#include <win32/layer.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

class QnlSceneTest : public testing::Test
{
protected:
    void SetUp() override
    {
        char szDir[] = "/tmp/quen-scenefile-XXXXXX";
        ASSERT_NE(mkdtemp(szDir), nullptr);
        m_strDir = std::string(szDir) + "/";
        std::memcpy(m_szSavedWorkingDir, g_szWorkingDir, sizeof(m_szSavedWorkingDir));
        std::snprintf(g_szWorkingDir, sizeof(g_szWorkingDir), "%s", szDir);
        std::filesystem::create_directory(m_strDir + "Media");
        ASSERT_TRUE(WriteImage(m_strDir + "Media/white.jpg", 255));
        SaveOptions();
        SetLogEcho(false);
        ClearLogLines();
        win32::SetAnswerSource([this](const char* szKind, std::string& strValue) {
            ++m_nBoxes;
            strValue = "IDOK";
            return std::strcmp(szKind, "msgbox") == 0;
        });
        testing::internal::CaptureStderr();
    }

    void TearDown() override
    {
        testing::internal::GetCapturedStderr();
        win32::SetAnswerSource(nullptr);
        SetLogEcho(true);
        RestoreOptions();
        std::memcpy(g_szWorkingDir, m_szSavedWorkingDir, sizeof(m_szSavedWorkingDir));
        SetMediaDirectory();
        std::filesystem::remove_all(m_strDir);
    }

    std::string Path(const std::string& strName) const { return m_strDir + strName; }

    static bool WriteBytes(const std::string& strPath, const std::vector<uint8_t>& bytes)
    {
        std::ofstream file(strPath, std::ios::binary);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return file.good();
    }

    static std::vector<uint8_t> ReadBytes(const std::string& strPath)
    {
        std::ifstream file(strPath, std::ios::binary);
        return std::vector<uint8_t>((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    }

    // A 4 x 4 grey image of one value.
    static bool WriteImage(const std::string& strPath, uint8_t nValue)
    {
        PixelImage image;
        uint8_t* pPixels = AllocatePixels(16);
        std::memset(pPixels, nValue, 16);
        image.Adopt(pPixels, 4, 4, I8, true, false);
        return image.Save(strPath.c_str(), false, 90);
    }

    static int CountLog(const char* szText)
    {
        int nCount = 0;
        for (const LogLine& line : GetLogLines())
            nCount += line.m_strText.find(szText) != std::string::npos ? 1 : 0;
        return nCount;
    }

    std::string m_strDir;
    int m_nBoxes = 0;

private:
    struct Options
    {
        int32_t bTrace, bReflection, bDynamic, bStored1, bStored2, bWire, nCube, nLayer, nParticles;
        float fLayerScale, fMaterialScale;
        uint8_t bSceneChanged;
    };
    void SaveOptions()
    {
        m_Options = {g_bTracePhoton, g_bReflection, g_bDynamicCubeMap, g_bStoredOption1, g_bStoredOption2,
                     g_bForceWireframe, g_nCubePasses, g_nLayerPasses, g_nParticleSystems, g_fLayerScale,
                     g_fMaterialScale, g_bSceneChanged};
    }
    void RestoreOptions()
    {
        g_bTracePhoton = m_Options.bTrace;
        g_bReflection = m_Options.bReflection;
        g_bDynamicCubeMap = m_Options.bDynamic;
        g_bStoredOption1 = m_Options.bStored1;
        g_bStoredOption2 = m_Options.bStored2;
        g_bForceWireframe = m_Options.bWire;
        g_nCubePasses = m_Options.nCube;
        g_nLayerPasses = m_Options.nLayer;
        g_nParticleSystems = m_Options.nParticles;
        g_fLayerScale = m_Options.fLayerScale;
        g_fMaterialScale = m_Options.fMaterialScale;
        g_bSceneChanged = m_Options.bSceneChanged;
    }

    Options m_Options{};
    char m_szSavedWorkingDir[MEDIA_PATH_SIZE] = {};
};
