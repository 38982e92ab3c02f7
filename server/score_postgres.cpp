// The PostgreSQL store: a pool of libpq connections, one per thread that needs one at a time,
// each with the statements prepared. A connection that broke is dropped and a fresh one opened
// on the next use, so the server rides out a database restart. Text goes over as Latin-1, which
// the database converts to and from its own encoding: the game's names are 8-bit text, and any
// byte must come back as it went in.
#include <libpq-fe.h>

#include <cstdlib>
#include <mutex>
#include <vector>

#include "score_store.h"

namespace {

// Whether the schema is there already: making it again would lock the tables against the
// writes of the servers already running.
const char kSchemaMade[] =
    "SELECT count(*) FROM pg_class WHERE relnamespace = current_schema()::regnamespace"
    " AND relname IN ('players', 'records', 'records_by_table', 'records_by_player')";
// The lock is held while the schema is made, so two servers starting at once do not race.
const char kSchema[] =
    "SET client_min_messages = warning;"
    "BEGIN;"
    "SELECT pg_advisory_xact_lock(7315561);"
    "CREATE TABLE IF NOT EXISTS players (name TEXT PRIMARY KEY, hash TEXT NOT NULL);"
    "CREATE TABLE IF NOT EXISTS records (id BIGSERIAL PRIMARY KEY, tbl BIGINT NOT NULL,"
    " player TEXT NOT NULL, score BIGINT NOT NULL, name TEXT NOT NULL, badges BIGINT,"
    " stamp BIGINT NOT NULL, level BIGINT, mode BIGINT, flags BIGINT, quit BIGINT,"
    " best TEXT NOT NULL, UNIQUE (tbl, score, name, stamp));"
    "CREATE INDEX IF NOT EXISTS records_by_table ON records (tbl, score DESC, id);"
    "CREATE INDEX IF NOT EXISTS records_by_player ON records (tbl, player, score DESC, id);"
    "COMMIT;";

struct TStatementText {
  const char* name;
  const char* sql;
};

// Every statement, prepared on each connection. Names sort as bytes, as SQLite sorts them.
const TStatementText kStatements[] = {
    {"ping", "SELECT 1"},
    {"hash", "SELECT hash FROM players WHERE name = $1"},
    {"add_player", "INSERT INTO players (name, hash) VALUES ($1, $2) ON CONFLICT DO NOTHING"},
    {"set_hash", "UPDATE players SET hash = $2 WHERE name = $1"},
    {"add_record",
     "INSERT INTO records (tbl, player, score, name, badges, stamp, level, mode, flags, quit, best)"
     " VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11) ON CONFLICT DO NOTHING"},
    {"prune",
     "DELETE FROM records WHERE tbl = $1 AND player = $2 AND id NOT IN (SELECT id FROM records"
     " WHERE tbl = $1 AND player = $2 ORDER BY score DESC, id LIMIT $3)"},
    {"table",
     "SELECT score, name, badges, stamp, level, mode, flags, quit, best FROM records"
     " WHERE tbl = $1 ORDER BY score DESC, id LIMIT $2"},
    {"players", "SELECT name FROM players ORDER BY name COLLATE \"C\""},
    {"records",
     "SELECT id, tbl, player, score, name, badges, stamp, level, mode, flags, quit, best FROM records"
     " WHERE $1 < 0 OR tbl = $1 ORDER BY tbl, score DESC, id"},
    {"delete_record", "DELETE FROM records WHERE id = $1"},
    {"delete_player_records", "DELETE FROM records WHERE player = $1"},
    {"delete_player", "DELETE FROM players WHERE name = $1"},
    {"has_record", "SELECT 1 FROM records WHERE tbl = $1 AND score = $2 AND name = $3 AND stamp = $4"},
};

// A result that clears itself.
class TResult {
 public:
  explicit TResult(PGresult* result) : result_(result) {}
  ~TResult() { PQclear(result_); }
  TResult(const TResult&) = delete;
  TResult& operator=(const TResult&) = delete;
  bool Ok() const {
    const ExecStatusType status = PQresultStatus(result_);
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
  }
  int Rows() const { return PQntuples(result_); }
  int Changed() const { return std::atoi(PQcmdTuples(result_)); }
  std::string Text(int row, int column) const {
    return std::string(PQgetvalue(result_, row, column), size_t(PQgetlength(result_, row, column)));
  }
  int64_t Int(int row, int column) const { return std::strtoll(PQgetvalue(result_, row, column), nullptr, 10); }
  // The record columns of a row from column first on.
  TServerRecord Record(int row, int first) const {
    TServerRecord r;
    r.Score = Int(row, first);
    r.Name = Text(row, first + 1);
    r.Badges = Int(row, first + 2);
    r.Timestamp = Int(row, first + 3);
    r.Level = Int(row, first + 4);
    r.GameMode = Int(row, first + 5);
    r.GameFlags = Int(row, first + 6);
    r.Quit = Int(row, first + 7);
    r.Best = Text(row, first + 8);
    return r;
  }
  // Whether the failure is one that trying the same transaction again can cure.
  bool Retryable() const {
    const char* state = PQresultErrorField(result_, PG_DIAG_SQLSTATE);
    return state && (std::string(state) == "40001" || std::string(state) == "40P01");
  }

