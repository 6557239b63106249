#include "Signal.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;

std::size_t toIndex(double seconds) {
    return seconds <= 0.0 ? 0 : static_cast<std::size_t>(std::lround(seconds * Signal::kRate));
}
} // namespace

std::uint32_t NoiseSource::next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

float NoiseSource::uniform() {
    return static_cast<float>(next() >> 8) / 16777216.0f;
}

float NoiseSource::bipolar() {
    return uniform() * 2.0f - 1.0f;
}

Signal::Signal(double seconds) : samples(toIndex(seconds), 0.0f) {}

void Signal::addTone(double start, double length, double f0, double f1, float amplitude) {
    const std::size_t first = toIndex(start);
    const std::size_t count = toIndex(length);
    double phase = 0.0;
    for (std::size_t i = 0; i < count && first + i < samples.size(); ++i) {
        const double t = static_cast<double>(i) / static_cast<double>(count);
        const double f = f0 + (f1 - f0) * t;
        samples[first + i] += amplitude * static_cast<float>(std::sin(phase));
        phase += 2.0 * kPi * f / kRate;
        if (phase > 2.0 * kPi) {
            phase -= 2.0 * kPi;
        }
    }
}

void Signal::addNoise(double start, double length, float amplitude, std::uint32_t seed) {
    NoiseSource noise(seed);
    const std::size_t first = toIndex(start);
    const std::size_t count = toIndex(length);
    for (std::size_t i = 0; i < count && first + i < samples.size(); ++i) {
        samples[first + i] += amplitude * noise.bipolar();
    }
}

void Signal::addCrackle(double start, double length, double perSecond, float amplitude, std::uint32_t seed) {
    NoiseSource noise(seed);
    const std::size_t first = toIndex(start);
    const std::size_t count = toIndex(length);
    const float chance = static_cast<float>(perSecond / kRate);
    for (std::size_t i = 0; i < count; ++i) {
        if (noise.uniform() >= chance) {
            continue;
        }
        // One click: a few milliseconds of decaying noise at a random strength.
        const float strength = amplitude * (0.3f + 0.7f * noise.uniform());
        const std::size_t clickLength = 40 + (noise.next() % 120);
        for (std::size_t k = 0; k < clickLength && first + i + k < samples.size(); ++k) {
            const float decay = std::exp(-static_cast<float>(k) / (static_cast<float>(clickLength) * 0.25f));
            samples[first + i + k] += strength * decay * noise.bipolar();
        }
    }
}

void Signal::mix(const Signal &other, double start, float gain) {
    const std::size_t first = toIndex(start);
    for (std::size_t i = 0; i < other.size() && first + i < samples.size(); ++i) {
        samples[first + i] += gain * other[i];
    }
}

void Signal::lowPass(double cutoff, int passes) {
    const float a = static_cast<float>(1.0 - std::exp(-2.0 * kPi * cutoff / kRate));
    for (int p = 0; p < passes; ++p) {
        float y = 0.0f;
        for (float &s : samples) {
            y += a * (s - y);
            s = y;
        }
    }
}

void Signal::highPass(double cutoff, int passes) {
    const float a = static_cast<float>(1.0 - std::exp(-2.0 * kPi * cutoff / kRate));
    for (int p = 0; p < passes; ++p) {
        float low = 0.0f;
        for (float &s : samples) {
            low += a * (s - low);
            s -= low;
        }
    }
}

void Signal::envelope(double attack, double decay) {
    const std::size_t attackSamples = std::max<std::size_t>(1, toIndex(attack));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        float g;
        if (i < attackSamples) {
            g = static_cast<float>(i) / static_cast<float>(attackSamples);
        } else {
            const double t = static_cast<double>(i - attackSamples) / kRate;
            g = static_cast<float>(std::exp(-t / decay));
        }
        samples[i] *= g;
    }
}

void Signal::fadeEdges(double seconds) {
    const std::size_t n = std::min(toIndex(seconds), samples.size() / 2);
    for (std::size_t i = 0; i < n; ++i) {
        const float g = static_cast<float>(i) / static_cast<float>(n);
        samples[i] *= g;
        samples[samples.size() - 1 - i] *= g;
    }
}

void Signal::makeLoop(double overlap) {
    const std::size_t n = std::min(toIndex(overlap), samples.size() / 2);
    const std::size_t keep = samples.size() - n;
    for (std::size_t i = 0; i < n; ++i) {
        const float g = static_cast<float>(i) / static_cast<float>(n);
        samples[i] = samples[i] * g + samples[keep + i] * (1.0f - g);
    }
    samples.resize(keep);
}

void Signal::normalise(float peak) {
    float highest = 0.0f;
    for (float s : samples) {
        highest = std::max(highest, std::fabs(s));
    }
    if (highest > 0.0f) {
        const float scale = peak / highest;
        for (float &s : samples) {
            s *= scale;
        }
    }
}
