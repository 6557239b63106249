#pragma once

// Shapes in window pixels for overlays and screens, drawn in whatever flat
// projection the caller has set up, in the current colour.
namespace FlatShapes {

void rectangle(float x1, float y1, float x2, float y2); // filled, corners in any order

// A square picture (an uploaded texture) with a black frame two pixels wide; texturing is off after it.
void framedPicture(unsigned int texture, float left, float top, float side);

} // namespace FlatShapes
