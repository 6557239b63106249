#include "physics/PhysXActor.h"

void PhysXActor::setSizes(double x, double y, double z) {
    sizeX = x;
    sizeY = y;
    sizeZ = z;
}

void PhysXActor::setSizes(const double *xyz) {
    setSizes(xyz[0], xyz[1], xyz[2]);
}

void PhysXActor::setSizesreal(double x, double y, double z) {
    sizeXreal = x;
    sizeYreal = y;
    sizeZreal = z;
}

void PhysXActor::setSizesreal(const double *xyz) {
    setSizesreal(xyz[0], xyz[1], xyz[2]);
}
