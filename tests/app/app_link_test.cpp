#include "app/app_link.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "golden.h"

namespace velmora {
namespace {

using namespace std::string_literals;

// "number(3)", "named("Mail")", "back", or "not understood".
std::string shown(const std::optional<AppLink>& link) {
  static constexpr const char* kNames[] = {"number", "named",        "settingsPage", "back",
                                           "next",   "previous",     "switcher",     "popover",
                                           "hover",  "presentation", "settings"};
  if (!link) return "not understood";
  std::string out = kNames[static_cast<int>(link->kind())];
  if (link->kind() == AppLink::Kind::number)
    out += "(" + std::to_string(link->desktopNumber()) + ")";
  if (!link->text().empty()) out += "(\"" + testing::escaped(link->text()) + "\")";
  return out;
}

// Every form of link, one a line with what it asks for.
TEST(AppLinkTest, EveryFormOfLinkParsesAsItsGolden) {
  const std::vector<std::string> urls = {
      // Each kind, and the predecessor's scheme.
      "velmora://switch/3", "velmora://switch/Mail", "velmora://settings/timeTracking",
      "velmora://back", "velmora://next", "velmora://prev", "velmora://switcher",
      "velmora://popover", "velmora://hover", "velmora://presentation", "velmora://settings",
      "velmora://settings/", "corvane://switch/2", "CorVane://Back",
      // Scheme and host in any case; the remainder keeps its own.
      "VELMORA://SWITCH/2", "Velmora://Switch/MAIL", "velmora://SETTINGS/TimeTracking",
      "velmora://PREV",
      // A whole decimal number is a desktop number; anything else is a name, and so is a
      // number no desktop could have.
      "velmora://switch/+2", "velmora://switch/-1", "velmora://switch/0", "velmora://switch/-0",
      "velmora://switch/007", "velmora://switch/9223372036854775807",
      "velmora://switch/-9223372036854775808", "velmora://switch/9223372036854775808",
      "velmora://switch/-9223372036854775809", "velmora://switch/123456789012345678901234567890",
      "velmora://switch/+", "velmora://switch/-", "velmora://switch/+-3", "velmora://switch/--1",
      "velmora://switch/3a", "velmora://switch/1.5", "velmora://switch/1e3",
      "velmora://switch/0x10", "velmora://switch/٣", "velmora://switch/%203",
      // The path's components decoded and joined with "/", empty ones dropped.
      "velmora://switch/Deep%20Work", "velmora://switch/Caf%C3%a9", "velmora://switch/%33",
      "velmora://switch/100%25", "velmora://switch/Deep Work", "velmora://switch/🚀",
      "velmora://switch/Client/Acme", "velmora://switch/Client%2FAcme",
      "velmora://switch/Client//Acme/", "velmora://switch/%2F", "velmora://switch//3/",
      "velmora://settings/a/b", "velmora://next//",
      // The query, the fragment, a user and a port are not part of it.
      "velmora://switch/3?x=1", "velmora://switch/3#top", "velmora://back?from=script",
      "velmora://me@switch:80/3", "velmora://sw%69tch/3",
      // Not understood: not our scheme, no host, no target, keywords with a remainder or
      // spelled otherwise, broken escapes, bytes that are not UTF-8, raw control characters.
      "", ":", "http://switch/3", "velmoraa://back", "velmora", "velmora-back", "//back",
      " velmora://back", "velmora:back", "velmora:/back", "velmora:///3", "velmora://",
      "velmora://@/3", "velmora://:80/back", "velmora://[::1]/back", "velmora://back:x",
      "velmora://switch", "velmora://switch/", "velmora://switch///", "velmora://switch?3",
      "velmora://next/1", "velmora://back/x", "velmora://previous", "velmora://PREVIOUS",
      "velmora://open/3", "velmora://back%2Fx", "velmora://switch%2F3", "velmora://switch/%ZZ",
      "velmora://switch/%4", "velmora://switch/%", "velmora://switch/%G1", "velmora://back?q=%zz",
      "velmora://b%61ck%", "velmora://switch/%FF", "velmora://switch/%C3",
      "velmora://switch/%C0%AF", "velmora://switch/%ED%A0%80", "velmora://switch/%F4%90%80%80",
      "velmora://switch/\xff", "velmora://switch/Caf\xc3", "velmora://b%E1ck",
      "velmora://switch/3\n", "velmora://switch/a\tb", "velmora://back\x7f",
      "velmora://switch/3\0"s};
  std::string out;
  for (const std::string& url : urls) {
    out += "\"" + testing::escaped(url) + "\" -> " + shown(AppLink::parse(url)) + "\n";
  }
  // And the sentences that say what went wrong.
  out += linkNoDesktopNumbered(-1) + "\n" + linkNoDesktopMatching("Deep Work") + "\n" +
         linkNoSettingsPage("colors") + "\n" + linkLogLine(linkNoDesktopNumbered(9)) + "\n" +
         linkNotUnderstoodMessage("velmora://next/1") + "\n" +
         linkNotUnderstoodLogLine("velmora://next/1") + "\n";
  EXPECT_TRUE(testing::matchesGolden("app/links.txt", out));
}

}  // namespace
}  // namespace velmora
