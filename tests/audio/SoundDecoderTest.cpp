#include "audio/SoundDecoder.h"
#include "audio/SoundId.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {
const fs::path kSounds = fs::path(PANZER_SOURCE_DIR) / "data/sounds";
}

TEST(SoundDecoderTest, EveryShippedSoundDecodesToMonoSamplesOfAFewSeconds) {
    for (const char *name : kSoundFileNames) {
        SoundDecoder::Pcm pcm;
        ASSERT_TRUE(SoundDecoder::decodeFile((kSounds / name).string(), pcm)) << name;
        EXPECT_EQ(pcm.sampleRate, 22050) << name;
        EXPECT_GT(pcm.samples.size(), 1000u) << name;
        EXPECT_LT(pcm.samples.size(), 22050u * 3) << name;
    }
}

TEST(SoundDecoderTest, BrokenBytesAreRefusedWithAReasonAndAFileErrorNamesTheFile) {
    SoundDecoder::Pcm pcm;
    std::string problem;
    const std::string wav = TempDir::read(kSounds / "shot.wav");
    ASSERT_FALSE(wav.empty());
    const auto bytes = [](const std::string &s) { return reinterpret_cast<const unsigned char *>(s.data()); };

    EXPECT_FALSE(SoundDecoder::decode(nullptr, 0, pcm, problem));
    EXPECT_EQ(problem, "empty file");
    const std::string text = "not a sound at all, just words";
    EXPECT_FALSE(SoundDecoder::decode(bytes(text), text.size(), pcm, problem));
    EXPECT_FALSE(problem.empty());
    // Cut inside the header.
    EXPECT_FALSE(SoundDecoder::decode(bytes(wav), 30, pcm, problem));
    EXPECT_TRUE(pcm.samples.empty());
    // Cut inside the samples: what is there is played.
    ASSERT_TRUE(SoundDecoder::decode(bytes(wav), wav.size() / 2, pcm, problem));
    EXPECT_NEAR(static_cast<double>(pcm.samples.size()), (wav.size() / 2 - 44) / 2.0, 2.0);

    TempDir dir;
    dir.write("garbage.wav", text);
    for (const fs::path &path : {dir.path() / "missing.wav", dir.path() / "garbage.wav"}) {
        testing::internal::CaptureStderr();
        EXPECT_FALSE(SoundDecoder::decodeFile(path.string(), pcm));
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(err.rfind("Error: " + path.string() + ": ", 0), 0u) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
}
