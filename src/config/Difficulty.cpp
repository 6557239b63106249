#include "config/Difficulty.h"

namespace {
// In the order of AiDifficulty.
const char *const kNames[kDifficultyCount] = {"easy", "normal", "hard"};
const float kPlayerHitShares[kDifficultyCount] = {0.5f, 0.7f, 0.8f};
} // namespace

const char *difficultyName(AiDifficulty difficulty) {
    const int index = static_cast<int>(difficulty);
    return index >= 0 && index < kDifficultyCount ? kNames[index]
                                                  : kNames[static_cast<int>(AiDifficulty::Normal)];
}

std::optional<AiDifficulty> parseDifficulty(const std::string &text) {
    for (int index = 0; index < kDifficultyCount; ++index)
        if (text == kNames[index])
            return static_cast<AiDifficulty>(index);
    return std::nullopt;
}

float playerHitShare(AiDifficulty difficulty) {
    const int index = static_cast<int>(difficulty);
    return index >= 0 && index < kDifficultyCount ? kPlayerHitShares[index] : 1.0f;
}
