#include "render/VertexBufferHandler.h"

#include "render/BareFileName.h"
#include "render/GlExtensions.h"
#include "model/Md2Model.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>
#include <vector>

namespace {
VertexBufferHandler::Proc glutLookup(const char *name) {
    return glutGetProcAddress(name);
}

unsigned int targetOf(int kind) {
    return kind == VertexBufferHandler::kIndices ? GL_ELEMENT_ARRAY_BUFFER_ARB : GL_ARRAY_BUFFER_ARB;
}
} // namespace

VertexBufferHandler::VertexBufferHandler() : VertexBufferHandler(glutLookup) {}

VertexBufferHandler::VertexBufferHandler(ProcLookup lookup) {
    if (lookup != nullptr) {
        pglGenBuffersARB = reinterpret_cast<GenBuffersProc>(lookup("glGenBuffersARB"));
        pglBindBufferARB = reinterpret_cast<BindBufferProc>(lookup("glBindBufferARB"));
        pglBufferDataARB = reinterpret_cast<BufferDataProc>(lookup("glBufferDataARB"));
        pglDeleteBuffersARB = reinterpret_cast<DeleteBuffersProc>(lookup("glDeleteBuffersARB"));
        pglGetBufferParameterivARB =
            reinterpret_cast<GetBufferParameterivProc>(lookup("glGetBufferParameterivARB"));
    }
    // GLX hands out a function for any name, so the extension string decides
    // whether the driver really has buffers behind them.
    available = pglGenBuffersARB != nullptr && pglBindBufferARB != nullptr && pglBufferDataARB != nullptr &&
                pglDeleteBuffersARB != nullptr && pglGetBufferParameterivARB != nullptr &&
                hasGlExtension("GL_ARB_vertex_buffer_object");
}

VertexBufferHandler::~VertexBufferHandler() {
    if (!available || !glWindowCurrent()) {
        return;
    }
    for (const auto &kindBuffers : buffers) {
        for (const auto &entry : kindBuffers) {
            if (entry.second != 0) {
                pglDeleteBuffersARB(1, &entry.second);
            }
        }
    }
}

unsigned int VertexBufferHandler::find(const std::string &name, int kind) const {
    if (!validKind(kind)) {
        return 0;
    }
    const auto it = registry(kind).find(name);
    return it == registry(kind).end() ? 0 : it->second;
}

unsigned int VertexBufferHandler::upload(const std::string &name, int kind, unsigned int target, int count,
                                         std::ptrdiff_t bytes, const void *data) {
    const std::string key = bareFileName(name);
    // Checked under the bare name, so that a second call with the same path
    // does not replace (and lose) the buffer made by the first.
    if (find(key, kind) != 0) {
        return 0;
    }
    unsigned int buffer = 0;
    pglGenBuffersARB(1, &buffer);
    pglBindBufferARB(target, buffer);
    pglBufferDataARB(target, bytes, data, GL_STATIC_DRAW_ARB);
    int reported = -1;
    pglGetBufferParameterivARB(target, GL_BUFFER_SIZE_ARB, &reported);
    // A buffer left bound would turn every later client-array pointer into an
    // offset into it.
    pglBindBufferARB(target, 0);
    if (reported == bytes) {
        std::printf("VBO OK! %i = %i) [size=%i]!!!!\n", count, reported, count);
        verified.insert(buffer);
    } else {
        std::printf("DATA CORRUPTION (%i != %i)!!!!\n", count, reported);
    }
    registry(kind)[key] = buffer;
    return buffer;
}

unsigned int VertexBufferHandler::generateVertexBuffer(const std::string &name, int kind, int count,
                                                       const float *data) {
    if (!available || !validKind(kind) || count < 0 || (data == nullptr && count > 0)) {
        return 0;
    }
    return upload(name, kind, targetOf(kind), count, static_cast<std::ptrdiff_t>(count) * 4, data);
}

unsigned int VertexBufferHandler::generateVertexBuffer(const std::string &name, int kind, int count,
                                                       const Vector3D *data) {
    if (!available || !validKind(kind) || count < 0 || (data == nullptr && count > 0)) {
        return 0;
    }
    if (find(bareFileName(name), kind) != 0) {
        return 0; // before copying anything
    }
    std::vector<float> flat;
    flat.reserve(3 * static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        flat.push_back(data[i].x);
        flat.push_back(data[i].y);
        flat.push_back(data[i].z);
    }
    return upload(name, kind, targetOf(kind), count, static_cast<std::ptrdiff_t>(count) * 12, flat.data());
}

