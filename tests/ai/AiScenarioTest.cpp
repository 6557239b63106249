// The computer player in small arenas with real physics: it sees, drives, takes cover and shoots.
#include "ai/AiArena.h"

#include <cstdio>

using namespace ai_test;

namespace {

float flatDistance(const float *a, const float *b) {
    return std::hypot(a[0] - b[0], a[2] - b[2]);
}

} // namespace

TEST(AiScenarioTest, ATankBehindAWallDrivesAroundItAndHitsAStandingTarget) {
    AiArena arena;
    arena.addBox("wall", 0.0f, -8.0f, 18.0f, 1.5f, 3.5f);
    arena.ready();
    Fahrzeug *cpu = arena.addTank("cpu1", &arena.cpu, 0.0f, -20.0f, 0.0f);
    Fahrzeug *target = arena.addTank("p1", &arena.idle, 0.0f, 6.0f, 180.0f);
    const float start[3] = {cpu->getPos()[0], cpu->getPos()[1], cpu->getPos()[2]};
    ASSERT_FALSE(arena.sees(cpu, target));

    const bool hit = arena.runUntil(45.0f, [&] { return target->getLife() < 100; });
    std::printf("hit after %.1f s of play, %d shells, %d paths\n", arena.cpu.getTime(), arena.cpuShots,
                cpu->getAiData()->getMemory().pathsPlanned);
    EXPECT_TRUE(hit);
    EXPECT_GT(flatDistance(cpu->getPos(), start), 5.0f);
    EXPECT_EQ(arena.blindShots, 0);
}

TEST(AiScenarioTest, ATankThatCannotDriveNeverFiresThroughAHouse) {
    AiArena arena;
    arena.addBox("house", 0.0f, 0.0f, 10.0f, 10.0f, 5.0f);
    arena.ready();
    Fahrzeug *cpu = arena.addTank("cpu1", &arena.cpu, 0.0f, -14.0f, 0.0f);
    cpu->setAccel(0.0f); // stuck behind the house, facing the target
    arena.addTank("p1", &arena.idle, 0.0f, 14.0f, 180.0f);
    arena.runUntil(20.0f, [] { return false; });
    EXPECT_EQ(arena.cpuShots, 0);
    EXPECT_EQ(cpu->getAiData()->getState(), AiState::Approach); // it knows the target is there
}

namespace {

// One crossing: the target drives across the gunner's view at its full speed; the gunner fires one
// shell. True when it hits.
bool crossingHit(bool leads, float distance, float startX) {
    AiArena arena;
    arena.ready();
    AiSkill skill = AiSkill::forDifficulty(AiDifficulty::Hard);
    skill.aimErrorDegrees = 0.0f;
    skill.leadsTarget = leads;
    skill.dodges = false;
    arena.cpu.setSkill(skill);
    Spieler runner{'w', 's', 'a', 'd', ' '};
    arena.keys['w'] = true;
    Fahrzeug *gunner = arena.addTank("cpu1", &arena.cpu, 0.0f, -distance / 2, 0.0f);
    gunner->setTurningrate(180.0f);
    gunner->getWeapon()->setReloadTime(1.5f); // the target is up to speed before the shot
    Fahrzeug *target = arena.addTank("p1", &runner, startX, distance / 2, 90.0f);
    arena.runUntil(6.0f, [&] { return arena.cpuShots > 0; });
    arena.runUntil(3.0f, [&] { return target->getLife() < 100; });
    return arena.cpuShots > 0 && target->getLife() < 100;
}

} // namespace

TEST(AiScenarioTest, LeadingHitsACrossingTargetClearlyMoreOftenThanAimingAtIt) {
    int ledHits = 0, plainHits = 0, trials = 0;
    for (float distance : {20.0f, 26.0f, 32.0f}) {
        for (float startX : {-30.0f, -24.0f, -18.0f}) {
            ledHits += crossingHit(true, distance, startX) ? 1 : 0;
            plainHits += crossingHit(false, distance, startX) ? 1 : 0;
            ++trials;
        }
    }
    std::printf("crossing target: leading %d of %d hits, aiming at its position %d of %d\n", ledHits, trials,
                plainHits, trials);
    EXPECT_GE(ledHits, trials * 2 / 3);
    EXPECT_GE(ledHits, plainHits + trials / 3);
}

