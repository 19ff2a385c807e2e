// export_landscape: writes the landscape compiled into this build as the two
// PNG files import_landscape reads, as a starting point for editing.
#include "assets/landscape.h"
#include "landscape_png.h"

#include <cstdio>
#include <cstring>
#include <string>

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
    bool force = false;
    std::string directory;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(help, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--force") == 0) {
            force = true;
        } else if (directory.empty() && argv[i][0] != '\0') {
            directory = argv[i];
        } else {
            std::fputs(help, stderr);
            return 2;
        }
    }
    if (directory.empty()) {
        std::fputs(help, stderr);
        return 2;
    }

    // The data as compiled in. Palette entry 255 is still the stored colour:
    // only the program's start-up blanks it.
    const landscape_tools::LandscapeArrays data{HeightMap, ColorMap, TerrainPalette};
    std::string error;
    if (!landscape_tools::exportLandscape(directory, data, force, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::printf("wrote %s/%s and %s/%s\n", directory.c_str(), landscape_tools::heightFileName,
                directory.c_str(), landscape_tools::colorFileName);
    return 0;
}
