#pragma once
// The toolbar resource ("TOOLBAR" by id): a version word (1), the image width and height, the
// button count, then one command id per button, 0 for a separator.
#include <win32/types.h>

#include <vector>

struct ToolBarResource
{
    int m_nWidth = 0;
    int m_nHeight = 0;
    std::vector<UINT> m_Ids;   // separators included, as 0
};

// False when the resource is missing, cut short or of another version.
bool ReadToolBarResource(UINT nId, ToolBarResource& toolbar);
