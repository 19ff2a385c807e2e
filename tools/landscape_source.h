// Writes the landscape (height map, colour map, palette) as the C++ source
// file that is compiled into the program. Shared by every tool that produces
// landscape data, so it knows nothing about where the data came from: the
// caller passes a note for the header comment.
#ifndef LANDSCAPE_TOOLS_LANDSCAPE_SOURCE_H
#define LANDSCAPE_TOOLS_LANDSCAPE_SOURCE_H

#include <cstdint>
#include <string>
#include <vector>

namespace landscape_tools {

constexpr int landscapeSide = 256;
constexpr int landscapeCells = landscapeSide * landscapeSide;

// The data passed to the writer. The pointers are borrowed, not owned.
struct LandscapeArrays {
    const std::uint8_t* heights; // landscapeCells values, row-major
    const std::uint8_t* colors;  // landscapeCells palette indices, row-major
    const std::uint8_t (*palette)[3]; // 256 entries of r, g, b
};

// A landscape owned in memory, in the same layout.
struct LandscapeData {
    std::vector<std::uint8_t> heights = std::vector<std::uint8_t>(landscapeCells);
    std::vector<std::uint8_t> colors = std::vector<std::uint8_t>(landscapeCells);
    std::uint8_t palette[256][3] = {};

    LandscapeArrays arrays() const { return {heights.data(), colors.data(), palette}; }
};

// Returns the complete source text. Every line of `note` becomes a comment
// line in the header (say which tool made the file and from what).
std::string formatLandscapeSource(const LandscapeArrays& data, const std::string& note);

// Writes formatLandscapeSource(data, note) to `path` atomically: the text goes
// to `path` + ".tmp", which is then renamed over `path`. On any failure the
// temporary file is removed, `path` is left as it was, *error (when given)
// describes the problem and the result is false.
bool writeLandscapeSource(const std::string& path, const LandscapeArrays& data,
                          const std::string& note, std::string* error = nullptr);

} // namespace landscape_tools

#endif
