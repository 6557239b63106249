#pragma once

// Local to src/input: starting and stopping SDL's subsystems for the pads. SDL counts the starts
// of each subsystem, so a hub and any number of virtual pads may each start what they need and stop
// it again, in any order, as often as a test likes.

#include <SDL.h>

#include <string>

// Starts `flags` with the hints the game needs (SDL keeps no window of ours and must leave Ctrl-C
// alone); false with SDL's reason in `problem`.
bool startSdlSubsystems(Uint32 flags, std::string &problem);
// Stops `flags` again; once nothing of SDL runs any more, frees what SDL still holds, so a leak
// check at exit finds nothing of it.
void stopSdlSubsystems(Uint32 flags);
