// Small PNG helpers for the host tools, built on libpng. Images are 8 bits
// per channel, rows stored top to bottom without padding.
#ifndef LANDSCAPE_TOOLS_PNG_IO_H
#define LANDSCAPE_TOOLS_PNG_IO_H

#include <cstdint>
#include <string>

namespace landscape_tools {

// Writes a width x height greyscale image, one byte per pixel.
// Returns false and fills *error (when given) if the file cannot be written;
// a partly written file is removed.
bool writeGreyPng(const std::string& path, int width, int height,
                  const std::uint8_t* pixels, std::string* error = nullptr);

// Writes a width x height RGB image, three bytes (r, g, b) per pixel.
// Same failure behaviour as writeGreyPng.
bool writeRgbPng(const std::string& path, int width, int height,
                 const std::uint8_t* pixels, std::string* error = nullptr);

} // namespace landscape_tools

#endif
