#pragma once

#include "math/Vector3D.h"

#include <cstddef>
#include <map>
#include <set>
#include <string>

class Md2Model;

// The ARB vertex-buffer objects of the level, one registry per buffer kind,
// keyed by bare model name, and the drawing of models from them (render mode
// 3). Without the driver's buffer functions it registers nothing and draws
// models from client-side vertex arrays instead.
class VertexBufferHandler {
  public:
    using Proc = void (*)();
    using ProcLookup = Proc (*)(const char *name);

    // Buffer kinds, numbered as the callers pass them.
    enum Kind {
        kPositions = 1, // 3 floats per vertex, GL_ARRAY_BUFFER_ARB
        kNormals = 2,   // 3 floats per vertex, GL_ARRAY_BUFFER_ARB
        kTexCoords = 3, // 2 floats per vertex, GL_ARRAY_BUFFER_ARB
        kIndices = 4    // ints, GL_ELEMENT_ARRAY_BUFFER_ARB
    };
    static constexpr int kKindCount = 4;

    VertexBufferHandler(); // looks the entry points up with glutGetProcAddress
    // Looks them up with `lookup`, for drivers reached another way (and tests).
    explicit VertexBufferHandler(ProcLookup lookup);
    // Deletes every buffer still held, when a GL window is current.
    ~VertexBufferHandler();
    VertexBufferHandler(const VertexBufferHandler &) = delete;
    VertexBufferHandler &operator=(const VertexBufferHandler &) = delete;

    // All five entry points were found and the driver names the extension.
    bool isAvailable() const { return available; }

    // Uploads `count` floats (float form), `count` triples (triple form) or
    // `count` ints (int form, always as element indices) into a new buffer
    // registered under the bare name of `name` for `kind`, prints the size
    // check and returns the buffer; 0 when that bare name already holds a
    // buffer of this kind, for a bad kind, count or data, or without the
    // entry points.
    unsigned int generateVertexBuffer(const std::string &name, int kind, int count, const float *data);
    unsigned int generateVertexBuffer(const std::string &name, int kind, int count, const Vector3D *data);
    unsigned int generateVertexBuffer(const std::string &name, int kind, int count, const int *data);

    // Whether `name`, as given, is registered for `kind` (even with 0).
    bool Contains(const std::string &name, int kind) const;
    // The buffer of `name` for `kind`; an unknown name is registered with 0.
    unsigned int getVertexBufferIDByString(const std::string &name, int kind);
    // Number of names registered for `kind`.
    std::size_t size(int kind) const;

    // Binds the buffer of `name` to the kind's target and points the kind's
    // client array at its start. False, with nothing bound or pointed, when
    // `name` holds no buffer for `kind` (pointing an array at offset 0 of no
    // buffer would make the next draw read address 0).
    bool activateBuffer(const std::string &name, int kind);
    // Deletes the buffers of `name` of all four kinds. The names stay
    // registered with 0, so they are never bound again and can be uploaded anew.
    void freeVertexBuffers(const std::string &name);

    // Draws `model` as GL_TRIANGLES from its four buffers, uploading them on the
    // model's first draw (keyed by the model's name). Without buffers (no entry
    // points, a model without name, an upload whose size check failed) the
    // model is drawn from its client-side arrays instead; the missing entry
    // points are reported once per handler. The caller sets transform and
    // textures first; client arrays and buffer bindings are off afterwards.
    void drawModel(const Md2Model &model);
    // The same drawing from the model's client-side arrays (render mode 2 with
    // one draw call).
    void drawWithVertexArrays(const Md2Model &model) const;

  private:
    using GenBuffersProc = void (*)(int n, unsigned int *buffers);
    using BindBufferProc = void (*)(unsigned int target, unsigned int buffer);
    using BufferDataProc = void (*)(unsigned int target, std::ptrdiff_t size, const void *data,
                                    unsigned int usage);
    using DeleteBuffersProc = void (*)(int n, const unsigned int *buffers);
    using GetBufferParameterivProc = void (*)(unsigned int target, unsigned int pname, int *params);

    static bool validKind(int kind) { return kind >= kPositions && kind <= kIndices; }
    std::map<std::string, unsigned int> &registry(int kind) { return buffers[kind - 1]; }
    const std::map<std::string, unsigned int> &registry(int kind) const { return buffers[kind - 1]; }
    // The buffer of `name` for `kind` without registering anything; 0 if none.
    unsigned int find(const std::string &name, int kind) const;
    // The common part of the three generate forms; `bytes` is the upload size.
    unsigned int upload(const std::string &name, int kind, unsigned int target, int count,
                        std::ptrdiff_t bytes, const void *data);
    // Uploads the missing buffers of `model`; true when all four hold data
    // that passed the size check.
    bool uploadModel(const Md2Model &model);

    // Driver entry points of this handler; null when not found.
    GenBuffersProc pglGenBuffersARB = nullptr;                     // creates buffer names
    BindBufferProc pglBindBufferARB = nullptr;                     // binds a buffer to a target
    BufferDataProc pglBufferDataARB = nullptr;                     // uploads a buffer's data
    DeleteBuffersProc pglDeleteBuffersARB = nullptr;               // deletes buffers
    GetBufferParameterivProc pglGetBufferParameterivARB = nullptr; // reads back the stored size
    bool available = false;                                        // every entry point usable

    std::map<std::string, unsigned int> buffers[kKindCount]; // per kind: bare name -> GL buffer (0: none)
    std::set<unsigned int> verified;                         // buffers whose stored size matched the upload
    bool fallbackReported = false;                           // the missing-buffers message was printed
};
