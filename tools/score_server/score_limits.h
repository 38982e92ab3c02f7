// Every bound the score server puts on what it accepts, in one place. The README's operator
// section lists them, so the game's entry rules can match. Raising one is a protocol change for
// the clients; the operator's settings (rates, deadlines, sizes) live in TServerOptions instead.
#pragma once
#include <cstddef>
#include <cstdint>

namespace limits {

// Player names: 4 to 24 printable ASCII characters.
constexpr size_t kNameShortest = 4;
constexpr size_t kNameLongest = 24;
// Passwords: 4 to 64 printable ASCII characters.
constexpr size_t kPasswordShortest = 4;
constexpr size_t kPasswordLongest = 64;
// Neither may hold "|" (it separates fields) nor "<" or ">": a table holding "<HEAD>" reads as
// no table at all to every client. Names and passwords also may not hold what the game itself
// replaces before sending (* " ' - + & ? { } [ ] ~ # \ / : ;).
constexpr char kRefusedInText[] = "|<>";

// A record's name: up to 40 characters of code 32 or more (the game's own 8-bit ones too), none
// of kRefusedInText.
constexpr size_t kRecordNameLongest = 40;
// A record's numbers: worlds 1 to 20, modes 0 and 1, flags 0 only (the game sends nothing else,
// and other values would let two tables share one number), quit 0 or 1, badges 16 bits, and
// every per-level value up to a billion. Scores and stamps are whole and not negative.
constexpr int64_t kWorldLowest = 1;
constexpr int64_t kWorldHighest = 20;
constexpr int64_t kModeHighest = 1;
constexpr int64_t kFlags = 0;
constexpr int64_t kQuitHighest = 1;
constexpr int64_t kBadgesHighest = 0xFFFF;
constexpr int64_t kLevelValueHighest = 1000000000;
constexpr int kLevelValues = 30;
// Decimal numbers have at most 18 digits, so none overflows.
constexpr size_t kDigitsLongest = 18;

// A table as served: its best 30, what the client can show.
constexpr int kTableEntries = 30;
// The request head (request line and headers): 8 KiB.
constexpr size_t kHeadLongest = 8192;

}  // namespace limits
