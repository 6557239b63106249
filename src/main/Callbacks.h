#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "replay/ReplayFile.h"

class PlayerConfig;
class Settings;

// The GLUT callbacks: every event of the running program arrives here and is
// forwarded to the game flow (flow/GameFlow.h).
void renderScene();
void reshape(int width, int height);
void myKeyboardFunc(unsigned char key, int x, int y);
void myKeyboardUpFunc(unsigned char key, int x, int y);
void mySpecialFunc(int key, int x, int y);
void mySpecialUpFunc(int key, int x, int y);
void myIdleFunc();
void MouseFunc(int button, int state, int x, int y);
void MouseMoveFunc(int x, int y);
void myPassiveMotionFunc(int x, int y);
void myWindowStatusFunc(int state);

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
// draws a seed of its own. Each level start prints the seed it uses.
void chooseSeed(std::optional<std::uint32_t> seed);
// The window is open and the callbacks are in place: the main loop is about to run.
// The command line hosts a network battle on the level (players 0: two; port 0: the usual one) or
// joins one at "host[:port]": the window opens on the screen that waits for the other machines.
void hostAtOnce(const std::string &levelFile, int players, std::uint16_t port);
void joinAtOnce(const std::string &address);
void windowOpened();
// The settings as the player left them last (difficulty, volumes, mute, ...); valid after setupFlow.
const Settings &currentSettings();
