#pragma once
// The compositor: one desktop image of the screen's size, made again whenever a window drew.
#include "../gdi/Surface.h"

#include <memory>

std::shared_ptr<Surface> ComposedDesktop();
