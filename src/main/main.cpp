#include "audio/SoundSystem.h"
#include "config/ConfigFile.h"
#include "config/ConfigReader.h"
#include "config/GamePaths.h"
#include "config/SafeFile.h"
#include "config/Settings.h"
#include "main/WindowGame.h"
#include "main/CommandLine.h"
#include "game/GameClass.h"
#include "main/EntryPoint.h"
#include "main/HeadlessBattle.h"
#include "game/BattleLoop.h"
#include "net/NetGame.h"
#include "replay/BuildId.h"
#include "replay/ReplayStore.h"
#include "main/Globals.h"
#include "main/Timer.h"
#include "menu/MainMenu.h"
#include "objects/Spieler.h"
#include "physics/PhysXAccess.h"

#include <cstdio>
#include <cstdlib>
#include <chrono>
#include <exception>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

// A broken configuration stops start-up. The readers have already printed the
// "Error: " line naming the file and key, so all that is left is to end the
// process cleanly with a failure status instead of aborting with a core dump.
[[noreturn]] void failStartup(int status = EXIT_FAILURE) {
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
}

// A wrong command line ends the run before anything is read, with the status of a usage error.
constexpr int kUsageError = 2;

// The level the command line asks for must be there; else one line says why (a file that did not
// load has said so itself) and the run ends.
void requireLevelFile(const std::string &fileName) {
    if (gc.getData().getLevelOfFile(fileName) != nullptr)
        return;
    const std::string path = GamePaths::current().data("level/" + fileName);
    if (!gc.getData().levelFileFailed(fileName)) {
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error))
            std::fprintf(stderr, "Error: %s: its level name is taken by another file in %s\n", path.c_str(),
                         GamePaths::current().data("level/").c_str());
        else
            std::fprintf(stderr, "Error: %s: no such level file\n", path.c_str());
    }
    failStartup(kUsageError);
}

// The replay file the command line names, read and checked for damage; else one line says what is
// wrong with it and the run ends.
void readReplay(const std::string &path, Replay &replay) {
    std::string problem;
    if (!ReplayStore::load(path, replay, problem)) {
        std::fprintf(stderr, "Error: %s: %s\n", path.c_str(), problem.c_str());
        failStartup(kUsageError);
    }
}

// A replay this program can play: its build, its data, its level (the levels must be read).
void checkReplay(const std::string &path, const Replay &replay) {
    std::string problem;
    if (!HeadlessBattle::playable(gc, replay, problem)) {
        std::fprintf(stderr, "Error: %s: %s\n", path.c_str(), problem.c_str());
        failStartup(kUsageError);
    }
}

// A battle without a window: only what the world needs is read (the levels, the chosen level's
// height map, the models and the power-ups), nothing is drawn or played.
int runHeadless(const CommandLine &commandLine, const Settings &settings) {
    Replay replay;
    if (!commandLine.getReplay().empty())
        readReplay(commandLine.getReplay(), replay);
    const std::string levelFile = commandLine.getReplay().empty() ? commandLine.getLevel() : replay.levelFile;
    if (HeadlessBattle::readWorld(gc, levelFile) == nullptr && commandLine.getReplay().empty())
        requireLevelFile(levelFile); // says why and ends the run
    HeadlessBattle battle;
    battle.levelFile = levelFile;
    if (!commandLine.getReplay().empty()) {
        checkReplay(commandLine.getReplay(), replay);
        battle.players = replay.players;
        battle.seed = replay.seed;
        battle.difficulty = replay.difficulty;
        battle.replay = &replay;
        return battle.run(gc);
    }
    battle.players = commandLine.getPlayers() != 0 ? commandLine.getPlayers() : settings.getPlayers();
    battle.seed = commandLine.getSeed() ? *commandLine.getSeed() : std::random_device{}();
    battle.difficulty = settings.getDifficulty();
    battle.autopilot = commandLine.getAutopilot();
    if (commandLine.getSeconds() > 0)
        battle.seconds = commandLine.getSeconds();
    return battle.run(gc);
}

