#pragma once

class SpielObject;

// The scene's trigger report. The game places no trigger volumes, so a report changes nothing;
// it stays as the place to hang trigger handling on.
class CTriggerCallback {
  public:
    virtual ~CTriggerCallback() = default;

    // status: 1 entering, 2 staying, 3 leaving the trigger volume.
    virtual void onTrigger(SpielObject *triggerObject, SpielObject *otherObject, int status);
};
