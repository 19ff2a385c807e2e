#include "hw/registers.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include "hw/platform.h"

volatile std::uint16_t* regs16;

namespace {
int device = -1;
void* window;
}

void mapRegisterFile(const char* path)
{
    if (regs16)
        return;
    device = open(path, O_RDWR);
    if (device < 0)
        return;
    // The offset must reach the kernel as the unsigned 0xC0000000: with
    // 32-bit file offsets it would be negative, so use the 64-bit call.
    window = mmap64(nullptr, registerWindowBytes, PROT_READ | PROT_WRITE, MAP_SHARED, device,
                    static_cast<off64_t>(registerBase));
    if (window != nullptr && window != MAP_FAILED)
        regs16 = static_cast<volatile std::uint16_t*>(window);
    close(device);
}

void mapRegisters()
{
    if (gp2xBuild)
        mapRegisterFile("/dev/mem");
}