// A network battle that nobody plays at this machine: it waits for the players to join, then runs
// the world in real time for them until the battle is decided (and a few seconds more, so that
// the clients hear the end) or the seconds asked for have passed.
int runHeadlessHost(const CommandLine &commandLine, const Settings &settings) {
    constexpr double kAfterTheEnd = 3.0; // seconds the decided battle stays up for the clients
    const std::string &levelFile = commandLine.getLevel();
    const std::string levelPath = GamePaths::current().data("level/" + levelFile);
    if (HeadlessBattle::readWorld(gc, levelFile) == nullptr)
        requireLevelFile(levelFile);
    const int players = commandLine.getPlayers() != 0 ? commandLine.getPlayers() : 2;
    const std::uint32_t seed = commandLine.getSeed() ? *commandLine.getSeed() : std::random_device{}();
    NetGame net;
    std::string problem;
    if (!net.host(gc, levelFile, players, commandLine.getPort(), false, seed, problem)) {
        std::fprintf(stderr, "Error: network: %s\n", problem.c_str());
        return 1;
    }
    using Clock = std::chrono::steady_clock;
    const Clock::time_point began = Clock::now();
    Clock::time_point last = began;
    BattleWorld &world = gc.getWorld();
    BattleLoop loop(gc); // nobody plays here: every player's controls come over the network
    double decidedAt = -1.0, battleStart = 0.0;
    for (;;) {
        const Clock::time_point now = Clock::now();
        const double seconds = std::chrono::duration<double>(now - began).count();
        const auto nowMs = static_cast<std::uint32_t>(seconds * 1000.0);
        const NetGame::News news = net.service(nowMs);
        if (news.start) {
            world.setHumanPlayers(players);
            world.setBattleSeed(seed);
            world.setAiDifficulty(settings.getDifficulty());
            world.setEveryTankJoins(true); // the clients build the same world, whatever their settings
            if (!gc.loadLevel(gc.getData().getLevelOfFile(levelFile))) {
                std::fprintf(stderr, "Error: %s: the level did not start\n", levelPath.c_str());
                return 1;
            }
            std::printf("Headless host: the battle starts (%s, %d players, seed %u)\n", levelPath.c_str(), players,
                        static_cast<unsigned>(seed));
            std::fflush(stdout);
            net.hostStarted(world.getTickCount());
            loop.startHost(net);
            battleStart = seconds;
            last = now;
        }
        if (loop.getRole() == BattleLoop::Role::kHost) {
            if (news.pauseChanged)
                loop.setPaused(news.pausedBy >= 0); // the paused time is not made up
            loop.advance(std::chrono::duration<double>(now - last).count(), nowMs);
            last = now;
            if (decidedAt < 0.0 && world.getOutcome() != BattleRules::kRunning)
                decidedAt = seconds;
            const bool over = decidedAt >= 0.0 && seconds - decidedAt > kAfterTheEnd;
            const bool timeUp = commandLine.getSeconds() > 0 && seconds - battleStart >= commandLine.getSeconds();
            if (over || timeUp)
                break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1)); // the pace of the network and the ticks
    }
    HeadlessBattle::report(world, players);
    net.leave();
    return 0;
}

[[noreturn]] void onUncaughtException() {
    try {
        if (std::exception_ptr pending = std::current_exception())
            std::rethrow_exception(pending);
    } catch (const ConfigFile::file_not_found &) {
    } catch (const ConfigFile::key_not_found &) {
    } catch (const ConfigReader::invalid_value &) {
    } catch (const std::exception &e) {
        std::fprintf(stderr, "Error: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "Error: start-up failed\n");
    }
    failStartup();
}

// Installed before the globals below are constructed, which read files.
const std::terminate_handler previousHandler = std::set_terminate(onUncaughtException);

// --help and --version answer before the globals below are made: those read the game's data,
// which somebody asking for help may not have. The arguments are not main's yet, so they are
// read from where the kernel keeps them.
bool answerBeforeStarting() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::vector<std::string> args;
    for (std::string arg; std::getline(in, arg, '\0');)
        args.push_back(arg);
    const CommandLine line = CommandLine::parse(args);
    if (line.wantsHelp())
        std::fputs(CommandLine::usage().c_str(), stdout);
    else if (line.wantsVersion())
        std::printf("panzerfeld %s (build %s)\n", PANZER_VERSION, buildId());
    else
        return false;
    std::fflush(stdout);
    std::_Exit(EXIT_SUCCESS);
}

