#pragma once
// One line at a time into a log. The log files implement it; tests and tools that show
// lines keep them in memory.

#include <string>
#include <vector>

namespace velmora {

class LineLog {
 public:
  virtual ~LineLog() = default;
  virtual void write(const std::string& line) = 0;
};

class MemoryLog final : public LineLog {
 public:
  void write(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

}  // namespace velmora
