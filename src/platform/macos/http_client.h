#pragma once
// HTTP through the system's URL loading: one NSURLSession whose data tasks report to a
// delegate on a queue of their own; endings are posted to the main loop.

#include <memory>

#include "core/main_loop.h"
#include "platform/http_client.h"

namespace velmora::macos {

class MacHttpClient final : public platform::HttpClient {
 public:
  explicit MacHttpClient(MainLoop& loop);
  // invalidateAndCancel, then waits for the tasks' endings.
  ~MacHttpClient() override;

  // NSMutableURLRequest (cache policy, timeoutInterval, header fields) and dataTaskWithRequest:
  // resumed; the delegate's didReceiveData: feeds the sink (cancel when it answers false) and
  // didCompleteWithError: the ending.
  void get(platform::HttpRequest request, platform::HttpBodySink sink,
           std::function<void(const platform::HttpResponse&)> done) override;
  void waitUntilIdle() override;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace velmora::macos
