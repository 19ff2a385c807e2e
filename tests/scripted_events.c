/* Loaded with LD_PRELOAD in front of the real SDL: the program's input
 * becomes a script of key presses (+) and releases (-) of SDLKey numbers by
 * main-loop pass, so that builds of very different speed (x86, and ARM under
 * qemu) get the very same input:  SCRIPTED_EVENTS="PASS+KEY PASS-KEY ..."
 * in order of PASS. A drain of SDL_PollEvent follows every update pass and
 * ends where it reports no event: the events for pass N come in the drain
 * after the N-th update pass. What SDL queues itself (X input, focus) is
 * dropped; SDL_Delay returns at once, as the script counts passes. */
#ifndef _GNU_SOURCE
#define _GNU_SOURCE /* RTLD_NEXT; sdl-config's flags define it already */
#endif
#include <SDL.h>
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static unsigned long pass = 1;   /* the update pass whose drain is running */
static const char* script;       /* the events not delivered yet */

int SDL_PollEvent(SDL_Event* event)
{
    static int (*realPollEvent)(SDL_Event*);
    SDL_Event dropped;
    char* end;
    unsigned long at;

    if (!realPollEvent) {
        *(void**)&realPollEvent = dlsym(RTLD_NEXT, "SDL_PollEvent");
        script = getenv("SCRIPTED_EVENTS") ? getenv("SCRIPTED_EVENTS") : "";
    }
    while (realPollEvent(&dropped))
        continue;
    at = strtoul(script, &end, 10);
    if (end != script && at == pass && (*end == '+' || *end == '-')) {
        memset(event, 0, sizeof *event);
        event->type = *end == '+' ? SDL_KEYDOWN : SDL_KEYUP;
        event->key.state = *end == '+' ? SDL_PRESSED : SDL_RELEASED;
        event->key.keysym.sym = (SDLKey)strtol(end + 1, &end, 10);
        script = end;
        return 1;
    }
    if (end != script && at < pass) {
        fprintf(stderr, "scripted_events: pass %lu is over at '%s'\n", pass, script);
        abort();
    }
    ++pass;
    return 0;
}

void SDL_Delay(Uint32 milliseconds)
{
    (void)milliseconds;
}
