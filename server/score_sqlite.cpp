// The SQLite store: one connection in WAL mode, used under a lock, with its statements prepared
// once. Several server processes may share the file; SQLite's own locking (and a busy wait)
// orders their writes.
#include <sqlite3.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "score_migrations.h"
#include "score_store.h"

namespace {

const char kRecordColumns[] = "score, name, badges, stamp, level, mode, flags, quit, best";
const int kBusyMillis = 5000;  // the backup's wait for a writer

// One use of a cached statement: bound, stepped, and reset when it goes.
class TQuery {
 public:
  explicit TQuery(sqlite3_stmt* stmt) : stmt_(stmt) {}
  ~TQuery() {
    if (stmt_) {
      sqlite3_reset(stmt_);
      sqlite3_clear_bindings(stmt_);
    }
  }
  TQuery(const TQuery&) = delete;
  TQuery& operator=(const TQuery&) = delete;
  TQuery& Bind(int i, const std::string& text) {
    if (stmt_) sqlite3_bind_text(stmt_, i, text.data(), int(text.size()), SQLITE_TRANSIENT);
    return *this;
  }
  TQuery& Bind(int i, int64_t value) {
    if (stmt_) sqlite3_bind_int64(stmt_, i, value);
    return *this;
  }
  int Step() { return stmt_ ? sqlite3_step(stmt_) : SQLITE_ERROR; }
  int64_t Int(int column) { return sqlite3_column_int64(stmt_, column); }
  std::string Text(int column) {
    const unsigned char* text = sqlite3_column_text(stmt_, column);
    return text ? std::string(reinterpret_cast<const char*>(text), size_t(sqlite3_column_bytes(stmt_, column))) : "";
  }
  // The record columns from column first on, in kRecordColumns' order.
  TServerRecord Record(int first) {
    TServerRecord r;
    r.Score = Int(first);
    r.Name = Text(first + 1);
    r.Badges = Int(first + 2);
    r.Timestamp = Int(first + 3);
    r.Level = Int(first + 4);
    r.GameMode = Int(first + 5);
    r.GameFlags = Int(first + 6);
    r.Quit = Int(first + 7);
    r.Best = Text(first + 8);
    return r;
  }

 private:
  sqlite3_stmt* stmt_;
};

class TSqliteStore : public TScoreStore {
 public:
  ~TSqliteStore() override {
    for (auto& [sql, stmt] : statements_) sqlite3_finalize(stmt);
    if (db_) sqlite3_close(db_);
  }

  bool Open(const std::string& path, double callSeconds) {
    std::lock_guard<std::mutex> hold(mutex_);
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
      error_ = db_ ? sqlite3_errmsg(db_) : "out of memory";
      return false;
    }
    // Another process's write lock is waited out no longer than a call may take.
    sqlite3_busy_timeout(db_, int(callSeconds * 1000));
    // WAL with NORMAL syncing: a committed transaction survives the server process being killed;
    // only a power loss may take back the last few.
    return Exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;") && Migrate();
  }

  bool Ping() override {
    std::lock_guard<std::mutex> hold(mutex_);
    const int step = Query("SELECT 1 FROM players LIMIT 1").Step();
    return Done(step == SQLITE_ROW || step == SQLITE_DONE);
  }

  bool WriteHealthMark() override {
    std::lock_guard<std::mutex> hold(mutex_);
    const int64_t now = std::chrono::duration_cast<std::chrono::seconds>(
                            std::chrono::system_clock::now().time_since_epoch()).count();
    return Done(Query("INSERT OR REPLACE INTO health (id, at) VALUES (1, ?1)").Bind(1, now).Step() == SQLITE_DONE);
  }

  int SchemaVersion() override {
    std::lock_guard<std::mutex> hold(mutex_);
    return Version();
  }

  bool PasswordHash(const std::string& player, std::string& hash) override {
    std::lock_guard<std::mutex> hold(mutex_);
    TQuery q = Query("SELECT hash FROM players WHERE name = ?1");
    const int step = q.Bind(1, player).Step();
    hash = step == SQLITE_ROW ? q.Text(0) : "";
    return Done(step == SQLITE_ROW || step == SQLITE_DONE);
  }

