#include "updates/updates.h"

#include <openssl/evp.h>

#include <array>
#include <fstream>
#include <system_error>

#include "updates/install_location.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

constexpr const char* kHdiutil = "/usr/bin/hdiutil";

// The one requirement an installed copy must meet: Apple's chain, a Developer ID application
// certificate, and our team.
std::string signingRequirement() {
  return std::string(
             "anchor apple generic and certificate 1[field.1.2.840.113635.100.6.2.6] and "
             "certificate leaf[field.1.2.840.113635.100.6.1.13] and certificate "
             "leaf[subject.OU] = \"") +
         Updates::kTeam + "\"";
}

std::string trimmed(const std::string& text) {
  auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

// A tool run as the installer runs it: a failure to start or a non-zero exit is the label and
// what the system or the tool said.
Result<void> runTool(platform::ProcessRunner& runner, const std::vector<std::string>& arguments,
                     const std::string& label) {
  platform::ProcessResult result = runner.run(kHdiutil, arguments);
  if (!result.launched) return Failure{label + ": " + result.launchError};
  if (result.exitStatus != 0) return Failure{label + ": " + trimmed(result.standardError)};
  return {};
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  if (auto at = text.find(from); at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

}  // namespace

std::optional<std::string> sha256Of(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(),
                                                                  EVP_MD_CTX_free);
  if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1) return std::nullopt;
  std::vector<char> buffer(1 << 20);
  while (in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    if (EVP_DigestUpdate(context.get(), buffer.data(), static_cast<std::size_t>(in.gcount())) != 1)
      return std::nullopt;
  }
  if (in.bad()) return std::nullopt;
  std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(context.get(), digest.data(), &length) != 1) return std::nullopt;
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (unsigned int i = 0; i < length; ++i) {
    text += kDigits[digest[i] >> 4];
    text += kDigits[digest[i] & 0x0F];
  }
  return text;
}

namespace {

void removeQuietly(const fs::path& path) {
  std::error_code ignored;
  fs::remove_all(path, ignored);
}

}  // namespace

// What the download shares between the network's thread, the installer's and the main loop.
// The network's thread owns it while the body arrives; afterwards only whoever it is handed to.
struct Updates::Download {
  updates::UpdateFeed feed;
  fs::path file;
  std::ofstream out;
  std::string buffer;
  std::int64_t count = 0;
  double published = 0;
  std::string failure;
  MainLoop* loop = nullptr;
  std::function<void(double)> publish;  // guarded: safe to call after we are gone

  bool writePieces(bool all) {
    while (buffer.size() >= kWritePiece || (all && !buffer.empty())) {
      std::size_t piece = std::min(buffer.size(), kWritePiece);
      out.write(buffer.data(), static_cast<std::streamsize>(piece));
      buffer.erase(0, piece);
    }
    return static_cast<bool>(out);
  }
  // One piece of the body, on the network's thread.
  bool take(int status, std::string_view bytes) {
    if (status != 200) return false;
    if (count + static_cast<std::int64_t>(bytes.size()) > feed.size) {
      failure = "the download is larger than announced";
      return false;
    }
    count += static_cast<std::int64_t>(bytes.size());
    buffer.append(bytes);
    if (!writePieces(false)) {
      failure = "no room for the download";
      return false;
    }
    double fraction = static_cast<double>(count) / static_cast<double>(feed.size);
    if (fraction - published >= 0.05) {
      published = fraction;
      loop->postFromAnyThread([publish = publish, fraction]() mutable { publish(fraction); });
    }
    return true;
  }
};

Updates::Updates(const platform::Platform& platform, Settings& settings, LineLog& log,
                 std::optional<std::string> feedEnvironment)
    : platform_(platform),
      settings_(settings),
      log_(log),
      feed_(updates::feedLocation(feedEnvironment)),
      worker_(platform.workQueues.makeSerialQueue("app.velmora.updates")) {}

Updates::~Updates() {
  timer_.reset();
  worker_.reset();
}

