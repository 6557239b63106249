#include "physics/CTriggerCallback.h"

void CTriggerCallback::onTrigger(SpielObject *, SpielObject *, int) {}
