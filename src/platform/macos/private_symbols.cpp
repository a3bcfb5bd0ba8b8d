#include "platform/macos/private_symbols.h"

#include <dlfcn.h>

namespace velmora::macos {

PrivateSymbols::PrivateSymbols(const std::string& path, LineLog& log)
    // Lazy binding: the library's own dependencies are resolved only as its functions run.
    : library_(dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL)), log_(log) {}

PrivateSymbols::~PrivateSymbols() {
  if (library_) dlclose(library_);
}

void* PrivateSymbols::lookup(const std::string& name) {
  void* address = library_ ? dlsym(library_, name.c_str()) : nullptr;
  if (!address && reported_.insert(name).second) {
    log_.write(name + " is not available on this macOS");
  }
  return address;
}

}  // namespace velmora::macos
