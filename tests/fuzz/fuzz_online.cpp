// Fuzzes what a score server's reply goes through in the game: any bytes as a whole reply cut to
// its body, the body read as an online table, and the body unscrambled. The body never grows,
// a table has at most 30 entries, all with a negative mode, and unscrambling never crashes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "scores/online_scores.h"
#include "scores/scramble.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool keyed = (BuildScrambleKey(), true);
  (void)keyed;
  const std::string reply(reinterpret_cast<const char*>(data), size);
  const std::string body = ReplyBody(reply);
  if (body.size() > reply.size()) std::abort();
  for (const std::string& text : {reply, body}) {
    const TScoresList entries = ParseOnlineTable(text);
    if (entries.size() > 30) std::abort();
    for (const TScoresPtr& entry : entries)
      if (entry->GameMode >= 0) std::abort();
    Unscramble(text, "");
  }
  return 0;
}
