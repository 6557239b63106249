#include "flow/GameFlow.h"

#include "config/KeyNames.h"
#include "flow/ScreenLayout.h"
#include "menu/MainMenu.h"

#include <algorithm>

GameFlow::GameFlow(FlowHost &flowHost)
    : host(flowHost), menuOrder{MainMenu::kGame,      MainMenu::kNetwork, MainMenu::kOptions,
                                MainMenu::kHighscore, MainMenu::kHelp,    MainMenu::kExit} {}

const char *GameFlow::screenName(Screen s) {
    static const char *const kNames[] = {"Menu",         "Options", "Help",         "Highscores",
                                         "Battle",       "Paused",  "Result",       "Name entry",
                                         "Level choice", "Network", "Join address", "Network waiting"};
    return kNames[s];
}

void GameFlow::toMenu() {
    screen = kMenu;
    escapeArmed = false;
    padsMissing.reset();
    pausedByPad = false;
    pauseAsked = false;
    networkBattle = false;
    remoteMessage.clear();
    lostMessage.clear();
}

void GameFlow::setMenuOrder(const std::vector<int> &items) {
    std::vector<int> order;
    for (int item : items)
        if (item > MainMenu::kNone && item <= MainMenu::kNetwork &&
            std::find(order.begin(), order.end(), item) == order.end())
            order.push_back(item);
    if (!order.empty())
        menuOrder = order;
}

void GameFlow::setMenuCursor(int item) {
    const bool known = std::find(menuOrder.begin(), menuOrder.end(), item) != menuOrder.end();
    menuCursor = known ? item : MainMenu::kNone;
}

void GameFlow::keyDown(int code, unsigned char typed) {
    const int up = KeyNames::special(KeyNames::kGlutUp), down = KeyNames::special(KeyNames::kGlutDown);
    const int left = KeyNames::special(KeyNames::kGlutLeft), right = KeyNames::special(KeyNames::kGlutRight);
    switch (screen) {
    case kMenu:
        if (code == KeyNames::kEscape) {
            escapeArmed = true;
        } else if (code == up || code == down) {
            // From no item lit, Down lights the top one and Up the bottom one.
            const int count = static_cast<int>(menuOrder.size());
            const auto at = std::find(menuOrder.begin(), menuOrder.end(), menuCursor);
            const int from = at != menuOrder.end() ? static_cast<int>(at - menuOrder.begin())
                             : code == down        ? -1
                                                   : count;
            menuCursor = menuOrder[((from + (code == down ? 1 : -1)) % count + count) % count];
        } else if (code == KeyNames::kEnter) {
            if (menuCursor == MainMenu::kNone)
                menuCursor = menuOrder.front(); // the first Enter shows where the cursor is
            else
                menuItem(menuCursor);
        }
        break;
    case kOptions:
        if (options.keyDown(code)) {
            host.saveOptions(options);
            toMenu();
        }
        break;
    case kHelp:
    case kHighscores:
        if (code == KeyNames::kEscape || code == KeyNames::kEnter)
            toMenu();
        break;
    case kLevelChoice:
        chooseLevel(levelChoice.keyDown(code));
        break;
    case kBattle:
        if (code == KeyNames::kEscape) {
            host.leaveBattle();
            toMenu();
        } else if (code == host.pauseKey()) {
            pause(false);
        }
        break;
    case kPaused:
        if (code == KeyNames::kEscape) {
            if (pauseAsked)
                host.pauseBattle(false);
            host.leaveBattle();
            toMenu();
        } else if (code == host.pauseKey() && padsMissing.none() && // a player without his pad cannot play on
                   lostMessage.empty()) {                           // nor one without the other machine
            host.pauseBattle(false);
            resume();
        }
        break;
    case kResult:
        if (code == KeyNames::kEscape || code == KeyNames::kEnter) {
            host.leaveBattle();
            const std::vector<FlowHost::Candidate> candidates = host.newHighscores();
            waiting.assign(candidates.begin(), candidates.end());
            nextName();
        } else if (code == kReplayKey && host.watchReplay()) {
            screen = kBattle; // the result's highscores were the battle's, not the replay's: none are asked
        }
        break;
    case kNameEntry:
        if (code == KeyNames::kEscape) {
            nextName();
        } else if (code == KeyNames::kEnter) {
            const std::string name = nameEntry.finalName();
            if (!name.empty())
                host.addHighscore(name, nameEntry.getScore());
            nextName();
        } else if (code == KeyNames::kBackspace || code == left) {
            nameEntry.backspace();
        } else if (code == up || code == down) {
            nameEntry.turnLetter(code == up ? 1 : -1);
        } else if (code == right) {
            nameEntry.addLetter();
        } else if (typed != 0) {
            nameEntry.type(typed);
        }
        break;
    case kNetwork:
        chooseNetwork(network.choiceKey(code));
        break;
    case kJoinAddress:
        joinAddress(network.addressKey(code, typed));
        break;
    case kNetWaiting:
        if (code == KeyNames::kEscape)
            leaveWaiting();
        break;
    }
}

