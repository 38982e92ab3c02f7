// The score server on loopback with the game's own client: registration, login, submission and
// tables through the real refresh on both database engines, then requests that are malformed,
// wrongly scrambled, out of the limits or huge, and many connections at once.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/program_state.h"
#include "framework/setup_file.h"
#include "platform/socket.h"
#include "score_server.h"
#include "score_store.h"
#include "scores/http_client.h"
#include "scores/online_scores.h"
#include "scores/score_file.h"
#include "scores/score_records.h"
#include "scores/scramble.h"
#include "server_fixture.h"
#include "server_world.h"
#include "support/headless_game.h"
#include "support/loopback_server.h"
#include "ui/text_fields.h"

namespace {

std::string Status(const std::string& reply) { return reply.substr(0, reply.find('\r')); }

class ScoreServerOnEngine : public ::testing::TestWithParam<std::string> {};

TEST_P(ScoreServerOnEngine, GameClientRegistersLogsInSubmitsAndReadsTables) {
  TServerWorld world(GetParam());
  world.Start();
  // The game's own request bytes (LF line ends, the doubled slash) are taken as they are.
  const std::string raw = Raw(world.server->Port(),
                              "GET //enscore/tables/3/401.txt HTTP/1.0\nHost: h\nUser-Agent: FennickThttp/1.0\n\n\r\n");
  EXPECT_EQ(Status(raw), "HTTP/1.1 404 Not Found");
  EXPECT_NE(raw.find("<head>"), std::string::npos);

  Login();
  ASSERT_TRUE(LoggedIn);
  EXPECT_EQ(MotdCount, 2);
  EXPECT_EQ(MotdLines[2], "Be kind");
  LoggedIn = false;
  Login();
  EXPECT_TRUE(LoggedIn) << "a known name with its password logs in again";
  Password = "not the one";
  LoggedIn = false;
  Login();
  EXPECT_TRUE(LoginFailed);
  EXPECT_FALSE(LoggedIn);
  Password = "woolly jumper";
  LoggedIn = true;

  // No table yet: the local best goes up; refreshing again brings it back once.
  world.LocalBest(500, "Ewe");
  world.Refresh();
  world.Refresh();
  world.Refresh();
  EXPECT_EQ(world.OnlineNames(), std::vector<std::string>{"Ewe=500"});
  EXPECT_EQ(OnlineScores[0]->GameMode, ~1);
  EXPECT_EQ(OnlineScores[0]->Best[30], 1);

  // A second player fills the table to 30 above a low local best: nothing more is submitted.
  UserName = "Drover";
  Login();
  for (int64_t s = 1000; s < 1029; ++s) {
    LocalScores.clear();
    world.LocalBest(s, "Ram");
    world.Refresh();
  }
  LocalScores.clear();
  world.LocalBest(10, "Lamb");
  world.Refresh();
  ASSERT_EQ(OnlineScores.size(), 30u);
  for (const TScoresPtr& r : OnlineScores) EXPECT_NE(r->Name, "Lamb");
  const std::string table = FetchTable("401");
  EXPECT_EQ(table.substr(0, 9), "1028|Ram|");
  EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 59) << "30 entries of two lines, best first";

  // Everything survives a restart; the password is stored only as a hash.
  world.Restart();
  OnlineScores.clear();
  world.Refresh();
  EXPECT_EQ(OnlineScores.size(), 30u);
  LoggedIn = false;
  Login();
  EXPECT_TRUE(LoggedIn);
  world.server->Stop();
  std::string error;
  std::unique_ptr<TScoreStore> store = OpenScoreStore(world.db.Setting(), error);
  ASSERT_TRUE(store) << error;
  std::vector<std::string> players;
  ASSERT_TRUE(store->Players(players));
  EXPECT_EQ(players, (std::vector<std::string>{"Drover", "Shepherd"}));
  std::string hash;
  ASSERT_TRUE(store->PasswordHash("Shepherd", hash));
  EXPECT_EQ(hash.rfind("$argon2id$", 0), 0u) << hash;
}

