#include "app/pacing.h"

namespace {
// Times in milliseconds x passesPerSecond, in which one pass lasts exactly
// 1000 units.
const uint64_t passUnits = 1000;
uint64_t due;   // when the next pass is due; 0: at once, the first time
}

uint32_t millisecondsToNextPass(uint32_t now)
{
    const uint64_t at = static_cast<uint64_t>(now) * passesPerSecond;
    if (at < due)
        return static_cast<uint32_t>((due - at + passesPerSecond - 1) / passesPerSecond);
    if (at - due > passUnits)
        due = at;
    due += passUnits;
    return 0;
}
