#include "menu/MainMenu.h"

#include "config/ConfigReader.h"
#include "flow/MenuPage.h"
#include "flow/ScreenLayout.h"
#include "game/GameClass.h"
#include "render/ScreenShot.h"
#include "render/FlatShapes.h"
#include "render/MultiTexWrapper.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

#include <algorithm>

MainMenu::MainMenu() : layout(ConfigReader::ReadMainMenuDefinition()) {}

MainMenu::MainMenu(const MainMenuDefinition &definition) : layout(definition) {}

void MainMenu::setResolution(int width, int height) {
    iWidth = width;
    iHeight = height;
}

MainMenu::Rect MainMenu::elementRect(double widthFactor, double top, int pictureWidth,
                                     int pictureHeight) const {
    const double sx = static_cast<double>(iWidth) / layout.getDefinitionResX();
    const double sy = static_cast<double>(iHeight) / layout.getDefinitionResY();
    const double half = (sx * pictureWidth / 2.0) * widthFactor;
    const double centre = iWidth / 2; // integer centre keeps odd widths symmetric in pixels
    Rect rect;
    rect.left = centre - half;
    rect.right = centre + half;
    rect.top = iHeight * top;
    rect.bottom = rect.top + pictureHeight * sy;
    return rect;
}

MainMenu::Rect MainMenu::itemRect(int item) const {
    return elementRect(layout.getItemX(item), layout.getItemY(item), layout.getItemImgX(item),
                       layout.getItemImgY(item));
}

std::vector<int> MainMenu::shownItems() const {
    std::vector<int> items;
    for (int item : {kGame, kOptions, kHelp, kExit, kHighscore, kNetwork})
        if (layout.hasItem(item))
            items.push_back(item);
    return items;
}

std::vector<int> MainMenu::itemOrder() const {
    std::vector<int> items = shownItems();
    std::stable_sort(items.begin(), items.end(),
                     [this](int a, int b) { return layout.getItemY(a) < layout.getItemY(b); });
    return items;
}

int MainMenu::itemAt(int x, int y) const {
    for (int item : shownItems())
        if (itemRect(item).contains(x, y))
            return item;
    return kNone;
}

void MainMenu::initGL() {
    glViewport(0, 0, iWidth, iHeight);
    // The game's frame may have left its 3D state behind: switch off what
    // would shade, cull or texture the flat pictures differently.
    MultiTexWrapper multiTex;
    for (int unit = 2; unit >= 1; --unit) {
        unit == 2 ? multiTex.glActiveTextureARB2() : multiTex.glActiveTextureARB1();
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
        glDisable(GL_TEXTURE_GEN_R);
        glDisable(GL_TEXTURE_GEN_Q);
    }
    multiTex.glActiveTextureARB0();
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_FOG);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glColor4f(1, 1, 1, 1);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);

    glEnable(GL_TEXTURE_2D);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, iWidth, iHeight, 0, 0, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0);
    // Soft picture edges (glows, anti-aliased letters) blend over the background.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void MainMenu::draw() {
    initGL();
    if (gc != nullptr) {
        TextureHolder *textures = gc->getTextureHolder();
        const std::string &back = layout.getBackImg();
        drawBack(textures->getTextureIDByString(back), textures->getTextureByString(back), 0, 0, iWidth,
                 iHeight);
        for (int item : {kGame, kOptions, kHelp, kHighscore, kExit, kNetwork}) {
            if (!layout.hasItem(item))
                continue;
            const std::string &picture =
                hoverElement == item ? layout.getItemImgOver(item) : layout.getItemImg(item);
            drawElement(textures->getTextureIDByString(picture), textures->getTextureByString(picture),
                        layout.getItemX(item), layout.getItemY(item), layout.getItemImgX(item),
                        layout.getItemImgY(item));
        }
    }
    glDisable(GL_BLEND);
    ScreenShot::showFrame();
}

void MainMenu::drawBack(unsigned int texture, DevilImageDefinition *, int x1, int y1, int x2, int y2) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2i(x1, y1);
    glTexCoord2f(0, 1);
    glVertex2i(x1, y2);
    glTexCoord2f(1, 1);
    glVertex2i(x2, y2);
    glTexCoord2f(1, 0);
    glVertex2i(x2, y1);
    glEnd();
}

void MainMenu::drawElement(unsigned int texture, DevilImageDefinition *image, double widthFactor, double top,
                           int pictureWidth, int pictureHeight) {
    const Rect rect = elementRect(widthFactor, top, pictureWidth, pictureHeight);
    drawBack(texture, image, static_cast<int>(rect.left), static_cast<int>(rect.top),
             static_cast<int>(rect.right), static_cast<int>(rect.bottom));
}

