// Screenshots: names, contents, and that existing files and failed writes
// never lose or corrupt data.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

#include "app/input.h"
#include "app/screenshot.h"
#include "app/shell.h"
#include "render/present.h"
#include "render/projection.h"
#include "shell_fixture.h"

namespace fs = std::filesystem;

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& contents)
{
    std::ofstream(path, std::ios::binary) << contents;
}

class Screenshot : public ::testing::Test {
protected:
    TempDirectory dir;
    void SetUp() override { resetFlight(); }
};

TEST_F(Screenshot, NamesCountUpFromZero)
{
    saveScreenshot();
    EXPECT_TRUE(fs::exists("lnd000.bmp"));
    saveScreenshot();
    EXPECT_TRUE(fs::exists("lnd001.bmp"));
    EXPECT_FALSE(fs::exists("lnd002.bmp"));
}

TEST_F(Screenshot, FillsTheFirstGap)
{
    writeFile("lnd000.bmp", "zero");
    writeFile("lnd002.bmp", "two");
    saveScreenshot();
    EXPECT_TRUE(fs::exists("lnd001.bmp"));
    EXPECT_EQ(readFile("lnd000.bmp"), "zero");
    EXPECT_EQ(readFile("lnd002.bmp"), "two");
    EXPECT_FALSE(fs::exists("lnd003.bmp"));
}

TEST_F(Screenshot, PixelsAndPaletteEqualTheScreen)
{
    saveScreenshot();
    SDL_Surface* saved = SDL_LoadBMP("lnd000.bmp");
    ASSERT_NE(saved, nullptr) << SDL_GetError();
    EXPECT_EQ(saved->w, 320);
    EXPECT_EQ(saved->h, 240);
    ASSERT_EQ(saved->format->BitsPerPixel, 8);
    std::string pixels;
    for (int y = 0; y < 240; ++y)
        pixels.append(static_cast<const char*>(saved->pixels) + y * saved->pitch, 320);
    EXPECT_EQ(pixels, screenPixels());
    ASSERT_NE(saved->format->palette, nullptr);
    ASSERT_GE(saved->format->palette->ncolors, 256);
    for (int i = 0; i < 256; ++i) {
        const SDL_Color& a = saved->format->palette->colors[i];
        const SDL_Color& b = screen->format->palette->colors[i];
        EXPECT_EQ(a.r, b.r) << i;
        EXPECT_EQ(a.g, b.g) << i;
        EXPECT_EQ(a.b, b.b) << i;
    }
    SDL_FreeSurface(saved);
    // The bands are in the file too.
    EXPECT_EQ(static_cast<std::uint8_t>(pixels[0]), 255);
    EXPECT_EQ(static_cast<std::uint8_t>(pixels.back()), 255);
}

TEST_F(Screenshot, InLowDetailFirstRedrawsAtFullQuality)
{
    const std::string high = screenPixels();
    setButton(slotUp, 1);
    setButton(slotUp, 0);
    runPass();   // one low detail frame
    ASSERT_NE(screenPixels(), high);
    const unsigned before = presentedFrames;
    saveScreenshot();
    EXPECT_EQ(presentedFrames - before, 1u);
    EXPECT_EQ(highDetail, 1);
    EXPECT_EQ(screenPixels(), high);
    SDL_Surface* saved = SDL_LoadBMP("lnd000.bmp");
    ASSERT_NE(saved, nullptr);
    std::string pixels;
    for (int y = 0; y < 240; ++y)
        pixels.append(static_cast<const char*>(saved->pixels) + y * saved->pitch, 320);
    SDL_FreeSurface(saved);
    EXPECT_EQ(pixels, high);
}

TEST_F(Screenshot, UnreadableExistingFileIsNeverOverwritten)
{
    writeFile("lnd000.bmp", "private");
    fs::permissions("lnd000.bmp", fs::perms::none);
    saveScreenshot();
    fs::permissions("lnd000.bmp", fs::perms::owner_read);
    EXPECT_EQ(readFile("lnd000.bmp"), "private");
    EXPECT_TRUE(fs::exists("lnd001.bmp"));
}

TEST_F(Screenshot, SymbolicLinksAreNotFollowed)
{
    const std::string target = dir.path() + "/elsewhere.bmp";
    fs::create_symlink(target, "lnd000.bmp");            // dangling
    writeFile("real.txt", "keep");
    fs::create_symlink(dir.path() + "/real.txt", "lnd001.bmp");
    saveScreenshot();
    EXPECT_FALSE(fs::exists(target));
    EXPECT_EQ(readFile("real.txt"), "keep");
    EXPECT_TRUE(fs::is_symlink("lnd000.bmp"));
    EXPECT_TRUE(fs::exists("lnd002.bmp"));
    EXPECT_FALSE(fs::is_symlink("lnd002.bmp"));
}

TEST_F(Screenshot, AllNamesTakenWritesNothing)
{
    char name[32];
    for (int n = 0; n < 1000; ++n) {
        std::snprintf(name, sizeof name, "lnd%03d.bmp", n);
        writeFile(name, name);
    }
    saveScreenshot();
    int files = 0;
    for (const auto& entry : fs::directory_iterator(".")) {
        ++files;
        EXPECT_EQ(readFile(entry.path().string()), entry.path().filename().string());
    }
    EXPECT_EQ(files, 1000);
    EXPECT_EQ(highDetail, 1);
}

TEST_F(Screenshot, FailedWriteLeavesNoFile)
{
    // A file size limit far below a screenshot's 77878 bytes makes the write
    // fail part-way, as a full disk would.
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 5000;
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    saveScreenshot();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(fs::exists("lnd000.bmp"));
    EXPECT_TRUE(fs::is_empty("."));
    // And the next screenshot, with room again, takes the first name.
    saveScreenshot();
    EXPECT_TRUE(fs::exists("lnd000.bmp"));
    EXPECT_EQ(fs::file_size("lnd000.bmp"), 77878u);
}

}  // namespace
