#include "SoundRecipes.h"

#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr float kPeak = 0.89f; // about -1 dB

// A note with a few harmonics and a soft attack, for the stings.
Signal note(double length, double frequency, float brightness) {
    Signal s(length);
    for (int h = 1; h <= 5; ++h) {
        s.addTone(0.0, length, frequency * h, frequency * h,
                  std::pow(brightness, static_cast<float>(h - 1)) / h);
    }
    s.envelope(0.01, length * 0.45);
    s.fadeEdges(0.004);
    return s;
}
} // namespace

const std::vector<SoundRecipes::Recipe> &SoundRecipes::all() {
    static const std::vector<Recipe> recipes = {
        {"engine.wav", engine},
        {"shot.wav", shot},
        {"hit_tank.wav", hitTank},
        {"hit_house.wav", hitHouse},
        {"hit_ground.wav", hitGround},
        {"explosion.wav", explosion},
        {"fire.wav", fire},
        {"powerup.wav", powerUp},
        {"menu_hover.wav", menuHover},
        {"menu_click.wav", menuClick},
        {"mission_complete.wav", missionComplete},
        {"mission_failed.wav", missionFailed},
    };
    return recipes;
}

Signal SoundRecipes::engine() {
    // A diesel at idle: a 55 Hz firing rhythm with its harmonics, throbbing eight times a second.
    // Every component fits a whole number of cycles into the second, so the loop has no seam.
    constexpr double kFundamental = 55.0;
    Signal s(1.0);
    const float amplitudes[] = {1.0f, 0.7f, 0.5f, 0.35f, 0.25f, 0.18f, 0.12f, 0.08f};
    for (int h = 1; h <= 8; ++h) {
        s.addTone(0.0, 1.0, kFundamental * h, kFundamental * h, amplitudes[h - 1]);
    }
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / Signal::kRate;
        s[i] *= static_cast<float>(0.8 + 0.2 * std::sin(2.0 * kPi * 8.0 * t));
    }
    Signal rumble(1.2);
    rumble.addNoise(0.0, 1.2, 0.5f, 0x51a7e11u);
    rumble.lowPass(180.0, 2);
    rumble.makeLoop(0.2);
    s.mix(rumble, 0.0, 1.0f);
    s.normalise(0.7f);
    return s;
}

Signal SoundRecipes::shot() {
    // The crack: a bright noise burst dying within a tenth of a second over a low boom.
    Signal crack(0.7);
    crack.addNoise(0.0, 0.7, 1.0f, 0x5407u);
    crack.highPass(900.0);
    crack.envelope(0.002, 0.05);
    Signal boom(0.7);
    boom.addTone(0.0, 0.7, 90.0, 40.0, 1.0f);
    boom.addNoise(0.0, 0.7, 0.6f, 0xb00bu);
    boom.lowPass(300.0, 2);
    boom.envelope(0.004, 0.16);
    crack.mix(boom, 0.0, 0.9f);
    crack.fadeEdges(0.001);
    crack.normalise(kPeak);
    return crack;
}

Signal SoundRecipes::hitTank() {
    // Armour rings: inharmonic partials of a struck plate after a hard click.
    Signal s(0.8);
    const double partials[] = {523.0, 1187.0, 1931.0, 2767.0};
    const float levels[] = {1.0f, 0.7f, 0.45f, 0.3f};
    for (int i = 0; i < 4; ++i) {
        Signal p(0.8);
        p.addTone(0.0, 0.8, partials[i], partials[i] * 0.995, levels[i]);
        p.envelope(0.001, 0.22 / (1.0 + i * 0.5));
        s.mix(p, 0.0, 1.0f);
    }
    Signal click(0.8);
    click.addNoise(0.0, 0.05, 1.2f, 0x7a9cu);
    click.envelope(0.0005, 0.008);
    s.mix(click, 0.0, 1.0f);
    s.fadeEdges(0.001);
    s.normalise(kPeak);
    return s;
}

Signal SoundRecipes::hitHouse() {
    // Masonry: a dull thud and grit trickling down.
    Signal s(0.7);
    s.addNoise(0.0, 0.7, 1.0f, 0x40a5eu);
    s.lowPass(500.0, 2);
    s.envelope(0.002, 0.09);
    Signal grit(0.7);
    grit.addCrackle(0.03, 0.6, 60.0, 0.5f, 0x9717u);
    grit.highPass(1200.0);
    grit.envelope(0.02, 0.2);
    s.mix(grit, 0.0, 1.0f);
    s.fadeEdges(0.002);
    s.normalise(kPeak);
    return s;
}

