// The 64 KiB window onto the GP2X system-on-chip's registers, which start at
// physical address 0xC0000000. Mapped only in GP2X builds.
#ifndef LANDSCAPE_HW_REGISTERS_H
#define LANDSCAPE_HW_REGISTERS_H

#include <cstdint>

// The mapped window, or null. The register at byte offset o is element o / 2.
extern volatile std::uint16_t* regs16;

constexpr std::uint64_t registerBase = 0xC0000000u;
constexpr std::uint32_t registerWindowBytes = 0x10000;

// Maps the window once; silent when the device cannot be opened or mapped.
// Desktop builds map nothing.
void mapRegisters();
// Maps registerWindowBytes of the file at path from registerBase. Used by
// mapRegisters with "/dev/mem"; a test can point it at a large sparse file.
void mapRegisterFile(const char* path);

#endif
