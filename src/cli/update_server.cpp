#include "cli/update_server.h"

#include <httplib.h>

#include <chrono>
#include <fstream>
#include <iterator>

namespace velmora::cli {

namespace fs = std::filesystem;

UpdateServer::UpdateServer(fs::path folder)
    : folder_(std::move(folder)), server_(std::make_unique<httplib::Server>()) {
  std::error_code ignored;
  fs::create_directories(folder_, ignored);
  server_->Get("/update.json", [this](const httplib::Request&, httplib::Response& response) {
    std::lock_guard lock(mutex_);
    if (feed_.empty()) {
      response.status = 404;
      return;
    }
    response.set_content(feed_, "application/json");
  });
  server_->Get("/notes/.*", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("<p>What is new.</p>", "text/html");
  });
  server_->Get("/images/.*", [this](const httplib::Request& request, httplib::Response& response) {
    std::string bytes;
    {
      std::lock_guard lock(mutex_);
      if (request.path != "/images/" + imageName_) {
        response.status = 404;
        return;
      }
      bytes = image_;
    }
    sent_ = 0;
    Fault fault = fault_;
    if (fault == Fault::notFound) {
      response.status = 404;
      return;
    }
    if (fault == Fault::redirectLoop) {
      response.set_redirect(request.path);
      return;
    }
    if (fault == Fault::oneByteMore) bytes += '\0';
    if (fault == Fault::otherBytes && !bytes.empty()) bytes[bytes.size() / 2] ^= 0x5A;
    auto bodyEnd = static_cast<std::size_t>(
        fault == Fault::stall || fault == Fault::closeMidBody ? bytes.size() / 2 : bytes.size());
    // Sent in pieces, so the client sees the body arrive over time as from a real site.
    std::size_t length = bytes.size();
    response.set_content_provider(
        length, "application/octet-stream",
        [this, bytes = std::move(bytes), bodyEnd, fault](std::size_t offset, std::size_t,
                                                         httplib::DataSink& sink) {
          if (offset >= bodyEnd) {
            if (fault == Fault::closeMidBody) return false;
            // A stalled site: nothing more until the client hangs up or we stop.
            auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (!stopping_ && sink.is_writable() && std::chrono::steady_clock::now() < until) {
              std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            return false;
          }
          std::size_t piece = std::min<std::size_t>(16384, bodyEnd - offset);
          if (!sink.write(bytes.data() + offset, piece)) return false;
          sent_ += static_cast<std::int64_t>(piece);
          return true;
        });
  });
  port_ = server_->bind_to_any_port("127.0.0.1");
  if (port_ > 0) thread_ = std::thread([this] { server_->listen_after_bind(); });
}

UpdateServer::~UpdateServer() {
  stopping_ = true;
  server_->stop();
  if (thread_.joinable()) thread_.join();
}

Result<sim::PublishedImage> UpdateServer::publish(const sim::ImageRecipe& recipe) {
  fs::path work = folder_ / ("build-" + recipe.version);
  std::string name = "Velmora-" + recipe.version + ".dmg";
  auto published = sim::publishImage(recipe, work, folder_ / name);
  if (!published) return published;
  std::ifstream in(published->image, std::ios::binary);
  std::string bytes{std::istreambuf_iterator<char>(in), {}};
  std::lock_guard lock(mutex_);
  image_ = std::move(bytes);
  imageName_ = name;
  feed_ = sim::feedDocument(recipe.version, *published, baseURL() + "/images/" + name,
                            baseURL() + "/notes/" + recipe.version);
  return published;
}

void UpdateServer::setFeedText(std::string text) {
  std::lock_guard lock(mutex_);
  feed_ = std::move(text);
}

}  // namespace velmora::cli
