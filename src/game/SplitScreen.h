#pragma once

// Where each player's view lies in the window: the whole window for one view,
// two halves side by side or one above the other for two, quarters for three
// or four (the fourth quarter is left free when three play).
class SplitScreen {
  public:
    enum Layout { kSideBySide = 0, kStacked = 1 };

    // A view's rectangle in window pixels from the top-left corner.
    struct Rect {
        int left = 0, top = 0, width = 0, height = 0;
        bool operator==(const Rect &o) const {
            return left == o.left && top == o.top && width == o.width && height == o.height;
        }
    };

    // View `view` (0 .. viewCount-1) of `viewCount` (1 to 4) in a window of width x height pixels.
    // The first view is the left or upper one; an odd pixel goes to the second. Quarters go left
    // to right, then top to bottom, whatever the layout of two views.
    static Rect viewRect(Layout layout, int view, int viewCount, int width, int height);
    // The same rectangle's bottom edge from the window's bottom, as glViewport counts.
    static int viewportY(const Rect &rect, int windowHeight) { return windowHeight - rect.top - rect.height; }
};
