// The updater at the command line: the session's update site, the faults it can show, and
// what the running copy's updater does, noted as it happens.
#include <cmath>
#include <map>

#include "cli/session.h"
#include "cli/words.h"
#include "platform/sim/signed_images.h"

namespace velmora::cli {

namespace fs = std::filesystem;

namespace {

std::string phaseText(const UpdatePhase& phase) {
  switch (phase.kind) {
    case UpdatePhase::Kind::idle:
      return "idle";
    case UpdatePhase::Kind::downloading:
      return "downloading " + std::to_string(static_cast<int>(std::floor(phase.fraction * 100))) +
             "%";
    case UpdatePhase::Kind::ready:
      return "ready, " + phase.image.filename().string();
    case UpdatePhase::Kind::failed:
      return "failed: " + phase.sentence;
    case UpdatePhase::Kind::installing:
      return "installing";
  }
  return "?";
}

}  // namespace

bool Session::updaterBusy() {
  Updates& updates = copy_->app->updates();
  auto kind = updates.phase().kind;
  return updates.checking() || kind == UpdatePhase::Kind::downloading ||
         kind == UpdatePhase::Kind::installing;
}

void Session::noteUpdateState() {
  Updates& updates = copy_->app->updates();
  // The first note of a copy says only that its checker runs.
  if (updateStateNoted_.empty()) {
    if (!updates.scheduled()) return;
    emit("update checker: started");
  }
  std::string state = phaseText(updates.phase());
  if (state == updateStateNoted_ || (updateStateNoted_.empty() && state == "idle")) {
    updateStateNoted_ = state;
    return;
  }
  updateStateNoted_ = state;
  emit("updater: " + state);
}

Session::Status Session::publishUpdate(std::string_view version) {
  if (version.empty()) return fail("update takes a version: update 1.2.0");
  if (!updateSite_->listening()) return fail("the update site could not listen on 127.0.0.1");
  // The running copy is a real signed bundle, so an install has something to replace.
  fs::path bundle = mac_.bundleInfo().path;
  if (!fs::exists(bundle)) {
    bundle = mac_.disks().localApplicationsFolder() / "Velmora.app";
    const std::string* running = mac_.bundleInfo().info["CFBundleShortVersionString"].asString();
    if (auto made = sim::makeVelmoraBundle(bundle, running ? *running : "1.0.0"); !made)
      return fail(made.error());
    if (auto signedIt = sim::signBundle(bundle, sim::kVelmoraTeam); !signedIt)
      return fail(signedIt.error());
    mac_.bundleInfo().path = bundle.string();
  }
  updateRecipe_.version = std::string(version);
  auto published = updateSite_->publish(updateRecipe_);
  if (!published) return fail(published.error());
  publishedVersion_ = std::string(version);
  print("update site: Velmora " + publishedVersion_ + " published (" +
        std::to_string(published->size) + " bytes)");
  return Status::ok;
}

Session::Status Session::updateFault(std::string_view name) {
  using Fault = UpdateServer::Fault;
  static const std::map<std::string, Fault, std::less<>> kSiteFaults{
      {"none", Fault::none},
      {"404", Fault::notFound},
      {"one-byte-more", Fault::oneByteMore},
      {"other-bytes", Fault::otherBytes},
      {"stall", Fault::stall},
      {"close", Fault::closeMidBody},
      {"redirect-loop", Fault::redirectLoop}};
  if (auto fault = kSiteFaults.find(name); fault != kSiteFaults.end()) {
    updateSite_->setFault(fault->second);
    if (fault->second == Fault::none) {
      updateRecipe_ = sim::ImageRecipe{updateRecipe_.version};
      if (!publishedVersion_.empty()) return publishUpdate(publishedVersion_);
    }
    return Status::ok;
  }
  if (name == "other-team") {
    updateRecipe_.team = "ZZ9PLURALZ";
  } else if (name == "unsigned") {
    updateRecipe_.signedBundle = false;
  } else if (name == "tampered") {
    updateRecipe_.changedAfterSigning = true;
  } else {
    return fail(
        "update fault takes none, 404, one-byte-more, other-bytes, stall, close, "
        "redirect-loop, other-team, unsigned or tampered");
  }
  return publishedVersion_.empty() ? Status::ok : publishUpdate(publishedVersion_);
}

Session::Status Session::waitForUpdate() {
  if (!virtualLoop_) return Status::ok;
  for (int round = 0; copy_ && round < 16; ++round) {
    copy_->app->updates().waitForWorkers();
    virtualLoop_->runPending();
    if (!copy_ || !updaterBusy()) return Status::ok;
  }
  return copy_ ? fail("the updater is still busy") : Status::ok;
}

Session::Status Session::printUpdate() {
  Updates& updates = copy_->app->updates();
  const auto& available = updates.available();
  print("feed: " + updates.feed().url);
  print("available: " + (available
                             ? available->version + ", released " +
                                   updates::releaseDateForDisplay(available->released, "en_US") +
                                   ", " + std::to_string(available->size) + " bytes"
                             : std::string("none")));
  print("checking: " + std::string(updates.checking() ? "yes" : "no"));
  print("phase: " + phaseText(updates.phase()));
  print("last outcome: " + updates.lastOutcome().value_or("none"));
  return Status::ok;
}

}  // namespace velmora::cli
