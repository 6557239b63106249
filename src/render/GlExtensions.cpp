#include "render/GlExtensions.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

#include <cstring>

bool extensionListHas(const char *extensions, const char *extension) {
    if (extensions == nullptr || extension == nullptr || *extension == '\0') {
        return false;
    }
    const std::size_t length = std::strlen(extension);
    for (const char *at = std::strstr(extensions, extension); at != nullptr;
         at = std::strstr(at + 1, extension)) {
        const bool startsWord = at == extensions || at[-1] == ' ';
        const bool endsWord = at[length] == ' ' || at[length] == '\0';
        if (startsWord && endsWord) {
            return true;
        }
    }
    return false;
}

bool hasGlExtension(const char *extension) {
    return extensionListHas(reinterpret_cast<const char *>(glGetString(GL_EXTENSIONS)), extension);
}

bool glWindowCurrent() {
    return glutGet(GLUT_INIT_STATE) != 0 && glutGetWindow() != 0;
}
