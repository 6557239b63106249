#include "main/WindowGame.h"

#include "ai/AiSkill.h"
#include "audio/SoundSystem.h"
#include "config/ConfigReader.h"
#include "config/GamePaths.h"
#include "config/IniEditor.h"
#include "config/KeyNames.h"
#include "config/PlayerConfig.h"
#include "config/SafeFile.h"
#include "config/Settings.h"
#include "flow/GameFlow.h"
#include "flow/NetworkScreen.h"
#include "flow/ScreenLayout.h"
#include "game/GameClass.h"
#include "game/BattleLoop.h"
#include "input/PadHub.h"
#include "input/PadPlayers.h"
#include "input/PadScript.h"
#include "level/Level.h"
#include "level/LevelIndex.h"
#include "main/EntryPoint.h"
#include "main/GameScript.h"
#include "main/Globals.h"
#include "main/Timer.h"
#include "menu/Highscore.h"
#include "menu/MainMenu.h"
#include "net/NetGame.h"
#include "objects/Spieler.h"
#include "replay/BuildId.h"
#include "replay/DataHash.h"
#include "replay/ReplayPlayback.h"
#include "replay/ReplayStore.h"
#include "math/StateHash.h"
#include "render/LevelPreview.h"
#include "render/ScreenShot.h"
#include "render/ShadowMap.h"
#include "render/TextureHolder.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <chrono>
#include <cmath>
#include <ctime>
#include <memory>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <thread>

namespace {

BattleLoop battleLoop(gc);                     // the battle's ticks, from the frames' time or a script
std::optional<std::uint32_t> chosenSeed;      // every battle's seed; none: a new one each battle
Replay recording;                             // the running battle's ticks, while one is played
bool recordingBattle = false;                 // `recording` belongs to the running battle
std::unique_ptr<ReplayPlayback> playback;     // the replay being watched; null while playing
PadHub padHub;                                // the pads, real or virtual
PadPlayers pads(padHub);                      // who drives with which pad
NetGame net;                                  // the network battle, hosted or joined; none: a local one
bool pauseFromNetwork = false;                // the flow is pausing or resuming for the other machine
std::string netProblem;                       // why the last attempt to host or join failed

// A scripted run: its steps, and the ticks of its own clock, which runs in the menus too.
struct ScriptRun {
    GameScript script;
    std::string folder;          // where its pictures go: the script's own folder
    std::size_t next = 0;        // the next step to take
    long tick = 0;               // ticks since the run started
    long lastStep = 0;           // the tick at which the step before was taken
    std::vector<int> releases;   // keys that a "key" step pressed, released on the next tick
    std::string path;            // the script file, for messages
    std::vector<PadScriptStep> padSteps; // its "pad" steps, checked at the start, in order
    std::size_t nextPad = 0;
};
std::unique_ptr<ScriptRun> scriptRun; // null: the real clock and the real input drive the run

// The run's clock: real time, or in a scripted run its ticks.
double clockSeconds() {
    return scriptRun != nullptr ? scriptRun->tick * static_cast<double>(GameClass::kTickSeconds)
                                : tTimer.getTimeInSeconds();
}

std::uint32_t nowMs() {
    return static_cast<std::uint32_t>(std::llround(clockSeconds() * 1000.0));
}

// The player's keys or window settings with some values changed. A player without a file of
// their own yet gets a copy of the shipped default to change.
bool updatePlayerFile(GamePaths::PlayerFile file, const std::map<std::string, std::string> &values) {
    const GamePaths &paths = GamePaths::current();
    std::string problem;
    if (!paths.ensurePlayerFile(file, problem)) {
        std::fprintf(stderr, "Error: %s: %s\n", paths.playerFile(file).c_str(), problem.c_str());
        return false;
    }
    return IniEditor::update(paths.playerFile(file), values);
}

// The current time as a replay's stamp, "YYYYMMDDThhmmss" in UTC.
std::string timeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%S", &parts);
    return stamp;
}

// The running battle's replay goes to the player's replay folder; the line says where and how the battle ended.
void saveRecording() {
    if (!recordingBattle)
        return;
    recordingBattle = false;
    if (recording.ticks == 0)
        return;
    std::string problem;
    const std::string path = ReplayStore::save(recording, timeStamp(), problem);
    if (path.empty())
        std::fprintf(stderr, "Error: %s: the replay was not saved: %s\n", ReplayStore::folder().c_str(),
                     problem.c_str());
    else
        std::printf("Replay saved: %s (%zu ticks, state hash %s)\n", path.c_str(), static_cast<std::size_t>(recording.ticks),
                    StateHash::hex(recording.finalHash).c_str());
    std::fflush(stdout);
}

// The program's side of the game flow: starts and leaves battles, pauses the
// clocks, keeps the highscore table and saves what the Options screen changed.
class GlutFlowHost : public FlowHost {
  public:
    PlayerConfig *keys = nullptr;  // live key tables; not owned
    Settings *settings = nullptr;  // live settings; not owned
    Highscore table;               // the highscore table, read at start-up
    bool tableRead = false;
    int battlePlayers = 2;         // human players of the running or last battle
    bool battleFrameShown = false; // the running battle's first frame has been drawn
    bool watchedLast = false;      // the battle left last was a replay
    bool networkBattle = false;    // the running or last battle was played over the network
    int localPlayer = 0;           // then: the player this machine played

