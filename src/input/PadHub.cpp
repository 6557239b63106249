#include "input/PadHub.h"

#include "input/PadScript.h"
#include "input/SdlSubsystems.h"
#include "input/VirtualPad.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>

namespace {

// The model every scripted pad claims to be: all share one GUID, and their index tells them apart,
// as with identical real pads.
VirtualPad::Model scriptPadModel() {
    VirtualPad::Model model;
    model.product = 0x7067;
    model.name = "Panzerfeld script pad";
    return model;
}

float stickValue(Sint16 raw) {
    return std::max(-1.0f, raw / 32767.0f);
}

std::optional<PadButton> triggerButton(Uint8 axis) {
    if (axis == SDL_CONTROLLER_AXIS_TRIGGERLEFT)
        return PadButton::LeftTrigger;
    if (axis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT)
        return PadButton::RightTrigger;
    return std::nullopt;
}

} // namespace

struct PadHub::Impl {
    struct Pad {
        SDL_GameController *controller = nullptr; // owned
        PadId id;
        std::array<bool, 2> triggers{}; // left, right counted as pressed at their last motion
    };

    bool open = false;
    std::map<SDL_JoystickID, Pad> pads; // by handle; instance ids rise, so in plugging order

    // The pad script, when one is given.
    PadScript script;
    std::size_t nextStep = 0;          // first step not played yet
    std::optional<double> scriptStart; // the caller's time of step time 0
    std::array<std::unique_ptr<VirtualPad>, PadScript::kMaxPads> scriptPads; // by script number - 1

    Pad *find(int handle) {
        const auto it = pads.find(handle);
        return it == pads.end() ? nullptr : &it->second;
    }

    // The lowest index no plugged-in pad of `guid` has.
    int freeIndex(const std::string &guid) const {
        for (int index = 0; index < PadId::kMaxIndex; ++index) {
            const bool taken = std::any_of(pads.begin(), pads.end(), [&](const auto &entry) {
                return entry.second.id.guid == guid && entry.second.id.index == index;
            });
            if (!taken)
                return index;
        }
        return PadId::kMaxIndex;
    }

    void added(int device, std::vector<PadEvent> &events) {
        SDL_GameController *controller = SDL_GameControllerOpen(device);
        if (!controller)
            return; // gone again already; its removal is in the queue
        SDL_Joystick *joystick = SDL_GameControllerGetJoystick(controller);
        const SDL_JoystickID handle = SDL_JoystickInstanceID(joystick);
        if (handle < 0 || pads.count(handle)) {
            SDL_GameControllerClose(controller); // reported twice: once at the start, once when plugged
            return;
        }
        char guid[33] = {};
        SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(joystick), guid, sizeof guid);
        Pad pad;
        pad.controller = controller;
        pad.id.guid = guid;
        pad.id.index = freeIndex(pad.id.guid);
        pads[handle] = pad;
        events.push_back({PadEvent::Kind::Added, handle, pad.id, PadButton::Count});
    }

    void removed(SDL_JoystickID handle, std::vector<PadEvent> &events) {
        Pad *pad = find(handle);
        if (!pad)
            return;
        events.push_back({PadEvent::Kind::Removed, handle, pad->id, PadButton::Count});
        SDL_GameControllerClose(pad->controller);
        pads.erase(handle);
    }

    void button(SDL_JoystickID handle, Uint8 button, bool down, std::vector<PadEvent> &events) {
        Pad *pad = find(handle);
        if (!pad || button >= static_cast<int>(PadButton::LeftTrigger))
            return; // a button beyond the standard layout (paddles, touchpad)
        events.push_back({down ? PadEvent::Kind::ButtonDown : PadEvent::Kind::ButtonUp, handle, pad->id,
                          static_cast<PadButton>(button)});
    }

    void axis(SDL_JoystickID handle, Uint8 axis, Sint16 value, std::vector<PadEvent> &events) {
        Pad *pad = find(handle);
        const std::optional<PadButton> trigger = triggerButton(axis);
        if (!pad || !trigger)
            return;
        bool &was = pad->triggers[*trigger == PadButton::LeftTrigger ? 0 : 1];
        const bool down = value / 32767.0f > PadState::kTriggerPressed;
        if (down != was)
            events.push_back(
                {down ? PadEvent::Kind::ButtonDown : PadEvent::Kind::ButtonUp, handle, pad->id, *trigger});
        was = down;
    }

    // Plays the script's steps up to `elapsed` seconds.
    void playScript(double elapsed) {
        const std::vector<PadScriptStep> &steps = script.steps();
        for (; nextStep < steps.size() && steps[nextStep].seconds <= elapsed; ++nextStep)
            playStep(steps[nextStep], std::getenv(kScriptVariable));
    }

    void playStep(const PadScriptStep &step, const std::string &source) {
        std::unique_ptr<VirtualPad> &pad = scriptPads[static_cast<std::size_t>(step.pad - 1)];
        switch (step.kind) {
        case PadScriptStep::Kind::Attach:
            pad = std::make_unique<VirtualPad>(scriptPadModel());
            if (!pad->attach()) {
                std::fprintf(stderr, "Error: %s: line %d: pad %d cannot be attached: %s\n", source.c_str(),
                             step.line, step.pad, pad->error().c_str());
                pad.reset();
                break;
            }
            pad->set(step.state);
            break;
        case PadScriptStep::Kind::Set:
            if (pad)
                pad->set(step.state);
            break;
        case PadScriptStep::Kind::Detach:
            pad.reset();
            break;
        }
    }
};

