// Renders the program's own frames off-screen, through the same tables and
// passes the program runs, for pictures and for checking screenshots.
//
//   render_frame --png OUT [--forward N] [--low]
//       the frame after N forward steps from the start-up view, as a PNG
//   render_frame --checksum [--forward N] [--low]
//       FNV-1a 64 of the frame's 320 x 240 palette indices
//   render_frame --match PICTURE [--max N] [--fly STEPS DIRECTION]... [--steer DIRECTION]
//       whether an 8-bit BMP screenshot, or a PNG picture of the screen (the
//       web page's canvas), shows the high detail frame after some 0..N
//       steps of DIRECTION (forward unless given) from the start-up view
//       (exit 0) or not. Each --fly first flies STEPS steps of a DIRECTION:
//       forward, forward-left, left, backward-left, backward, backward-right,
//       right or forward-right; --forward N is --fly N forward.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "landscape_files.h"
#include "offscreen_frame.h"
#include "render/camera.h"

#include <spng.h>

namespace {

std::vector<std::uint8_t> frame(screenColumns * screenRows);

// The eight directions, in the order of the console's direction buttons,
// as one update pass flies them: the move, then the turn (2 degrees right,
// 358 left; 0 none).
struct Direction {
    const char* name;
    int move;   // 1 forward, -1 backward, 0 none
    std::uint16_t turn;
};
const Direction directions[] = {
    {"forward", 1, 0},       {"forward-left", 1, 358},   {"left", 0, 358},  {"backward-left", -1, 358},
    {"backward", -1, 0},     {"backward-right", -1, 2},  {"right", 0, 2},   {"forward-right", 1, 2},
};

void fly(const Direction& direction)
{
    if (direction.move)
        move(direction.move > 0 ? forwardStep : backwardStep);
    if (direction.turn)
        turn(direction.turn);
}

void render(bool high)
{
    switchDetail(high);
    composeFrame(frame.data());
}

// The frame's colours: red, green, blue per pixel, through the palette.
std::vector<std::uint8_t> frameColours()
{
    std::vector<std::uint8_t> rgb(frame.size() * 3);
    for (std::size_t i = 0; i < frame.size(); ++i)
        for (int k = 0; k < 3; ++k)
            rgb[i * 3 + k] = TerrainPalette[frame[i]][k];
    return rgb;
}

// A 320 x 240 picture's pixels, top row first: the palette indices of an
// 8-bit BMP (a screenshot; its own palette is not looked at), or red, green,
// blue per pixel of a PNG. Empty if it is neither.
std::vector<std::uint8_t> readPicture(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto u16 = [&](std::size_t at) { return static_cast<std::uint32_t>(file[at] | file[at + 1] << 8); };
    auto u32 = [&](std::size_t at) { return u16(at) | u16(at + 2) << 16; };
    std::vector<std::uint8_t> picture;
    spng_ihdr header;
    const std::unique_ptr<spng_ctx, void (*)(spng_ctx*)> png(spng_ctx_new(0), spng_ctx_free);
    if (spng_set_png_buffer(png.get(), file.data(), file.size()) == 0 && spng_get_ihdr(png.get(), &header) == 0) {
        picture.resize(screenColumns * screenRows * 3);
        if (header.width != 320 || header.height != 240
            || spng_decode_image(png.get(), picture.data(), picture.size(), SPNG_FMT_RGB8, 0) != 0)
            picture.clear();
        return picture;
    }
    if (file.size() < 54 || file[0] != 'B' || file[1] != 'M')
        return picture;
    const std::uint32_t offset = u32(10);
    const auto height = static_cast<std::int32_t>(u32(22));
    if (u32(18) != 320 || (height != 240 && height != -240) || u16(28) != 8 || u32(30) != 0
        || offset + 320 * 240 > file.size())
        return picture;
    picture.resize(320 * 240);
    for (int row = 0; row < 240; ++row) {
        const int stored = height > 0 ? 239 - row : row;   // positive height: bottom-up
        std::memcpy(&picture[row * 320], &file[offset + stored * 320], 320);
    }
    return picture;
}

// Whether the picture shows the frame: the same indices, or for a PNG (three
// bytes a pixel) the same colours.
bool shows(const std::vector<std::uint8_t>& picture)
{
    return picture == (picture.size() == frame.size() ? frame : frameColours());
}

int usage()
{
    std::fprintf(stderr, "usage: render_frame --png OUT [--forward N] [--low] | --checksum [--forward N] [--low]"
                         " | --match PICTURE [--max N] [--fly STEPS DIRECTION]... [--steer DIRECTION]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string png, match;
    bool wantChecksum = false;
    bool high = true;
    long maxSteps = 5000;
    const Direction* steer = &directions[0];
    std::vector<std::pair<long, const Direction*>> flight;   // steps of each direction flown first
    auto direction = [](const std::string& name) -> const Direction* {
        for (const Direction& known : directions)
            if (name == known.name)
                return &known;
        return nullptr;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--png" && i + 1 < argc)
            png = argv[++i];
        else if (arg == "--match" && i + 1 < argc)
            match = argv[++i];
        else if (arg == "--checksum")
            wantChecksum = true;
        else if (arg == "--low")
            high = false;
        else if (arg == "--forward" && i + 1 < argc)
            flight.emplace_back(std::strtol(argv[++i], nullptr, 10), &directions[0]);
        else if (arg == "--fly" && i + 2 < argc && direction(argv[i + 2])) {
            flight.emplace_back(std::strtol(argv[i + 1], nullptr, 10), direction(argv[i + 2]));
            i += 2;
        }
        else if (arg == "--max" && i + 1 < argc)
            maxSteps = std::strtol(argv[++i], nullptr, 10);
        else if (arg == "--steer" && i + 1 < argc && direction(argv[i + 1]))
            steer = direction(argv[++i]);
        else
            return usage();
    }
    if (png.empty() && match.empty() && !wantChecksum)
        return usage();

    startOffscreen(frame.data());
    for (const auto& leg : flight)
        for (long step = 0; step < leg.first; ++step)
            fly(*leg.second);

    if (!match.empty()) {
        const std::vector<std::uint8_t> shot = readPicture(match);
        if (shot.empty()) {
            std::fprintf(stderr, "%s: not a 320 x 240 8-bit BMP or PNG\n", match.c_str());
            return 1;
        }
        for (long step = 0; step <= maxSteps; ++step) {
            render(true);
            if (shows(shot)) {
                std::printf("high detail frame after %ld %s steps\n", step, steer->name);
                return 0;
            }
            render(false);
            if (shows(shot)) {
                std::printf("LOW detail frame after %ld %s steps\n", step, steer->name);
                return 1;
            }
            fly(*steer);
        }
        std::printf("no frame of the %s flight matches\n", steer->name);
        return 1;
    }

    render(high);
    if (wantChecksum)
        std::printf("%016llx\n", static_cast<unsigned long long>(frameChecksum(frame.data(), frame.size())));
    if (!png.empty()) {
        const std::vector<std::uint8_t> rgb = frameColours();
        std::string error;
        if (!landscape_tools::writeFiles({{png, landscape_tools::encodePng(screenColumns, screenRows, SPNG_COLOR_TYPE_TRUECOLOR, rgb.data())}},
                                         error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
    }
    return 0;
}
