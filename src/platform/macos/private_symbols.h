#pragma once
// Functions of a library Velmora may not link against (a private framework whose functions
// come and go between macOS releases), found by name at run time. A missing library or
// function is not fatal: its lookup answers null, and the caller falls back to what the
// platform answers on failure. Each missing name is logged once, so the log says which call
// this macOS lacks without repeating it.
//
// Only POSIX (dlopen, dlsym), so the same code also runs in the Linux tests.

#include <set>
#include <string>

#include "core/line_log.h"

namespace velmora::macos {

class PrivateSymbols {
 public:
  // Opens the library at `path`; a library that cannot be opened leaves every lookup null.
  PrivateSymbols(const std::string& path, LineLog& log);
  // Closes the library: what lookup answered is not to be called after this.
  ~PrivateSymbols();
  PrivateSymbols(const PrivateSymbols&) = delete;
  PrivateSymbols& operator=(const PrivateSymbols&) = delete;

  // The function's address, or null (logged as "<name> is not available on this macOS" the
  // first time). Not thread-safe: look everything up once, at start-up.
  void* lookup(const std::string& name);

 private:
  void* library_ = nullptr;
  LineLog& log_;
  std::set<std::string> reported_;
};

}  // namespace velmora::macos
