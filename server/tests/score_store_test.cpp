// The stores as the database changes under them: a database of the schema before versions were
// kept is migrated at start, a database that stops taking writes fails the health check, and a
// database that stops answering fails its calls within their bound instead of holding them.
#include <gtest/gtest.h>

#include <libpq-fe.h>
#include <netinet/in.h>
#include <poll.h>
#include <sqlite3.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "score_migrations.h"
#include "score_server.h"
#include "score_store.h"
#include "server_fixture.h"
#include "support/temp_dir.h"

namespace {

// The schema as every server made it before versions were kept (the same text for both).
const char kFirstSchema[] =
    "CREATE TABLE players (name TEXT PRIMARY KEY, hash TEXT NOT NULL);"
    "CREATE TABLE records (id %s PRIMARY KEY, tbl BIGINT NOT NULL,"
    " player TEXT NOT NULL, score BIGINT NOT NULL, name TEXT NOT NULL, badges BIGINT,"
    " stamp BIGINT NOT NULL, level BIGINT, mode BIGINT, flags BIGINT, quit BIGINT,"
    " best TEXT NOT NULL, UNIQUE (tbl, score, name, stamp));"
    "CREATE INDEX records_by_table ON records (tbl, score DESC, id);"
    "CREATE INDEX records_by_player ON records (tbl, player, score DESC, id);"
    "INSERT INTO players VALUES ('Shepherd', 'x');"
    "INSERT INTO records (tbl, player, score, name, badges, stamp, level, mode, flags, quit, best)"
    " VALUES (401, 'Shepherd', 900, 'Ram', 0, 5, 4, 1, 0, 0, '0');";

bool Sql(const std::string& setting, const std::string& sql, std::string& error) {
  if (IsPostgresUrl(setting)) {
    PGconn* c = PQconnectdb(setting.c_str());
    PGresult* r = PQexec(c, sql.c_str());
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
    if (!ok) error = PQerrorMessage(c);
    PQclear(r);
    PQfinish(c);
    return ok;
  }
  sqlite3* db = nullptr;
  char* message = nullptr;
  const bool ok = sqlite3_open(setting.c_str(), &db) == SQLITE_OK &&
                  sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK;
  if (!ok) error = message ? message : sqlite3_errmsg(db);
  sqlite3_free(message);
  sqlite3_close(db);
  return ok;
}

class ScoreStoreOnEngine : public ::testing::TestWithParam<std::string> {};

// A database the first schema made is brought to this server's version at start and keeps its
// rows; the migrated unique key then keeps the same record of two players for both, and a record
// keeps the replay it is sent with (the first one: a record stored without one takes it later),
// until the pruning takes both.
TEST_P(ScoreStoreOnEngine, TheFirstSchemaIsMigratedAtStart) {
  TTempDir dir;
  TTestDatabase db(GetParam(), dir.Path());
  char schema[sizeof kFirstSchema + 16];
  std::snprintf(schema, sizeof schema, kFirstSchema, GetParam() == "sqlite" ? "INTEGER" : "BIGSERIAL");
  std::string error;
  ASSERT_TRUE(Sql(db.Setting(), schema, error)) << error;
  std::unique_ptr<TScoreStore> store = OpenScoreStore(db.Setting(), error);
  ASSERT_TRUE(store) << error;
  EXPECT_EQ(store->SchemaVersion(), kSchemaVersion);
  TServerRecord same;
  same.Score = 900;
  same.Name = "Ram";
  same.Timestamp = 5;
  same.Best = "0";
  ASSERT_TRUE(store->AddRecord(401, "Drover", same, 40, ""));
  std::vector<TStoredRecord> rows;
  ASSERT_TRUE(store->Records(401, rows));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].player + " " + rows[1].player, "Shepherd Drover");
  EXPECT_TRUE(store->WriteHealthMark()) << store->Error();

  std::string replay = "?";
  ASSERT_TRUE(store->Replay(401, 900, "Ram", 5, replay)) << store->Error();
  EXPECT_EQ(replay, "") << "the migrated record came without one";
  ASSERT_TRUE(store->AddRecord(401, "Shepherd", same, 40, "first\r\n\xE9"));
  ASSERT_TRUE(store->AddRecord(401, "Shepherd", same, 40, "second"));
  ASSERT_TRUE(store->Replay(401, 900, "Ram", 5, replay));
  EXPECT_EQ(replay, "first\r\n\xE9");
  ASSERT_TRUE(store->Records(401, rows));
  EXPECT_EQ(rows.size(), 2u) << "sent again, it is kept once";
  TServerRecord better = same;
  better.Score = 901;
  for (const char* player : {"Shepherd", "Drover"}) ASSERT_TRUE(store->AddRecord(401, player, better, 1, ""));
  ASSERT_TRUE(store->Replay(401, 900, "Ram", 5, replay));
  EXPECT_EQ(replay, "") << "pruned with its record";
  // Opened again, there is nothing left to do; a newer schema than this server's is refused.
  store.reset();
  ASSERT_TRUE(OpenScoreStore(db.Setting(), error)) << error;
  const std::string newer = GetParam() == "sqlite" ? "PRAGMA user_version = 99" : "UPDATE schema_version SET version = 99";
  ASSERT_TRUE(Sql(db.Setting(), newer, error)) << error;
  EXPECT_FALSE(OpenScoreStore(db.Setting(), error));
  EXPECT_NE(error.find("schema version 99 is newer"), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(Engines, ScoreStoreOnEngine, SERVER_ENGINES, SERVER_ENGINE_NAME);

// A database that reads but takes no writes (a full disk; here PostgreSQL made read-only) fails
// the health check while tables are still served.
TEST(ScoreStoreTest, TheHealthCheckFailsWhenWritesFail) {
  TTempDir dir;
  TTestDatabase db("postgresql", dir.Path());
  std::string error;
  ASSERT_TRUE(OpenScoreStore(db.Setting(), error)) << error;
  const std::string name = db.Setting().substr(db.Setting().find(":///") + 4, db.Setting().find('?') - db.Setting().find(":///") - 4);
  ASSERT_TRUE(Sql(db.Setting(), "ALTER DATABASE " + name + " SET default_transaction_read_only = on", error)) << error;
  TScoreServer server;
  ASSERT_TRUE(server.Start(LoopbackOptions(db.Setting()))) << server.Error();
  EXPECT_EQ(GetStatus(server.Port(), "/healthz"), "HTTP/1.1 503 Service Unavailable");
  EXPECT_EQ(GetStatus(server.Port(), "/enscore/tables/3/401.txt"), "HTTP/1.1 404 Not Found");
}

// A TCP door to the test cluster's socket that can stop passing bytes, as a stopped database
// stops answering.
class TFreezableDoor {
 public:
  explicit TFreezableDoor(const std::string& socketPath) : path_(socketPath) {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(0x7F000001);
    socklen_t length = sizeof at;
    bind(listener_, reinterpret_cast<sockaddr*>(&at), sizeof at);
    listen(listener_, 16);
    getsockname(listener_, reinterpret_cast<sockaddr*>(&at), &length);
    port_ = ntohs(at.sin_port);
    thread_ = std::thread([this] { Run(); });
  }
  ~TFreezableDoor() {
    stop_ = true;
    thread_.join();
    close(listener_);
  }
  int Port() const { return port_; }
  void Freeze() { frozen_ = true; }

 private:
  void Run() {
    std::vector<std::pair<int, int>> pairs;
    while (!stop_) {
      std::vector<pollfd> watch{{listener_, POLLIN, 0}};
      for (auto [a, b] : pairs) {
        watch.push_back({a, short(frozen_ ? 0 : POLLIN), 0});
        watch.push_back({b, short(frozen_ ? 0 : POLLIN), 0});
      }
      if (poll(watch.data(), watch.size(), 50) <= 0) continue;
      if (watch[0].revents & POLLIN) {
        const int client = accept(listener_, nullptr, nullptr);
        const int server = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un to{};
        to.sun_family = AF_UNIX;
        std::snprintf(to.sun_path, sizeof to.sun_path, "%s", path_.c_str());
        connect(server, reinterpret_cast<sockaddr*>(&to), sizeof to);
        pairs.push_back({client, server});
      }
      for (size_t i = 1; i < watch.size(); ++i) {
        if (!(watch[i].revents & (POLLIN | POLLHUP))) continue;
        const auto& pair = pairs[(i - 1) / 2];
        const int to = i % 2 ? pair.second : pair.first;
        char buf[8192];
        const ssize_t n = recv(watch[i].fd, buf, sizeof buf, 0);
        if (n > 0) send(to, buf, size_t(n), MSG_NOSIGNAL);
      }
    }
    for (auto [a, b] : pairs) {
      close(a);
      close(b);
    }
  }
  std::string path_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false}, frozen_{false};
  std::thread thread_;
};