  TAddPlayer AddPlayer(const std::string& player, const std::string& hash) override {
    std::lock_guard<std::mutex> hold(mutex_);
    const int step =
        Query("INSERT OR IGNORE INTO players (name, hash) VALUES (?1, ?2)").Bind(1, player).Bind(2, hash).Step();
    if (!Done(step == SQLITE_DONE)) return TAddPlayer::Failed;
    return sqlite3_changes(db_) == 1 ? TAddPlayer::Added : TAddPlayer::Taken;
  }

  bool SetPasswordHash(const std::string& player, const std::string& hash) override {
    std::lock_guard<std::mutex> hold(mutex_);
    const int step = Query("UPDATE players SET hash = ?2 WHERE name = ?1").Bind(1, player).Bind(2, hash).Step();
    return Done(step == SQLITE_DONE) && sqlite3_changes(db_) == 1;
  }

  bool AddRecord(int64_t table, const std::string& player, const TServerRecord& r, int keep,
                 const std::string& replay) override {
    std::lock_guard<std::mutex> hold(mutex_);
    if (!Exec("BEGIN IMMEDIATE")) return false;
    bool ok = Query("INSERT INTO records (tbl, player, score, name, badges, stamp, level, mode, flags, quit, best,"
                    " replay) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, nullif(?12, ''))"
                    " ON CONFLICT (tbl, player, score, name, stamp) DO UPDATE SET replay = excluded.replay"
                    " WHERE records.replay IS NULL AND excluded.replay IS NOT NULL")
                  .Bind(1, table).Bind(2, player).Bind(3, r.Score).Bind(4, r.Name).Bind(5, r.Badges)
                  .Bind(6, r.Timestamp).Bind(7, r.Level).Bind(8, r.GameMode).Bind(9, r.GameFlags)
                  .Bind(10, r.Quit).Bind(11, r.Best).Bind(12, replay)
                  .Step() == SQLITE_DONE;
    ok = ok && Query("DELETE FROM records WHERE tbl = ?1 AND player = ?2 AND id NOT IN (SELECT id FROM records"
                     " WHERE tbl = ?1 AND player = ?2 ORDER BY score DESC, id LIMIT ?3)")
                       .Bind(1, table).Bind(2, player).Bind(3, int64_t(keep))
                       .Step() == SQLITE_DONE;
    return Finish(Done(ok));
  }

  bool Replay(int64_t table, int64_t score, const std::string& name, int64_t stamp, std::string& text) override {
    std::lock_guard<std::mutex> hold(mutex_);
    TQuery q = Query("SELECT replay FROM records WHERE tbl = ?1 AND score = ?2 AND name = ?3 AND stamp = ?4"
                     " AND replay IS NOT NULL ORDER BY id LIMIT 1");
    const int step = q.Bind(1, table).Bind(2, score).Bind(3, name).Bind(4, stamp).Step();
    text = step == SQLITE_ROW ? q.Text(0) : "";
    return Done(step == SQLITE_ROW || step == SQLITE_DONE);
  }

  bool Table(int64_t table, int limit, std::vector<TServerRecord>& rows) override {
    std::lock_guard<std::mutex> hold(mutex_);
    TQuery q = Query("SELECT score, name, badges, stamp, level, mode, flags, quit, best FROM records"
                     " WHERE tbl = ?1 ORDER BY score DESC, id LIMIT ?2");
    q.Bind(1, table).Bind(2, int64_t(limit));
    rows.clear();
    int step;
    while ((step = q.Step()) == SQLITE_ROW) rows.push_back(q.Record(0));
    return Done(step == SQLITE_DONE);
  }

  bool Players(std::vector<std::string>& names) override {
    std::lock_guard<std::mutex> hold(mutex_);
    TQuery q = Query("SELECT name FROM players ORDER BY name");
    names.clear();
    int step;
    while ((step = q.Step()) == SQLITE_ROW) names.push_back(q.Text(0));
    return Done(step == SQLITE_DONE);
  }

