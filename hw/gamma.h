// The display controller's gamma table.
#ifndef LANDSCAPE_HW_GAMMA_H
#define LANDSCAPE_HW_GAMMA_H

#include <stdint.h>

// Byte offsets of the registers used, from the start of the register window.
const uint32_t displayControlRegister = 0x2880;  // bit 12 cleared before loading
const uint32_t gammaIndexRegister = 0x295C;
const uint32_t gammaDataRegister = 0x295E;

// The display level (0..255) that the ramp for `percent` gives input level
// `level` (0..255): 255 * (level / 255)^(100 / percent), truncated.
uint8_t gammaLevel(int32_t percent, int32_t level);
// Loads the ramp for `percent` into the display controller, each entry as
// two stores to the data register; 120 brightens the picture. Does nothing
// while the register window is unmapped.
void setGamma(int32_t percent);

#endif
