// score_bench: the score server's load test on loopback. It starts the real server binary on a
// fresh database, runs many clients that log in, fetch and submit as the game does, kills the
// server with SIGKILL half way and starts it again, and at the end checks that every submission
// the server acknowledged is in the database. Prints requests per second and latencies.
//   score_bench [SECONDS=30] [CLIENTS=16]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "base/program_state.h"
#include "score_db.h"
#include "scores/http_client.h"
#include "scores/online_scores.h"
#include "scores/scramble.h"

namespace {

using TClock = std::chrono::steady_clock;

struct TAcked {
  int64_t table, score, stamp;
  std::string name;
};

struct TServerProcess {
  pid_t pid = -1;
  int port = 0;
};

// Starts the server binary and waits for its "listening" line; port 0 takes any free port.
TServerProcess StartServer(const std::string& db, int port) {
  int out[2];
  if (pipe(out) != 0) return {};
  TServerProcess server;
  server.pid = fork();
  if (server.pid == 0) {
    dup2(out[1], 1);
    close(out[0]);
    const std::string portText = std::to_string(port);
    execl(SCORE_SERVER_BINARY, "score_server", "--bind", "127.0.0.1", "--port", portText.c_str(), "--db",
          db.c_str(), "--motd", "Bench", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  std::string line;
  char c;
  while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
  close(out[0]);
  const size_t colon = line.rfind(':', line.find(','));
  server.port = colon == std::string::npos ? 0 : std::atoi(line.c_str() + colon + 1);
  return server;
}

std::string Request(const std::string& host, const std::string& path) {
  Thttp http;
  std::string reply;
  if (http.Open(host, 0)) reply = http.Get(path);
  http.Close();
  return ReplyBody(reply);
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::max(2, std::atoi(argv[1])) : 30;
  const int clients = argc > 2 ? std::max(1, std::atoi(argv[2])) : 16;
  BuildScrambleKey();
  HttpConnectMillis = 2000;
  HttpSilenceMillis = 5000;
  char dirTemplate[] = "/tmp/score_bench_XXXXXX";
  if (!mkdtemp(dirTemplate)) return 1;
  const std::string db = std::string(dirTemplate) + "/scores.db";

  TServerProcess server = StartServer(db, 0);
  if (server.port <= 0) {
    std::fprintf(stderr, "score_bench: the server did not start\n");
    return 1;
  }
  const std::string host = "127.0.0.1:" + std::to_string(server.port);
  std::atomic<bool> running{true};
  std::mutex mutex;
  std::vector<double> latencies;  // milliseconds of every answered request
  std::vector<TAcked> acked;
  std::atomic<int64_t> failed{0};

  std::vector<std::thread> threads;
  for (int t = 0; t < clients; ++t) {
    threads.emplace_back([&, t] {
      char name[16], password[16], recordName[16];
      std::snprintf(name, sizeof name, "bench%02d", t);
      std::snprintf(password, sizeof password, "pass%02dword", t);
      std::snprintf(recordName, sizeof recordName, "Ram %02d", t);
      const std::string wrapper = Scramble(std::string(name) + "|" + password, HeaderCode);
      const std::string login = "/enscore/login.php?week=3&input=" + Scramble(std::string(name) + "|" + wrapper, "");
      std::vector<double> mine;
      std::vector<TAcked> myAcked;
      for (int64_t n = 1; running; ++n) {
        const int world = int(n % 20) + 1;
        TScores r;
        r.Score = int64_t(t) * 100000000 + n;
        r.Name = recordName;
        r.Timestamp = n;
        r.Level = world;
        r.GameMode = 1;
        const std::string submit = "/enscore/scores.php?Week=3&Input=" +
                                   Scramble(std::string(name) + "|" + wrapper + "|" + SubmissionLine(r), "");
        const std::string paths[3] = {login, "/enscore/tables/3/" + TableNumber(1, world, 0) + ".txt", submit};
        for (int op = 0; op < 3; ++op) {
          const auto start = TClock::now();
          const std::string body = Request(host, paths[op]);
          const double ms = std::chrono::duration<double, std::milli>(TClock::now() - start).count();
          if (body.empty()) {
            ++failed;
            // The server is down (killed and not yet back): try again shortly, without spinning.
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
          }
          mine.push_back(ms);
          if (op == 2 && body == "OK") myAcked.push_back({1 + world * 100, r.Score, r.Timestamp, r.Name});
        }
      }
      std::lock_guard<std::mutex> hold(mutex);
      latencies.insert(latencies.end(), mine.begin(), mine.end());
      acked.insert(acked.end(), myAcked.begin(), myAcked.end());
    });
  }

  const auto begin = TClock::now();
  std::this_thread::sleep_for(std::chrono::seconds(seconds / 2));
  kill(server.pid, SIGKILL);
  waitpid(server.pid, nullptr, 0);
  const auto killedAt = TClock::now();
  server = StartServer(db, server.port);
  const double downMs = std::chrono::duration<double, std::milli>(TClock::now() - killedAt).count();
  std::this_thread::sleep_until(begin + std::chrono::seconds(seconds));
  running = false;
  for (std::thread& t : threads) t.join();
  const double elapsed = std::chrono::duration<double>(TClock::now() - begin).count();
  if (server.pid > 0) {
    kill(server.pid, SIGTERM);
    waitpid(server.pid, nullptr, 0);
  }

  TScoreDb check;
  int missing = 0;
  if (!check.Open(db)) {
    std::fprintf(stderr, "score_bench: %s\n", check.Error().c_str());
    return 1;
  }
  for (const TAcked& a : acked) missing += !check.HasRecord(a.table, a.score, a.name, a.stamp);
  std::sort(latencies.begin(), latencies.end());
  auto percentile = [&latencies](double p) {
    return latencies.empty() ? 0.0 : latencies[std::min(latencies.size() - 1, size_t(p * double(latencies.size())))];
  };
  std::printf("clients %d, %.1f s, server killed (SIGKILL) and restarted once (%s, %.0f ms down)\n", clients,
              elapsed, server.port > 0 ? "back up" : "did not restart", downMs);
  std::printf("answered requests %zu, %.0f per second; failed %lld (mostly while the server was down)\n",
              latencies.size(), double(latencies.size()) / elapsed, static_cast<long long>(failed.load()));
  std::printf("latency ms: median %.2f, p99 %.2f, max %.2f\n", percentile(0.5), percentile(0.99),
              latencies.empty() ? 0.0 : latencies.back());
  std::printf("acknowledged submissions %zu, missing from the database %d\n", acked.size(), missing);
  std::error_code ignored;
  std::filesystem::remove_all(dirTemplate, ignored);
  return missing == 0 && server.port > 0 ? 0 : 1;
}
