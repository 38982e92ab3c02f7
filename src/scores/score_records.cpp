#include "scores/score_records.h"

#include "base/program_state.h"
#include "scores/score_time.h"

TScoresList LocalScores;
TScoresList OnlineScores;
std::string PlayerName = "Player";
TScoresPtr TableBest;
std::array<TScoresPtr, 26> TableSlots;
int TableCount = 0;
int TableMax = 0;

namespace {

// Merges two sorted runs: an element of the right run goes first only when the left one is
// strictly greater, so equal stamps keep their order.
void MergeSort(TScoresList& list, TScoresList& scratch, size_t from, size_t to) {
  if (to - from < 2) return;
  const size_t mid = from + (to - from) / 2;
  MergeSort(list, scratch, from, mid);
  MergeSort(list, scratch, mid, to);
  size_t l = from, r = mid, out = from;
  while (l < mid && r < to) {
    if (list[l]->Compare(*list[r]) > 0) scratch[out++] = list[r++];
    else scratch[out++] = list[l++];
  }
  while (l < mid) scratch[out++] = list[l++];
  while (r < to) scratch[out++] = list[r++];
  for (size_t i = from; i < to; ++i) list[i] = scratch[i];
}

}  // namespace

int TScores::Compare(const TScores& other) const {
  return int32_t(uint32_t(uint64_t(other.Timestamp) - uint64_t(Timestamp)));
}

void SortScores(TScoresList& list) {
  TScoresList scratch(list.size());
  MergeSort(list, scratch, 0, list.size());
}

int RankTable(const TScoresList& list, int level, int mode, int flags, int) {
  for (TScoresPtr& slot : TableSlots) slot = nullptr;
  TableMax = 0;
  TableCount = 0;
  int64_t largest = 0;
  for (const TScoresPtr& r : list) {
    if (r->Level != level || r->GameMode != mode || r->GameFlags != flags) continue;
    ++TableCount;
    if (r->Score > largest) {
      largest = r->Score;
      TableMax = int32_t(uint32_t(uint64_t(r->Score)));
    }
    int lowest_empty = 0, lowest_beaten = 0;
    for (int p = 25; p >= 1; --p) {
      if (!TableSlots[size_t(p)]) lowest_empty = p;
      else if (TableSlots[size_t(p)]->Score < r->Score) lowest_beaten = p;
    }
    const int k = lowest_beaten ? lowest_beaten : lowest_empty;
    if (k == 0) continue;
    for (int p = 25; p > k; --p)
      if (TableSlots[size_t(p - 1)]) TableSlots[size_t(p)] = TableSlots[size_t(p - 1)];
    TableSlots[size_t(k)] = r;
  }
  if (TableMax == 0) TableMax = 1;
  for (int p = 1; p <= 25; ++p) {
    if (!TableSlots[size_t(p)]) continue;
    if (mode >= 0) TableBest = TableSlots[size_t(p)];
    return int32_t(uint32_t(uint64_t(TableSlots[size_t(p)]->Score)));
  }
  return 0;
}

bool Ranked(const TScoresPtr& record) {
  for (int p = 1; p <= 25; ++p)
    if (TableSlots[size_t(p)] == record) return true;
  return false;
}

int FlagBit(int value, int n) {
  if (n < 1 || n > 32) return 0;
  return int((uint32_t(value) >> (n - 1)) & 1u);
}


void ResetScoreRecords() {
  LocalScores.clear();
  OnlineScores.clear();
  PlayerName = "Player";
  TableBest = nullptr;
  for (TScoresPtr& slot : TableSlots) slot = nullptr;
  TableCount = 0;
  TableMax = 0;
}
