// The shell, started once per process, through its real main loop over SDL's
// dummy video driver, with events pushed into SDL's queue between passes.
// SDL_Flip, SDL_GetTicks and SDL_Delay are wrapped (see CMakeLists.txt) to
// count the frames and to pace on the test's clock, and SDL's joystick calls
// to show start-up a gamepad. Joystick buttons are the console's own (as on
// the GP2X) unless a test installs a desktop gamepad's translation.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdarg>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>

#include "app/controls.h"
#include "app/flight.h"
#include "app/gamepad.h"
#include "app/platform.h"
#include "app/present.h"
#include "app/screenshot.h"
#include "app/shell.h"
#include "assets/landscape.h"
#include "render/camera.h"
#include "render/projection.h"

namespace fs = std::filesystem;

namespace {
unsigned presentedFrames;   // SDL_Flip calls since the process started
std::string startUpPixels;
// The loop's clock, the test's own: SDL_GetTicks reads it, SDL_Delay
// advances it and records the delay, and each frame presented costs the
// next of frameMilliseconds (round and round; none: nothing); SDL_QUIT is
// queued after frame quitAtFrame.
Uint32 fakeNow;
std::vector<Uint32> frameMilliseconds;
unsigned framesTimed;   // frames that took frameMilliseconds
std::vector<Uint32> delays;
unsigned quitAtFrame;
// The gamepad start-up finds: joystick 0, an Xbox 360 pad with 11 buttons.
SDL_Joystick* const fakePad = reinterpret_cast<SDL_Joystick*>(&fakeNow);
void (*installedPad)(const SDL_Event&);   // the translation start-up installed
unsigned namesTried;   // open calls of the program's own code
}

extern "C" {
int __real_SDL_Flip(SDL_Surface* surface);

int __wrap_SDL_Flip(SDL_Surface* surface)
{
    if (!frameMilliseconds.empty())
        fakeNow += frameMilliseconds[framesTimed++ % frameMilliseconds.size()];
    if (++presentedFrames == quitAtFrame) {
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    }
    return __real_SDL_Flip(surface);
}

Uint32 __wrap_SDL_GetTicks()
{
    return fakeNow;
}

void __wrap_SDL_Delay(Uint32 milliseconds)
{
    delays.push_back(milliseconds);
    fakeNow += milliseconds;
}

// The program's own code opens files only to claim screenshot names.
int __real_open(const char* path, int flags, ...);

int __wrap_open(const char* path, int flags, ...)
{
    ++namesTried;
    va_list arguments;
    va_start(arguments, flags);
    const int mode = va_arg(arguments, int);
    va_end(arguments);
    return __real_open(path, flags, mode);
}

// Video modes as a display would give them: none bigger than largestMode
// (a display smaller than asked), none at all of refusedMode's size, and
// with swappedLayout the 32-bit pixels red, green, blue from the lowest
// byte up, as some displays have them. shownMode: the mode given last.
SDL_Rect largestMode{0, 0, 10000, 10000}, refusedMode;
bool swappedLayout;
SDL_Surface* shownMode;
SDL_Surface* __real_SDL_SetVideoMode(int width, int height, int bpp, Uint32 flags);

SDL_Surface* __wrap_SDL_SetVideoMode(int width, int height, int bpp, Uint32 flags)
{
    static SDL_Surface* swapped;
    if (width == refusedMode.w && height == refusedMode.h)
        return nullptr;
    shownMode = __real_SDL_SetVideoMode(std::min<int>(width, largestMode.w), std::min<int>(height, largestMode.h),
                                        bpp, flags);
    if (shownMode && swappedLayout) {
        SDL_FreeSurface(swapped);
        shownMode = swapped = SDL_CreateRGBSurface(SDL_SWSURFACE, shownMode->w, shownMode->h, 32, 0xff, 0xff00,
                                                   0xff0000, 0);
    }
    return shownMode;
}

int __wrap_SDL_NumJoysticks()
{
    return 1;
}

SDL_Joystick* __wrap_SDL_JoystickOpen(int index)
{
    return index == 0 ? fakePad : nullptr;
}

const char* __wrap_SDL_JoystickName(int index)
{
    return index == 0 ? "Microsoft X-Box 360 pad" : nullptr;
}

int __wrap_SDL_JoystickNumButtons(SDL_Joystick* pad)
{
    return pad == fakePad ? 11 : -1;
}
}

