#include "flow/GameFlow.h"

#include "flow/ScreenLayout.h"
#include "menu/MainMenu.h"

namespace {
constexpr int kEscape = 27, kEnter = 13, kBackspace = 8;
}

const char *GameFlow::screenName(Screen s) {
    static const char *const kNames[] = {"Menu",   "Options", "Help",   "Highscores",
                                         "Battle", "Paused",  "Result", "Name entry"};
    return kNames[s];
}

void GameFlow::toMenu() {
    screen = kMenu;
    escapeArmed = false;
}

void GameFlow::keyDown(int code, unsigned char typed) {
    switch (screen) {
    case kMenu:
        if (code == kEscape)
            escapeArmed = true;
        break;
    case kOptions:
        if (options.keyDown(code)) {
            host.saveOptions(options);
            toMenu();
        }
        break;
    case kHelp:
    case kHighscores:
        if (code == kEscape || code == kEnter)
            toMenu();
        break;
    case kBattle:
        if (code == kEscape) {
            host.leaveBattle();
            toMenu();
        } else if (code == host.pauseKey()) {
            host.pauseBattle(true);
            screen = kPaused;
        }
        break;
    case kPaused:
        if (code == kEscape) {
            host.pauseBattle(false);
            host.leaveBattle();
            toMenu();
        } else if (code == host.pauseKey()) {
            host.pauseBattle(false);
            screen = kBattle;
        }
        break;
    case kResult:
        if (code == kEscape) {
            host.leaveBattle();
            const std::vector<FlowHost::Candidate> candidates = host.newHighscores();
            waiting.assign(candidates.begin(), candidates.end());
            nextName();
        }
        break;
    case kNameEntry:
        if (code == kEscape) {
            nextName();
        } else if (code == kEnter) {
            if (!nameEntry.getName().empty())
                host.addHighscore(nameEntry.getName(), nameEntry.getScore());
            nextName();
        } else if (code == kBackspace) {
            nameEntry.backspace();
        } else if (typed != 0) {
            nameEntry.type(typed);
        }
        break;
    }
}

void GameFlow::keyUp(int code) {
    if (code == kEscape && screen == kMenu && escapeArmed)
        host.exitProgram();
}

void GameFlow::menuItem(int item) {
    if (screen != kMenu)
        return;
    switch (item) {
    case MainMenu::kGame:
        startBattle(kFirstLevel, 0);
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
        if (back && !options.isTakingKey()) {
            host.saveOptions(options);
            toMenu();
        } else {
            options.click(OptionsScreen::rowAt(x, y, width, height));
        }
        break;
    case kHelp:
    case kHighscores:
        if (back)
            toMenu();
        break;
    default:
        break;
    }
}

bool GameFlow::startBattle(const std::string &levelFile, int players) {
    if (screen != kMenu || !host.startBattle(levelFile, players))
        return false;
    screen = kBattle;
    return true;
}

void GameFlow::afterStep() {
    if (screen == kBattle && host.battleOutcome() != BattleRules::kRunning)
        screen = kResult;
}

void GameFlow::windowHidden() {
    if (screen == kBattle) {
        host.pauseBattle(true);
        screen = kPaused;
    }
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
