// mmap64 and off64_t are GNU extensions of the C library.
#ifndef _GNU_SOURCE
#define _GNU_SOURCE 1
#endif
#include "hw/registers.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

volatile uint16_t* regs16;

void mapRegisterFile(const char* path)
{
    if (regs16)
        return;
    const int device = open(path, O_RDWR);
    if (device < 0)
        return;
    // The offset must reach the kernel as the unsigned 0xC0000000: with
    // 32-bit file offsets it would be negative, so use the 64-bit call.
    void* const window = mmap64(NULL, registerWindowBytes, PROT_READ | PROT_WRITE, MAP_SHARED, device,
                                 static_cast<off64_t>(registerBase));
    if (window != NULL && window != MAP_FAILED)
        regs16 = static_cast<volatile uint16_t*>(window);
    close(device);
}
