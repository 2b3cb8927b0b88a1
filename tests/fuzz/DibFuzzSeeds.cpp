// Writes the seed corpus of the toolkit's bitmap reader: small BMP files of every depth it
// reads, and the hostile variants of one that it must refuse.
#include "../gui/HostileBmp.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace
{
void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
}

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: dib_fuzz_seeds <folder>\n");
        return 2;
    }
    const std::filesystem::path folder = std::filesystem::path(argv[1]) / "dib";
    std::filesystem::create_directories(folder);
    int nWritten = 0;
    for (int nBits : {1, 4, 8, 24})
        for (int nWidth : {1, 5, 33})
        {
            WriteBytes(folder / ("good-" + std::to_string(nBits) + "-" + std::to_string(nWidth) + ".bmp"),
                       hostile_bmp::MakeBmp(nWidth, 3, nBits));
            ++nWritten;
        }
    for (const hostile_bmp::Variant& v : hostile_bmp::Variants())
        WriteBytes(folder / ("hostile-" + std::to_string(nWritten++) + ".bmp"), v.m_Bytes);
    std::printf("dib_fuzz_seeds: %d seeds in %s\n", nWritten, folder.string().c_str());
    return 0;
}
