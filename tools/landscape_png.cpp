#include "landscape_png.h"

#include "output_file.h"
#include "png_io.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace landscape_tools {

namespace {

namespace fs = std::filesystem;

std::string inDirectory(const std::string& directory, const char* name)
{
    return (fs::path(directory) / name).string();
}

// Reads one of the two files and checks what both have in common: a
// readable PNG of 256 x 256 pixels with 8 bits per sample. `kind` is the
// format the file must have, for the messages.
bool readMap(const std::string& path, int colorType, const char* kind, PngImage* image,
             std::string* error)
{
    if (readPng(path, image, error) != PngReadError::none) {
        return false;
    }
    if (image->colorType != colorType || image->bitDepth != 8) {
        const std::string found = describePngFormat(image->bitDepth, image->colorType);
        if (colorType == PNG_COLOR_TYPE_PALETTE && image->colorType != PNG_COLOR_TYPE_PALETTE) {
            *error = path + ": not an indexed image (it is " + found + "), must be " + kind;
        } else {
            *error = path + ": image is " + found + ", must be " + kind;
        }
        return false;
    }
    if (image->width != landscapeSide || image->height != landscapeSide) {
        *error = path + ": image is " + std::to_string(image->width) + " x "
                 + std::to_string(image->height) + " pixels, must be 256 x 256";
        return false;
    }
    return true;
}

std::string cellCount(std::size_t cells)
{
    return std::to_string(cells) + (cells == 1 ? " cell uses" : " cells use");
}

} // namespace

bool importLandscape(const std::string& directory, LandscapeImage* landscape,
                     std::string* error, std::vector<std::string>* warnings)
{
    std::string message;
    const std::string heightPath = inDirectory(directory, heightFileName);
    const std::string colorPath = inDirectory(directory, colorFileName);

    PngImage heights;
    if (!readMap(heightPath, PNG_COLOR_TYPE_GRAY, "8-bit greyscale", &heights, &message)) {
        return failWith(error, message);
    }
    PngImage colors;
    if (!readMap(colorPath, PNG_COLOR_TYPE_PALETTE, "8-bit indexed (palette)", &colors, &message)) {
        return failWith(error, message);
    }

    const int defined = static_cast<int>(colors.palette.size());
    int highestIndex = 0;
    std::size_t skyCells = 0;
    std::size_t borderCells = 0;
    for (std::uint8_t index : colors.pixels) {
        highestIndex = index > highestIndex ? index : highestIndex;
        skyCells += index == skyEntry ? 1 : 0;
        borderCells += index == borderEntry ? 1 : 0;
    }
    if (highestIndex >= defined) {
        return failWith(error, colorPath + ": palette too short: it has " + std::to_string(defined)
                                   + (defined == 1 ? " entry" : " entries")
                                   + " but pixels use index " + std::to_string(highestIndex));
    }

    landscape->heights = heights.pixels;
    landscape->colors = colors.pixels;
    landscape->definedEntries = defined;
    for (int i = 0; i < 256; ++i) {
        const std::uint8_t* fill = i == skyEntry ? defaultSky : i == borderEntry ? defaultBorder : nullptr;
        for (int k = 0; k < 3; ++k) {
            landscape->palette[i][k] = i < defined ? colors.palette[static_cast<std::size_t>(i)][static_cast<std::size_t>(k)]
                                       : fill != nullptr ? fill[k] : 0;
        }
    }

    if (warnings != nullptr) {
        warnings->clear();
        if (skyCells > 0) {
            warnings->push_back(colorPath + ": warning: " + cellCount(skyCells)
                                + " palette index 223, the sky colour: that ground will look like sky");
        }
        if (borderCells > 0) {
            warnings->push_back(colorPath + ": warning: " + cellCount(borderCells)
                                + " palette index 255, the letterbox colour: the program blanks it"
                                  " at start-up, so that ground will be drawn black");
        }
    }
    return true;
}

bool exportLandscape(const std::string& directory, const LandscapeArrays& data,
                     bool overwrite, std::string* error)
{
    const std::string heightPath = inDirectory(directory, heightFileName);
    const std::string colorPath = inDirectory(directory, colorFileName);

    std::error_code code;
    fs::create_directories(directory, code);
    if (code) {
        return failWith(error, directory + ": cannot create directory: " + code.message());
    }
    if (!overwrite) {
        for (const std::string* path : {&heightPath, &colorPath}) {
            if (fs::exists(*path, code) || code) {
                return failWith(error, *path + ": already exists (not overwritten; remove it first,"
                                               " or pass --force, or FORCE=1 to make export-landscape)");
            }
        }
    }

    const std::string heightTemp = heightPath + ".tmp";
    const std::string colorTemp = colorPath + ".tmp";
    std::string message;
    bool ok = writeGreyPng(heightTemp, landscapeSide, landscapeSide, data.heights, &message)
              && writeIndexedPng(colorTemp, landscapeSide, landscapeSide, data.colors,
                                 data.palette, 256, &message);
    if (ok && std::rename(heightTemp.c_str(), heightPath.c_str()) != 0) {
        message = heightPath + ": cannot replace: " + std::generic_category().message(errno);
        ok = false;
    }
    if (ok && std::rename(colorTemp.c_str(), colorPath.c_str()) != 0) {
        message = colorPath + ": cannot replace: " + std::generic_category().message(errno);
        ok = false;
    }
    if (!ok) {
        std::remove(heightTemp.c_str());
        std::remove(colorTemp.c_str());
        return failWith(error, message);
    }
    return true;
}

} // namespace landscape_tools
