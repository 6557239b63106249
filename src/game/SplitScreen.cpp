#include "game/SplitScreen.h"

SplitScreen::Rect SplitScreen::viewRect(Layout layout, int view, int viewCount, int width, int height) {
    Rect rect;
    rect.width = width;
    rect.height = height;
    if (viewCount < 2)
        return rect;
    if (viewCount > 2) {
        const int left = width / 2, upper = height / 2;
        const bool right = view % 2 == 1, lower = view >= 2;
        rect.left = right ? left : 0;
        rect.width = right ? width - left : left;
        rect.top = lower ? upper : 0;
        rect.height = lower ? height - upper : upper;
        return rect;
    }
    if (layout == kStacked) {
        const int upper = height / 2;
        rect.top = view == 0 ? 0 : upper;
        rect.height = view == 0 ? upper : height - upper;
    } else {
        const int left = width / 2;
        rect.left = view == 0 ? 0 : left;
        rect.width = view == 0 ? left : width - left;
    }
    return rect;
}
