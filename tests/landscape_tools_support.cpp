#include "landscape_tools_support.h"

#include <png.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace tools_test {

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "landscape_tools_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary directory");
    path_ = pattern;
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
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

std::vector<std::string> directoryEntries(const fs::path& directory)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

RunResult run(const std::string& program, const std::vector<std::string>& arguments)
{
    TempDir capture;
    const std::string outPath = (capture.path() / "out").string();
    const std::string errPath = (capture.path() / "err").string();
    std::vector<std::string> copies{program};
    copies.insert(copies.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : copies)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    RunResult result;
    const pid_t child = fork();
    if (child == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0)
            _exit(126);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status))
        result.status = WEXITSTATUS(status);
    result.out = readFile(outPath);
    result.err = readFile(errPath);
    return result;
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            lines.push_back(line);
    return lines;
}

namespace {

// The libpng sequence, kept free of objects with destructors so that the
// longjmp of an error skips no clean-up.
bool encodeRaw(std::FILE* file, const RawPng& png, png_colorp colors, int entries, png_bytepp rows)
{
    png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
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
                 png.bitDepth, png.colorType, png.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (entries > 0)
        png_set_PLTE(writer, info, colors, entries);
    png_write_info(writer, info);
    png_write_image(writer, rows);
    png_write_end(writer, nullptr);
    png_destroy_write_struct(&writer, &info);
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
    const std::size_t size = stride * static_cast<std::size_t>(png.height);
    std::vector<std::uint8_t> samples = png.samples.empty() ? std::vector<std::uint8_t>(size, 1) : png.samples;
    if (samples.size() != size)
        throw std::runtime_error("RawPng: samples do not match the format");
    std::vector<png_bytep> rows;
    for (int y = 0; y < png.height; ++y)
        rows.push_back(samples.data() + stride * static_cast<std::size_t>(y));
    std::vector<png_color> colors;
    for (const Rgb& entry : png.palette)
        colors.push_back(png_color{entry[0], entry[1], entry[2]});
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        throw std::runtime_error("cannot create " + path.string());
    const bool ok = encodeRaw(file, png, colors.data(), static_cast<int>(colors.size()), rows.data());
    if (std::fclose(file) != 0 || !ok)
        throw std::runtime_error("cannot write " + path.string());
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
    RawPng png = greyPng(pixels);
    png.colorType = PNG_COLOR_TYPE_PALETTE;
    png.palette = palette;
    return png;
}

std::vector<std::uint8_t> readPixels(const fs::path& path, unsigned format, int width, int height)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return {};
    image.format = format;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
    const bool ok = png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) != 0;
    png_image_free(&image);
    if (!ok || image.width != static_cast<png_uint_32>(width) || image.height != static_cast<png_uint_32>(height))
        return {};
    return pixels;
}

} // namespace tools_test
