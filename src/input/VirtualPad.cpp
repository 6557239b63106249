#include "input/VirtualPad.h"

#include "input/SdlSubsystems.h"

#include <cmath>
#include <mutex>

static_assert(SDL_CONTROLLER_BUTTON_DPAD_RIGHT == static_cast<int>(PadButton::DpadRight),
              "PadButton follows the pad library's button order");

namespace {

constexpr int kAxes = SDL_CONTROLLER_AXIS_MAX;                 // the sticks and the triggers
constexpr int kButtons = SDL_CONTROLLER_BUTTON_DPAD_RIGHT + 1; // the standard layout's buttons

Sint16 rawAxis(double value) {
    const double v = std::isnan(value) ? 0.0 : std::round(value);
    return static_cast<Sint16>(v < -32768.0 ? -32768.0 : v > 32767.0 ? 32767.0 : v);
}

} // namespace

struct VirtualPad::Impl {
    // What the rumble callback writes; SDL calls it while the pad is plugged in.
    struct RumbleLog {
        mutable std::mutex lock;
        std::vector<Rumble> requests;
    };

    Model model;
    bool started = false;             // the joystick subsystem is started for this pad
    SDL_Joystick *joystick = nullptr; // open while plugged in: values are set through it
    int instance = -1;                // SDL's instance id while plugged in
    PadState state;
    RumbleLog rumbles;
    std::string error;

    static int SDLCALL rumble(void *userdata, Uint16 low, Uint16 high) {
        auto *log = static_cast<RumbleLog *>(userdata);
        std::lock_guard<std::mutex> guard(log->lock);
        log->requests.push_back({low / 65535.0f, high / 65535.0f});
        return 0;
    }

    void apply() {
        if (!joystick)
            return;
        // The pad library counts a stick pushed up as negative, and maps the whole range of a
        // virtual trigger axis onto the trigger's travel.
        const float axes[kAxes] = {state.leftX, -state.leftY, state.rightX, -state.rightY};
        for (int a = 0; a < SDL_CONTROLLER_AXIS_TRIGGERLEFT; ++a)
            SDL_JoystickSetVirtualAxis(joystick, a, rawAxis(axes[a] * 32767.0));
        SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_TRIGGERLEFT,
                                   rawAxis(state.leftTrigger * 65535.0 - 32768.0));
        SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_TRIGGERRIGHT,
                                   rawAxis(state.rightTrigger * 65535.0 - 32768.0));
        for (int b = 0; b < kButtons; ++b)
            SDL_JoystickSetVirtualButton(joystick, b, state.buttons[b] ? SDL_PRESSED : SDL_RELEASED);
    }
};

VirtualPad::VirtualPad() : VirtualPad(Model{}) {}

VirtualPad::VirtualPad(Model model) : impl(std::make_unique<Impl>()) {
    impl->model = std::move(model);
    impl->started = startSdlSubsystems(SDL_INIT_JOYSTICK, impl->error);
}

VirtualPad::~VirtualPad() {
    detach();
    if (impl->started)
        stopSdlSubsystems(SDL_INIT_JOYSTICK);
}

bool VirtualPad::attach() {
    if (attached())
        return true;
    if (!impl->started)
        return false; // error() says why SDL did not start
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    // A game controller with every axis and button of the standard layout: the pad library
    // makes the controller mapping from the two masks.
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = kAxes;
    desc.nbuttons = kButtons;
    desc.axis_mask = (1u << kAxes) - 1u;
    desc.button_mask = (1u << kButtons) - 1u;
    desc.vendor_id = impl->model.vendor;
    desc.product_id = impl->model.product;
    desc.name = impl->model.name.c_str();
    desc.userdata = &impl->rumbles;
    if (impl->model.rumbles)
        desc.Rumble = &Impl::rumble;
    const int device = SDL_JoystickAttachVirtualEx(&desc);
    if (device < 0) {
        impl->error = SDL_GetError();
        return false;
    }
    impl->joystick = SDL_JoystickOpen(device);
    if (!impl->joystick) {
        impl->error = SDL_GetError();
        SDL_JoystickDetachVirtual(device);
        return false;
    }
    impl->instance = SDL_JoystickInstanceID(impl->joystick);
    // At rest: a virtual trigger axis starts in the middle of its range, which is half pulled.
    impl->state = PadState{};
    impl->apply();
    return true;
}

void VirtualPad::detach() {
    if (!attached())
        return;
    SDL_JoystickClose(impl->joystick);
    impl->joystick = nullptr;
    for (int device = 0; device < SDL_NumJoysticks(); ++device)
        if (SDL_JoystickGetDeviceInstanceID(device) == impl->instance) {
            SDL_JoystickDetachVirtual(device);
            break;
        }
    impl->instance = -1;
}

bool VirtualPad::attached() const {
    return impl->joystick != nullptr;
}

int VirtualPad::handle() const {
    return impl->instance;
}

void VirtualPad::set(const PadState &state) {
    impl->state = state;
    impl->state.setButton(PadButton::LeftTrigger, state.leftTrigger > PadState::kTriggerPressed);
    impl->state.setButton(PadButton::RightTrigger, state.rightTrigger > PadState::kTriggerPressed);
    impl->apply();
}

const PadState &VirtualPad::state() const {
    return impl->state;
}

std::vector<VirtualPad::Rumble> VirtualPad::rumbles() const {
    std::lock_guard<std::mutex> guard(impl->rumbles.lock);
    return impl->rumbles.requests;
}

const std::string &VirtualPad::error() const {
    return impl->error;
}
