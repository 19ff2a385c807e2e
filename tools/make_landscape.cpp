// make_landscape: generates the landscape compiled into the program.
//
//   make_landscape OUT.cpp [PREVIEW_DIR]
//
// Writes the height map, colour map and palette as C++ source to OUT.cpp and,
// when PREVIEW_DIR is given, PREVIEW_DIR/heightmap.png (grey, height scaled to
// 0..255) and PREVIEW_DIR/colormap.png (the colour map through the palette).
//
// The output depends only on the seed below. The terrain is periodic gradient
// noise (every lattice period divides 256, so the map tiles exactly) computed
// with plain double arithmetic: +, -, *, /, sqrt and floor only, all of which
// IEEE 754 defines exactly (no libm approximations), so the same bytes come
// out on every conforming machine. The tool is built with -ffp-contract=off
// so that no fused multiply-add changes an intermediate rounding.
#include "landscape_files.h"

#include <spng.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using landscape_tools::landscapeCells;
using landscape_tools::landscapeSide;

constexpr std::uint64_t seed = 0x5EEDC0A57A1B0E5DULL;

constexpr int maxHeight = 118;
constexpr int groundColors = 134;

// ---------------------------------------------------------------------------
// Random numbers: splitmix64.

struct Random {
    std::uint64_t state;

    std::uint64_t next()
    {
        state += 0x9E3779B97F4A7C15ULL;
        std::uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    // Uniform in [-1, 1): the top 53 bits scaled exactly.
    double signedUnit()
    {
        return static_cast<double>(next() >> 11) * (2.0 / 9007199254740992.0) - 1.0;
    }
};

// ---------------------------------------------------------------------------
// Periodic gradient noise.
//
// One octave has a lattice of `period` x `period` random unit gradients spaced
// `spacing` = 256 / period cells apart; lattice indices wrap modulo `period`,
// so the octave repeats every 256 cells in both directions. The value at a
// cell is the usual blend of the four corner ramps with the quintic fade.

struct Octave {
    int spacing = 0;
    int period = 0;
    std::vector<double> gx;
    std::vector<double> gy;
};

Octave makeOctave(Random& random, int spacing)
{
    Octave octave;
    octave.spacing = spacing;
    octave.period = landscapeSide / spacing;
    const std::size_t count = static_cast<std::size_t>(octave.period) * static_cast<std::size_t>(octave.period);
    octave.gx.resize(count);
    octave.gy.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        // Rejection sampling in the unit disc gives a uniform direction
        // without trigonometry.
        for (;;) {
            const double x = random.signedUnit();
            const double y = random.signedUnit();
            const double length2 = x * x + y * y;
            if (length2 > 0.01 && length2 <= 1.0) {
                const double length = std::sqrt(length2);
                octave.gx[i] = x / length;
                octave.gy[i] = y / length;
                break;
            }
        }
    }
    return octave;
}

double fade(double t)
{
    return t * t * t * (t * (t * 6.0 - 15.0) + 10.0);
}

// Noise value of `octave` at cell (column, row); roughly within [-0.7, 0.7].
double sampleOctave(const Octave& octave, int column, int row)
{
    const int p = octave.period;
    const int x0 = column / octave.spacing;
    const int y0 = row / octave.spacing;
    const int x1 = (x0 + 1) % p;
    const int y1 = (y0 + 1) % p;
    // Sample cell centres, so that no cell lies exactly on a lattice point
    // (where gradient noise is always zero).
    const double fx = (static_cast<double>(column % octave.spacing) + 0.5) / octave.spacing;
    const double fy = (static_cast<double>(row % octave.spacing) + 0.5) / octave.spacing;

    auto ramp = [&](int lx, int ly, double dx, double dy) {
        const std::size_t i = static_cast<std::size_t>(ly * p + lx);
        return octave.gx[i] * dx + octave.gy[i] * dy;
    };
    const double n00 = ramp(x0, y0, fx, fy);
    const double n10 = ramp(x1, y0, fx - 1.0, fy);
    const double n01 = ramp(x0, y1, fx, fy - 1.0);
    const double n11 = ramp(x1, y1, fx - 1.0, fy - 1.0);
    const double u = fade(fx);
    const double v = fade(fy);
    const double top = n00 + (n10 - n00) * u;
    const double bottom = n01 + (n11 - n01) * u;
    return top + (bottom - top) * v;
}

