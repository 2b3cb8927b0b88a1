#include "3dapi/RenderTimer.h"

namespace
{
CommandClock& RenderClock()
{
    static CommandClock s_Clock(true);
    return s_Clock;
}
}

float RenderTimerCommand(TimerCommandCode nCode)
{
    return RenderClock().Command(nCode);
}

void ResetRenderTimer()
{
    RenderClock() = CommandClock(true);
}
