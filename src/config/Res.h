#pragma once

// A pair of ints used both as a size (width, height) and as a position (x in width, y in height).
class Res {
  public:
    Res() = default;
    Res(int iWidth, int iHeight) : height(iHeight), width(iWidth) {}

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    void setWidth(int iWidth) { width = iWidth; }
    void setHeight(int iHeight) { height = iHeight; }

  private:
    int height = 0; // pixels, or y of a position
    int width = 0;  // pixels, or x of a position
};