    Highscore &highscores() {
        if (!tableRead) {
            table = ConfigReader::LoadHighscores();
            tableRead = true;
        }
        return table;
    }

    bool startBattle(const std::string &levelFile, int players) override {
        Level *level = gc.getData().getLevelOfFile(levelFile);
        if (level == nullptr) {
            static std::set<std::string> reported; // say it once, not for every click
            if (reported.insert(levelFile).second) {
                if (gc.getData().levelFileFailed(levelFile)) { // its own error was reported at start-up
                    std::printf("The level \"%s\" did not load; staying in the menu\n", levelFile.c_str());
                    std::fflush(stdout);
                } else {
                    std::fprintf(stderr, "Error: no level was loaded from %s; staying in the menu\n",
                                 (GamePaths::current().data("level/" + levelFile)).c_str());
                }
            }
            return false;
        }
        const bool networked = net.getRole() != NetGame::Role::kNone && playback == nullptr;
        networkBattle = networked;
        localPlayer = networked ? net.getLocalPlayer() : 0;
        battlePlayers = playback != nullptr ? playback->getReplay().players
                        : networked          ? net.getPlayers()
                        : players != 0       ? players
                                             : settings->getPlayers();
        std::printf("Level: %s (%s, %d player%s)\n", level->getLvlName().c_str(),
                    (GamePaths::current().data("level/" + levelFile)).c_str(),
                    battlePlayers, battlePlayers == 1 ? "" : "s");
        std::fflush(stdout);
        for (bool &key : ::keys)
            key = false;
        iGamemode = kModeGame;
        gc.getWorld().setHumanPlayers(battlePlayers); // one player: player two's tank stays out of the level
        // A joining machine's world follows the host's; the host's is the truth, as a local one is.
        gc.getWorld().setFollowing(networked && net.getRole() == NetGame::Role::kClient);
        gc.getWorld().setEveryTankJoins(networked);
        if (networked) {
            gc.getWorld().setBattleSeed(net.getSeed());
            gc.getWorld().setAiDifficulty(settings->getDifficulty());
        } else if (playback != nullptr) { // the recorded battle as it began
            gc.getWorld().setBattleSeed(playback->getReplay().seed);
            gc.getWorld().setAiDifficulty(playback->getReplay().difficulty);
        } else {
            // A scripted run without a seed of its own plays the same battle every time.
            const std::uint32_t seed = chosenSeed     ? *chosenSeed
                                       : scriptRun != nullptr ? 1u
                                                              : std::random_device{}();
            gc.getWorld().setBattleSeed(seed);
            gc.getWorld().setAiDifficulty(settings->getDifficulty());
        }
        std::printf("Battle seed: %u\n", static_cast<unsigned>(gc.getWorld().getBattleSeed()));
        gc.loadLevel(level); // also clears the exit request of an earlier game
        recordingBattle = playback == nullptr && !gc.getWorld().isFollowing(); // the host records all players' ticks
        if (recordingBattle) {
            recording = Replay();
            recording.buildId = buildId();
            recording.dataHash = battleDataHash(levelFile, level->getHeightMap());
            recording.levelFile = levelFile;
            recording.players = battlePlayers;
            recording.difficulty = gc.getWorld().getAiDifficulty();
            recording.seed = gc.getWorld().getBattleSeed();
            recording.tickMicroseconds = static_cast<std::uint32_t>(std::lround(GameClass::kTickSeconds * 1e6));
        }
        gc.getView().setOverlayLine(playback != nullptr ? playback->statusLine() : std::string());
        if (networked) // this machine shows its own player's tank alone
            gc.getView().followOnly(net.getLocalPlayer());
        gc.resetCameras(-45, 70);
        gc.getView().initGL();
        battleFrameShown = false;
        if (playback != nullptr)
            battleLoop.startReplay(*playback);
        else if (networked && net.getRole() == NetGame::Role::kClient)
            battleLoop.startClient(net);
        else if (networked)
            battleLoop.startHost(net, recordingBattle ? &recording : nullptr);
        else
            battleLoop.startLocal(recordingBattle ? &recording : nullptr);
        const Res size = ep.getGlutConfig().getResolution();
        gc.getView().setResolution(size.getWidth(), size.getHeight());
        WindowGame::resize(size.getWidth(), size.getHeight());
        return true;
    }

    void leaveBattle() override {
        saveRecording();
        net.leave(); // the other machines hear that this one left
        watchedLast = playback != nullptr;
        if (playback != nullptr) {
            playback.reset();
            gc.getView().setOverlayLine(std::string());
        }
        battleLoop.stop();
        gc.setExitVar(true);
        gc.getView().setPausedOverlay(false);
        iGamemode = kModeMenu;
        glutPostRedisplay();
    }

    void exitProgram() override { exitProgram(EXIT_SUCCESS); }
    void exitProgram(int status) {
        saveRecording();
        net.leave();
        std::fflush(stdout);
        std::exit(status);
    }

    void pauseBattle(bool paused) override {
        if (!pauseFromNetwork)
            net.setPause(paused); // both machines stop, and say who stopped them
        gc.getView().setPausedOverlay(paused);
        if (paused)
            gc.getSound().pauseBattle(); // the battle falls silent; the menu's sounds stay
        else
            gc.getSound().resumeBattle();
        battleLoop.setPaused(paused); // the paused time never reaches the physics or the shells
        if (!paused)
            frameClock.skipTo(clockSeconds()); // nor the frame rate
        std::printf(paused ? "Paused\n" : "Resumed\n");
        std::fflush(stdout);
        glutPostRedisplay();
    }

