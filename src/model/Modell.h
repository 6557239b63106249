#pragma once

#include "model/Md2Model.h"

// A game object's view on a shared MD2 model: the uniform draw scale, three
// per-object factors its owner keeps here, and the model's bounding box.
class Modell {
  public:
    Modell();
    // A view that only queries `model`; scale and factors keep their defaults.
    explicit Modell(Md2Model *model);

    int getTrianglesCount() const; // 0 without a model
    int getVerticesCount() const;  // 0 without a model
    // The packed vertices of frame 1, the drawn pose; null without a model.
    const Md2Vertex *getAllVertices() const;
    // The triangles; null without a model or without triangles.
    const Md2Triangle *getAllTriangles() const;
    Md2Model *getModel() const { return model; }
    void setModel(Md2Model *shared) { model = shared; }

    // Bounding box of frame 1 in model units: per axis the span of packed
    // byte * frame scale over all triangle corners, shifted back by half its
    // extent, so that a model whose bytes start at 0 is centred on the origin.
    // All zero without a model or without triangles.
    void calcBorder();
    // min x, max x, min y, max y, min z, max z as computed by calcBorder.
    const float *getBorder() const { return border; }
    float *getRect() { return border; }

    float getScale() const { return scale; }
    void setScale(float drawScale) { scale = drawScale; }
    // The three per-object factors (the level record's colour values).
    const float *getFactors() const { return factors; }
    void setFactors(float first, float second, float third);

  private:
    float scale = 1.0f;                                     // uniform scale when drawn and simulated
    float factors[3] = {1.0f, 1.0f, 1.0f};                  // kept for the owning object; never read here
    float border[6] = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f}; // min/max x, y, z, model units
    Md2Model *model = nullptr;                              // shared, not owned; null: nothing to draw
};
