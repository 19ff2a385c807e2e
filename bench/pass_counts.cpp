// Runs rendering passes a given number of times, for counting what they
// execute under an emulator or a cache simulator:
//   pass_counts KIND SET FRAMES
// KIND: move | turn | rays | sample | compose; SET: ours | baseline;
// the detail level is the fourth argument: high (default) or low.
// Setup (tables, one frame of each pass) is identical for every argument,
// so two runs that differ only in FRAMES differ only by the measured work.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "reference_passes.h"
#include "render/camera.h"
#include "render/frame.h"
#include "render/rays.h"
#include "startup_tables.h"

namespace {
std::uint8_t offscreen[320 * 240];
ReferenceBuffers baseline;
}

int main(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    const std::string kind = argv[1];
    const bool ours = std::strcmp(argv[2], "ours") == 0;
    const long frames = std::strtol(argv[3], nullptr, 10);
    const bool high = argc < 5 || std::strcmp(argv[4], "low") != 0;

    buildStartUpTables();
    recordScreenGeometry(offscreen, 320, 1);
    if (!high)
        selectLowDetail();
    for (int i = 0; i < 20; ++i)
        move(forwardStep);
    buildRays();
    sampleTerrain();
    composeFrame(offscreen);
    referenceBuildRays(baseline);
    referenceSampleTerrain(baseline);
    referenceComposeFrame(baseline, offscreen, 320);

    for (long f = 0; f < frames; ++f) {
        if (kind == "move" || kind == "turn") {
            if (kind == "turn")
                turn(2);
            move(forwardStep);
        }
        const bool rays = kind == "turn" || kind == "rays";
        const bool sample = kind == "turn" || kind == "move" || kind == "sample";
        const bool compose = kind == "turn" || kind == "move" || kind == "compose";
        if (ours) {
            if (rays)
                buildRays();
            if (sample)
                sampleTerrain();
            if (compose)
                composeFrame(offscreen);
        } else {
            if (rays)
                referenceBuildRays(baseline);
            if (sample)
                referenceSampleTerrain(baseline);
            if (compose)
                referenceComposeFrame(baseline, offscreen, 320);
        }
    }
    return offscreen[12345] == 0xEE;   // keeps the frame observable
}
