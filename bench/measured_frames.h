// What the benchmarks measure, shared by render_bench (x86 timings) and
// pass_counts (counted under qemu-arm and cachegrind), so that both measure
// the same frames from the same view.
#ifndef LANDSCAPE_BENCH_MEASURED_FRAMES_H
#define LANDSCAPE_BENCH_MEASURED_FRAMES_H

#include <cstdint>
#include <cstring>

#include "app/scaling.h"
#include "reference_passes.h"
#include "render/camera.h"
#include "tools/offscreen_frame.h"

// A move frame is a forward move and composition; a turn frame a turn, a
// forward move, the ray pass and composition; the others are one pass
// alone. Composition looks the terrain up itself; the baseline's
// counterpart is its sampling pass and its composition together.
enum class Measured { moveFrame, turnFrame, rays, compose };

// Where every measurement starts: the start-up tables, 20 forward steps from
// the start-up view at the given detail level, and one run of every pass,
// ours and the baseline's, so that every buffer a pass reads is filled.
// offscreen is a 320 x 240 frame.
inline void prepareMeasuredView(bool high, std::uint8_t* offscreen, ReferenceBuffers& baseline)
{
    startOffscreen(offscreen);
    switchDetail(high);
    for (int i = 0; i < 20; ++i)
        move(forwardStep);
    composeFrame();
    referenceBuildRays(baseline);
    referenceSampleTerrain(baseline);
    referenceComposeFrame(baseline, offscreen, screenColumns);
}

// One frame or pass of `what`, by the program's passes (ours) or the
// straightforward baseline's.
inline void runMeasured(Measured what, bool ours, std::uint8_t* offscreen, ReferenceBuffers& baseline)
{
    const bool frame = what == Measured::moveFrame || what == Measured::turnFrame;
    if (what == Measured::turnFrame)
        turn(rightTurn);
    if (frame)
        move(forwardStep);
    const bool rays = what == Measured::turnFrame || what == Measured::rays;
    const bool compose = frame || what == Measured::compose;
    if (ours) {
        if (rays)
            buildRays();
        if (compose)
            composeFrame();
    } else {
        if (rays)
            referenceBuildRays(baseline);
        if (compose) {
            referenceSampleTerrain(baseline);
            referenceComposeFrame(baseline, offscreen, screenColumns);
        }
    }
}

// Presenting, as the desktop and the handhelds do it: the measured view's
// high detail frame, a stand-in palette in a 32-bit layout.
inline void prepareScaling(std::uint8_t* offscreen, ReferenceBuffers& baseline)
{
    prepareMeasuredView(true, offscreen, baseline);
    std::uint32_t colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] = static_cast<std::uint32_t>(i * 0x010203);
    useColours(colours);
}

// One frame presented at factor into display (rows 320 x factor pixels) as
// every pass after a video mode's first presents it, the view between the
// bands, or as the floor, a plain copy of as many bytes from elsewhere.
inline void presentMeasured(bool floor, int factor, const std::uint8_t* offscreen, std::uint8_t* display)
{
    const int32_t rowBytes = screenColumns * factor * 4;
    static std::uint8_t source[std::size_t{320} * 240 * 4 * 4 * 4];
    if (floor)
        std::memcpy(display, source, std::size_t(rowBytes) * viewRows * factor);
    else
        scaleFrame(offscreen + bandRows * screenColumns, screenColumns, display, rowBytes, factor, viewRows);
}

#endif
