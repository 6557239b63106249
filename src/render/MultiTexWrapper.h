#pragma once

// Reaches the ARB multitexture entry points of the graphics driver and offers
// shortcuts for the fixed texture units 0 to 2 that the light map, the shadow
// map, the terrain and the game objects use. When the driver lacks them the
// shortcuts do nothing instead of calling through a null pointer.
class MultiTexWrapper {
  public:
    using Proc = void (*)();
    using ProcLookup = Proc (*)(const char *name);

    MultiTexWrapper(); // looks the entry points up with glutGetProcAddress
    // Looks them up with `lookup`, for drivers reached another way (and tests).
    explicit MultiTexWrapper(ProcLookup lookup);

    // Both entry points were found by the latest construction.
    static bool isAvailable();

    void glActiveTextureARB0() const { activate(0); }
    void glActiveTextureARB1() const { activate(1); }
    void glActiveTextureARB2() const { activate(2); }
    void glMultiTexCoord2fARB0(double s, double t) const { texCoord(0, s, t); }
    void glMultiTexCoord2fARB1(double s, double t) const { texCoord(1, s, t); }
    void glMultiTexCoord2fARB2(double s, double t) const { texCoord(2, s, t); }

  private:
    using ActiveTextureProc = void (*)(unsigned int unit);
    using MultiTexCoord2fProc = void (*)(unsigned int unit, float s, float t);

    static void activate(unsigned int unit);
    static void texCoord(unsigned int unit, double s, double t);

    // Process-wide, rewritten by every construction; null when not found.
    static ActiveTextureProc glActiveTextureARB;     // selects a texture unit (GL_TEXTURE0_ARB + n)
    static MultiTexCoord2fProc glMultiTexCoord2fARB; // sets unit's (s, t) coordinate
};
