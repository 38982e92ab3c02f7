// score_bench: the score server's load test on loopback. It starts the real server binary (one
// process, or two sharing one database), runs many clients that log in, fetch and submit as the
// game does, kills each server process once with SIGKILL and starts it again, and at the end
// checks that every submission a server acknowledged is in the database, unless the server's
// pruning was entitled to drop it. Prints requests per second and latencies.
//   score_bench [--replays] [SECONDS=30] [CLIENTS=16] [DATABASE] [PROCESSES=1]
// Without DATABASE it makes a fresh SQLite file; a postgresql:// URL must name an empty database.
// With --replays the servers require replays and every submission carries one: a game the rules
// play from its world on the built-in levels; it first prints what proving a 20-minute game costs
// the server. The servers' logs are kept when a check fails, or when SCORE_BENCH_KEEP is set.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "protocol/game_identity.h"
#include "protocol/online_requests.h"
#include "protocol/score_line.h"
#include "rules/replay.h"
#include "score_client.h"
#include "score_replays.h"
#include "score_store.h"
#include "server_process.h"

namespace {

using TClock = std::chrono::steady_clock;

const int kKeep = 40;  // the server's keep_per_player here

struct TSent {
  int64_t table, score, stamp;
  std::string player, name;
  bool acked;
};

double Seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// A game from world by the rules, as a plain player plays it: Left held, a level it has stood on
// for 400 frames skipped; frames long at most.
TReplay PlayedGame(const TLevelSet& levels, int world, int frames) {
  TReplayRecorder recorder;
  recorder.Start(world, 1, 0, LevelSetHash(levels));
  TRulesState s;
  StartReplayedGame(s, recorder.Replay(), levels);
  TFrameEvents events;
  events.wantPicture = false;
  for (int frame = 0, onLevel = 0, level = s.LevelNumber; frame < frames && s.EndReason == END_RUNNING; ++frame) {
    if (s.LevelNumber != level) level = s.LevelNumber, onLevel = 0;
    TFrameInput input;
    input.left = true;
    input.skip = ++onLevel == 400;
    recorder.Frame(input);
    ReplayFrame(s, levels, input, events);
  }
  return recorder.Finish(s, 0, "");
}

// What proving a 20-minute game costs the server: its own check, read and played, the median of
// five.
void PrintProofCost(const TProofLevels& levels) {
  TReplay game = PlayedGame(levels.levels, 1, 36000);
  game.name = "Bench";
  const std::string text = ReplayText(game);
  TServerRecord record;
  record.Score = game.result.score;
  record.Name = game.name;
  record.Level = game.world;
  record.GameMode = game.mode;
  std::vector<double> times;
  for (int round = 0; round < 5; ++round) {
    const double start = Seconds();
    TReplay read;
    std::string why = ReplayMismatch(text, record, levels.hash, read);
    if (why.empty()) why = ReplayDisproof(read, record, levels.levels, 10);
    times.push_back(Seconds() - start);
    if (!why.empty()) std::printf("the 20-minute game is not proven: %s\n", why.c_str());
  }
  std::sort(times.begin(), times.end());
  std::printf("proving a game of %lld frames (%.1f minutes, %zu bytes) as the server does: %.4f s, %.0f frames a second "
              "on one core\n",
              static_cast<long long>(game.result.frames), double(game.result.frames) / 1800, text.size(), times[2],
              double(game.result.frames) / times[2]);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> positional;
  bool replays = false;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--replays") replays = true;
    else positional.push_back(argv[i]);
  }
  auto arg = [&positional](size_t n) { return n <= positional.size() ? positional[n - 1].c_str() : nullptr; };
  const int seconds = arg(1) ? std::max(3, std::atoi(arg(1))) : 30;
  const int clients = arg(2) ? std::max(1, std::atoi(arg(2))) : 16;
  const int processes = arg(4) ? std::clamp(std::atoi(arg(4)), 1, 2) : 1;
  const std::string key = GameScrambleKey();
  // Each world's game, whose replay every submission of that world carries under its own stamp
  // and name.
  TProofLevels levels;
  std::vector<TReplay> games(21);
  if (replays) {
    std::string error;
    if (!ReadProofLevels(BuiltInLevelFile(), levels, error)) {
      std::fprintf(stderr, "score_bench: %s\n", error.c_str());
      return 1;
    }
    PrintProofCost(levels);
    int64_t frames = 0;
    for (int world = 1; world <= 20; ++world) frames += (games[size_t(world)] = PlayedGame(levels.levels, world, 9000)).result.frames;
    std::printf("submissions carry games of %.0f frames on average (5 minutes at most)\n", double(frames) / 20);
  }
  char dirTemplate[] = "/tmp/score_bench_XXXXXX";
  if (!mkdtemp(dirTemplate)) return 1;
  const std::string dir = dirTemplate;
  const std::string db = arg(3) ? arg(3) : dir + "/scores.db";
  {
    std::string error;
    std::unique_ptr<TScoreStore> store = OpenScoreStore(db, error);
    std::vector<std::string> players;
    if (!store || !store->Players(players) || !players.empty()) {
      std::fprintf(stderr, "score_bench: the database must open and be empty %s\n", error.c_str());
      return 1;
    }
  }

