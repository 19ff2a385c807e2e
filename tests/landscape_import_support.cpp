#include "landscape_import_support.h"

#include <png.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace import_test {

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "landscape_import_XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary directory");
    }
    path_ = buffer.data();
}

TempDir::~TempDir()
{
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

std::vector<std::string> directoryEntries(const fs::path& directory)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

RunResult run(const std::string& program, const std::vector<std::string>& arguments)
{
    TempDir capture;
    const std::string outPath = (capture.path() / "out").string();
    const std::string errPath = (capture.path() / "err").string();

    std::vector<std::string> copies;
    copies.push_back(program);
    copies.insert(copies.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : copies) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    RunResult result;
    const pid_t child = fork();
    if (child == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) {
            _exit(126);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (child < 0) {
        return result;
    }
    int status = 0;
    if (waitpid(child, &status, 0) == child && WIFEXITED(status)) {
        result.status = WEXITSTATUS(status);
    }
    result.out = readFile(outPath);
    result.err = readFile(errPath);
    return result;
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty()) {
            lines.push_back(line);
        }
    }
    return lines;
}

namespace {

void onError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp)
{
}

// The libpng sequences, kept free of objects with destructors so that the
// longjmp of an error skips no clean-up.
bool encodeRaw(std::FILE* file, const RawPng& png, png_colorp colors, int entries, png_bytepp rows)
{
    png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
    png_infop info = writer != nullptr ? png_create_info_struct(writer) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&writer, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(writer))) {
        png_destroy_write_struct(&writer, &info);
        return false;
    }
    // Some fixtures are deliberately broken: pixels beyond the palette.
    png_set_check_for_invalid_index(writer, -1);
    png_set_benign_errors(writer, 1);
    png_init_io(writer, file);
    png_set_IHDR(writer, info, static_cast<png_uint_32>(png.width), static_cast<png_uint_32>(png.height),
                 png.bitDepth, png.colorType,
                 png.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (entries > 0) {
        png_set_PLTE(writer, info, colors, entries);
    }
    png_write_info(writer, info);
    png_write_image(writer, rows);
    png_write_end(writer, nullptr);
    png_destroy_write_struct(&writer, &info);
    return true;
}

bool decodeStored(std::FILE* file, StoredPng* stored, std::vector<png_bytep>* rows)
{
    png_structp reader = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
    png_infop info = reader != nullptr ? png_create_info_struct(reader) : nullptr;
    if (info == nullptr) {
        png_destroy_read_struct(&reader, nullptr, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(reader))) {
        png_destroy_read_struct(&reader, &info, nullptr);
        return false;
    }
    png_init_io(reader, file);
    png_read_info(reader, info);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    png_get_IHDR(reader, info, &width, &height, &stored->bitDepth, &stored->colorType,
                 nullptr, nullptr, nullptr);
    stored->width = static_cast<int>(width);
    stored->height = static_cast<int>(height);
    png_colorp entries = nullptr;
    int count = 0;
    if (png_get_PLTE(reader, info, &entries, &count) != 0) {
        for (int i = 0; i < count; ++i) {
            stored->palette.push_back({entries[i].red, entries[i].green, entries[i].blue});
        }
    }
    if (stored->bitDepth != 8 || png_get_channels(reader, info) != 1) {
        png_destroy_read_struct(&reader, &info, nullptr);
        return false;
    }
    png_set_interlace_handling(reader);
    png_read_update_info(reader, info);
    stored->pixels.assign(static_cast<std::size_t>(width) * height, 0);
    rows->resize(height);
    for (png_uint_32 y = 0; y < height; ++y) {
        (*rows)[y] = stored->pixels.data() + static_cast<std::size_t>(y) * width;
    }
    png_read_image(reader, rows->data());
    png_read_end(reader, nullptr);
    png_destroy_read_struct(&reader, &info, nullptr);
    return true;
}

} // namespace

