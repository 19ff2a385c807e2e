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
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

using namespace landscape_tools;

constexpr std::uint64_t seed = 0x5EEDC0A57A1B0E5DULL;
constexpr int maxHeight = 118;

// splitmix64, giving numbers uniform in [-1, 1): the top 53 bits scaled exactly.
struct Random {
    std::uint64_t state;

    double signedUnit()
    {
        std::uint64_t z = state += 0x9E3779B97F4A7C15ULL;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return static_cast<double>((z ^ (z >> 31)) >> 11) * (2.0 / 9007199254740992.0) - 1.0;
    }
};

// One octave of periodic gradient noise: a lattice of `period` x `period`
// random unit gradients spaced `spacing` = 256 / period cells apart, indices
// wrapping modulo `period`, so the octave repeats every 256 cells.
struct Octave {
    int spacing;
    int period;
    std::vector<double> gx, gy;
};

// Octaves from `coarsest` spacing down to `finest`, each octave's amplitude
// `gain` times the one before.
struct Fractal {
    std::vector<Octave> octaves;
    double gain;
    bool ridged;
};

Fractal makeFractal(Random& random, int coarsest, int finest, double gain, bool ridged)
{
    Fractal fractal{{}, gain, ridged};
    for (int spacing = coarsest; spacing >= finest; spacing /= 2) {
        const int period = landscapeSide / spacing;
        Octave octave{spacing, period, std::vector<double>(period * period), std::vector<double>(period * period)};
        for (std::size_t i = 0; i < octave.gx.size(); ++i) {
            // Rejection sampling in the unit disc: a uniform direction without trigonometry.
            double x, y, length2;
            do {
                x = random.signedUnit();
                y = random.signedUnit();
                length2 = x * x + y * y;
            } while (length2 <= 0.01 || length2 > 1.0);
            octave.gx[i] = x / std::sqrt(length2);
            octave.gy[i] = y / std::sqrt(length2);
        }
        fractal.octaves.push_back(octave);
    }
    return fractal;
}

double fade(double t)
{
    return t * t * t * (t * (t * 6.0 - 15.0) + 10.0);
}

// The octave at cell (column, row): the four corner ramps blended with the
// quintic fade; roughly within [-0.7, 0.7].
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
            n = std::max(1.0 - 2.0 * (n < 0.0 ? -n : n), 0.0);
            n = n * n * weight;
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

std::size_t cellIndex(int column, int row)
{
    return static_cast<std::size_t>((row & (landscapeSide - 1)) * landscapeSide + (column & (landscapeSide - 1)));
}

// The ground colours 0..133 are eight bands of shades, each ordered from
// shadow to full light and interpolated between knots (palette index, r, g, b).
enum Band { Forest, Rock, Earth, Water, Sand, Grass, Meadow, Snow };

struct BandLayout {
    int first;
    int count;
    std::vector<std::array<std::uint8_t, 4>> knots;
    double relief; // scales the slope shading (flat bands get more)
    double grain;  // amplitude of per-cell speckle in the shade (tree crowns)
};

// Knots are placed so the colours the ramps above 133 start from lie on their
// bands: 12 (deep green) ends the forest, 19 (grey-brown) is the middle of the
// rock, 26 (dark brown) starts the bare earth and 115 (olive) ends the meadow.
const BandLayout bands[] = {
    {0, 13, {{0, 10, 26, 12}, {12, 60, 80, 36}}, 1.0, 0.08},
    {13, 13, {{13, 50, 44, 40}, {19, 112, 100, 84}, {25, 182, 172, 158}}, 1.0, 0.03},
    {26, 20, {{26, 60, 48, 32}, {36, 142, 116, 80}, {45, 212, 188, 142}}, 1.0, 0.0},
    {46, 18, {{46, 8, 22, 58}, {63, 70, 132, 176}}, 0.0, 0.0},
    {64, 14, {{64, 120, 104, 70}, {77, 240, 224, 174}}, 1.5, 0.0},
    {78, 22, {{78, 28, 56, 16}, {99, 150, 190, 80}}, 1.0, 0.0},
    {100, 16, {{100, 44, 54, 28}, {115, 104, 120, 80}}, 1.0, 0.0},
    {116, 18, {{116, 104, 116, 138}, {133, 252, 252, 255}}, 1.0, 0.0},
};

