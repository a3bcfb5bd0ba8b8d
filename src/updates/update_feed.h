#pragma once
// The update feed: where it is, which addresses it may send us to, and the document itself.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "updates/app_version.h"

namespace velmora::updates {

// The scheme and host of a URL ("https", "example.com"); none for text that is no URL. The
// host is empty when the URL has none ("file:///tmp").
struct URLParts {
  std::string scheme;
  std::string host;
};
std::optional<URLParts> parseURL(std::string_view text);

// Which addresses a feed may point to: this host exactly, over HTTPS (or, when `https` is
// false, plain HTTP too).
struct Policy {
  std::string host;
  bool https = true;
  bool allows(std::string_view url) const;
  bool operator==(const Policy&) const = default;
};

// Where the feed is and which policy it is read with.
struct FeedLocation {
  std::string url;
  Policy policy;
  bool operator==(const FeedLocation&) const = default;
};
// The maker's endpoint.
inline constexpr std::string_view kMakerFeed = "https://updates.velmora.app/update.json";
// The environment variable VELMORA_UPDATE_FEED's value when it is set and reads as a URL,
// else the maker's endpoint.
FeedLocation feedLocation(const std::optional<std::string>& environmentValue);

struct UpdateFeed {
  std::string version;
  std::string released;
  std::string dmg;
  std::int64_t size = 0;
  std::string sha256;  // lower case
  std::string notes;
  std::string minOS;
  bool operator==(const UpdateFeed&) const = default;
};

// Reads a feed document; none when anything is missing, of the wrong kind or breaks a rule.
std::optional<UpdateFeed> parseFeed(std::string_view json, const Policy& policy);

// "released" ("yyyy-MM-dd") as "d MMMM yyyy" in the locale named (the user's when empty);
// text that is no such date comes back as it is.
std::string releaseDateForDisplay(const std::string& released, const std::string& locale = {});

}  // namespace velmora::updates
