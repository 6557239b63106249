#pragma once

#include <cstdint>
#include <vector>

// A mono sound being built: samples from -1 to 1 at a fixed rate, with the few operations the
// recipes need (tones, noise, filters, envelopes, mixing). Every random number comes from a seeded
// generator, so the same recipe always gives the same samples.
class Signal {
  public:
    static constexpr int kRate = 22050; // samples per second

    explicit Signal(double seconds);

    std::size_t size() const { return samples.size(); }
    double seconds() const { return static_cast<double>(samples.size()) / kRate; }
    float &operator[](std::size_t i) { return samples[i]; }
    float operator[](std::size_t i) const { return samples[i]; }
    const std::vector<float> &data() const { return samples; }

    // Adds a sine from `start` for `length` seconds; frequency glides from f0 to f1 (Hz).
    void addTone(double start, double length, double f0, double f1, float amplitude);
    // Adds white noise from the generator seeded with `seed`.
    void addNoise(double start, double length, float amplitude, std::uint32_t seed);
    // Adds short decaying clicks at random moments, `perSecond` on average.
    void addCrackle(double start, double length, double perSecond, float amplitude, std::uint32_t seed);
    // Mixes `other` in at `start` seconds.
    void mix(const Signal &other, double start, float gain);

    // One-pole filters with the corner frequency in Hz; applied `passes` times for a steeper slope.
    void lowPass(double cutoff, int passes = 1);
    void highPass(double cutoff, int passes = 1);
    // Attack in seconds to full, then exponential decay with the time constant `decay` (seconds).
    void envelope(double attack, double decay);
    // Short fades at both ends so that nothing clicks.
    void fadeEdges(double seconds);
    // Folds the last `overlap` seconds into the start so that the sound loops without a seam.
    void makeLoop(double overlap);
    // Scales to the given peak.
    void normalise(float peak);

  private:
    std::vector<float> samples;
};

// The seeded generator behind every noise: xorshift32.
class NoiseSource {
  public:
    explicit NoiseSource(std::uint32_t seed) : state(seed != 0 ? seed : 0x9e3779b9u) {}
    std::uint32_t next();
    float uniform(); // 0 to 1
    float bipolar(); // -1 to 1

  private:
    std::uint32_t state;
};
