#include "flow/GameFlow.h"

#include "config/KeyNames.h"
#include "flow/ScreenLayout.h"
#include "menu/MainMenu.h"

const char *GameFlow::screenName(Screen s) {
    static const char *const kNames[] = {"Menu",   "Options", "Help",   "Highscores",
                                         "Battle", "Paused",  "Result", "Name entry", "Level choice"};
    return kNames[s];
}

void GameFlow::toMenu() {
    screen = kMenu;
    escapeArmed = false;
}

void GameFlow::keyDown(int code, unsigned char typed) {
    switch (screen) {
    case kMenu:
        if (code == KeyNames::kEscape)
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
            host.pauseBattle(true);
            screen = kPaused;
        }
        break;
    case kPaused:
        if (code == KeyNames::kEscape) {
            host.pauseBattle(false);
            host.leaveBattle();
            toMenu();
        } else if (code == host.pauseKey()) {
            host.pauseBattle(false);
            screen = kBattle;
        }
        break;
    case kResult:
        if (code == KeyNames::kEscape) {
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
            if (!nameEntry.getName().empty())
                host.addHighscore(nameEntry.getName(), nameEntry.getScore());
            nextName();
        } else if (code == KeyNames::kBackspace) {
            nameEntry.backspace();
        } else if (typed != 0) {
            nameEntry.type(typed);
        }
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
        host.openLevelChoice(levelChoice);
        screen = kLevelChoice;
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
    case kLevelChoice:
        chooseLevel(levelChoice.click(x, y, width, height));
        break;
    default:
        break;
    }
}

void GameFlow::chooseLevel(LevelChoice::Action action) {
    if (action == LevelChoice::kNothing)
        return;
    host.savePlayers(levelChoice.getPlayers());
    if (action == LevelChoice::kBack)
        toMenu();
    else if (!startBattle(levelChoice.selectedEntry()->file, levelChoice.getPlayers()))
        levelChoice.setMessage("This battlefield could not start");
}

bool GameFlow::startBattle(const std::string &levelFile, int players) {
    if ((screen != kMenu && screen != kLevelChoice) || !host.startBattle(levelFile, players))
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
