#pragma once

#include "objects/SpielObject.h"

class ObjectData;

// A static object of the level (house, tree, rock ...), placed from the level file, drawn with its
// model and its own light map.
class LvlObject : public SpielObject {
  public:
    LvlObject() = default;
    // Placement, flags and name only: no model, no session.
    explicit LvlObject(const ObjectData *data);
    // The full object: placement, the session's model of the record (none when the model is not
    // registered: it then draws nothing), scale, the record's colour factors, name and flags.
    LvlObject(const ObjectData *data, ObjectHost *gc);

  private:
    void takeRecord(const ObjectData &data);
};