void Updates::start() {
  if (timer_) return;
  updates::InstallLocations locations(platform_.volumes, platform_.files, platform_.home);
  fs::path bundle = platform_.bundle.bundlePath();
  if (locations.canBeReplaced(bundle)) locations.recover(bundle);
  platform_.loop.after(kFirstTick, lifetime_.guard([this] { tick(); }));
  timer_ =
      platform_.loop.repeating(kTickInterval, kTickTolerance, lifetime_.guard([this] { tick(); }));
  changed_.emit();
}

void Updates::tick() {
  if (!settings_.updateCheckEnabled()) return;
  if (platform_.loop.wallNow() - settings_.updateLastChecked() < kCheckEvery) return;
  (void)check();
}

std::string Updates::currentVersion() const {
  Value version = platform_.bundle.infoDictionaryValue("CFBundleShortVersionString");
  const std::string* text = version.asString();
  return text ? *text : "0";
}

std::string Updates::check() {
  if (checking_) return "already checking";
  checking_ = true;
  changed_.emit();
  struct Body {
    std::string bytes;
    bool tooLarge = false;
  };
  auto body = std::make_shared<Body>();
  platform::HttpRequest request{feed_.url, {{"Accept", "application/json"}}, kFeedTimeout, true};
  platform_.http.get(
      std::move(request),
      [body](int, std::string_view bytes) {
        if (body->bytes.size() + bytes.size() > kLargestFeed) {
          body->tooLarge = true;
          return false;
        }
        body->bytes.append(bytes);
        return true;
      },
      lifetime_.guard([this, body](const platform::HttpResponse& response) {
        finishCheck(response, body->bytes, body->tooLarge);
      }));
  return "checking";
}

void Updates::finishCheck(const platform::HttpResponse& response, const std::string& body,
                          bool tooLarge) {
  std::string outcome;
  if (response.transportError) {
    outcome = *response.transportError;
  } else if (!response.isHTTP || response.status != 200) {
    outcome = "the site answered " + std::to_string(response.isHTTP ? response.status : 0);
  } else if (auto feed = tooLarge ? std::nullopt : updates::parseFeed(body, feed_.policy); !feed) {
    outcome = "the version file did not read";
  } else {
    double now = platform_.loop.wallNow();
    lastChecked_ = now;
    settings_.setUpdateLastChecked(now);
    auto current = updates::AppVersion::parse(currentVersion());
    auto offered = updates::AppVersion::parse(feed->version);
    auto lowest = updates::AppVersion::parse(feed->minOS);
    auto system = updates::AppVersion::parse(std::to_string(platform_.systemMajorVersion) + "." +
                                             std::to_string(platform_.systemMinorVersion) + "." +
                                             std::to_string(platform_.systemPatchVersion));
    std::string skipped = settings_.updateSkipped();
    bool newer = current && offered && *current < *offered && feed->version != skipped && lowest &&
                 system && !(*system < *lowest);
    if (!newer) {
      available_.reset();
      outcome = feed->version == skipped ? feed->version + " skipped" : "up to date";
    } else {
      if (available_ != feed) setPhase(UpdatePhase{});
      available_ = *feed;
      outcome = feed->version + " is available";
    }
  }
  log_.write("check: " + outcome);
  lastOutcome_ = outcome;
  checking_ = false;
  changed_.emit();
  if (available_ && outcome == available_->version + " is available" && onAvailable_) {
    onAvailable_(available_->version);
  }
}

void Updates::download() {
  if (!available_ || phase_.kind == UpdatePhase::Kind::downloading ||
      phase_.kind == UpdatePhase::Kind::installing) {
    return;
  }
  auto job = std::make_shared<Download>();
  job->feed = *available_;
  job->loop = &platform_.loop;
  job->publish = lifetime_.guard([this](double fraction) {
    if (phase_.kind != UpdatePhase::Kind::downloading) return;
    setPhase(UpdatePhase{UpdatePhase::Kind::downloading, fraction});
  });
  // A failed download leaves no older image behind to be mistaken for this one.
  fs::path kept = platform_.home.applicationSupport() / "Velmora" / "Updates";
  std::error_code error;
  for (auto it = fs::directory_iterator(kept, error); !error && it != fs::directory_iterator();
       it.increment(error)) {
    removeQuietly(it->path());
  }

  fs::create_directories(platform_.home.temporary(), error);
  job->file = platform_.home.temporary() / ("Velmora-" + updates::freshUUID() + ".dmg");
  job->out.open(job->file, std::ios::binary | std::ios::trunc);
  if (!job->out) return failDownload(job->feed.version, "no room for the download");
  setPhase(UpdatePhase{UpdatePhase::Kind::downloading, 0});

  platform_.http.get(
      platform::HttpRequest{job->feed.dmg, {}, 60, true},
      [job](int status, std::string_view bytes) { return job->take(status, bytes); },
      lifetime_.guard(
          [this, job](const platform::HttpResponse& response) { finishDownload(job, response); }));
}