// Each player keeps the best records per table, the rest are pruned as they come; a record sent
// again is kept once; an 8-bit name comes back byte for byte.
TEST_P(ScoreServerOnEngine, RecordsArePrunedToTheBestPerTableAndPlayer) {
  TServerWorld world(GetParam());
  world.options.service.keep_per_player = 30;
  world.Start();
  const int port = world.server->Port();
  Login();
  const std::string shepherd = CredentialWrapper(UserName, Password);
  UserName = "Drover";
  Login();
  const std::string drover = CredentialWrapper(UserName, Password);
  TScores r;
  r.Level = 4;
  r.GameMode = 1;
  for (int64_t score = 1; score <= 34; ++score) {
    r.Score = r.Timestamp = score;
    r.Name = "Ram";
    EXPECT_EQ(GetStatus(port, world.SubmitPath(r, "Shepherd", shepherd)), "HTTP/1.1 200 OK");
  }
  EXPECT_EQ(GetStatus(port, world.SubmitPath(r, "Shepherd", shepherd)), "HTTP/1.1 200 OK") << "sent again";
  r.Name = "B\xE9lier";
  for (int64_t score : {100, 0}) {
    r.Score = r.Timestamp = score;
    EXPECT_EQ(GetStatus(port, world.SubmitPath(r, "Drover", drover)), "HTTP/1.1 200 OK");
  }
  std::string error;
  std::unique_ptr<TScoreStore> store = OpenScoreStore(world.db.Setting(), error);
  ASSERT_TRUE(store) << error;
  std::vector<TStoredRecord> rows;
  ASSERT_TRUE(store->Records(401, rows));
  std::vector<int64_t> shepherds, drovers;
  for (const TStoredRecord& row : rows) (row.player == "Shepherd" ? shepherds : drovers).push_back(row.record.Score);
  ASSERT_EQ(shepherds.size(), 30u);
  EXPECT_EQ(shepherds.front(), 34);
  EXPECT_EQ(shepherds.back(), 5);
  EXPECT_EQ(drovers, (std::vector<int64_t>{100, 0}));
  const std::string table = FetchTable("401");
  EXPECT_EQ(table.substr(0, 13), "100|B\xE9lier|0|");
  EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 59) << "the table's best 30 of both players";
}

INSTANTIATE_TEST_SUITE_P(Engines, ScoreServerOnEngine, SERVER_ENGINES, SERVER_ENGINE_NAME);

