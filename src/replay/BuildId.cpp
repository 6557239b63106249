#include "replay/BuildId.h"

#include "PanzerBuildId.h" // written by tools/BuildId.cmake at every build

const char *buildId() {
    return PANZER_BUILD_ID;
}
