// A score record as a line of text: the score file's line, the submission's and a served table's
// two lines all carry the same eight fields and thirty level values, and differ only in what
// stands between them. Reading comes in two strengths: the game's, which takes whatever a file or
// a table holds as the game always has (a field that is not a number reads as 0), and the
// server's, which takes only a submission whose every field is within the limits.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

constexpr int kLevelValues = 30;
extern const std::string SectionMark;  // the score file's, between the fields and the level values
extern const std::string SubmitMark;   // the submission's: "|^[+=¢!K39qW7 mod |"

struct TRecordFields {
  int64_t Score = 0;
  std::string Name;
  int64_t Badges = 0;
  int64_t Timestamp = 0;
  int64_t Level = 0;      // the start world
  int64_t GameMode = 0;
  int64_t GameFlags = 0;
  int64_t Quit = 0;
  std::array<int64_t, kLevelValues + 1> Best{};  // 1 to 30
};

// "Score|Name|Badges|Timestamp|Level|GameMode|GameFlags|Quit", plain decimals.
std::string RecordFieldsText(const TRecordFields& r);
// "Best[1]|...|Best[30]".
std::string RecordLevelsText(const TRecordFields& r);
// The fields, mark and level values as one line (no "|" around the mark but its own).
std::string RecordLine(const TRecordFields& r, const std::string& mark);

// The game's reading of a line's two halves: false when fields holds no "|". Score and Timestamp
// as 64-bit decimals, Name trimmed, the rest as absolute values held to 32 bits; a missing field
// reads as 0.
bool ReadRecordFields(const std::string& fields, const std::string& levels, TRecordFields& r);
// The same from one line, split at mark.
bool ReadRecordLine(const std::string& line, const std::string& mark, TRecordFields& r);

// A table as the server sends it: line 2k - 1 the fields of entry k, line 2k its level values.
std::string TableText(const std::vector<TRecordFields>& entries);
constexpr int kTableEntries = 30;  // the most a table serves, and the most a client reads
// The entries of a served table, at most kTableEntries, lines without "|" skipped.
std::vector<TRecordFields> ReadTableText(const std::string& body);

// The server's limits on a submitted record: worlds 1 to 20, modes 0 and 1, flags 0, 2, 4 or 6
// (the game's speeds; an odd or larger value would let two tables share one number), quit 0 or 1,
// badges 16 bits, every level value up to a billion, the score up to what a game can reach.
// Every number is plain digits (no sign), at most 18 of them, so none overflows; the name is a
// valid record name.
constexpr int64_t kWorldLowest = 1;
constexpr int64_t kWorldHighest = 20;
constexpr int64_t kModeHighest = 1;
constexpr int64_t kFlagsHighest = 6;  // and even
constexpr int64_t kQuitHighest = 1;
constexpr int64_t kBadgesHighest = 0xFFFF;
constexpr int64_t kLevelValueHighest = 1000000000;
constexpr size_t kDigitsLongest = 18;
// The most a game can score: 100 levels, each paying its whole bonus of 999 at most, every point
// worth the lives left, which start at 3 and grow by at most 2 a world (the icy worlds can pay a
// world's extra life twice) over 20 worlds.
constexpr int64_t kScoreHighest = int64_t(100) * 999 * (3 + 2 * 20);
// A submitted line (eight fields, SubmitMark, thirty level values) into r; false when anything
// breaks the limits.
bool ParseSubmission(const std::string& line, TRecordFields& r);
