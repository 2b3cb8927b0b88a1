// Writes the seed corpus of the 3DS reader's fuzz target: the tests' small scene (two meshes, a
// material with maps, a camera, a spot light, unknown chunks) and patched and cut copies, so that
// the replay also walks the refusal paths.
#include "../scene/L3DSFixtureBytes.h"

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

std::vector<uint8_t> Patched16(std::vector<uint8_t> bytes, size_t nOffset, uint16_t n)
{
    l3ds_fixture::PatchU16(bytes, nOffset, n);
    return bytes;
}

std::vector<uint8_t> Patched32(std::vector<uint8_t> bytes, size_t nOffset, uint32_t n)
{
    l3ds_fixture::PatchU32(bytes, nOffset, n);
    return bytes;
}
}

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: l3ds_fuzz_seeds <folder>\n");
        return 2;
    }
    std::filesystem::path folder = std::filesystem::path(argv[1]) / "3ds";
    std::filesystem::create_directories(folder);

    l3ds_fixture::SceneOffsets o;
    const std::vector<uint8_t> scene = l3ds_fixture::BuildScene(&o);
    const std::pair<const char*, std::vector<uint8_t>> seeds[] = {
        {"scene", scene},
        {"cut-half", std::vector<uint8_t>(scene.begin(), scene.begin() + static_cast<ptrdiff_t>(scene.size() / 2))},
        {"vertex-chunk-long", Patched32(scene, o.nBoxVertexChunkLength, 100000)},
        {"vertex-chunk-zero", Patched32(scene, o.nBoxVertexChunkLength, 0)},
        {"vertex-count-huge", Patched16(scene, o.nBoxVertexCount, 65535)},
        {"face-count-huge", Patched16(scene, o.nBoxFaceCount, 65535)},
        {"face-index-bad", Patched16(scene, o.nBoxFirstFaceIndex, 999)},
        {"group-face-bad", Patched16(scene, o.nGroupFirstFace, 999)},
        {"lens-zero", Patched32(scene, o.nCameraLens, 0)},
    };
    for (const auto& [szName, bytes] : seeds)
        WriteBytes(folder / (std::string(szName) + ".3ds"), bytes);
    std::printf("wrote %zu seed files\n", sizeof(seeds) / sizeof(seeds[0]));
    return 0;
}
