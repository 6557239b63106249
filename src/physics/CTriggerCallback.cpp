#include "physics/CTriggerCallback.h"

void CTriggerCallback::onTrigger(SpielObject *triggerObject, SpielObject *otherObject, int status) {
    if (handler) {
        handler(triggerObject, otherObject, status);
    }
}