// A sum of octaves from `coarsest` spacing down to `finest`, each octave's
// amplitude `gain` times the one before.
struct Fractal {
    std::vector<Octave> octaves;
    double gain = 0.5;
    bool ridged = false;
};

Fractal makeFractal(Random& random, int coarsest, int finest, double gain, bool ridged)
{
    Fractal fractal;
    fractal.gain = gain;
    fractal.ridged = ridged;
    for (int spacing = coarsest; spacing >= finest; spacing /= 2) {
        fractal.octaves.push_back(makeOctave(random, spacing));
    }
    return fractal;
}

// Plain fractal sums noise; ridged fractal sums (1 - 2|noise|)^2, which folds
// every zero crossing into a sharp crest. Ridged octaves are weighted by the
// sum so far, keeping valleys smooth and piling detail onto the crests.
double sampleFractal(const Fractal& fractal, int column, int row)
{
    double sum = 0.0;
    double amplitude = 1.0;
    double weight = 1.0;
    for (const Octave& octave : fractal.octaves) {
        double n = sampleOctave(octave, column, row);
        if (fractal.ridged) {
            n = 1.0 - 2.0 * (n < 0.0 ? -n : n);
            if (n < 0.0) {
                n = 0.0;
            }
            n *= n;
            n *= weight;
            weight = std::clamp(n * 1.6, 0.0, 1.0);
        }
        sum += n * amplitude;
        amplitude *= fractal.gain;
    }
    return sum;
}

