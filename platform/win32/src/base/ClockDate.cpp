#include <win32/clock.h>

namespace win32
{
std::time_t ClockDate()
{
    if (IsClockVirtual())
        return static_cast<std::time_t>(ClockNow() / 1000000000LL);
    return std::time(nullptr);
}
}