 private:
  PGresult* result_;
};

class TPostgresStore : public TScoreStore {
 public:
  explicit TPostgresStore(std::string url) : url_(std::move(url)) {}
  ~TPostgresStore() override {
    for (PGconn* c : idle_) PQfinish(c);
  }

  // Opens the first connection and makes the schema.
  bool Open() {
    PGconn* c = PQconnectdb(url_.c_str());
    if (PQstatus(c) != CONNECTION_OK) {
      Fail(c);
      return false;
    }
    TResult made(PQexec(c, kSchemaMade));
    if (!made.Ok() || (made.Int(0, 0) != 4 && !TResult(PQexec(c, kSchema)).Ok()) || !Prepare(c)) {
      Fail(c);
      return false;
    }
    Give(c);
    return true;
  }

  bool Ping() override {
    return Use([&](PGconn* c) { return Ok(c, Run(c, "ping", {})); });
  }

  bool PasswordHash(const std::string& player, std::string& hash) override {
    return Use([&](PGconn* c) {
      TResult r(Run(c, "hash", {player}));
      hash = r.Ok() && r.Rows() == 1 ? r.Text(0, 0) : "";
      return Ok(c, r);
    });
  }

  TAddPlayer AddPlayer(const std::string& player, const std::string& hash) override {
    TAddPlayer result = TAddPlayer::Failed;
    Use([&](PGconn* c) {
      TResult r(Run(c, "add_player", {player, hash}));
      if (!Ok(c, r)) return false;
      result = r.Changed() == 1 ? TAddPlayer::Added : TAddPlayer::Taken;
      return true;
    });
    return result;
  }

  bool SetPasswordHash(const std::string& player, const std::string& hash) override {
    return Use([&](PGconn* c) {
      TResult r(Run(c, "set_hash", {player, hash}));
      return Ok(c, r) && r.Changed() == 1;
    });
  }

  bool AddRecord(int64_t table, const std::string& player, const TServerRecord& r, int keep) override {
    const std::string tbl = std::to_string(table);
    return Use([&](PGconn* c) {
      // Two servers pruning one player's table at once can deadlock; the loser tries again.
      for (int attempt = 0;; ++attempt) {
        bool retry = false;
        auto step = [&](PGresult* raw) {
          TResult result(raw);
          retry = retry || result.Retryable();
          return Ok(c, result);
        };
        const bool ok =
            step(PQexec(c, "BEGIN")) &&
            step(Run(c, "add_record",
                     {tbl, player, std::to_string(r.Score), r.Name, std::to_string(r.Badges),
                      std::to_string(r.Timestamp), std::to_string(r.Level), std::to_string(r.GameMode),
                      std::to_string(r.GameFlags), std::to_string(r.Quit), r.Best})) &&
            step(Run(c, "prune", {tbl, player, std::to_string(keep)})) && step(PQexec(c, "COMMIT"));
        if (ok) return true;
        TResult rollback(PQexec(c, "ROLLBACK"));
        if (!retry || attempt == 2) return false;
      }
    });
  }

  bool Table(int64_t table, int limit, std::vector<TServerRecord>& rows) override {
    return Use([&](PGconn* c) {
      TResult r(Run(c, "table", {std::to_string(table), std::to_string(limit)}));
      rows.clear();
      for (int i = 0; r.Ok() && i < r.Rows(); ++i) rows.push_back(r.Record(i, 0));
      return Ok(c, r);
    });
  }

  bool Players(std::vector<std::string>& names) override {
    return Use([&](PGconn* c) {
      TResult r(Run(c, "players", {}));
      names.clear();
      for (int i = 0; r.Ok() && i < r.Rows(); ++i) names.push_back(r.Text(i, 0));
      return Ok(c, r);
    });
  }

  bool Records(int64_t table, std::vector<TStoredRecord>& rows) override {
    return Use([&](PGconn* c) {
      TResult r(Run(c, "records", {std::to_string(table)}));
      rows.clear();
      for (int i = 0; r.Ok() && i < r.Rows(); ++i)
        rows.push_back({r.Int(i, 0), r.Int(i, 1), r.Text(i, 2), r.Record(i, 3)});
      return Ok(c, r);
    });
  }

