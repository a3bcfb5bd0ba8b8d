#include "platform/macos/login_items.h"

#import <Foundation/Foundation.h>
#import <ServiceManagement/ServiceManagement.h>

#include "platform/macos/cf_value.h"

namespace velmora::macos {

namespace {

Result<void> answer(BOOL done, NSError* _Nullable error, const char* fallback) {
  if (done) return {};
  // An NSError is a CFError; its description is the localizedDescription.
  return Failure{describe((__bridge CFErrorRef)error, fallback)};
}

}  // namespace

std::int64_t MacLoginItems::mainAppStatus() {
  return SMAppService.mainAppService.status;
}

Result<void> MacLoginItems::registerMainApp() {
  NSError* error = nil;
  BOOL done = [SMAppService.mainAppService registerAndReturnError:&error];
  return answer(done, error, "The system did not add Velmora to the login items.");
}

Result<void> MacLoginItems::unregisterMainApp() {
  NSError* error = nil;
  BOOL done = [SMAppService.mainAppService unregisterAndReturnError:&error];
  return answer(done, error, "The system did not remove Velmora from the login items.");
}

}  // namespace velmora::macos
