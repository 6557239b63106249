#pragma once

#include "game/GameClass.h"
#include "level/VehicleData.h"
#include "objects/Fahrzeug.h"
#include "model/Md2Bytes.h"
#include "support/GameDataFixture.h"

#include <string>

namespace ObjectTestSupport {

// A flat square in the model's x-z plane (models are z-up: drawn, it stands upright facing +z),
// `side` model units wide, with `frames` identical frames. Its corners use the whole skin.
inline Md2Bytes square(float side, int frames = 2) {
    Md2Bytes m;
    Md2Bytes::Frame f;
    f.scale[0] = f.scale[1] = f.scale[2] = side / 100.0f;
    f.vertices = {{0, 0, 0}, {0, 0, 100}, {100, 0, 100}, {100, 0, 0}};
    m.frames.assign(static_cast<std::size_t>(frames), f);
    m.texCoords = {{0, 0}, {0, 64}, {128, 64}, {128, 0}};
    m.triangles = {{0, 1, 2, 0, 1, 2}, {0, 2, 3, 0, 2, 3}};
    return m;
}

// A box, so that the physics can make a convex body of it.
inline Md2Bytes box() {
    Md2Bytes m;
    Md2Bytes::Frame f;
    f.scale[0] = f.scale[1] = f.scale[2] = 0.04f;
    for (int i = 0; i < 8; ++i) {
        f.vertices.push_back({static_cast<std::uint8_t>((i & 1) ? 100 : 0),
                              static_cast<std::uint8_t>((i & 2) ? 100 : 0),
                              static_cast<std::uint8_t>((i & 4) ? 50 : 0)});
    }
    m.frames = {f, f};
    m.triangles = {{0, 1, 3, 0, 0, 0}, {0, 3, 2, 0, 0, 0}, {4, 7, 5, 0, 0, 0}, {4, 6, 7, 0, 0, 0},
                   {0, 4, 5, 0, 0, 0}, {0, 5, 1, 0, 0, 0}, {2, 3, 7, 0, 0, 0}, {2, 7, 6, 0, 0, 0},
                   {0, 2, 6, 0, 0, 0}, {0, 6, 4, 0, 0, 0}, {1, 5, 7, 0, 0, 0}, {1, 7, 3, 0, 0, 0}};
    return m;
}

// A session over the minimal data tree (vehicle type "tank": accel 10, turning 60, speeds 12 / 5,
// turret mount (0, 1, 0), muzzle (0, 0.3, 3), life 100, model "tank1.md2"), with a world.
struct Session {
    GameDataFixture data;
    GameClass gc;

    Session() { gc.getPhysXAccess()->initialPhysX(); }
    // Vehicles that tests hand to the session belong to the tests.
    ~Session() { gc.getWorld().getFahrzeugvektor().clear(); }

    // Writes `bytes` as <folder>/<name> and imports that folder (each folder once: an import
    // replaces the models of the names it finds).
    Md2Model *addModel(const std::string &name, const Md2Bytes &bytes,
                       const std::string &folder = "data/model/") {
        data.dir.write(folder + name, bytes.build());
        gc.getData().importModells(folder);
        return gc.getModell(name);
    }
};

inline VehicleData vehicleRecord(const std::string &name, const std::string &type, float x, float y,
                                 float z) {
    VehicleData record;
    record.setName(name);
    record.setFahrzeugTyp(type);
    record.setPos(x, y, z);
    return record;
}

} // namespace ObjectTestSupport
