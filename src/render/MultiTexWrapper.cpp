#include "render/MultiTexWrapper.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

#include <cstdio>

MultiTexWrapper::ActiveTextureProc MultiTexWrapper::glActiveTextureARB = nullptr;
MultiTexWrapper::MultiTexCoord2fProc MultiTexWrapper::glMultiTexCoord2fARB = nullptr;

namespace {
MultiTexWrapper::Proc glutLookup(const char *name) {
    return glutGetProcAddress(name);
}
} // namespace

MultiTexWrapper::MultiTexWrapper() : MultiTexWrapper(glutLookup) {}

MultiTexWrapper::MultiTexWrapper(ProcLookup lookup) {
    glActiveTextureARB = nullptr;
    glMultiTexCoord2fARB = nullptr;
    if (lookup != nullptr) {
        glActiveTextureARB = reinterpret_cast<ActiveTextureProc>(lookup("glActiveTextureARB"));
        glMultiTexCoord2fARB = reinterpret_cast<MultiTexCoord2fProc>(lookup("glMultiTexCoord2fARB"));
    }
    if (!isAvailable()) {
        std::fprintf(stderr, "Error: the OpenGL driver offers no ARB multitexture functions; "
                             "texture units other than the current one stay unused\n");
    }
}

bool MultiTexWrapper::isAvailable() {
    return glActiveTextureARB != nullptr && glMultiTexCoord2fARB != nullptr;
}

void MultiTexWrapper::activate(unsigned int unit) {
    if (glActiveTextureARB != nullptr) {
        glActiveTextureARB(GL_TEXTURE0_ARB + unit);
    }
}

void MultiTexWrapper::texCoord(unsigned int unit, double s, double t) {
    if (glMultiTexCoord2fARB != nullptr) {
        glMultiTexCoord2fARB(GL_TEXTURE0_ARB + unit, static_cast<float>(s), static_cast<float>(t));
    }
}
