#include "platform/macos/http_client.h"

#import <Foundation/Foundation.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>

#include "platform/macos/cf_value.h"

namespace velmora::macos {

namespace {

struct Pending {
  platform::HttpBodySink sink;
  std::function<void(const platform::HttpResponse&)> done;
  bool stoppedBySink = false;
};

NSString* _Nullable nsString(const std::string& text) {
  return (__bridge_transfer NSString*)cfString(text).release();
}

int statusOf(NSURLResponse* _Nullable response) {
  if (![response isKindOfClass:[NSHTTPURLResponse class]]) return 0;
  return static_cast<int>(((NSHTTPURLResponse*)response).statusCode);
}

}  // namespace

// What the delegate's queue and the main thread share; the delegate's callbacks arrive one at
// a time on the session's serial delegate queue.
struct MacHttpClient::Impl {
  explicit Impl(MainLoop& loop) : loop(loop) {}
  MainLoop& loop;
  std::mutex mutex;
  std::condition_variable idle;
  std::map<NSUInteger, Pending> pending;
  NSURLSession* _Nullable session = nil;
};

}  // namespace velmora::macos

@interface VelmoraHTTPDelegate : NSObject <NSURLSessionDataDelegate>
- (instancetype)initWithClient:(velmora::macos::MacHttpClient::Impl*)client;
@end

@implementation VelmoraHTTPDelegate {
  velmora::macos::MacHttpClient::Impl* _client;
}

- (instancetype)initWithClient:(velmora::macos::MacHttpClient::Impl*)client {
  self = [super init];
  _client = client;
  return self;
}

- (void)URLSession:(NSURLSession*)session
          dataTask:(NSURLSessionDataTask*)dataTask
    didReceiveData:(NSData*)data {
  velmora::platform::HttpBodySink sink;
  {
    std::lock_guard lock(_client->mutex);
    auto it = _client->pending.find(dataTask.taskIdentifier);
    if (it == _client->pending.end() || it->second.stoppedBySink) return;
    sink = it->second.sink;
  }
  std::string_view bytes(static_cast<const char*>(data.bytes), data.length);
  if (!sink || sink(velmora::macos::statusOf(dataTask.response), bytes)) return;
  {
    std::lock_guard lock(_client->mutex);
    _client->pending[dataTask.taskIdentifier].stoppedBySink = true;
  }
  [dataTask cancel];
}

- (void)URLSession:(NSURLSession*)session
                    task:(NSURLSessionTask*)task
    didCompleteWithError:(NSError*)error {
  velmora::macos::Pending finished;
  {
    std::lock_guard lock(_client->mutex);
    auto it = _client->pending.find(task.taskIdentifier);
    if (it == _client->pending.end()) return;
    finished = std::move(it->second);
    _client->pending.erase(it);
  }
  velmora::platform::HttpResponse response;
  response.status = velmora::macos::statusOf(task.response);
  response.isHTTP = response.status > 0;
  response.stoppedBySink = finished.stoppedBySink;
  if (error && !finished.stoppedBySink) {
    response.transportError =
        velmora::macos::stdStringOr((__bridge CFStringRef)error.localizedDescription);
  }
  finished.sink = nullptr;
  _client->loop.postFromAnyThread([done = std::move(finished.done), response] {
    if (done) done(response);
  });
  _client->idle.notify_all();
}

@end

namespace velmora::macos {

MacHttpClient::MacHttpClient(MainLoop& loop) : impl_(std::make_unique<Impl>(loop)) {
  NSURLSessionConfiguration* configuration =
      NSURLSessionConfiguration.ephemeralSessionConfiguration;
  configuration.requestCachePolicy = NSURLRequestReloadIgnoringLocalCacheData;
  impl_->session = [NSURLSession
      sessionWithConfiguration:configuration
                      delegate:[[VelmoraHTTPDelegate alloc] initWithClient:impl_.get()]
                 delegateQueue:nil];
}

MacHttpClient::~MacHttpClient() {
  [impl_->session invalidateAndCancel];
  waitUntilIdle();
}

void MacHttpClient::get(platform::HttpRequest request, platform::HttpBodySink sink,
                        std::function<void(const platform::HttpResponse&)> done) {
  NSString* text = nsString(request.url);
  NSURL* url = text ? [NSURL URLWithString:text] : nil;
  if (!url) {
    platform::HttpResponse response;
    response.transportError = "unsupported URL";
    impl_->loop.post([done = std::move(done), response] {
      if (done) done(response);
    });
    return;
  }
  NSMutableURLRequest* ask = [NSMutableURLRequest
       requestWithURL:url
          cachePolicy:request.ignoreCache ? NSURLRequestReloadIgnoringLocalCacheData
                                          : NSURLRequestUseProtocolCachePolicy
      timeoutInterval:request.timeout];
  for (const auto& [name, value] : request.headers) {
    NSString* field = nsString(name);
    if (field) [ask setValue:nsString(value) forHTTPHeaderField:field];
  }
  NSURLSessionDataTask* task = [impl_->session dataTaskWithRequest:ask];
  {
    std::lock_guard lock(impl_->mutex);
    impl_->pending[task.taskIdentifier] = Pending{std::move(sink), std::move(done)};
  }
  [task resume];
}

void MacHttpClient::waitUntilIdle() {
  std::unique_lock lock(impl_->mutex);
  impl_->idle.wait(lock, [this] { return impl_->pending.empty(); });
}

}  // namespace velmora::macos