    BattleRules::Outcome battleOutcome() const override { return gc.getWorld().getOutcome(); }

    bool watchReplay() override {
        if (!recordingBattle && playback == nullptr)
            return false;
        Replay watched = playback != nullptr ? playback->getReplay() : recording;
        saveRecording();
        playback = std::make_unique<ReplayPlayback>(std::move(watched));
        std::printf("Watching the replay\n");
        return startBattle(playback->getReplay().levelFile, playback->getReplay().players);
    }

    std::vector<Candidate> newHighscores() const override {
        std::vector<Candidate> out;
        if (watchedLast)
            return out; // a replay's scores were counted when it was played
        const Highscore &current = const_cast<GlutFlowHost *>(this)->highscores();
        for (int player = 0; player < std::max(2, battlePlayers); ++player) {
            if (networkBattle && player != localPlayer)
                continue; // each machine keeps its own player's score
            const int score = gc.getWorld().getScores().get(player);
            if (current.qualifies(score))
                out.push_back({player, keys->getPlayerName(networkBattle ? 0 : player), score}); // this machine's name
        }
        return out;
    }

    void addHighscore(const std::string &name, int score) override {
        HighscoreElement element;
        element.setName(name.c_str());
        element.setPunkte(score);
        highscores().addHighscore(element);
        table.keepBest();
        if (ConfigReader::SetHighscore(table)) {
            std::printf("Highscore saved: %s %d\n", name.c_str(), score);
            std::fflush(stdout);
        }
    }

    void openOptions(OptionsScreen &options) override {
        // The function keys may have changed the render options since the start.
        settings->setShadows(gc.getOptions().getUseShadowmap());
        settings->setLightMaps(gc.getOptions().getUseLightmap());
        settings->setRenderMode(gc.getOptions().getRenderMode());
        settings->setTextureQuality(gc.getOptions().getTextureQuality());
        settings->setMipMapping(gc.getOptions().getMipMappingMode());
        const GlutConfig window = ep.getGlutConfig();
        OptionsScreen::Window w;
        w.width = window.getResolution().getWidth();
        w.height = window.getResolution().getHeight();
        w.fullscreen = window.isFullscreen();
        options.open(*settings, *keys, w);
        opened = w;
    }

    void saveOptions(const OptionsScreen &options) override {
        *settings = options.getSettings();
        applySettings(*settings);
        settings->write();
        const PlayerConfig &chosen = options.getKeys();
        std::map<std::string, std::string> values;
        for (int a = 0; a < PlayerConfig::kActionCount; ++a) {
            const auto action = static_cast<PlayerConfig::Action>(a);
            if (chosen.getKey(action) == keys->getKey(action))
                continue;
            const bool zoom = action == PlayerConfig::kZoomIn || action == PlayerConfig::kZoomOut;
            values[PlayerConfig::fileKey(action)] =
                zoom ? std::to_string(chosen.getKey(action)) : KeyNames::toValue(chosen.getKey(action));
            keys->setKey(action, chosen.getKey(action));
        }
        if (!values.empty() && updatePlayerFile(GamePaths::PlayerFile::kKeys, values)) {
            std::printf("Keys saved\n");
        }
        applyKeys();
        const OptionsScreen::Window &w = options.getWindow();
        if (w.width != opened.width || w.height != opened.height || w.fullscreen != opened.fullscreen) {
            updatePlayerFile(GamePaths::PlayerFile::kWindow,
                              {{"reswidth", std::to_string(w.width)},
                               {"resheight", std::to_string(w.height)},
                               {"fullscreenmode", w.fullscreen ? "true" : "false"}});
        }
        std::printf("Options saved\n");
        std::fflush(stdout);
    }

    int pauseKey() const override { return KeyNames::fold(keys->getPauseButton()); }

    bool hostNetworkGame(const std::string &levelFile, int players) override {
        netProblem.clear();
        const std::uint32_t seed = chosenSeed ? *chosenSeed : scriptRun != nullptr ? 1u : std::random_device{}();
        if (net.host(gc, levelFile, std::max(2, players), hostPort, true, seed, netProblem))
            return true;
        std::fprintf(stderr, "Error: network: %s\n", netProblem.c_str());
        return false;
    }

    bool joinNetworkGame(const std::string &address) override {
        netProblem.clear();
        if (net.join(gc, address, keys->getPlayerName(0), netProblem))
            return true;
        std::fprintf(stderr, "Error: network: %s\n", netProblem.c_str());
        return false;
    }

    void leaveNetworkGame() override { net.leave(); }

    std::vector<std::string> networkStatus() const override {
        if (net.getRole() == NetGame::Role::kNone && !netProblem.empty())
            return {netProblem};
        return net.statusLines();
    }

    std::uint16_t hostPort = 0; // the command line's port for a hosted battle; 0: the usual one

    void openLevelChoice(LevelChoice &choice) override {
        choice.setDifficulty(settings->getDifficulty());
        choice.open(levelChoices, settings->getPlayers());
    }

    void savePlayers(int players) override {
        if (players == settings->getPlayers())
            return;
        settings->setPlayers(players);
        if (settings->write()) {
            std::printf("Players saved: %d\n", players);
            std::fflush(stdout);
        }
    }