  bool DeleteRecord(int64_t id) override {
    return Use([&](PGconn* c) {
      TResult r(Run(c, "delete_record", {std::to_string(id)}));
      return Ok(c, r) && r.Changed() == 1;
    });
  }

  bool DeletePlayer(const std::string& player) override {
    return Use([&](PGconn* c) {
      TResult begin(PQexec(c, "BEGIN"));
      TResult records(Run(c, "delete_player_records", {player}));
      TResult players(Run(c, "delete_player", {player}));
      const bool found = Ok(c, begin) && Ok(c, records) && Ok(c, players) && players.Changed() == 1;
      TResult end(PQexec(c, found ? "COMMIT" : "ROLLBACK"));
      return found && Ok(c, end);
    });
  }

  bool HasRecord(int64_t table, int64_t score, const std::string& name, int64_t stamp) override {
    return Use([&](PGconn* c) {
      TResult r(Run(c, "has_record", {std::to_string(table), std::to_string(score), name, std::to_string(stamp)}));
      return Ok(c, r) && r.Rows() == 1;
    });
  }

  std::string Error() override {
    std::lock_guard<std::mutex> hold(mutex_);
    return error_;
  }

 private:
  // A connection from the pool when pooled, else (or when the pool is empty) a new one; null
  // (with the reason noted) when none opens.
  PGconn* Connect(bool& pooled) {
    {
      std::lock_guard<std::mutex> hold(mutex_);
      if (pooled && !idle_.empty()) {
        PGconn* c = idle_.back();
        idle_.pop_back();
        return c;
      }
    }
    pooled = false;
    PGconn* c = PQconnectdb(url_.c_str());
    if (PQstatus(c) == CONNECTION_OK && Prepare(c)) return c;
    Fail(c);
    return nullptr;
  }
  // Sets the text encoding and prepares every statement on a new connection.
  static bool Prepare(PGconn* c) {
    if (PQsetClientEncoding(c, "LATIN1") != 0) return false;
    for (const TStatementText& s : kStatements)
      if (!TResult(PQprepare(c, s.name, s.sql, 0, nullptr)).Ok()) return false;
    return true;
  }
  void Give(PGconn* c) {
    std::lock_guard<std::mutex> hold(mutex_);
    idle_.push_back(c);
  }
  // Notes the connection's reason and closes it.
  void Fail(PGconn* c) {
    std::string why = c ? PQerrorMessage(c) : "out of memory";
    while (!why.empty() && (why.back() == '\n' || why.back() == ' ')) why.pop_back();
    {
      std::lock_guard<std::mutex> hold(mutex_);
      error_ = why.empty() ? "the database did not answer" : why;
    }
    PQfinish(c);
  }
  // Runs work on a pooled connection; a connection that broke is not given back. One that broke
  // while it waited in the pool (the database restarted) makes the pool start afresh, and the
  // work runs once more on a new connection: every write is safe to repeat.
  template <typename TWork>
  bool Use(TWork work) {
    for (bool pooled = true;;) {
      PGconn* c = Connect(pooled);
      if (!c) return false;
      const bool ok = work(c);
      if (PQstatus(c) == CONNECTION_OK && PQtransactionStatus(c) == PQTRANS_IDLE) {
        Give(c);
        return ok;
      }
      Fail(c);
      if (ok || !pooled) return ok;
      std::vector<PGconn*> stale;
      {
        std::lock_guard<std::mutex> hold(mutex_);
        stale.swap(idle_);
      }
      for (PGconn* s : stale) PQfinish(s);
      pooled = false;
    }
  }
  // Whether a result succeeded, noting the reason when not.
  bool Ok(PGconn* c, const TResult& r) {
    if (r.Ok()) return true;
    std::string why = PQerrorMessage(c);
    while (!why.empty() && (why.back() == '\n' || why.back() == ' ')) why.pop_back();
    std::lock_guard<std::mutex> hold(mutex_);
    error_ = why;
    return false;
  }
  bool Ok(PGconn* c, PGresult* raw) {
    TResult r(raw);
    return Ok(c, r);
  }
  PGresult* Run(PGconn* c, const char* name, const std::vector<std::string>& params) {
    std::vector<const char*> values;
    std::vector<int> lengths;
    for (const std::string& p : params) {
      values.push_back(p.c_str());
      lengths.push_back(int(p.size()));
    }
    return PQexecPrepared(c, name, int(params.size()), values.data(), lengths.data(), nullptr, 0);
  }

  const std::string url_;
  std::mutex mutex_;
  std::vector<PGconn*> idle_;
  std::string error_;
};

}  // namespace

std::unique_ptr<TScoreStore> OpenPostgresStore(const std::string& url, std::string& error) {
  auto store = std::make_unique<TPostgresStore>(url);
  if (store->Open()) return store;
  error = store->Error();
  return nullptr;
}
