#pragma once

// A power-up a vehicle has collected. Power-ups have no kinds yet, so it carries nothing.
class CPowerUp {};
