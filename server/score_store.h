// Where the score server keeps its players and records: one interface, two engines. A file name
// opens the embedded SQLite store (one file in WAL mode); a "postgresql://" URL opens the
// PostgreSQL store, which several server processes on several machines can share. Both keep the
// same schema (players by name with their slow hash; records by table, unique by table, player,
// score, name and stamp, each with the text of its replay when it came with one), bind every value, and commit each write in one transaction before it
// returns, so a killed server loses nothing it acknowledged. The schema carries its version, and
// opening a store applies the migrations it lacks, in order, each in its own transaction (the
// list is score_migrations.h). Every call is safe from many threads and bounded in time; none
// throws: a failure returns false, with the reason in Error().
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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

// A record as stored, for the operator's listing.
struct TStoredRecord {
  int64_t id = 0;
  int64_t table = 0;
  std::string player;  // who submitted it
  TServerRecord record;
};

enum class TAddPlayer { Added, Taken, Failed };

class TScoreStore {
 public:
  virtual ~TScoreStore() = default;

  // Whether the database answers now (a health check).
  virtual bool Ping() = 0;
  // Writes the health check's mark (one row, its time): whether the database takes writes.
  virtual bool WriteHealthMark() = 0;
  // The schema version the database is at.
  virtual int SchemaVersion() = 0;
  // The stored hash of a player into hash, "" for a name not known; false when the database
  // failed.
  virtual bool PasswordHash(const std::string& player, std::string& hash) = 0;
  // Registers a new player; Taken when the name is in use (another request, or another server,
  // was first).
  virtual TAddPlayer AddPlayer(const std::string& player, const std::string& hash) = 0;
  // Replaces a known player's hash; false when there is no such player or the write failed.
  virtual bool SetPasswordHash(const std::string& player, const std::string& hash) = 0;
  // Stores a record in a table with its replay's text ("" for none) and, in the same
  // transaction, removes that player's records of that table beyond the best keep, their replays
  // with them. One already there from the same player with the same score, name and stamp is kept
  // once; it takes the replay when it had none. False when the write failed.
  virtual bool AddRecord(int64_t table, const std::string& player, const TServerRecord& record, int keep,
                         const std::string& replay) = 0;
  // The replay kept with a record of this table with this score, name and stamp (anyone's) into
  // text, "" when there is none; false when the database failed.
  virtual bool Replay(int64_t table, int64_t score, const std::string& name, int64_t stamp, std::string& text) = 0;
  // The best records of a table into rows, at most limit, highest score first (earlier first on
  // a tie).
  virtual bool Table(int64_t table, int limit, std::vector<TServerRecord>& rows) = 0;
  // Every player's name, in order.
  virtual bool Players(std::vector<std::string>& names) = 0;
  // Every record, or those of one table when table >= 0, by table and then as the table ranks.
  virtual bool Records(int64_t table, std::vector<TStoredRecord>& rows) = 0;
  // Deletes one record by its id; false when there was none (or the write failed).
  virtual bool DeleteRecord(int64_t id) = 0;
  // Deletes a player and every record they submitted; false when there was no such player.
  virtual bool DeletePlayer(const std::string& player) = 0;
  // Whether a record of this table with this score, name and stamp is stored, by anyone (the
  // load tests' check that nothing acknowledged was lost).
  virtual bool HasRecord(int64_t table, int64_t score, const std::string& name, int64_t stamp) = 0;

  // The last failure's reason.
  virtual std::string Error() = 0;
};

// Whether the database setting names a PostgreSQL server rather than a file.
bool IsPostgresUrl(const std::string& database);
// Opens the store the setting names, making or migrating its schema; null with the reason in
// error when it cannot (a database of a newer schema than this server knows is refused). No call
// waits for the database longer than callSeconds.
std::unique_ptr<TScoreStore> OpenScoreStore(const std::string& database, std::string& error,
                                            double callSeconds = 3);

// SQLite only: copies a live database into a file through SQLite's backup interface (a
// consistent copy even while a server writes; copying a WAL database's file alone can miss the
// writes still in its log). Restore copies a backup back over a database the same way, after
// checking the backup is whole and holds the score tables. False with the reason in error.
bool BackupSqlite(const std::string& database, const std::string& file, std::string& error);
bool RestoreSqlite(const std::string& file, const std::string& database, std::string& error);
