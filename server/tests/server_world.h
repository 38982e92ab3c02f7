// A score server on loopback and the game around its client, for the tests that play the game's
// own online service against the real server: a headless game, a fresh database of either
// engine, and the client's credentials and table of world 4, mode 1.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "base/program_state.h"
#include "framework/setup_file.h"
#include "score_server.h"
#include "scores/online_scores.h"
#include "scores/score_file.h"
#include "scores/score_records.h"
#include "scores/scramble.h"
#include "server_fixture.h"
#include "support/headless_game.h"

struct TServerWorld {
  THeadlessGame game;
  TTestDatabase db;
  TServerOptions options = LoopbackOptions(db.Setting());
  std::unique_ptr<TScoreServer> server;
  explicit TServerWorld(const std::string& engine = "sqlite") : db(engine, game.Root()) {
    ResetScoreRecords();
    options.service.motd = "Week three\\nBe kind";
    UserName = "Shepherd";
    Password = "woolly jumper";
    StartWorld = 4;
    GameMode = 1;
  }
  ~TServerWorld() { ResetScoreRecords(); }
  void Start() {
    server = std::make_unique<TScoreServer>();
    ASSERT_TRUE(server->Start(options)) << server->Error();
    ScoreServer = "127.0.0.1:" + std::to_string(server->Port());
  }
  void Restart() {
    server->Stop();
    Start();
  }
  void LocalBest(int64_t score, const std::string& name) {
    auto r = std::make_shared<TScores>();
    r->Score = score;
    r->Level = StartWorld;
    r->GameMode = GameMode;
    r->Name = name;
    r->Timestamp = score;
    r->Best[30] = 1;
    LocalScores.push_back(r);
    RankTable(LocalScores, StartWorld, GameMode, 0, 1);
  }
  void Refresh() {
    RefreshState = 1;
    RefreshStep(400, 335);
    RefreshStep(400, 335);
  }
  std::vector<std::string> OnlineNames() {
    std::vector<std::string> names;
    for (const TScoresPtr& r : OnlineScores) names.push_back(r->Name + "=" + std::to_string(r->Score));
    return names;
  }
  // A submission of a record in world 4, mode 1, as the game sends it, with these credentials.
  std::string SubmitPath(const TScores& record, const std::string& user, const std::string& wrapper) {
    return "/enscore/scores.php?Week=3&Input=" + Scramble(user + "|" + wrapper + "|" + SubmissionLine(record), "");
  }
};
