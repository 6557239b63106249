#pragma once

// A power-up effect a vehicle carries for a while: which effect (CPowerUpData::Effect), its factor
// and the seconds it has left.
class CPowerUp {
  public:
    CPowerUp() = default;
    CPowerUp(int effect, float factor, float seconds)
        : effect(effect), factor(factor), secondsLeft(seconds) {}

    int getEffect() const { return effect; }
    float getFactor() const { return factor; }
    float getSecondsLeft() const { return secondsLeft; }
    // Taken again: the effect starts afresh with the new factor and time.
    void renew(float newFactor, float seconds) {
        factor = newFactor;
        secondsLeft = seconds;
    }
    // Counts down; false once the time has run out.
    bool step(float dt) {
        secondsLeft -= dt;
        return secondsLeft > 0.0f;
    }

  private:
    int effect = 0;           // CPowerUpData::Effect
    float factor = 1.0f;      // on reload time, speed or damage
    float secondsLeft = 0.0f; // seconds until it runs out
};