TEST(AiScenarioTest, ATankLowOnLifeMovesOutOfItsAttackersSight) {
    AiArena arena;
    arena.addBox("block", 9.0f, 6.0f, 6.0f, 6.0f, 3.5f);
    arena.ready();
    Fahrzeug *cpu = arena.addTank("cpu1", &arena.cpu, 0.0f, 0.0f, 0.0f, 20);
    Fahrzeug *attacker = arena.addTank("p1", &arena.idle, 0.0f, 24.0f, 180.0f);
    arena.step();
    ASSERT_TRUE(arena.sees(attacker, cpu));
    const bool hidden = arena.runUntil(20.0f, [&] {
        return cpu->getAiData()->getState() == AiState::Retreat && !arena.sees(attacker, cpu) &&
               std::hypot(cpu->getPos()[0] - 0.0f, cpu->getPos()[2]) > 3.0f;
    });
    EXPECT_TRUE(hidden);
    arena.runUntil(5.0f, [] { return false; }); // and stays there
    EXPECT_FALSE(arena.sees(attacker, cpu));
    EXPECT_EQ(arena.cpuShots, 0);
}

TEST(AiScenarioTest, HardBeatsEasyInMostDuelsOverAFixedSetOfSeeds) {
    int hardWins = 0, duels = 0;
    for (unsigned seed = 1; seed <= 5; ++seed) {
        AiArena arena(AiDifficulty::Hard, seed);
        arena.ready();
        ComputerSpieler easy{&arena.vehicles, &arena.projectiles};
        easy.setDifficulty(AiDifficulty::Easy);
        easy.setSeed(seed);
        easy.startArena(-AiArena::kHalf, -AiArena::kHalf, AiArena::kHalf, AiArena::kHalf, {}, &arena.physics);
        // Two rival computer players, each for a side of its own.
        Fahrzeug *hard = arena.addTank("hard", &arena.cpu, 0.0f, -16.0f, 0.0f);
        Fahrzeug *weak = arena.addTank("easy", &easy, 0.0f, 16.0f, 180.0f);
        weak->setSide(0);
        arena.runUntil(60.0f, [&] {
            return hard->getStatus() >= Fahrzeug::kStatusExploding ||
                   weak->getStatus() >= Fahrzeug::kStatusExploding;
        });
        std::printf("seed %u: hard %d, easy %d life left\n", seed, hard->getLife(), weak->getLife());
        hardWins += hard->getLife() > weak->getLife() ? 1 : 0;
        ++duels;
    }
    EXPECT_GT(hardWins * 2, duels);
}

namespace {

// A hard tank busy with a decoy beside it while a gunner out of its sight fires along a line across
// its hull for ten seconds; the hits it takes.
int hitsUnderFire(bool dodges) {
    AiArena arena(AiDifficulty::Hard);
    arena.ready();
    AiSkill skill = arena.cpu.getSkill();
    skill.dodges = dodges;
    skill.sightRange = 20.0f; // the decoy, not the gunner 22 units away
    arena.cpu.setSkill(skill);
    Spieler gunner{'w', 's', 'a', 'd', 'f'};
    arena.keys['f'] = true;
    Fahrzeug *cpu = arena.addTank("cpu1", &arena.cpu, 0.0f, 0.0f, 90.0f, 1000);
    cpu->setMaxLife(1000);
    Fahrzeug *decoy = arena.addTank("decoy", &arena.idle, 10.0f, 0.0f, 270.0f, 1000);
    decoy->setMaxLife(1000);
    arena.addTank("gunner", &gunner, 0.0f, 22.0f, 180.0f);
    arena.runUntil(10.0f, [] { return false; });
    return (1000 - cpu->getLife()) / 10;
}

} // namespace

TEST(AiScenarioTest, DodgingTakesFewerHitsThanStandingInTheLineOfFire) {
    const int standing = hitsUnderFire(false);
    const int dodging = hitsUnderFire(true);
    std::printf("ten seconds in the line of fire: %d hits standing, %d dodging\n", standing, dodging);
    EXPECT_GE(standing, 5);
    EXPECT_LE(dodging * 2, standing);
}
