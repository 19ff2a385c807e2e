#include "shell_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "app/input.h"
#include "app/shell.h"
#include "render/camera.h"
#include "render/present.h"
#include "render/projection.h"

unsigned presentedFrames;
unsigned framesAtStartUp;

// Counts every frame presented: the test binary is linked with
// --wrap=SDL_Flip.
extern "C" int __real_SDL_Flip(SDL_Surface* surface);
extern "C" int __wrap_SDL_Flip(SDL_Surface* surface)
{
    ++presentedFrames;
    return __real_SDL_Flip(surface);
}

void resetFlight()
{
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
    }
    for (std::uint8_t& b : buttons)
        b = 0;
    idleArmed = 0;
    idleFrames = 0;
    detailChanged = 0;
    moved = 0;
    turned = 0;
    resetCamera();
    selectLowDetail();
    enterHighDetail();
}

void pushJoyButton(int button, bool down)
{
    SDL_Event e{};
    e.type = down ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP;
    e.jbutton.type = e.type;
    e.jbutton.which = 0;
    e.jbutton.button = static_cast<Uint8>(button);
    e.jbutton.state = down ? SDL_PRESSED : SDL_RELEASED;
    ASSERT_EQ(SDL_PushEvent(&e), 0);
}

void pushKey(SDLKey key, bool down)
{
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.type = e.type;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = key;
    ASSERT_EQ(SDL_PushEvent(&e), 0);
}

void pushQuit()
{
    SDL_Event e{};
    e.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&e), 0);
}

void pushFocusLoss()
{
    SDL_Event e{};
    e.type = SDL_ACTIVEEVENT;
    e.active.type = SDL_ACTIVEEVENT;
    e.active.gain = 0;
    e.active.state = SDL_APPINPUTFOCUS;
    ASSERT_EQ(SDL_PushEvent(&e), 0);
}

unsigned passFrames()
{
    const unsigned before = presentedFrames;
    runPass();
    return presentedFrames - before;
}

std::string screenPixels()
{
    std::string out;
    const auto* pixels = static_cast<const char*>(screen->pixels);
    for (int y = 0; y < 240; ++y)
        out.append(pixels + y * screen->pitch, 320);
    return out;
}

TempDirectory::TempDirectory()
{
    char name[] = "/tmp/landscape-test-XXXXXX";
    path_ = mkdtemp(name);
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(path_);
}

TempDirectory::~TempDirectory()
{
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (!::testing::GTEST_FLAG(list_tests)) {
        startUp();
        framesAtStartUp = presentedFrames;
    }
    return RUN_ALL_TESTS();
}
