// export_landscape: writes the landscape compiled into this build as the two
// PNG files import_landscape reads, as a starting point for editing.
#include "assets/landscape.h"
#include "landscape_files.h"

#include <spng.h>

#include <cstdio>
#include <filesystem>

namespace {

const char* const help =
    "usage: export_landscape [--force] DIR\n"
    "\n"
    "Writes the landscape compiled into this build as DIR/height.png (8-bit\n"
    "greyscale heights) and DIR/color.png (8-bit indexed colour map with the\n"
    "full 256-entry palette), creating DIR if needed. Existing files are only\n"
    "replaced with --force. Importing the two files again gives the same data.\n";

} // namespace

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    using namespace landscape_tools;
    bool force = false;
    bool usage = false;
    std::string directory;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::fputs(help, stdout);
            return 0;
        }
        if (argument == "--force")
            force = true;
        else if (directory.empty() && !argument.empty())
            directory = argument;
        else
            usage = true;
    }
    if (usage || directory.empty()) {
        std::fputs(help, stderr);
        return 2;
    }

    const std::string heightPath = (fs::path(directory) / "height.png").string();
    const std::string colorPath = (fs::path(directory) / "color.png").string();
    std::error_code code;
    std::string error;
    fs::create_directories(directory, code);
    if (code)
        error = directory + ": cannot create directory: " + code.message();
    for (const std::string& path : {heightPath, colorPath})
        if (error.empty() && !force && (fs::exists(path, code) || code))
            error = path + ": already exists (not overwritten; remove it first,"
                           " or pass --force, or FORCE=1 to make export-landscape)";
    // Palette entry 255 as stored: only the program's start-up blanks it.
    const std::string heights = encodePng(landscapeSide, landscapeSide, SPNG_COLOR_TYPE_GRAYSCALE, HeightMap);
    const std::string colors = encodePng(landscapeSide, landscapeSide, SPNG_COLOR_TYPE_INDEXED, ColorMap, TerrainPalette);
    if (!error.empty() || !writeFiles({{heightPath, heights}, {colorPath, colors}}, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::printf("wrote %s and %s\n", heightPath.c_str(), colorPath.c_str());
    return 0;
}
