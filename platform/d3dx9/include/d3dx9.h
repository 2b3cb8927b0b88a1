#pragma once
// D3DX 9 umbrella header: every part of the utility library the system uses.
#include <d3dx9math.h>
#include <d3dx9shader.h>
#include <d3dx9core.h>
#include <d3dx9mesh.h>
#include <d3dx9shape.h>
#include <d3dx9tex.h>
