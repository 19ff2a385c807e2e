// import_landscape: turns a landscape drawn as two PNG files into the C++
// source compiled into the program (the build runs it when LANDSCAPE_TERRAIN
// names a directory; see docs/CUSTOM_LANDSCAPE.md).
#include "landscape_png.h"
#include "landscape_source.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char* const help =
    "usage: import_landscape DIR OUT.cpp\n"
    "\n"
    "Reads DIR/height.png and DIR/color.png and writes the landscape source\n"
    "OUT.cpp (written under OUT.cpp.tmp and renamed: on any error nothing is\n"
    "written and an existing OUT.cpp is left as it was).\n"
    "\n"
    "  height.png  256 x 256, 8-bit greyscale: the height of each map cell,\n"
    "              0..255 (255 is the camera's altitude). Row 0 at the top.\n"
    "  color.png   256 x 256, 8-bit indexed: each pixel's palette index is the\n"
    "              cell's colour; the PLTE chunk is the program's palette.\n"
    "              Every index used must be defined in PLTE (otherwise the\n"
    "              palette is too short and the import fails).\n"
    "\n"
    "Palette roles: entry 223 is the sky, entry 255 the letterbox bands (the\n"
    "program draws the bands black whatever entry 255 holds). Entries PLTE\n"
    "does not define are filled: 223 with the sky blue 51,160,204, 255 with\n"
    "81,131,146, all others with black. A PLTE of 224 or more entries sets its\n"
    "own sky colour. Ground pixels using index 223 (they look like sky) or\n"
    "255 (drawn black) are allowed, with one warning line each.\n"
    "\n"
    "Errors: one line on standard error naming the file and the problem,\n"
    "exit status 1; wrong usage: exit status 2.\n";

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(help, stdout);
        return 0;
    }
    if (argc != 3) {
        std::fputs(help, stderr);
        return 2;
    }
    const std::string directory = argv[1];
    const std::string output = argv[2];

    landscape_tools::LandscapeImage landscape;
    std::string error;
    std::vector<std::string> warnings;
    if (!landscape_tools::importLandscape(directory, &landscape, &error, &warnings)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    for (const std::string& warning : warnings) {
        std::fprintf(stderr, "%s\n", warning.c_str());
    }

    const std::string note = "Imported by tools/import_landscape from " + std::string(landscape_tools::heightFileName)
                             + " and " + landscape_tools::colorFileName + " in\n" + directory
                             + "\n(" + std::to_string(landscape.definedEntries) + " palette entries defined there).";
    if (!landscape_tools::writeLandscapeSource(output, landscape.arrays(), note, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}
