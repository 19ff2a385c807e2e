// Runs rendering passes a given number of times, for counting what they
// execute under an emulator or a cache simulator:
//   pass_counts KIND SET FRAMES
// KIND: move | turn | rays | compose; SET: ours | baseline;
// the detail level is the fourth argument: high (default) or low.
//   pass_counts present SET FRAMES FACTOR
// presents the high detail frame at FACTOR (1..4); SET: ours | memcpy (as
// many bytes copied plainly).
// Setup (tables, one frame of each pass) is identical for every argument,
// so two runs that differ only in FRAMES differ only by the measured work.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "measured_frames.h"

namespace {
std::uint8_t offscreen[screenColumns * screenRows];
ReferenceBuffers baseline;

struct Kind {
    const char* name;
    Measured what;
};
const Kind kinds[] = {{"move", Measured::moveFrame}, {"turn", Measured::turnFrame}, {"rays", Measured::rays},
                      {"compose", Measured::compose}};
}

int main(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    const Kind* kind = nullptr;
    for (const Kind& k : kinds)
        if (std::strcmp(argv[1], k.name) == 0)
            kind = &k;
    const bool ours = std::strcmp(argv[2], "ours") == 0;
    const long frames = std::strtol(argv[3], nullptr, 10);
    if (std::strcmp(argv[1], "present") == 0 && argc > 4) {
        const int factor = std::atoi(argv[4]);
        static std::uint8_t display[std::size_t{320} * 240 * 4 * 4 * 4];
        prepareScaling(offscreen, baseline);
        for (long f = 0; f < frames; ++f)
            presentMeasured(!ours, factor, offscreen, display);
        return display[12345] == 0xEE;
    }
    const bool high = argc < 5 || std::strcmp(argv[4], "low") != 0;

    if (!kind)
        return 2;
    prepareMeasuredView(high, offscreen, baseline);
    for (long f = 0; f < frames; ++f)
        runMeasured(kind->what, ours, offscreen, baseline);
    return offscreen[12345] == 0xEE;   // keeps the frame observable
}
