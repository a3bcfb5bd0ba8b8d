#pragma once
// The update site of a command-line session: an HTTP server on the loopback interface that
// serves a feed and a signed image of whichever version the script publishes, and misbehaves
// on request the ways a real site can (a missing file, wrong bytes, a stall, a redirect loop).

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "core/result.h"
#include "platform/sim/signed_images.h"

namespace httplib {
class Server;
}

namespace velmora::cli {

class UpdateServer {
 public:
  enum class Fault {
    none,
    notFound,      // the image answers 404
    oneByteMore,   // the image arrives with one byte more than announced
    otherBytes,    // the image's bytes differ from the announced hash
    stall,         // half the image, then nothing until the client gives up
    closeMidBody,  // half the image, then the connection closes
    redirectLoop,  // the image redirects to itself forever
  };

  // Starts listening on 127.0.0.1 on a free port; images are built in `folder`.
  explicit UpdateServer(std::filesystem::path folder);
  ~UpdateServer();
  UpdateServer(const UpdateServer&) = delete;
  UpdateServer& operator=(const UpdateServer&) = delete;

  bool listening() const { return port_ > 0; }
  std::string baseURL() const { return "http://127.0.0.1:" + std::to_string(port_); }
  std::string feedURL() const { return baseURL() + "/update.json"; }

  // Builds a signed image for the recipe and serves it with its feed.
  Result<sim::PublishedImage> publish(const sim::ImageRecipe& recipe);
  // Serves this text as the feed instead.
  void setFeedText(std::string text);
  void setFault(Fault fault) { fault_ = fault; }
  // Bytes of the image sent by the last request for it.
  std::int64_t imageBytesSent() const { return sent_; }

 private:
  std::filesystem::path folder_;
  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
  int port_ = 0;
  mutable std::mutex mutex_;
  std::string feed_;
  std::string image_;  // bytes of the published image
  std::string imageName_;
  std::atomic<Fault> fault_{Fault::none};
  std::atomic<std::int64_t> sent_{0};
  std::atomic<bool> stopping_{false};
};

}  // namespace velmora::cli