PadHub::PadHub() : impl(std::make_unique<Impl>()) {}

PadHub::~PadHub() {
    close();
}

bool PadHub::open() {
    if (impl->open)
        return true;
    std::string problem;
    if (!startSdlSubsystems(SDL_INIT_GAMECONTROLLER, problem)) {
        std::fprintf(stderr, "Error: SDL game controllers: %s\n", problem.c_str());
        return false;
    }
    impl->open = true;
    const char *script = std::getenv(kScriptVariable);
    if (script && *script && PadScript::load(script, impl->script))
        impl->playScript(0.0); // pads there from the start are there before the first poll
    return true;
}

void PadHub::play(const PadScriptStep &step, const std::string &source) {
    if (impl->open && step.pad >= 1 && step.pad <= PadScript::kMaxPads)
        impl->playStep(step, source);
}

bool PadHub::isOpen() const {
    return impl->open;
}

void PadHub::close() {
    if (!impl->open)
        return;
    for (auto &entry : impl->pads)
        SDL_GameControllerClose(entry.second.controller);
    impl->pads.clear();
    for (std::unique_ptr<VirtualPad> &pad : impl->scriptPads)
        pad.reset();
    impl->script = PadScript();
    impl->nextStep = 0;
    impl->scriptStart.reset();
    impl->open = false;
    stopSdlSubsystems(SDL_INIT_GAMECONTROLLER);
}

std::vector<PadEvent> PadHub::poll(double seconds) {
    std::vector<PadEvent> events;
    if (!impl->open)
        return events;
    if (std::isfinite(seconds)) {
        if (!impl->scriptStart)
            impl->scriptStart = seconds;
        impl->playScript(seconds - *impl->scriptStart);
    }
    SDL_PumpEvents();
    SDL_Event batch[64];
    int count = 0;
    while ((count = SDL_PeepEvents(batch, 64, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT)) > 0) {
        for (int i = 0; i < count; ++i) {
            const SDL_Event &e = batch[i];
            switch (e.type) {
            case SDL_CONTROLLERDEVICEADDED:
                impl->added(e.cdevice.which, events);
                break;
            case SDL_CONTROLLERDEVICEREMOVED:
                impl->removed(e.cdevice.which, events);
                break;
            case SDL_CONTROLLERBUTTONDOWN:
            case SDL_CONTROLLERBUTTONUP:
                impl->button(e.cbutton.which, e.cbutton.button, e.type == SDL_CONTROLLERBUTTONDOWN, events);
                break;
            case SDL_CONTROLLERAXISMOTION:
                impl->axis(e.caxis.which, e.caxis.axis, e.caxis.value, events);
                break;
            default:
                break; // the joystick events beneath them, and whatever else SDL reports
            }
        }
    }
    return events;
}

std::vector<int> PadHub::pads() const {
    std::vector<int> handles;
    for (const auto &entry : impl->pads)
        handles.push_back(entry.first);
    return handles;
}

PadId PadHub::id(int pad) const {
    const Impl::Pad *found = impl->find(pad);
    return found ? found->id : PadId{"", 0};
}

std::string PadHub::name(int pad) const {
    const Impl::Pad *found = impl->find(pad);
    const char *name = found ? SDL_GameControllerName(found->controller) : nullptr;
    return name ? name : "";
}

PadState PadHub::state(int pad) const {
    PadState state;
    const Impl::Pad *found = impl->find(pad);
    if (!found)
        return state;
    SDL_GameController *c = found->controller;
    state.leftX = stickValue(SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTX));
    state.leftY = -stickValue(SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTY));
    state.rightX = stickValue(SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_RIGHTX));
    state.rightY = -stickValue(SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_RIGHTY));
    state.leftTrigger =
        std::max(0.0f, stickValue(SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_TRIGGERLEFT)));
    state.rightTrigger =
        std::max(0.0f, stickValue(SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_TRIGGERRIGHT)));
    for (int b = 0; b < static_cast<int>(PadButton::LeftTrigger); ++b)
        state.buttons[b] =
            SDL_GameControllerGetButton(c, static_cast<SDL_GameControllerButton>(b)) == SDL_PRESSED;
    state.setButton(PadButton::LeftTrigger, state.leftTrigger > PadState::kTriggerPressed);
    state.setButton(PadButton::RightTrigger, state.rightTrigger > PadState::kTriggerPressed);
    return state;
}

bool PadHub::rumble(int pad, float strength, int milliseconds) {
    Impl::Pad *found = impl->find(pad);
    if (!found)
        return false;
    const float s = std::isnan(strength) ? 0.0f : std::clamp(strength, 0.0f, 1.0f);
    const Uint16 motor = static_cast<Uint16>(std::lround(s * 65535.0f));
    const Uint32 duration = static_cast<Uint32>(std::clamp(milliseconds, 0, 60 * 1000));
    return SDL_GameControllerRumble(found->controller, motor, motor, duration) == 0;
}