const bool answered = answerBeforeStarting();

} // namespace

Timer tTimer;
EntryPoint ep;
GameClass gc;
MainMenu mm;

bool keys[kKeyCount];
int iGamemode;
FrameClock frameClock;
int iMouseStartX, iMouseStartY;
bool bMouseRightDown;

int main(int argc, char **argv) {
    (void)previousHandler;
    (void)answered;
    const CommandLine commandLine = CommandLine::parse(std::vector<std::string>(argv, argv + argc));
    if (!commandLine.ok()) {
        std::fprintf(stderr, "Error: %s\n", commandLine.getError().c_str());
        failStartup(kUsageError);
    }
    // Temporary files of an earlier run that died while writing: never read, so just tidied away.
    const GamePaths &paths = GamePaths::current();
    // In a checkout the settings and the highscores share data/config/: each folder is tidied once.
    const std::set<std::string> written = {paths.configFolder(), paths.playerDataFolder(), PhysXAccess::sizeFolder(),
                                           PhysXAccess::cookedFolder(), paths.replayFolder()};
    for (const std::string &folder : written)
        removeLeftoverTemporaries(folder);
    Settings settings = Settings::read();
    if (commandLine.isHeadless() && commandLine.isHost())
        return runHeadlessHost(commandLine, settings);
    if (commandLine.isHeadless())
        return runHeadless(commandLine, settings);
    if (!commandLine.getScript().empty() && !WindowGame::runScript(commandLine.getScript()))
        failStartup(kUsageError); // the line said why
    PlayerConfig playerConfig = ConfigReader::ReadPlayerConfig();
    mm.setGameClass(&gc);
    gc.getWorld().setSpieler1(new Spieler(playerConfig.getUpButton1(), playerConfig.getDownButton1(),
                               playerConfig.getLeftButton1(), playerConfig.getRightButton1(),
                               playerConfig.getShootButton1()));
    gc.getWorld().setSpieler2(new Spieler(playerConfig.getUpButton2(), playerConfig.getDownButton2(),
                               playerConfig.getLeftButton2(), playerConfig.getRightButton2(),
                               playerConfig.getShootButton2()));
    for (int player = 0; player < kMaxPlayers; ++player) // players three and four drive with pads alone
        gc.getWorld().getSpieler(player)->setName(playerConfig.getPlayerName(player));
    gc.setPlayerConfig(&playerConfig);
    gc.setSound(SoundSystem::open(paths.data("sounds/")));
    WindowGame::setupFlow(&playerConfig, &settings); // applies the settings to the session and its sound
    gc.importTextures(paths.data("textures/"));
    gc.getData().importLevels(paths.data("level/"));
    WindowGame::readLevelChoice();
    if (!commandLine.getLevel().empty()) {
        requireLevelFile(commandLine.getLevel());
        if (commandLine.isHost())
            WindowGame::hostAtOnce(commandLine.getLevel(), commandLine.getPlayers(), commandLine.getPort());
        else
            WindowGame::startAtOnce(commandLine.getLevel(), commandLine.getPlayers());
    }
    if (!commandLine.getJoin().empty())
        WindowGame::joinAtOnce(commandLine.getJoin());
    if (!commandLine.getReplay().empty()) {
        Replay replay;
        readReplay(commandLine.getReplay(), replay);
        checkReplay(commandLine.getReplay(), replay);
        WindowGame::watchAtOnce(std::move(replay));
    }
    gc.getData().importModells(paths.data("model/"));
    gc.importPowerUps(); // a broken type is left out after its "Error: " line
    WindowGame::chooseSeed(commandLine.getSeed());
    iGamemode = kModeMenu;
    // GLUT reads its own options ("-display", ...) from what is left.
    std::vector<std::string> rest = commandLine.getRest();
    std::vector<char *> glutArgs;
    for (std::string &arg : rest)
        glutArgs.push_back(arg.data());
    glutArgs.push_back(nullptr);
    int glutArgCount = static_cast<int>(rest.size());
    ep.initialGlut(&glutArgCount, glutArgs.data());
    return 0;
}