void Updates::finishDownload(std::shared_ptr<Download> job,
                             const platform::HttpResponse& response) {
  std::string version = job->feed.version;
  std::optional<std::string> failure;
  if (!job->failure.empty()) {
    failure = job->failure;
  } else if (response.transportError) {
    failure = *response.transportError;
  } else if (!response.isHTTP || response.status != 200) {
    failure = "the download answered " + std::to_string(response.isHTTP ? response.status : 0);
  }
  if (failure) {
    job->out.close();
    removeQuietly(job->file);
    return failDownload(version, *failure);
  }
  // Verifying reads the whole image: off the main thread.
  fs::path kept = platform_.home.applicationSupport() / "Velmora" / "Updates";
  auto done = lifetime_.guard([this, version](const Result<fs::path>& verified) {
    if (!verified) return failDownload(version, verified.error());
    setPhase(UpdatePhase{UpdatePhase::Kind::ready, 1, *verified});
    log_.write("downloaded and verified " + verified->filename().string());
  });
  worker_->async([job, kept, done, &loop = platform_.loop] {
    auto verify = [&]() -> Result<fs::path> {
      if (!job->writePieces(true)) return Failure{"no room for the download"};
      job->out.close();
      std::error_code error;
      auto onDisk = fs::file_size(job->file, error);
      std::int64_t actual = error ? -1 : static_cast<std::int64_t>(onDisk);
      if (actual != job->feed.size) {
        return Failure{"the download is " + std::to_string(actual) + " bytes, not " +
                       std::to_string(job->feed.size)};
      }
      if (sha256Of(job->file) != job->feed.sha256) {
        return Failure{"the download's hash is not the announced one"};
      }
      fs::create_directories(kept, error);
      for (auto it = fs::directory_iterator(kept, error); !error && it != fs::directory_iterator();
           it.increment(error)) {
        removeQuietly(it->path());
      }
      fs::path target = kept / ("Velmora-" + job->feed.version + ".dmg");
      fs::rename(job->file, target, error);
      if (error) {
        error.clear();
        fs::copy_file(job->file, target, fs::copy_options::overwrite_existing, error);
        if (error) return Failure{error.message()};
      }
      return target;
    };
    Result<fs::path> verified = verify();
    removeQuietly(job->file);
    loop.postFromAnyThread([done, verified]() mutable { done(verified); });
  });
}

void Updates::failDownload(const std::string& version, const std::string& sentence) {
  setPhase(UpdatePhase{UpdatePhase::Kind::failed, 0, {}, sentence});
  log_.write("download of " + version + " failed: " + sentence);
}

Result<void> checkSignature(platform::CodeSigning& signing, const fs::path& bundle) {
  if (signing.createStaticCode(bundle) != 0) return Failure{"the download is not signed"};
  std::int32_t status = signing.checkValidity(bundle);
  if (status == platform::kErrSecCSUnsigned) return Failure{"the download is not signed"};
  if (status != 0) return Failure{"the download's signature is broken"};
  std::string requirement = signingRequirement();
  if (signing.createRequirement(requirement) != 0) return Failure{"the signing rule did not load"};
  if (signing.checkValidity(bundle, requirement) != 0) {
    return Failure{"the download is signed by someone else"};
  }
  return {};
}