namespace {

// Events in words: "+up" presses and "-up" releases a joystick button (by
// the console's name or number), "+key273" a key (SDLKey number), "hat:9"
// moves the hat (SDL_HAT_* bits), "x:-20000" and "y:..." the left stick,
// "lose" and "gain" are the keyboard focus, "quit" is SDL_QUIT.
void pushEvents(const std::string& words)
{
    static const std::map<std::string, int> pad = {
        {"up", 0}, {"upleft", 1}, {"left", 2}, {"downleft", 3}, {"down", 4},
        {"downright", 5}, {"right", 6}, {"upright", 7}, {"start", 8}, {"select", 9}};
    std::istringstream in(words);
    for (std::string word; in >> word;) {
        SDL_Event e{};
        const bool down = word[0] == '+';
        const std::string name = word.substr(1);
        if (word[0] == 'h' || word[0] == 'x' || word[0] == 'y') {
            const int value = std::stoi(word.substr(word.find(':') + 1));
            if (word[0] == 'h') {
                e.type = SDL_JOYHATMOTION;
                e.jhat.value = static_cast<Uint8>(value);
            } else {
                e.type = SDL_JOYAXISMOTION;
                e.jaxis.axis = word[0] == 'y';
                e.jaxis.value = static_cast<Sint16>(value);
            }
        } else if (word == "quit" || word == "lose" || word == "gain") {
            e.type = word == "quit" ? SDL_QUIT : SDL_ACTIVEEVENT;
            e.active.gain = word == "gain";
            e.active.state = SDL_APPINPUTFOCUS;
        } else if (name.rfind("key", 0) == 0) {
            e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
            e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
            e.key.keysym.sym = static_cast<SDLKey>(std::stoi(name.substr(3)));
        } else {
            e.type = down ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP;
            e.jbutton.state = down ? SDL_PRESSED : SDL_RELEASED;
            e.jbutton.button = static_cast<Uint8>(pad.count(name) ? pad.at(name) : std::stoi(name));
        }
        ASSERT_EQ(SDL_PushEvent(&e), 0) << word;
    }
}

std::string screenPixels()   // the dummy driver's rows are 320 bytes apart
{
    return std::string(static_cast<const char*>(screen->pixels), 320 * 240);
}

std::string readFile(const fs::path& path)
{
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

std::string windowTitle()
{
    char* title = nullptr;
    SDL_WM_GetCaption(&title, nullptr);
    return title ? title : "";
}

int filesIn(const fs::path& dir)
{
    return static_cast<int>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

// Every test starts from the start-up state (the start-up view at high
// detail, nothing held or armed, an empty queue) in the process's empty
// current directory; startOver() goes back there for a table's next case.
class Shell : public ::testing::Test {
protected:
    void SetUp() override { startOver(); }
    void startOver()
    {
        for (const auto& entry : fs::directory_iterator("."))
            fs::remove_all(entry.path());
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
        }
        e.type = SDL_ACTIVEEVENT;   // the dispatch lets go of everything
        e.active.gain = 0;
        e.active.state = SDL_APPINPUTFOCUS;
        dispatchEvent(e);
        for (std::uint8_t& held : buttons)
            held = 0;
        translatePad = translateConsolePad;
        idleArmed = idleFrames = detailChanged = 0;
        resetCamera();
        selectLowDetail();
        enterHighDetail();
    }
};

// Before anything has been pressed (each test runs in a process of its own,
// this one first): start-up installed the desktop gamepad's translation with
// the layout of the pad it found (an Xbox 360 pad's Start, button 7, quits),
// and every source that points one way at a time starts centred, so its
// first push presses that direction.
TEST(StartState, PadTranslationInstalledAndEverySourceCentred)
{
    EXPECT_EQ(installedPad, &translateGamepad);
    SDL_Event start{};
    start.type = SDL_JOYBUTTONDOWN;
    start.jbutton.button = 7;
    installedPad(start);
    EXPECT_TRUE(quitRequested);
    quitRequested = false;
    for (int source = 0; source < inputSources; ++source) {
        SCOPED_TRACE(source);
        for (int button = 0; button < directionButtons; ++button) {
            pointTo(static_cast<std::uint8_t>(source), button);
            EXPECT_EQ(buttons[buttonSlot[button]], 1) << button;
        }
        pointTo(static_cast<std::uint8_t>(source), noButton);
        EXPECT_EQ(std::count(std::begin(buttons), std::end(buttons), 1), 0);
    }
}

// Every key and pad button of a direction holds just its slot until released.
TEST_F(Shell, KeysAndPadButtonsHoldTheirDirections)
{
    const char* const sources[directionSlots] = {   // by slot: up, down, left, right, up-left, ...
        "0 key273 key264", "4 key274 key258", "2 key276 key260", "6 key275 key262", "1 key263", "7 key265",
        "3 key257", "5 key259"};
    for (int held = 0; held < directionSlots; ++held) {
        std::istringstream in(sources[held]);
        for (std::string source; in >> source;) {
            SCOPED_TRACE(source);
            pushEvents("+" + source);
            runPass();
            for (int slot = 0; slot < directionSlots; ++slot)
                EXPECT_EQ(buttons[slot], slot == held) << slot;
            pushEvents("-" + source);
            runPass();
            EXPECT_EQ(buttons[held], 0);
        }
    }
}

// A flight pass by pass: "EVENTS FLQ*N | ..." queues EVENTS (read after the
// pass's update) before the first of N passes (1 without *N), each of which
// presents F frames, ends at detail level L (H high, L low) and, with Q
// only, asks to quit.
struct Flight {
    const char* name;
    const char* passes;
    int turnDegrees;      // heading at the end minus 180
    int xDirection;       // sign of the move along X (heading 180 faces -X)
    bool startUpFrame;    // whether the last frame is the start-up frame again
    int screenshots;
    const char* pad = nullptr;   // a desktop gamepad's name, or none: the console's pad
    int padButtons = 0;          // and its number of buttons
};

const Flight flights[] = {
    // A drain that quits, or takes screenshots, changes nothing else.
    {"StartPressQuits", "+start 0HQ | 0H", 0, 0, true, 0},
    {"StartReleaseQuits", "-start 0HQ", 0, 0, true, 0},
    {"QuitEventQuits", "quit 0HQ", 0, 0, true, 0},
    {"EscapeQuits", "+key27 0HQ", 0, 0, true, 0},
    {"SelectQueuedBehindStartStillSaves", "+start +select 0HQ", 0, 0, true, 1},
    {"SpaceAndF12SaveAndTheirReleasesDoNothing", "+key32 -key32 +key293 -key293 0H | 0H", 0, 0, true, 2},
    {"UnassignedButtonsKeysAndSelectReleaseDoNothing", "+10 +11 +15 +19 -9 -10 -12 -19 +key97 0H | 0H", 0, 0, true, 0},
    {"UpRightMovesAndTurnsEveryPass", "+upright 0L | 1L*5", 10, -1, false, 0},
    {"LeftAndRightTogetherRedrawWithNoNetTurn", "+left +right 0L | 1L*3", 0, 0, false, 0},
    {"UpAndDownTogetherFlyForward", "+up +down 0L | 1L*2", 0, -1, false, 0},
    {"DownAloneFliesBackward", "+down 0L | 1L*2", 0, 1, false, 0},
    {"ReleaseWithAnotherDirectionHeldArmsNothing", "+up +left 0L | -up 1L | 1L*5", -12, -1, false, 0},
    {"FourIdlePassesCountAndTheFifthDrawsHighDetail", "+up 0L | -up 1L | 0L*4 | 1H | 0H*5", 0, -1, false, 0},
    {"PressDuringTheIdleCountCancelsIt", "+up 0L | -up 1L | 0L*2 | +left 0L | -left 1L | 0L*4 | 1H", -2, -1, false, 0},
    {"TapWithinOneDrainDrawsOneLowFrameThenHighOnTheSixthPass", "+up -up 0L | 1L | 0L*4 | 1H", 0, 0, true, 0},
    {"InHighDetailAReleaseChangesOnlyTheFlag", "+up 0L | +select 2H | -up 1H | 0H*8", 0, -1, false, 1},
    {"ScreenshotWhileSteeringStaysHigh", "+upright 0L | 1L | +select 2H | 1H*3 | -upright 1H | 0H*3", 12, -1, false, 1},
    {"ScreenshotInTheIdleCountEndsIt", "+up 0L | -up 1L | 0L | +select 1H | 0H*5", 0, -1, false, 1},
    {"LosingFocusReleasesEveryDirection", "+up +right 0L | 1L | lose 1L | 0L*4 | 1H", 4, -1, false, 0},
    {"GainingFocusReleasesNothing", "+up 0L | gain 1L | 1L*3", 0, -1, false, 0},
    // A desktop gamepad: only Back/Select/Share/Minus and Start/Options/Plus
    // act, where the layout is known; elsewhere the first button screenshots.
    {"XboxPadBackSavesStartQuits", "+0 +1 +2 +3 +4 +5 +8 +9 +10 -0 -6 0H | +6 0H | -6 0H | +7 0HQ", 0, 0, true, 1,
     "Microsoft X-Box 360 pad", 11},
    {"PlayStationPadShareSavesOptionsQuits", "+0 +6 +7 +10 +12 0H | +8 0H | -9 0HQ", 0, 0, true, 1,
     "Sony Interactive Entertainment Wireless Controller", 13},
    {"SwitchProPadMinusSavesPlusQuits", "+4 +8 +11 +17 0H | +9 0H | +10 0HQ", 0, 0, true, 1,
     "Nintendo Switch Pro Controller", 18},
    {"UnknownPadsFirstButtonSavesAndNothingQuits", "+0 +6 +7 +8 +9 +10 -7 -8 -9 0H", 0, 0, true, 1,
     "PS4 Controller", 16},
    // The hat and the stick steer in eight directions; a new direction
    // releases the old one, centring releases it.
    {"HatSteersAndCentringReleases", "hat:1 0L | 1L | hat:3 1L*2 | hat:2 1L | hat:0 1L | 0L*4 | 1H", 6, -1, false, 0,
     "Microsoft X-Box 360 pad", 11},
    {"HatDiagonalBackwardAndOppositesPointNowhere", "hat:12 0L | 1L | hat:5 1L | 0L*4 | 1H", -4, 1, false, 0,
     "Generic USB Joystick", 12},
    {"StickSteersBeyondItsDeadCentreInEightSectors",
     "x:20000 0L | 1L | y:-19000 1L | x:7000 1L | x:-20000 1L | y:30000 1L | x:0 1L | y:3000 1L | 0L*4 | 1H",
     2, -1, false, 0, "Microsoft X-Box 360 pad", 11},
    // On a sector's edge (tan 22.5 degrees, 0.414) the stick points along the axis.
    {"StickOnTheEdgeOfRightTurnsOnly", "x:10000 y:-4140 0L | 1L | x:0 y:0 1L | 0L*4 | 1H", 4, 0, false, 0,
     "Microsoft X-Box 360 pad", 11},
    {"StickOnTheEdgeOfUpFliesOnly", "x:4140 y:-10000 0L | 1L | x:0 y:0 1L | 0L*4 | 1H", 0, -1, false, 0,
     "Microsoft X-Box 360 pad", 11},
    {"StickJustPastTheEdgeGoesDiagonal", "x:10000 y:-4141 0L | 1L | x:0 y:0 1L | 0L*4 | 1H", 4, -1, false, 0,
     "Microsoft X-Box 360 pad", 11},
    // A stick that wavers within its sector presses nothing again: after a
    // screenshot the held direction flies on at high detail.
    {"StickWaveringAfterAScreenshotStaysHigh", "y:-20000 0L | 1L | +6 2H | y:-21000 1H | 1H*2 | y:0 1H | 0H*3", 0, -1,
     false, 1, "Microsoft X-Box 360 pad", 11},
    {"KeyAndHatOnOneDirectionReleaseWhenBothLetGo", "hat:1 +key273 0L | -key273 1L | 1L | hat:0 1L | 0L*4 | 1H", 0, -1,
     false, 0, "Microsoft X-Box 360 pad", 11},
    {"LosingFocusReleasesTheHat", "hat:1 0L | lose 1L | 0L*4 | 1H | hat:0 0H", 0, -1, false, 0,
     "Microsoft X-Box 360 pad", 11},
};

TEST_F(Shell, FlightsPresentTheFramesOfTheDetailPolicy)
{
    for (const Flight& flight : flights) {
        SCOPED_TRACE(flight.name);
        startOver();
        translatePad = flight.pad ? installedPad : translateConsolePad;
        choosePadLayout(flight.pad, flight.padButtons);
        std::istringstream passes(flight.passes);
        for (std::string events, outcome; std::getline(passes, events, '|');) {
            events.erase(events.find_last_not_of(' ') + 1);
            outcome = events.substr(events.rfind(' ') + 1);   // "FL", "FLQ" or either "*N"
            events.erase(events.size() - outcome.size());
            const std::size_t times = outcome.find('*');
            for (int i = 0; i < (times != std::string::npos ? std::stoi(outcome.substr(times + 1)) : 1); ++i) {
                SCOPED_TRACE(events + outcome);
                pushEvents(i == 0 ? events : "");
                const unsigned before = presentedFrames;
                EXPECT_EQ(runPass(), outcome[2] == 'Q');
                EXPECT_EQ(presentedFrames - before, static_cast<unsigned>(outcome[0] - '0'));
                EXPECT_EQ(highDetail, outcome[1] == 'H');
                EXPECT_EQ(rowCount, outcome[1] == 'H' ? 179 : 120);
            }
        }
        EXPECT_EQ((heading + 360 - 180) % 360, (flight.turnDegrees + 360) % 360);
        EXPECT_EQ((posX > 188.0) - (posX < 188.0), flight.xDirection);
        EXPECT_EQ(screenPixels() == startUpPixels, flight.startUpFrame);
        EXPECT_EQ(filesIn("."), flight.screenshots);
    }
}

// Thousands of random pad events through the real loop (SELECT and buttons
// beyond the pad's among them); after every pass the camera and detail
// invariants hold and the bands are intact.
TEST_F(Shell, RandomSoakKeepsTheInvariants)
{
    std::mt19937 random(20261206);
    int screenshots = 0;
    for (int pass = 0; pass < 4000; ++pass) {
        for (int e = static_cast<int>(random() % 4); e > 0; --e) {
            const unsigned kind = random() % 100;
            const bool press = random() % 2;
            screenshots += press && (kind == 90 || kind == 91);   // SELECT
            pushEvents((press ? "+" : "-") + std::to_string(kind < 90 ? kind % 8 : kind < 92 ? 9 : 10 + kind % 6));
        }
        if (random() % 50 == 0 || pass % 500 == 499)
            pushEvents("-0 -1 -2 -3 -4 -5 -6 -7");
        ASSERT_FALSE(runPass());
        if (pass % 500 == 499) {   // an idle stretch ends at high detail
            for (int i = 0; i < 6; ++i)
                runPass();
            ASSERT_EQ(highDetail, 1);
        }
        ASSERT_TRUE((posX == 188.0 && posY == 168.0) || (mapX >= 512 && mapX <= 767 && mapY >= 512 && mapY <= 767));
        ASSERT_LT(heading, 360);
        ASSERT_EQ(rowCount, highDetail ? 179 : 120);
        const std::string pixels = screenPixels();
        ASSERT_EQ(pixels.find_first_not_of('\xff'), 320u * 30);
        ASSERT_EQ(pixels.find_last_not_of('\xff'), 320u * 210 - 1);
    }
    EXPECT_EQ(filesIn("."), screenshots);
}

// The native loop runs a pass every 1000/60 ms on average: passes start
// 16 or 17 ms apart (sleeping away the rest), slow passes run back to back,
// a pass up to four passes late is made up, and after a longer stall the
// passes go on from then without catching up. A clock that wraps (after
// 49.7 days) goes back: the deadlines start afresh, with no weeks of sleep.
TEST_F(Shell, LoopPacesSixtyPassesASecondWithoutCatchingUp)
{
    const struct {
        const char* name;
        std::vector<Uint32> frameMilliseconds;   // round and round
        unsigned passes;
        Uint32 elapsed;                          // from the first pass's start to the last pass's end
        std::vector<Uint32> firstDelays;
        Uint32 start = 0;                        // the clock at the first pass; 0: a second after the case before
    } cases[] = {
        {"QuickPassesSixtyASecond", {5}, 61, 1000 + 5, {12, 12, 11, 12, 12, 11}},
        {"SlowPassesBackToBack", {30}, 10, 300, {}},
        {"AStallIsNotCaughtUp", {5, 100, 5, 5, 5}, 5, 5 + 12 + 100 + 5 + 12 + 5 + 12 + 5, {12, 12, 12}},
        {"JitterIsMadeUp", {5, 40, 5, 5, 5}, 6, 84 + 5, {12, 12}},   // the sixth pass starts on time
        {"TheClockWrappingGoesOnPacing", {5}, 4, 5 + 12 + 5 + 12 + 5 + 12 + 5, {12, 12, 12}, 0xffffffffu - 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        startOver();
        pushEvents("+up");
        runPass();   // reads the press: every pass from here on draws
        fakeNow = c.start ? c.start : fakeNow + 1000;   // long after the last pass: pacing starts afresh
        const Uint32 start = fakeNow;
        const unsigned firstFrame = presentedFrames;
        frameMilliseconds = c.frameMilliseconds;
        framesTimed = 0;
        delays.clear();
        quitAtFrame = presentedFrames + c.passes;
        EXPECT_EQ(runMainLoop(), 0);
        frameMilliseconds.clear();
        quitAtFrame = 0;
        EXPECT_EQ(presentedFrames - firstFrame, c.passes);
        EXPECT_EQ(fakeNow - start, c.elapsed);
        EXPECT_EQ(std::vector<Uint32>(delays.begin(), delays.begin() + std::min(delays.size(), c.firstDelays.size())),
                  c.firstDelays);
    }
}

// A resized window shows the frame at the largest whole scale, centred on
// black, in the display's own pixels, whatever their layout. A mode SDL
// refuses falls back to the window before; a video surface smaller than the frame (fullscreen on a
// tiny display) is refused too, and then nothing is written to it.
TEST_F(Shell, ResizedWindowsShowTheFrameOrNothingOutsideTheSurface)
{
    const SDL_Rect any{0, 0, 10000, 10000};
    // Shown: 700 x 500 (the frame at 2x) or, with no frames, nothing.
    const struct {
        const char* name;
        SDL_Rect largest, refused;
        Uint16 width, height;
        unsigned frames;
        bool swapped = false;
    } cases[] = {
        {"ResizedTo700x500At2x", any, {}, 700, 500, 1},
        {"RefusedSizeFallsBackToTheWindowBefore", any, {0, 0, 1000, 700}, 1000, 700, 1},
        {"AnotherPixelLayoutHasItsOwnColours", any, {}, 700, 500, 1, true},
        {"SurfaceSmallerThanTheFrameIsRefused", {0, 0, 300, 200}, {}, 1000, 700, 0},
        {"AndAWindowAgainShowsTheFrame", any, {}, 700, 500, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        largestMode = c.largest;
        refusedMode = c.refused;
        swappedLayout = c.swapped;
        SDL_Event resize{};
        resize.type = SDL_VIDEORESIZE;
        resize.resize.w = c.width;
        resize.resize.h = c.height;
        const unsigned before = presentedFrames;
        ASSERT_EQ(SDL_PushEvent(&resize), 0);
        runPass();
        EXPECT_EQ(presentedFrames - before, c.frames);
        if (!c.frames)
            continue;
        const SDL_Surface* const display = shownMode;
        ASSERT_EQ(display->w * 1000 + display->h, 700 * 1000 + 500);
        const auto shown = [&](int x, int y) {   // the display pixel at x, y
            return static_cast<const std::uint32_t*>(display->pixels)[y * display->pitch / 4 + x];
        };
        const SDL_Color* const palette = screen->format->palette->colors;
        for (int y = 0; y < 500; y += 7)
            for (int x = 0; x < 700; x += 5) {
                const int fx = (x - 30) / 2, fy = (y - 10) / 2;   // 640 x 480 centred
                const bool inFrame = x >= 30 && x < 670 && y >= 10 && y < 490;
                const SDL_Color colour = inFrame ? palette[startUpPixels[fy * 320 + fx] & 0xff] : SDL_Color{};
                ASSERT_EQ(shown(x, y), SDL_MapRGB(display->format, colour.r, colour.g, colour.b)) << x << "," << y;
            }
    }
}

// In low detail a screenshot first redraws at high detail; the file is the
// screen as SDL writes an 8-bit BMP: headers, 256 palette entries (blue,
// green, red, 0), rows bottom-up, and it may be read by everyone.
TEST_F(Shell, ScreenshotIsTheHighDetailScreenWithItsPalette)
{
    pushEvents("+up -up");
    runPass();
    runPass();   // the tap's low detail frame
    ASSERT_EQ(highDetail, 0);
    const mode_t umaskBefore = umask(0);
    saveScreenshot();
    umask(umaskBefore);
    EXPECT_EQ(highDetail, 1);
    EXPECT_EQ(screenPixels(), startUpPixels);
    EXPECT_EQ(fs::status("lnd000.bmp").permissions(),   // 0644
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    const std::string file = readFile("lnd000.bmp");
    ASSERT_EQ(file.size(), 77878u);
    for (int i = 0; i < 256; ++i)
        for (int c = 0; c < 3; ++c)
            ASSERT_EQ(static_cast<std::uint8_t>(file[54 + 4 * i + 2 - c]), i == 255 ? 0 : TerrainPalette[i][c]);
    for (int y = 0; y < 240; ++y)
        ASSERT_EQ(file.substr(1078 + (239 - y) * 320, 320), startUpPixels.substr(y * 320, 320)) << y;
}

// Names are claimed by creating the file: what exists, whatever it is, is
// left alone and the first free name is used.
TEST_F(Shell, ScreenshotTakesTheFirstFreeNameAndLeavesEveryFileAlone)
{
    const auto shot = [](int n) { return "lnd" + std::string(n < 10 ? "00" : n < 100 ? "0" : "") + std::to_string(n) + ".bmp"; };
    std::ofstream("lnd000.bmp") << "mine";
    fs::create_symlink("elsewhere.bmp", "lnd001.bmp");   // dangling
    std::ofstream("real.txt") << "keep";
    fs::create_symlink("real.txt", "lnd002.bmp");
    for (int n = 4; n < 500; ++n)
        std::ofstream(shot(n)) << n;
    saveScreenshot();
    saveScreenshot();
    EXPECT_FALSE(fs::exists("elsewhere.bmp"));
    EXPECT_TRUE(readFile("real.txt") == "keep" && readFile("lnd004.bmp") == "4" && readFile("lnd000.bmp") == "mine");
    EXPECT_TRUE(fs::file_size("lnd003.bmp") == 77878u && fs::file_size("lnd500.bmp") == 77878u);
    EXPECT_EQ(windowTitle(), "Landscape: saved lnd500.bmp");
}

// A screenshot that cannot be saved says so in one line naming the file and
// the reason, and in the window's title; it leaves no file, and the next one
// that can be saved says so instead. Only a taken name sends the search on:
// a folder where no file can be created (here no file descriptor is left) is
// tried once. A file size limit below a screenshot's 77878 bytes makes the
// write fail as a full disk would: part-way or only at the last byte.
TEST_F(Shell, ScreenshotThatCannotBeSavedSaysWhyOnce)
{
    const struct { const char* name; int resource; rlim_t limit; std::string file, reason; unsigned tries; } cases[] = {
        {"AllNamesTaken", -1, 0, "lnd999.bmp", "File exists", 1000},
        {"NoFileCanBeCreated", RLIMIT_NOFILE, 0, "lnd000.bmp", "Too many open files", 1},
        {"WriteFailsPartWay", RLIMIT_FSIZE, 5000, "lnd000.bmp", "File too large", 1},
        {"WriteFailsAtTheLastByte", RLIMIT_FSIZE, 77877, "lnd000.bmp", "File too large", 1},
    };
    auto* previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        startOver();
        const int taken = c.resource < 0 ? 1000 : 0;
        for (int n = 0; n < taken; ++n)
            std::ofstream("lnd" + std::to_string(1000 + n).substr(1) + ".bmp") << n;
        rlimit saved{};
        testing::internal::CaptureStderr();
        if (c.resource >= 0) {
            ASSERT_EQ(getrlimit(c.resource, &saved), 0);
            // No descriptor left: the limit is the lowest free one.
            const rlim_t limit = c.resource == RLIMIT_NOFILE ? static_cast<rlim_t>(dup(0)) : c.limit;
            if (c.resource == RLIMIT_NOFILE)
                close(static_cast<int>(limit));
            const rlimit small{limit, saved.rlim_max};
            ASSERT_EQ(setrlimit(c.resource, &small), 0);
        }
        namesTried = 0;
        saveScreenshot();
        if (c.resource >= 0)
            setrlimit(c.resource, &saved);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "Couldn't save " + c.file + ": " + c.reason + "\n");
        EXPECT_EQ(namesTried, c.tries);
        EXPECT_EQ(windowTitle(), "Landscape: couldn't save " + c.file);
        EXPECT_EQ(filesIn("."), taken);
        EXPECT_EQ(taken ? readFile("lnd999.bmp") : "", taken ? "999" : "");
    }
    std::signal(SIGXFSZ, previousHandler);
    startOver();
    testing::internal::CaptureStderr();
    saveScreenshot();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(windowTitle(), "Landscape: saved lnd000.bmp");
    EXPECT_EQ(fs::file_size("lnd000.bmp"), 77878u);
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    char name[] = "/tmp/landscape-shell-XXXXXX";
    const fs::path dir = mkdtemp(name);
    fs::current_path(dir);
    startUp();
    installedPad = translatePad;
    if (screen->pitch != 320)
        return 1;
    startUpPixels = screenPixels();
    const int status = RUN_ALL_TESTS();
    fs::current_path("/");
    fs::remove_all(dir);
    return status;
}