void GameFlow::keyUp(int code) {
    if (code == KeyNames::kEscape && screen == kMenu && escapeArmed)
        host.exitProgram();
}

void GameFlow::menuItem(int item) {
    if (screen != kMenu)
        return;
    switch (item) {
    case MainMenu::kGame:
        levelChoice.setNetwork(false);
        host.openLevelChoice(levelChoice);
        screen = kLevelChoice;
        break;
    case MainMenu::kNetwork:
        screen = kNetwork;
        break;
    case MainMenu::kExit:
        host.exitProgram();
        break;
    case MainMenu::kOptions:
        host.openOptions(options);
        screen = kOptions;
        break;
    case MainMenu::kHelp:
        screen = kHelp;
        break;
    case MainMenu::kHighscore:
        screen = kHighscores;
        break;
    default:
        break;
    }
}

void GameFlow::click(int x, int y, int width, int height) {
    const bool back = ScreenLayout::backRect(width, height).contains(x, y);
    switch (screen) {
    case kOptions:
        if (options.isTakingKey() || options.isTakingPadButton()) {
            break; // a click is no key and no button
        } else if (back) {
            host.saveOptions(options);
            toMenu();
        } else if (ScreenLayout::actionRect(width, height).contains(x, y)) {
            options.turnPage();
        } else {
            options.click(options.rowAt(x, y, width, height));
        }
        break;
    case kHelp:
    case kHighscores:
        if (back)
            toMenu();
        break;
    case kLevelChoice:
        chooseLevel(levelChoice.click(x, y, width, height));
        break;
    case kNetwork:
        chooseNetwork(network.choiceClick(x, y, width, height));
        break;
    case kJoinAddress:
        joinAddress(network.addressClick(x, y, width, height));
        break;
    case kNetWaiting:
        if (back)
            leaveWaiting();
        break;
    default:
        break;
    }
}

void GameFlow::chooseLevel(LevelChoice::Action action) {
    if (action == LevelChoice::kNothing)
        return;
    if (levelChoice.isNetwork()) { // the players of a network battle are no setting of this machine
        if (action == LevelChoice::kBack)
            screen = kNetwork;
        else if (!host.hostNetworkGame(levelChoice.selectedEntry()->file, levelChoice.getPlayers()))
            levelChoice.setMessage(networkFailure("The battle could not be hosted"));
        else if (screen == kLevelChoice) // unless the battle began at once
            screen = kNetWaiting;
        return;
    }
    host.savePlayers(levelChoice.getPlayers());
    if (action == LevelChoice::kBack)
        toMenu();
    else if (!startBattle(levelChoice.selectedEntry()->file, levelChoice.getPlayers()))
        levelChoice.setMessage("This battlefield could not start");
}

void GameFlow::chooseNetwork(NetworkScreen::Action action) {
    if (action == NetworkScreen::kBack) {
        toMenu();
    } else if (action == NetworkScreen::kChoose && network.getRow() == NetworkScreen::kHost) {
        levelChoice.setNetwork(true);
        host.openLevelChoice(levelChoice);
        screen = kLevelChoice;
    } else if (action == NetworkScreen::kChoose) {
        network.openAddress();
        screen = kJoinAddress;
    }
}