    std::vector<LevelChoice::Entry> levelChoices; // what the level choice offers, read at start-up

    void applySettings(const Settings &s) {
        gc.getOptions().applyRenderOptions(s.getShadows(), s.getLightMaps(), s.getRenderMode(), s.getTextureQuality(),
                              s.getMipMapping());
        gc.getOptions().displayFPS = s.getFrameRateLine();
        gc.getView().setMiniMapAlways(s.getMiniMapAlways());
        gc.getView().setSplitLayout(s.getSplitStacked() ? SplitScreen::kStacked : SplitScreen::kSideBySide);
        gc.getWorld().setAiDifficulty(s.getDifficulty());
        SoundSystem &sound = gc.getSound();
        sound.setMasterVolume(s.getMasterVolume());
        sound.setEffectsVolume(s.getEffectsVolume());
        sound.setEngineVolume(s.getEngineVolume());
        sound.setMute(s.getMute());
        pads.configure(s);
    }

    void applyKeys() {
        if (Spieler *one = gc.getWorld().getSpieler1())
            one->setKeys(keys->getUpButton1(), keys->getDownButton1(), keys->getLeftButton1(),
                         keys->getRightButton1(), keys->getShootButton1());
        if (Spieler *two = gc.getWorld().getSpieler2())
            two->setKeys(keys->getUpButton2(), keys->getDownButton2(), keys->getLeftButton2(),
                         keys->getRightButton2(), keys->getShootButton2());
    }

  private:
    OptionsScreen::Window opened; // the window as it was when the screen opened
};

GlutFlowHost host;
GameFlow flow(host);
std::string levelAtOnce; // the level the command line starts, or empty
bool hostingAtOnce = false; // the command line hosts a network battle on levelAtOnce
std::string joiningAtOnce;  // the host the command line joins, or empty
int playersAtOnce = 0;   // the command line's player count, 0 when not given
int pointerX = 0, pointerY = 0; // last pointer position over a screen, pixels
bool pausedFrameShown = false;  // the frame with "PAUSED" has been drawn in this pause
bool firstFrameShown = false;   // the run's first frame has been drawn

int windowWidth() {
    return glutGet(GLUT_WINDOW_WIDTH);
}
int windowHeight() {
    return glutGet(GLUT_WINDOW_HEIGHT);
}

// Every change of screen goes to the log, where players and tests can follow the flow.
// Both players' names may be asked one after the other: each entry is announced.
void announce() {
    static GameFlow::Screen shown = GameFlow::kMenu;
    static int namesAsked = 0;
    const bool newName = flow.getNamesAsked() != namesAsked;
    if (flow.getScreen() == shown && !newName)
        return;
    shown = flow.getScreen();
    namesAsked = flow.getNamesAsked();
    if (newName)
        std::printf("Highscore name entry\n");
    std::printf("Screen: %s\n", GameFlow::screenName(shown));
    std::fflush(stdout);
}

// A key press of either kind, after the key table has it.
void keyPressed(int code, unsigned char typed) {
    // Watching a replay, its own keys steer the watching; the flow's keys (Escape, pause) stay.
    if (playback != nullptr && flow.getScreen() == GameFlow::kBattle && code != host.pauseKey() &&
        playback->keyDown(code)) {
        gc.getView().followOnly(playback->getFollowed());
        gc.getView().setOverlayLine(playback->statusLine());
        glutPostRedisplay();
        return;
    }
    const GameFlow::Screen before = flow.getScreen();
    const int cursor = flow.getMenuCursor();
    flow.keyDown(code, typed);
    if (flow.getScreen() == GameFlow::kMenu && flow.getMenuCursor() != cursor)
        gc.getSound().playInterface(SoundId::kMenuHover);
    announce();
    if (flow.getScreen() != before || !flow.inBattle())
        glutPostRedisplay();
}


// The map key shows the minimap while it is held, in a battle only: typed in a name or pressed in
// the menu it is just a key (and each battle starts with the minimap as the options set it).
void mapKey(int code, bool down) {
    if (host.keys != nullptr && flow.inBattle() && code == KeyNames::fold(host.keys->getMapButton()))
        gc.getOptions().setDrawMiniMap(down);
}

