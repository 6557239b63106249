#pragma once

#include <cstddef>

// The game's sounds, each one file of the sound folder.
enum class SoundId {
    kEngine,          // looping engine of a tank; its pitch follows the speed
    kShot,            // the gun firing, at the muzzle
    kHitTank,         // a shell striking armour
    kHitHouse,        // a shell striking a building, rock or wall
    kHitGround,       // a shell bursting on the ground or in the air
    kExplosion,       // a tank blowing up
    kFire,            // looping crackle of a burning tank
    kPowerUp,         // a power-up taken
    kMenuHover,       // the pointer entering a menu item
    kMenuClick,       // a menu item clicked
    kMissionComplete, // sting of a won battle
    kMissionFailed,   // sting of a lost battle
    kCount
};

constexpr std::size_t kSoundCount = static_cast<std::size_t>(SoundId::kCount);

// File names in the sound folder, in the order of SoundId.
constexpr const char *kSoundFileNames[kSoundCount] = {
    "engine.wav",           "shot.wav",          "hit_tank.wav", "hit_house.wav",  "hit_ground.wav",
    "explosion.wav",        "fire.wav",          "powerup.wav",  "menu_hover.wav", "menu_click.wav",
    "mission_complete.wav", "mission_failed.wav"};

inline const char *soundFileName(SoundId id) {
    const std::size_t i = static_cast<std::size_t>(id);
    return i < kSoundCount ? kSoundFileNames[i] : "";
}
