// The updater's heavy paths: an image's bytes arriving over loopback HTTP through the client
// the virtual Mac uses, and the SHA-256 verification of a 20 MB image.
#include <benchmark/benchmark.h>
#include <httplib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "core/virtual_loop.h"
#include "platform/linux/curl_http_client.h"
#include "updates/updates.h"

namespace {

constexpr std::size_t kImageBytes = 20u << 20;

const std::string& imageBytes() {
  static const std::string bytes = [] {
    std::string b(kImageBytes, '\0');
    for (std::size_t i = 0; i < b.size(); ++i) b[i] = static_cast<char>((i * 2654435761u) >> 13);
    return b;
  }();
  return bytes;
}

void BM_LoopbackDownload20MB(benchmark::State& state) {
  httplib::Server server;
  server.Get("/image.dmg", [](const httplib::Request&, httplib::Response& response) {
    response.set_content(imageBytes(), "application/octet-stream");
  });
  int port = server.bind_to_any_port("127.0.0.1");
  std::thread serving([&] { server.listen_after_bind(); });
  velmora::VirtualLoop loop;
  velmora::linuxhost::CurlHttpClient http(loop);
  std::string url = "http://127.0.0.1:" + std::to_string(port) + "/image.dmg";
  for (auto _ : state) {
    std::size_t received = 0;
    bool finished = false;
    http.get(
        {url},
        [&](int, std::string_view bytes) {
          received += bytes.size();
          return true;
        },
        [&](const velmora::platform::HttpResponse&) { finished = true; });
    http.waitUntilIdle();
    loop.runPending();
    if (!finished || received != kImageBytes) state.SkipWithError("the download did not arrive");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kImageBytes));
  server.stop();
  serving.join();
}
BENCHMARK(BM_LoopbackDownload20MB)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_VerifySHA256Of20MBImage(benchmark::State& state) {
  auto file = std::filesystem::temp_directory_path() / "velmora-bench-image.dmg";
  std::ofstream(file, std::ios::binary) << imageBytes();
  for (auto _ : state) {
    auto digest = velmora::sha256Of(file);
    benchmark::DoNotOptimize(digest);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kImageBytes));
  std::filesystem::remove(file);
}
BENCHMARK(BM_VerifySHA256Of20MBImage)->Unit(benchmark::kMillisecond);

}  // namespace
