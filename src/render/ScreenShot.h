#pragma once

#include <string>

// Pictures of what the window shows, as PNG files: a scripted run's screenshots.
namespace ScreenShot {
// A drawn frame goes to the window, or, while frames are kept (a scripted run), stays in the back
// buffer for save to read: nothing reaches the screen but the pictures asked for.
void showFrame();
void keepFrames(bool keep);

// Reads the `width` x `height` pixels of the frame drawn last (kept in the back buffer, or shown in
// the front one) and writes them to `path` as a PNG picture, safely (a temporary file renamed over it).
// False with `problem` set when the pixels or the file cannot be had.
bool save(const std::string &path, int width, int height, std::string &problem);
} // namespace ScreenShot
