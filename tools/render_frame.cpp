// Renders the program's own frames off-screen, through the same tables and
// passes the program runs, for pictures and for checking screenshots.
//
//   render_frame --png OUT [--forward N] [--low] [--scale K]
//       the frame after N forward steps from the start-up view, as a PNG,
//       every pixel a K x K block
//   render_frame --checksum [--forward N] [--low]
//       FNV-1a 64 of the frame's 320 x 240 palette indices
//   render_frame --match PICTURE [--region X,Y,W,H] [--max N] [--fly STEPS DIRECTION]... [--steer DIRECTION]
//       whether an 8-bit BMP screenshot, or a PNG or XWD picture of a
//       display (the web page's canvas, an X screen as Xvfb keeps it), shows
//       the high detail frame after some 0..N steps of DIRECTION (forward
//       unless given) from the start-up view (exit 0) or not. Each --fly
//       first flies STEPS steps of a DIRECTION: forward, forward-left, left,
//       backward-left, backward, backward-right, right or forward-right;
//       --forward N is --fly N forward. A display's picture (or the region
//       of it, a window) must show the frame at the largest whole scale
//       that fits, centred, each frame pixel an exact block of its colour,
//       and black around it; a second line gives the scale ("scale 2x").
#include <algorithm>
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
// each flown as one update pass flies it (steer).
struct Direction {
    const char* name;
    int along;    // 1 forward, -1 backward, 0 none
    int across;   // 1 right, -1 left, 0 none
};
const Direction directions[] = {
    {"forward", 1, 0},       {"forward-left", 1, -1},   {"left", 0, -1},  {"backward-left", -1, -1},
    {"backward", -1, 0},     {"backward-right", -1, 1}, {"right", 0, 1},  {"forward-right", 1, 1},
};

void fly(const Direction& direction)
{
    steer(direction.along, direction.across > 0, direction.across < 0);
}

void render(bool high)
{
    switchDetail(high);
    composeFrame();
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

// A picture: the 320 x 240 palette indices of an 8-bit BMP (a screenshot;
// its own palette is not looked at), or red, green, blue per pixel of a
// display's picture of any size, top row first. Empty if it is neither.
struct Picture {
    int width = 0;
    int height = 0;
    bool indexed = false;
    std::vector<std::uint8_t> pixels;
};

std::uint32_t bigEndian32(const std::vector<std::uint8_t>& file, std::size_t at)
{
    return static_cast<std::uint32_t>(file[at] << 24 | file[at + 1] << 16 | file[at + 2] << 8 | file[at + 3]);
}

// An X window dump (XWD, as Xvfb keeps its screen): a big-endian header,
// a colour table, then the pixels, here 32 bits each in the header's byte
// order, each colour where its mask says.
Picture readXwd(const std::vector<std::uint8_t>& file)
{
    Picture picture;
    if (file.size() < 100 || bigEndian32(file, 4) != 7 || bigEndian32(file, 8) != 2 || bigEndian32(file, 44) != 32)
        return picture;
    const std::uint32_t width = bigEndian32(file, 16), height = bigEndian32(file, 20), lsbFirst = bigEndian32(file, 28) == 0;
    const std::uint32_t line = bigEndian32(file, 48), masks[3] = {bigEndian32(file, 56), bigEndian32(file, 60), bigEndian32(file, 64)};
    const std::size_t start = bigEndian32(file, 0) + std::size_t{bigEndian32(file, 76)} * 12;
    if (start + std::size_t{line} * height > file.size() || width > line / 4)
        return picture;
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    picture.pixels.resize(std::size_t{width} * height * 3);
    for (std::size_t y = 0; y < height; ++y)
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint8_t* b = &file[start + y * line + x * 4];
            const std::uint32_t value = lsbFirst ? b[0] | b[1] << 8 | b[2] << 16 | std::uint32_t{b[3]} << 24
                                                 : std::uint32_t{b[0]} << 24 | b[1] << 16 | b[2] << 8 | b[3];
            for (int k = 0; k < 3; ++k) {
                const int shift = __builtin_ctz(masks[k]);
                picture.pixels[(y * width + x) * 3 + k] = static_cast<std::uint8_t>((value & masks[k]) >> shift);
            }
        }
    return picture;
}

Picture readPicture(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto u16 = [&](std::size_t at) { return static_cast<std::uint32_t>(file[at] | file[at + 1] << 8); };
    auto u32 = [&](std::size_t at) { return u16(at) | u16(at + 2) << 16; };
    Picture picture;
    spng_ihdr header;
    const std::unique_ptr<spng_ctx, void (*)(spng_ctx*)> png(spng_ctx_new(0), spng_ctx_free);
    if (spng_set_png_buffer(png.get(), file.data(), file.size()) == 0 && spng_get_ihdr(png.get(), &header) == 0) {
        picture.pixels.resize(std::size_t{header.width} * header.height * 3);
        if (spng_decode_image(png.get(), picture.pixels.data(), picture.pixels.size(), SPNG_FMT_RGB8, 0) != 0)
            return Picture();
        picture.width = static_cast<int>(header.width);
        picture.height = static_cast<int>(header.height);
        return picture;
    }
    if (file.size() < 54 || file[0] != 'B' || file[1] != 'M')
        return readXwd(file);
    const std::uint32_t offset = u32(10);
    const auto height = static_cast<std::int32_t>(u32(22));
    if (u32(18) != 320 || (height != 240 && height != -240) || u16(28) != 8 || u32(30) != 0
        || offset + 320 * 240 > file.size())
        return picture;
    picture.width = 320;
    picture.height = 240;
    picture.indexed = true;
    picture.pixels.resize(320 * 240);
    for (int row = 0; row < 240; ++row) {
        const int stored = height > 0 ? 239 - row : row;   // positive height: bottom-up
        std::memcpy(&picture.pixels[row * 320], &file[offset + stored * 320], 320);
    }
    return picture;
}

