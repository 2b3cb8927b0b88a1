#pragma once
// Byte sizes of the declaration types, shared by the FVF functions and mesh cloning.
#include <d3d9types.h>

UINT FvfElementSize(BYTE type);