void drawScreen() {
    const int width = windowWidth(), height = windowHeight();
    MenuPage page;
    switch (flow.getScreen()) {
    case GameFlow::kMenu:
        mm.setHoverElement(flow.getMenuCursor());
        mm.draw();
        return;
    case GameFlow::kBattle:
    case GameFlow::kResult:
        pausedFrameShown = false;
        gc.getView().draw();
        if (!host.battleFrameShown) { // until now the window showed what lay under it
            host.battleFrameShown = true;
            std::printf("Battle frame drawn\n");
            std::fflush(stdout);
        }
        return;
    case GameFlow::kPaused:
        gc.getView().setPauseMessage(flow.pauseMessage());
        gc.getView().draw();
        if (!pausedFrameShown) { // from here on the picture stands still
            pausedFrameShown = true;
            std::printf("Paused frame drawn\n");
            std::fflush(stdout);
        }
        return;
    case GameFlow::kOptions:
        page = flow.getOptions().page(width, height);
        break;
    case GameFlow::kHelp:
        page = ScreenLayout::help(*host.keys, host.settings->getPadBindings(), width, height);
        break;
    case GameFlow::kHighscores:
        page = ScreenLayout::highscores(host.highscores(), width, height);
        break;
    case GameFlow::kLevelChoice:
        flow.setControls(pads.controlsLines(flow.getLevelChoice().getPlayers(), *host.keys));
        page = flow.getLevelChoice().page(width, height);
        page.actionHover = ScreenLayout::actionRect(width, height).contains(pointerX, pointerY);
        break;
    case GameFlow::kNameEntry: {
        const NameEntry &entry = flow.getNameEntry();
        page = ScreenLayout::nameEntry(entry.getName(), entry.getScore(), entry.getPlayer(), width, height);
        break;
    }
    case GameFlow::kNetwork:
        page = flow.getNetwork().choicePage(width, height);
        break;
    case GameFlow::kJoinAddress:
        page = flow.getNetwork().addressPage(width, height);
        page.actionHover = ScreenLayout::actionRect(width, height).contains(pointerX, pointerY);
        break;
    case GameFlow::kNetWaiting:
        page = NetworkScreen::waitingPage(host.networkStatus(), width, height);
        break;
    }
    page.backHover = flow.getScreen() != GameFlow::kNameEntry &&
                     ScreenLayout::backRect(width, height).contains(pointerX, pointerY);
    if (flow.getScreen() == GameFlow::kNameEntry)
        page.message = "Enter saves, Escape skips";
    mm.setResolution(width, height);
    mm.drawPage(page);
}

void readPads() {
    const int players =
        flow.getScreen() == GameFlow::kLevelChoice ? flow.getLevelChoice().getPlayers() : host.battlePlayers;
    const GameFlow::Screen before = flow.getScreen();
    const PadPlayers::Report report = pads.update(clockSeconds(), flow, players, host.pauseKey());
    if (report.joined >= 0 && host.settings->setPadId(report.joined, report.joinedPad.text()) &&
        host.settings->write()) {
        std::printf("Pad of player %d saved\n", report.joined + 1);
        std::fflush(stdout);
    }
    for (int key : report.keys)
        keyPressed(key, 0);
    if (report.changed || flow.getScreen() != before) {
        if (flow.getScreen() == GameFlow::kPaused && !flow.pauseMessage().empty())
            std::printf("Paused: %s\n", flow.pauseMessage().c_str());
        std::fflush(stdout);
        announce();
        glutPostRedisplay();
    }
}

// What the network brought: a battle that starts, a pause from the other machine, a lost
// connection, and lines for the screen.
void serviceNetwork() {
    if (net.getRole() == NetGame::Role::kNone)
        return;
    const NetGame::News news = net.service(nowMs());
    for (const std::string &line : news.lines)
        gc.getOptions().setStatusMessage(line);
    if (news.start) {
        if (host.startBattle(net.getLevelFile(), net.getPlayers())) {
            flow.networkBattleStarted();
            if (net.getRole() == NetGame::Role::kHost)
                net.hostStarted(gc.getWorld().getTickCount());
        } else {
            net.leave();
        }
    }
    // The other machine's pause, or the lost connection, holds this machine's battle too (its
    // sound and clocks), without a word back over the network.
    const bool pausedBefore = flow.getScreen() == GameFlow::kPaused;
    if (news.pauseChanged && flow.inBattle())
        flow.remotePause(news.pausedBy >= 0,
                         news.pausedBy >= 0 ? std::string("Paused by player ") + playerWord(news.pausedBy) : "");
    if (news.lost) {
        gc.getOptions().setStatusMessage(news.problem);
        if (flow.inBattle())
            flow.connectionLost(news.problem);
    }
    if ((flow.getScreen() == GameFlow::kPaused) != pausedBefore) {
        pauseFromNetwork = true;
        host.pauseBattle(!pausedBefore);
        pauseFromNetwork = false;
    }
    if (news.start || news.pauseChanged || news.lost || !news.lines.empty()) {
        announce();
        glutPostRedisplay();
    }
}


// What the battle loop asks of the window: the players' controls from the keys and pads, the view's
// time for the zoom, the status message and the pads' cameras, and the flow's rules after a tick.
void connectBattleLoop() {
    BattleLoop::Hooks hooks;
    hooks.controls = [] {
        TickInput input = gc.readKeyboard(keys);
        if (net.getRole() == NetGame::Role::kClient) { // this machine's player drives with player one's keys and pad
            pads.addControls(0, input[0]);
        } else {
            for (int player = 0; player < kMaxPlayers; ++player)
                pads.addControls(player, input[static_cast<std::size_t>(player)]);
        }
        return input;
    };
    hooks.viewTime = [](float seconds) {
        gc.frame(seconds, keys, host.networkBattle ? host.localPlayer : 0);
        if (host.networkBattle) // this machine's pad steers its own player's camera
            pads.steerCamera(0, gc.getCamera(host.localPlayer), seconds);
        for (int player = 0; player < host.battlePlayers && playback == nullptr && !host.networkBattle; ++player)
            pads.steerCamera(player, gc.getCamera(player), seconds);
    };
    hooks.afterTick = [] {
        pads.feel(gc.getWorld().getEvents());
        flow.afterStep();
        return flow.battleRuns();
    };
    hooks.replayOver = [](std::size_t ticks, std::uint64_t hash) {
        std::printf("Replay over: %zu ticks, state hash %s\n", ticks, StateHash::hex(hash).c_str());
        std::fflush(stdout);
    };
    battleLoop.setHooks(std::move(hooks));
}

