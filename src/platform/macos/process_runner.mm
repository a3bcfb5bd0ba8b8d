#include "platform/macos/process_runner.h"

#import <Foundation/Foundation.h>

#include "platform/macos/cf_value.h"

namespace velmora::macos {

namespace {

NSString* _Nullable nsString(const std::string& text) {
  return (__bridge_transfer NSString*)cfString(text).release();
}

// A task for the executable and its arguments; nil, with the reason, when one of them is not
// text the system can take.
NSTask* _Nullable makeTask(const std::string& executable, const std::vector<std::string>& arguments,
                           std::string& whyNot) {
  NSString* path = nsString(executable);
  NSMutableArray<NSString*>* words = [NSMutableArray arrayWithCapacity:arguments.size()];
  for (const std::string& argument : arguments) {
    if (NSString* word = nsString(argument)) [words addObject:word];
  }
  if (!path || words.count != arguments.size()) {
    whyNot = "The command for " + executable + " is not valid UTF-8 text.";
    return nil;
  }
  NSTask* task = [[NSTask alloc] init];
  task.executableURL = [NSURL fileURLWithPath:path];
  task.arguments = words;
  return task;
}

std::string launchFailure(NSError* _Nullable error, const std::string& executable) {
  return describe((__bridge CFErrorRef)error, executable + " could not be started.");
}

}  // namespace

platform::ProcessResult MacProcessRunner::run(const std::string& executable,
                                              const std::vector<std::string>& arguments) {
  platform::ProcessResult result;
  NSTask* task = makeTask(executable, arguments, result.launchError);
  if (!task) return result;
  NSPipe* errors = [NSPipe pipe];
  task.standardOutput = NSFileHandle.fileHandleWithNullDevice;
  task.standardError = errors;
  NSError* error = nil;
  if (![task launchAndReturnError:&error]) {
    result.launchError = launchFailure(error, executable);
    return result;
  }
  result.launched = true;
  // Read before waiting: a tool that fills the pipe would otherwise wait on us forever.
  NSData* bytes = [errors.fileHandleForReading readDataToEndOfFileAndReturnError:nil];
  [task waitUntilExit];
  result.exitStatus = task.terminationStatus;
  if (bytes.length > 0) {
    result.standardError.assign(static_cast<const char*>(bytes.bytes), bytes.length);
  }
  return result;
}

platform::ProcessStart MacProcessRunner::start(const std::string& executable,
                                               const std::vector<std::string>& arguments) {
  platform::ProcessStart result;
  NSTask* task = makeTask(executable, arguments, result.launchError);
  if (!task) return result;
  NSError* error = nil;
  result.launched = [task launchAndReturnError:&error];
  if (!result.launched) result.launchError = launchFailure(error, executable);
  return result;
}

}  // namespace velmora::macos
