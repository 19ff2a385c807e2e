#include "app/scaling.h"

#include <string.h>

#include "render/screen.h"

// Presenting is the platform's own loop, not one of the renderer's passes:
// its counters live in registers. Up to 4x a frame pixel's run in each of
// its display rows is one copy of 4, 8 or 16 bytes from a table that holds
// each colour once, twice or four times over, so that each frame pixel
// costs one index load, one load of its run and one store per display row.
namespace {
const int32_t displayBytesPerPixel = 4;
// A palette entry's display pixel `pixels` times over, read and written
// as one value.
template <int32_t pixels>
struct Run {
    uint32_t pixel[pixels];
};
Run<1> runs1[256];
Run<2> runs2[256];
Run<4> runs4[256];

// The share of the display, in percent, that a new window's frame fits.
const int32_t windowPercent = 90;

// Factors 1 to 4 copy runs of runPixels from a table: at 3x that is 16
// bytes for a 12-byte run, the 4 bytes over it overwritten by the next
// pixel's run, and the last pixel of each row copies its 12 bytes alone.

// Copies `bytes` of a run into the factor display rows from at down. The
// run is a copy in registers: the stores cannot change it.
template <int32_t factor, int32_t bytes, typename PixelRun>
void putRun(uint8_t* at, const PixelRun run, int32_t outPitch)
{
    memcpy(at, &run, bytes);
    if (factor > 1)
        memcpy(at + outPitch, &run, bytes);
    if (factor > 2)
        memcpy(at + 2 * outPitch, &run, bytes);
    if (factor > 3)
        memcpy(at + 3 * outPitch, &run, bytes);
}

// Eight frame pixels from source on, their runs from at on.
template <int32_t factor, int32_t runPixels>
void putEight(const Run<runPixels>* runs, const uint8_t* source, uint8_t* at, int32_t outPitch)
{
    const int32_t exactBytes = factor * displayBytesPerPixel;
    const int32_t runBytes = runPixels * displayBytesPerPixel;
    putRun<factor, runBytes>(at, runs[source[0]], outPitch);
    putRun<factor, runBytes>(at + exactBytes, runs[source[1]], outPitch);
    putRun<factor, runBytes>(at + 2 * exactBytes, runs[source[2]], outPitch);
    putRun<factor, runBytes>(at + 3 * exactBytes, runs[source[3]], outPitch);
    putRun<factor, runBytes>(at + 4 * exactBytes, runs[source[4]], outPitch);
    putRun<factor, runBytes>(at + 5 * exactBytes, runs[source[5]], outPitch);
    putRun<factor, runBytes>(at + 6 * exactBytes, runs[source[6]], outPitch);
    putRun<factor, runBytes>(at + 7 * exactBytes, runs[source[7]], outPitch);
}

// Eight pixels a step, then the pixels left, the last of them with its
// exact run (at 3x the runs copied are wider than the pixel's).
template <int32_t factor, int32_t runPixels>
void scaleBy(const Run<runPixels>* runs, const uint8_t* frame, int32_t framePitch, uint8_t* out, int32_t outPitch,
             int32_t rows)
{
    const int32_t exactBytes = factor * displayBytesPerPixel;
    const int32_t step = 8;
    const int32_t stepped = (screenColumns - 1) / step * step;
    for (int32_t row = 0; row < rows; ++row, frame += framePitch, out += factor * outPitch) {
        uint8_t* at = out;
        const uint8_t* source = frame;
        for (const uint8_t* const end = frame + stepped; source != end; source += step, at += step * exactBytes)
            putEight<factor>(runs, source, at, outPitch);
        for (; source != frame + screenColumns - 1; ++source, at += exactBytes)
            putRun<factor, runPixels * displayBytesPerPixel>(at, runs[*source], outPitch);
        putRun<factor, exactBytes>(at, runs[*source], outPitch);
    }
}

// Any larger factor: each frame row is widened into its first display row,
// which is then copied into the factor - 1 rows below it.
void scaleByAny(const uint8_t* frame, int32_t framePitch, uint8_t* out, int32_t outPitch, int32_t factor, int32_t rows)
{
    const size_t rowBytes = static_cast<size_t>(screenColumns * factor * displayBytesPerPixel);
    for (int32_t row = 0; row < rows; ++row, frame += framePitch, out += factor * outPitch) {
        uint32_t* pixel = reinterpret_cast<uint32_t*>(out);
        for (int32_t column = 0; column < screenColumns; ++column)
            for (int32_t copy = 0; copy < factor; ++copy)
                *pixel++ = runs1[frame[column]].pixel[0];
        for (int32_t copy = 1; copy < factor; ++copy)
            memcpy(out + copy * outPitch, out, rowBytes);
    }
}
}

int32_t fittingScale(int32_t width, int32_t height)
{
    const int32_t across = width / screenColumns;
    const int32_t down = height / screenRows;
    return across < down ? across : down;
}

int32_t windowScale(int32_t width, int32_t height)
{
    const int32_t scale = fittingScale(width * windowPercent / 100, height * windowPercent / 100);
    return scale > 1 ? scale : 1;
}

void useColours(const uint32_t* colours)
{
    for (int32_t entry = 0; entry < 256; ++entry) {
        runs1[entry].pixel[0] = colours[entry];
        runs2[entry].pixel[0] = runs2[entry].pixel[1] = colours[entry];
        for (int32_t i = 0; i < 4; ++i)
            runs4[entry].pixel[i] = colours[entry];
    }
}

void scaleFrame(const uint8_t* frame, int32_t framePitch, uint8_t* out, int32_t outPitch, int32_t factor,
                int32_t rows)
{
    switch (factor) {
    case 1:
        scaleBy<1>(runs1, frame, framePitch, out, outPitch, rows);
        break;
    case 2:
        scaleBy<2>(runs2, frame, framePitch, out, outPitch, rows);
        break;
    case 3:
        scaleBy<3>(runs4, frame, framePitch, out, outPitch, rows);
        break;
    case 4:
        scaleBy<4>(runs4, frame, framePitch, out, outPitch, rows);
        break;
    default:
        scaleByAny(frame, framePitch, out, outPitch, factor, rows);
        break;
    }
}
