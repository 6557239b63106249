// The battle heard through a sound system that writes down what it is asked.
#include "game/BattleSound.h"
#include "game/WorldTestSupport.h"
#include "objects/Projektil.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

using namespace worldtest;

namespace {

class RecordingSound : public SoundSystem {
  public:
    struct Effect {
        SoundId id;
        float pos[3];
    };
    struct Loop {
        float pitch = 0, gain = 0;
        float pos[3] = {0, 0, 0};
    };
    void playEffect(SoundId id, const float *p, float) override {
        effects.push_back({id, {p[0], p[1], p[2]}});
    }
    void playInterface(SoundId id) override { interface.push_back(id); }
    void setLoop(const void *owner, SoundId id, const float *p, float pitch, float gain) override {
        loops[{owner, id}] = {pitch, gain, {p[0], p[1], p[2]}};
    }
    void stopLoop(const void *owner, SoundId id) override { loops.erase({owner, id}); }
    void stopBattle() override {
        loops.clear();
        ++battleStops;
    }
    void setListener(const float *p, const float *f, const float *) override {
        std::copy(p, p + 3, ear);
        std::copy(f, f + 3, forward);
    }
    void setMasterVolume(int) override {}
    void setEffectsVolume(int) override {}
    void setEngineVolume(int) override {}
    void setMute(bool) override {}
    void pauseBattle() override { paused = true; }
    void resumeBattle() override { paused = false; }
    void update() override {}
    double getDeviceSeconds() const override { return 0; }

    Loop engineOf(const void *tank) { return loops[std::make_pair(tank, SoundId::kEngine)]; }

    int count(SoundId id) const {
        return static_cast<int>(
            std::count_if(effects.begin(), effects.end(), [id](const Effect &e) { return e.id == id; }));
    }

    std::vector<Effect> effects;
    std::vector<SoundId> interface;
    std::map<std::pair<const void *, SoundId>, Loop> loops;
    float ear[3] = {0, 0, 0};
    float forward[3] = {0, 0, -1};
    int battleStops = 0;
    bool paused = false;
};

float distance(const float *a, const float *b) {
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) +
                     (a[2] - b[2]) * (a[2] - b[2]));
}

class BattleSoundTest : public WorldSession {
  protected:
    RecordingSound *heard() {
        if (recorder == nullptr) {
            auto owned = std::make_unique<RecordingSound>();
            recorder = owned.get();
            gc.setSound(std::move(owned));
        }
        return recorder;
    }
    RecordingSound *recorder = nullptr;
};

} // namespace

TEST(BattleSoundRules, EnginePitchAndGainRiseWithSpeedInEitherDirectionUpToTopSpeed) {
    EXPECT_FLOAT_EQ(BattleSound::enginePitch(0, 10), BattleSound::kIdlePitch);
    EXPECT_FLOAT_EQ(BattleSound::enginePitch(10, 10), BattleSound::kFullPitch);
    EXPECT_FLOAT_EQ(BattleSound::enginePitch(25, 10), BattleSound::kFullPitch);
    EXPECT_FLOAT_EQ(BattleSound::enginePitch(-5, 10), BattleSound::enginePitch(5, 10));
    EXPECT_GT(BattleSound::enginePitch(5, 10), BattleSound::kIdlePitch);
    EXPECT_FLOAT_EQ(BattleSound::engineGain(0, 10), BattleSound::kIdleGain);
    EXPECT_FLOAT_EQ(BattleSound::engineGain(10, 10), 1.0f);
    EXPECT_FLOAT_EQ(BattleSound::enginePitch(3, 0), BattleSound::kIdlePitch); // no top speed: idle
}

