// Writes the seed corpus of the ".x" fuzz target: the two-frame test model in the text form and
// in the binary form with 32- and 64-bit floats, a file declaring its own template, meshes with
// references and polygons, and cut and patched copies so that the replay walks the refusals.
#include "../dxfile/XFileWriter.h"

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

std::vector<uint8_t> Model(bool bBinary, bool bDoubles)
{
    XFileWriter w(bBinary, bDoubles);
    WriteTwoFrameModel(w);
    return w.Bytes();
}

std::vector<uint8_t> Text(const std::string& body)
{
    XFileWriter w(false);
    w.Raw(body);
    return w.Bytes();
}
}

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: xfile_fuzz_seeds <folder>\n");
        return 2;
    }
    std::filesystem::path folder = std::filesystem::path(argv[1]) / "x";
    std::filesystem::create_directories(folder);

    std::vector<std::pair<std::string, std::vector<uint8_t>>> seeds = {
        {"model_txt.x", Model(false, false)},
        {"model_bin32.x", Model(true, false)},
        {"model_bin64.x", Model(true, true)},
        {"own_template.x",
         Text("template Pair { <01020304-0506-0708-090A-0B0C0D0E0F10> DWORD n; array WORD v[n]; STRING s; }\n"
              "Pair p { 2; 7, 8; \"x\"; }\n")},
        {"references.x",
         Text("Material Red { 1;0;0;1;; 5; 0;0;0;; 0;0;0;; }\n"
              "Mesh Tri { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3; 0,1,2;; MeshMaterialList { 1; 1; 0;; { Red } } }\n"
              "Frame F { FrameTransformMatrix { 1,0,0,0,0,1,0,0,0,0,1,0,2,0,0,1;; } { Tri } Frame G { { Tri } } }\n")},
        {"polygons.x", Text("Mesh { 5; 0;0;0;, 0;1;0;, 1;1;0;, 1;0;0;, 0.5;-1;0;; 2; 5; 0,1,2,3,4;, 3; 0,2,4;; "
                            "MeshNormals { 1; 0;0;-1;; 2; 5; 0,0,0,0,0;, 3; 0,0,0;; } }\n")},
    };
    // Cuts of the binary model at a spread of places, and its counts patched high.
    const std::vector<uint8_t> binary = Model(true, false);
    for (size_t nCut = 16; nCut < binary.size(); nCut += binary.size() / 12)
        seeds.push_back({"cut_" + std::to_string(nCut) + ".x", std::vector<uint8_t>(binary.begin(), binary.begin() + nCut)});
    for (size_t nAt = 20; nAt + 4 < binary.size(); nAt += binary.size() / 10)
    {
        std::vector<uint8_t> patched = binary;
        patched[nAt] = 0xFF;
        patched[nAt + 1] = 0xFF;
        seeds.push_back({"patched_" + std::to_string(nAt) + ".x", patched});
    }
    for (const auto& [name, bytes] : seeds)
        WriteBytes(folder / name, bytes);
    return 0;
}
