#include "app/app_link.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Readable failures: "number(3)" rather than the object's bytes.
void PrintTo(const AppLink& link, std::ostream* out) {
  static constexpr const char* kNames[] = {"number", "named",        "settingsPage", "back",
                                           "next",   "previous",     "switcher",     "popover",
                                           "hover",  "presentation", "settings"};
  *out << kNames[static_cast<int>(link.kind())];
  if (link.kind() == AppLink::Kind::number) *out << "(" << link.desktopNumber() << ")";
  if (!link.text().empty()) *out << "(\"" << link.text() << "\")";
}

namespace {

using namespace std::string_literals;

std::optional<AppLink> parse(std::string_view url) {
  return AppLink::parse(url);
}

TEST(AppLinkTest, EveryKindHasItsLink) {
  EXPECT_EQ(parse("velmora://switch/3"), AppLink::number(3));
  EXPECT_EQ(parse("velmora://switch/Mail"), AppLink::named("Mail"));
  EXPECT_EQ(parse("velmora://settings/timeTracking"), AppLink::settingsPage("timeTracking"));
  EXPECT_EQ(parse("velmora://back"), AppLink::back());
  EXPECT_EQ(parse("velmora://next"), AppLink::next());
  EXPECT_EQ(parse("velmora://prev"), AppLink::previous());
  EXPECT_EQ(parse("velmora://switcher"), AppLink::switcher());
  EXPECT_EQ(parse("velmora://popover"), AppLink::popover());
  EXPECT_EQ(parse("velmora://hover"), AppLink::hover());
  EXPECT_EQ(parse("velmora://presentation"), AppLink::presentation());
  EXPECT_EQ(parse("velmora://settings"), AppLink::settings());
  EXPECT_EQ(parse("velmora://settings/"), AppLink::settings());
  // The predecessor's links keep working.
  EXPECT_EQ(parse("corvane://switch/2"), AppLink::number(2));
  EXPECT_EQ(parse("CorVane://Back"), AppLink::back());
}

TEST(AppLinkTest, SchemeAndHostIgnoreCaseButTheRemainderKeepsIt) {
  EXPECT_EQ(parse("VELMORA://SWITCH/2"), AppLink::number(2));
  EXPECT_EQ(parse("Velmora://Switch/MAIL"), AppLink::named("MAIL"));
  EXPECT_EQ(parse("velmora://SETTINGS/TimeTracking"), AppLink::settingsPage("TimeTracking"));
  EXPECT_EQ(parse("velmora://PREV"), AppLink::previous());
}

TEST(AppLinkTest, AWholeDecimalNumberIsADesktopNumber) {
  EXPECT_EQ(parse("velmora://switch/+2"), AppLink::number(2));
  EXPECT_EQ(parse("velmora://switch/-1"), AppLink::number(-1));
  EXPECT_EQ(parse("velmora://switch/0"), AppLink::number(0));
  EXPECT_EQ(parse("velmora://switch/-0"), AppLink::number(0));
  EXPECT_EQ(parse("velmora://switch/007"), AppLink::number(7));
  EXPECT_EQ(parse("velmora://switch/9223372036854775807"), AppLink::number(INT64_MAX));
  EXPECT_EQ(parse("velmora://switch/-9223372036854775808"), AppLink::number(INT64_MIN));
  // Anything else is a name, to be searched for; so is a number no desktop could have.
  for (std::string text :
       {"9223372036854775808", "-9223372036854775809", "123456789012345678901234567890", "+", "-",
        "+-3", "--1", "3a", "1.5", "1e3", "0x10", "٣"}) {
    EXPECT_EQ(parse("velmora://switch/" + text), AppLink::named(text)) << text;
  }
  EXPECT_EQ(parse("velmora://switch/%203"), AppLink::named(" 3"));
}

TEST(AppLinkTest, TheRemainderIsThePathsComponentsDecoded) {
  EXPECT_EQ(parse("velmora://switch/Deep%20Work"), AppLink::named("Deep Work"));
  EXPECT_EQ(parse("velmora://switch/Caf%C3%a9"), AppLink::named("Café"));
  EXPECT_EQ(parse("velmora://switch/%33"), AppLink::number(3));
  EXPECT_EQ(parse("velmora://switch/100%25"), AppLink::named("100%"));
  EXPECT_EQ(parse("velmora://switch/Deep Work"), AppLink::named("Deep Work"));
  EXPECT_EQ(parse("velmora://switch/🚀"), AppLink::named("🚀"));
  // Components join with "/", whether the slash was written or escaped; empty ones drop out.
  EXPECT_EQ(parse("velmora://switch/Client/Acme"), AppLink::named("Client/Acme"));
  EXPECT_EQ(parse("velmora://switch/Client%2FAcme"), AppLink::named("Client/Acme"));
  EXPECT_EQ(parse("velmora://switch/Client//Acme/"), AppLink::named("Client/Acme"));
  EXPECT_EQ(parse("velmora://switch/%2F"), AppLink::named("/"));
  EXPECT_EQ(parse("velmora://switch//3/"), AppLink::number(3));
  EXPECT_EQ(parse("velmora://settings/a/b"), AppLink::settingsPage("a/b"));
  EXPECT_EQ(parse("velmora://next//"), AppLink::next());
  // The query, the fragment, a user and a port are not part of it.
  EXPECT_EQ(parse("velmora://switch/3?x=1"), AppLink::number(3));
  EXPECT_EQ(parse("velmora://switch/3#top"), AppLink::number(3));
  EXPECT_EQ(parse("velmora://back?from=script"), AppLink::back());
  EXPECT_EQ(parse("velmora://me@switch:80/3"), AppLink::number(3));
  EXPECT_EQ(parse("velmora://sw%69tch/3"), AppLink::number(3));
}

TEST(AppLinkTest, OtherLinksAreNotUnderstood) {
  const std::vector<std::string> urls = {
      // Not our scheme, or no scheme.
      "", ":", "http://switch/3", "velmoraa://back", "velmora", "velmora-back", "//back",
      " velmora://back",
      // No host.
      "velmora:back", "velmora:/back", "velmora:///3", "velmora://", "velmora://@/3",
      "velmora://:80/back", "velmora://[::1]/back", "velmora://back:x",
      // Switching needs a target.
      "velmora://switch", "velmora://switch/", "velmora://switch///", "velmora://switch?3",
      // Keywords take no remainder, and are spelled as they are.
      "velmora://next/1", "velmora://back/x", "velmora://previous", "velmora://PREVIOUS",
      "velmora://open/3", "velmora://back%2Fx", "velmora://switch%2F3",
      // Broken escapes.
      "velmora://switch/%ZZ", "velmora://switch/%4", "velmora://switch/%", "velmora://switch/%G1",
      "velmora://back?q=%zz", "velmora://b%61ck%",
      // Escapes or bytes that are not UTF-8.
      "velmora://switch/%FF", "velmora://switch/%C3", "velmora://switch/%C0%AF",
      "velmora://switch/%ED%A0%80", "velmora://switch/%F4%90%80%80", "velmora://switch/\xff",
      "velmora://switch/Caf\xc3", "velmora://b%E1ck",
      // Raw control characters.
      "velmora://switch/3\n", "velmora://switch/a\tb", "velmora://back\x7f",
      "velmora://switch/3\0"s};
  for (const std::string& url : urls) {
    EXPECT_EQ(parse(url), std::nullopt) << url;
  }
}

TEST(AppLinkTest, MessagesNameWhatWasAskedFor) {
  EXPECT_EQ(linkNoDesktopNumbered(-1), "There is no Desktop -1");
  EXPECT_EQ(linkNoDesktopMatching("Deep Work"), "No desktop matches “Deep Work”");
  EXPECT_EQ(linkNoSettingsPage("colors"), "There is no Settings page called “colors”");
  EXPECT_EQ(linkLogLine(linkNoDesktopNumbered(9)), "link: There is no Desktop 9");
  EXPECT_EQ(linkNotUnderstoodMessage("velmora://next/1"),
            "Velmora doesn't know the link velmora://next/1");
  EXPECT_EQ(linkNotUnderstoodLogLine("velmora://next/1"), "link not understood: velmora://next/1");
}

}  // namespace
}  // namespace velmora
