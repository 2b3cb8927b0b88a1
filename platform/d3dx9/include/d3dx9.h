#pragma once
// D3DX 9 umbrella header: every part of the utility library the system uses.
#include <d3dx9math.h>
#include <d3dx9shader.h>
