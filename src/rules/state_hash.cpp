#include "rules/state_hash.h"

#include <cstring>

namespace {

// FNV-1a, field by field, so padding between fields never counts.
struct THasher {
  uint64_t h = 1469598103934665603ull;
  void Bytes(const void* data, size_t size) {
    const unsigned char* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) {
      h ^= p[i];
      h *= 1099511628211ull;
    }
  }
  void Int(int v) { Bytes(&v, sizeof v); }
  void Float(float v) {
    uint32_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    Bytes(&bits, sizeof bits);
  }
};

}  // namespace

uint64_t StateHash(const TRulesState& s) {
  THasher h;
  for (int v : {s.GameMode, s.LevelNumber, s.GameScore, s.Lives, s.Bonus, s.CompleteTimer, int(s.WalkLatch),
                int(s.JumpLatch), int(s.ReloadFlag), s.EndReason, s.StartWorldLimit, s.JumpStep, s.WalkFrame,
                s.DeathTimer, s.BorderOffsets[0], s.BorderOffsets[1], s.Random.State()})
    h.Int(v);
  for (float v : {s.FrameTimer, s.SheepX, s.SheepY, s.JumpPhase}) h.Float(v);
  h.Int(int(s.LevelText.size()));
  h.Bytes(s.LevelText.data(), s.LevelText.size());
  for (const TLevelColumn& col : s.LevelColumns)
    for (int v : col) h.Int(v);
  return h.h;
}