// The screenshot key: the picture the player sees goes to a new PNG file among the player's
// screenshots, and the console and the battle's status line say where.
void takeScreenshot() {
    if (scriptRun != nullptr)
        drawScreen(); // a scripted run keeps its frames in the back buffer, drawn when asked
    const std::string folder = GamePaths::current().screenshotFolder();
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::string path = unusedFileName(folder, "panzerfeld-" + timeStamp(), ".png");
    std::string problem;
    if (!ScreenShot::save(path, windowWidth(), windowHeight(), problem)) {
        std::fprintf(stderr, "Error: %s: the screenshot was not saved: %s\n", path.c_str(), problem.c_str());
        return;
    }
    std::printf("Screenshot saved: %s\n", path.c_str());
    std::fflush(stdout);
    gc.getOptions().setStatusMessage("Screenshot saved: " + path);
}

// A key press of either kind: the key table, the option keys, the map key, then the flow.
void pressed(int code, unsigned char typed) {
    if (KeyNames::fold(code) == KeyNames::fold(host.keys->getScreenshotButton()) && code != 0) {
        takeScreenshot();
        return;
    }
    pressKey(keys, code);
    if (KeyNames::isSpecial(code) && flow.inBattle()) {
        int held[kOptionKeyCount];
        const int count = heldOptionKeys(keys, held);
        for (int i = 0; i < count; ++i) {
            gc.getOptions().toggleOption(held[i]);
            if (held[i] == 2) { // the frame-rate line stays as the player left it
                host.settings->setFrameRateLine(gc.getOptions().getDisplayFPS());
                host.settings->write();
            }
        }
    }
    mapKey(code, true);
    keyPressed(code, typed);
}

void released(int code) {
    releaseKey(keys, code);
    mapKey(code, false);
    flow.keyUp(code);
    announce();
}

void leftClick(int x, int y) {
    if (flow.getScreen() == GameFlow::kMenu) {
        const int item = mm.itemAt(x, y);
        if (item != MainMenu::kNone)
            gc.getSound().playInterface(SoundId::kMenuClick);
        flow.menuItem(item);
    } else {
        flow.click(x, y, windowWidth(), windowHeight());
    }
    announce();
    glutPostRedisplay();
}

void rightButton(bool down, int x, int y) {
    bMouseRightDown = down;
    iMouseStartX = x;
    iMouseStartY = y;
}

void dragged(int x, int y) {
    if (!bMouseRightDown)
        return;
    const int dx = x - iMouseStartX;
    const int dy = y - iMouseStartY;
    iMouseStartX = x;
    iMouseStartY = y;
    OrbitCamera &camera = gc.getCamera(host.networkBattle ? host.localPlayer : 0); // the mouse is this machine's player's
    camera.setAngleX(camera.getAngleX() - dy);
    camera.setAngleY(camera.getAngleY() + dx);
}

void pointed(int x, int y) {
    pointerX = x;
    pointerY = y;
    if (flow.getScreen() == GameFlow::kMenu) {
        const int item = mm.itemAt(x, y);
        if (item != MainMenu::kNone && item != mm.getHoverElement())
            gc.getSound().playInterface(SoundId::kMenuHover);
        flow.setMenuCursor(item);
        mm.setHoverElement(flow.getMenuCursor());
        if (scriptRun == nullptr)
            mm.draw();
    } else if (!flow.inBattle()) {
        glutPostRedisplay();
    }
}

// One frame's worth of the battle by the real clock.
// The frame clock's reading at the run's clock: the frame rate shown when one is due.
FrameClock::Tick takeFrameTime() {
    const FrameClock::Tick frame = frameClock.advance(clockSeconds());
    if (frame.fpsDue)
        gc.getView().setFps(frame.fps);
    return frame;
}

// What the view shows after a frame's ticks: the replay's line, how far between ticks it draws,
// and a changed screen announced.
void afterTicks(float blend) {
    if (playback != nullptr)
        gc.getView().setOverlayLine(playback->statusLine());
    gc.getView().setViewBlend(blend);
    announce();
}

void runFrame() {
    const FrameClock::Tick frame = takeFrameTime();
    if (!frame.step)
        return;
    battleLoop.advance(frame.dt, nowMs());
    afterTicks(battleLoop.blend());
    glutPostRedisplay();
}

// A scripted run ends: the line says where, and the program leaves as the exit item leaves it.
[[noreturn]] void endScript(int status, const std::string &problem = std::string()) {
    if (!problem.empty())
        std::fprintf(stderr, "Error: %s\n", problem.c_str());
    std::printf("Script over at tick %ld (%s)\n", scriptRun->tick, GameFlow::screenName(flow.getScreen()));
    host.exitProgram(status);
    std::exit(status); // exitProgram does not return
}

std::string scriptProblem(const GameScript::Step &step, const std::string &what) {
    return "script line " + std::to_string(step.line) + ": " + what;
}

bool stepDue(const ScriptRun &run, const GameScript::Step &step) {
    switch (step.when) {
    case GameScript::When::kNow:
        return true;
    case GameScript::When::kAt:
        return run.tick >= step.tick;
    case GameScript::When::kAfter:
        return run.tick >= run.lastStep + step.tick;
    case GameScript::When::kOnScreen:
        return step.screen == GameFlow::screenName(flow.getScreen());
    }
    return false;
}

