// OpenAL Soft records into a wave file here (its "wave" output), so these tests hear what the
// sound system plays: the effects, nothing while muted, and silence for a sound that did not load.
#include "audio/OpenAlSound.h"
#include "audio/SoundDecoder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace {

const std::string kSounds = std::string(PANZER_SOURCE_DIR) + "/data/sounds/";

class OpenAlSoundTest : public ::testing::Test {
  protected:
    // The library reads its configuration once per process, so every test records into one file.
    static void SetUpTestSuite() {
        static TempDir dir;
        recording = dir.path() / "recording.wav";
        dir.write("alsoft.conf",
                  "[general]\ndrivers = wave\ndither = false\n[wave]\nfile = " + recording.string() + "\n");
        setenv("ALSOFT_CONF", (dir.path() / "alsoft.conf").string().c_str(), 1);
    }

    // Plays until the device has put out `seconds` more sound, then closes it and returns the
    // loudest sample of the recording (0 to 32767).
    static int loudestAfter(std::unique_ptr<OpenAlSound> sound, double seconds) {
        const double until = sound->getDeviceSeconds() + seconds;
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (sound->getDeviceSeconds() < until && std::chrono::steady_clock::now() < giveUp) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_GE(sound->getDeviceSeconds(), until) << "the device clock did not advance";
        sound.reset(); // the file is complete once the device closes
        SoundDecoder::Pcm pcm;
        if (!SoundDecoder::decodeFile(recording.string(), pcm)) {
            return -1;
        }
        int peak = 0;
        for (int16_t s : pcm.samples) {
            peak = std::max(peak, std::abs(static_cast<int>(s)));
        }
        return peak;
    }

    static std::unique_ptr<OpenAlSound> openWith(const std::string &soundDir) {
        std::unique_ptr<OpenAlSound> sound = OpenAlSound::openDevice();
        if (sound != nullptr) {
            sound->loadSounds(soundDir);
        }
        return sound;
    }

    static fs::path recording;
};

fs::path OpenAlSoundTest::recording;

const float kHere[3] = {0.0f, 0.0f, -2.0f};

} // namespace

TEST_F(OpenAlSoundTest, AnEffectIsHeardAndMuteSilencesEverything) {
    std::unique_ptr<OpenAlSound> sound = openWith(kSounds);
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->getDeviceName(), "Wave File Writer");
    for (std::size_t i = 0; i < kSoundCount; ++i) {
        EXPECT_TRUE(sound->hasSound(static_cast<SoundId>(i))) << kSoundFileNames[i];
    }
    testing::internal::CaptureStdout();
    sound->playEffect(SoundId::kShot, kHere);
    const std::string announced = testing::internal::GetCapturedStdout();
    EXPECT_EQ(announced.rfind("Sound shot.wav at ", 0), 0u) << announced;
    EXPECT_GT(loudestAfter(std::move(sound), 0.4), 3000);

    sound = openWith(kSounds);
    ASSERT_NE(sound, nullptr);
    sound->setMute(true);
    testing::internal::CaptureStdout();
    sound->playEffect(SoundId::kShot, kHere);
    sound->playInterface(SoundId::kMissionComplete);
    sound->setLoop(this, SoundId::kEngine, kHere, 1.0f, 1.0f);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(loudestAfter(std::move(sound), 0.4), 0);
}

TEST_F(OpenAlSoundTest, VolumesPauseAndTheVoiceCapAreKept) {
    std::unique_ptr<OpenAlSound> sound = openWith(kSounds);
    ASSERT_NE(sound, nullptr);
    testing::internal::CaptureStdout();
    // More effects than voices: the cap holds and nothing fails.
    for (std::size_t i = 0; i < OpenAlSound::kVoices + 8; ++i) {
        sound->playEffect(SoundId::kHitGround, kHere);
    }
    EXPECT_EQ(sound->getBusyVoices(), OpenAlSound::kVoices);
    sound->stopBattle();
    EXPECT_EQ(sound->getBusyVoices(), 0u);
    testing::internal::GetCapturedStdout();

    // Paused, the battle makes no sound; the effects volume at 0 silences effects too. A device of
    // its own: the mixer may already have put out some of the effects above before they stopped.
    sound = openWith(kSounds);
    ASSERT_NE(sound, nullptr);
    testing::internal::CaptureStdout();
    sound->pauseBattle();
    sound->playEffect(SoundId::kShot, kHere);
    sound->setLoop(this, SoundId::kEngine, kHere, 1.0f, 1.0f);
    sound->setEffectsVolume(0);
    sound->playInterface(SoundId::kMenuClick);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(loudestAfter(std::move(sound), 0.3), 0);
}

TEST_F(OpenAlSoundTest, ASoundThatDoesNotLoadIsSilentAndNamedTheOthersPlay) {
    TempDir dir;
    for (const char *name : kSoundFileNames) {
        fs::copy_file(kSounds + name, dir.path() / name);
    }
    dir.write("shot.wav", "RIFF broken");
    testing::internal::CaptureStderr();
    std::unique_ptr<OpenAlSound> sound = openWith(dir.path().string() + "/");
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(err.rfind("Error: " + (dir.path() / "shot.wav").string() + ": ", 0), 0u) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_FALSE(sound->hasSound(SoundId::kShot));
    EXPECT_TRUE(sound->hasSound(SoundId::kExplosion));

    testing::internal::CaptureStdout();
    sound->playEffect(SoundId::kShot, kHere);
    const std::string silent = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(silent.empty()) << silent;
    EXPECT_EQ(loudestAfter(std::move(sound), 0.3), 0);

    testing::internal::CaptureStderr(); // the broken file is named again
    sound = openWith(dir.path().string() + "/");
    testing::internal::GetCapturedStderr();
    testing::internal::CaptureStdout();
    sound->playEffect(SoundId::kExplosion, kHere);
    testing::internal::GetCapturedStdout();
    EXPECT_GT(loudestAfter(std::move(sound), 0.3), 3000);
}
