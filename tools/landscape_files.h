// What the landscape host tools share: the landscape in memory, PNG images
// encoded with libspng, the landscape as the C++ source compiled into the
// program, and output files that appear complete or not at all.
#ifndef LANDSCAPE_TOOLS_LANDSCAPE_FILES_H
#define LANDSCAPE_TOOLS_LANDSCAPE_FILES_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace landscape_tools {

constexpr int landscapeSide = 256;
constexpr int landscapeCells = landscapeSide * landscapeSide;

// The built-in landscape's sky blue (palette entry 223, drawn above the
// terrain) and letterbox colour (entry 255, blanked to black at start-up),
// red, green, blue: the generator's palette ends on them and the importer
// fills them in where a PNG's palette leaves those entries out.
constexpr std::uint8_t skyBlue[3] = {51, 160, 204};
constexpr std::uint8_t bandColour[3] = {81, 131, 146};

// A landscape in the program's layout: maps row-major, one byte per cell.
struct Landscape {
    std::vector<std::uint8_t> heights = std::vector<std::uint8_t>(landscapeCells);
    std::vector<std::uint8_t> colors = std::vector<std::uint8_t>(landscapeCells);
    std::uint8_t palette[256][3] = {}; // r, g, b
};

// The source file defining HeightMap, ColorMap and TerrainPalette. Each line
// of `note` becomes a line of the header comment (which tool, from what).
std::string landscapeSource(const Landscape& landscape, const std::string& note);

// A width x height PNG with 8 bits per sample of libspng's `colorType`
// (greyscale, RGB or indexed, whose palette holds the 256 `palette` entries),
// `pixels` row by row; empty if libspng fails.
std::string encodePng(int width, int height, int colorType, const std::uint8_t* pixels,
                      const std::uint8_t (*palette)[3] = nullptr);

// Writes each (path, contents) to path + ".tmp" and, once all are complete,
// renames them into place. On failure sets `error` to one line naming the
// file, removes the temporaries and returns false. Empty contents stand for
// an image that could not be encoded.
using OutputFiles = std::vector<std::pair<std::string, std::string>>;
bool writeFiles(const OutputFiles& files, std::string& error);

} // namespace landscape_tools

#endif
