#include "render/DisplayListHolder.h"

#include "render/BareFileName.h"

#include <GL/gl.h>

unsigned int DisplayListHolder::generateDisplayListId(const std::string &name) {
    const std::string key = bareFileName(name);
    if (lists.count(key) != 0)
        return 0;
    const unsigned int list = glGenLists(1);
    lists[key] = list;
    return list;
}

bool DisplayListHolder::Contains(const std::string &name) const {
    return lists.count(bareFileName(name)) != 0;
}

unsigned int DisplayListHolder::getDisplayListIDByString(const std::string &name) {
    return lists[bareFileName(name)];
}
