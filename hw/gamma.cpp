#include "hw/gamma.h"

#include <math.h>

#include "hw/registers.h"

namespace {
volatile uint16_t& reg(uint32_t byteOffset)
{
    return regs16[byteOffset / 2];
}
}

// The gamma (percent / 100) and the exponent (1 / gamma) are single
// precision, 0.8333333 for 120; the power and the scaling are double.
uint8_t gammaLevel(int32_t percent, int32_t level)
{
    const float gamma = static_cast<float>(percent) / 100.0f;
    const float exponent = 1.0f / gamma;
    // Truncated, then kept to its low 8 bits.
    return static_cast<uint8_t>(static_cast<int32_t>(pow(level / 255.0, static_cast<double>(exponent)) * 255.0));
}

void setGamma(int32_t percent)
{
    if (!regs16)
        return;
    reg(displayControlRegister) = static_cast<uint16_t>(reg(displayControlRegister) & ~(1u << 12));
    reg(gammaIndexRegister) = 0;
    for (int32_t level = 0; level < 256; ++level) {
        const uint8_t g = gammaLevel(percent, level);
        reg(gammaDataRegister) = static_cast<uint16_t>(g * 256 + g);
        reg(gammaDataRegister) = g;
    }
}
