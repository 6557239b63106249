#include "physics/PhysXStream.h"

std::uint8_t PhysXStream::readByte() {
    std::uint8_t b = 0;
    readBuffer(&b, sizeof(b));
    return b;
}

std::uint16_t PhysXStream::readWord() {
    std::uint16_t w = 0;
    readBuffer(&w, sizeof(w));
    return w;
}

std::uint32_t PhysXStream::readDword() {
    std::uint32_t d = 0;
    readBuffer(&d, sizeof(d));
    return d;
}

float PhysXStream::readFloat() {
    float f = 0.0f;
    readBuffer(&f, sizeof(f));
    return f;
}

double PhysXStream::readDouble() {
    double f = 0.0;
    readBuffer(&f, sizeof(f));
    return f;
}

PhysXStream &PhysXStream::storeByte(std::uint8_t b) {
    return storeBuffer(&b, sizeof(b));
}

PhysXStream &PhysXStream::storeWord(std::uint16_t w) {
    return storeBuffer(&w, sizeof(w));
}

PhysXStream &PhysXStream::storeDword(std::uint32_t d) {
    return storeBuffer(&d, sizeof(d));
}

PhysXStream &PhysXStream::storeFloat(float f) {
    return storeBuffer(&f, sizeof(f));
}

PhysXStream &PhysXStream::storeDouble(double f) {
    return storeBuffer(&f, sizeof(f));
}

void PhysXStream::fail(const std::string &what) {
    if (!failed) {
        failed = true;
        failure = what;
    }
}
