#pragma once
// The render clock: the frame driver, the frame-rate counter, the animations and the photon
// tracer read it. Same commands and rules as the application's TimerCommand, with its own state,
// and every time counted from its first command (so TimerAbsoluteTime keeps fine steps as a
// float however long the machine has been up).
#include "core/mvtimerdx.h"

// Seconds for the reading codes, 0 for the state-changing ones, -1 for a code outside 0 to 6.
float RenderTimerCommand(TimerCommandCode nCode);

// Forgets the clock's state, as if the program had just started (tests with their own tick source).
void ResetRenderTimer();
