#pragma once
// The save panel (NSSavePanel): the user picks where a file Velmora writes goes. It is shown
// without blocking the main loop, and the answer comes back on it.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmora::platform {

// The type identifier of comma-separated text (UTTypeCommaSeparatedText).
inline constexpr const char* kCommaSeparatedTextType = "public.comma-separated-values-text";

struct SavePanelRequest {
  std::string proposedName;                      // nameFieldStringValue
  std::vector<std::string> allowedContentTypes;  // uniform type identifiers; empty allows any
};

class SavePanel {
 public:
  using Answer = std::function<void(std::optional<std::filesystem::path> chosen)>;
  virtual ~SavePanel() = default;
  // begin(completionHandler:): shows the panel and returns at once; `answer` hears the chosen
  // location, or none when the user cancelled, later on the main loop.
  virtual void begin(const SavePanelRequest& request, Answer answer) = 0;
};

}  // namespace velmora::platform
