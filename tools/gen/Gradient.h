#pragma once

#include "Color.h"

#include <initializer_list>
#include <vector>

// A colour ramp through stops at positions 0..1, interpolated linearly between them.
class Gradient {
  public:
    struct Stop {
        float at;    // position along the ramp, 0..1, ascending
        Color color; // colour at that position
    };

    Gradient(std::initializer_list<Stop> stops) : stops(stops) {}

    Color operator()(float t) const {
        if (stops.empty())
            return Color{};
        if (t <= stops.front().at)
            return stops.front().color;
        for (size_t i = 1; i < stops.size(); ++i)
            if (t <= stops[i].at) {
                const float span = stops[i].at - stops[i - 1].at;
                return mix(stops[i - 1].color, stops[i].color,
                           span > 0.0f ? (t - stops[i - 1].at) / span : 1.0f);
            }
        return stops.back().color;
    }

  private:
    std::vector<Stop> stops; // ascending positions
};
