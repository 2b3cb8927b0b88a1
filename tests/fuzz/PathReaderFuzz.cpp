// Fuzz entry point of the ".pth" camera-path reader: each input is loaded onto a node, whose
// path is then played at a few times inside and past its duration.
#include "FuzzScratchFile.h"

#include "scene/SceneNode.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const char* szPath = fuzz::WriteScratchFile(pData, nSize, "pth");
    if (!szPath)
        return 0;
    {
        SceneNode node;
        node.m_bPathPlaying = 1;
        if (node.LoadPath(szPath))
        {
            for (float fStep : {0.0f, 0.25f, 1.0f, 7.5f, 1000.0f})
                node.UpdatePath(fStep);
        }
    }
    ClearLogLines();
    return 0;
}
