// The login boxes take exactly what the score server accepts, character by character, at the
// shortest and longest lengths.
#include <gtest/gtest.h>

#include <string>

#include "score_requests.h"
#include "scores/name_rules.h"

namespace {

TEST(NameLimitsTest, LoginEntryAgreesWithTheServer) {
  const struct {
    TNameKind kind;
    bool (*server)(const std::string&);
  } kinds[] = {{TNameKind::UserName, ValidPlayerName}, {TNameKind::Password, ValidPassword}};
  for (const auto& k : kinds) {
    for (size_t length : {kLoginShortest - 1, LongestName(k.kind) - 1, LongestName(k.kind)}) {
      const std::string text(length, 'a');
      for (int c = 0; c < 256; ++c) {
        std::string why;
        EXPECT_EQ(NameCharAllowed(k.kind, text, c, why), k.server(text + char(c))) << length << " + " << c;
      }
    }
  }
}

}  // namespace
