// Stands in for libFuzzer's driver in ordinary builds: runs the fuzz entry point once over
// every file named on the command line, or every file inside a named folder.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize);

namespace
{
void Replay(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
}
}

int main(int argc, char** argv)
{
    size_t nCount = 0;
    for (int i = 1; i < argc; ++i)
    {
        std::filesystem::path path(argv[i]);
        if (std::filesystem::is_directory(path))
        {
            for (const auto& entry : std::filesystem::directory_iterator(path))
            {
                if (entry.is_regular_file())
                {
                    Replay(entry.path());
                    ++nCount;
                }
            }
        }
        else
        {
            Replay(path);
            ++nCount;
        }
    }
    std::printf("replayed %zu inputs\n", nCount);
    return nCount > 0 ? 0 : 1;
}
