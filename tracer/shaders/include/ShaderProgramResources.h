#pragma once
// The shader programs of tracer/shaders, embedded by the build and registered in the resource
// table at start-up (type "PSH" or "VSH", id = the file name).
#include <win32/resources.h>

// Every embedded program, in file-name order; *pCount receives how many.
const ResourceEntry* GetShaderProgramResources(size_t* pCount);