void GameFlow::joinAddress(NetworkScreen::Action action) {
    if (action == NetworkScreen::kBack)
        screen = kNetwork;
    else if (action != NetworkScreen::kChoose)
        return;
    else if (!host.joinNetworkGame(network.getAddress()))
        network.setMessage(networkFailure("Could not join " + network.getAddress()));
    else if (screen == kJoinAddress) // unless the battle began at once
        screen = kNetWaiting;
}

void GameFlow::leaveWaiting() {
    host.leaveNetworkGame();
    screen = kNetwork;
}

std::string GameFlow::networkFailure(const std::string &fallback) const {
    const std::vector<std::string> status = host.networkStatus();
    return status.empty() ? fallback : status.back();
}

void GameFlow::networkBattleStarted() {
    if (!inBattle())
        begin(true);
}

void GameFlow::remotePause(bool paused, const std::string &message) {
    if (!networkBattle || !lostMessage.empty())
        return;
    if (paused && (screen == kBattle || screen == kPaused)) {
        screen = kPaused;
        remoteMessage = message;
        pausedByPad = false; // a pad coming back does not end the other machine's pause
    } else if (!paused && screen == kPaused) {
        resume(); // the host's battle goes on: this machine's follows, pads or not
    }
}

void GameFlow::connectionLost(const std::string &message) {
    if (!networkBattle || (screen != kBattle && screen != kPaused))
        return; // a decided battle keeps its result
    screen = kPaused;
    lostMessage = message;
    remoteMessage.clear();
    pausedByPad = false;
}

bool GameFlow::startBattle(const std::string &levelFile, int players) {
    if ((screen != kMenu && screen != kLevelChoice) || !host.startBattle(levelFile, players))
        return false;
    begin(false);
    return true;
}

void GameFlow::begin(bool overNetwork) {
    screen = kBattle;
    padsMissing.reset();
    pausedByPad = false;
    pauseAsked = false;
    networkBattle = overNetwork;
    remoteMessage.clear();
    lostMessage.clear();
}

void GameFlow::afterStep() {
    if (screen == kBattle && host.battleOutcome() != BattleRules::kRunning)
        screen = kResult;
}

void GameFlow::pause(bool byPad) {
    host.pauseBattle(true);
    screen = kPaused;
    pausedByPad = byPad;
    pauseAsked = true;
}

void GameFlow::resume() {
    screen = kBattle;
    pausedByPad = false;
    pauseAsked = false;
    remoteMessage.clear();
}

void GameFlow::windowHidden() {
    if (screen == kBattle && !networkBattle)
        pause(false);
}

bool GameFlow::padButtonDown(PadButton button) {
    return screen == kOptions && options.padButton(button);
}

void GameFlow::padDisconnected(int player) {
    if (player < 0 || player >= static_cast<int>(padsMissing.size()) ||
        (screen != kBattle && screen != kPaused))
        return;
    padsMissing.set(player);
    if (screen == kBattle)
        pause(true);
}

void GameFlow::padReconnected(int player) {
    if (player < 0 || player >= static_cast<int>(padsMissing.size()))
        return;
    padsMissing.reset(player);
    if (screen == kPaused && pausedByPad && padsMissing.none()) {
        host.pauseBattle(false);
        resume();
    }
}

std::string GameFlow::pauseMessage() const {
    if (!lostMessage.empty())
        return lostMessage + " - Escape: back to the menu";
    std::string text = remoteMessage;
    for (std::size_t player = 0; player < padsMissing.size(); ++player)
        if (padsMissing.test(player))
            text +=
                (text.empty() ? "" : ", ") + ("Player " + std::to_string(player + 1)) + ": pad disconnected";
    return text;
}

void GameFlow::padJoined(int player) {
    if (screen == kLevelChoice && !levelChoice.isNetwork() && player >= 0 &&
        player < LevelChoice::kMaxPlayers && player + 1 > levelChoice.getPlayers())
        levelChoice.setPlayers(player + 1);
}

void GameFlow::nextName() {
    if (waiting.empty()) {
        toMenu();
        return;
    }
    const FlowHost::Candidate next = waiting.front();
    waiting.pop_front();
    nameEntry.start(next.defaultName, next.score, next.player);
    screen = kNameEntry;
    ++namesAsked;
}
