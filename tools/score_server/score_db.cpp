// SQLite behind the score server: every value goes in through bound parameters.
#include "score_db.h"

#include <sqlite3.h>

namespace {

// A prepared statement that finalises itself.
class TStatement {
 public:
  TStatement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
  ~TStatement() { sqlite3_finalize(stmt_); }
  TStatement(const TStatement&) = delete;
  TStatement& operator=(const TStatement&) = delete;
  bool Ok() const { return stmt_ != nullptr; }
  TStatement& Bind(int i, const std::string& text) {
    sqlite3_bind_text(stmt_, i, text.data(), int(text.size()), SQLITE_TRANSIENT);
    return *this;
  }
  TStatement& Bind(int i, int64_t value) {
    sqlite3_bind_int64(stmt_, i, value);
    return *this;
  }
  int Step() { return stmt_ ? sqlite3_step(stmt_) : SQLITE_ERROR; }
  int64_t Int(int column) { return sqlite3_column_int64(stmt_, column); }
  std::string Text(int column) {
    const unsigned char* text = sqlite3_column_text(stmt_, column);
    return text ? std::string(reinterpret_cast<const char*>(text), size_t(sqlite3_column_bytes(stmt_, column))) : "";
  }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace

TScoreDb::~TScoreDb() {
  if (db_) sqlite3_close(db_);
}

bool TScoreDb::Exec(const char* sql) {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
  error_ = message ? message : "unknown error";
  sqlite3_free(message);
  return false;
}

bool TScoreDb::Open(const std::string& path) {
  std::lock_guard<std::mutex> hold(mutex_);
  if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                      nullptr) != SQLITE_OK) {
    error_ = db_ ? sqlite3_errmsg(db_) : "out of memory";
    return false;
  }
  sqlite3_busy_timeout(db_, 5000);
  // WAL with NORMAL syncing: a committed transaction survives the server process being killed;
  // only a power loss may take back the last few.
  return Exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;") &&
         Exec("CREATE TABLE IF NOT EXISTS players (name TEXT PRIMARY KEY, hash TEXT NOT NULL);"
              "CREATE TABLE IF NOT EXISTS records (id INTEGER PRIMARY KEY, tbl INTEGER NOT NULL,"
              " player TEXT NOT NULL, score INTEGER NOT NULL, name TEXT NOT NULL, badges INTEGER,"
              " stamp INTEGER NOT NULL, level INTEGER, mode INTEGER, flags INTEGER, quit INTEGER,"
              " best TEXT NOT NULL, UNIQUE (tbl, score, name, stamp));"
              "CREATE INDEX IF NOT EXISTS records_by_table ON records (tbl, score DESC, id);");
}

std::string TScoreDb::PasswordHash(const std::string& player) {
  std::lock_guard<std::mutex> hold(mutex_);
  TStatement q(db_, "SELECT hash FROM players WHERE name = ?1");
  q.Bind(1, player);
  return q.Step() == SQLITE_ROW ? q.Text(0) : "";
}

bool TScoreDb::AddPlayer(const std::string& player, const std::string& hash) {
  std::lock_guard<std::mutex> hold(mutex_);
  TStatement q(db_, "INSERT OR IGNORE INTO players (name, hash) VALUES (?1, ?2)");
  q.Bind(1, player).Bind(2, hash);
  return q.Step() == SQLITE_DONE && sqlite3_changes(db_) == 1;
}

bool TScoreDb::AddRecord(int64_t table, const std::string& player, const TServerRecord& r) {
  std::lock_guard<std::mutex> hold(mutex_);
  TStatement q(db_,
               "INSERT OR IGNORE INTO records (tbl, player, score, name, badges, stamp, level, mode,"
               " flags, quit, best) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)");
  q.Bind(1, table).Bind(2, player).Bind(3, r.Score).Bind(4, r.Name).Bind(5, r.Badges);
  q.Bind(6, r.Timestamp).Bind(7, r.Level).Bind(8, r.GameMode).Bind(9, r.GameFlags).Bind(10, r.Quit);
  q.Bind(11, r.Best);
  return q.Step() == SQLITE_DONE;
}

std::vector<TServerRecord> TScoreDb::Table(int64_t table, int limit) {
  std::lock_guard<std::mutex> hold(mutex_);
  TStatement q(db_,
               "SELECT score, name, badges, stamp, level, mode, flags, quit, best FROM records"
               " WHERE tbl = ?1 ORDER BY score DESC, id LIMIT ?2");
  q.Bind(1, table).Bind(2, int64_t(limit));
  std::vector<TServerRecord> rows;
  while (q.Step() == SQLITE_ROW) {
    TServerRecord r;
    r.Score = q.Int(0);
    r.Name = q.Text(1);
    r.Badges = q.Int(2);
    r.Timestamp = q.Int(3);
    r.Level = q.Int(4);
    r.GameMode = q.Int(5);
    r.GameFlags = q.Int(6);
    r.Quit = q.Int(7);
    r.Best = q.Text(8);
    rows.push_back(r);
  }
  return rows;
}

std::vector<std::string> TScoreDb::Players() {
  std::lock_guard<std::mutex> hold(mutex_);
  TStatement q(db_, "SELECT name FROM players ORDER BY name");
  std::vector<std::string> names;
  while (q.Step() == SQLITE_ROW) names.push_back(q.Text(0));
  return names;
}

bool TScoreDb::HasRecord(int64_t table, int64_t score, const std::string& name, int64_t stamp) {
  std::lock_guard<std::mutex> hold(mutex_);
  TStatement q(db_, "SELECT 1 FROM records WHERE tbl = ?1 AND score = ?2 AND name = ?3 AND stamp = ?4");
  q.Bind(1, table).Bind(2, score).Bind(3, name).Bind(4, stamp);
  return q.Step() == SQLITE_ROW;
}
