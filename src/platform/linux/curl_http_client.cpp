#include "platform/linux/curl_http_client.h"

#include <curl/curl.h>

#include <chrono>
#include <mutex>

namespace velmora::linuxhost {

namespace {

using Clock = std::chrono::steady_clock;

// What one transfer's callbacks share.
struct Transfer {
  CURL* curl = nullptr;
  platform::HttpBodySink* sink = nullptr;
  bool stoppedBySink = false;
  double idleLimit = 60;
  Clock::time_point lastByte = Clock::now();
  bool timedOut = false;
};

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* user) {
  auto& transfer = *static_cast<Transfer*>(user);
  std::size_t length = size * count;
  transfer.lastByte = Clock::now();
  long status = 0;
  curl_easy_getinfo(transfer.curl, CURLINFO_RESPONSE_CODE, &status);
  if (*transfer.sink && !(*transfer.sink)(static_cast<int>(status), {data, length})) {
    transfer.stoppedBySink = true;
    return 0;  // anything but `length` makes libcurl stop with a write error
  }
  return length;
}

// URLRequest's time-out counts the time since the last byte, not the whole transfer: a large
// download on a slow line is fine as long as it moves.
int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  auto& transfer = *static_cast<Transfer*>(user);
  std::chrono::duration<double> idle = Clock::now() - transfer.lastByte;
  if (idle.count() > transfer.idleLimit) {
    transfer.timedOut = true;
    return 1;
  }
  return 0;
}

platform::HttpResponse perform(const platform::HttpRequest& request, platform::HttpBodySink& sink,
                               double timeScale) {
  static std::once_flag globalInit;
  std::call_once(globalInit, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

  platform::HttpResponse response;
  CURL* curl = curl_easy_init();
  if (!curl) {
    response.transportError = curl_easy_strerror(CURLE_FAILED_INIT);
    return response;
  }
  Transfer transfer{curl, &sink};
  transfer.idleLimit = request.timeout * timeScale;

  curl_slist* headers = nullptr;
  for (const auto& [name, value] : request.headers) {
    headers = curl_slist_append(headers, (name + ": " + value).c_str());
  }
  if (request.ignoreCache) headers = curl_slist_append(headers, "Cache-Control: no-cache");

  curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 16L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS,
                   static_cast<long>(transfer.idleLimit * 1000) + 1);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, onBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, onProgress);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);

  CURLcode code = curl_easy_perform(curl);
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  response.status = static_cast<int>(status);
  response.isHTTP = status > 0;
  response.stoppedBySink = transfer.stoppedBySink;
  if (transfer.timedOut) {
    response.transportError = curl_easy_strerror(CURLE_OPERATION_TIMEDOUT);
  } else if (code != CURLE_OK && !transfer.stoppedBySink) {
    response.transportError = curl_easy_strerror(code);
  }
  curl_slist_free_all(headers);
  curl_easy_cleanup(curl);
  return response;
}

}  // namespace

CurlHttpClient::CurlHttpClient(MainLoop& loop, double timeScale)
    : loop_(loop), timeScale_(timeScale) {}

CurlHttpClient::~CurlHttpClient() = default;

void CurlHttpClient::get(platform::HttpRequest request, platform::HttpBodySink sink,
                         std::function<void(const platform::HttpResponse&)> done) {
  worker_.async([this, request = std::move(request), sink = std::move(sink),
                 done = std::move(done)]() mutable {
    platform::HttpResponse response = perform(request, sink, timeScale_);
    // The sink may hold what its owner needs on the main thread; let it go here, first.
    sink = nullptr;
    loop_.postFromAnyThread([done = std::move(done), response] {
      if (done) done(response);
    });
  });
}

}  // namespace velmora::linuxhost
