// The score server as an operator runs it: the configuration file and its reload, the log, the
// health check, and score_admin on both database engines.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>

#include <csignal>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "base/program_state.h"
#include "scores/score_file.h"
#include "framework/setup_file.h"
#include "score_server.h"
#include "score_store.h"
#include "scores/online_scores.h"
#include "scores/scramble.h"
#include "server_fixture.h"
#include "server_process.h"
#include "support/loopback_server.h"
#include "support/temp_dir.h"

namespace {

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(ScoreServerOperationsTest, ConfigurationErrorsNameTheirLine) {
  TTempDir dir;
  const std::pair<std::string, std::string> cases[] = {
      {"# comment\n\nport = 8080\nmotd = Cup week\n", ""},
      {"port = 8080\ncolour = red\n", "scores.conf:2: unknown setting \"colour\""},
      {"port = eighty\n", "scores.conf:1: port must be a whole number from 0 to 65535, not \"eighty\""},
      {"keep_per_player = 29\n", "scores.conf:1: keep_per_player must be a whole number from 30"},
      {"motd\n", "scores.conf:1: not a \"key = value\" line"},
      {"log_level = loud\n", "scores.conf:1: log_level must be info or error"},
  };
  for (const auto& [text, error] : cases) {
    TTempDir::Write("scores.conf", text);
    TServerOptions options;
    std::string why;
    EXPECT_EQ(ReadConfig("scores.conf", options, why), error.empty()) << text;
    EXPECT_EQ(why.substr(0, error.size()), error) << text;
    if (error.empty()) {
      EXPECT_EQ(options.port, 8080);
    }
  }
}

// The real binary with a configuration file and a flag over it: the message of the day changes
// on SIGHUP (a broken file leaves the running one), and the log has one line per request, never
// the password.
TEST(ScoreServerOperationsTest, ConfigurationReloadsOnHangUpAndTheLogKeepsPasswordsOut) {
  TTempDir dir;
  const std::string config = dir.Path() + "/scores.conf", log = dir.Path() + "/server.log";
  TTempDir::Write(config, "port = 0\ndatabase = " + dir.Path() + "/scores.db\nmotd = First week\n");
  TServerProcess server;
  ASSERT_TRUE(server.Start(SCORE_SERVER_BINARY, {"--config", config, "--bind", "127.0.0.1"}, log)) << FileText(log);
  BuildScrambleKey();
  ScoreServer = "127.0.0.1:" + std::to_string(server.port);
  UserName = "Shepherd";
  Password = "woolly jumper";
  const std::string input = Scramble(UserName + "|" + CredentialWrapper(UserName, Password), "");
  EXPECT_EQ(OnlineLogin(input), "Welcome!|First week");
  auto reload = [&](const std::string& text, const std::string& logged) {
    TTempDir::Write(config, text);
    kill(server.pid, SIGHUP);
    EXPECT_TRUE(WaitFor([&] { return FileText(log).find(logged) != std::string::npos; })) << logged;
  };
  reload("port = 0\ndatabase = " + dir.Path() + "/scores.db\nmotd = Second week\n", "configuration reloaded");
  EXPECT_EQ(OnlineLogin(input), "Password Correct|Second week");
  reload("port = 0\nmotd = Third week\nthreads = many\n", "configuration not reloaded");
  EXPECT_EQ(OnlineLogin(input), "Password Correct|Second week");
  Password = "not the one";
  EXPECT_EQ(OnlineLogin(Scramble(UserName + "|" + CredentialWrapper(UserName, Password), "")), "Wrong Password");
  EXPECT_EQ(GetStatus(server.port, "/healthz"), "HTTP/1.1 200 OK");
  server.Stop(SIGTERM);

  const std::string text = FileText(log);
  EXPECT_EQ(text.find(input.substr(0, 16)), std::string::npos) << "the scrambled credentials were logged";
  const std::regex line(
      "\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}Z "
      "(info .+|error \\S+ .+|access 127\\.0\\.0\\.1 GET /\\S+ \\d{3} \\d+ \\d+\\.\\d \\S+)");
  std::istringstream lines(text);
  int access = 0;
  for (std::string l; std::getline(lines, l);) {
    EXPECT_TRUE(std::regex_match(l, line)) << l;
    access += l.find(" access ") != std::string::npos;
  }
  EXPECT_EQ(access, 5);
  EXPECT_NE(text.find("error 127.0.0.1 login refused: wrong name or password (player Shepherd)"), std::string::npos);
}

class ScoreAdminOnEngine : public ::testing::TestWithParam<std::string> {};

// Every score_admin command against a running server's database; passwords come from stdin.
TEST_P(ScoreAdminOnEngine, ListsDeletesAndResetsPasswords) {
  TTempDir dir;
  TTestDatabase db(GetParam(), dir.Path());
  TScoreServer server;
  ASSERT_TRUE(server.Start(LoopbackOptions(db.Setting()))) << server.Error();
  const int port = server.Port();
  ScoreServer = "127.0.0.1:" + std::to_string(port);
  const std::string admin = std::string(SCORE_ADMIN_BINARY) + " ", quoted = "'" + db.Setting() + "' ";
  int code = -1;
  auto run = [&](const std::string& args, const std::string& input = "") {
    return RunWithInput(admin + args, input, code);
  };

  EXPECT_EQ(run("login " + ScoreServer + " Drover", "crook shank\n").substr(0, 8), "Welcome!");
  EXPECT_EQ(run("login " + ScoreServer + " Shepherd", "woolly jumper\n").substr(0, 8), "Welcome!");
  for (int64_t score : {500, 700}) {
    TScores r;
    r.Score = r.Timestamp = score;
    r.Name = "Ram";
    r.Level = 4;
    r.GameMode = 1;
    const std::string wrapper = Scramble("Shepherd|woolly jumper", HeaderCode);
    EXPECT_EQ(GetStatus(port, "/enscore/scores.php?Week=3&Input=" +
                                  Scramble("Shepherd|" + wrapper + "|" + SubmissionLine(r), "")),
              "HTTP/1.1 200 OK");
  }
  EXPECT_EQ(run("players " + quoted), "Drover\nShepherd\n");
  // The listing without its first column, the record ids.
  auto records = [&]() {
    std::istringstream lines(run("list " + quoted));
    std::string out, l;
    while (std::getline(lines, l)) out += l.substr(l.find('\t') + 1) + "\n";
    return out;
  };
  EXPECT_EQ(records(), "401\tShepherd\t700\tRam\t700\n401\tShepherd\t500\tRam\t500\n");
  const std::string listed = run("list " + quoted + "401");
  const std::string firstId = listed.substr(0, listed.find('\t'));
  run("delete-record " + quoted + firstId);
  EXPECT_EQ(code, 0);
  run("delete-record " + quoted + firstId);
  EXPECT_EQ(code, 1) << "a second delete finds nothing";
  EXPECT_EQ(records(), "401\tShepherd\t500\tRam\t500\n");

  run("reset-password " + quoted + "Shepherd", "fresh fleece\n");
  EXPECT_EQ(code, 0);
  EXPECT_EQ(run("login " + ScoreServer + " Shepherd", "woolly jumper\n"), "Wrong Password\n")
      << "the running server forgot the old password";
  EXPECT_EQ(run("login " + ScoreServer + " Shepherd", "fresh fleece\n").substr(0, 16), "Password Correct");
  run("reset-password " + quoted + "Nobody", "fresh fleece\n");
  EXPECT_EQ(code, 1);

  run("delete-player " + quoted + "Drover");
  EXPECT_EQ(code, 0);
  EXPECT_EQ(run("players " + quoted), "Shepherd\n");
}

INSTANTIATE_TEST_SUITE_P(Engines, ScoreAdminOnEngine, SERVER_ENGINES, SERVER_ENGINE_NAME);

// A backup taken while the server writes holds every acknowledged record; it restores into a
// fresh file, and a file that is no score database is refused.
TEST(ScoreAdminTest, BackupWhileServingAndRestore) {
  TTempDir dir;
  TServerOptions options = LoopbackOptions(dir.Path() + "/scores.db");
  options.service.keep_per_player = 1000000;
  TScoreServer server;
  ASSERT_TRUE(server.Start(options)) << server.Error();
  const int port = server.Port();
  const std::string wrapper = Scramble("Shepherd|woolly jumper", HeaderCode);
  EXPECT_EQ(GetStatus(port, "/enscore/login.php?week=3&input=" + Scramble("Shepherd|" + wrapper, "")),
            "HTTP/1.1 200 OK");
  auto submit = [&](int64_t score) {
    TScores r;
    r.Score = r.Timestamp = score;
    r.Name = "Ram";
    r.Level = 2;
    r.GameMode = 1;
    return GetStatus(port, "/enscore/scores.php?Week=3&Input=" +
                               Scramble("Shepherd|" + wrapper + "|" + SubmissionLine(r), ""));
  };
  for (int64_t score = 1; score <= 20; ++score) EXPECT_EQ(submit(score), "HTTP/1.1 200 OK");
  std::atomic<bool> writing{true};
  std::thread writer([&] {
    for (int64_t score = 100; writing; ++score) submit(score);
  });
  const std::string admin = std::string(SCORE_ADMIN_BINARY) + " ";
  int code = -1;
  RunWithInput(admin + "backup " + dir.Path() + "/scores.db " + dir.Path() + "/backup.db", "", code);
  writing = false;
  writer.join();
  EXPECT_EQ(code, 0);
  RunWithInput(admin + "restore " + dir.Path() + "/backup.db " + dir.Path() + "/restored.db", "", code);
  EXPECT_EQ(code, 0);
  std::string error;
  std::unique_ptr<TScoreStore> restored = OpenScoreStore(dir.Path() + "/restored.db", error);
  ASSERT_TRUE(restored) << error;
  for (int64_t score = 1; score <= 20; ++score) EXPECT_TRUE(restored->HasRecord(201, score, "Ram", score)) << score;

  TTempDir::Write(dir.Path() + "/notes.db", "not a database at all, just words");
  RunWithInput(admin + "restore " + dir.Path() + "/notes.db " + dir.Path() + "/restored.db", "", code);
  EXPECT_EQ(code, 1);
  EXPECT_TRUE(restored->HasRecord(201, 20, "Ram", 20)) << "a refused restore leaves the database alone";
}

// The health check answers only while the database does.
TEST(ScoreServerOperationsTest, HealthCheckFailsWhenTheDatabaseIsGone) {
  TTempDir dir;
  TTestDatabase db("postgresql", dir.Path());
  TScoreServer server;
  ASSERT_TRUE(server.Start(LoopbackOptions(db.Setting()))) << server.Error();
  EXPECT_EQ(GetStatus(server.Port(), "/healthz"), "HTTP/1.1 200 OK");
  db.Drop();
  EXPECT_EQ(GetStatus(server.Port(), "/healthz"), "HTTP/1.1 503 Service Unavailable");
}

// Under systemd the server says when it is ready, reloading and stopping, and feeds its watchdog.
TEST(ScoreServerOperationsTest, TellsSystemdItsStateAndFeedsTheWatchdog) {
  TTempDir dir;
  const std::string path = dir.Path() + "/notify";
  const int fd = socket(AF_UNIX, SOCK_DGRAM, 0);
  sockaddr_un at{};
  at.sun_family = AF_UNIX;
  std::snprintf(at.sun_path, sizeof at.sun_path, "%s", path.c_str());
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
  timeval wait{30, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
  auto next = [fd] {
    char buf[512];
    const ssize_t n = recv(fd, buf, sizeof buf, 0);
    return n > 0 ? std::string(buf, size_t(n)) : std::string("(nothing)");
  };
  setenv("NOTIFY_SOCKET", path.c_str(), 1);
  setenv("WATCHDOG_USEC", "200000", 1);
  TServerProcess server;
  const bool started = server.Start(SCORE_SERVER_BINARY, {"--port", "0", "--bind", "127.0.0.1", "--db", dir.Path() + "/s.db"},
                                    dir.Path() + "/log");
  unsetenv("NOTIFY_SOCKET");
  unsetenv("WATCHDOG_USEC");
  ASSERT_TRUE(started);
  EXPECT_EQ(next().substr(0, 24), "READY=1\nSTATUS=listening");
  EXPECT_EQ(next(), "WATCHDOG=1");
  kill(server.pid, SIGHUP);
  std::string said;
  while ((said = next()) == "WATCHDOG=1") {
  }
  EXPECT_EQ(said, "RELOADING=1");
  while ((said = next()) == "WATCHDOG=1") {
  }
  EXPECT_EQ(said, "READY=1");
  kill(server.pid, SIGTERM);
  while ((said = next()) == "WATCHDOG=1") {
  }
  EXPECT_EQ(said, "STOPPING=1");
  server.Stop(SIGTERM);
  close(fd);
}

}  // namespace