TEST_F(BattleSoundTest, ShotAtTheMuzzleHitOnTheTankAndEnginesThatRiseWhenDriving) {
    ASSERT_TRUE(start("heard.lvl",
                      vehicle("player1", "spieler1", 0, 10, 180) + vehicle("player2", "spieler2", 0, -5, 0)));
    RecordingSound *sound = heard();
    // Each camera close behind its own tank: player one's shot is nearest player one's camera, the
    // listener's, and so heard where it is.
    gc.resetCameras(-45, OrbitCamera::kMinDistance);
    drawFrame();
    run(10);
    // Every tank idles, and the ear is at the camera.
    ASSERT_EQ(sound->loops.size(), 2u);
    const RecordingSound::Loop idle = sound->engineOf(gc.getWorld().getPlayer1Vehicle());
    EXPECT_NEAR(idle.pitch, BattleSound::kIdlePitch, 0.05f);
    const std::array<float, 3> eye = gc.getCameraPos();
    EXPECT_NEAR(sound->ear[1], eye[1], 0.01f);

    keys[kUp1] = true;
    run(40);
    keys[kUp1] = false;
    EXPECT_GT(sound->engineOf(gc.getWorld().getPlayer1Vehicle()).pitch, idle.pitch + 0.1f);
    EXPECT_NEAR(sound->engineOf(gc.getWorld().getPlayer2Vehicle()).pitch, BattleSound::kIdlePitch, 0.05f);

    runFor(1.0f); // the weapon reloads
    keys[kShoot1] = true;
    runFor(kFrame);
    keys[kShoot1] = false;
    ASSERT_EQ(sound->count(SoundId::kShot), 1);
    float muzzle[3];
    gc.getWorld().getPlayer1Vehicle()->getPosMuendung(muzzle);
    EXPECT_NEAR(sound->effects.back().pos[2], muzzle[2], 0.5f);

    for (int i = 0; i < 120 && sound->count(SoundId::kHitTank) == 0; ++i)
        run(1);
    EXPECT_EQ(sound->count(SoundId::kHitTank), 1);
    EXPECT_EQ(sound->count(SoundId::kShot), 1) << "a shell is heard firing once";
}

TEST_F(BattleSoundTest, PauseHoldsTheBattleAndLeavingItStopsEverySound) {
    ASSERT_TRUE(start("quiet.lvl", vehicle("player1", "spieler1", 0, 10, 180)));
    RecordingSound *sound = heard();
    run(3);
    ASSERT_EQ(sound->loops.size(), 1u);
    gc.setPause(true);
    EXPECT_TRUE(sound->paused);
    gc.setPause(false);
    EXPECT_FALSE(sound->paused);
    const int stops = sound->battleStops;
    gc.setExitVar(true);
    EXPECT_GT(sound->battleStops, stops);
    runFor(kFrame);
    EXPECT_TRUE(sound->loops.empty()) << "no engine keeps running in the menu";
}

TEST_F(BattleSoundTest, InSplitScreenEachSoundIsAsNearAsItIsToTheNearestCamera) {
    ASSERT_TRUE(start("views.lvl", vehicle("player1", "spieler1", -20, -20, 0) +
                                       vehicle("player2", "spieler2", 20, 20, 180)));
    ASSERT_EQ(gc.getView().getViewCount(), 2);
    gc.resetCameras(-45, 20); // each camera far nearer its own tank than the other
    RecordingSound *sound = heard();
    drawFrame(); // each camera swings behind its own tank
    run(3);

    // Each camera looks straight at its tank: the ear hears both engines straight ahead, each as
    // far as the tank is from its own camera, and player one's where it is.
    for (int player = 0; player < 2; ++player) {
        const Fahrzeug *tank = gc.getWorld().getPlayerVehicle(player);
        const float away = distance(tank->getPos(), gc.getCamera(player).eyeAt(tank->getPos()).data());
        const RecordingSound::Loop engine = sound->engineOf(tank);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(engine.pos[k], sound->ear[k] + away * sound->forward[k], 0.01f)
                << "player " << player + 1 << "'s engine, axis " << k;
    }
    for (int k = 0; k < 3; ++k)
        EXPECT_FLOAT_EQ(sound->engineOf(gc.getWorld().getPlayer1Vehicle()).pos[k], gc.getWorld().getPlayer1Vehicle()->getPos()[k]);

    // Player two's shot is heard ahead of the ear, as near as the muzzle is to player two's camera.
    runFor(1.0f); // the weapon reloads
    keys[kShoot2] = true;
    runFor(kFrame);
    keys[kShoot2] = false;
    ASSERT_EQ(sound->count(SoundId::kShot), 1);
    const Fahrzeug *two = gc.getWorld().getPlayer2Vehicle();
    float muzzle[3];
    two->getPosMuendung(muzzle);
    const float *shot = sound->effects.back().pos;
    EXPECT_NEAR(distance(shot, sound->ear), distance(muzzle, gc.getCamera(1).eyeAt(two->getPos()).data()),
                0.5f);
    float ahead = 0;
    for (int k = 0; k < 3; ++k)
        ahead += (shot[k] - sound->ear[k]) * sound->forward[k];
    EXPECT_GT(ahead, 0.0f);
}
