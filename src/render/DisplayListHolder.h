#pragma once

#include <map>
#include <string>

// The compiled display lists of the models, one per bare model name. The
// caller compiles the list right after asking for a new id. Every method takes
// a name by its bare file name (BareFileName.h), so "data/model/tank1.md2"
// and "tank1.md2" find the same list.
class DisplayListHolder {
  public:
    // A new list name registered under the bare name of `name`, or 0 when
    // that bare name is registered already.
    unsigned int generateDisplayListId(const std::string &name);
    bool Contains(const std::string &name) const;
    // The list of `name`; an unknown name is registered with 0.
    unsigned int getDisplayListIDByString(const std::string &name);
    std::size_t size() const { return lists.size(); }

  private:
    std::map<std::string, unsigned int> lists; // bare model name -> GL list name
};
