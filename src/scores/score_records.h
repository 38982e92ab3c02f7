// Score records: every finished game becomes one. The local list is kept newest first; a table is
// a view of it, the records of one start world, mode and flags ranked best 25 by score.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct TScores {
  int64_t Score = 0;
  int64_t Timestamp = 0;
  int32_t Badges = 0;
  std::string Name;
  std::array<int32_t, 31> Best{};  // 1 to 30; Best[30] == 1 shows "Complete!"
  int32_t Level = 0;               // the start world
  int32_t GameMode = 0;            // ~mode for records of the online service (always negative)
  int32_t GameFlags = 0;
  int32_t Quit = 0;                // 1 when the game was left through Quit

  // Orders the list newest first: other.Timestamp - Timestamp, truncated to 32 bits.
  int Compare(const TScores& other) const;
};
using TScoresPtr = std::shared_ptr<TScores>;
using TScoresList = std::vector<TScoresPtr>;

extern TScoresList LocalScores;
extern TScoresList OnlineScores;  // never saved
extern std::string PlayerName;    // "Player" until a name is entered or loaded
extern TScoresPtr TableBest;      // first of the last local table ranked that had a record
extern std::array<TScoresPtr, 26> TableSlots;  // 1 to 25, best first
extern int TableCount;
extern int TableMax;              // largest score (low 32 bits) of the table, at least 1

// The stable merge sort every list goes through: newest first, equal stamps in list order.
void SortScores(TScoresList& list);
// Ranks the records of one table into TableSlots; returns the first one's score (low 32 bits),
// 0 when the table is empty.
int RankTable(const TScoresList& list, int level, int mode, int flags, int maintain);
// Whether record is among the slots of the last ranking pass.
bool Ranked(const TScoresPtr& record);
// 1 when bit n - 1 of value is set.
int FlagBit(int value, int n);
// Empties both lists and puts the name and the table back to their start (tests, start-up).
void ResetScoreRecords();
