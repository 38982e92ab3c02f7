// Two score server processes (the real binary) on one database: what a client sends through one
// is in the other's tables at once, and a SIGKILL of either, while clients write through both,
// loses nothing that was acknowledged.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <mutex>
#include <thread>
#include <vector>

#include "base/program_state.h"
#include "score_store.h"
#include "scores/online_scores.h"
#include "scores/scramble.h"
#include "server_fixture.h"
#include "server_process.h"
#include "support/temp_dir.h"

namespace {

class ScoreServersOnEngine : public ::testing::TestWithParam<std::string> {};

std::string Submission(const std::string& player, const std::string& password, int64_t score, int world) {
  TScores r;
  r.Score = r.Timestamp = score;
  r.Name = "Ram";
  r.Level = world;
  r.GameMode = 1;
  const std::string wrapper = Scramble(player + "|" + password, HeaderCode);
  return "/enscore/scores.php?Week=3&Input=" + Scramble(player + "|" + wrapper + "|" + SubmissionLine(r), "");
}

std::string LoginPath(const std::string& player, const std::string& password) {
  const std::string wrapper = Scramble(player + "|" + password, HeaderCode);
  return "/enscore/login.php?week=3&input=" + Scramble(player + "|" + wrapper, "");
}

TEST_P(ScoreServersOnEngine, TwoProcessesShareOneDatabaseAndLoseNothingToSigkill) {
  TTempDir dir;
  TTestDatabase db(GetParam(), dir.Path());
  BuildScrambleKey();
  auto args = [&](int port) {
    return std::vector<std::string>{"--bind", "127.0.0.1", "--port", std::to_string(port), "--db", db.Setting(),
                                    "--log_level", "error", "--registration_burst", "100",
                                    "--keep_per_player", "1000000"};
  };
  TServerProcess servers[2];
  for (int i = 0; i < 2; ++i)
    ASSERT_TRUE(servers[i].Start(SCORE_SERVER_BINARY, args(0), dir.Path() + "/server" + std::to_string(i) + ".log"));

  ASSERT_EQ(GetStatus(servers[0].port, LoginPath("Shepherd", "woolly")), "HTTP/1.1 200 OK");
  ASSERT_EQ(GetStatus(servers[0].port, Submission("Shepherd", "woolly", 4242, 7)), "HTTP/1.1 200 OK");
  EXPECT_NE(Raw(servers[1].port, "GET /enscore/tables/3/701.txt HTTP/1.0\n\n").find("\r\n\r\n4242|Ram|"),
            std::string::npos) << "the other server's table lacks it";

  // Four clients, two through each server, each submitting as fast as it is answered.
  struct TAcked {
    int64_t table, score;
  };
  std::mutex mutex;
  std::vector<TAcked> acked;
  std::atomic<bool> running{true};
  std::atomic<int> answeredBy[2] = {{0}, {0}};
  std::vector<std::thread> clients;
  for (int c = 0; c < 4; ++c) {
    clients.emplace_back([&, c] {
      const std::string player = "Client " + std::to_string(c);
      TServerProcess& server = servers[c % 2];
      while (running && GetStatus(server.port, LoginPath(player, "woolly")) != "HTTP/1.1 200 OK")
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      for (int64_t n = 1; running; ++n) {
        const int world = int(n % 20) + 1;
        const int64_t score = c * 1000000 + n;
        if (GetStatus(server.port, Submission(player, "woolly", score, world)) == "HTTP/1.1 200 OK") {
          ++answeredBy[c % 2];
          std::lock_guard<std::mutex> hold(mutex);
          acked.push_back({world * 100 + 1, score});
        } else {
          std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
      }
    });
  }
  for (int i = 0; i < 2; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    const int port = servers[i].port;
    servers[i].Stop(SIGKILL);
    EXPECT_TRUE(servers[i].Start(SCORE_SERVER_BINARY, args(port), dir.Path() + "/server" + std::to_string(i) + ".log"));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  running = false;
  for (std::thread& t : clients) t.join();
  for (TServerProcess& server : servers) server.Stop(SIGTERM);

  EXPECT_GT(answeredBy[0], 0);
  EXPECT_GT(answeredBy[1], 0);
  std::string error;
  std::unique_ptr<TScoreStore> store = OpenScoreStore(db.Setting(), error);
  ASSERT_TRUE(store) << error;
  size_t missing = 0;
  for (const TAcked& a : acked) missing += !store->HasRecord(a.table, a.score, "Ram", a.score);
  EXPECT_EQ(missing, 0u) << "of " << acked.size() << " acknowledged";
}

INSTANTIATE_TEST_SUITE_P(Engines, ScoreServersOnEngine, SERVER_ENGINES, SERVER_ENGINE_NAME);

}  // namespace