void writeRawPng(const fs::path& path, const RawPng& png)
{
    const std::size_t channels = png.colorType == PNG_COLOR_TYPE_RGB ? 3
                                 : png.colorType == PNG_COLOR_TYPE_RGB_ALPHA ? 4
                                 : png.colorType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2 : 1;
    const std::size_t stride =
        (static_cast<std::size_t>(png.width) * channels * static_cast<std::size_t>(png.bitDepth) + 7) / 8;
    if (png.samples.size() != stride * static_cast<std::size_t>(png.height)) {
        throw std::runtime_error("RawPng: samples do not match the format");
    }
    std::vector<png_bytep> rows;
    for (int y = 0; y < png.height; ++y) {
        rows.push_back(const_cast<png_bytep>(png.samples.data() + stride * static_cast<std::size_t>(y)));
    }
    std::vector<png_color> colors;
    for (const Rgb& entry : png.palette) {
        colors.push_back(png_color{entry[0], entry[1], entry[2]});
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        throw std::runtime_error("cannot create " + path.string());
    }
    const bool ok = encodeRaw(file, png, colors.data(), static_cast<int>(colors.size()), rows.data());
    if (std::fclose(file) != 0 || !ok) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

RawPng greyPng(const std::vector<std::uint8_t>& pixels)
{
    RawPng png;
    png.colorType = PNG_COLOR_TYPE_GRAY;
    png.samples = pixels;
    return png;
}

RawPng indexedPng(const std::vector<std::uint8_t>& pixels, const std::vector<Rgb>& palette)
{
    RawPng png;
    png.colorType = PNG_COLOR_TYPE_PALETTE;
    png.samples = pixels;
    png.palette = palette;
    return png;
}

StoredPng readStoredPng(const fs::path& path)
{
    StoredPng stored;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return stored;
    }
    std::vector<png_bytep> rows;
    stored.ok = decodeStored(file, &stored, &rows);
    std::fclose(file);
    return stored;
}

namespace {

// The numbers between "<name> ... = {" and the closing "};".
std::vector<int> numbersOf(const std::string& text, const std::string& name)
{
    std::vector<int> numbers;
    const std::size_t at = text.find(name);
    if (at == std::string::npos) {
        return numbers;
    }
    const std::size_t open = text.find('{', at);
    const std::size_t close = text.find("};", open);
    if (open == std::string::npos || close == std::string::npos) {
        return numbers;
    }
    std::size_t i = open + 1;
    while (i < close) {
        if (text[i] == '/' && i + 1 < close && text[i + 1] == '/') {
            i = text.find('\n', i);          // a comment runs to the end of the line
            if (i == std::string::npos) {
                break;
            }
        } else if (std::isdigit(static_cast<unsigned char>(text[i])) != 0) {
            int value = 0;
            while (i < close && std::isdigit(static_cast<unsigned char>(text[i])) != 0) {
                value = value * 10 + (text[i] - '0');
                ++i;
            }
            numbers.push_back(value);
            continue;
        }
        ++i;
    }
    return numbers;
}

} // namespace

ParsedLandscape parseLandscapeSource(const std::string& text)
{
    ParsedLandscape parsed;
    parsed.heights = numbersOf(text, "HeightMap[mapCells]");
    parsed.colors = numbersOf(text, "ColorMap[mapCells]");
    parsed.palette = numbersOf(text, "TerrainPalette[256][3]");
    return parsed;
}

TestLandscape distinctiveLandscape()
{
    constexpr double pi = 3.14159265358979323846;
    TestLandscape land;
    land.heights.resize(65536);
    land.colors.resize(65536);
    for (int row = 0; row < 256; ++row) {
        for (int column = 0; column < 256; ++column) {
            const double hills = std::sin(2.0 * pi * column / 64.0) * std::cos(2.0 * pi * row / 32.0);
            int height = static_cast<int>(std::lround(70.0 + 60.0 * hills));
            // The start-up camera stands at column 188, row 168 and looks
            // toward column 0; the nearest depth slice of the view is about
            // 57 cells ahead. This tower stands 70 to 78 cells ahead.
            if (row >= 166 && row <= 170 && column >= 110 && column <= 118) {
                height = 250;
            }
            land.heights[static_cast<std::size_t>(row * 256 + column)] = static_cast<std::uint8_t>(height);
            land.colors[static_cast<std::size_t>(row * 256 + column)] =
                static_cast<std::uint8_t>((row / 8 + column / 8) % 40);
        }
    }
    for (int i = 0; i < 224; ++i) {
        land.palette.push_back({static_cast<std::uint8_t>(i * 6), static_cast<std::uint8_t>(255 - i * 6),
                                static_cast<std::uint8_t>((i * 37) % 256)});
    }
    land.palette[223] = {250, 140, 60};
    return land;
}

} // namespace import_test
