// Makes the program's one icon from its own landscape: the view after
// turning 90 degrees right from the start-up view (a snow peak over a lake),
// rendered off-screen by the program's passes, a square cut from the middle
// of the 180-row view and resampled to each size an installed program, the
// web page, the console's menu and the handhelds' port ask for.
//
//   make_icon DIR
//       writes DIR/landscape-N.png for every N in iconSizes, replacing
//       nothing unless all are written
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "landscape_files.h"
#include "offscreen_frame.h"
#include "render/camera.h"

#include <spng.h>

namespace {

// freedesktop's hicolor sizes, the web manifest's 192 and 512, in pixels.
const int iconSizes[] = {16, 32, 48, 64, 128, 192, 256, 512};

const int rightTurns = 45;                 // passes of 2 degrees right
const int viewTop = 30;                    // screen rows above the view
const int cropSide = 180;                  // the view's height: the largest square in it
const int cropLeft = 70;                   // frame column of the square's left edge

// One side of a square image resampled from cropSide to side pixels, each
// output pixel the average of the source area it covers (exact fractions of
// source pixels at its edges), in 8-bit sRGB values rounded to nearest.
std::vector<std::uint8_t> resample(const std::vector<std::uint8_t>& rgb, int side)
{
    std::vector<std::uint8_t> out(std::size_t{1} * side * side * 3);
    // Coordinates in units of 1 / side source pixels, so every edge is whole.
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            std::uint64_t sum[3] = {0, 0, 0};
            const int top = y * cropSide, bottom = (y + 1) * cropSide;
            const int left = x * cropSide, right = (x + 1) * cropSide;
            for (int sy = top / side; sy * side < bottom; ++sy) {
                const int high = std::max(top, sy * side), low = std::min(bottom, (sy + 1) * side);
                for (int sx = left / side; sx * side < right; ++sx) {
                    const int near = std::max(left, sx * side), far = std::min(right, (sx + 1) * side);
                    const std::uint64_t weight = std::uint64_t(low - high) * std::uint64_t(far - near);
                    for (int k = 0; k < 3; ++k)
                        sum[k] += weight * rgb[(std::size_t{1} * sy * cropSide + sx) * 3 + k];
                }
            }
            const std::uint64_t area = std::uint64_t(cropSide) * cropSide;
            for (int k = 0; k < 3; ++k)
                out[(std::size_t{1} * y * side + x) * 3 + k] = static_cast<std::uint8_t>((sum[k] + area / 2) / area);
        }
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon DIR\n");
        return 2;
    }
    std::vector<std::uint8_t> frame(screenColumns * screenRows);
    startOffscreen(frame.data());
    for (int pass = 0; pass < rightTurns; ++pass)
        turn(rightTurn);
    buildRays();
    composeFrame();

    std::vector<std::uint8_t> square;
    for (int y = 0; y < cropSide; ++y)
        for (int x = 0; x < cropSide; ++x) {
            const std::uint8_t* colour = TerrainPalette[frame[(viewTop + y) * screenColumns + cropLeft + x]];
            square.insert(square.end(), colour, colour + 3);
        }

    landscape_tools::OutputFiles files;
    for (int side : iconSizes)
        files.emplace_back(std::string(argv[1]) + "/landscape-" + std::to_string(side) + ".png",
                           landscape_tools::encodePng(side, side, SPNG_COLOR_TYPE_TRUECOLOR,
                                                      resample(square, side).data()));
    std::string error;
    if (!landscape_tools::writeFiles(files, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}
