// The 64 KiB window onto the GP2X system-on-chip's registers, which start at
// physical address 0xC0000000. Mapped only in GP2X builds.
#ifndef LANDSCAPE_HW_REGISTERS_H
#define LANDSCAPE_HW_REGISTERS_H

#include <stdint.h>

// The mapped window, or null. The register at byte offset o is element o / 2.
extern volatile uint16_t* regs16;

const uint64_t registerBase = 0xC0000000u;
const uint32_t registerWindowBytes = 0x10000;

// Maps registerWindowBytes of the file at path from registerBase, once:
// later calls do nothing. Silent when the file cannot be opened or mapped;
// the window then stays unmapped. The GP2X's mapRegisters (app/platform.h)
// maps "/dev/mem"; a test can point it at a large sparse file.
void mapRegisterFile(const char* path);

#endif
