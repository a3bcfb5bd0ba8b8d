#include "platform/macos/files.h"

#import <Foundation/Foundation.h>

#include "platform/macos/cf_value.h"

namespace velmora::macos {

namespace fs = std::filesystem;

namespace {

NSString* _Nullable nsPath(const fs::path& path) {
  return (__bridge_transfer NSString*)cfString(path.string()).release();
}

NSURL* _Nullable fileURL(const fs::path& path) {
  NSString* text = nsPath(path);
  return text ? [NSURL fileURLWithPath:text] : nil;
}

Result<void> answer(BOOL done, NSError* _Nullable error, const std::string& fallback) {
  if (done) return {};
  // An NSError is a CFError; its description is the localizedDescription.
  return Failure{describe((__bridge CFErrorRef)error, fallback)};
}

std::string trimmed(const std::string& text) {
  constexpr const char* kSpace = " \t\r\n";
  std::size_t first = text.find_first_not_of(kSpace);
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

std::string notAPath(const fs::path& path) {
  return path.string() + " is not a path the system can read (not valid UTF-8).";
}

}  // namespace

fs::path MacFiles::localApplicationsFolder() {
  NSArray<NSURL*>* folders = [NSFileManager.defaultManager URLsForDirectory:NSApplicationDirectory
                                                                  inDomains:NSLocalDomainMask];
  // The system always names one; the usual place stands in should it ever not.
  std::string path = stdStringOr((__bridge CFStringRef)folders.firstObject.path);
  return path.empty() ? fs::path("/Applications") : fs::path(path);
}

bool MacFiles::exists(const fs::path& path) {
  NSString* text = nsPath(path);
  return text && [NSFileManager.defaultManager fileExistsAtPath:text];
}

bool MacFiles::isWritableFolder(const fs::path& path) {
  NSString* text = nsPath(path);
  if (!text) return false;
  NSFileManager* manager = NSFileManager.defaultManager;
  BOOL folder = NO;
  return [manager fileExistsAtPath:text isDirectory:&folder] && folder &&
         [manager isWritableFileAtPath:text];
}

Result<void> MacFiles::copyBundle(const fs::path& from, const fs::path& to) {
  platform::ProcessResult ditto = processes_.run("/usr/bin/ditto", {from.string(), to.string()});
  if (!ditto.launched) return Failure{ditto.launchError};
  if (ditto.exitStatus == 0) return {};
  std::string why = trimmed(ditto.standardError);
  if (why.empty()) why = "ditto stopped with status " + std::to_string(ditto.exitStatus) + ".";
  return Failure{why};
}

Result<void> MacFiles::moveItem(const fs::path& from, const fs::path& to) {
  NSURL* source = fileURL(from);
  NSURL* destination = fileURL(to);
  if (!source) return Failure{notAPath(from)};
  if (!destination) return Failure{notAPath(to)};
  NSError* error = nil;
  BOOL done = [NSFileManager.defaultManager moveItemAtURL:source toURL:destination error:&error];
  return answer(done, error, from.string() + " could not be moved to " + to.string() + ".");
}

Result<void> MacFiles::removeItem(const fs::path& path) {
  NSURL* item = fileURL(path);
  if (!item) return Failure{notAPath(path)};
  NSError* error = nil;
  BOOL done = [NSFileManager.defaultManager removeItemAtURL:item error:&error];
  return answer(done, error, path.string() + " could not be removed.");
}

Result<void> MacFiles::writeAtomically(const fs::path& path, const std::string& bytes) {
  NSURL* destination = fileURL(path);
  if (!destination) return Failure{notAPath(path)};
  NSData* data = [NSData dataWithBytes:bytes.data() length:bytes.size()];
  NSError* error = nil;
  BOOL done = [data writeToURL:destination options:NSDataWritingAtomic error:&error];
  return answer(done, error, path.string() + " could not be written.");
}

}  // namespace velmora::macos
