#include "landscape_source.h"

#include "output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace landscape_tools {

namespace {

constexpr int valuesPerLine = 32;
constexpr int paletteEntriesPerLine = 8;

void appendComment(std::string& out, const std::string& text)
{
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string line = text.substr(start, end - start);
        out += line.empty() ? "//\n" : "// " + line + "\n";
        start = end + 1;
    }
}

void appendMap(std::string& out, const char* name, const std::uint8_t* values)
{
    out += "const uint8_t ";
    out += name;
    out += "[mapCells] = {\n";
    char number[8];
    for (int i = 0; i < landscapeCells; ++i) {
        std::snprintf(number, sizeof number, "%u,", static_cast<unsigned>(values[i]));
        out += number;
        if (i % valuesPerLine == valuesPerLine - 1) {
            out += '\n';
        }
    }
    out += "};\n";
}

void appendPalette(std::string& out, const std::uint8_t (*palette)[3])
{
    out += "uint8_t TerrainPalette[256][3] = {\n";
    char entry[32];
    for (int i = 0; i < 256; ++i) {
        std::snprintf(entry, sizeof entry, "{%u,%u,%u},",
                      static_cast<unsigned>(palette[i][0]),
                      static_cast<unsigned>(palette[i][1]),
                      static_cast<unsigned>(palette[i][2]));
        out += entry;
        if (i % paletteEntriesPerLine == paletteEntriesPerLine - 1) {
            std::snprintf(entry, sizeof entry, " // %d\n", i - paletteEntriesPerLine + 1);
            out += entry;
        }
    }
    out += "};\n";
}

} // namespace

std::string formatLandscapeSource(const LandscapeArrays& data, const std::string& note)
{
    std::string out;
    out.reserve(2 * 4 * landscapeCells + 16384);
    appendComment(out,
                  "Landscape data compiled into the program: height map, colour map and\n"
                  "palette (see assets/landscape.h). Generated file, do not edit by hand.");
    if (!note.empty()) {
        out += "//\n";
        appendComment(out, note);
    }
    out += "\n#include \"assets/landscape.h\"\n\n";
    appendMap(out, "HeightMap", data.heights);
    out += '\n';
    appendMap(out, "ColorMap", data.colors);
    out += '\n';
    appendPalette(out, data.palette);
    return out;
}

bool writeLandscapeSource(const std::string& path, const LandscapeArrays& data,
                          const std::string& note, std::string* error)
{
    const std::string text = formatLandscapeSource(data, note);
    const std::string temp = path + ".tmp";

    std::FILE* file = std::fopen(temp.c_str(), "wb");
    if (file == nullptr) {
        return failWith(error, temp + ": " + std::strerror(errno));
    }
    errno = 0;
    std::fwrite(text.data(), 1, text.size(), file);
    int code = closeWrittenFile(file);
    if (code != 0) {
        std::remove(temp.c_str());
        return failWith(error, temp + ": " + std::strerror(code));
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        code = errno;
        std::remove(temp.c_str());
        return failWith(error, path + ": " + std::strerror(code));
    }
    return true;
}

} // namespace landscape_tools
