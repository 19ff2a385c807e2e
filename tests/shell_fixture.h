// The program's shell, started once per test process over SDL's dummy video
// driver, and driven pass by pass with events pushed into SDL's queue.
#ifndef LANDSCAPE_TESTS_SHELL_FIXTURE_H
#define LANDSCAPE_TESTS_SHELL_FIXTURE_H

#include <SDL.h>
#include <cstdint>
#include <string>

// Frames presented (SDL_Flip calls) since the process started.
extern unsigned presentedFrames;
// Frames presented by start-up, before the first event was read.
extern unsigned framesAtStartUp;

// Puts the flight state back to how start-up leaves it: start-up view, high
// detail, nothing held, nothing armed, an empty event queue.
void resetFlight();

void pushJoyButton(int button, bool down);
void pushKey(SDLKey key, bool down);
void pushQuit();
void pushFocusLoss();

// Runs one main-loop pass and returns the number of frames it presented.
unsigned passFrames();

// The screen's 320 x 240 palette indices, row by row.
std::string screenPixels();

// A fresh empty directory, made the current directory until the returned
// guard's destructor changes back and removes it.
class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::string previous_;
};

#endif
