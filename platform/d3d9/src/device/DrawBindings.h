#pragma once
// Turns the bindings of the device state into the plain images, bytes and programs a draw
// command carries to the back end.
#include "device/Backend.h"
#include "device/DeviceState.h"

// False when the bindings cannot be drawn with: no target 0, targets of different sizes, a depth
// surface smaller than the target, no vertex data or no index buffer for an indexed draw.
bool ResolveDrawResources(const DeviceState& state, DrawCommand& command);

// Empties a command for the next draw (no data, no bindings), keeping the storage of its sampler
// image lists so that a steady stream of draws allocates nothing.
void ResetDrawCommand(DrawCommand& command);
