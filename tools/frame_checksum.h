// The checksum that pins a frame: FNV-1a 64 over its palette indices, row by
// row. `render_frame --checksum` prints it; the golden start-up frame test
// compares against it.
#ifndef LANDSCAPE_TOOLS_FRAME_CHECKSUM_H
#define LANDSCAPE_TOOLS_FRAME_CHECKSUM_H

#include <cstddef>
#include <cstdint>

inline std::uint64_t frameChecksum(const std::uint8_t* pixels, std::size_t count)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (std::size_t i = 0; i < count; ++i) {
        hash ^= pixels[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

#endif