  bool Records(int64_t table, std::vector<TStoredRecord>& rows) override {
    std::lock_guard<std::mutex> hold(mutex_);
    TQuery q = Query("SELECT id, tbl, player, score, name, badges, stamp, level, mode, flags, quit, best FROM records"
                     " WHERE ?1 < 0 OR tbl = ?1 ORDER BY tbl, score DESC, id");
    q.Bind(1, table);
    rows.clear();
    int step;
    while ((step = q.Step()) == SQLITE_ROW) rows.push_back({q.Int(0), q.Int(1), q.Text(2), q.Record(3)});
    return Done(step == SQLITE_DONE);
  }

  bool DeleteRecord(int64_t id) override {
    std::lock_guard<std::mutex> hold(mutex_);
    return Done(Query("DELETE FROM records WHERE id = ?1").Bind(1, id).Step() == SQLITE_DONE) &&
           sqlite3_changes(db_) == 1;
  }

  bool DeletePlayer(const std::string& player) override {
    std::lock_guard<std::mutex> hold(mutex_);
    if (!Exec("BEGIN IMMEDIATE")) return false;
    bool ok = Query("DELETE FROM records WHERE player = ?1").Bind(1, player).Step() == SQLITE_DONE;
    ok = ok && Query("DELETE FROM players WHERE name = ?1").Bind(1, player).Step() == SQLITE_DONE;
    const bool found = ok && sqlite3_changes(db_) == 1;
    return Finish(Done(ok) && found);
  }

  bool HasRecord(int64_t table, int64_t score, const std::string& name, int64_t stamp) override {
    std::lock_guard<std::mutex> hold(mutex_);
    return Query("SELECT 1 FROM records WHERE tbl = ?1 AND score = ?2 AND name = ?3 AND stamp = ?4")
               .Bind(1, table).Bind(2, score).Bind(3, name).Bind(4, stamp)
               .Step() == SQLITE_ROW;
  }

  std::string Error() override {
    std::lock_guard<std::mutex> hold(mutex_);
    return error_;
  }

 private:
  int Version() {
    TQuery q = Query("PRAGMA user_version");
    return q.Step() == SQLITE_ROW ? int(q.Int(0)) : -1;
  }
  // Brings the schema to this server's version, one transaction a step; a database of a newer
  // version is refused, as this server would not know what its records hold. The write lock is
  // taken before the version is read, so two servers starting at once migrate it once.
  bool Migrate() {
    for (;;) {
      if (!Exec("BEGIN IMMEDIATE")) return false;
      const int version = Version();
      if (version < 0 || version >= kSchemaVersion) {
        Exec("ROLLBACK");
        if (version > kSchemaVersion)
          error_ = "its schema version " + std::to_string(version) + " is newer than this server's " +
                   std::to_string(kSchemaVersion);
        return version == kSchemaVersion;
      }
      const std::string step = std::string(kSqliteMigrations[version].sql) + "PRAGMA user_version = " +
                               std::to_string(version + 1) + ";";
      if (!Exec(step.c_str()) || !Exec("COMMIT")) {
        const std::string why = error_;
        Exec("ROLLBACK");
        error_ = "migration to schema version " + std::to_string(version + 1) + " (" +
                 kSqliteMigrations[version].what + ") failed: " + why;
        return false;
      }
    }
  }
  // The statement of this text, prepared on first use. Called under the lock.
  TQuery Query(const char* sql) {
    sqlite3_stmt*& stmt = statements_[sql];
    if (!stmt) sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    return TQuery(stmt);
  }
  // ok, noting the connection's reason when it is false.
  bool Done(bool ok) {
    if (!ok) error_ = sqlite3_errmsg(db_);
    return ok;
  }
  // Commits the transaction when ok, else rolls it back keeping the reason; whether it committed.
  bool Finish(bool ok) {
    if (ok && Exec("COMMIT")) return true;
    const std::string why = error_;
    Exec("ROLLBACK");
    error_ = why;
    return false;
  }
  bool Exec(const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
    error_ = message ? message : "unknown error";
    sqlite3_free(message);
    return false;
  }

