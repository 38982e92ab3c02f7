// The game's entry takes exactly the names the score server stores: every code a name may be
// typed with, for records, user names and passwords, at the shortest and longest lengths. The
// server's side is its reading of a submission for a record's name and the name rule its
// credentials check applies for the logins.
#include <gtest/gtest.h>

#include <string>

#include "protocol/name_rules.h"
#include "protocol/score_line.h"
#include "score_requests.h"
#include "scores/name_entry.h"

namespace {

bool ServerStores(TNameKind kind, const std::string& name) {
  if (kind != TNameKind::RecordName) return ValidName(kind, name);
  TRecordFields r;
  r.Name = name;
  r.Level = 4;
  r.GameMode = 1;
  TServerRecord stored;
  return ReadSubmission(RecordLine(r, SubmitMark), stored) && stored.Name == name;
}

TEST(NameRulesTest, TheEntryTakesWhatTheServerStores) {
  for (TNameKind kind : {TNameKind::RecordName, TNameKind::UserName, TNameKind::Password}) {
    const size_t shortest = ShortestName(kind);
    for (size_t length : {shortest > 0 ? shortest - 1 : 0, LongestName(kind) - 1, LongestName(kind)}) {
      const std::string text(length, 'a');
      for (int c = 0; c < 256; ++c) {
        std::string why;
        EXPECT_EQ(NameCharAllowed(kind, text, c, why), ServerStores(kind, text + char(c)))
            << int(kind) << ": " << length << " + " << c;
      }
    }
  }
}

}  // namespace