TEST(ScoreServerTest, BadRequestsAreAnsweredAndStoreNothing) {
  TServerWorld world;
  world.Start();
  Login();
  ASSERT_TRUE(LoggedIn);
  const int port = world.server->Port();
  auto get = [port](const std::string& path) {
    return Status(Raw(port, "GET /" + path + " HTTP/1.0\nHost: h\n\n\r\n"));
  };
  TScores record;
  record.Score = 77;
  record.Name = "Ewe";
  record.Level = 4;
  record.GameMode = 1;
  const std::string wrapper = CredentialWrapper(UserName, Password);
  auto submit = [&](const std::string& user, const std::string& wrap, const std::string& line) {
    return "/enscore/scores.php?Week=3&Input=" + Scramble(user + "|" + wrap + "|" + line, "");
  };
  std::string flipped = submit(UserName, wrapper, SubmissionLine(record));
  flipped[flipped.size() - 5] = flipped[flipped.size() - 5] == 'A' ? 'B' : 'A';
  TScores badLevel = record, flagged = record, tagged = record;
  badLevel.Level = 99;
  flagged.GameFlags = 1;  // would share table 1401 with world 14
  tagged.Name = "<HEAD>";  // would blank the table for every client
  std::string noMark = SubmissionLine(record);
  noMark.replace(noMark.find(SubmitMark), SubmitMark.size(), "|");

  const std::pair<std::string, std::string> cases[] = {
      {flipped, "HTTP/1.1 400 Bad Request"},
      {"/enscore/scores.php?Week=3&Input=00FF", "HTTP/1.1 400 Bad Request"},
      {"/enscore/scores.php?Week=4&Input=" + submit(UserName, wrapper, SubmissionLine(record)).substr(34),
       "HTTP/1.1 404 Not Found"},
      {submit(UserName, Scramble(UserName + "|wrong pass", HeaderCode), SubmissionLine(record)),
       "HTTP/1.1 403 Forbidden"},
      {submit("Stranger", Scramble("Stranger|woolly jumper", HeaderCode), SubmissionLine(record)),
       "HTTP/1.1 403 Forbidden"},
      {submit(UserName, wrapper, SubmissionLine(badLevel)), "HTTP/1.1 400 Bad Request"},
      {submit(UserName, wrapper, SubmissionLine(flagged)), "HTTP/1.1 400 Bad Request"},
      {submit(UserName, wrapper, SubmissionLine(tagged)), "HTTP/1.1 400 Bad Request"},
      {submit(UserName, wrapper, noMark), "HTTP/1.1 400 Bad Request"},
      {submit(UserName, wrapper, "x|y'); DROP TABLE records;--" + SubmitMark + "1"), "HTTP/1.1 400 Bad Request"},
      {"/enscore/login.php?week=3&input=" + Scramble("ab|" + Scramble("ab|cd", HeaderCode), ""),
       "HTTP/1.1 403 Forbidden"},
      {"/enscore/login.php?week=3&input=" + Scramble("Ewe<b>|" + Scramble("Ewe<b>|woolly", HeaderCode), ""),
       "HTTP/1.1 403 Forbidden"},
      {"/enscore/login.php?week=3", "HTTP/1.1 400 Bad Request"},
      {"/enscore/tables/3/4x1.txt", "HTTP/1.1 404 Not Found"},
      {"/enscore/tables/3/../../etc/passwd", "HTTP/1.1 404 Not Found"},
      {"/elsewhere", "HTTP/1.1 404 Not Found"},
      {"/enscore/login.php?week=3&input=" + std::string(20000, 'A'), "HTTP/1.1 414 URI Too Long"},
  };
  for (const auto& [path, status] : cases) EXPECT_EQ(get(path), status) << path.substr(0, 80);
  const std::pair<std::string, std::string> raw[] = {
      {"\x01\xff\n\n", "HTTP/1.1 400 Bad Request"},
      {std::string(9000, 'x'), "HTTP/1.1 414 URI Too Long"},
      {"GET\n\n", "HTTP/1.1 400 Bad Request"},
      {"GET /healthz HTTP/1.0\n" + std::string(9000, 'h'), "HTTP/1.1 431 Request Header Fields Too Large"},
      {"POST /enscore/login.php HTTP/1.0\n\n", "HTTP/1.1 405 Method Not Allowed"},
      {"GET /enscore/replays.php?Week=3 HTTP/1.0\n\n", "HTTP/1.1 405 Method Not Allowed"},
      {"POST /enscore/replays.php?Week=3 HTTP/1.0\n\n", "HTTP/1.1 411 Length Required"},
      {"POST /enscore/replays.php?Week=3 HTTP/1.0\nContent-Length: 200000\n\n", "HTTP/1.1 413 Content Too Large"},
      {"POST /enscore/replays.php?Week=3 HTTP/1.0\nContent-Length: 1x\n\n", "HTTP/1.1 400 Bad Request"},
      {"GET /healthz HTTP/2.0\n\n", "HTTP/1.1 505 HTTP Version Not Supported"},
      {"GET /healthz HTTP/1.1\r\nHost: h\r\n\r\n", "HTTP/1.1 200 OK"},
  };
  for (const auto& [bytes, status] : raw) EXPECT_EQ(Status(Raw(port, bytes)), status) << bytes.substr(0, 40);
  EXPECT_EQ(get(submit(UserName, wrapper, SubmissionLine(record))), "HTTP/1.1 200 OK");
  EXPECT_EQ(Field(FetchTable("401"), "\n", 3), "-+-") << "only the one good record was stored";
}

TEST(ScoreServerTest, ManyConnectionsAtOnceAreAllAnswered) {
  TServerWorld world;
  world.Start();
  const int port = world.server->Port();
  std::vector<TSocketPtr> socks;
  for (int i = 0; i < 300; ++i) {
    TSocketPtr s = TSocket::CreateTCP();
    s->SetTimeouts(5000, 10000);
    ASSERT_TRUE(s->Connect(kLoopback, port));
    const std::string request = "GET //enscore/tables/3/" + std::to_string(100 + i) + ".txt HTTP/1.0\n\n\r\n";
    s->Send(request.data(), int(request.size()));
    socks.push_back(s);
  }
  int answered = 0;
  for (const TSocketPtr& s : socks) {
    char buf[64] = {};
    answered += s->Recv(buf, 12) > 0 && std::string(buf).rfind("HTTP/1.1", 0) == 0;
  }
  EXPECT_EQ(answered, 300);
}

}  // namespace
