#pragma once

#include <functional>
#include <utility>

class SpielObject;

// The scene's trigger report: told after each step which moving bodies touch a trigger sphere
// (PhysXAccess::addTrigger). It hands every report to the game's handler; without one a report
// changes nothing.
class CTriggerCallback {
  public:
    static constexpr int kEntering = 1; // the body touches the sphere since this step
    static constexpr int kStaying = 2;  // the body touched it in the step before, too
    static constexpr int kLeaving = 3;  // the body no longer touches it

    using Handler = std::function<void(SpielObject *triggerObject, SpielObject *otherObject, int status)>;

    virtual ~CTriggerCallback() = default;

    // status: kEntering, kStaying or kLeaving.
    virtual void onTrigger(SpielObject *triggerObject, SpielObject *otherObject, int status);
    void setHandler(Handler h) { handler = std::move(h); }

  private:
    Handler handler; // the game's pick-up rule; may be empty
};
