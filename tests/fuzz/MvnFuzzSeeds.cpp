// Writes the seed corpus of the ".mvn" reader's fuzz target: the test fixture (two meshes sharing
// a material, a camera, a helper with a key track, a spot light, an unknown tag), a few small
// scenes, and cut and patched copies so that the replay also walks the refusal paths.
#include "../scenefile/MvnFixtureBytes.h"

#include <cstdint>
#include <cstdio>
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

std::vector<uint8_t> PatchI32(std::vector<uint8_t> bytes, size_t nOffset, int32_t nValue)
{
    for (int i = 0; i < 4 && nOffset + i < bytes.size(); ++i)
        bytes[nOffset + i] = static_cast<uint8_t>(static_cast<uint32_t>(nValue) >> (8 * i));
    return bytes;
}
}

int main(int argc, char** argv)
{
    using namespace mvnfixture;
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: mvn_fuzz_seeds <folder>\n");
        return 2;
    }
    std::filesystem::path folder = std::filesystem::path(argv[1]) / "mvn";
    std::filesystem::create_directories(folder);

    const std::vector<uint8_t> fixture = FixtureFile();
    SceneBytes empty;
    SceneInfo(empty);
    End(empty);
    SceneBytes lights;
    SpotLight(lights, "a");
    SpotLight(lights, "b");
    SceneBytes helper;
    Helper(helper, 3);
    Geometry(helper, "after helper", 1);

    const size_t nWallCounts = WALL_START + 4 + 512 + 40 + 256 + 2260;
    const std::pair<const char*, std::vector<uint8_t>> seeds[] = {
        {"fixture", fixture},
        {"empty", empty.Get()},
        {"lights", lights.Get()},
        {"helper", helper.Get()},
        {"cut-light", std::vector<uint8_t>(fixture.begin(), fixture.begin() + LIGHT_START + 100)},
        {"cut-wall", std::vector<uint8_t>(fixture.begin(), fixture.begin() + END_START - 7)},
        {"n-5", PatchI32(fixture, nWallCounts, 5)},
        {"n-huge", PatchI32(fixture, nWallCounts, 0x7FFFFFFF)},
        {"f-0", PatchI32(PatchI32(fixture, nWallCounts, 0), nWallCounts + 4, 0)},
        {"track-step-0", PatchI32(fixture, HELPER_START + 4 + 512 + 40 + 12 + 8, 0)},
    };
    for (const auto& [szName, bytes] : seeds)
        WriteBytes(folder / (std::string(szName) + ".mvn"), bytes);
    std::printf("wrote %zu seed scenes\n", sizeof(seeds) / sizeof(seeds[0]));
    return 0;
}
