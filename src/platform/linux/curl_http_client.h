#pragma once
// platform::HttpClient over libcurl, one request at a time on a worker thread of its own. The
// virtual Mac uses it for real, so the updater's tests and scripts talk HTTP to a server on the
// loopback interface.

#include <memory>

#include "core/main_loop.h"
#include "platform/http_client.h"
#include "platform/linux/thread_work_queues.h"

namespace velmora::linuxhost {

class CurlHttpClient final : public platform::HttpClient {
 public:
  // Endings are posted to `loop`. Every time-out is multiplied by `timeScale`: the virtual Mac
  // runs its network faster than the wall clock, so a stalled server costs a script a second
  // or two rather than the full quarter minute.
  explicit CurlHttpClient(MainLoop& loop, double timeScale = 1.0);
  ~CurlHttpClient() override;

  void get(platform::HttpRequest request, platform::HttpBodySink sink,
           std::function<void(const platform::HttpResponse&)> done) override;
  void waitUntilIdle() override { worker_.waitUntilIdle(); }

 private:
  MainLoop& loop_;
  double timeScale_;
  ThreadWorkQueue worker_{"app.velmora.http"};
};

}  // namespace velmora::linuxhost
