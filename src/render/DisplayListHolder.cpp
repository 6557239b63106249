#include "render/DisplayListHolder.h"

#include "render/BareFileName.h"

#include <GL/gl.h>

unsigned int DisplayListHolder::generateDisplayListId(const std::string &name) {
    if (Contains(name))
        return 0;
    const unsigned int list = glGenLists(1);
    lists[bareFileName(name)] = list;
    return list;
}
