#include "store/text.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(Text, SentencesBeginWithTheirFirstCharacterInUpperCase) {
  const std::pair<const char*, const char*> cases[] = {
      {"the disk is full", "The disk is full"},
      {"échec de la copie", "Échec de la copie"},
      {"ǆungla", "ǅungla"},  // a digraph takes its title-case form, not its capital one
      {"ßtraße", "Sstraße"},
      {"42 files", "42 files"},
      {"", ""},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(upperCasedFirst(text), expected) << text;
}

}  // namespace
}  // namespace velmora
