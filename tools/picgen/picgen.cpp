// picgen <media folder> <resource table source> <skin folder>: draws the program's pictures.
#include "MediaPictures.h"
#include "ToolkitPictures.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv)
{
    if (argc != 4)
    {
        std::fprintf(stderr, "usage: picgen <media folder> <resource table source> <skin folder>\n");
        return 2;
    }
    std::error_code error;
    std::filesystem::create_directories(argv[1], error);
    std::filesystem::create_directories(argv[3], error);
    bool bOk = WriteMediaFolder(argv[1]);
    bOk = WritePictureResourceTable(argv[2]) && bOk;
    bOk = WriteSkinFolder(argv[3]) && bOk;
    return bOk ? 0 : 1;
}
