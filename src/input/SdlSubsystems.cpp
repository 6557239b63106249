#include "input/SdlSubsystems.h"

bool startSdlSubsystems(Uint32 flags, std::string &problem) {
    // Hints are read when a subsystem starts, and SDL_Quit forgets them: set them every time.
    // SDL would otherwise turn Ctrl-C into an event nobody reads.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The window is GLUT's, not SDL's: without this SDL may think the game is in the background.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_InitSubSystem(flags) != 0) {
        const char *reason = SDL_GetError();
        problem = reason && *reason ? reason : "cannot start";
        return false;
    }
    return true;
}

void stopSdlSubsystems(Uint32 flags) {
    SDL_QuitSubSystem(flags);
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0)
        SDL_Quit();
}
