#pragma once

#include "math/MATRIX4X4.h"

#include <functional>

// The shadow map of the scene: a depth texture rendered from the light, the
// light's and the camera's matrices captured every frame, and texture unit 2
// set up so that the normal pass compares each fragment's light-space depth
// with it. Where the driver lacks depth textures, it stays switched off and
// every per-frame call does nothing.
class ShadowMap {
  public:
    using Proc = void (*)();
    using ProcLookup = Proc (*)(const char *name);
    using ExtensionQuery = bool (*)(const char *extension);
    // Draws every object of the scene as seen with view yaw fRotY (degrees).
    using DrawObjects = std::function<void(float fRotY)>;

    static const unsigned int SHADOW_MAP_WIDTH = 1024;  // texels, also the depth pass's viewport
    static const unsigned int SHADOW_MAP_HEIGHT = 1024; // texels

    // Compare result of a fragment in shadow: it keeps this share of its colour.
    static constexpr float kShadowBrightness = 0.4f;

    ShadowMap(); // driver entry points from glutGetProcAddress, extensions from the context
    // Entry points from `lookup`, extension names from `hasExtension` (tests
    // use these to play a poorer driver).
    ShadowMap(ProcLookup lookup, ExtensionQuery hasExtension);
    ~ShadowMap(); // deletes the texture and framebuffer when a GL window is current
    ShadowMap(const ShadowMap &) = delete;
    ShadowMap &operator=(const ShadowMap &) = delete;

    // Creates the depth texture, prints "Shadow Map Generated and Texture
    // Assigned" and marks the map initialised. Without depth textures, shadow
    // compare or a third texture unit it prints one "Error: " line instead,
    // makes no GL call that could fail and returns false.
    bool init();
    bool initialized() const { return initialised; }

    // Each stores the matrix just built in the current matrix mode: the
    // model-view matrix as the frame builds all four, or the projection matrix
    // when that mode is current (the window reshape records the camera
    // projection so).
    void setLightProjectionMatrix() { captureCurrentMatrix(lightProjectionMatrix); }
    void setLightViewMatrix() { captureCurrentMatrix(lightViewMatrix); }
    void setCameraProjectionMatrix() { captureCurrentMatrix(cameraProjectionMatrix); }
    void setCameraViewMatrix() { captureCurrentMatrix(cameraViewMatrix); }

    const MATRIX4X4 &getLightProjectionMatrix() const { return lightProjectionMatrix; }
    const MATRIX4X4 &getLightViewMatrix() const { return lightViewMatrix; }
    const MATRIX4X4 &getCameraProjectionMatrix() const { return cameraProjectionMatrix; }
    const MATRIX4X4 &getCameraViewMatrix() const { return cameraViewMatrix; }
    unsigned int getShadowTexture() const { return shadowTexture; }

    // The depth pass: renders `drawObjects(fRotY)` from the light into the
    // depth texture. Leaves the light's matrices loaded and the viewport of the
    // pass set; the frame then loads the camera's and the window viewport.
    void createShadowMap(const DrawObjects &drawObjects, float fRotY);
    // The same for the session, through its drawObjects(fRotY).
    template <class Session> void createShadowMap(Session *gc, float fRotY) {
        createShadowMap([gc](float rotY) { gc->drawObjects(rotY); }, fRotY);
    }

    // Sets up texture unit 2 (and unit 3 where the driver needs it to darken
    // rather than blacken) for the shadow comparison of the normal pass. Call
    // with the camera view on the model-view stack. Unit 0 is active afterwards.
    void generateTextureMatrix();
    // Switches the units of generateTextureMatrix off again, with their
    // texture-coordinate generation; unit 0 is active afterwards. Call once the
    // shadowed objects and terrain are drawn.
    void disableShadowUnits();

    // The texture matrix of the comparison: bias * light projection * light view,
    // with the bias shrunk to the part of the texture the last depth pass filled.
    MATRIX4X4 shadowTextureMatrix() const;
    // Whether the depth pass renders straight into the texture (framebuffer
    // object) rather than copying the window's depth buffer.
    bool rendersOffscreen() const { return framebuffer != 0; }
    // Whether unit 3 multiplies the compare result in (no compare-fail value).
    bool usesDarkeningUnit() const { return darkenWithUnit3; }

  private:
    using ActiveTextureProc = void (*)(unsigned int unit);
    using GenFramebuffersProc = void (*)(int n, unsigned int *framebuffers);
    using BindFramebufferProc = void (*)(unsigned int target, unsigned int framebuffer);
    using FramebufferTexture2DProc = void (*)(unsigned int target, unsigned int attachment,
                                              unsigned int textarget, unsigned int texture, int level);
    using CheckFramebufferStatusProc = unsigned int (*)(unsigned int target);
    using DeleteFramebuffersProc = void (*)(int n, const unsigned int *framebuffers);

    static void captureCurrentMatrix(MATRIX4X4 &into);
    void selectUnit(unsigned int unit) const;
    // A framebuffer with the depth texture attached; false (and none kept) when
    // the driver lacks them or rejects the combination.
    bool createFramebuffer();

    unsigned int shadowTexture = 0;   // GL name of the depth texture
    MATRIX4X4 lightProjectionMatrix;  // light's perspective
    MATRIX4X4 lightViewMatrix;        // light looking at the origin
    MATRIX4X4 cameraProjectionMatrix; // camera's perspective
    MATRIX4X4 cameraViewMatrix;       // camera behind player one
    bool initialised = false;         // init succeeded

    ProcLookup lookup;                               // where driver entry points come from
    ExtensionQuery hasExtension;                     // which extensions the driver names
    ActiveTextureProc pglActiveTextureARB = nullptr; // selects a texture unit
    GenFramebuffersProc pglGenFramebuffersEXT = nullptr;
    BindFramebufferProc pglBindFramebufferEXT = nullptr;
    FramebufferTexture2DProc pglFramebufferTexture2DEXT = nullptr;
    CheckFramebufferStatusProc pglCheckFramebufferStatusEXT = nullptr;
    DeleteFramebuffersProc pglDeleteFramebuffersEXT = nullptr;
    unsigned int framebuffer = 0; // depth-only render target; 0: copy from the window instead
    bool useFailValue = false;    // the driver darkens compare failures itself
    bool darkenWithUnit3 = false; // unit 3 multiplies the colour by unit 2's result
    float filledFraction = 1.0f;  // share of width and height the last depth pass filled
};
