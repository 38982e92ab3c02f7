// The online score service against a scripted loopback peer: request paths and scrambling, the
// credential length rules, login replies, and the refresh's fetch and one-submission rules.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>

#include "base/program_state.h"
#include "framework/setup_file.h"
#include "platform/tls_stream.h"
#include "protocol/name_rules.h"
#include "scores/http_client.h"
#include "scores/online_scores.h"
#include "scores/score_file.h"
#include "scores/score_records.h"
#include "scores/scramble.h"
#include "support/headless_game.h"
#include "support/loopback_server.h"
#include "support/temp_dir.h"
#include "support/tls_endpoint.h"
#include "ui/messages.h"

namespace {

struct TOnlineWorld {
  THeadlessGame game;
  TOnlineWorld() {
    ResetScoreRecords();
    BuildScrambleKey();
    UserName = "Shepherd";
    Password = "woolly";
    StartWorld = 4;
    GameMode = 1;
  }
  ~TOnlineWorld() { ResetScoreRecords(); }
  // Puts a local record at the top of the world's table (TableBest).
  void LocalBest(int64_t score) {
    auto r = std::make_shared<TScores>();
    r->Score = score;
    r->Level = StartWorld;
    r->GameMode = GameMode;
    r->Name = "Ewe";
    LocalScores.push_back(r);
    RankTable(LocalScores, StartWorld, GameMode, 0, 1);
  }
  // Requests the refresh and plays its frames (request, fetch) as the Online tab would.
  void Refresh() {
    RefreshState = 1;
    RefreshStep(400, 335);
    RefreshStep(400, 335);
  }
};

// A table reply of n entries scoring from top down by 10.
std::string TableReply(int n, int top) {
  std::string body;
  for (int k = 0; k < n; ++k)
    body += std::to_string(top - 10 * k) + "|Ram " + std::to_string(k) + "|3|2024|4|1|0|0\n" + "5|6|7\n";
  return "HTTP/1.0 200 OK\nContent-Type: text/plain\n\n" + body;
}

int Submissions(TScriptedHttpServer& server) {
  int n = 0;
  for (const std::string& r : server.Requests()) n += r.find("/enscore/scores.php?Week=3&Input=") != std::string::npos;
  return n;
}

TEST(OnlineScoresTest, ReplyBodyTableNumberAndCleanCredentials) {
  const std::pair<std::string, std::string> bodies[] = {
      {"HTTP/1.0 200 OK\nContent-Type: text/plain\n\nA\nB", "A\nB"},
      {"HTTP/1.0 200 OK\n\nbody\n\nafter a blank line", "body"},
      {"no blank line at all", ""},
      {"\n\n", ""},
      {"H\n\n\n", "\n"},
  };
  for (const auto& [reply, body] : bodies) EXPECT_EQ(ReplyBody(reply), body) << reply;
  EXPECT_EQ(TableNumber(1, 4, 0), 401);
  EXPECT_EQ(TableNumber(0, 20, 1), 3000);
  EXPECT_EQ(CleanLoginText("a:b;c*\"'-+&?{}[]~#\\/"), "a_b_c_______________");
  TScores r;
  r.Score = 12;
  r.Name = "Ewe";
  r.Best[1] = 9;
  r.Best[30] = 1;
  const std::string line = SubmissionLine(r);
  EXPECT_EQ(line.substr(0, 20), "12|Ewe|0|0|0|0|0|0|^");
  EXPECT_EQ(SubmitMark.size(), 19u);
  EXPECT_NE(line.find(SubmitMark + "9|0|"), std::string::npos);
  EXPECT_EQ(line.substr(line.size() - 2), "|1");
}

TEST(OnlineScoresTest, LoginRepliesAndShortCredentials) {
  TOnlineWorld world;
  std::string answer;
  TScriptedHttpServer server([&answer](const std::string&) { return answer; });
  ScoreServer = server.Name();

  struct Case {
    std::string user, password, reply;
    bool loggedIn;
    int motd;
    std::string error;
  };
  const Case cases[] = {
      {"ab", "sevenxx", "", false, 0, "USERNAME TOO SHORT"},
      {"abcd", "abc", "", false, 0, "PASSWORD TOO SHORT"},
      {std::string(25, 'n'), "woolly", "", false, 0, "USERNAME TOO LONG"},
      {"Shepherd", std::string(65, 'p'), "", false, 0, "PASSWORD TOO LONG"},
      {"Shepherd", "woolly", "HTTP/1.0 200 OK\n\nnope", false, 0, "WRONG PASSWORD"},
      {"Shepherd", "woolly", "HTTP/1.0 200 OK\n\nPassword Correct|", true, 0, ""},
      {"a:b;c", "woolly", "HTTP/1.0 200 OK\n\nWelcome!|Line one\n Line two \n\nnot motd", true, 2, ""},
  };
  size_t expectedRequests = 0;
  for (const Case& c : cases) {
    LoggedIn = LoginFailed = false;
    UserName = c.user;
    Password = c.password;
    answer = c.reply;
    Login();
    EXPECT_EQ(LoggedIn, c.loggedIn) << c.user;
    EXPECT_EQ(LoginFailed, !c.loggedIn);
    EXPECT_EQ(RefreshState, c.loggedIn ? 1 : 0);
    EXPECT_EQ(c.loggedIn ? MotdCount : 0, c.motd);
    EXPECT_EQ(c.loggedIn ? "" : LoginError(), c.error);
    if (c.error.find("TOO") == std::string::npos) ++expectedRequests;
    EXPECT_EQ(server.Requests().size(), expectedRequests) << "credentials out of bounds send nothing";
  }
  EXPECT_EQ(MotdLines[1], "Line one");
  EXPECT_EQ(MotdLines[2], "Line two");
  EXPECT_EQ(UserName, "a_b_c");

  // The login's query value unwraps to the name and the credential wrapper.
  const std::string line = server.Requests().back();
  const std::string head = "GET //enscore/login.php?week=3&input=";
  ASSERT_EQ(line.substr(0, head.size()), head);
  const std::string input = line.substr(head.size(), line.find(' ', head.size()) - head.size());
  const std::string plain = Unscramble(input, "");
  EXPECT_EQ(plain, "a_b_c|" + Scramble("a_b_c|woolly", HeaderCode));

  // No server at all: the login fails quietly.
  ScoreServer = "127.0.0.1:1";
  LoggedIn = false;
  Login();
  EXPECT_TRUE(LoginFailed);
}

TEST(OnlineScoresTest, RefreshFetchesAndSubmitsAtMostOnce) {
  TOnlineWorld world;
  std::string table;
  TScriptedHttpServer server([&table](const std::string& line) {
    return line.find("/tables/") != std::string::npos ? table : "HTTP/1.0 200 OK\n\nthanks";
  });
  ScoreServer = server.Name();
  LoggedIn = true;
  world.LocalBest(100);

  struct Case {
    std::string name, reply;
    int submissions;
    size_t entries;
  };
  const Case cases[] = {
      {"30 entries all above the local best", TableReply(30, 1000), 0, 30},
      {"29 entries", TableReply(29, 1000), 1, 29},
      {"local best places among 30", TableReply(30, 150), 1, 30},
      {"no table yet", "HTTP/1.0 404 Not Found\n\n<html><Head></head></html>", 1, 0},
      {"1000 lines", TableReply(500, 100000), 0, 30},
      {"junk", "HTTP/1.0 200 OK\n\nno bars\n\xff\x01\nx|y|z\nq", 1, 1},
      // Only a 200 is a table: a busy server's page or no reply at all leads to no submission.
      {"nothing", "", 0, 0},
      {"a busy server", "HTTP/1.1 503 Service Unavailable\nContent-Type: text/plain\n\nBusy, try again", 0, 0},
      {"a name no record may have", "HTTP/1.0 200 OK\n\n900|" + std::string(100000, 'a') + "|3|2024|4|1|0|0\n5|6\n" +
                                        "800|Ram|3|2024|4|1|0|0\n5|6", 1, 1},
  };
  for (const Case& c : cases) {
    table = c.reply;
    OnlineScores.clear();
    const int before = Submissions(server);
    world.Refresh();
    EXPECT_EQ(Submissions(server) - before, c.submissions) << c.name;
    EXPECT_EQ(OnlineScores.size(), c.entries) << c.name;
    EXPECT_EQ(RefreshState, 0) << "with the mouse button up the refresh ends in its fetch frame";
    EXPECT_EQ(Submitted, 0);
  }
  // Two refreshes of the same table keep one copy of each entry; other tables stay.
  OnlineScores.clear();
  auto other = std::make_shared<TScores>();
  other->GameMode = ~1;
  other->Level = 5;
  OnlineScores.push_back(other);
  table = TableReply(3, 1000);
  world.Refresh();
  world.Refresh();
  EXPECT_EQ(OnlineScores.size(), 4u);
  for (const TScoresPtr& r : OnlineScores) EXPECT_EQ(r->GameMode, ~1);
  EXPECT_EQ(LocalScores.size(), 1u);
  const std::vector<std::string> requests = server.Requests();
  EXPECT_EQ(requests[requests.size() - 2], "GET //enscore/tables/3/401.txt HTTP/1.0");
}

// A refresh is one wait for the player: when the fetch leaves little time, the submission that
// follows gets only what is left, not a wait of its own.
TEST(OnlineScoresTest, ARefreshWaitsOnceForFetchAndSubmission) {
  TOnlineWorld world;
  HttpActionMillis = 600;
  HttpSilenceMillis = 20000;
  HttpTotalMillis = 20000;
  std::atomic<bool> release{false};
  TScriptedHttpServer server([&](const std::string& line) {
    if (line.find("/tables/") != std::string::npos) return TableReply(3, 1000);
    // The submission's server never answers within the test.
    WaitFor([&] { return release.load(); });
    return std::string("HTTP/1.0 200 OK\n\nlate");
  });
  ScoreServer = server.Name();
  LoggedIn = true;
  world.LocalBest(100);
  const auto start = std::chrono::steady_clock::now();
  world.Refresh();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  release = true;
  EXPECT_EQ(Submissions(server), 1);
  EXPECT_EQ(OnlineScores.size(), 3u);
  // Far above the action's 0.6 s, far below the 20 s a request alone may wait.
  EXPECT_LT(seconds, 10) << "the submission waited on its own";
  ResetHttpClient();
}

// An https server setting speaks TLS: the server is taken when its certificate is signed by a
// trusted authority and valid for the name asked for; otherwise the request is never sent and the
// player reads why.
TEST(OnlineScoresTest, AnHttpsServerIsTakenOnlyWithItsCertificate) {
  TOnlineWorld world;
  TTempDir dir;
  TTlsEndpoint endpoint(dir.Path(), "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nWelcome!|Over TLS");
  ASSERT_EQ(endpoint.Error(), "");
  const std::string port = std::to_string(endpoint.Port());
  struct TCase {
    const char* what;
    std::string server;
    bool trusted;   // the test's authority trusted (else the system's store alone)
    const char* message;  // the floating message, "" for none
  };
  const TCase cases[] = {
      {"the right name", "https://localhost:" + port, true, ""},
      {"another name for the same server", "https://127.0.0.1:" + port, true,
       "Score server refused: certificate not valid for 127.0.0.1"},
      {"an authority the system does not know", "https://localhost:" + port, false,
       "Score server refused: certificate not trusted"},
  };
  int requests = 0;
  for (const TCase& c : cases) {
    SetTlsTrustFileForTest(c.trusted ? endpoint.AuthorityFile() : "");
    ScoreServer = c.server;
    LoggedIn = false;
    MessageList.clear();
    Login();
    const bool taken = *c.message == 0;
    EXPECT_EQ(LoggedIn, taken) << c.what;
    if (taken) {
      EXPECT_EQ(MotdLines[1], "Over TLS") << c.what;
    }
    requests += taken;
    EXPECT_EQ(endpoint.Requests(), requests) << c.what << ": a refused server must get no request";
    EXPECT_EQ(MessageList.empty() ? "" : MessageList.back().txt, c.message) << c.what;
  }
  SetTlsTrustFileForTest("");
}

}  // namespace