Result<void> installFromImage(const platform::Platform& platform, const fs::path& image,
                              const fs::path& target) {
  fs::path mountPoint = platform.home.temporary() / ("Velmora-mount-" + updates::freshUUID());
  std::error_code error;
  fs::create_directories(mountPoint, error);
  if (auto mounted = runTool(platform.processes,
                             {"attach", "-nobrowse", "-readonly", "-noautoopen", "-mountpoint",
                              mountPoint.string(), image.string()},
                             "the image did not mount");
      !mounted) {
    removeQuietly(mountPoint);
    return mounted;
  }
  auto steps = [&]() -> Result<void> {
    fs::path app = mountPoint / "Velmora.app";
    if (!platform.files.exists(app)) return Failure{"the image holds no Velmora"};
    int bundles = 0;
    for (auto it = fs::directory_iterator(mountPoint, error);
         !error && it != fs::directory_iterator(); it.increment(error)) {
      if (it->path().extension() == ".app") ++bundles;
    }
    if (bundles > 1) return Failure{"the image holds more than one Velmora"};
    if (auto valid = checkSignature(platform.codeSigning, app); !valid) {
      return Failure{replaced(valid.error(), "the download", "the app in the image")};
    }
    updates::InstallLocations locations(platform.volumes, platform.files, platform.home);
    return locations.swap(app, target);
  };
  Result<void> outcome = steps();
  (void)platform.processes.run(kHdiutil, {"detach", mountPoint.string(), "-force"});
  fs::remove(mountPoint, error);
  return outcome;
}

void Updates::install() {
  if (phase_.kind != UpdatePhase::Kind::ready || !available_) return;
  std::string version = available_->version;
  fs::path bundle = platform_.bundle.bundlePath();
  updates::InstallLocations locations(platform_.volumes, platform_.files, platform_.home);
  auto target = locations.installTarget(bundle);
  if (!target) {
    std::string sentence = "Velmora cannot be replaced where it is (" + bundle.string() +
                           ") and Applications is not writable. Drag it into Applications by "
                           "hand, open it from there, and try again.";
    setPhase(UpdatePhase{UpdatePhase::Kind::failed, 0, {}, sentence});
    log_.write("install of " + version + " failed: " + sentence);
    return;
  }
  fs::path image = phase_.image;
  setPhase(UpdatePhase{UpdatePhase::Kind::installing});
  auto done = lifetime_.guard([this, version, target = *target](const Result<void>& outcome) {
    finishInstall(version, target, outcome);
  });
  worker_->async([platform = platform_, image, target = *target, done] {
    Result<void> outcome = installFromImage(platform, image, target);
    platform.loop.postFromAnyThread([done, outcome]() mutable { done(outcome); });
  });
}

void Updates::finishInstall(const std::string& version, const fs::path& target,
                            const Result<void>& outcome) {
  if (!outcome) {
    setPhase(UpdatePhase{UpdatePhase::Kind::failed, 0, {}, outcome.error()});
    log_.write("install of " + version + " failed: " + outcome.error());
    return;
  }
  settings_.setUpdateInstalling(version);
  std::string bundle = platform_.bundle.bundlePath();
  if (fs::path(bundle).lexically_normal() == target.lexically_normal()) {
    log_.write("installed " + version + " at " + target.string() + ", relaunching");
  } else {
    log_.write("running from " + bundle + ", which cannot be changed; installed " + version +
               " at " + target.string() + ", relaunching from there");
  }
  setPhase(UpdatePhase{});
  if (onInstalled_) onInstalled_(target.string());
}

void Updates::skip() {
  if (!available_) return;
  std::string version = available_->version;
  settings_.setUpdateSkipped(version);
  available_.reset();
  setPhase(UpdatePhase{});
  log_.write("skipped " + version);
  changed_.emit();
}

void Updates::showWhatsNew() {
  if (available_) (void)platform_.launchServices.openURL(available_->notes);
}

std::string Updates::releasedForDisplay() const {
  return available_ ? updates::releaseDateForDisplay(available_->released) : std::string();
}

void Updates::setPhase(UpdatePhase phase) {
  if (phase == phase_) return;
  phase_ = std::move(phase);
  changed_.emit();
}

void Updates::waitForWorkers() {
  // The network hands a finished download to the installer's queue only on the main loop, so
  // one pass of each is enough for what was started before this call.
  platform_.http.waitUntilIdle();
  worker_->waitUntilIdle();
}

}  // namespace velmora
