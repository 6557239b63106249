#pragma once

#include "ArtContext.h"

#include <string>
#include <vector>

// The "icon" family: the application icon for the desktop, an olive tank on a transparent
// square, at every size of the hicolor theme. Each size is painted from the shapes at that
// size; the small ones leave out details and draw bolder lines so that they stay readable.
class IconArt {
  public:
    // Writes <data dir>/icons/hicolor/<N>x<N>/apps/panzerfeld.png for every size; false if
    // any could not be made.
    static bool generate(ArtContext &context);

    static const std::vector<int> &sizes();    // pixels, the hicolor sizes, ascending
    static std::string relativePath(int size); // the picture's path in the data tree
    static Canvas paint(int size);             // the icon at `size` x `size` pixels
};
