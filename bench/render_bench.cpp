// Timings of the three rendering passes and the frames built from them, at
// both detail levels, for the program's passes ("ours") and the
// straightforward baseline. Frames are composed into an off-screen
// 320 x 240 buffer; presenting is not timed.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "reference_passes.h"
#include "render/camera.h"
#include "render/frame.h"
#include "render/rays.h"
#include "startup_tables.h"

namespace {

std::vector<std::uint8_t> offscreen(320 * 240);
std::unique_ptr<ReferenceBuffers> baseline = std::make_unique<ReferenceBuffers>();

void prepare(benchmark::State& state)
{
    buildStartUpTables();
    recordScreenGeometry(offscreen.data(), 320, 1);
    if (state.range(0) == 0)
        selectLowDetail();
    for (int i = 0; i < 20; ++i)
        move(forwardStep);
    buildRays();
    sampleTerrain();
    referenceBuildRays(*baseline);
    referenceSampleTerrain(*baseline);
    state.SetLabel(state.range(0) ? "high detail" : "low detail");
}

// A move frame: sampling and composition. A turn frame: all three passes.
void oursMoveFrame(benchmark::State& state)
{
    prepare(state);
    for (auto _ : state) {
        move(forwardStep);
        sampleTerrain();
        composeFrame(offscreen.data());
        benchmark::ClobberMemory();
    }
}
void oursTurnFrame(benchmark::State& state)
{
    prepare(state);
    for (auto _ : state) {
        turn(2);
        buildRays();
        sampleTerrain();
        composeFrame(offscreen.data());
        benchmark::ClobberMemory();
    }
}
void oursBuildRays(benchmark::State& state)
{
    prepare(state);
    for (auto _ : state) {
        buildRays();
        benchmark::ClobberMemory();
    }
}
void oursSampleTerrain(benchmark::State& state)
{
    prepare(state);
    for (auto _ : state) {
        sampleTerrain();
        benchmark::ClobberMemory();
    }
}
void oursComposeFrame(benchmark::State& state)
{
    prepare(state);
    for (auto _ : state) {
        composeFrame(offscreen.data());
        benchmark::ClobberMemory();
    }
}

void baselineMoveFrame(benchmark::State& state)
{
    prepare(state);
    for (auto _ : state) {
        move(forwardStep);
        referenceSampleTerrain(*baseline);
        referenceComposeFrame(*baseline, offscreen.data(), 320);
        benchmark::ClobberMemory();
    }
}
void baselineTurnFrame(benchmark::State& state)
{
    prepare(state);
    for (auto _ : state) {
        turn(2);
        referenceBuildRays(*baseline);
        referenceSampleTerrain(*baseline);
        referenceComposeFrame(*baseline, offscreen.data(), 320);
        benchmark::ClobberMemory();
    }
}
void baselineBuildRays(benchmark::State& state)
{
    prepare(state);
    for (auto _ : state) {
        referenceBuildRays(*baseline);
        benchmark::ClobberMemory();
    }
}
void baselineSampleTerrain(benchmark::State& state)
{
    prepare(state);
    for (auto _ : state) {
        referenceSampleTerrain(*baseline);
        benchmark::ClobberMemory();
    }
}
void baselineComposeFrame(benchmark::State& state)
{
    prepare(state);
    for (auto _ : state) {
        referenceComposeFrame(*baseline, offscreen.data(), 320);
        benchmark::ClobberMemory();
    }
}

}  // namespace

// Argument: 1 = high detail (179 rows), 0 = low detail (120 rows).
BENCHMARK(oursMoveFrame)->Arg(1)->Arg(0);
BENCHMARK(baselineMoveFrame)->Arg(1)->Arg(0);
BENCHMARK(oursTurnFrame)->Arg(1)->Arg(0);
BENCHMARK(baselineTurnFrame)->Arg(1)->Arg(0);
BENCHMARK(oursBuildRays)->Arg(1)->Arg(0);
BENCHMARK(baselineBuildRays)->Arg(1)->Arg(0);
BENCHMARK(oursSampleTerrain)->Arg(1)->Arg(0);
BENCHMARK(baselineSampleTerrain)->Arg(1)->Arg(0);
BENCHMARK(oursComposeFrame)->Arg(1)->Arg(0);
BENCHMARK(baselineComposeFrame)->Arg(1)->Arg(0);

BENCHMARK_MAIN();
