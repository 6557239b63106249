#pragma once

#include <array>
#include <vector>

// Every view's camera heard through the one ear the sound has: a sound is placed at the distance
// and side it has from the nearest camera, seen from the first view's camera, the listener.
class ViewEars {
  public:
    // One camera as an ear: where it is and its axes, as the sound device takes them.
    struct Camera {
        std::array<float, 3> eye{};             // world position
        std::array<float, 3> forward{0, 0, -1}; // unit, where it looks
        std::array<float, 3> up{0, 1, 0};       // unit, square to forward, as near world up as it can be
        std::array<float, 3> right{1, 0, 0};    // unit, forward x up
    };

    // A camera at `eye` looking along `look` (any length but zero; a zero look faces -z).
    static Camera camera(const float *eye, const float *look);

    void clear() { cameras.clear(); }
    // The first camera added is the listener's.
    void add(const Camera &camera) { cameras.push_back(camera); }
    int getCount() const { return static_cast<int>(cameras.size()); }
    const Camera &getListener() const { return cameras.front(); } // only with a camera added

    // The camera nearest to `source` (world position); the first of equals, 0 without cameras.
    int nearest(const float *source) const;
    // Where the listener hears `source`: unchanged when the listener's camera is the nearest,
    // else as far and to the same side of the listener as it lies from the nearest camera.
    std::array<float, 3> place(const float *source) const;

  private:
    std::vector<Camera> cameras; // one per view, the listener's first
};
