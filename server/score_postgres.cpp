// The PostgreSQL store: a pool of libpq connections, one per thread that needs one at a time,
// each with the statements prepared. A connection that broke is dropped and a fresh one opened
// on the next use, so the server rides out a database restart. Every call is bounded: libpq's
// connect_timeout for connecting, and each query is sent without blocking and waited for until
// the call's deadline, when the connection is given up (a stopped database never answers, and
// statement_timeout runs on the database's side). Text goes over as Latin-1, which
// the database converts to and from its own encoding: the game's names are 8-bit text, and any
// byte must come back as it went in.
#include <libpq-fe.h>

#include <poll.h>

#include <chrono>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "score_migrations.h"
#include "score_store.h"

namespace {

// The schema's version, read without a lock first: taking the migrations' lock (and making the
// version table) when nothing is to be done would hold up the writes of the servers running.
const char kVersionKept[] =
    "SELECT count(*) FROM pg_class WHERE relnamespace = current_schema()::regnamespace AND relname = 'schema_version'";
const char kVersionRead[] = "SELECT coalesce(max(version), 0) FROM schema_version";
// Held while migrating, so that two servers starting at once do not race.
const char kMigrationLock[] = "SELECT pg_advisory_xact_lock(7315561)";

struct TStatementText {
  const char* name;
  const char* sql;
};

// Every statement, prepared on each connection. Names sort as bytes, as SQLite sorts them.
const TStatementText kStatements[] = {
    {"ping", "SELECT 1"},
    {"health", "INSERT INTO health (id, at) VALUES (1, $1) ON CONFLICT (id) DO UPDATE SET at = excluded.at"},
    {"version", kVersionRead},
    {"hash", "SELECT hash FROM players WHERE name = $1"},
    {"add_player", "INSERT INTO players (name, hash) VALUES ($1, $2) ON CONFLICT DO NOTHING"},
    {"set_hash", "UPDATE players SET hash = $2 WHERE name = $1"},
    {"add_record",
     "INSERT INTO records (tbl, player, score, name, badges, stamp, level, mode, flags, quit, best, replay)"
     " VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, nullif($12, ''))"
     " ON CONFLICT (tbl, player, score, name, stamp) DO UPDATE SET replay = excluded.replay"
     " WHERE records.replay IS NULL AND excluded.replay IS NOT NULL"},
    {"replay",
     "SELECT replay FROM records WHERE tbl = $1 AND score = $2 AND name = $3 AND stamp = $4"
     " AND replay IS NOT NULL ORDER BY id LIMIT 1"},
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
  explicit TResult(PGresult* result) : result_(result) {}  // null: no result came in time
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
  TPostgresStore(std::string url, double callSeconds)
      : url_(std::move(url)),
        call_(std::chrono::duration_cast<TClock::duration>(std::chrono::duration<double>(callSeconds))),
        connect_seconds_(std::to_string(std::max(2, int(callSeconds + 0.5)))) {}
  ~TPostgresStore() override {
    for (PGconn* c : idle_) PQfinish(c);
  }

  // Opens the first connection and brings the schema to this server's version.
  bool Open() {
    deadline_ = TClock::now() + call_;
    PGconn* c = NewConnection();
    if (!c) return false;
    if (!Migrate(c) || !Prepare(c)) {
      PQfinish(c);  // the reason is noted
      return false;
    }
    Give(c);
    return true;
  }

  bool Ping() override {
    return Use([&](PGconn* c) { return Ok(c, Run(c, "ping", {})); });
  }

  bool WriteHealthMark() override {
    const int64_t now = std::chrono::duration_cast<std::chrono::seconds>(
                            std::chrono::system_clock::now().time_since_epoch()).count();
    return Use([&](PGconn* c) { return Ok(c, Run(c, "health", {std::to_string(now)})); });
  }

  int SchemaVersion() override {
    int version = -1;
    Use([&](PGconn* c) {
      TResult r(Run(c, "version", {}));
      if (r.Ok() && r.Rows() == 1) version = int(r.Int(0, 0));
      return Ok(c, r);
    });
    return version;
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

  bool AddRecord(int64_t table, const std::string& player, const TServerRecord& r, int keep,
                 const std::string& replay) override {
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
            step(Exec(c, "BEGIN")) &&
            step(Run(c, "add_record",
                     {tbl, player, std::to_string(r.Score), r.Name, std::to_string(r.Badges),
                      std::to_string(r.Timestamp), std::to_string(r.Level), std::to_string(r.GameMode),
                      std::to_string(r.GameFlags), std::to_string(r.Quit), r.Best, replay})) &&
            step(Run(c, "prune", {tbl, player, std::to_string(keep)})) && step(Exec(c, "COMMIT"));
        if (ok) return true;
        TResult rollback(Exec(c, "ROLLBACK"));
        if (!retry || attempt == 2) return false;
      }
    });
  }

  bool Replay(int64_t table, int64_t score, const std::string& name, int64_t stamp, std::string& text) override {
    return Use([&](PGconn* c) {
      TResult r(Run(c, "replay", {std::to_string(table), std::to_string(score), name, std::to_string(stamp)}));
      text = r.Ok() && r.Rows() == 1 ? r.Text(0, 0) : "";
      return Ok(c, r);
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
      TResult begin(Exec(c, "BEGIN"));
      TResult records(Run(c, "delete_player_records", {player}));
      TResult players(Run(c, "delete_player", {player}));
      const bool found = Ok(c, begin) && Ok(c, records) && Ok(c, players) && players.Changed() == 1;
      TResult end(Exec(c, found ? "COMMIT" : "ROLLBACK"));
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
  using TClock = std::chrono::steady_clock;

  // A new connection, given up after connect_timeout; null (with the reason noted) when none.
  PGconn* NewConnection() {
    const char* keys[] = {"dbname", "connect_timeout", nullptr};
    const char* values[] = {url_.c_str(), connect_seconds_.c_str(), nullptr};
    PGconn* c = PQconnectdbParams(keys, values, 1);
    if (PQstatus(c) == CONNECTION_OK && PQsetnonblocking(c, 1) == 0) return c;
    Fail(c);
    return nullptr;
  }
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
    PGconn* c = NewConnection();
    if (!c || Prepare(c)) return c;
    Fail(c);
    return nullptr;
  }
  // The last result of what was sent on c, waited for until the call's deadline; null when it
  // did not come by then, or the connection failed (either way the connection is not idle any
  // more, so it is not given back to the pool).
  PGresult* Await(PGconn* c, bool sent) {
    if (!sent) return nullptr;
    while (PQflush(c) == 1)
      if (!WaitFor(c, POLLOUT | POLLIN)) return nullptr;
    PGresult* last = nullptr;
    for (;;) {
      while (!PQisBusy(c)) {
        PGresult* r = PQgetResult(c);
        if (!r) return last;
        PQclear(last);
        last = r;
      }
      if (!WaitFor(c, POLLIN) || !PQconsumeInput(c)) {
        PQclear(last);
        return nullptr;
      }
    }
  }
  // Waits until c's socket is ready; false at the deadline (noted as the reason).
  bool WaitFor(PGconn* c, short events) {
    const long long left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - TClock::now()).count();
    pollfd p{PQsocket(c), events, 0};
    if (left > 0 && poll(&p, 1, int(left)) > 0) return true;
    std::lock_guard<std::mutex> hold(mutex_);
    timed_out_ = true;
    error_ = "the database did not answer within " +
             std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(call_).count()) + " ms";
    return false;
  }
  PGresult* Exec(PGconn* c, const char* sql) { return Await(c, PQsendQuery(c, sql) == 1); }
  // Brings the schema to this server's version, under the migrations' lock, one transaction a
  // step; a database of a newer version is refused.
  bool Migrate(PGconn* c) {
    TResult kept(Exec(c, kVersionKept));
    if (!Ok(c, kept)) return false;
    if (kept.Int(0, 0) == 1) {
      TResult first(Exec(c, kVersionRead));
      if (!Ok(c, first)) return false;
      if (first.Int(0, 0) == kSchemaVersion) return true;
    }
    for (;;) {
      TResult quiet(Exec(c, "SET client_min_messages = warning"));
      TResult begin(Exec(c, "BEGIN"));
      TResult lock(Exec(c, kMigrationLock));
      TResult made(Exec(c, "CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)"));
      TResult read(Exec(c, kVersionRead));
      if (!Ok(c, begin) || !Ok(c, lock) || !Ok(c, made) || !Ok(c, read)) return Rollback(c, "");
      const int version = int(read.Int(0, 0));
      if (version >= kSchemaVersion) {
        TResult end(Exec(c, "ROLLBACK"));
        if (version == kSchemaVersion) return Ok(c, end);
        std::lock_guard<std::mutex> hold(mutex_);
        error_ = "its schema version " + std::to_string(version) + " is newer than this server's " +
                 std::to_string(kSchemaVersion);
        return false;
      }
      const TMigration& m = kPostgresMigrations[version];
      TResult step(Exec(c, m.sql));
      TResult mark(Exec(c, ("DELETE FROM schema_version; INSERT INTO schema_version VALUES (" +
                            std::to_string(version + 1) + ")").c_str()));
      if (!Ok(c, step) || !Ok(c, mark))
        return Rollback(c, "migration to schema version " + std::to_string(version + 1) + " (" + m.what + ") failed: ");
      TResult commit(Exec(c, "COMMIT"));
      if (!Ok(c, commit)) return false;
    }
  }
  bool Rollback(PGconn* c, const std::string& what) {
    TResult undo(Exec(c, "ROLLBACK"));
    std::lock_guard<std::mutex> hold(mutex_);
    error_ = what + error_;
    return false;
  }
  // Sets the text encoding and prepares every statement on a new connection.
  bool Prepare(PGconn* c) {
    TResult encoding(Exec(c, "SET client_encoding = 'LATIN1'"));
    if (!Ok(c, encoding)) return false;
    for (const TStatementText& s : kStatements)
      if (!Ok(c, Await(c, PQsendPrepare(c, s.name, s.sql, 0, nullptr) == 1))) return false;
    return true;
  }
  void Give(PGconn* c) {
    std::lock_guard<std::mutex> hold(mutex_);
    idle_.push_back(c);
  }
  // Notes the connection's reason (unless it ran out of time, which is noted already) and
  // closes it.
  void Fail(PGconn* c) {
    std::string why = c ? PQerrorMessage(c) : "out of memory";
    while (!why.empty() && (why.back() == '\n' || why.back() == ' ')) why.pop_back();
    {
      std::lock_guard<std::mutex> hold(mutex_);
      if (!timed_out_) error_ = why.empty() ? "the database did not answer" : why;
    }
    PQfinish(c);
  }
  // Runs work on a pooled connection; a connection that broke is not given back. One that broke
  // while it waited in the pool (the database restarted) makes the pool start afresh, and the
  // work runs once more on a new connection: every write is safe to repeat.
  // The call's deadline bounds all of it, a fresh connection and a second try included; a call
  // that ran out of time is not tried again.
  template <typename TWork>
  bool Use(TWork work) {
    deadline_ = TClock::now() + call_;
    timed_out_ = false;
    for (bool pooled = true;;) {
      PGconn* c = Connect(pooled);
      if (!c) return false;
      const bool ok = work(c);
      if (PQstatus(c) == CONNECTION_OK && PQtransactionStatus(c) == PQTRANS_IDLE) {
        Give(c);
        return ok;
      }
      Fail(c);
      if (ok || !pooled || timed_out_) return ok;
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
    if (timed_out_) return false;  // the reason is noted
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
    return Await(c, PQsendQueryPrepared(c, name, int(params.size()), values.data(), lengths.data(), nullptr, 0) == 1);
  }

  const std::string url_;
  const TClock::duration call_;
  const std::string connect_seconds_;
  // The deadline of the call this thread runs, and whether it was reached.
  static thread_local TClock::time_point deadline_;
  static thread_local bool timed_out_;
  std::mutex mutex_;
  std::vector<PGconn*> idle_;
  std::string error_;
};

}  // namespace

thread_local TPostgresStore::TClock::time_point TPostgresStore::deadline_;
thread_local bool TPostgresStore::timed_out_ = false;

std::unique_ptr<TScoreStore> OpenPostgresStore(const std::string& url, std::string& error, double callSeconds) {
  auto store = std::make_unique<TPostgresStore>(url, callSeconds);
  if (store->Open()) return store;
  error = store->Error();
  return nullptr;
}
