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

TEST(SoundDecoderTest, AChunkLongerThanTheFileIsRefusedOnlyTheSamplesMayRunShort) {
    SoundDecoder::Pcm pcm;
    std::string problem;
    const std::string wav = TempDir::read(kSounds / "shot.wav");
    ASSERT_GT(wav.size(), 44u);
    const auto bytes = [](const std::string &s) { return reinterpret_cast<const unsigned char *>(s.data()); };

    // Found by the fuzzer: an "INFO" chunk that claims four gigabytes sent libsndfile counting
    // through them for minutes.
    const std::string longChunk = wav.substr(0, 12) + "INFO" + std::string("\xf1\xb1\x03\xfd" "f", 5) +
                                  std::string(99, '\xff') + '\xc8' + std::string(122, '\xff') + 'C';
    EXPECT_FALSE(SoundDecoder::decode(bytes(longChunk), longChunk.size(), pcm, problem));
    EXPECT_EQ(problem, "a chunk longer than the file");

    // Chunks that fit, after the samples too, leave the sound as it was.
    ASSERT_TRUE(SoundDecoder::decode(bytes(wav), wav.size(), pcm, problem));
    const std::size_t samples = pcm.samples.size();
    const std::string tagged = wav + std::string("LIST\x04\0\0\0INFO", 12);
    ASSERT_TRUE(SoundDecoder::decode(bytes(tagged), tagged.size(), pcm, problem)) << problem;
    EXPECT_EQ(pcm.samples.size(), samples);
    // The same list claiming a byte more than is there is refused.
    const std::string overlong = wav + std::string("LIST\x05\0\0\0INFO", 12);
    EXPECT_FALSE(SoundDecoder::decode(bytes(overlong), overlong.size(), pcm, problem));
    // An entry of a list is walked by its stated length too: one that fits is kept, one longer
    // than its list is refused (found by the fuzzer: an "INFO" entry claiming four gigabytes
    // inside a list of a few hundred bytes froze libsndfile's header reader for minutes).
    const std::string entry = wav + std::string("LIST\x0e\0\0\0INFOIART\x02\0\0\0ab", 22);
    ASSERT_TRUE(SoundDecoder::decode(bytes(entry), entry.size(), pcm, problem)) << problem;
    EXPECT_EQ(pcm.samples.size(), samples);
    for (const std::string &broken :
         {wav + std::string("LIST\x0e\0\0\0INFOIART\x03\0\0\0ab", 22),
          wav.substr(0, 12) + std::string("INFO\x10\0\0\0IART\xff\xff\xff\xff", 16) + std::string(8, 'x') + wav.substr(12)}) {
        EXPECT_FALSE(SoundDecoder::decode(bytes(broken), broken.size(), pcm, problem));
        EXPECT_EQ(problem, "a list entry longer than its list");
    }

    // Formats other than WAV, Ogg and FLAC are not handed to libsndfile at all.
    const std::string aiff = std::string("FORM\0\0\0\x2e" "AIFFCOMM", 16) + std::string(38, '\0');
    EXPECT_FALSE(SoundDecoder::decode(bytes(aiff), aiff.size(), pcm, problem));
    EXPECT_EQ(problem, "not a WAV, Ogg or FLAC file");
}
