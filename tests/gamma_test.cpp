// Display gamma through a fake register window, and the register mapping
// itself through a large sparse file standing in for physical memory.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/ptrace.h>
#include <sys/stat.h>
#include <sys/wait.h>
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
    std::uint16_t reg(std::uint32_t offset) const { return window[offset / 2]; }
};

TEST_F(Gamma, ClearsOnlyBit12OfDisplayControl)
{
    window[displayControlRegister / 2] = 0xFFFF;
    setGamma(120);
    EXPECT_EQ(reg(displayControlRegister), 0xEFFF);
    window[displayControlRegister / 2] = 0x0123;
    setGamma(120);
    EXPECT_EQ(reg(displayControlRegister), 0x0123);
}

TEST_F(Gamma, WritesIndexZeroAndTouchesNoOtherRegister)
{
    setGamma(120);
    EXPECT_EQ(reg(gammaIndexRegister), 0);
    EXPECT_EQ(reg(gammaDataRegister), 255);   // entry 255's second store
    for (std::uint32_t offset = 0; offset < registerWindowBytes; offset += 2) {
        if (offset == displayControlRegister || offset == gammaIndexRegister || offset == gammaDataRegister)
            continue;
        ASSERT_EQ(reg(offset), untouched) << std::hex << offset;
    }
}

TEST_F(Gamma, TableFor120)
{
    setGamma(120);
    const int first[] = {0, 2, 4, 6, 7, 9, 11, 12};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(gammaRamp[i], first[i]) << i;
    EXPECT_EQ(gammaRamp[128], 143);
    EXPECT_EQ(gammaRamp[254], 254);
    EXPECT_EQ(gammaRamp[255], 255);
    for (int i = 1; i < 256; ++i)
        EXPECT_GE(gammaRamp[i], gammaRamp[i - 1]) << i;
}

TEST_F(Gamma, HundredPercentIsTheIdentity)
{
    setGamma(100);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(gammaRamp[i], i) << i;
}

TEST_F(Gamma, UnmappedWindowChangesNothing)
{
    regs16 = nullptr;
    gammaRamp[7] = 99;
    setGamma(120);
    for (std::uint16_t v : window)
        ASSERT_EQ(v, untouched);
    EXPECT_EQ(gammaRamp[7], 99);
}

// Every store to the data register, in order, observed by single-stepping
// a forked copy of this process that loads the table. After each step the
// tracer reads the register and puts the marker back, so two equal stores
// in a row are both seen.
std::vector<std::uint16_t> tracedDataStores(int percent, std::uint16_t* window)
{
    std::vector<std::uint16_t> stores;
    const pid_t child = fork();
    if (child == 0) {
        ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
        raise(SIGSTOP);
        regs16 = window;
        setGamma(percent);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    // However tracing goes, the child does not outlive the test.
    struct Reaper {
        pid_t pid;
        bool reaped;
        ~Reaper()
        {
            if (!reaped) {
                kill(pid, SIGKILL);
                waitpid(pid, nullptr, 0);
            }
        }
    } reaper{child, false};
    if (!WIFSTOPPED(status)) {
        reaper.reaped = true;
        return stores;
    }
    std::uint16_t* data = window + gammaDataRegister / 2;
    // A word-aligned read covering the register.
    auto* word = reinterpret_cast<long*>(reinterpret_cast<std::uintptr_t>(data) & ~(sizeof(long) - 1));
    const std::size_t shift = (reinterpret_cast<std::uintptr_t>(data) - reinterpret_cast<std::uintptr_t>(word)) * 8;
    for (;;) {
        if (ptrace(PTRACE_SINGLESTEP, child, nullptr, nullptr) != 0)
            break;
        waitpid(child, &status, 0);
        if (WIFEXITED(status) || WIFSIGNALED(status)) {
            reaper.reaped = true;
            break;
        }
        const long raw = ptrace(PTRACE_PEEKDATA, child, word, nullptr);
        const auto value = static_cast<std::uint16_t>(static_cast<unsigned long>(raw) >> shift);
        if (value != untouched) {
            stores.push_back(value);
            const long restored = static_cast<long>(
                (static_cast<unsigned long>(raw) & ~(0xFFFFul << shift)) | (static_cast<unsigned long>(untouched) << shift));
            ptrace(PTRACE_POKEDATA, child, word, reinterpret_cast<void*>(restored));
        }
    }
    return stores;
}

TEST_F(Gamma, EachEntryIsTwoStoresInOrder)
{
    if (ptrace(PTRACE_PEEKUSER, getpid(), nullptr, nullptr) == -1 && errno == ENOSYS)
        GTEST_SKIP() << "no ptrace here (user-mode emulation)";
    const std::vector<std::uint16_t> stores = tracedDataStores(120, window.data());
    if (stores.empty())
        GTEST_SKIP() << "single-stepping is not available";
    setGamma(120);
    ASSERT_EQ(stores.size(), 512u);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(stores[2 * i], gammaRamp[i] * 256 + gammaRamp[i]) << i;
        EXPECT_EQ(stores[2 * i + 1], gammaRamp[i]) << i;
    }
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

TEST_F(RegisterMapping, StoresLandAtThePhysicalOffset)
{
    mapRegisterFile(path.c_str());
    ASSERT_NE(regs16, nullptr);
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

TEST_F(RegisterMapping, MapsOnlyOnce)
{
    mapRegisterFile(path.c_str());
    volatile std::uint16_t* first = regs16;
    ASSERT_NE(first, nullptr);
    mapRegisterFile(path.c_str());
    EXPECT_EQ(regs16, first);
}

TEST_F(RegisterMapping, MissingOrInaccessibleDeviceLeavesTheWindowUnmapped)
{
    mapRegisterFile("/nonexistent/landscape/mem");
    EXPECT_EQ(regs16, nullptr);
    // A directory cannot be opened for writing.
    mapRegisterFile("/tmp");
    EXPECT_EQ(regs16, nullptr);
}

}  // namespace