  // All clients come from one address, so the per-address limits are opened wide.
  auto args = [&](int port) {
    return std::vector<std::string>{"--bind", "127.0.0.1", "--port", std::to_string(port), "--db", db,
                                    "--motd", "Bench", "--keep_per_player", std::to_string(kKeep),
                                    "--login_burst", "1000000", "--logins_per_minute", "1000000",
                                    "--registration_burst", "1000000", "--replays",
                                    replays ? "required" : "optional"};
  };
  std::vector<TServerProcess> servers(static_cast<size_t>(processes));
  std::vector<std::string> hosts;
  for (int i = 0; i < processes; ++i) {
    if (!servers[size_t(i)].Start(SCORE_SERVER_BINARY, args(0), dir + "/server" + std::to_string(i) + ".log")) {
      std::fprintf(stderr, "score_bench: the server did not start\n");
      return 1;
    }
    hosts.push_back("127.0.0.1:" + std::to_string(servers[size_t(i)].port));
  }
  std::atomic<bool> running{true};
  std::mutex mutex;
  std::vector<double> latencies;  // milliseconds of every answered request
  std::vector<TSent> sent;
  std::atomic<int64_t> failed{0};

  std::vector<std::thread> threads;
  for (int t = 0; t < clients; ++t) {
    threads.emplace_back([&, t] {
      char name[16], password[16], recordName[16];
      std::snprintf(name, sizeof name, "bench%02d", t);
      std::snprintf(password, sizeof password, "pass%02dword", t);
      std::snprintf(recordName, sizeof recordName, "Ram %02d", t);
      const std::string& host = hosts[size_t(t % processes)];
      const std::string login = LoginRequest(WeekNumber, LoginInput(name, password, key));
      std::vector<double> mine;
      std::vector<TSent> mySent;
      for (int64_t n = 1; running; ++n) {
        const int world = int(n % 20) + 1;
        TRecordFields r;
        // Each client's scores apart from the others', and within what a game can score; or what
        // the world's game scored.
        r.Score = int64_t(t % 16) * 250000 + n % 250000;
        r.Name = recordName;
        r.Timestamp = n;
        r.Level = world;
        r.GameMode = 1;
        std::string replay;
        if (replays) {
          TReplay game = games[size_t(world)];
          game.stamp = n;
          game.name = recordName;
          r.Score = game.result.score;
          replay = ReplayText(game);
        }
        const std::string line = RecordLine(r, SubmitMark);
        const std::string submit = replays ? ReplaySubmitRequest(WeekNumber, SubmitInput(name, password, line, key))
                                           : SubmitRequest(WeekNumber, SubmitInput(name, password, line, key));
        const std::string table = std::to_string(TableNumber(r.GameMode, world, 0));
        const std::string paths[3] = {login, TableRequest(WeekNumber, table), submit};
        for (int op = 0; op < 3; ++op) {
          const auto start = TClock::now();
          const std::string body = op == 2 && replays ? ScoreReplayRequest(host, paths[op], replay, 12000)
                                                      : ScoreRequest(host, paths[op], 12000);
          const double ms = std::chrono::duration<double, std::milli>(TClock::now() - start).count();
          if (op == 2) mySent.push_back({TableNumber(r.GameMode, world, 0), r.Score, r.Timestamp, name, r.Name, body == "OK"});
          if (body.empty()) {
            ++failed;
            // The server is down (killed and not yet back): try again shortly, without spinning.
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
          }
          mine.push_back(ms);
        }
      }
      std::lock_guard<std::mutex> hold(mutex);
      latencies.insert(latencies.end(), mine.begin(), mine.end());
      sent.insert(sent.end(), mySent.begin(), mySent.end());
    });
  }

