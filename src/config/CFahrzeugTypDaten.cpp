#include "config/CFahrzeugTypDaten.h"

#include <algorithm>

void CFahrzeugTypDaten::setMuendungPos(const float *xyz) {
    std::copy(xyz, xyz + 3, muendungPos);
}

void CFahrzeugTypDaten::setTurmPos(const float *xyz) {
    std::copy(xyz, xyz + 3, turmPos);
}
