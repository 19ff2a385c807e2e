#include "app/pacing.h"

namespace {
// Times in milliseconds x passesPerSecond, in which one pass lasts exactly
// 1000 units.
const uint64_t passUnits = 1000;
// More than this late is a stall: the deadlines start afresh. Less is the
// jitter of a busy machine or of SDL's own presenting, made up by the
// passes after it running at once.
const uint64_t stallUnits = 4 * passUnits;
uint64_t due;   // when the next pass is due; 0: at once, the first time
}

uint32_t millisecondsToNextPass(uint32_t now)
{
    const uint64_t at = static_cast<uint64_t>(now) * passesPerSecond;
    // A pass is never due more than one pass ahead, unless the clock went
    // back (SDL_GetTicks wraps after 49.7 days): then, as after a stall,
    // the deadlines start afresh instead of waiting for the old ones.
    if (at < due && due - at <= passUnits)
        return static_cast<uint32_t>((due - at + passesPerSecond - 1) / passesPerSecond);
    if (at < due || at - due > stallUnits)
        due = at;
    due += passUnits;
    return 0;
}
