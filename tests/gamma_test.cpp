// Display gamma through a fake register window, and the register mapping
// itself through a large sparse file standing in for physical memory.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

#include "hw/gamma.h"
#include "hw/registers.h"

namespace {

constexpr std::uint16_t untouched = 0xBEEF;   // neither g nor g * 257 for any g

class Gamma : public ::testing::Test {
protected:
    std::vector<std::uint16_t> window = std::vector<std::uint16_t>(registerWindowBytes / 2, untouched);
    void SetUp() override { regs16 = window.data(); }
    void TearDown() override { regs16 = nullptr; }
    std::uint16_t& reg(std::uint32_t offset) { return window[offset / 2]; }
};

TEST_F(Gamma, LoadingClearsOnlyBit12AndWritesOnlyTheTableRegisters)
{
    reg(displayControlRegister) = 0xFFFF;
    setGamma(120);
    EXPECT_EQ(reg(displayControlRegister), 0xEFFF);
    EXPECT_EQ(reg(gammaIndexRegister), 0);
    EXPECT_EQ(reg(gammaDataRegister), 255);   // entry 255's second store
    for (std::uint32_t offset = 0; offset < registerWindowBytes; offset += 2) {
        if (offset != displayControlRegister && offset != gammaIndexRegister && offset != gammaDataRegister) {
            ASSERT_EQ(reg(offset), untouched) << std::hex << offset;
        }
    }
    reg(displayControlRegister) = 0x0123;
    setGamma(120);
    EXPECT_EQ(reg(displayControlRegister), 0x0123);
}

TEST_F(Gamma, UnmappedWindowChangesNothing)
{
    regs16 = nullptr;
    setGamma(120);
    for (std::uint16_t v : window)
        ASSERT_EQ(v, untouched);
}

TEST(GammaRamp, BrightensAt120AndIsTheIdentityAt100)
{
    const int first[] = {0, 2, 4, 6, 7, 9, 11, 12};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(gammaLevel(120, i), first[i]) << i;
    EXPECT_EQ(gammaLevel(120, 128), 143);
    EXPECT_EQ(gammaLevel(120, 254), 254);
    EXPECT_EQ(gammaLevel(120, 255), 255);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(gammaLevel(100, i), i) << i;
}

// The mapping. A sparse file larger than 0xC0010000 bytes stands in for
// physical memory: stores through the window must land at file offset
// 0xC0000000 and up, which a 32-bit signed offset could not reach.
class RegisterMapping : public ::testing::Test {
protected:
    std::string path;
    void SetUp() override
    {
        regs16 = nullptr;
        char name[] = "/tmp/landscape-physmem-XXXXXX";
        const int fd = mkstemp(name);
        ASSERT_GE(fd, 0);
        path = name;
        ASSERT_EQ(ftruncate64(fd, static_cast<off64_t>(registerBase + registerWindowBytes + 4096)), 0);
        close(fd);
    }
    void TearDown() override
    {
        regs16 = nullptr;
        unlink(path.c_str());
    }
};

int openDescriptors()
{
    int count = 0;
    DIR* dir = opendir("/proc/self/fd");
    while (dir && readdir(dir))
        ++count;
    if (dir)
        closedir(dir);
    return count;
}

TEST_F(RegisterMapping, StoresLandAtThePhysicalOffsetAndTheWindowIsMappedOnce)
{
    const int descriptors = openDescriptors();
    mapRegisterFile(path.c_str());
    ASSERT_NE(regs16, nullptr);
    EXPECT_EQ(openDescriptors(), descriptors);   // the device is closed again
    volatile std::uint16_t* const first = regs16;
    mapRegisterFile(path.c_str());
    EXPECT_EQ(regs16, first);
    regs16[0] = 0x1234;
    regs16[gammaIndexRegister / 2] = 0xABCD;
    msync(const_cast<std::uint16_t*>(regs16), registerWindowBytes, MS_SYNC);
    const int fd = open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    std::uint16_t value = 0;
    ASSERT_EQ(pread64(fd, &value, 2, static_cast<off64_t>(registerBase)), 2);
    EXPECT_EQ(value, 0x1234);
    ASSERT_EQ(pread64(fd, &value, 2, static_cast<off64_t>(registerBase + gammaIndexRegister)), 2);
    EXPECT_EQ(value, 0xABCD);
    ASSERT_EQ(pread64(fd, &value, 2, 0), 2);
    EXPECT_EQ(value, 0);
    close(fd);
}

TEST_F(RegisterMapping, DevicesThatCannotBeOpenedOrMappedLeaveTheWindowUnmapped)
{
    const int descriptors = openDescriptors();
    // Missing; a directory (cannot be opened for writing); /dev/null, which
    // opens but refuses to be mapped.
    for (const char* device : {"/nonexistent/landscape/mem", "/tmp", "/dev/null"}) {
        mapRegisterFile(device);
        EXPECT_EQ(regs16, nullptr) << device;
        EXPECT_EQ(openDescriptors(), descriptors) << device;
    }
}

}  // namespace
