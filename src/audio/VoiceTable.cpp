#include "audio/VoiceTable.h"

int VoiceTable::claim(float loudness) {
    int chosen = -1;
    for (std::size_t i = 0; i < voices.size(); ++i) {
        if (!voices[i].busy) {
            chosen = static_cast<int>(i);
            break;
        }
    }
    if (chosen < 0) {
        // Every voice is taken: the quietest gives way; among equals the one started first.
        for (std::size_t i = 0; i < voices.size(); ++i) {
            const Voice &v = voices[i];
            if (chosen < 0) {
                chosen = static_cast<int>(i);
                continue;
            }
            const Voice &best = voices[static_cast<std::size_t>(chosen)];
            if (v.loudness < best.loudness || (v.loudness == best.loudness && v.started < best.started)) {
                chosen = static_cast<int>(i);
            }
        }
        if (chosen < 0 || voices[static_cast<std::size_t>(chosen)].loudness > loudness) {
            return -1;
        }
    }
    Voice &v = voices[static_cast<std::size_t>(chosen)];
    v.busy = true;
    v.started = ++clock;
    v.loudness = loudness;
    return chosen;
}

void VoiceTable::release(std::size_t index) {
    if (index < voices.size()) {
        voices[index] = Voice();
    }
}

void VoiceTable::setLoudness(std::size_t index, float loudness) {
    if (index < voices.size()) {
        voices[index].loudness = loudness;
    }
}

std::size_t VoiceTable::busyCount() const {
    std::size_t n = 0;
    for (const Voice &v : voices) {
        n += v.busy ? 1 : 0;
    }
    return n;
}
