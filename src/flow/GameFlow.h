#pragma once

#include "config/PadBindings.h"
#include "flow/LevelChoice.h"
#include "flow/NameEntry.h"
#include "flow/NetworkScreen.h"
#include "flow/OptionsScreen.h"
#include "game/BattleRules.h"

#include <bitset>
#include <deque>
#include <string>
#include <vector>

// What the game flow asks of the program: start and leave battles, pause them, save what the
// screens changed, host and join network battles. The GLUT side implements it; tests use a
// recording one.
class FlowHost {
  public:
    struct Candidate {
        int player;              // 0..3, player one to four
        std::string defaultName; // from playerconfig.ini
        int score;               // points of the battle
    };

    virtual ~FlowHost() = default;
    // Starts the level read from `levelFile` (a file name in data/level/) for `players` human
    // players (1 to 4; 0 as the settings say); false when it could not start: the menu stays.
    virtual bool startBattle(const std::string &levelFile, int players) = 0;
    virtual void leaveBattle() = 0;
    virtual void exitProgram() = 0;
    virtual void pauseBattle(bool paused) = 0;
    virtual BattleRules::Outcome battleOutcome() const = 0;
    // Plays the battle just seen again from its replay; false when there is none to watch.
    virtual bool watchReplay() { return false; }
    virtual std::vector<Candidate> newHighscores() const = 0; // scores of the battle that enter the table
    virtual void addHighscore(const std::string &name, int score) = 0;
    virtual void openOptions(OptionsScreen &options) = 0; // fills the screen with the live values
    virtual void saveOptions(const OptionsScreen &options) = 0;
    virtual int pauseKey() const = 0; // key-table code
    virtual void openLevelChoice(LevelChoice &choice) = 0; // fills the screen: levels and the players setting
    virtual void savePlayers(int players) = 0;            // the player count chosen, kept for the next run

    // Network play: hosts a battle on `levelFile` for `players` (2..4); false when it could not
    // (the port is taken): networkStatus() says why.
    virtual bool hostNetworkGame(const std::string & /*levelFile*/, int /*players*/) { return false; }
    // Joins the battle at "host" or "host:port"; the connection is made in the background.
    virtual bool joinNetworkGame(const std::string & /*address*/) { return false; }
    virtual void leaveNetworkGame() {}                                    // Escape while waiting
    virtual std::vector<std::string> networkStatus() const { return {}; } // the waiting screen's lines
};

// The program's flow as one state machine: the menu, its three screens, the level choice, the
// battle, the pause, the result and the name entry, and on the way into a network battle the
// choice between hosting and joining, the address to join and the wait. The GLUT callbacks forward
// every event here and ask which screen to draw; each state decides where a key or a click goes.
// Every screen works with the arrows, Enter and Escape alone, which is what a pad's d-pad, A and B
// stand for.
class GameFlow {
  public:
    enum Screen {
        kMenu,
        kOptions,
        kHelp,
        kHighscores,
        kBattle,
        kPaused,
        kResult,
        kNameEntry,
        kLevelChoice,
        kNetwork,     // hosting or joining a network battle
        kJoinAddress, // the address of the machine to join
        kNetWaiting,  // for the other machines, or for the connection
    };

    static constexpr int kReplayKey = 'r'; // on the result screen: watch the battle's replay

    explicit GameFlow(FlowHost &host);

    Screen getScreen() const { return screen; }
    static const char *screenName(Screen screen); // "Menu", "Options", "Network waiting", ... for the log
    bool inBattle() const { return screen == kBattle || screen == kPaused || screen == kResult; }
    bool battleRuns() const { return screen == kBattle || screen == kResult; } // steps go on

