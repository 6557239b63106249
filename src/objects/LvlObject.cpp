#include "objects/LvlObject.h"

#include "objects/ObjectHost.h"
#include "level/ObjectData.h"

LvlObject::LvlObject(const ObjectData *data) {
    if (data != nullptr) {
        takeRecord(*data);
    }
}

LvlObject::LvlObject(const ObjectData *data, ObjectHost *gc) {
    setGameClass(gc);
    if (data == nullptr) {
        return;
    }
    setPos(data->getPos());
    storeRotY(data->getRotation());
    Modell *modell = getModell();
    modell->setModel(gc != nullptr ? gc->getModell(data->getModel()) : nullptr);
    modell->calcBorder();
    modell->setScale(data->getSize());
    const float *colour = data->getColor();
    modell->setFactors(colour[0], colour[1], colour[2]);
    takeRecord(*data);
}

void LvlObject::takeRecord(const ObjectData &data) {
    setPos(data.getPos());
    setObjectName(data.getName());
    setLighsource(data.isLightsource());
    setCollision(data.isCollision());
    setDestroyable(data.isDestroyable());
    setThrowsShadow(data.isThrowsShadow());
}
