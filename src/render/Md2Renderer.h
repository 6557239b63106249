#pragma once

class Md2Model;

// Sends the drawn pose (frame 1) of an MD2 model to OpenGL in the three ways the render mode
// chooses from. The caller sets up the transform and binds the textures; these calls only submit
// geometry. Models without frame 1 submit nothing.
class Md2Renderer {
  public:
    // Immediate mode: light grey, each triangle lit flat with its face normal, skin coordinates on
    // the active texture unit.
    static void drawImmediate(const Md2Model &model);
    // Compiles the model into display list `list` (prints "Creating Display List No. <list>"):
    // black, smoothed vertex normals, skin coordinates on units 0 and 1 so the light map follows
    // the skin.
    static void compileList(unsigned int list, const Md2Model &model);
    // Client vertex arrays with the smoothed vertex normals, one element per triangle corner.
    static void drawArrays(const Md2Model &model);
};