  std::mutex mutex_;
  sqlite3* db_ = nullptr;
  std::unordered_map<const char*, sqlite3_stmt*> statements_;  // by the address of their literal text
  std::string error_;
};

// Copies every page of from's main database into to's, waiting out a writer's lock.
bool CopyDatabase(sqlite3* from, sqlite3* to, std::string& error) {
  sqlite3_backup* backup = sqlite3_backup_init(to, "main", from, "main");
  if (!backup) {
    error = sqlite3_errmsg(to);
    return false;
  }
  int step;
  for (int tries = 0; (step = sqlite3_backup_step(backup, -1)) == SQLITE_BUSY || step == SQLITE_LOCKED; ++tries) {
    if (tries * 10 > kBusyMillis) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  sqlite3_backup_finish(backup);
  if (step == SQLITE_DONE) return true;
  error = sqlite3_errstr(step);
  return false;
}

// Opens a connection; false (closing it) with the reason in error.
bool OpenDatabase(const std::string& path, int flags, sqlite3*& db, std::string& error) {
  if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) == SQLITE_OK) {
    sqlite3_busy_timeout(db, kBusyMillis);
    return true;
  }
  error = path + ": " + (db ? sqlite3_errmsg(db) : "out of memory");
  sqlite3_close(db);
  db = nullptr;
  return false;
}

// The first row's text of a one-value query, "" when there is none.
std::string Value(sqlite3* db, const char* sql) {
  sqlite3_stmt* stmt = nullptr;
  std::string value;
  if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW &&
      sqlite3_column_text(stmt, 0))
    value = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
  sqlite3_finalize(stmt);
  return value;
}

}  // namespace

bool IsPostgresUrl(const std::string& database) {
  return database.rfind("postgresql://", 0) == 0 || database.rfind("postgres://", 0) == 0;
}

std::unique_ptr<TScoreStore> OpenPostgresStore(const std::string& url, std::string& error, double callSeconds);

std::unique_ptr<TScoreStore> OpenScoreStore(const std::string& database, std::string& error, double callSeconds) {
  if (IsPostgresUrl(database)) return OpenPostgresStore(database, error, callSeconds);
  auto store = std::make_unique<TSqliteStore>();
  if (store->Open(database, callSeconds)) return store;
  error = database + ": " + store->Error();
  return nullptr;
}

bool BackupSqlite(const std::string& database, const std::string& file, std::string& error) {
  sqlite3* from = nullptr;
  sqlite3* to = nullptr;
  // Written beside the file and renamed, so a backup cut short never passes for a whole one.
  const std::string part = file + ".part";
  std::remove(part.c_str());
  // It holds every password hash: made for its owner alone, whatever the umask.
  const int made = open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (made < 0) {
    error = "cannot make " + part;
    return false;
  }
  close(made);
  bool ok = OpenDatabase(database, SQLITE_OPEN_READWRITE, from, error) &&
            OpenDatabase(part, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, to, error) && CopyDatabase(from, to, error);
  sqlite3_close(to);
  sqlite3_close(from);
  if (ok && std::rename(part.c_str(), file.c_str()) != 0) {
    error = "cannot rename " + part + " to " + file;
    ok = false;
  }
  if (!ok) std::remove(part.c_str());
  return ok;
}

bool RestoreSqlite(const std::string& file, const std::string& database, std::string& error) {
  sqlite3* from = nullptr;
  sqlite3* to = nullptr;
  bool ok = OpenDatabase(file, SQLITE_OPEN_READONLY, from, error);
  if (ok && Value(from, "PRAGMA quick_check") != "ok") {
    error = file + " is damaged";
    ok = false;
  }
  if (ok && Value(from, "SELECT count(*) FROM sqlite_master WHERE name IN ('players', 'records')") != "2") {
    error = file + " holds no score tables";
    ok = false;
  }
  ok = ok && OpenDatabase(database, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, to, error) &&
       CopyDatabase(from, to, error);
  sqlite3_close(to);
  sqlite3_close(from);
  return ok;
}
