#pragma once
// Reading and writing a rectangle of a surface as float RGBA, for the surface copy and save
// functions. Reading takes any lockable surface and any render target (the back buffer among
// them); writing needs a lockable one. Formats: A8R8G8B8, X8R8G8B8, R5G6B5, L8, R32F and
// A32B32G32R32F; channels a format lacks read as 1.
#include <d3d9.h>

#include <vector>

// The surface's size as a rectangle; a null rect gives the whole surface. False when the
// rectangle is empty or leaves the surface.
bool ResolveSurfaceRect(IDirect3DSurface9* surface, const RECT* rect, RECT& resolved);
// Four floats per pixel, rows top to bottom.
HRESULT ReadSurfacePixels(IDirect3DSurface9* surface, const RECT& rect, std::vector<float>& rgba);
HRESULT WriteSurfacePixels(IDirect3DSurface9* surface, const RECT& rect, const std::vector<float>& rgba);