void MainMenu::freeImages() {
    if (gc == nullptr)
        return;
    TextureHolder *textures = gc->getTextureHolder();
    for (int item : shownItems())
        textures->freeTextureByString(layout.getItemImg(item));
    textures->freeTextureByString(layout.getBackImg());
}

namespace {
int textWidth(void *font, const std::string &text) {
    return glutBitmapLength(font, reinterpret_cast<const unsigned char *>(text.c_str()));
}

void bitmapText(float x, float y, void *font, const std::string &text) {
    glRasterPos2f(x, y);
    for (char c : text)
        glutBitmapCharacter(font, static_cast<unsigned char>(c));
}

// A page's button: a tinted box with its label centred, brighter under the pointer.
void button(const ScreenLayout::Rect &rect, const std::string &label, bool hover) {
    glColor4f(1.0f, 0.85f, 0.4f, hover ? 0.5f : 0.25f);
    FlatShapes::rectangle(rect.left, rect.top, rect.right, rect.bottom);
    glColor3f(1, 1, 1);
    const float baseline = rect.bottom - (rect.bottom - rect.top) * 0.27f; // as the back button's label
    bitmapText((rect.left + rect.right - textWidth(GLUT_BITMAP_HELVETICA_18, label)) / 2.0f, baseline,
               GLUT_BITMAP_HELVETICA_18, label);
}
} // namespace

void MainMenu::drawPicture(const PagePicture &picture) {
    const float left = picture.left, top = picture.top, side = picture.side;
    FlatShapes::framedPicture(gc->getTextureHolder()->getTextureIDByString(picture.texture), left, top, side);
    for (const PageMarker &marker : picture.markers) {
        const float x = left + marker.x * side, y = top + marker.y * side, half = marker.size / 2;
        glColor3f(0, 0, 0); // a dark rim keeps the dot visible on any ground
        FlatShapes::rectangle(x - half - 1, y - half - 1, x + half + 1, y + half + 1);
        glColor3f(marker.red, marker.green, marker.blue);
        FlatShapes::rectangle(x - half, y - half, x + half, y + half);
    }
    glColor3f(1, 1, 1);
}

void MainMenu::drawPage(const MenuPage &page) {
    initGL();
    if (gc != nullptr) {
        TextureHolder *textures = gc->getTextureHolder();
        const std::string &back = layout.getBackImg();
        drawBack(textures->getTextureIDByString(back), textures->getTextureByString(back), 0, 0, iWidth,
                 iHeight);
    }
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
    // A dark panel under the text keeps it readable on the picture.
    glColor4f(0, 0, 0, 0.6f);
    FlatShapes::rectangle(0.03f * iWidth, (ScreenLayout::kTitleY - 0.05f) * iHeight, 0.97f * iWidth,
                          0.96f * iHeight);
    glColor3f(1.0f, 0.85f, 0.4f);
    bitmapText((iWidth - textWidth(GLUT_BITMAP_TIMES_ROMAN_24, page.title)) / 2.0f,
               ScreenLayout::kTitleY * iHeight, GLUT_BITMAP_TIMES_ROMAN_24, page.title);
    for (const PageRow &row : page.rows) {
        void *font = row.large ? GLUT_BITMAP_TIMES_ROMAN_24 : GLUT_BITMAP_HELVETICA_18;
        if (row.highlighted) {
            glColor4f(1.0f, 0.85f, 0.4f, 0.25f);
            FlatShapes::rectangle(row.x - 6, row.y - 0.75f * ScreenLayout::kRowStep * iHeight,
                                  row.x + textWidth(font, row.text) + 12,
                                  row.y + 0.25f * ScreenLayout::kRowStep * iHeight);
        }
        glColor3f(1, 1, 1);
        bitmapText(row.x, row.y, font, row.text);
    }
    if (!page.message.empty()) {
        glColor3f(1.0f, 0.6f, 0.5f);
        bitmapText((iWidth - textWidth(GLUT_BITMAP_HELVETICA_18, page.message)) / 2.0f, 0.885f * iHeight,
                   GLUT_BITMAP_HELVETICA_18, page.message);
    }
    if (page.backButton)
        button(ScreenLayout::backRect(iWidth, iHeight), "Back (Escape)", page.backHover);
    if (!page.actionLabel.empty())
        button(ScreenLayout::actionRect(iWidth, iHeight), page.actionLabel, page.actionHover);
    if (!page.picture.texture.empty() && gc != nullptr)
        drawPicture(page.picture);
    glColor4f(1, 1, 1, 1);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    ScreenShot::showFrame();
}
