#pragma once

#include "config/Res.h"

#include <string>

// Window, full-screen and fixed OpenGL settings read from glutconfig.ini.
class GlutConfig {
  public:
    const Res &getResolution() const { return resolution; }
    void setResolution(const Res &r) { resolution = r; }
    const Res &getWindowPos() const { return windowPos; }
    void setWindowPos(const Res &r) { windowPos = r; }
    const std::string &getWindow_name() const { return windowName; }
    void setWindow_name(const std::string &s) { windowName = s; }
    const std::string &getGameMode() const { return gameMode; }
    void setGameMode(const std::string &s) { gameMode = s; }
    int getColorDepth() const { return colorDepth; }
    void setColorDepth(int i) { colorDepth = i; }
    bool isFullscreen() const { return fullscreen; }
    void setFullscreen(bool b) { fullscreen = b; }
    int getDisplayMode() const { return displayMode; }
    void setDisplayMode(int i) { displayMode = i; }

    bool isGlutRgba() const { return glutRgba; }
    void setGlutRgba(bool b) { glutRgba = b; }
    bool isGlutRgb() const { return glutRgb; }
    void setGlutRgb(bool b) { glutRgb = b; }
    bool isGlutIndex() const { return glutIndex; }
    void setGlutIndex(bool b) { glutIndex = b; }
    bool isGlutSingle() const { return glutSingle; }
    void setGlutSingle(bool b) { glutSingle = b; }
    bool isGlutDouble() const { return glutDouble; }
    void setGlutDouble(bool b) { glutDouble = b; }
    bool isGlutAccum() const { return glutAccum; }
    void setGlutAccum(bool b) { glutAccum = b; }
    bool isGlutStencil() const { return glutStencil; }
    void setGlutStencil(bool b) { glutStencil = b; }
    bool isGlutDepth() const { return glutDepth; }
    void setGlutDepth(bool b) { glutDepth = b; }

    bool isGlDepthTest() const { return glDepthTest; }
    void setGlDepthTest(bool b) { glDepthTest = b; }
    bool isGlFlat() const { return glFlat; }
    void setGlFlat(bool b) { glFlat = b; }
    bool isGlSmooth() const { return glSmooth; }
    void setGlSmooth(bool b) { glSmooth = b; }
    int getGlDepthFuncValue() const { return glDepthFuncValue; }
    void setGlDepthFuncValue(int i) { glDepthFuncValue = i; }

    bool isGlDepthFuncNever() const { return glDepthFuncNever; }
    void setGlDepthFuncNever(bool b) { glDepthFuncNever = b; }
    bool isGlDepthFuncLess() const { return glDepthFuncLess; }
    void setGlDepthFuncLess(bool b) { glDepthFuncLess = b; }
    bool isGlDepthFuncEqual() const { return glDepthFuncEqual; }
    void setGlDepthFuncEqual(bool b) { glDepthFuncEqual = b; }
    bool isGlDepthFuncLequal() const { return glDepthFuncLequal; }
    void setGlDepthFuncLequal(bool b) { glDepthFuncLequal = b; }
    bool isGlDepthFuncGreater() const { return glDepthFuncGreater; }
    void setGlDepthFuncGreater(bool b) { glDepthFuncGreater = b; }
    bool isGlDepthFuncNotequal() const { return glDepthFuncNotequal; }
    void setGlDepthFuncNotequal(bool b) { glDepthFuncNotequal = b; }
    bool isGlDepthFuncGequal() const { return glDepthFuncGequal; }
    void setGlDepthFuncGequal(bool b) { glDepthFuncGequal = b; }
    bool isGlDepthFuncAlways() const { return glDepthFuncAlways; }
    void setGlDepthFuncAlways(bool b) { glDepthFuncAlways = b; }

    float getGlClearDepth() const { return glClearDepth; }
    void setGlClearDepth(float f) { glClearDepth = f; }
    float getGlClearColorRed() const { return glClearColorRed; }
    void setGlClearColorRed(float f) { glClearColorRed = f; }
    float getGlClearColorBlue() const { return glClearColorBlue; }
    void setGlClearColorBlue(float f) { glClearColorBlue = f; }
    float getGlClearColorGreen() const { return glClearColorGreen; }
    void setGlClearColorGreen(float f) { glClearColorGreen = f; }
    float getGlClearColorAlpha() const { return glClearColorAlpha; }
    void setGlClearColorAlpha(float f) { glClearColorAlpha = f; }

  private:
    Res resolution;          // window size, or full-screen width and height, in pixels
    Res windowPos;           // window position in pixels: x in width, y in height
    std::string windowName;  // window title
    std::string gameMode;    // "<width>x<height>:<depth>" for glutGameModeString
    int colorDepth = 0;      // bits per pixel in game mode
    bool fullscreen = false; // GLUT game mode instead of a window
    int displayMode = 0;     // GLUT display-mode bits OR-ed from the eight flags below

    bool glutRgba = false;    // GLUT_RGBA
    bool glutRgb = false;     // GLUT_RGB
    bool glutIndex = false;   // GLUT_INDEX
    bool glutSingle = false;  // GLUT_SINGLE
    bool glutDouble = false;  // GLUT_DOUBLE
    bool glutAccum = false;   // GLUT_ACCUM
    bool glutStencil = false; // GLUT_STENCIL
    bool glutDepth = false;   // GLUT_DEPTH

    bool glDepthTest = false; // enable GL_DEPTH_TEST
    bool glFlat = false;      // flat shading (wins over smooth)
    bool glSmooth = false;    // smooth shading
    int glDepthFuncValue = 0; // GL comparison constant; 0 when no flag is set
    bool glDepthFuncNever = false;
    bool glDepthFuncLess = false;
    bool glDepthFuncEqual = false;
    bool glDepthFuncLequal = false;
    bool glDepthFuncGreater = false;
    bool glDepthFuncNotequal = false;
    bool glDepthFuncGequal = false;
    bool glDepthFuncAlways = false;

    float glClearDepth = 0.0f;    // depth clear value, 0..1
    float glClearColorRed = 0.0f; // clear colour components, 0..1
    float glClearColorBlue = 0.0f;
    float glClearColorGreen = 0.0f;
    float glClearColorAlpha = 0.0f;
};
