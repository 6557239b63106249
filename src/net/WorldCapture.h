#pragma once

#include "net/Protocol.h"

class BattleWorld;

// What the host tells its clients of its world after a tick: every tank, shell and power-up, the
// scores, the battle clock and the result, quantised as the protocol carries them.
NetProtocol::WorldState captureWorld(const BattleWorld &world);
