// Timings of the rendering passes and the frames built from them, at
// both detail levels, for the program's passes ("ours") and the
// straightforward baseline. Frames are composed into an off-screen
// 320 x 240 buffer; presenting is not timed.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "measured_frames.h"

namespace {

std::vector<std::uint8_t> offscreen(screenColumns * screenRows);
std::unique_ptr<ReferenceBuffers> baseline = std::make_unique<ReferenceBuffers>();

// Argument: 1 = high detail (179 rows), 0 = low detail (120 rows).
void measure(benchmark::State& state, Measured what, bool ours)
{
    const bool high = state.range(0) != 0;
    prepareMeasuredView(high, offscreen.data(), *baseline);
    state.SetLabel(high ? "high detail" : "low detail");
    for (auto _ : state) {
        runMeasured(what, ours, offscreen.data(), *baseline);
        benchmark::ClobberMemory();
    }
}

}  // namespace

BENCHMARK_CAPTURE(measure, oursMoveFrame, Measured::moveFrame, true)->Arg(1)->Arg(0);
BENCHMARK_CAPTURE(measure, baselineMoveFrame, Measured::moveFrame, false)->Arg(1)->Arg(0);
BENCHMARK_CAPTURE(measure, oursTurnFrame, Measured::turnFrame, true)->Arg(1)->Arg(0);
BENCHMARK_CAPTURE(measure, baselineTurnFrame, Measured::turnFrame, false)->Arg(1)->Arg(0);
BENCHMARK_CAPTURE(measure, oursBuildRays, Measured::rays, true)->Arg(1)->Arg(0);
BENCHMARK_CAPTURE(measure, baselineBuildRays, Measured::rays, false)->Arg(1)->Arg(0);
BENCHMARK_CAPTURE(measure, oursComposeFrame, Measured::compose, true)->Arg(1)->Arg(0);
BENCHMARK_CAPTURE(measure, baselineComposeFrame, Measured::compose, false)->Arg(1)->Arg(0);

BENCHMARK_MAIN();
