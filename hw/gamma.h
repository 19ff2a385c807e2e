// The display controller's gamma table.
#ifndef LANDSCAPE_HW_GAMMA_H
#define LANDSCAPE_HW_GAMMA_H

#include <stdint.h>

// Byte offsets of the registers used, from the start of the register window.
const uint32_t displayControlRegister = 0x2880;  // bit 12 cleared before loading
const uint32_t gammaIndexRegister = 0x295C;
const uint32_t gammaDataRegister = 0x295E;

// The table last loaded: entry i is the display level of input level i.
extern uint8_t gammaRamp[256];

// Loads the ramp 255 * (i / 255)^(100 / percent); 120 brightens the
// picture. Does nothing while the register window is unmapped.
void setGamma(int32_t percent);

#endif
