#pragma once

#include "particles/ParticleRandom.h"

#include <deque>

// A generator whose next draws are given by the test; once the script is used
// up it goes on with the seeded sequence. Each scripted value is taken modulo
// the range asked for, just as the real draws are.
class ScriptedRandom : public ParticleRandom {
  public:
    explicit ScriptedRandom(std::initializer_list<int> script = {}) : script(script) {}

    void push(int value) { script.push_back(value); }
    int below(int n) override {
        if (script.empty()) {
            return ParticleRandom::below(n);
        }
        const int value = script.front();
        script.pop_front();
        ++scriptedDraws;
        return n > 1 ? value % n : 0;
    }
    int remaining() const { return static_cast<int>(script.size()); }
    int used() const { return scriptedDraws; }

  private:
    std::deque<int> script; // values still to hand out
    int scriptedDraws = 0;  // scripted values handed out so far
};

// Every value of a particle that feeds motion, blending or sorting.
inline bool particleIsFinite(const float *v, int n) {
    for (int i = 0; i < n; ++i) {
        if (!(v[i] == v[i]) || v[i] - v[i] != 0.0f) { // NaN or infinite
            return false;
        }
    }
    return true;
}
