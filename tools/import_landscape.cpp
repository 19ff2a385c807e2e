// import_landscape: turns a landscape drawn as two PNG files into the C++
// source compiled into the program (the build runs it when LANDSCAPE_TERRAIN
// names a directory; see docs/CUSTOM_LANDSCAPE.md).
#include "landscape_files.h"

#include <fcntl.h>
#include <spng.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <utility>

namespace {

using namespace landscape_tools;

const char* const help =
    "usage: import_landscape DIR OUT.cpp\n"
    "\n"
    "Reads DIR/height.png (256 x 256, 8-bit greyscale: the height of each map\n"
    "cell, 0..255, row 0 at the top) and DIR/color.png (256 x 256, 8-bit indexed:\n"
    "each pixel's palette index is the cell's colour; the PLTE chunk is the\n"
    "program's palette and must define every index used) and writes the\n"
    "landscape source OUT.cpp, under OUT.cpp.tmp renamed into place: on any\n"
    "error an existing OUT.cpp is left as it was.\n"
    "\n"
    "Palette entry 223 is the sky, 255 the letterbox bands (drawn black whatever\n"
    "it holds). Entries PLTE leaves out are filled: 223 with the sky blue\n"
    "51,160,204, 255 with 81,131,146, the others with black; a PLTE of 224 or\n"
    "more entries sets its own sky. Ground using index 223 (it looks like sky)\n"
    "or 255 (drawn black) is allowed, with one warning line each.\n"
    "\n"
    "Errors: one line on standard error naming the file and the problem, exit\n"
    "status 1; wrong usage: exit status 2.\n";

constexpr int skyEntry = 223;
constexpr int borderEntry = 255;

std::string describeFormat(int bitDepth, int colorType)
{
    const char* const kinds[] = {"greyscale", "unknown colour type", "RGB", "indexed", "greyscale with alpha",
                                 "unknown colour type", "RGB with alpha"};
    return std::to_string(bitDepth) + "-bit " + kinds[colorType <= 6 ? colorType : 1];
}

// Reads one of the two maps into `pixels` (256 x 256 bytes as stored, no gamma
// or colour conversion) and, for color.png, its PLTE entries into `palette`.
// `colorType` is the format the file must have.
bool readMap(const std::string& path, int colorType, std::vector<std::uint8_t>& pixels,
             spng_plte& palette, std::string& error)
{
    auto fail = [&](const std::string& problem) {
        error = path + ": " + problem;
        return false;
    };
    // Opened without waiting and checked before anything is read: opening or
    // reading a FIFO or a device could block for good.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return fail(errno == ENOENT ? std::string("file not found") : std::string("cannot open: ") + std::strerror(errno));
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return fail("not a regular file");
    }
    // O_NONBLOCK does not change how a regular file is read.
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(::fdopen(descriptor, "rb"), std::fclose);
    if (file == nullptr) {
        ::close(descriptor);
        return fail(std::string("cannot open: ") + std::strerror(errno));
    }
    auto damaged = [&](int code) {
        return fail(std::string("damaged or truncated PNG file (libspng: ") + spng_strerror(code) + ")");
    };
    const std::unique_ptr<spng_ctx, void (*)(spng_ctx*)> png(spng_ctx_new(0), spng_ctx_free);
    // Ancillary chunks are of no use here: a damaged length or a compressed
    // text bomb must not make the decoder hold hundreds of megabytes.
    spng_set_chunk_limits(png.get(), 1 << 24, 1 << 24);
    spng_set_png_file(png.get(), file.get());
    spng_ihdr header{};
    if (const int code = spng_get_ihdr(png.get(), &header))
        return code == SPNG_ESIGNATURE || status.st_size < 8 ? fail("not a PNG file") : damaged(code);
    if (header.color_type != colorType || header.bit_depth != 8) {
        const std::string found = describeFormat(header.bit_depth, header.color_type);
        const std::string wanted = colorType == SPNG_COLOR_TYPE_INDEXED ? "8-bit indexed (palette)" : "8-bit greyscale";
        if (colorType == SPNG_COLOR_TYPE_INDEXED && header.color_type != colorType)
            return fail("not an indexed image (it is " + found + "), must be " + wanted);
        return fail("image is " + found + ", must be " + wanted);
    }
    if (header.width != landscapeSide || header.height != landscapeSide)
        return fail("image is " + std::to_string(header.width) + " x " + std::to_string(header.height)
                    + " pixels, must be 256 x 256");
    int code = colorType == SPNG_COLOR_TYPE_INDEXED ? spng_get_plte(png.get(), &palette) : 0;
    if (code == 0)
        code = spng_decode_image(png.get(), pixels.data(), pixels.size(), SPNG_FMT_RAW, 0);
    // On to IEND, which checks the last chunk's CRC and that nothing is cut off.
    if (code == 0)
        code = spng_decode_chunks(png.get());
    if (code != 0)
        return damaged(code);
    return true;
}

int fail(const std::string& line)
{
    std::fprintf(stderr, "%s\n", line.c_str());
    return 1;
}

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
    namespace fs = std::filesystem;
    const std::string directory = argv[1];
    const std::string colorPath = (fs::path(directory) / "color.png").string();
    Landscape land;
    spng_plte plte{};
    std::string error;
    if (!readMap((fs::path(directory) / "height.png").string(), SPNG_COLOR_TYPE_GRAYSCALE, land.heights, plte, error)
        || !readMap(colorPath, SPNG_COLOR_TYPE_INDEXED, land.colors, plte, error))
        return fail(error);

    // Every index used must be defined: the colour of any other is unknown.
    const int defined = static_cast<int>(plte.n_entries);
    std::size_t uses[256] = {};
    for (std::uint8_t index : land.colors)
        ++uses[index];
    for (int index = 255; index >= defined; --index)
        if (uses[index] != 0)
            return fail(colorPath + ": palette too short: it has " + std::to_string(defined)
                        + (defined == 1 ? " entry" : " entries") + " but pixels use index " + std::to_string(index));
    // The entries left out are filled: the sky with the built-in sky blue, the
    // bands with their built-in colour, the others with black.
    for (int i = 0; i < 256; ++i) {
        const std::uint8_t* fill = i == skyEntry ? skyBlue : i == borderEntry ? bandColour : nullptr;
        const spng_plte_entry& entry = plte.entries[i];
        const std::uint8_t given[3] = {entry.red, entry.green, entry.blue};
        for (int k = 0; k < 3; ++k)
            land.palette[i][k] = i < defined ? given[k] : fill != nullptr ? fill[k] : 0;
    }
    for (const auto& [index, role] : {std::pair{skyEntry, "the sky colour: that ground will look like sky"},
                                      std::pair{borderEntry, "the letterbox colour: the program blanks it at start-up,"
                                                             " so that ground will be drawn black"}})
        if (uses[index] != 0)
            std::fprintf(stderr, "%s: warning: %zu %s palette index %d, %s\n", colorPath.c_str(), uses[index],
                         uses[index] == 1 ? "cell uses" : "cells use", index, role);

    const std::string note = "Imported by tools/import_landscape from height.png and color.png in\n" + directory
                             + "\n(" + std::to_string(defined) + " palette entries defined there).";
    return writeFiles({{argv[2], landscapeSource(land, note)}}, error) ? 0 : fail(error);
}