  // Each process is killed once, at even steps through the run, and started again on its port.
  const auto begin = TClock::now();
  std::vector<double> downMs;
  for (int i = 0; i < processes; ++i) {
    std::this_thread::sleep_until(begin + std::chrono::milliseconds(seconds * 1000 * (i + 1) / (processes + 1)));
    TServerProcess& server = servers[size_t(i)];
    const int port = server.port;
    server.Stop(SIGKILL);
    const auto killedAt = TClock::now();
    const bool back = server.Start(SCORE_SERVER_BINARY, args(port), dir + "/server" + std::to_string(i) + ".log");
    downMs.push_back(back ? std::chrono::duration<double, std::milli>(TClock::now() - killedAt).count() : -1);
  }
  std::this_thread::sleep_until(begin + std::chrono::seconds(seconds));
  running = false;
  for (std::thread& t : threads) t.join();
  const double elapsed = std::chrono::duration<double>(TClock::now() - begin).count();
  for (TServerProcess& server : servers) server.Stop(SIGTERM);

  // A record is owed when it was acknowledged and ranks within the kept best of everything its
  // sender sent to that table (stored or not; of equal scores the server keeps the first stored,
  // and one sender's requests go one after another): nothing can have pruned it.
  std::string error;
  std::unique_ptr<TScoreStore> check = OpenScoreStore(db, error);
  if (!check) {
    std::fprintf(stderr, "score_bench: %s\n", error.c_str());
    return 1;
  }
  std::map<std::pair<int64_t, std::string>, std::vector<const TSent*>> byTable;
  for (const TSent& s : sent) byTable[{s.table, s.player}].push_back(&s);
  size_t acked = 0, owed = 0, missing = 0;
  for (auto& [key, list] : byTable) {
    std::stable_sort(list.begin(), list.end(), [](const TSent* a, const TSent* b) { return a->score > b->score; });
    for (size_t i = 0; i < list.size(); ++i) {
      if (!list[i]->acked) continue;
      ++acked;
      if (i >= size_t(kKeep)) continue;
      ++owed;
      missing += !check->HasRecord(list[i]->table, list[i]->score, list[i]->name, list[i]->stamp);
    }
  }
  std::sort(latencies.begin(), latencies.end());
  auto percentile = [&latencies](double p) {
    return latencies.empty() ? 0.0 : latencies[std::min(latencies.size() - 1, size_t(p * double(latencies.size())))];
  };
  std::printf("%s, %d server process%s, %d clients, %.1f s%s\n", IsPostgresUrl(db) ? "PostgreSQL" : "SQLite",
              processes, processes > 1 ? "es" : "", clients, elapsed, replays ? ", replays required" : "");
  for (size_t i = 0; i < downMs.size(); ++i)
    std::printf("process %zu killed (SIGKILL) and restarted: %s, %.0f ms down\n", i + 1,
                downMs[i] >= 0 ? "back up" : "did not restart", downMs[i]);
  std::printf("answered requests %zu, %.0f per second; failed %lld (mostly while a server was down)\n",
              latencies.size(), double(latencies.size()) / elapsed, static_cast<long long>(failed.load()));
  std::printf("latency ms: median %.2f, p99 %.2f, max %.2f\n", percentile(0.5), percentile(0.99),
              latencies.empty() ? 0.0 : latencies.back());
  std::printf("acknowledged submissions %zu (%zu within the best %d kept per table and player), missing %zu\n", acked,
              owed, kKeep, missing);
  const bool allBack = std::none_of(downMs.begin(), downMs.end(), [](double d) { return d < 0; });
  if (missing == 0 && allBack && !std::getenv("SCORE_BENCH_KEEP")) {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return 0;
  }
  std::printf("the servers' logs are kept in %s\n", dir.c_str());
  return 1;
}