// Sets entries first..first+count-1 to from + (to - from) * k / denominator,
// k = 0..count-1, each component rounded to the nearest integer, halves up.
void fillRamp(std::uint8_t (*palette)[3], int first, int count, const std::uint8_t* from, const std::uint8_t* to,
              int denominator)
{
    for (int k = 0; k < count; ++k)
        for (int c = 0; c < 3; ++c) {
            const long numerator = static_cast<long>(from[c]) * denominator + static_cast<long>(to[c] - from[c]) * k;
            palette[first + k][c] = static_cast<std::uint8_t>((2 * numerator + denominator) / (2 * denominator));
        }
}

void buildPalette(std::uint8_t (*palette)[3])
{
    for (const BandLayout& band : bands)
        for (std::size_t k = 0; k + 1 < band.knots.size(); ++k) {
            const auto& a = band.knots[k];
            const auto& b = band.knots[k + 1];
            fillRamp(palette, a[0], b[0] - a[0] + 1, &a[1], &b[1], b[0] - a[0]);
        }
    // Four ramps from ground colours towards the sky; 223 lands exactly on
    // the sky blue drawn above the terrain, 255 on the letterbox colour. Their
    // denominators are odd, so no component falls on an exact half.
    fillRamp(palette, 134, 58, palette[12], skyBlue, 57);
    fillRamp(palette, 192, 32, palette[26], skyBlue, 31);
    fillRamp(palette, 224, 16, palette[19], skyBlue, 31);
    fillRamp(palette, 240, 16, palette[115], bandColour, 15);
}

// Raw elevation: rolling hills everywhere, with ridged mountain ranges where
// a slow mask noise is high.
std::vector<double> buildElevation(Random& random)
{
    const Fractal hills = makeFractal(random, 128, 2, 0.5, false);
    const Fractal ridges = makeFractal(random, 64, 2, 0.5, true);
    const Fractal mask = makeFractal(random, 128, 32, 0.5, false);
    std::vector<double> elevation(landscapeCells);
    for (int row = 0; row < landscapeSide; ++row)
        for (int column = 0; column < landscapeSide; ++column) {
            const double base = sampleFractal(hills, column, row);
            const double m = smoothstep(-0.05, 0.35, sampleFractal(mask, column, row));
            elevation[cellIndex(column, row)] = base + m * (0.15 + sampleFractal(ridges, column, row) * 0.9);
        }
    return elevation;
}

// Quantises the elevation to heights 0..118. The lowest part of the map
// becomes water, flattened to height 0. The land above is mapped through a
// piecewise-linear curve pinned at elevation quantiles, which fixes how much
// of the map is lowland, hills and mountains whatever the noise happened to
// produce; the highest cell becomes exactly 118. Returns each water cell's
// depth as a fraction 0..1 of the deepest.
std::vector<double> quantiseHeights(const std::vector<double>& elevation, std::vector<std::uint8_t>& heights)
{
    std::vector<double> sorted = elevation;
    std::sort(sorted.begin(), sorted.end());
    // (share of the map below, height there). The first point is the shore.
    constexpr double levels[][2] = {
        {0.12, 0.5}, {0.30, 8.0}, {0.55, 26.0}, {0.78, 48.0}, {0.92, 74.0}, {0.98, 96.0}, {1.0, maxHeight},
    };
    constexpr int levelCount = sizeof levels / sizeof levels[0];
    double at[levelCount];
    for (int k = 0; k < levelCount; ++k)
        at[k] = sorted[static_cast<std::size_t>(levels[k][0] * (landscapeCells - 1))];
    const double sea = at[0];

    std::vector<double> depth(landscapeCells, 0.0);
    for (std::size_t i = 0; i < elevation.size(); ++i) {
        const double e = elevation[i];
        if (e < sea) {
            heights[i] = 0;
            depth[i] = (sea - e) / (sea - sorted.front());
            continue;
        }
        int k = 1;
        while (k < levelCount - 1 && e > at[k])
            ++k;
        const double t = (e - at[k - 1]) / (at[k] - at[k - 1]);
        const double height = levels[k - 1][1] + (levels[k][1] - levels[k - 1][1]) * t;
        heights[i] = static_cast<std::uint8_t>(std::clamp(static_cast<int>(height + 0.5), 1, maxHeight));
    }
    return depth;
}

