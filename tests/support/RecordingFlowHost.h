#pragma once

// A game flow host for tests: it records what the flow asked of it and answers with what the test
// set up.
#include "config/PlayerConfig.h"
#include "config/Settings.h"
#include "flow/GameFlow.h"

#include <string>
#include <utility>
#include <vector>

// Records what the flow asked for.
struct RecordingFlowHost : FlowHost {
    bool levelPresent = true;
    BattleRules::Outcome outcome = BattleRules::kRunning;
    std::vector<Candidate> candidates;
    std::vector<std::string> calls;
    std::vector<std::pair<std::string, int>> saved;
    PlayerConfig keys = PlayerConfig::defaults();

    bool startBattle(const std::string &levelFile, int players) override {
        calls.push_back("start " + levelFile + " " + std::to_string(players));
        return levelPresent;
    }
    void leaveBattle() override { calls.push_back("leave"); }
    void exitProgram() override { calls.push_back("exit"); }
    void pauseBattle(bool paused) override { calls.push_back(paused ? "pause" : "resume"); }
    BattleRules::Outcome battleOutcome() const override { return outcome; }
    std::vector<Candidate> newHighscores() const override { return candidates; }
    void addHighscore(const std::string &name, int score) override { saved.emplace_back(name, score); }
    void openOptions(OptionsScreen &options) override { options.open(Settings(), keys, {}); }
    void saveOptions(const OptionsScreen &options) override {
        keys = options.getKeys();
        savedPad = options.getSettings().getPadBindings();
        calls.push_back("save");
    }
    PadBindings savedPad;
    int pauseKey() const override { return 'p'; }
    bool watchReplay() override {
        calls.push_back("replay");
        outcome = BattleRules::kRunning; // the recorded battle starts again
        return replays;
    }
    bool replays = true; // a replay of the battle is there to watch
    void openLevelChoice(LevelChoice &choice) override {
        LevelChoice::Entry one, two;
        one.file = "lvl1.lvl";
        two.file = "lvl2.lvl";
        choice.open({one, two}, players);
    }
    void savePlayers(int count) override {
        if (count != players)
            calls.push_back("players " + std::to_string(count));
        players = count;
    }
    int players = 2; // as settings.ini says

    bool hostNetworkGame(const std::string &levelFile, int count) override {
        calls.push_back("host " + levelFile + " " + std::to_string(count));
        return networkAnswer;
    }
    bool joinNetworkGame(const std::string &address) override {
        calls.push_back("join " + address);
        return networkAnswer;
    }
    void leaveNetworkGame() override { calls.push_back("leave network"); }
    std::vector<std::string> networkStatus() const override { return status; }
    bool networkAnswer = true;       // what hosting and joining answer
    std::vector<std::string> status; // the network side's lines
};