// A database that stops answering mid-run fails every call within the call's bound.
TEST(ScoreStoreTest, AStoppedDatabaseFailsCallsWithinTheirBound) {
  TTempDir dir;
  TTestDatabase db("postgresql", dir.Path());
  const std::string& url = db.Setting();  // postgresql:///NAME?host=FOLDER&user=lambrisk
  const size_t host = url.find("host=") + 5;
  const std::string folder = url.substr(host, url.find('&', host) - host);
  const std::string name = url.substr(url.find(":///") + 4, url.find('?') - url.find(":///") - 4);
  TFreezableDoor door(folder + "/.s.PGSQL.5432");
  std::string error;
  std::unique_ptr<TScoreStore> store =
      OpenScoreStore("postgresql://127.0.0.1:" + std::to_string(door.Port()) + "/" + name + "?user=lambrisk", error, 1);
  ASSERT_TRUE(store) << error;
  std::vector<TServerRecord> rows;
  ASSERT_TRUE(store->Table(401, 30, rows)) << store->Error();
  door.Freeze();
  auto call = std::async(std::launch::async, [&] { return store->Table(401, 30, rows); });
  // Far longer than the bound, so only a call that hangs fails here.
  ASSERT_EQ(call.wait_for(std::chrono::seconds(60)), std::future_status::ready) << "the call hangs";
  EXPECT_FALSE(call.get());
  EXPECT_NE(store->Error().find("did not answer within 1000 ms"), std::string::npos) << store->Error();
}

}  // namespace
