// The landscape as a pair of PNG files that anyone can edit with an image
// editor, and the conversion between that pair and the arrays compiled into
// the program.
//
// A landscape directory holds:
//   height.png  256 x 256, 8-bit greyscale: one height (0..255) per map cell,
//               row 0 of the map at the top, column 0 at the left.
//   color.png   256 x 256, 8-bit indexed: the pixel indices are the colour
//               map, the PLTE chunk is the palette.
//
// Palette entries the PNG does not define (those at or beyond its PLTE
// length) are filled: 223, the sky, with the sky blue (51, 160, 204); 255,
// the letterbox bands, with (81, 131, 146) as in the built-in data (the
// program blanks it to black at start-up anyway); every other one with
// black. Entries the PNG does define are taken as they are, so a palette of
// 224 or more entries chooses its own sky colour.
//
// The palette is too short when a pixel uses an index at or beyond its PLTE
// length: that pixel's colour would be undefined, so the import fails.
#ifndef LANDSCAPE_TOOLS_LANDSCAPE_PNG_H
#define LANDSCAPE_TOOLS_LANDSCAPE_PNG_H

#include "landscape_source.h"

#include <cstdint>
#include <string>
#include <vector>

namespace landscape_tools {

constexpr int skyEntry = 223;
constexpr int borderEntry = 255;
constexpr std::uint8_t defaultSky[3] = {51, 160, 204};
constexpr std::uint8_t defaultBorder[3] = {81, 131, 146};

// File names inside a landscape directory.
constexpr const char* heightFileName = "height.png";
constexpr const char* colorFileName = "color.png";

// An imported landscape.
struct LandscapeImage : LandscapeData {
    // How many palette entries came from color.png; the rest were filled.
    int definedEntries = 0;
};

// Reads `directory`/height.png and `directory`/color.png into *landscape.
// On failure returns false and sets *error to one line naming the file and
// what is wrong with it. On success *warnings (when given) receives one
// line for each palette role the ground pixels run into: index 223 (drawn
// in the sky's colour) and index 255 (drawn black).
bool importLandscape(const std::string& directory, LandscapeImage* landscape,
                     std::string* error, std::vector<std::string>* warnings = nullptr);

// Writes `directory`/height.png and `directory`/color.png (with all 256
// palette entries) from `data`, creating the directory when needed. Each
// file is written under a temporary name and renamed into place once both
// are complete; an existing file is only replaced when `overwrite` is set.
// On failure returns false, sets *error to one line, and leaves no
// temporary file behind.
bool exportLandscape(const std::string& directory, const LandscapeArrays& data,
                     bool overwrite, std::string* error);

} // namespace landscape_tools

#endif
