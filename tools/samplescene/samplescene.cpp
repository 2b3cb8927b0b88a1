// samplescene <path.qnl>: writes the sample room through the scene store's own writer.
#include "SampleRoom.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: samplescene <path.qnl>\n");
        return 2;
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(argv[1]).parent_path(), error);
    SceneStore store;
    if (!BuildSampleRoom(store) || !store.SaveQnlFile(argv[1]))
    {
        std::fprintf(stderr, "samplescene: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
