// The main loop's pace: at most 60 passes a second, each pass due 1000/60 ms
// after the one before (16, 17, 17, 16, ... ms apart), so that the long-run
// rate is 60.0 and flight speed does not depend on the machine.
#ifndef LANDSCAPE_APP_PACING_H
#define LANDSCAPE_APP_PACING_H

#include <stdint.h>

const uint32_t passesPerSecond = 60;

// At time now (milliseconds from any fixed start): 0 if a pass is due, in
// which case the deadline advances by one pass; otherwise the whole
// milliseconds to wait until it is. A pass found more than four passes late
// (a stall: a dragged window, a suspended machine) takes the deadlines
// afresh from now: the passes missed are not caught up. Less late, the
// passes run at once until they are on time again. A clock that went back
// (it wraps after about 49.7 days) starts them afresh too.
uint32_t millisecondsToNextPass(uint32_t now);

#endif
