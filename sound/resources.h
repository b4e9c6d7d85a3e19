// Data carried inside the program: the tunes, by type and name.
#pragma once

#include <string>
#include <vector>

namespace kelvara {

struct Resource {
  std::string type;
  std::string name;
  std::string bytes;
};

const std::vector<Resource>& BuiltInResources();

// Exact type and name, as the resource compiler stored them; false when there is none.
inline bool FindResource(const std::string& type, const std::string& name, std::string& bytes) {
  for (const Resource& r : BuiltInResources()) {
    if (r.type == type && r.name == name) {
      bytes = r.bytes;
      return true;
    }
  }
  return false;
}

}  // namespace kelvara
