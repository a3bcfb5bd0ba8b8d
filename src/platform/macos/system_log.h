#pragma once
// The system log (the unified log, which Console shows), for the few things that happen
// before Velmora's own log files exist or outside them: each line goes out prefixed
// "Velmora: ".

#include <string>

#include "core/line_log.h"

namespace velmora::macos {

// Safe from any thread.
void logToSystem(const std::string& line);

class SystemLog final : public LineLog {
 public:
  void write(const std::string& line) override { logToSystem(line); }
};

}  // namespace velmora::macos
