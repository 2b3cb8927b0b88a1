#pragma once
// A scratch folder and byte-level file helpers for the image file tests.
#include "core/ByteStream.h"
#include "core/Log.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

class ImageFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "quen-images-XXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back(0);
        ASSERT_NE(mkdtemp(name.data()), nullptr);
        m_strDir = name.data();
        SetLogEcho(false);
        ClearLogLines();
    }
    void TearDown() override
    {
        std::filesystem::remove_all(m_strDir);
        SetLogEcho(true);
        ClearLogLines();
    }

    std::string Path(const std::string& name) const { return m_strDir + "/" + name; }

    std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) const
    {
        std::string path = Path(name);
        FILE* pFile = std::fopen(path.c_str(), "wb");
        EXPECT_NE(pFile, nullptr);
        if (pFile)
        {
            if (!bytes.empty())
                std::fwrite(bytes.data(), 1, bytes.size(), pFile);
            std::fclose(pFile);
        }
        return path;
    }

    std::vector<uint8_t> ReadFile(const std::string& path) const
    {
        std::vector<uint8_t> bytes;
        FILE* pFile = std::fopen(path.c_str(), "rb");
        if (!pFile)
            return bytes;
        int c;
        while ((c = std::fgetc(pFile)) != EOF)
            bytes.push_back(static_cast<uint8_t>(c));
        std::fclose(pFile);
        return bytes;
    }

    // True when an error line naming the operation was logged.
    static bool LoggedError(const char* szOperation)
    {
        for (const LogLine& line : GetLogLines())
            if (line.m_nType == LOG_ERROR && line.m_strText.find(szOperation) != std::string::npos)
                return true;
        return false;
    }

    std::string m_strDir;
};

inline uint32_t ReadU32At(const std::vector<uint8_t>& bytes, size_t nOffset)
{
    ByteReader reader(bytes);
    uint32_t n = 0;
    reader.Seek(nOffset);
    reader.ReadU32(n);
    return n;
}