// The 320 x 240 colours a display's picture shows at the largest whole
// scale that fits it, centred, with black around; empty, and why, if it
// does not.
std::vector<std::uint8_t> unscale(const Picture& picture, int& scale, std::string& why)
{
    scale = std::min(picture.width / screenColumns, picture.height / screenRows);
    if (scale < 1) {
        why = "smaller than the frame";
        return {};
    }
    const int left = (picture.width - screenColumns * scale) / 2, top = (picture.height - screenRows * scale) / 2;
    std::vector<std::uint8_t> shown(screenColumns * screenRows * 3);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const std::uint8_t* pixel = &picture.pixels[(std::size_t{1} * y * picture.width + x) * 3];
            const int column = (x - left) / scale, row = (y - top) / scale;
            const bool inFrame = x >= left && y >= top && column < screenColumns && row < screenRows;
            std::uint8_t* expected = inFrame ? &shown[(row * screenColumns + column) * 3] : nullptr;
            if (inFrame && (x - left) % scale == 0 && (y - top) % scale == 0)
                std::memcpy(expected, pixel, 3);
            const std::uint8_t black[3] = {0, 0, 0};
            if (std::memcmp(pixel, inFrame ? expected : black, 3) != 0) {
                why = "pixel " + std::to_string(x) + "," + std::to_string(y) + (inFrame ? " is not its block's colour"
                                                                                       : " around the frame is not black");
                return {};
            }
        }
    return shown;
}

// Whether the picture shows the frame: the same indices, or the same colours.
bool shows(const std::vector<std::uint8_t>& picture)
{
    return picture == (picture.size() == frame.size() ? frame : frameColours());
}

int usage()
{
    std::fprintf(stderr, "usage: render_frame --png OUT [--forward N] [--low] [--scale K] | --checksum [--forward N]"
                         " [--low] | --match PICTURE [--region X,Y,W,H] [--max N] [--fly STEPS DIRECTION]..."
                         " [--steer DIRECTION]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string png, match;
    bool wantChecksum = false;
    bool high = true;
    long maxSteps = 5000;
    int scale = 1;
    int region[4] = {0, 0, 0, 0};   // x, y, width, height; width 0: the whole picture
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
        else if (arg == "--scale" && i + 1 < argc)
            scale = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--region" && i + 1 < argc
                 && std::sscanf(argv[++i], "%d,%d,%d,%d", &region[0], &region[1], &region[2], &region[3]) == 4) {
        }
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
        Picture picture = readPicture(match);
        if (picture.pixels.empty()) {
            std::fprintf(stderr, "%s: not a 320 x 240 8-bit BMP, a PNG or a 32-bit XWD\n", match.c_str());
            return 1;
        }
        if (region[2] > 0) {   // the window's part of the screen
            if (picture.indexed || region[0] < 0 || region[1] < 0 || region[2] <= 0 || region[3] <= 0
                || region[0] + region[2] > picture.width || region[1] + region[3] > picture.height) {
                std::fprintf(stderr, "%s: no region %d,%d,%d,%d in it\n", match.c_str(), region[0], region[1],
                             region[2], region[3]);
                return 1;
            }
            Picture part{region[2], region[3], false, {}};
            for (int y = 0; y < part.height; ++y) {
                const auto from = picture.pixels.begin() + (std::size_t{1} * (region[1] + y) * picture.width + region[0]) * 3;
                part.pixels.insert(part.pixels.end(), from, from + part.width * 3);
            }
            picture = part;
        }
        std::vector<std::uint8_t> shot = picture.pixels;
        if (!picture.indexed) {
            std::string why;
            shot = unscale(picture, scale, why);
            if (shot.empty()) {
                std::printf("not the frame at a whole scale: %s\n", why.c_str());
                return 1;
            }
        }
        const std::string scaleLine = picture.indexed ? "" : "scale " + std::to_string(scale) + "x\n";
        for (long step = 0; step <= maxSteps; ++step) {
            render(true);
            if (shows(shot)) {
                std::printf("high detail frame after %ld %s steps\n%s", step, steer->name, scaleLine.c_str());
                return 0;
            }
            render(false);
            if (shows(shot)) {
                std::printf("LOW detail frame after %ld %s steps\n%s", step, steer->name, scaleLine.c_str());
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
        const std::vector<std::uint8_t> colours = frameColours();
        std::vector<std::uint8_t> rgb;
        for (int y = 0; y < screenRows * scale; ++y)
            for (int x = 0; x < screenColumns * scale; ++x) {
                const auto pixel = colours.begin() + (y / scale * screenColumns + x / scale) * 3;
                rgb.insert(rgb.end(), pixel, pixel + 3);
            }
        std::string error;
        if (!landscape_tools::writeFiles({{png, landscape_tools::encodePng(screenColumns * scale, screenRows * scale,
                                                                         SPNG_COLOR_TYPE_TRUECOLOR, rgb.data())}},
                                         error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
    }
    return 0;
}
