#pragma once
// Plain HTTP GETs for the update check and the image download (URLSession on a Mac, libcurl on
// Linux). The body streams into a sink on the client's own thread as it arrives, so a download
// can be written to disk and stopped early without the main thread seeing every byte; how the
// request ended comes back on the main loop.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora::platform {

struct HttpRequest {
  std::string url;
  std::vector<std::pair<std::string, std::string>> headers;
  // Seconds without a byte before the request gives up (URLRequest.timeoutInterval).
  double timeout = 60;
  // Always ask the server, never a local cache (.reloadIgnoringLocalCacheData).
  bool ignoreCache = true;
};

struct HttpResponse {
  // False when no HTTP response arrived (a transport error) or the answer was not HTTP.
  bool isHTTP = false;
  int status = 0;
  // The system's description of a transport error (NSError.localizedDescription, or
  // curl_easy_strerror); none when the exchange completed or the sink stopped it.
  std::optional<std::string> transportError;
  // The sink answered false and the transfer was stopped there.
  bool stoppedBySink = false;
};

// One piece of the body, with the status of the response it belongs to. Runs on the client's
// thread, never on the main thread; answering false stops the transfer.
using HttpBodySink = std::function<bool(int status, std::string_view bytes)>;

class HttpClient {
 public:
  virtual ~HttpClient() = default;
  // Starts a GET (dataTask(with:) with a delegate). `sink` hears the body as it arrives;
  // `done` hears how it ended, on the main loop, after the last piece.
  virtual void get(HttpRequest request, HttpBodySink sink,
                   std::function<void(const HttpResponse&)> done) = 0;
  // Blocks until every request started so far has handed its ending to the main loop. For
  // tests, scripts and orderly shutdown.
  virtual void waitUntilIdle() = 0;
};

}  // namespace velmora::platform
