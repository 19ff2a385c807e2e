#include "png_io.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace landscape_tools {

namespace {

// libpng reports errors by longjmp; the message is kept here for the caller.
struct ErrorSink {
    char message[256];
};

void onPngError(png_structp png, png_const_charp message)
{
    auto* sink = static_cast<ErrorSink*>(png_get_error_ptr(png));
    if (sink != nullptr) {
        std::snprintf(sink->message, sizeof sink->message, "%s", message);
    }
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp)
{
}

// Runs the libpng write sequence. Kept free of objects with destructors so
// that the longjmp out of an error cannot skip any clean-up.
bool encode(std::FILE* file, int width, int height, int colorType,
            png_bytepp rows, ErrorSink* sink)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, sink,
                                              onPngError, onPngWarning);
    if (png == nullptr) {
        std::snprintf(sink->message, sizeof sink->message, "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        std::snprintf(sink->message, sizeof sink->message, "out of memory");
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width),
                 static_cast<png_uint_32>(height), 8, colorType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool writePng(const std::string& path, int width, int height, int channels,
              int colorType, const std::uint8_t* pixels, std::string* error)
{
    auto fail = [error](const std::string& message) {
        if (error != nullptr) {
            *error = message;
        }
        return false;
    };
    if (width <= 0 || height <= 0 || pixels == nullptr) {
        return fail(path + ": invalid image");
    }

    const std::size_t stride = static_cast<std::size_t>(width) * static_cast<std::size_t>(channels);
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    for (std::size_t y = 0; y < rows.size(); ++y) {
        // libpng takes non-const row pointers but only reads them when writing.
        rows[y] = const_cast<png_bytep>(pixels + y * stride);
    }

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return fail(path + ": " + std::strerror(errno));
    }
    ErrorSink sink{};
    bool ok = encode(file, width, height, colorType, rows.data(), &sink);
    std::string message = ok ? std::string() : path + ": " + sink.message;
    if (std::fflush(file) != 0 || std::ferror(file) != 0) {
        if (ok) {
            message = path + ": " + std::strerror(errno);
        }
        ok = false;
    }
    if (std::fclose(file) != 0 && ok) {
        message = path + ": " + std::strerror(errno);
        ok = false;
    }
    if (!ok) {
        std::remove(path.c_str());
        return fail(message);
    }
    return true;
}

} // namespace

bool writeGreyPng(const std::string& path, int width, int height,
                  const std::uint8_t* pixels, std::string* error)
{
    return writePng(path, width, height, 1, PNG_COLOR_TYPE_GRAY, pixels, error);
}

bool writeRgbPng(const std::string& path, int width, int height,
                 const std::uint8_t* pixels, std::string* error)
{
    return writePng(path, width, height, 3, PNG_COLOR_TYPE_RGB, pixels, error);
}

} // namespace landscape_tools