Signal SoundRecipes::hitGround() {
    // Earth thrown up: a soft thump with a hiss of falling soil.
    Signal s(0.6);
    s.addTone(0.0, 0.6, 70.0, 35.0, 1.0f);
    s.addNoise(0.0, 0.6, 0.8f, 0x6e0du);
    s.lowPass(260.0, 2);
    s.envelope(0.003, 0.12);
    Signal soil(0.6);
    soil.addNoise(0.0, 0.6, 0.25f, 0x5011u);
    soil.highPass(2000.0);
    soil.envelope(0.05, 0.15);
    s.mix(soil, 0.0, 1.0f);
    s.fadeEdges(0.002);
    s.normalise(kPeak * 0.8f);
    return s;
}

Signal SoundRecipes::explosion() {
    // A blast: a deep falling rumble, a wide burst of noise and debris crackling after it.
    Signal s(2.4);
    s.addNoise(0.0, 2.4, 1.0f, 0xe8a1u);
    s.lowPass(700.0, 2);
    s.envelope(0.005, 0.45);
    Signal rumble(2.4);
    rumble.addTone(0.0, 2.4, 65.0, 28.0, 1.0f);
    rumble.envelope(0.01, 0.7);
    s.mix(rumble, 0.0, 0.8f);
    Signal debris(2.4);
    debris.addCrackle(0.1, 2.0, 35.0, 0.6f, 0xdeb415u);
    debris.envelope(0.1, 0.8);
    s.mix(debris, 0.0, 1.0f);
    s.fadeEdges(0.003);
    s.normalise(kPeak);
    return s;
}

Signal SoundRecipes::fire() {
    // Flames: a breathy roar and the crackle of burning, looping without a seam.
    Signal s(2.25);
    s.addNoise(0.0, 2.25, 0.4f, 0xf12eu);
    s.lowPass(400.0, 2);
    s.addCrackle(0.0, 2.25, 25.0, 0.8f, 0xc4ac1eu);
    s.makeLoop(0.25);
    s.normalise(0.6f);
    return s;
}

Signal SoundRecipes::powerUp() {
    // A bright rising arpeggio.
    Signal s(0.6);
    const double notes[] = {523.25, 659.25, 783.99, 1046.5};
    for (int i = 0; i < 4; ++i) {
        s.mix(note(0.3, notes[i], 0.4f), 0.08 * i, 0.6f);
    }
    s.fadeEdges(0.003);
    s.normalise(kPeak * 0.8f);
    return s;
}

Signal SoundRecipes::menuHover() {
    Signal s(0.05);
    s.addTone(0.0, 0.05, 1760.0, 1900.0, 1.0f);
    s.envelope(0.002, 0.012);
    s.fadeEdges(0.001);
    s.normalise(0.4f);
    return s;
}

Signal SoundRecipes::menuClick() {
    Signal s(0.12);
    s.addTone(0.0, 0.12, 880.0, 880.0, 0.8f);
    s.addTone(0.03, 0.09, 1320.0, 1320.0, 0.8f);
    s.addNoise(0.0, 0.01, 0.3f, 0xc11cu);
    s.envelope(0.001, 0.035);
    s.fadeEdges(0.002);
    s.normalise(0.6f);
    return s;
}

Signal SoundRecipes::missionComplete() {
    // A short fanfare in C major ending on a held chord.
    Signal s(1.8);
    const double notes[] = {392.0, 523.25, 659.25};
    for (int i = 0; i < 3; ++i) {
        s.mix(note(0.25, notes[i], 0.55f), 0.15 * i, 0.6f);
    }
    for (double f : {523.25, 659.25, 783.99, 1046.5}) {
        s.mix(note(1.3, f, 0.5f), 0.45, 0.4f);
    }
    s.fadeEdges(0.005);
    s.normalise(kPeak);
    return s;
}

Signal SoundRecipes::missionFailed() {
    // A falling line ending on a low minor chord.
    Signal s(1.8);
    const double notes[] = {392.0, 349.23, 311.13};
    for (int i = 0; i < 3; ++i) {
        s.mix(note(0.3, notes[i], 0.35f), 0.2 * i, 0.6f);
    }
    for (double f : {196.0, 233.08, 293.66}) {
        s.mix(note(1.2, f, 0.35f), 0.6, 0.45f);
    }
    s.fadeEdges(0.005);
    s.normalise(kPeak);
    return s;
}