double smoothstep(double edge0, double edge1, double x)
{
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

int wrap(int v)
{
    return v & (landscapeSide - 1);
}

std::size_t cellIndex(int column, int row)
{
    return static_cast<std::size_t>(wrap(row) * landscapeSide + wrap(column));
}

// ---------------------------------------------------------------------------
// Palette.
//
// The ground colours 0..133 are eight bands of shades, each band ordered from
// shadow to full light. A band's colours are interpolated between knots.

enum Band { Forest, Rock, Earth, Water, Sand, Grass, Meadow, Snow, bandCount };

struct Knot {
    int index;
    std::uint8_t r, g, b;
};

struct BandLayout {
    const char* name;
    int first;
    int count;
    std::vector<Knot> knots;
    double relief; // scales the slope shading (flat bands get more)
    double grain;  // amplitude of per-cell speckle in the shade (tree crowns)
};

// Knots are placed so the colours the ramps above 133 start from lie on their
// bands: 12 (deep green) ends the forest, 19 (grey-brown) is the middle of the
// rock, 26 (dark brown) starts the bare earth and 115 (olive) ends the meadow.
const std::array<BandLayout, bandCount> bands = {{
    {"forest", 0, 13, {{0, 10, 26, 12}, {12, 60, 80, 36}}, 1.0, 0.08},
    {"rock", 13, 13, {{13, 50, 44, 40}, {19, 112, 100, 84}, {25, 182, 172, 158}}, 1.0, 0.03},
    {"earth", 26, 20, {{26, 60, 48, 32}, {36, 142, 116, 80}, {45, 212, 188, 142}}, 1.0, 0.0},
    {"water", 46, 18, {{46, 8, 22, 58}, {63, 70, 132, 176}}, 0.0, 0.0},
    {"sand", 64, 14, {{64, 120, 104, 70}, {77, 240, 224, 174}}, 1.5, 0.0},
    {"grass", 78, 22, {{78, 28, 56, 16}, {99, 150, 190, 80}}, 1.0, 0.0},
    {"meadow", 100, 16, {{100, 44, 54, 28}, {115, 104, 120, 80}}, 1.0, 0.0},
    {"snow", 116, 18, {{116, 104, 116, 138}, {133, 252, 252, 255}}, 1.0, 0.0},
}};

// Rounds numerator / denominator to the nearest integer, halves upwards, for
// non-negative numerator and positive denominator. Sets *tie (when given) on
// an exact half; the four ramps above the ground colours must not produce
// one, so their rounding is plainly "nearest" (their denominators are odd).
int roundRatio(long numerator, long denominator, bool* tie)
{
    const long twice = 2 * numerator;
    if (tie != nullptr && twice % (2 * denominator) == denominator) {
        *tie = true;
    }
    return static_cast<int>((twice + denominator) / (2 * denominator));
}

// Sets entries first..first+count-1 to from + (to - from) * k / denominator,
// k = 0..count-1, each component rounded to the nearest integer.
void fillRamp(std::uint8_t (*palette)[3], int first, int count, const std::uint8_t* from,
              const std::uint8_t* to, int denominator, bool* tie)
{
    for (int k = 0; k < count; ++k) {
        for (int c = 0; c < 3; ++c) {
            const long start = from[c];
            const long numerator = start * denominator + (static_cast<long>(to[c]) - start) * k;
            palette[first + k][c] = static_cast<std::uint8_t>(roundRatio(numerator, denominator, tie));
        }
    }
}

bool buildPalette(std::uint8_t (*palette)[3])
{
    bool tie = false;
    for (const BandLayout& band : bands) {
        for (std::size_t k = 0; k + 1 < band.knots.size(); ++k) {
            const Knot& a = band.knots[k];
            const Knot& b = band.knots[k + 1];
            const std::uint8_t from[3] = {a.r, a.g, a.b};
            const std::uint8_t to[3] = {b.r, b.g, b.b};
            fillRamp(palette, a.index, b.index - a.index + 1, from, to, b.index - a.index, nullptr);
        }
    }
    static const std::uint8_t sky[3] = {51, 160, 204};
    static const std::uint8_t lastBand[3] = {81, 131, 146};
    // Four ramps from ground colours towards the sky; 223 lands exactly on
    // the sky blue that clears the view, 255 on the letterbox colour.
    fillRamp(palette, 134, 58, palette[12], sky, 57, &tie);
    fillRamp(palette, 192, 32, palette[26], sky, 31, &tie);
    fillRamp(palette, 224, 16, palette[19], sky, 31, &tie);
    fillRamp(palette, 240, 16, palette[115], lastBand, 15, &tie);
    return !tie;
}

// ---------------------------------------------------------------------------
// Terrain.

using landscape_tools::Landscape;

// Raw elevation before quantisation: rolling hills everywhere, with ridged
// mountain ranges where a slow mask noise is high.
std::vector<double> buildElevation(Random& random)
{
    const Fractal hills = makeFractal(random, 128, 2, 0.5, false);
    const Fractal ridges = makeFractal(random, 64, 2, 0.5, true);
    const Fractal mask = makeFractal(random, 128, 32, 0.5, false);
    std::vector<double> elevation(landscapeCells);
    for (int row = 0; row < landscapeSide; ++row) {
        for (int column = 0; column < landscapeSide; ++column) {
            const double base = sampleFractal(hills, column, row);
            const double m = smoothstep(-0.05, 0.35, sampleFractal(mask, column, row));
            const double mountains = sampleFractal(ridges, column, row);
            elevation[cellIndex(column, row)] = base + m * (0.15 + mountains * 0.9);
        }
    }
    return elevation;
}

// Quantises the elevation to heights 0..118. The lowest part of the map
// becomes water, flattened to height 0. The land above is mapped through a
// piecewise-linear curve pinned at elevation quantiles, which fixes how much
// of the map is lowland, hills and mountains whatever the noise happened to
// produce; the highest cell becomes exactly 118. Also returns each water
// cell's depth as a fraction 0..1 of the deepest.
void quantiseHeights(const std::vector<double>& elevation, std::vector<std::uint8_t>& heights,
                     std::vector<double>& depth)
{
    std::vector<double> sorted = elevation;
    std::sort(sorted.begin(), sorted.end());
    auto quantile = [&](double share) {
        return sorted[static_cast<std::size_t>(share * (landscapeCells - 1))];
    };

    // (share of the map below, height there). The first point is the shore.
    struct Level {
        double share;
        double height;
    };
    constexpr Level levels[] = {
        {0.12, 0.5}, {0.30, 8.0}, {0.55, 26.0}, {0.78, 48.0}, {0.92, 74.0}, {0.98, 96.0}, {1.0, maxHeight},
    };
    constexpr int levelCount = sizeof levels / sizeof levels[0];
    double at[levelCount];
    for (int k = 0; k < levelCount; ++k) {
        at[k] = quantile(levels[k].share);
    }
    const double sea = at[0];
    const double lowest = sorted.front();

    depth.assign(landscapeCells, 0.0);
    for (std::size_t i = 0; i < elevation.size(); ++i) {
        const double e = elevation[i];
        if (e < sea) {
            heights[i] = 0;
            depth[i] = (sea - e) / (sea - lowest);
            continue;
        }
        int k = 1;
        while (k < levelCount - 1 && e > at[k]) {
            ++k;
        }
        const double t = (e - at[k - 1]) / (at[k] - at[k - 1]);
        const double height = levels[k - 1].height + (levels[k].height - levels[k - 1].height) * t;
        heights[i] = static_cast<std::uint8_t>(std::clamp(static_cast<int>(height + 0.5), 1, maxHeight));
    }
}

// Shade fraction 0..1 of a cell lit from the north-west (top left of the
// map): ground rising towards the south-east faces the light and is brighter,
// ground falling away from it darker. The slope along the light compares the
// three neighbours on the far side (east, south-east, south) with the three
// towards the light (west, north-west, north), which smooths the one-unit
// terraces of the height map; for a plane rising by a per cell both east and
// south the difference is 8a. It passes through d / (1 + |d|) so that gentle
// slopes still read while steep ones reach the ends of the band without all
// piling up there.
double shadeFraction(const std::vector<std::uint8_t>& heights, int column, int row, double relief)
{
    auto at = [&](int dx, int dy) { return static_cast<int>(heights[cellIndex(column + dx, row + dy)]); };
    const int rise = at(1, 0) + at(1, 1) + at(0, 1) - at(-1, 0) - at(-1, -1) - at(0, -1);
    constexpr double strength = 0.06;
    const double d = strength * relief * rise;
    return 0.5 + 0.8 * d / (1.0 + (d < 0.0 ? -d : d));
}

// Independent per-cell noise in [-1, 1), a hash of the cell index.
double cellNoise(std::size_t index)
{
    Random hash{seed ^ (0xD1B54A32D192ED03ULL * (index + 1))};
    return hash.signedUnit();
}

int shadeIndex(const BandLayout& band, double fraction)
{
    const int level = static_cast<int>(std::floor(fraction * band.count));
    return band.first + std::clamp(level, 0, band.count - 1);
}

void colourTerrain(Random& random, const std::vector<double>& depth, Landscape& land)
{
    const Fractal jitter = makeFractal(random, 32, 2, 0.6, false);
    const Fractal woods = makeFractal(random, 64, 4, 0.55, false);
    const std::vector<std::uint8_t>& h = land.heights;

    for (int row = 0; row < landscapeSide; ++row) {
        for (int column = 0; column < landscapeSide; ++column) {
            const std::size_t i = cellIndex(column, row);
            const int height = h[i];
            // Largest drop or rise to a 4-neighbour, in height units.
            int slope = 0;
            const int neighbours[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
            for (const auto& n : neighbours) {
                const int step = height - h[cellIndex(column + n[0], row + n[1])];
                slope = std::max(slope, step < 0 ? -step : step);
            }
            // Band boundaries wander by up to about ten height units.
            const double wobble = sampleFractal(jitter, column, row) * 14.0;
            const double level = height + wobble;
            const double forestNoise = sampleFractal(woods, column, row);

            Band band;
            if (height == 0) {
                band = Water;
            } else if (level > 94.0 && slope <= 5) {
                band = Snow;
            } else if (level > 80.0 || slope >= 7) {
                band = Rock;
            } else if (level > 68.0 || slope >= 5) {
                band = Earth;
            } else if (height <= 3 && level < 6.0) {
                band = Sand;
            } else if (forestNoise > 0.05 && level > 8.0 && level < 60.0 && slope <= 3) {
                band = Forest;
            } else if (level > 42.0) {
                band = Meadow;
            } else {
                band = Grass;
            }

            // Shallow water light, deep water dark; land lit by its slope.
            const BandLayout& layout = bands[band];
            const double shade = band == Water
                                     ? 1.0 - std::sqrt(depth[i])
                                     : shadeFraction(h, column, row, layout.relief) + layout.grain * cellNoise(i);
            land.colors[i] = static_cast<std::uint8_t>(shadeIndex(layout, shade));
        }
    }
}

bool generate(Landscape& land)
{
    Random random{seed};
    std::vector<double> depth;
    quantiseHeights(buildElevation(random), land.heights, depth);
    colourTerrain(random, depth, land);
    if (!buildPalette(land.palette)) {
        std::fprintf(stderr, "make_landscape: a palette ramp hit an exact half\n");
        return false;
    }

    // The program relies on these; refuse to write data that breaks them.
    bool used[256] = {};
    int low = 255;
    int high = 0;
    for (int i = 0; i < landscapeCells; ++i) {
        used[land.colors[i]] = true;
        low = std::min<int>(low, land.heights[i]);
        high = std::max<int>(high, land.heights[i]);
    }
    bool ok = low == 0 && high == maxHeight;
    if (!ok) {
        std::fprintf(stderr, "make_landscape: heights span %d..%d, not 0..%d\n", low, high, maxHeight);
    }
    for (int c = 0; c < 256; ++c) {
        if (used[c] != (c < groundColors)) {
            std::fprintf(stderr, "make_landscape: colour %d is %s\n", c, used[c] ? "used" : "unused");
            ok = false;
        }
    }
    return ok;
}

landscape_tools::OutputFiles previews(const Landscape& land, const std::string& directory)
{
    std::vector<std::uint8_t> grey(landscapeCells);
    std::vector<std::uint8_t> rgb(3 * static_cast<std::size_t>(landscapeCells));
    for (std::size_t i = 0; i < grey.size(); ++i) {
        grey[i] = static_cast<std::uint8_t>((land.heights[i] * 255 + maxHeight / 2) / maxHeight);
        for (int c = 0; c < 3; ++c) {
            rgb[3 * i + static_cast<std::size_t>(c)] = land.palette[land.colors[i]][c];
        }
    }
    return {{directory + "/heightmap.png",
             landscape_tools::encodePng(landscapeSide, landscapeSide, SPNG_COLOR_TYPE_GRAYSCALE, grey.data())},
            {directory + "/colormap.png",
             landscape_tools::encodePng(landscapeSide, landscapeSide, SPNG_COLOR_TYPE_TRUECOLOR, rgb.data())}};
}

bool writeFiles(const landscape_tools::OutputFiles& files)
{
    std::string error;
    if (!landscape_tools::writeFiles(files, error)) {
        std::fprintf(stderr, "make_landscape: %s\n", error.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: make_landscape OUT.cpp [PREVIEW_DIR]\n");
        return 2;
    }
    static Landscape land;
    if (!generate(land)) {
        // Still write the previews, which show what went wrong.
        if (argc == 3) {
            writeFiles(previews(land, argv[2]));
        }
        return 1;
    }

    char note[160];
    std::snprintf(note, sizeof note,
                  "Generated by tools/make_landscape from seed 0x%016llX.\n"
                  "Rebuild it with the landscape_data target instead of editing it.",
                  static_cast<unsigned long long>(seed));
    landscape_tools::OutputFiles files = {{argv[1], landscape_tools::landscapeSource(land, note)}};
    if (argc == 3) {
        const landscape_tools::OutputFiles pictures = previews(land, argv[2]);
        files.insert(files.end(), pictures.begin(), pictures.end());
    }
    return writeFiles(files) ? 0 : 1;
}
