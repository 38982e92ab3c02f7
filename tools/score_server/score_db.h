// The score server's database: one SQLite file in WAL mode holding the players (name and salted
// slow password hash) and the submitted records by table number. Every write is one transaction
// that has committed before its request is answered, so a killed server loses nothing it
// acknowledged. Safe to call from many threads: one connection, used under a lock.
#pragma once
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

struct sqlite3;

// One submitted record as the tables send it.
struct TServerRecord {
  int64_t Score = 0;
  std::string Name;
  int64_t Badges = 0;
  int64_t Timestamp = 0;
  int64_t Level = 0;
  int64_t GameMode = 0;
  int64_t GameFlags = 0;
  int64_t Quit = 0;
  std::string Best;  // the 30 per-level values, "|"-separated
};

class TScoreDb {
 public:
  TScoreDb() = default;
  ~TScoreDb();
  TScoreDb(const TScoreDb&) = delete;
  TScoreDb& operator=(const TScoreDb&) = delete;

  // Opens (creating when new) the file; false with a reason in Error() on failure.
  bool Open(const std::string& path);
  const std::string& Error() const { return error_; }

  // The stored hash of a player, "" for a name not known.
  std::string PasswordHash(const std::string& player);
  // Registers a new player; false when the name was taken meanwhile (or the write failed).
  bool AddPlayer(const std::string& player, const std::string& hash);
  // Stores a record in a table; a record already there (same score, name and stamp) is kept once.
  // False when the write failed.
  bool AddRecord(int64_t table, const std::string& player, const TServerRecord& record);
  // The best records of a table, at most limit, highest score first (earlier first on a tie).
  std::vector<TServerRecord> Table(int64_t table, int limit);
  // Every player's name, in order.
  std::vector<std::string> Players();
  // Whether a record of this table with this score, name and stamp is stored (the load test's
  // check that nothing acknowledged was lost).
  bool HasRecord(int64_t table, int64_t score, const std::string& name, int64_t stamp);

 private:
  bool Exec(const char* sql);
  std::mutex mutex_;
  sqlite3* db_ = nullptr;
  std::string error_;
};
