// Timings of the rendering passes and the frames built from them, at
// both detail levels, for the program's passes ("ours") and the
// straightforward baseline, composed into an off-screen 320 x 240 buffer;
// and of presenting a frame at 1x to 4x into a 32-bit buffer, as the
// desktop and the handhelds do, beside a plain copy of as many bytes (the
// floor) (SDL's own part of presenting is not timed).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>
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

// Argument: the scale. The frame is the measured view's; the colours a
// stand-in palette in a 32-bit layout. floor: a plain memcpy of the same
// display bytes instead.
void presentScaled(benchmark::State& state, bool floor)
{
    const int factor = static_cast<int>(state.range(0));
    std::vector<std::uint32_t> display(std::size_t{320} * 240 * factor * factor);
    prepareScaling(offscreen.data(), *baseline);
    state.SetLabel(std::to_string(320 * factor) + " x " + std::to_string(240 * factor));
    for (auto _ : state) {
        presentMeasured(floor, factor, offscreen.data(), reinterpret_cast<std::uint8_t*>(display.data()));
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

BENCHMARK_CAPTURE(presentScaled, ours, false)->DenseRange(1, 4);
BENCHMARK_CAPTURE(presentScaled, memcpy, true)->DenseRange(1, 4);

BENCHMARK_MAIN();
