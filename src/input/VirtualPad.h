#pragma once

#include "input/PadState.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A game controller that exists only in this program: the pad library sees it as plugged in, and
// reports what the owner sets. Tests drive the game's pad code with it, and scripted runs of the
// game play with it (see PadHub); no hardware is needed. Each pad starts the joystick part of the
// pad library for as long as it lives, so it may be made before or after a PadHub opens.
class VirtualPad {
  public:
    // What the pad claims to be. Pads of one model share a GUID, as real ones do.
    struct Model {
        std::uint16_t vendor = 0x1209;            // USB vendor id
        std::uint16_t product = 0x7066;           // USB product id
        std::string name = "Panzerfeld test pad"; // what PadHub::name() reads
        bool rumbles = true;                      // whether it accepts rumble
    };
    // One rumble request as the pad received it.
    struct Rumble {
        float low = 0.0f;  // strength of the low-frequency motor, 0 .. 1
        float high = 0.0f; // strength of the high-frequency motor, 0 .. 1
    };

    VirtualPad();
    explicit VirtualPad(Model model);
    ~VirtualPad(); // unplugs the pad
    VirtualPad(const VirtualPad &) = delete;
    VirtualPad &operator=(const VirtualPad &) = delete;

    // Plugs the pad in, at rest; false with error() set when the pad library refuses. Plugged in
    // already: true.
    bool attach();
    // Unplugs it; the rumble requests it received stay readable.
    void detach();
    bool attached() const;
    // The pad's handle at PadHub while plugged in (the pad library's instance id), else -1.
    int handle() const;

    // What the pad reports from the next PadHub::poll() on. The trigger buttons follow the
    // triggers' travel; the other buttons are taken from `state`.
    void set(const PadState &state);
    const PadState &state() const;

    // Every rumble request that reached the pad, oldest first (a request to stop is one of 0, 0).
    std::vector<Rumble> rumbles() const;
    // Why attach() failed.
    const std::string &error() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl; // the pad library's side
};
