#include "hw/gamma.h"

#include <math.h>

#include "hw/registers.h"

uint8_t gammaRamp[256];

namespace {
float displayGamma;   // percent / 100
float exponent;
int32_t entry;

volatile uint16_t& reg(uint32_t byteOffset)
{
    return regs16[byteOffset / 2];
}
}

void setGamma(int32_t percent)
{
    if (!regs16)
        return;
    displayGamma = static_cast<float>(percent) / 100.0f;
    exponent = 1.0f / displayGamma;
    reg(displayControlRegister) = static_cast<uint16_t>(reg(displayControlRegister) & ~(1u << 12));
    reg(gammaIndexRegister) = 0;
    for (entry = 0; entry < 256; ++entry) {
        // Truncated, then kept to its low 8 bits.
        gammaRamp[entry] = static_cast<uint8_t>(
            static_cast<int32_t>(pow(entry / 255.0, static_cast<double>(exponent)) * 255.0));
        reg(gammaDataRegister) = static_cast<uint16_t>(gammaRamp[entry] * 256 + gammaRamp[entry]);
        reg(gammaDataRegister) = gammaRamp[entry];
    }
}
