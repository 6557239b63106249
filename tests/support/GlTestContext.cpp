#include "support/GlTestContext.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>

FrameCapture::FrameCapture(int width, int height, std::vector<unsigned char> bytes)
    : w(width), h(height), rgb(std::move(bytes)) {}

FrameCapture::Pixel FrameCapture::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= w || y >= h) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") lies outside the " << w << " x " << h << " frame";
        return Pixel{0, 0, 0};
    }
    const std::size_t i =
        (static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)) * 3;
    return Pixel{rgb[i], rgb[i + 1], rgb[i + 2]};
}

bool FrameCapture::litBounds(int &minX, int &minY, int &maxX, int &maxY) const {
    bool any = false;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (at(x, y).isBlack()) {
                continue;
            }
            if (!any) {
                minX = maxX = x;
                minY = maxY = y;
                any = true;
            }
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
    }
    return any;
}

int FrameCapture::litCount() const {
    int count = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            count += at(x, y).isBlack() ? 0 : 1;
        }
    }
    return count;
}

namespace {
int windowId = 0;        // GLUT window of this process, 0 until opened
std::string openFailure; // why the window could not be opened, once tried

void displayNothing() {}

// The OpenGL driver libraries are unloaded at exit, before the leak checker
// runs, which then cannot name the library behind a driver leak and so cannot
// apply the suppressions for it. Marking every library loaded so far as
// never-unload keeps their names.
void pinLoadedLibraries() {
    dl_iterate_phdr(
        [](dl_phdr_info *info, size_t, void *) {
            if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0') {
                void *handle = dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
                if (handle != nullptr) {
                    dlclose(handle); // drops only the reference taken just now
                }
            }
            return 0;
        },
        nullptr);
} // GLUT insists on a display callback before it processes events

std::string openWindow() {
    const char *display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        // freeglut would exit() the whole test process without a display.
        return "DISPLAY is not set: OpenGL tests need an X server, run them under "
               "xvfb-run -a -s \"-screen 0 1280x1024x24\"";
    }
    if (glutGet(GLUT_INIT_STATE) == 0) {
        static char program[] = "panzer_tests";
        static char *argv[] = {program, nullptr};
        int argc = 1;
        glutInit(&argc, argv);
    }
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGBA | GLUT_DEPTH);
    glutInitWindowPosition(0, 0);
    glutInitWindowSize(GlTestContext::kWidth, GlTestContext::kHeight);
    windowId = glutCreateWindow("panzer_tests");
    if (windowId <= 0) {
        return "GLUT could not open an OpenGL window on display " + std::string(display);
    }
    glutDisplayFunc(displayNothing);
    pinLoadedLibraries();
    // Let the window be mapped and sized before anybody draws into it.
    for (int i = 0; i < 5; ++i) {
        glutMainLoopEvent();
    }
    return "";
}
} // namespace

::testing::AssertionResult GlTestContext::acquire() {
    static const bool tried = [] {
        openFailure = openWindow();
        return true;
    }();
    (void)tried;
    if (!openFailure.empty()) {
        return ::testing::AssertionFailure() << openFailure;
    }
    glutSetWindow(windowId);
    glViewport(0, 0, width(), height());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (GLenum cap : {GL_LIGHTING, GL_DEPTH_TEST, GL_BLEND, GL_TEXTURE_2D, GL_ALPHA_TEST, GL_CULL_FACE,
                       GL_COLOR_MATERIAL, GL_FOG}) {
        glDisable(cap);
    }
    // The material of a fresh context: a test that lights its drawing must not
    // inherit another test's black or glowing surfaces.
    const GLfloat ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f}, diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f},
                  none[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, none);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, none);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    while (glGetError() != GL_NO_ERROR) {
    }
    return ::testing::AssertionSuccess();
}

bool GlTestContext::isOpen() {
    return windowId > 0;
}

// Without a window GLUT must not be asked anything: it would exit the process.
int GlTestContext::width() {
    return isOpen() ? glutGet(GLUT_WINDOW_WIDTH) : 0;
}

int GlTestContext::height() {
    return isOpen() ? glutGet(GLUT_WINDOW_HEIGHT) : 0;
}

FrameCapture GlTestContext::readFrameBuffer() {
    const int w = width();
    const int h = height();
    if (!isOpen()) {
        ADD_FAILURE() << "no OpenGL window to read from";
        return FrameCapture(0, 0, {});
    }
    std::vector<unsigned char> bottomUp(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3);
    glFinish();
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    glPopClientAttrib();

    // OpenGL delivers the bottom row first; turn it round.
    const std::size_t row = static_cast<std::size_t>(w) * 3;
    std::vector<unsigned char> topDown(bottomUp.size());
    for (int y = 0; y < h; ++y) {
        std::copy_n(bottomUp.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(h - 1 - y) * row),
                    row, topDown.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(y) * row));
    }
    return FrameCapture(w, h, std::move(topDown));
}
