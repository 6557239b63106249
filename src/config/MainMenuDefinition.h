#pragma once

#include <string>

// Layout and pictures of the main menu, read from mainmenu.ini. Items are numbered 1 game,
// 2 options, 3 help, 4 exit, 5 highscore, 6 network game; the indexed accessors take that number.
// The network item came last: a file without it leaves item 6 without a picture, and the menu
// without the item.
class MainMenuDefinition {
  public:
    static constexpr int kItemCount = 6;     // menu items
    static constexpr int kRequiredItems = 5; // items every file describes; the others are optional

    // An item the menu shows: the file names its picture.
    bool hasItem(int item) const { return !getItemImg(item).empty(); }

    // Indexed access by item number 1..6; other numbers read as 0 or "" and are ignored when set.
    double getItemY(int item) const { return valid(item) ? itemY[item - 1] : 0.0; }
    double getItemX(int item) const { return valid(item) ? itemX[item - 1] : 0.0; }
    const std::string &getItemImg(int item) const { return valid(item) ? itemImg[item - 1] : empty(); }
    const std::string &getItemImgOver(int item) const {
        return valid(item) ? itemImgOver[item - 1] : empty();
    }
    int getItemImgX(int item) const { return valid(item) ? itemImgX[item - 1] : 0; }
    int getItemImgY(int item) const { return valid(item) ? itemImgY[item - 1] : 0; }
    void setItemY(int item, double d) {
        if (valid(item)) {
            itemY[item - 1] = d;
        }
    }
    void setItemX(int item, double d) {
        if (valid(item)) {
            itemX[item - 1] = d;
        }
    }
    void setItemImg(int item, const std::string &s) {
        if (valid(item)) {
            itemImg[item - 1] = s;
        }
    }
    void setItemImgOver(int item, const std::string &s) {
        if (valid(item)) {
            itemImgOver[item - 1] = s;
        }
    }
    void setItemImgX(int item, int i) {
        if (valid(item)) {
            itemImgX[item - 1] = i;
        }
    }
    void setItemImgY(int item, int i) {
        if (valid(item)) {
            itemImgY[item - 1] = i;
        }
    }

    double getItem1y() const { return itemY[0]; }
    void setItem1y(double d) { itemY[0] = d; }
    double getItem1x() const { return itemX[0]; }
    void setItem1x(double d) { itemX[0] = d; }
    const std::string &getItem1Img() const { return itemImg[0]; }
    void setItem1Img(const std::string &s) { itemImg[0] = s; }
    const std::string &getItem1ImgOver() const { return itemImgOver[0]; }
    void setItem1ImgOver(const std::string &s) { itemImgOver[0] = s; }
    int getItemImg1x() const { return itemImgX[0]; }
    void setItemImg1x(int i) { itemImgX[0] = i; }
    int getItemImg1y() const { return itemImgY[0]; }
    void setItemImg1y(int i) { itemImgY[0] = i; }

    double getItem2y() const { return itemY[1]; }
    void setItem2y(double d) { itemY[1] = d; }
    double getItem2x() const { return itemX[1]; }
    void setItem2x(double d) { itemX[1] = d; }
    const std::string &getItem2Img() const { return itemImg[1]; }
    void setItem2Img(const std::string &s) { itemImg[1] = s; }
    const std::string &getItem2ImgOver() const { return itemImgOver[1]; }
    void setItem2ImgOver(const std::string &s) { itemImgOver[1] = s; }
    int getItemImg2x() const { return itemImgX[1]; }
    void setItemImg2x(int i) { itemImgX[1] = i; }
    int getItemImg2y() const { return itemImgY[1]; }
    void setItemImg2y(int i) { itemImgY[1] = i; }

    double getItem3y() const { return itemY[2]; }
    void setItem3y(double d) { itemY[2] = d; }
    double getItem3x() const { return itemX[2]; }
    void setItem3x(double d) { itemX[2] = d; }
    const std::string &getItem3Img() const { return itemImg[2]; }
    void setItem3Img(const std::string &s) { itemImg[2] = s; }
    const std::string &getItem3ImgOver() const { return itemImgOver[2]; }
    void setItem3ImgOver(const std::string &s) { itemImgOver[2] = s; }
    int getItemImg3x() const { return itemImgX[2]; }
    void setItemImg3x(int i) { itemImgX[2] = i; }
    int getItemImg3y() const { return itemImgY[2]; }
    void setItemImg3y(int i) { itemImgY[2] = i; }

    double getItem4y() const { return itemY[3]; }
    void setItem4y(double d) { itemY[3] = d; }
    double getItem4x() const { return itemX[3]; }
    void setItem4x(double d) { itemX[3] = d; }
    const std::string &getItem4Img() const { return itemImg[3]; }
    void setItem4Img(const std::string &s) { itemImg[3] = s; }
    const std::string &getItem4ImgOver() const { return itemImgOver[3]; }
    void setItem4ImgOver(const std::string &s) { itemImgOver[3] = s; }
    int getItemImg4x() const { return itemImgX[3]; }
    void setItemImg4x(int i) { itemImgX[3] = i; }
    int getItemImg4y() const { return itemImgY[3]; }
    void setItemImg4y(int i) { itemImgY[3] = i; }

    double getItem5y() const { return itemY[4]; }
    void setItem5y(double d) { itemY[4] = d; }
    double getItem5x() const { return itemX[4]; }
    void setItem5x(double d) { itemX[4] = d; }
    const std::string &getItem5Img() const { return itemImg[4]; }
    void setItem5Img(const std::string &s) { itemImg[4] = s; }
    const std::string &getItem5ImgOver() const { return itemImgOver[4]; }
    void setItem5ImgOver(const std::string &s) { itemImgOver[4] = s; }
    int getItemImg5x() const { return itemImgX[4]; }
    void setItemImg5x(int i) { itemImgX[4] = i; }
    int getItemImg5y() const { return itemImgY[4]; }
    void setItemImg5y(int i) { itemImgY[4] = i; }

    const std::string &getBackImg() const { return backImg; }
    void setBackImg(const std::string &s) { backImg = s; }
    int getDefinitionResX() const { return definitionResX; }
    void setDefinitionResX(int i) { definitionResX = i; }
    int getDefinitionResY() const { return definitionResY; }
    void setDefinitionResY(int i) { definitionResY = i; }

  private:
    static bool valid(int item) { return item >= 1 && item <= kItemCount; }
    static const std::string &empty() {
        static const std::string none;
        return none;
    }

    double itemY[kItemCount] = {};       // top edge as a fraction of the window height (0 top)
    double itemX[kItemCount] = {};       // factor on the scaled picture width; items are centred
    std::string itemImg[kItemCount];     // texture name drawn normally
    std::string itemImgOver[kItemCount]; // texture name drawn while the mouse is over the item
    int itemImgX[kItemCount] = {};       // picture width in pixels at the definition resolution
    int itemImgY[kItemCount] = {};       // picture height in pixels at the definition resolution
    std::string backImg;                 // texture stretched over the whole window
    int definitionResX = 0;              // window width the picture sizes are given for, pixels
    int definitionResY = 0;              // window height the picture sizes are given for, pixels
};