unsigned int VertexBufferHandler::generateVertexBuffer(const std::string &name, int kind, int count,
                                                       const int *data) {
    if (!available || !validKind(kind) || count < 0 || (data == nullptr && count > 0)) {
        return 0;
    }
    return upload(name, kind, GL_ELEMENT_ARRAY_BUFFER_ARB, count, static_cast<std::ptrdiff_t>(count) * 4,
                  data);
}

bool VertexBufferHandler::Contains(const std::string &name, int kind) const {
    return validKind(kind) && registry(kind).count(name) != 0;
}

unsigned int VertexBufferHandler::getVertexBufferIDByString(const std::string &name, int kind) {
    return validKind(kind) ? registry(kind)[name] : 0;
}

std::size_t VertexBufferHandler::size(int kind) const {
    return validKind(kind) ? registry(kind).size() : 0;
}

bool VertexBufferHandler::activateBuffer(const std::string &name, int kind) {
    const unsigned int buffer = available ? find(name, kind) : 0;
    if (buffer == 0) {
        return false;
    }
    pglBindBufferARB(targetOf(kind), buffer);
    switch (kind) {
    case kPositions:
        glVertexPointer(3, GL_FLOAT, 0, nullptr);
        break;
    case kNormals:
        glNormalPointer(GL_FLOAT, 0, nullptr);
        break;
    case kTexCoords:
        glTexCoordPointer(2, GL_FLOAT, 0, nullptr);
        break;
    default:
        break; // indices: the binding is all glDrawElements needs
    }
    return true;
}

void VertexBufferHandler::freeVertexBuffers(const std::string &name) {
    if (!available) {
        return;
    }
    for (auto &kindBuffers : buffers) {
        const auto it = kindBuffers.find(name);
        if (it != kindBuffers.end() && it->second != 0) {
            pglDeleteBuffersARB(1, &it->second);
            verified.erase(it->second);
            it->second = 0;
        }
    }
}

bool VertexBufferHandler::uploadModel(const Md2Model &model) {
    if (!available) {
        if (!fallbackReported) {
            std::fprintf(stderr, "Error: the OpenGL driver offers no ARB vertex buffer objects; "
                                 "render mode 3 draws models from vertex arrays\n");
            fallbackReported = true;
        }
        return false;
    }
    const std::string &name = model.getName();
    if (name.empty()) {
        return false; // nothing to key the buffers by
    }
    const int vertices = model.getNumVertices();
    const int corners = 3 * model.getNumTriangles();
    if (find(name, kPositions) == 0) {
        generateVertexBuffer(name, kPositions, 3 * vertices, model.getVertexPositions());
    }
    if (find(name, kNormals) == 0) {
        generateVertexBuffer(name, kNormals, 3 * vertices, model.getVertexNormals());
    }
    if (find(name, kTexCoords) == 0) {
        generateVertexBuffer(name, kTexCoords, 2 * vertices, model.getVertexTexCoords());
    }
    if (find(name, kIndices) == 0) {
        generateVertexBuffer(name, kIndices, corners, model.getIndices());
    }
    for (int kind = kPositions; kind <= kIndices; ++kind) {
        if (verified.count(find(name, kind)) == 0) {
            return false;
        }
    }
    return true;
}

void VertexBufferHandler::drawModel(const Md2Model &model) {
    const int corners = 3 * model.getNumTriangles();
    if (corners <= 0 || model.getVertexPositions() == nullptr || model.getVertexNormals() == nullptr ||
        model.getVertexTexCoords() == nullptr || model.getIndices() == nullptr) {
        return;
    }
    if (!uploadModel(model)) {
        drawWithVertexArrays(model);
        return;
    }
    const std::string &name = model.getName();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    activateBuffer(name, kPositions);
    activateBuffer(name, kNormals);
    activateBuffer(name, kTexCoords);
    activateBuffer(name, kIndices);
    glDrawElements(GL_TRIANGLES, corners, GL_UNSIGNED_INT, nullptr);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    pglBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    pglBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
}

void VertexBufferHandler::drawWithVertexArrays(const Md2Model &model) const {
    const int corners = 3 * model.getNumTriangles();
    if (corners <= 0 || model.getVertexPositions() == nullptr || model.getVertexNormals() == nullptr ||
        model.getVertexTexCoords() == nullptr || model.getIndices() == nullptr) {
        return;
    }
    if (available) {
        // Client pointers are read as offsets while a buffer is bound.
        pglBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
        pglBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, model.getVertexPositions());
    glNormalPointer(GL_FLOAT, 0, model.getVertexNormals());
    glTexCoordPointer(2, GL_FLOAT, 0, model.getVertexTexCoords());
    glDrawElements(GL_TRIANGLES, corners, GL_UNSIGNED_INT, model.getIndices());
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}