    // A key press: `code` its key-table code, `typed` the character as typed (0 for special keys).
    void keyDown(int code, unsigned char typed);
    void keyUp(int code);
    void menuItem(int item);                         // a click released on a menu item (MainMenu::Item)
    // The menu's items from the top down (MainMenu::itemOrder), which Up and Down walk; by default
    // the order of the menu as it comes.
    void setMenuOrder(const std::vector<int> &items);
    // The menu item that is lit: the one under the pointer or the one the keys moved to; kNone for
    // none. Enter chooses it.
    int getMenuCursor() const { return menuCursor; }
    void setMenuCursor(int item);                    // the pointer moved onto `item` (kNone: off every item)
    void click(int x, int y, int width, int height); // a click released on a screen
    void afterStep();                                // a battle step ran: a decided battle shows its result
    // Iconified or hidden: a running battle pauses; not a network battle, which goes on at the other
    // machines all the same.
    void windowHidden();
    // A pad's button while the pad layer has it: true when a screen took the button itself (the
    // Options screen taking a pad binding); false: the press is to count as the key it stands for.
    bool padButtonDown(PadButton button);
    // Player `player`'s (0..3) pad was pulled out: a running battle pauses until every missing pad
    // is back. A pause made with the pause key stays when they are.
    void padDisconnected(int player);
    void padReconnected(int player);
    // What the pause shows besides "paused": who paused at the other machine, "Player 2: pad
    // disconnected" for each pad missing, or why the connection is gone; empty for none.
    std::string pauseMessage() const;
    // The level choice's lines of who steers with what (LevelChoice::setControls).
    void setControls(const std::vector<std::string> &lines) { levelChoice.setControls(lines); }
    // On the level choice a pad was given to player `player` (0..3): the players chosen grow to
    // take him in.
    void padJoined(int player);
    // A battle started from the level choice or at once from the command line; its Escape leads to
    // the menu.
    bool startBattle(const std::string &levelFile, int players);

    // Network play. A network battle began on this machine, hosted or joined; its Escape leaves it
    // for the menu as any battle's does. Ignored while a battle is up.
    void networkBattleStarted();
    // The command line hosted or joined a network battle: the menu gives way to the waiting screen.
    void openNetworkWaiting() {
        if (screen == kMenu)
            screen = kNetWaiting;
    }
    bool isNetworkBattle() const { return networkBattle; }
    // The other machine paused (true) or resumed the network battle; `message` ("Paused by player
    // two") shows under the pause. The pause key resumes it from here as well.
    void remotePause(bool paused, const std::string &message);
    // The network battle's connection is gone: it stands paused with `message`, and only Escape
    // leaves it.
    void connectionLost(const std::string &message);
    // The address joined last ("host" or "host:port"), offered again on the join screen; the
    // program may keep it between runs.
    const std::string &getNetworkAddress() const { return network.getAddress(); }
    void setNetworkAddress(const std::string &address) { network.setAddress(address); }

    const OptionsScreen &getOptions() const { return options; }
    const LevelChoice &getLevelChoice() const { return levelChoice; }
    const NameEntry &getNameEntry() const { return nameEntry; }
    const NetworkScreen &getNetwork() const { return network; }
    int getNamesAsked() const { return namesAsked; } // name entries opened since the start

  private:
    void toMenu();
    void nextName(); // the next waiting highscore, or the menu
    void chooseLevel(LevelChoice::Action action); // what the level choice asked for
    void chooseNetwork(NetworkScreen::Action action);              // what the network choice asked for
    void joinAddress(NetworkScreen::Action action);                // what the join screen asked for
    void leaveWaiting();                                           // the wait is given up
    std::string networkFailure(const std::string &fallback) const; // the last status line, if any

    void begin(bool overNetwork); // a battle was started: it is up
    void pause(bool byPad);       // a running battle stops
    void resume();                // a paused battle goes on

    FlowHost &host;
    Screen screen = kMenu;
    std::vector<int> menuOrder;              // the menu's items from the top down
    int menuCursor = 0;                      // MainMenu::Item lit; kNone (0) for none
    bool escapeArmed = false;                // Escape went down in the menu: its release ends the program
    OptionsScreen options;                   // the Options screen's state while it is up
    LevelChoice levelChoice;                 // the level choice, its choice kept for the next time
    NameEntry nameEntry;                     // the name being typed
    NetworkScreen network;                   // hosting or joining, the address kept for the next time
    std::deque<FlowHost::Candidate> waiting; // highscores still to be named
    int namesAsked = 0;                      // name entries opened, one after another when several score
    std::bitset<LevelChoice::kMaxPlayers> padsMissing; // players whose pad was pulled out in this battle
    bool pausedByPad = false; // the pause came from a pad pulled out, not from a player
    bool pauseAsked = false;  // this machine asked the host to pause (key, pad, window), not the other
    bool networkBattle = false; // the battle runs on several machines
    std::string remoteMessage;  // who paused at the other machine; empty for none
    std::string lostMessage;    // why the network battle's connection is gone; empty while it holds
};
