#pragma once

#include "replay/ReplayFile.h"

#include <cstdint>
#include <optional>
#include <string>

class PlayerConfig;
class Settings;

// The game in its window: the game flow and its host, the battle loop, the pads, the network, the
// replays and scripted runs. GLUT's callbacks (main/Callbacks.h) hand it their events; a scripted
// run hands it the script's instead, on a clock of its own.
namespace WindowGame {
// Start-up: the keys and settings the flow works with (not owned; they live for the whole run).
void setupFlow(PlayerConfig *keys, Settings *settings);
// Start-up, after the levels are read: the battlefields of data/level/levels.ini for the level choice.
void readLevelChoice();
// A level to start as soon as the window is open (the command line's --level; players 0: as the
// settings say), instead of the menu. Escape leaves that battle for the menu.
void startAtOnce(const std::string &levelFile, int players);
// A replay to watch as soon as the window is open (the command line's --replay, already checked),
// instead of the menu. Escape leaves it for the menu.
void watchAtOnce(Replay replay);
// The battle seed of every battle of the run (the command line's --seed); without one each battle
// draws a seed of its own (in a scripted run, seed 1). Each level start prints the seed it uses.
void chooseSeed(std::optional<std::uint32_t> seed);
// The command line hosts a network battle on the level (players 0: two; port 0: the usual one) or
// joins one at "host[:port]": the window opens on the screen that waits for the other machines.
void hostAtOnce(const std::string &levelFile, int players, std::uint16_t port);
void joinAtOnce(const std::string &address);
// The run is driven by the script at `path` (main/GameScript.h) instead of the clock and the
// player: false, after one "Error: " line, when it cannot be read.
bool runScript(const std::string &path);
bool isScripted();
// The window is open and the callbacks are in place: the main loop is about to run.
void windowOpened();
// The settings as the player left them last (difficulty, volumes, mute, ...); valid after setupFlow.
const Settings &currentSettings();

// The window's events, GLUT's codes already turned into the key table's.
void draw();
void resize(int width, int height);
void keyDown(int code, unsigned char typed);
void keyUp(int code);
void mouseButton(int button, bool down, int x, int y); // GLUT's button numbers
void mouseDrag(int x, int y);
void mouseMove(int x, int y);
void windowHidden();
void idle();
} // namespace WindowGame
