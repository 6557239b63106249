#include "model/Modell.h"

#include <algorithm>

Modell::Modell() = default;

Modell::Modell(Md2Model *model) : model(model) {}

int Modell::getTrianglesCount() const {
    return model ? model->getNumTriangles() : 0;
}

int Modell::getVerticesCount() const {
    return model ? model->getNumVertices() : 0;
}

const Md2Vertex *Modell::getAllVertices() const {
    const Md2Frame *pose = model ? model->getPoseFrame() : nullptr;
    return pose ? pose->getVertices() : nullptr;
}

const Md2Triangle *Modell::getAllTriangles() const {
    if (!model || model->getTriangles().empty()) {
        return nullptr;
    }
    return model->getTriangles().data();
}

void Modell::calcBorder() {
    std::fill(border, border + 6, 0.0f);
    const Md2Frame *pose = model ? model->getPoseFrame() : nullptr;
    if (!pose || model->getTriangles().empty()) {
        return;
    }
    float low[3] = {999999.0f, 999999.0f, 999999.0f};
    float high[3] = {-999999.0f, -999999.0f, -999999.0f};
    for (const Md2Triangle &tri : model->getTriangles()) {
        for (int c = 0; c < 3; ++c) {
            const Md2Vertex &vertex = pose->vertices[tri.vertexIndex[c]];
            for (int a = 0; a < 3; ++a) {
                // The translate is left out: the box is re-centred below instead.
                const float value = vertex.v[a] * pose->scale[a];
                low[a] = std::min(low[a], value);
                high[a] = std::max(high[a], value);
            }
        }
    }
    for (int a = 0; a < 3; ++a) {
        const float extent = high[a] - low[a];
        border[2 * a] = low[a] - extent / 2.0f;
        border[2 * a + 1] = high[a] - extent / 2.0f;
    }
}

void Modell::setFactors(float first, float second, float third) {
    factors[0] = first;
    factors[1] = second;
    factors[2] = third;
}
