// Writes the seed corpora of the editing interface's own files: "settings.dat" (a good file, and
// the same cut at every field boundary, with a wrong version, switches out of range and an
// unterminated skin directory) and the skin description's text form (complete, cut after each
// line, with overlong texts and numbers).
#include "mfc_gui/SkinUtil.h"
#include "mfc_gui/ViewSettings.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace
{
void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void PutInt32(std::vector<uint8_t>& bytes, size_t nOffset, int32_t n)
{
    for (int i = 0; i < 4; ++i)
        bytes[nOffset + i] = static_cast<uint8_t>(static_cast<uint32_t>(n) >> (8 * i));
}

int WriteSettingsSeeds(const std::filesystem::path& folder)
{
    std::filesystem::create_directories(folder);
    ViewSettings settings;
    ResetViewSettings(settings, "C:\\Quenlaris\\", nullptr);
    UpdateViewSettings(settings, ViewSettingsWindows());
    const std::vector<uint8_t> good = BuildViewSettingsFile(settings);
    int nWritten = 0;
    auto write = [&](const std::vector<uint8_t>& bytes) {
        WriteBytes(folder / ("settings-" + std::to_string(nWritten++) + ".dat"), bytes);
    };
    write(good);
    for (size_t nCut : {0u, 4u, 8u, 36u, 80u, 388u, 392u, 651u})
        write(std::vector<uint8_t>(good.begin(), good.begin() + nCut));
    std::vector<uint8_t> bytes = good;
    bytes.push_back(0);
    write(bytes);
    for (auto [nOffset, nValue] : {std::pair<size_t, int32_t>{0, 2}, {4, -1}, {32, 7}, {388, -5}})
    {
        bytes = good;
        PutInt32(bytes, nOffset, nValue);
        write(bytes);
    }
    bytes = good;
    std::memset(&bytes[392], 'x', VIEW_SETTINGS_DIR_SIZE);
    write(bytes);
    return nWritten;
}

int WriteSkinSeeds(const std::filesystem::path& folder)
{
    std::filesystem::create_directories(folder);
    const std::vector<std::string> lines = {
        "[SKIN]\n", "Skin Name: Blue\n", "Skin Author: Someone\n", "[DIALOG]\n", "Dialog_Height: 200 \n",
        "Dialog_Width: 500 \n", "Web_Btn: 1,2,3,4\n", "Fullscreen Btn: 5,6,7,8\n", "Move_Mode: 9,10,11,12\n",
        "Color_Key Buttons: 255,0,255\n", "Size_Background: 0,0,318,158\n", "Use_Border: 1\n",
        "Color_Key_Border: 1,2,3\n"};
    int nWritten = 0;
    auto write = [&](const std::string& text) {
        WriteBytes(folder / ("skin-" + std::to_string(nWritten++) + ".txt"), std::vector<uint8_t>(text.begin(), text.end()));
    };
    std::string text;
    for (const std::string& line : lines)
    {
        text += line;
        write(text);
    }
    write("[SKIN]\nSkin Name: " + std::string(200, 'n') + "\nSkin Author: " + std::string(300, 'a') + "\n");
    write("[SKIN]\nSkin Name: x\nSkin Author: y\n" + std::string(400, 'h') + "\nDialog_Height: 99999999999999999999 \n");
    return nWritten;
}
}

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: gui_file_fuzz_seeds <folder>\n");
        return 2;
    }
    const std::filesystem::path root(argv[1]);
    const int nSettings = WriteSettingsSeeds(root / "settings");
    const int nSkins = WriteSkinSeeds(root / "skin");
    std::printf("gui_file_fuzz_seeds: %d settings and %d skin seeds in %s\n", nSettings, nSkins, root.string().c_str());
    return 0;
}
