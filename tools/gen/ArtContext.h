#pragma once

#include "Canvas.h"
#include "Font.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// What every asset family works with: where the pictures go, where the fonts come
// from, and the list of files written so far.
class ArtContext {
  public:
    ArtContext(const std::string &dataDir, const std::string &fontDir);

    // The font file `fileName` of the font folder, loaded once; null (and an error line
    // on stderr) when it cannot be read.
    const Font *font(const std::string &fileName);

    // Writes the canvas to <data dir>/textures/<fileName> as PNG with 3 or 4 channels and
    // prints the path; false (and an error line) on failure.
    bool saveTexture(const Canvas &canvas, const std::string &fileName, int channels, bool dither);
    // The same for a picture elsewhere in the data tree, e.g. "icons/hicolor/16x16/apps/x.png";
    // missing folders on the way are created.
    bool savePicture(const Canvas &canvas, const std::string &relativePath, int channels, bool dither);

    const std::vector<std::string> &getWrittenFiles() const { return writtenFiles; }
    const std::string &getDataDir() const { return dataDir; }

  private:
    std::string dataDir;                                // the data tree's root
    std::string fontDir;                                // folder with the TrueType files
    std::map<std::string, std::unique_ptr<Font>> fonts; // loaded fonts by file name
    std::vector<std::string> writtenFiles;              // paths relative to the data dir
};
