// picgen <media folder> <resource table source>: draws the program's pictures.
#include "MediaPictures.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: picgen <media folder> <resource table source>\n");
        return 2;
    }
    std::error_code error;
    std::filesystem::create_directories(argv[1], error);
    bool bOk = WriteMediaFolder(argv[1]);
    bOk = WritePictureResourceTable(argv[2]) && bOk;
    return bOk ? 0 : 1;
}
