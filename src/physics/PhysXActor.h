#pragma once

#include <array>
#include <string>

class btRigidBody;

// A physics body's registry record: its name, the body and the extents of its collision mesh.
// Only the six sizes are stored in the size files beside the cooked meshes.
class PhysXActor {
  public:
    PhysXActor() = default;

    const std::string &getName() const { return name; }
    void setName(const std::string &s) { name = s; }
    btRigidBody *getActor() const { return actor; }
    void setActor(btRigidBody *body) { actor = body; }

    double getSizeX() const { return sizeX; }
    double getSizeY() const { return sizeY; }
    double getSizeZ() const { return sizeZ; }
    std::array<double, 3> getSizes() const { return {sizeX, sizeY, sizeZ}; }
    void setSizeX(double d) { sizeX = d; }
    void setSizeY(double d) { sizeY = d; }
    void setSizeZ(double d) { sizeZ = d; }
    void setSizes(double x, double y, double z);
    void setSizes(const double *xyz); // copies three doubles

    double getSizeXreal() const { return sizeXreal; }
    double getSizeYreal() const { return sizeYreal; }
    double getSizeZreal() const { return sizeZreal; }
    std::array<double, 3> getSizesreal() const { return {sizeXreal, sizeYreal, sizeZreal}; }
    void setSizeXreal(double d) { sizeXreal = d; }
    void setSizeYreal(double d) { sizeYreal = d; }
    void setSizeZreal(double d) { sizeZreal = d; }
    void setSizesreal(double x, double y, double z);
    void setSizesreal(const double *xyz); // copies three doubles

  private:
    std::string name;             // actor name, the registry key
    btRigidBody *actor = nullptr; // the body in the physics world; not owned by the record
    double sizeX = 0.0;           // mesh extents in physics axes
    double sizeY = 0.0;
    double sizeZ = 0.0;
    double sizeXreal = 0.0; // extents in model units (convex meshes: before the 0.048 scale)
    double sizeYreal = 0.0;
    double sizeZreal = 0.0;
};
