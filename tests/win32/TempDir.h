#pragma once
// A fresh folder below the system's temporary folder, removed with everything in it.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class TempDir
{
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "quen-win32-XXXXXX").string();
        m_strPath = mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_strPath, ec);
    }
    const std::string& Path() const { return m_strPath; }
    std::string operator/(const std::string& rel) const { return m_strPath + "/" + rel; }

    // Writes a file, creating its folders.
    std::string Write(const std::string& rel, const std::string& text) const
    {
        std::string path = *this / rel;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

private:
    std::string m_strPath;
};

inline std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
