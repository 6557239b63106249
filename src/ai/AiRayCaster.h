#pragma once

// The one question the computer player asks of the world's geometry: does anything solid (the
// ground, the terrain, a level object) stand between two points? Tanks and shells never block.
class AiRayCaster {
  public:
    virtual ~AiRayCaster() = default;
    virtual bool blocked(const float *from, const float *to) const = 0;
};
