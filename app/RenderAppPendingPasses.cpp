// Passes of the renderers that others call and that are not built yet. Each does nothing until
// its renderer defines it in raster/ or tracer/, which then removes it from this file.
#include "app/RenderApp.h"
