// Typing a record's name and the online login: each kind keeps to its limits, and a refused
// character says why, once however often the key repeats. That every kind's limits are the
// server's, character by character, is checked beside the server (name_rules_test).
#include <gtest/gtest.h>

#include <string>

#include "framework/present_frame.h"
#include "platform/input.h"
#include "scores/name_entry.h"
#include "support/headless_game.h"
#include "ui/messages.h"

namespace {

TEST(NameEntryTest, TypingKeepsToTheServersLimits) {
  THeadlessGame game;
  const TNameKind name = TNameKind::RecordName, user = TNameKind::UserName, password = TNameKind::Password;
  const std::string n39(39, 'n'), p64(64, 'p');
  const struct {
    TNameKind kind;
    std::string text;
    int typed;
    std::string result, message;
  } cases[] = {
      {name, "ab", '<', "ab", "\"<\" can't be part of a name"},
      {name, "ab", '\t', "ab", ""},
      {name, "ab", 127, "ab", ""},
      {name, "ab", 0xE9, "ab\xE9", ""},
      {name, n39, 'x', n39 + "x", ""},
      {name, n39 + "x", 'x', n39 + "x", "At most 40 characters in a name"},
      {user, "ab", 0xE9, "ab", "Only plain letters, digits and signs in a user name"},
      {user, "ab", '-', "ab", "\"-\" can't be part of a user name"},
      {password, p64, 'x', p64, "At most 64 characters in a password"},
  };
  for (const auto& c : cases) {
    MessageList.clear();
    std::string text = c.text;
    // A refused key typed again (held, it repeats) keeps to one message.
    for (int repeat = 0; repeat < (c.message.empty() ? 1 : 2); ++repeat) {
      PostEvent({EVENT_KEYCHAR, c.typed, 0, 0});
      PollSystem();
      text = EditText(text, c.kind);
    }
    EXPECT_EQ(text, c.result) << c.typed;
    ASSERT_EQ(MessageList.size(), c.message.empty() ? 0u : 1u) << c.typed;
    if (!c.message.empty()) {
      EXPECT_EQ(MessageList[0].txt, c.message);
    }
  }
}

}  // namespace
