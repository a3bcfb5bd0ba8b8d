#include "platform/macos/system_log.h"

#import <Foundation/Foundation.h>

namespace velmora::macos {

void logToSystem(const std::string& line) {
  // NSLog writes to the unified log (and to standard error when run from a terminal).
  NSLog(@"Velmora: %s", line.c_str());
}

}  // namespace velmora::macos