void takeStep(ScriptRun &run, const GameScript::Step &step) {
    using Action = GameScript::Action;
    const int centreX = windowWidth() / 2, centreY = windowHeight() / 2;
    switch (step.action) {
    case Action::kWait:
        break;
    case Action::kKey:
        pressed(step.key, static_cast<unsigned char>(step.key < KeyNames::kSpecialBase ? step.key : 0));
        run.releases.push_back(step.key);
        break;
    case Action::kDown:
        pressed(step.key, static_cast<unsigned char>(step.key < KeyNames::kSpecialBase ? step.key : 0));
        break;
    case Action::kUp:
        released(step.key);
        break;
    case Action::kClickItem:
        if (flow.getScreen() != GameFlow::kMenu)
            endScript(1, scriptProblem(step, "a click on a menu item, but the screen is " +
                                                 std::string(GameFlow::screenName(flow.getScreen()))));
        gc.getSound().playInterface(SoundId::kMenuClick);
        flow.menuItem(step.x);
        announce();
        break;
    case Action::kClick:
        pointed(step.x, step.y);
        leftClick(step.x, step.y);
        break;
    case Action::kPoint:
        pointed(step.x, step.y);
        break;
    case Action::kDrag:
        rightButton(true, centreX, centreY);
        dragged(centreX + step.x, centreY + step.y);
        rightButton(false, centreX + step.x, centreY + step.y);
        break;
    case Action::kShot: {
        drawScreen();
        std::string problem;
        const std::string path = run.folder + step.file;
        if (!ScreenShot::save(path, windowWidth(), windowHeight(), problem))
            endScript(1, path + ": " + problem);
        std::printf("Script shot: %s (tick %ld, %s)\n", step.file.c_str(), run.tick,
                    GameFlow::screenName(flow.getScreen()));
        std::fflush(stdout);
        break;
    }
    case Action::kPad:
        padHub.play(run.padSteps[run.nextPad++], run.path);
        break;
    case Action::kHash:
        std::printf("Script hash: %s at battle tick %ld\n", StateHash::hex(gc.getWorld().stateHash()).c_str(),
                    gc.getWorld().getTickCount());
        std::fflush(stdout);
        break;
    case Action::kEnd:
        endScript(EXIT_SUCCESS);
    }
}

// A slice of a scripted run: tick after tick, as fast as the machine goes, the due steps taken
// before each; then back to GLUT for a moment, so the window stays a window.
void runScriptSlice() {
    constexpr int kTicksPerSlice = 120;
    ScriptRun &run = *scriptRun;
    for (int slice = 0; slice < kTicksPerSlice; ++slice) {
        for (int key : run.releases)
            released(key);
        run.releases.clear();
        while (run.next < run.script.steps.size() && stepDue(run, run.script.steps[run.next])) {
            const GameScript::Step &step = run.script.steps[run.next++];
            run.lastStep = run.tick;
            takeStep(run, step);
        }
        if (run.next >= run.script.steps.size() && run.releases.empty())
            endScript(EXIT_SUCCESS); // every step taken, its keys let go: a script without "end" stops here
        if (run.tick >= run.script.limit) {
            const GameScript::Step &waiting = run.script.steps[run.next];
            endScript(1, scriptProblem(waiting, "not reached within " + std::to_string(run.script.limit) +
                                                    " ticks (the screen is " +
                                                    GameFlow::screenName(flow.getScreen()) + ")"));
        }
        serviceNetwork();
        readPads();
        if (flow.battleRuns()) {
            takeFrameTime();
            battleLoop.step(nowMs());
            afterTicks(0.0f); // a picture at a tick shows that tick
        }
        ++run.tick;
    }
}

} // namespace

void WindowGame::setupFlow(PlayerConfig *keys, Settings *settings) {
    host.keys = keys;
    host.settings = settings;
    host.applySettings(*settings);
    host.highscores(); // a broken table is reported at start-up
    flow.setMenuOrder(mm.itemOrder());
    padHub.open(); // without pads the keyboards play on
    connectBattleLoop();
}

void WindowGame::readLevelChoice() {
    std::vector<LevelIndex::Entry> index;
    const bool found = LevelIndex::read(LevelIndex::file(), index);
    host.levelChoices = LevelChoice::collect(
        found ? &index : nullptr, gc.getData().getLevelFiles(),
        [](const std::string &file) { return gc.getData().levelFileFailed(file); }, LevelIndex::file());
    // Each battlefield's picture: its ground shaded by its relief, made once here.
    TextureHolder &textures = *gc.getTextureHolder();
    for (LevelChoice::Entry &entry : host.levelChoices) {
        const Level *level = gc.getData().getLevelOfFile(entry.file);
        if (level == nullptr || !textures.hasTexture(entry.ground))
            continue; // the ground's own name stays: drawing it says what is wrong once
        const DevilImageDefinition *heights =
            textures.hasTexture(level->getHeightMap()) ? textures.getTextureByString(level->getHeightMap()) : nullptr;
        const DevilImageDefinition preview = LevelPreview::make(*textures.getTextureByString(entry.ground), heights);
        if (!preview.hasPixels())
            continue;
        entry.ground = "preview of " + entry.file;
        textures.setInMemoryGeneratedTexture(preview, entry.ground);
    }
    std::printf("Level choice: %zu battlefield%s\n", host.levelChoices.size(),
                host.levelChoices.size() == 1 ? "" : "s");
    std::fflush(stdout);
}

