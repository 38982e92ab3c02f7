// Scores proven by their replays, on both database engines: a submission whose replay reaches its
// score is stored and its replay served back byte for byte; a raised score, a replay of other
// levels or rules, another record's game or one over its time is refused with the reason; a
// server that requires replays refuses a plain submission. And the game's own client sends its
// table best with its replay and shows a refusal.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "platform/socket.h"
#include "protocol/online_requests.h"
#include "rules/replay.h"
#include "scores/http_client.h"
#include "scores/replay_files.h"
#include "server_world.h"
#include "support/loopback_server.h"
#include "ui/messages.h"

namespace {

const TLevelSet& BuiltInLevels() {
  static const TLevelSet levels = [] {
    std::ifstream in(SERVER_TEST_LEVELS, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return LevelSetOf(SplitLevelLines(bytes.str()));
  }();
  return levels;
}

// A short game by the rules from world 4 on the built-in levels: Left held, which passes level
// 16 with its bonus and then walks on.
TReplay WalkedGame(int frames, int64_t stamp, const std::string& name) {
  const TLevelSet& levels = BuiltInLevels();
  TReplayRecorder recorder;
  recorder.Start(4, 1, 0, LevelSetHash(levels));
  TRulesState s;
  StartReplayedGame(s, recorder.Replay(), levels);
  TFrameEvents events;
  events.wantPicture = false;
  for (int frame = 0; frame < frames && s.EndReason == END_RUNNING; ++frame) {
    TFrameInput input;
    input.left = true;
    recorder.Frame(input);
    ReplayFrame(s, levels, input, events);
  }
  return recorder.Finish(s, stamp, name);
}

TScores RecordOf(const TReplay& replay) {
  TScores r;
  r.Score = replay.result.score;
  r.Timestamp = replay.stamp;
  r.Name = replay.name;
  r.Level = replay.world;
  r.GameMode = replay.mode;
  r.GameFlags = replay.flags;
  return r;
}

// The whole reply to a submission with this replay text, posted by the game's client.
std::string PostReplay(const TServerWorld& world, const TScores& record, const std::string& text) {
  Thttp http;
  if (!http.Open("127.0.0.1:" + std::to_string(world.server->Port()), 0)) return "(refused)";
  const std::string input = Scramble(UserName + "|" + CredentialWrapper(UserName, Password) + "|" + SubmissionLine(record), "");
  const std::string reply = http.Post(ReplaySubmitRequest(3, input), {ReplayField}, {text});
  http.Close();
  return reply;
}

std::string StatusOf(const std::string& reply) { return reply.substr(0, reply.find_first_of("\r\n")); }

// The replay the server serves of a record, as its raw body; "404" when it has none.
std::string Served(const TServerWorld& world, const TScores& record) {
  const std::string reply = Raw(world.server->Port(),
                                "GET /" + ReplayRequest(3, 401, ReplayKey(record.Timestamp, record.Score, record.Name)) +
                                    " HTTP/1.0\n\n");
  if (StatusOf(reply) != "HTTP/1.1 200 OK") return StatusOf(reply).substr(9, 3);
  return reply.substr(reply.find("\r\n\r\n") + 4);
}

class ScoreReplaysOnEngine : public ::testing::TestWithParam<std::string> {};

TEST_P(ScoreReplaysOnEngine, OnlyProvingReplaysAreStoredAndTheyAreServedBack) {
  TServerWorld world(GetParam());
  world.options.service.replays_required = true;
  world.Start();
  Login();
  ASSERT_TRUE(LoggedIn);
  // A name with a plus, a space and an 8-bit letter, which the form must carry as they are.
  const TReplay game = WalkedGame(300, 7001, "Ram + B\xE9lier");
  ASSERT_GT(game.result.score, 0);
  const TScores record = RecordOf(game);
  const std::string text = ReplayText(game);
  EXPECT_EQ(StatusOf(PostReplay(world, record, text)), "HTTP/1.1 200 OK");
  EXPECT_EQ(Served(world, record), text);

  // Sent as a client may send it: the head first, the body in a later read.
  const TReplay later = WalkedGame(280, 7002, "Ewe");
  const std::string body = "Replay=" + Thttp::UrlEncode(ReplayText(later));
  TSocketPtr sock = TSocket::CreateTCP();
  sock->SetTimeouts(2000, 10000);
  ASSERT_TRUE(sock->Connect(kLoopback, world.server->Port()));
  const std::string head = "POST /" +
                           ReplaySubmitRequest(3, Scramble(UserName + "|" + CredentialWrapper(UserName, Password) + "|" +
                                                               SubmissionLine(RecordOf(later)), "")) +
                           " HTTP/1.0\nContent-Length: " + std::to_string(body.size()) + "\n\n";
  sock->Send(head.data(), int(head.size()));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  sock->Send(body.data(), int(body.size()));
  char reply[16] = {};
  EXPECT_EQ(std::string(reply, size_t(std::max(0, sock->Recv(reply, 15)))), "HTTP/1.1 200 OK");
  sock->Close();

  struct TCase {
    const char* what;
    TScores record;
    TReplay replay;
    std::string reason;
  };
  const std::string score = std::to_string(game.result.score), raised = std::to_string(game.result.score + 1);
  TCase cases[] = {
      {"a raised score", record, game, "it reaches score " + score + ", not the record's " + raised},
      {"a raised claim", record, game, "its inputs reach score " + score + " where it claims " + raised},
      {"another level set", record, game, "of another level set"},
      {"other rules", record, game, "made by rules version " + std::to_string(kRulesVersion + 1) + ", not " +
                                        std::to_string(kRulesVersion)},
      {"another record's game", record, game, "the game of another record"},
      {"another world", record, game, "a game from world 5 mode 1 flags 0, not the record's"},
  };
  cases[0].record.Score += 1;
  cases[1].record.Score += 1;
  cases[1].replay.result.score += 1;
  cases[2].replay.levels = LevelSetHash(LevelSetOf({}));
  cases[3].replay.rules = kRulesVersion + 1;
  cases[4].record.Timestamp += 1;
  cases[5].replay.world = 5;
  for (TCase& c : cases) {
    c.record.Timestamp += 100;
    c.replay.stamp += 100;
    const std::string answer = PostReplay(world, c.record, ReplayText(c.replay));
    EXPECT_EQ(StatusOf(answer), "HTTP/1.1 422 Unprocessable Content") << c.what;
    EXPECT_NE(answer.find("Replay not proven: " + c.reason), std::string::npos) << c.what << ": " << answer;
  }
  TScores plain = record;
  plain.Timestamp = 7003;
  EXPECT_EQ(GetStatus(world.server->Port(), world.SubmitPath(plain, UserName, CredentialWrapper(UserName, Password))),
            "HTTP/1.1 422 Unprocessable Content")
      << "replays are required";

  // A game whose proof takes longer than its time is refused; optional replays still take a
  // plain submission, and still prove every replay they are given.
  world.options.service.replay_seconds = 0.001;
  world.options.service.replays_required = false;
  world.server->Reconfigure(world.options);
  const TReplay longGame = WalkedGame(36000, 7004, "Ewe");
  const std::string slow = PostReplay(world, RecordOf(longGame), ReplayText(longGame));
  EXPECT_NE(slow.find("over its time (0.001 s)"), std::string::npos) << slow;
  EXPECT_EQ(GetStatus(world.server->Port(), world.SubmitPath(plain, UserName, CredentialWrapper(UserName, Password))),
            "HTTP/1.1 200 OK");
  EXPECT_EQ(Served(world, plain), "404");
  EXPECT_EQ(StatusOf(PostReplay(world, cases[0].record, text)), "HTTP/1.1 422 Unprocessable Content");

  const std::string table = FetchTable("401");
  EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 5) << "three records stored: " << table;
}

INSTANTIATE_TEST_SUITE_P(Engines, ScoreReplaysOnEngine, SERVER_ENGINES, SERVER_ENGINE_NAME);

// The refresh submits the table best with its replay, which the server proves, keeps and serves
// to the Online tab's Watch; a record the server cannot prove is refused on screen.
TEST(ScoreReplaysTest, TheGameSendsItsTableBestWithItsReplay) {
  TServerWorld world;
  world.options.service.replays_required = true;
  world.Start();
  Login();
  ASSERT_TRUE(LoggedIn);
  const TReplay game = WalkedGame(300, 9001, "Ewe");
  auto record = std::make_shared<TScores>(RecordOf(game));
  ASSERT_TRUE(SaveReplay(*record, game));
  LocalScores.push_back(record);
  RankTable(LocalScores, StartWorld, GameMode, 0, 1);
  world.Refresh();  // no table yet: submitted after the fetch, so seen the next time
  world.Refresh();
  ASSERT_EQ(world.OnlineNames(), std::vector<std::string>{"Ewe=" + std::to_string(game.result.score)});
  TReplay fetched;
  std::string why;
  ASSERT_TRUE(FetchOnlineReplay(*OnlineScores[0], fetched, why)) << why;
  EXPECT_EQ(ReplayText(fetched), ReplayText(game));

  TReplay other = game;
  other.stamp = 9002;
  auto raised = std::make_shared<TScores>(RecordOf(other));
  raised->Score += 1;
  ASSERT_TRUE(SaveReplay(*raised, other));
  LocalScores.push_back(raised);
  RankTable(LocalScores, StartWorld, GameMode, 0, 1);
  MessageList.clear();
  world.Refresh();
  EXPECT_EQ(OnlineScores.size(), 1u);
  ASSERT_FALSE(MessageList.empty());
  EXPECT_EQ(MessageList.back().txt, "Score not taken: Replay not proven: it reaches score " +
                                        std::to_string(game.result.score) + ", not the record's " +
                                        std::to_string(raised->Score));
}

}  // namespace
