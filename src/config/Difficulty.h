#pragma once

#include <optional>
#include <string>

// How well the computer tanks fight. The options choose it, settings.ini keeps it by name and the
// AI turns it into skills (ai/AiSkill.h); it lives here so that reading the settings needs no AI.
enum class AiDifficulty { Easy, Normal, Hard };

constexpr int kDifficultyCount = 3; // AiDifficulty's values, 0 .. kDifficultyCount - 1

// The one table of difficulty names: "easy", "normal", "hard", as settings.ini and the command line
// write them.
const char *difficultyName(AiDifficulty difficulty);
// The difficulty of a name of that table (exactly as written there); nothing for any other text.
std::optional<AiDifficulty> parseDifficulty(const std::string &text);

// The share of each hit's damage a player's tank takes: on an easier difficulty the players' tanks
// are better armoured, so that a newcomer survives a first fight and learns from it.
float playerHitShare(AiDifficulty difficulty);
