#pragma once

#include <cstddef>
#include <vector>

// The book-keeping of a limited number of voices: which are busy, since when, how loud they are
// heard, and which one gives way when a new sound finds every voice taken (the quietest, and of
// equally quiet ones the oldest). Knows nothing of the device that plays them.
class VoiceTable {
  public:
    struct Voice {
        bool busy = false;         // playing or held
        unsigned long started = 0; // order of starting, larger is newer
        float loudness = 0.0f;     // gain as heard at the listener
    };

    explicit VoiceTable(std::size_t capacity) : voices(capacity) {}

    // A voice for a new sound heard at `loudness`: a free one, else the quietest busy one if it is
    // quieter than the new sound or as quiet and older. -1 when the new sound is the quietest of
    // all and should not be played. The returned voice is marked busy and newest.
    int claim(float loudness);
    void release(std::size_t index);
    void setLoudness(std::size_t index, float loudness);

    std::size_t size() const { return voices.size(); }
    std::size_t busyCount() const;
    const Voice &at(std::size_t index) const { return voices[index]; }

  private:
    std::vector<Voice> voices; // one per voice the device may play at once
    unsigned long clock = 0;   // counts claims
};
