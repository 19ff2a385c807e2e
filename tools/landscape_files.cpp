#include "landscape_files.h"

#include <spng.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace landscape_tools {

namespace {

// Every line of `text` as a comment line; a path in it may hold a newline.
void appendComment(std::string& out, const std::string& text)
{
    for (std::size_t start = 0, end = 0; start <= text.size(); start = end + 1) {
        end = std::min(text.find('\n', start), text.size());
        out += end == start ? "//\n" : "// " + text.substr(start, end - start) + "\n";
    }
}

void appendMap(std::string& out, const char* name, const std::vector<std::uint8_t>& values)
{
    out += std::string("const uint8_t ") + name + "[mapCells] = {\n";
    for (int i = 0; i < landscapeCells; ++i)
        out += std::to_string(values[i]) + (i % 32 == 31 ? ",\n" : ",");
    out += "};\n";
}

} // namespace

std::string landscapeSource(const Landscape& landscape, const std::string& note)
{
    std::string out;
    appendComment(out, "Landscape data compiled into the program: height map, colour map and\n"
                       "palette (see assets/landscape.h). Generated file, do not edit by hand.");
    if (!note.empty()) {
        out += "//\n";
        appendComment(out, note);
    }
    out += "\n#include \"assets/landscape.h\"\n\n";
    appendMap(out, "HeightMap", landscape.heights);
    out += '\n';
    appendMap(out, "ColorMap", landscape.colors);
    out += "\nuint8_t TerrainPalette[256][3] = {\n";
    for (int i = 0; i < 256; ++i) {
        const std::uint8_t* entry = landscape.palette[i];
        out += "{" + std::to_string(entry[0]) + "," + std::to_string(entry[1]) + "," + std::to_string(entry[2]) + "},";
        if (i % 8 == 7)
            out += " // " + std::to_string(i - 7) + "\n";
    }
    out += "};\n";
    return out;
}

std::string encodePng(int width, int height, int colorType, const std::uint8_t* pixels,
                      const std::uint8_t (*palette)[3])
{
    const std::unique_ptr<spng_ctx, void (*)(spng_ctx*)> png(spng_ctx_new(SPNG_CTX_ENCODER), spng_ctx_free);
    spng_ihdr header{static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), 8,
                     static_cast<std::uint8_t>(colorType), 0, 0, 0};
    spng_plte entries{};
    entries.n_entries = palette != nullptr ? 256 : 0;
    for (std::uint32_t i = 0; i < entries.n_entries; ++i)
        entries.entries[i] = {palette[i][0], palette[i][1], palette[i][2], 255};
    const std::size_t size = static_cast<std::size_t>(width) * height * (colorType == SPNG_COLOR_TYPE_TRUECOLOR ? 3 : 1);
    const bool encoded = spng_set_option(png.get(), SPNG_ENCODE_TO_BUFFER, 1) == 0
                         && spng_set_ihdr(png.get(), &header) == 0
                         && (palette == nullptr || spng_set_plte(png.get(), &entries) == 0)
                         && spng_encode_image(png.get(), pixels, size, SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE) == 0;
    std::size_t length = 0;
    int status = 0;
    void* bytes = encoded ? spng_get_png_buffer(png.get(), &length, &status) : nullptr;
    const std::string file = bytes != nullptr ? std::string(static_cast<const char*>(bytes), length) : "";
    std::free(bytes);
    return file;
}

bool writeFiles(const OutputFiles& files, std::string& error)
{
    const auto reason = [] { return std::string(std::strerror(errno != 0 ? errno : EIO)); };
    std::size_t created = 0;
    for (const auto& [path, contents] : files) {
        errno = 0;
        std::FILE* file = contents.empty() ? nullptr : std::fopen((path + ".tmp").c_str(), "wb");
        created += file != nullptr;
        // A short write leaves the stream's error set; fclose reports a failed flush.
        const bool written = file != nullptr && std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
        if ((file != nullptr && std::fclose(file) != 0) || !written) {
            error = path + (contents.empty() ? ": cannot encode the image" : ": cannot write: " + reason());
            break;
        }
    }
    for (std::size_t i = 0; error.empty() && i < files.size(); ++i)
        if (std::rename((files[i].first + ".tmp").c_str(), files[i].first.c_str()) != 0)
            error = files[i].first + ": cannot replace: " + reason();
    if (!error.empty())
        for (std::size_t i = 0; i < created; ++i)
            std::remove((files[i].first + ".tmp").c_str());
    return error.empty();
}

} // namespace landscape_tools