void WindowGame::startAtOnce(const std::string &levelFile, int players) {
    levelAtOnce = levelFile;
    playersAtOnce = players;
}

void WindowGame::watchAtOnce(Replay replay) {
    playback = std::make_unique<ReplayPlayback>(std::move(replay));
    levelAtOnce = playback->getReplay().levelFile;
    playersAtOnce = playback->getReplay().players;
}

void WindowGame::chooseSeed(std::optional<std::uint32_t> seed) {
    chosenSeed = seed;
}

void WindowGame::hostAtOnce(const std::string &levelFile, int players, std::uint16_t port) {
    hostingAtOnce = true;
    levelAtOnce = levelFile;
    playersAtOnce = players;
    host.hostPort = port;
}

void WindowGame::joinAtOnce(const std::string &address) {
    joiningAtOnce = address;
}

void WindowGame::windowOpened() {
    if (hostingAtOnce || !joiningAtOnce.empty()) {
        const bool waiting = hostingAtOnce ? host.hostNetworkGame(levelAtOnce, playersAtOnce)
                                           : host.joinNetworkGame(joiningAtOnce);
        if (!waiting) // the line said why
            host.exitProgram(EXIT_FAILURE);
        flow.openNetworkWaiting();
        announce();
        return;
    }
    if (levelAtOnce.empty())
        return;
    flow.startBattle(levelAtOnce, playersAtOnce);
    announce();
}

const Settings &WindowGame::currentSettings() {
    return *host.settings;
}

bool WindowGame::runScript(const std::string &path) {
    auto run = std::make_unique<ScriptRun>();
    std::string problem;
    if (!GameScript::read(path, run->script, problem)) {
        std::fprintf(stderr, "Error: %s: %s\n", path.c_str(), problem.c_str());
        return false;
    }
    // The pad steps make one pad script, in the order they are taken: checked now, played later.
    std::string padText;
    std::vector<int> padLines;
    for (const GameScript::Step &step : run->script.steps) {
        if (step.action == GameScript::Action::kPad) {
            padText += "0 " + step.file + "\n";
            padLines.push_back(step.line);
        }
    }
    PadScript pads;
    if (!PadScript::parse(padText, pads, problem)) {
        // Its "line K" is the K-th pad step: named by its line of the script instead.
        const std::size_t colon = problem.find(':');
        const std::size_t k = static_cast<std::size_t>(std::atoi(problem.c_str() + 5));
        const int line = k >= 1 && k <= padLines.size() ? padLines[k - 1] : 0;
        std::fprintf(stderr, "Error: %s: line %d:%s\n", path.c_str(), line,
                     colon == std::string::npos ? problem.c_str() : problem.c_str() + colon + 1);
        return false;
    }
    run->padSteps = pads.steps();
    for (std::size_t i = 0; i < run->padSteps.size(); ++i)
        run->padSteps[i].line = padLines[i];
    run->path = path;
    const std::size_t slash = path.rfind('/');
    run->folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    scriptRun = std::move(run);
    ScreenShot::keepFrames(true);
    std::printf("Script: %s (%zu steps)\n", path.c_str(), scriptRun->script.steps.size());
    std::fflush(stdout);
    return true;
}

bool WindowGame::isScripted() {
    return scriptRun != nullptr;
}

// One frame of whatever screen is up; the first one of the run says so once (until then the window
// shows what lay under it). A scripted run draws only the frames its script asks for.
void WindowGame::draw() {
    if (scriptRun != nullptr)
        return;
    drawScreen();
    if (!firstFrameShown) {
        firstFrameShown = true;
        std::printf("First frame drawn\n");
        std::fflush(stdout);
    }
}

void WindowGame::resize(int width, int height) {
    if (!flow.inBattle()) {
        mm.setResolution(width, height);
        return;
    }
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (height == 0)
        height = 1;
    gluPerspective(80, static_cast<double>(width) / height, 1, 5000);
    if (ShadowMap *shadowMap = gc.getView().getShadowMap())
        shadowMap->setCameraProjectionMatrix();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gc.getView().setResolution(width, height);
}

void WindowGame::keyDown(int code, unsigned char typed) {
    pressed(code, typed);
}

void WindowGame::keyUp(int code) {
    released(code);
}

void WindowGame::mouseButton(int button, bool down, int x, int y) {
    if (button == GLUT_LEFT_BUTTON && !down) // a click acts on its release
        leftClick(x, y);
    rightButton(down && button == GLUT_RIGHT_BUTTON, x, y);
}

void WindowGame::mouseDrag(int x, int y) {
    dragged(x, y);
}

void WindowGame::mouseMove(int x, int y) {
    pointed(x, y);
}

void WindowGame::windowHidden() {
    flow.windowHidden();
    announce();
}

void WindowGame::idle() {
    if (scriptRun != nullptr) {
        runScriptSlice();
        return;
    }
    serviceNetwork();
    readPads();
    if (!flow.battleRuns()) {
        // Nothing moves in the menu, its screens or a paused battle (they redraw on events): rest
        // a little instead of spinning a core at full speed through GLUT's idle loop.
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return;
    }
    runFrame();
}
