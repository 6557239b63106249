#pragma once

#include "config/GlutConfig.h"

// Opens the GLUT window (or enters full-screen game mode), sets the fixed
// OpenGL state from the window settings, registers the callbacks and runs the
// main loop.
class EntryPoint {
  public:
    EntryPoint(); // clears the key table and starts the clock

    // Never returns: the program ends through exit() from the input handlers.
    void initialGlut(int *argc, char **argv);
    GlutConfig getGlutConfig() const { return settings; }

  private:
    void openWindow();
    void setFixedGlState() const;

    GlutConfig settings; // window and OpenGL settings from glutconfig.ini
};
