// The HTTP client the virtual Mac uses, against a server on 127.0.0.1: what it asks for, how
// the body streams and stops, and that endings arrive only through the main loop.
#include "platform/linux/curl_http_client.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <thread>

#include "core/virtual_loop.h"

namespace velmora::linuxhost {
namespace {

class CurlHttpClientTest : public ::testing::Test {
 protected:
  CurlHttpClientTest() {
    server.Get("/echo", [this](const httplib::Request& request, httplib::Response& response) {
      accept = request.get_header_value("Accept");
      cacheControl = request.get_header_value("Cache-Control");
      response.status = 203;
      response.set_content(std::string(200000, 'e'), "text/plain");
    });
    server.Get("/loop", [](const httplib::Request&, httplib::Response& response) {
      response.set_redirect("/loop");
    });
    serving = std::thread([this] { server.listen_after_bind(); });
  }
  ~CurlHttpClientTest() override {
    server.stop();
    serving.join();
  }
  // Runs a GET to the end; the sink stops after `stopAfter` bytes.
  platform::HttpResponse get(const std::string& path, std::size_t stopAfter = SIZE_MAX) {
    std::optional<platform::HttpResponse> ending;
    received = 0;
    http.get(
        {base + path, {{"Accept", "application/json"}}, 15, true},
        [&](int status, std::string_view bytes) {
          statusSeenBySink = status;
          received += bytes.size();
          return received < stopAfter;
        },
        [&](const platform::HttpResponse& response) { ending = response; });
    http.waitUntilIdle();
    EXPECT_FALSE(ending) << "an ending arrived outside the main loop";
    loop.runPending();
    EXPECT_TRUE(ending);
    return ending.value_or(platform::HttpResponse{});
  }

  httplib::Server server;
  int port = server.bind_to_any_port("127.0.0.1");
  std::string base = "http://127.0.0.1:" + std::to_string(port);
  std::thread serving;
  std::string accept, cacheControl;
  std::size_t received = 0;
  int statusSeenBySink = 0;
  VirtualLoop loop;
  CurlHttpClient http{loop};
};

TEST_F(CurlHttpClientTest, AsksWithItsHeadersAndStreamsTheBodyUntilTheSinkStops) {
  platform::HttpResponse whole = get("/echo");
  EXPECT_TRUE(whole.isHTTP);
  EXPECT_EQ(whole.status, 203);
  EXPECT_EQ(statusSeenBySink, 203);
  EXPECT_EQ(received, 200000u);
  EXPECT_FALSE(whole.transportError);
  EXPECT_EQ(accept, "application/json");
  EXPECT_EQ(cacheControl, "no-cache");

  platform::HttpResponse stopped = get("/echo", 1);
  EXPECT_TRUE(stopped.stoppedBySink);
  EXPECT_FALSE(stopped.transportError);
  EXPECT_LT(received, 200000u);
}

TEST_F(CurlHttpClientTest, TransportFailuresComeBackAsTheLibrarysDescription) {
  EXPECT_EQ(get("/loop").transportError, "Number of redirects hit maximum amount");
  server.stop();
  serving.join();
  serving = std::thread([] {});
  platform::HttpResponse refused = get("/echo");
  EXPECT_FALSE(refused.isHTTP);
  EXPECT_EQ(refused.transportError, "Couldn't connect to server");
}

}  // namespace
}  // namespace velmora::linuxhost
