#include "png_io.h"

#include "output_file.h"

#include <fcntl.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

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
            png_bytepp rows, png_const_colorp palette, int paletteEntries, ErrorSink* sink)
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
    if (palette != nullptr) {
        png_set_PLTE(png, info, palette, paletteEntries);
    }
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool writePng(const std::string& path, int width, int height, int channels,
              int colorType, const std::uint8_t* pixels, std::string* error,
              png_const_colorp palette = nullptr, int paletteEntries = 0)
{
    if (width <= 0 || height <= 0 || pixels == nullptr) {
        return failWith(error, path + ": invalid image");
    }

    const std::size_t stride = static_cast<std::size_t>(width) * static_cast<std::size_t>(channels);
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    for (std::size_t y = 0; y < rows.size(); ++y) {
        // libpng takes non-const row pointers but only reads them when writing.
        rows[y] = const_cast<png_bytep>(pixels + y * stride);
    }

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return failWith(error, path + ": " + std::strerror(errno));
    }
    ErrorSink sink{};
    errno = 0;
    bool ok = encode(file, width, height, colorType, rows.data(), palette, paletteEntries, &sink);
    std::string message = ok ? std::string() : path + ": " + sink.message;
    const int code = closeWrittenFile(file);
    if (ok && code != 0) {
        message = path + ": " + std::strerror(code);
        ok = false;
    }
    if (!ok) {
        std::remove(path.c_str());
        return failWith(error, message);
    }
    return true;
}

// Runs the libpng read sequence into *image (which lives in the caller's
// frame, so nothing here is left half-destroyed by the longjmp of an error).
// The signature has already been read and checked.
bool decode(std::FILE* file, PngImage* image, std::vector<png_bytep>* rows, ErrorSink* sink)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, sink,
                                             onPngError, onPngWarning);
    if (png == nullptr) {
        std::snprintf(sink->message, sizeof sink->message, "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        std::snprintf(sink->message, sizeof sink->message, "out of memory");
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, file);
    png_set_sig_bytes(png, 8);
    // A pixel index beyond the palette is the caller's to judge, not
    // libpng's: keep such "benign" problems from aborting the read.
    png_set_benign_errors(png, 1);
    png_read_info(png, info);

    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colorType = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
    image->width = static_cast<int>(width);
    image->height = static_cast<int>(height);
    image->bitDepth = bitDepth;
    image->colorType = colorType;

    png_colorp entries = nullptr;
    int count = 0;
    if (png_get_PLTE(png, info, &entries, &count) != 0) {
        for (int i = 0; i < count; ++i) {
            image->palette.push_back({entries[i].red, entries[i].green, entries[i].blue});
        }
    }

    const bool oneBytePerPixel =
        bitDepth == 8 && (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_PALETTE);
    const std::size_t cells = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (oneBytePerPixel && cells <= maxDecodedPixels) {
        png_set_interlace_handling(png);
        png_read_update_info(png, info);
        image->pixels.assign(cells, 0);
        rows->resize(height);
        for (png_uint_32 y = 0; y < height; ++y) {
            (*rows)[y] = image->pixels.data() + static_cast<std::size_t>(y) * width;
        }
        png_read_image(png, rows->data());
        png_read_end(png, nullptr);
    }
    png_destroy_read_struct(&png, &info, nullptr);
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

bool writeIndexedPng(const std::string& path, int width, int height,
                     const std::uint8_t* pixels, const std::uint8_t (*palette)[3],
                     int entries, std::string* error)
{
    if (palette == nullptr || entries < 1 || entries > 256) {
        return failWith(error, path + ": invalid palette");
    }
    std::vector<png_color> colors(static_cast<std::size_t>(entries));
    for (std::size_t i = 0; i < colors.size(); ++i) {
        colors[i].red = palette[i][0];
        colors[i].green = palette[i][1];
        colors[i].blue = palette[i][2];
    }
    return writePng(path, width, height, 1, PNG_COLOR_TYPE_PALETTE, pixels, error,
                    colors.data(), entries);
}

PngReadError readPng(const std::string& path, PngImage* image, std::string* error)
{
    auto fail = [&](PngReadError reason, const std::string& message) {
        if (error != nullptr) {
            *error = path + ": " + message;
        }
        return reason;
    };
    *image = PngImage{};

    // Opened without waiting and checked before anything is read: opening or
    // reading a FIFO or a device could block for good.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        const int code = errno;
        if (code == ENOENT) {
            return fail(PngReadError::missing, "file not found");
        }
        return fail(PngReadError::unreadable, std::string("cannot open: ") + std::strerror(code));
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return fail(PngReadError::unreadable, "not a regular file");
    }
    // O_NONBLOCK does not change how a regular file is read.
    std::FILE* file = ::fdopen(descriptor, "rb");
    if (file == nullptr) {
        const int code = errno;
        ::close(descriptor);
        return fail(PngReadError::unreadable, std::string("cannot open: ") + std::strerror(code));
    }
    png_byte signature[8] = {};
    const std::size_t got = std::fread(signature, 1, sizeof signature, file);
    if (got != sizeof signature && std::ferror(file) != 0) {
        const int code = errno;
        std::fclose(file);
        return fail(PngReadError::unreadable, std::string("cannot read: ") + std::strerror(code));
    }
    if (got != sizeof signature || png_sig_cmp(signature, 0, sizeof signature) != 0) {
        std::fclose(file);
        return fail(PngReadError::notPng, "not a PNG file");
    }

    ErrorSink sink{};
    std::vector<png_bytep> rows;
    const bool ok = decode(file, image, &rows, &sink);
    std::fclose(file);
    if (!ok) {
        *image = PngImage{};
        return fail(PngReadError::corrupt, std::string("damaged or truncated PNG file (libpng: ") + sink.message + ")");
    }
    return PngReadError::none;
}

std::string describePngFormat(int bitDepth, int colorType)
{
    const char* kind = "unknown colour type";
    switch (colorType) {
    case PNG_COLOR_TYPE_GRAY:
        kind = "greyscale";
        break;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        kind = "greyscale with alpha";
        break;
    case PNG_COLOR_TYPE_RGB:
        kind = "RGB";
        break;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        kind = "RGB with alpha";
        break;
    case PNG_COLOR_TYPE_PALETTE:
        kind = "indexed";
        break;
    default:
        break;
    }
    return std::to_string(bitDepth) + "-bit " + kind;
}

} // namespace landscape_tools
