// Writes the seed corpora of the ".qnl" and ".pth" reader fuzz targets. ".qnl": the test fixture
// (two meshes, a spot light, the camera), a few small scenes, and cut and patched copies so that
// the replay also walks the refusal paths. ".pth": recorded-looking paths with either line end,
// and the malformed headers and short files the reader refuses.
#include "../scenefile/QnlFixture.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace
{
void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> Cut(const SceneBytes& bytes, size_t nSize)
{
    return std::vector<uint8_t>(bytes.Get().begin(), bytes.Get().begin() + std::min(nSize, bytes.Size()));
}

std::vector<uint8_t> PatchI32(std::vector<uint8_t> bytes, size_t nOffset, int32_t nValue)
{
    if (nOffset + 4 <= bytes.size())
        std::memcpy(bytes.data() + nOffset, &nValue, 4);
    return bytes;
}

std::vector<uint8_t> Text(const std::string& strText)
{
    return std::vector<uint8_t>(strText.begin(), strText.end());
}

int WriteQnlSeeds(const std::filesystem::path& folder)
{
    using namespace qnlfixture;
    const SceneBytes fixture = Scene();
    const size_t nGlass = SceneInfo().Size() + MeshRecord(Box()).Size();
    const size_t nGlassCounts = nGlass + 4 + 512 + 40 + 2293;
    const size_t nLight = nGlass + MeshRecord(Glass()).Size();
    SceneBytes lightOnly;
    lightOnly.Append(SceneInfo()).Append(LightRecord(1)).Append(LightRecord(9)).Append(End());
    SceneBytes helper;
    helper.Append(SceneInfo()).I32(TAG_HELPER).Text("helper").Text("").Fill(40).I32(1).I32(1).I32(1);
    helper.I32(0).I32(1).I32(1).Fill(24).I32(0).I32(0).I32(1).Fill(16).I32(2).I32(1).I32(1);
    helper.Append(CameraRecord(0.0f)).Append(End());

    const std::pair<const char*, std::vector<uint8_t>> seeds[] = {
        {"fixture", fixture.Get()},
        {"empty", SceneBytes().Append(SceneInfo()).Append(CameraRecord()).Append(End()).Get()},
        {"lights", lightOnly.Get()},
        {"helper", helper.Get()},
        {"cut-glass", Cut(fixture, nGlassCounts + 100)},
        {"cut-light", Cut(fixture, nLight + 300)},
        {"cut-camera", Cut(fixture, fixture.Size() - 50)},
        {"n-5", PatchI32(fixture.Get(), nGlassCounts, 5)},
        {"n-huge", PatchI32(fixture.Get(), nGlassCounts, 0x7FFFFFFF)},
        {"f-0", PatchI32(fixture.Get(), nGlassCounts + 4, 0)},
        {"tags", SceneBytes().I32(1).I32(7).I32(-1).Append(fixture).Get()},
    };
    for (const auto& [szName, bytes] : seeds)
        WriteBytes(folder / (std::string(szName) + ".qnl"), bytes);
    return static_cast<int>(sizeof(seeds) / sizeof(seeds[0]));
}

int WritePathSeeds(const std::filesystem::path& folder)
{
    const std::pair<const char*, std::string> seeds[] = {
        {"recorded", "4 2.000000\n 0.000000 0.000000 0.000000\n 0.000000 0.000000 0.000000 1.000000\n"
                     " 10.000000 0.000000 0.000000\n 0.000000 0.382683 0.000000 0.923880\n"
                     " 10.000000 0.000000 10.000000\n 0.000000 0.707107 0.000000 0.707107\n"
                     " 0.000000 5.000000 10.000000\n 0.000000 1.000000 0.000000 0.000000\n"},
        {"crlf", "2 1.000000\r\n 1.0 2.0 3.0\r\n 0.0 0.0 0.0 1.0\r\n 4.0 5.0 6.0\r\n 0.0 0.0 1.0 0.0\r\n"},
        {"empty-path", "0 0.000000\n"},
        {"zero-duration", "2 0.0\n 0 0 0\n 0 0 0 1\n 1 1 1\n 0 0 0 1\n"},
        {"negative-count", "-1 1.0\n"},
        {"short", "3 1.0\n 0 0 0\n 0 0 0 1\n 1 1"},
        {"huge-count", "2147483647 1.0\n 0 0 0\n 0 0 0 1\n"},
        {"no-header", "x"},
    };
    for (const auto& [szName, strText] : seeds)
        WriteBytes(folder / (std::string(szName) + ".pth"), Text(strText));
    return static_cast<int>(sizeof(seeds) / sizeof(seeds[0]));
}
}

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: scene_file_fuzz_seeds <folder>\n");
        return 2;
    }
    std::filesystem::path root(argv[1]);
    std::filesystem::create_directories(root / "qnl");
    std::filesystem::create_directories(root / "pth");
    int nWritten = WriteQnlSeeds(root / "qnl") + WritePathSeeds(root / "pth");
    std::printf("wrote %d seed files\n", nWritten);
    return 0;
}
