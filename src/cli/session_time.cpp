// The commands that export and reset counted time, and answer the save panel.
#include <fstream>
#include <sstream>

#include "cli/session.h"
#include "cli/words.h"

namespace velmora::cli {

std::filesystem::path Session::homePath(std::string_view text) const {
  std::string path = unquoted(text);
  if (path == "~") return mac_.home().root;
  if (path.rfind("~/", 0) == 0) return mac_.home().root / path.substr(2);
  std::filesystem::path given(path);
  return given.is_absolute() ? given : mac_.home().root / given;
}

std::string Session::shownPath(const std::filesystem::path& path) const {
  auto relative = path.lexically_normal().lexically_relative(mac_.home().root.lexically_normal());
  if (relative.empty() || *relative.begin() == "..") return path.string();
  return "~/" + relative.string();
}

Session::Status Session::exportTime() {
  copy_->app->delegate().exportTimeCSV([this](const TimeExportOutcome& outcome) {
    switch (outcome.kind) {
      case TimeExportOutcome::Kind::saved:
        emit("time export: saved to " + shownPath(outcome.location));
        break;
      case TimeExportOutcome::Kind::cancelled:
        emit("time export: cancelled, nothing written");
        break;
      case TimeExportOutcome::Kind::failed:
        emit("time export: failed: " + outcome.sentence);
        break;
    }
  });
  if (const auto& open = mac_.savePanel().open()) {
    emit("save panel: proposes \"" + open->proposedName + "\"");
  }
  return Status::ok;
}

Session::Status Session::answerSavePanel(std::string_view path) {
  if (path.empty()) return fail("answer save panel takes a path: answer save panel ~/time.csv");
  if (!mac_.savePanel().answer(homePath(path))) return fail("no save panel is open");
  return Status::ok;
}

Session::Status Session::printSavePanel() {
  const auto& open = mac_.savePanel().open();
  if (!open) {
    print("save panel: closed");
    return Status::ok;
  }
  std::string types;
  for (const std::string& type : open->allowedContentTypes) {
    types += (types.empty() ? "" : ", ") + type;
  }
  print("save panel: open, proposes \"" + open->proposedName + "\", allows " +
        (types.empty() ? std::string("any file") : types));
  return Status::ok;
}

Session::Status Session::resetTime() {
  bool reset = copy_->app->delegate().resetTimes();
  emit(reset ? "time reset on every desktop" : "time kept");
  return Status::ok;
}

Session::Status Session::printFile(std::string_view path) {
  if (path.empty()) return fail("print file takes a path: print file ~/time.csv");
  std::ifstream in(homePath(path), std::ios::binary);
  if (!in) return fail("there is no file " + shownPath(homePath(path)));
  std::ostringstream text;
  text << in.rdbuf();
  printLines(text.str());
  return Status::ok;
}

}  // namespace velmora::cli