// Shade fraction 0..1 of a cell lit from the north-west: ground rising towards
// the south-east faces the light. The slope compares the three neighbours on
// the far side (east, south-east, south) with the three towards the light,
// which smooths the one-unit terraces of the height map; d / (1 + |d|) keeps
// gentle slopes visible while steep ones do not all pile up at the band's ends.
double shadeFraction(const std::vector<std::uint8_t>& heights, int column, int row, double relief)
{
    auto at = [&](int dx, int dy) { return static_cast<int>(heights[cellIndex(column + dx, row + dy)]); };
    const int rise = at(1, 0) + at(1, 1) + at(0, 1) - at(-1, 0) - at(-1, -1) - at(0, -1);
    const double d = 0.06 * relief * rise;
    return 0.5 + 0.8 * d / (1.0 + (d < 0.0 ? -d : d));
}

void colourTerrain(Random& random, const std::vector<double>& depth, Landscape& land)
{
    const Fractal jitter = makeFractal(random, 32, 2, 0.6, false);
    const Fractal woods = makeFractal(random, 64, 4, 0.55, false);
    const std::vector<std::uint8_t>& h = land.heights;
    for (int row = 0; row < landscapeSide; ++row)
        for (int column = 0; column < landscapeSide; ++column) {
            const std::size_t i = cellIndex(column, row);
            const int height = h[i];
            // Largest drop or rise to a 4-neighbour, in height units.
            int slope = 0;
            for (const auto& [dx, dy] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}})
                slope = std::max(slope, std::abs(height - h[cellIndex(column + dx, row + dy)]));
            // Band boundaries wander by up to about ten height units.
            const double level = height + sampleFractal(jitter, column, row) * 14.0;
            const double forestNoise = sampleFractal(woods, column, row);
            const Band band = height == 0                           ? Water
                              : level > 94.0 && slope <= 5          ? Snow
                              : level > 80.0 || slope >= 7          ? Rock
                              : level > 68.0 || slope >= 5          ? Earth
                              : height <= 3 && level < 6.0          ? Sand
                              : forestNoise > 0.05 && level > 8.0 && level < 60.0 && slope <= 3 ? Forest
                              : level > 42.0                        ? Meadow
                                                                    : Grass;
            // Shallow water light, deep water dark; land lit by its slope,
            // with a per-cell speckle hashed from the cell index.
            const BandLayout& layout = bands[band];
            const double shade = band == Water ? 1.0 - std::sqrt(depth[i])
                                               : shadeFraction(h, column, row, layout.relief)
                                                     + layout.grain * Random{seed ^ (0xD1B54A32D192ED03ULL * (i + 1))}.signedUnit();
            const int shadeLevel = static_cast<int>(std::floor(shade * layout.count));
            land.colors[i] = static_cast<std::uint8_t>(layout.first + std::clamp(shadeLevel, 0, layout.count - 1));
        }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: make_landscape OUT.cpp [PREVIEW_DIR]\n");
        return 2;
    }
    Landscape land;
    Random random{seed};
    const std::vector<double> depth = quantiseHeights(buildElevation(random), land.heights);
    colourTerrain(random, depth, land);
    buildPalette(land.palette);

    char note[160];
    std::snprintf(note, sizeof note,
                  "Generated by tools/make_landscape from seed 0x%016llX.\n"
                  "Rebuild it with the landscape_data target instead of editing it.",
                  static_cast<unsigned long long>(seed));
    OutputFiles files = {{argv[1], landscapeSource(land, note)}};
    if (argc == 3) {
        std::vector<std::uint8_t> grey(landscapeCells), rgb(3 * landscapeCells);
        for (int i = 0; i < landscapeCells; ++i) {
            grey[i] = static_cast<std::uint8_t>((land.heights[i] * 255 + maxHeight / 2) / maxHeight);
            std::copy(land.palette[land.colors[i]], land.palette[land.colors[i]] + 3, &rgb[3 * i]);
        }
        files.push_back({std::string(argv[2]) + "/heightmap.png",
                         encodePng(landscapeSide, landscapeSide, SPNG_COLOR_TYPE_GRAYSCALE, grey.data())});
        files.push_back({std::string(argv[2]) + "/colormap.png",
                         encodePng(landscapeSide, landscapeSide, SPNG_COLOR_TYPE_TRUECOLOR, rgb.data())});
    }
    std::string error;
    if (!writeFiles(files, error)) {
        std::fprintf(stderr, "make_landscape: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
