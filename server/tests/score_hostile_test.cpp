// The score server against what a hostile client tries: password checks smuggled past the lane
// that rations them, a full connection table, probing which names exist, overlong heads and
// numbers the game never sends.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <thread>
#include <vector>

#include "protocol/game_identity.h"
#include "protocol/online_requests.h"
#include "address_list.h"
#include "protocol/score_line.h"
#include "score_requests.h"
#include "score_server.h"
#include "score_store.h"
#include "server_fixture.h"
#include "support/loopback_server.h"
#include "support/temp_dir.h"

namespace {

int Connect(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_port = htons(uint16_t(port));
  at.sin_addr.s_addr = htonl(kLoopback);
  timeval wait{20, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
  if (connect(fd, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

std::string ReadAll(int fd) {
  std::string reply;
  char buf[4096];
  for (ssize_t n; (n = recv(fd, buf, sizeof buf, 0)) > 0;) reply.append(buf, size_t(n));
  return reply;
}

std::string Login(const std::string& name, const std::string& password) {
  return LoginRequest(WeekNumber, LoginInput(name, password, GameScrambleKey()));
}

std::string Submit(const std::string& name, const std::string& password, int64_t score) {
  TRecordFields r;
  r.Score = score;
  r.Name = "Ram";
  r.Timestamp = 7;
  r.Level = 4;
  r.GameMode = 1;
  return SubmitRequest(WeekNumber, SubmitInput(name, password, RecordLine(r, SubmitMark), GameScrambleKey()));
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  return text.replace(text.find(from), from.size(), to);
}

// While a flood of password checks keeps the hash busy, a health check sent through the ordinary
// lane and a login whose password was already checked are both answered before the flood is:
// also when the flood spells its path with an escape, which once chose the lane by the raw text.
TEST(ScoreServerHostileTest, PasswordFloodsHoldUpNothingElse) {
  struct TCase {
    const char* what;
    bool encoded;      // the flood's path spelled "login%2ephp"
    bool cachedProbe;  // the probe is a checked login rather than /healthz
  };
  for (const TCase c : {TCase{"encoded flood, health probe", true, false},
                        TCase{"plain flood, checked login", false, true}}) {
    TTempDir dir;
    TServerOptions options = LoopbackOptions(dir.Path() + "/scores.db");
    options.threads = 1;
    options.request_seconds = 120;
    options.service.hash_concurrency = 1;
    options.service.login_burst = options.service.registration_burst = 100;
    TScoreServer server;
    ASSERT_TRUE(server.Start(options)) << server.Error();
    const std::string probe = c.cachedProbe ? Login("Shepherd", "woolly") : "/healthz";
    if (c.cachedProbe) {
      ASSERT_EQ(GetStatus(server.Port(), probe), "HTTP/1.1 200 OK");
    }

    const int flood = 6;
    std::atomic<int> finished{0};
    std::vector<int> order(flood);
    std::vector<std::thread> clients;
    for (int i = 0; i < flood; ++i) {
      std::string path = Login("Flock " + std::to_string(i), "woolly");
      if (c.encoded) path = Replaced(path, "login.php", "login%2ephp");
      clients.emplace_back([&, i, path] {
        EXPECT_EQ(GetStatus(server.Port(), path), "HTTP/1.1 200 OK") << c.what;
        order[size_t(i)] = ++finished;
      });
    }
    ASSERT_TRUE(WaitFor([&] { return finished >= 1; }));
    EXPECT_EQ(GetStatus(server.Port(), probe), "HTTP/1.1 200 OK") << c.what;
    const int probeDone = finished;
    for (std::thread& t : clients) t.join();
    // Five hashes were still to run when the probe was sent; it must not have waited for them.
    EXPECT_LE(probeDone, 2) << c.what << ": the probe came after " << probeDone << " of the flood";
  }
}

// At the connection limit, with idle connections holding most of it, a burst of complete
// requests is answered whole: the idle go, and no request that arrived is reset.
TEST(ScoreServerHostileTest, AFullServerResetsNoRequestThatArrived) {
  TTempDir dir;
  TServerOptions options = LoopbackOptions(dir.Path() + "/scores.db");
  options.max_connections = 16;
  TScoreServer server;
  ASSERT_TRUE(server.Start(options)) << server.Error();
  std::vector<int> idle;
  for (int i = 0; i < 15; ++i) idle.push_back(Connect(server.Port()));
  std::vector<int> burst;
  for (int i = 0; i < 120; ++i) {
    const int fd = Connect(server.Port());
    const std::string request = "GET /healthz HTTP/1.0\nHost: h\n\n\r\n";
    if (fd >= 0) send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    burst.push_back(fd);
  }
  int answered = 0;
  for (int fd : burst) {
    answered += fd >= 0 && ReadAll(fd).rfind("HTTP/1.1 200 OK\r\n", 0) == 0;
    close(fd);
  }
  for (int fd : idle) close(fd);
  EXPECT_EQ(answered, 120);
}

// A submission for a name nobody has costs and answers what one with a wrong password for a real
// name does, down to the limit that ends the guessing.
TEST(ScoreServerHostileTest, UnknownNamesAnswerAsWrongPasswordsDo) {
  std::vector<std::string> answers[2];
  for (int known = 0; known < 2; ++known) {
    TTempDir dir;
    TServerOptions options = LoopbackOptions(dir.Path() + "/scores.db");
    options.service.login_burst = 3;
    options.service.logins_per_minute = 0.01;
    {
      std::string error;
      std::unique_ptr<TScoreStore> store = OpenScoreStore(options.database, error);
      ASSERT_TRUE(store) << error;
      ASSERT_TRUE(StartPasswordHashing());
      ASSERT_EQ(store->AddPlayer("Shepherd", HashPassword("woolly")), TAddPlayer::Added);
    }
    TScoreServer server;
    ASSERT_TRUE(server.Start(options)) << server.Error();
    for (int i = 0; i < 5; ++i)
      answers[known].push_back(GetStatus(server.Port(), Submit(known ? "Shepherd" : "Stranger", "guess" + std::to_string(i), 100)));
  }
  EXPECT_EQ(answers[0], answers[1]);
  EXPECT_EQ(answers[1].back(), "HTTP/1.1 429 Too Many Requests");
}

// A head longer than the limit is refused also when its end comes in the read that crosses it.
TEST(ScoreServerHostileTest, AnOverlongHeadIsRefusedWhereverItsEndComes) {
  TTempDir dir;
  TScoreServer server;
  ASSERT_TRUE(server.Start(LoopbackOptions(dir.Path() + "/scores.db"))) << server.Error();
  const std::string head = "GET /healthz HTTP/1.0\nX-Padding: " + std::string(12000, 'a') + "\n\n";
  const int fd = Connect(server.Port());
  send(fd, head.data(), 8000, MSG_NOSIGNAL);
  // Once a later connection is answered, the loop has read the bytes that came before it.
  ASSERT_EQ(GetStatus(server.Port(), "/healthz"), "HTTP/1.1 200 OK");
  send(fd, head.data() + 8000, head.size() - 8000, MSG_NOSIGNAL);
  const std::string reply = ReadAll(fd);
  close(fd);
  EXPECT_EQ(reply.substr(0, reply.find('\r')), "HTTP/1.1 431 Request Header Fields Too Large");
}

// Submitted numbers the game never sends are refused: a signed zero, a score no game can reach.
TEST(ScoreServerHostileTest, SubmissionsOutsideWhatAGameSendsAreRefused) {
  TRecordFields r;
  r.Name = "Ram";
  r.Level = 4;
  r.GameMode = 1;
  const std::string good = RecordLine(r, SubmitMark);
  struct TCase {
    const char* what;
    std::string line;
    bool taken;
  };
  r.Score = kScoreHighest;
  const std::string highest = RecordLine(r, SubmitMark);
  r.Score = kScoreHighest + 1;
  const std::string above = RecordLine(r, SubmitMark);
  const TCase cases[] = {
      {"a plain record", good, true},
      {"the highest score a game reaches", highest, true},
      {"one point more", above, false},
      {"a signed zero score", "-" + good, false},
      {"a signed zero level value", good.substr(0, good.size() - 1) + "-0", false},
      {"a plus sign", "+" + good, false},
  };
  for (const TCase& c : cases) {
    TServerRecord stored;
    EXPECT_EQ(ReadSubmission(c.line, stored), c.taken) << c.what << ": " << c.line;
  }
}

// A database URL's password stays out of the log however the URL spells its key.
TEST(ScoreServerHostileTest, DatabasePasswordsAreMaskedInEverySpelling) {
  for (const std::string url : {"postgresql://scores:secret@db/scores", "postgresql://db/scores?password=secret",
                                "postgresql://db/scores?pass%77ord=secret&sslmode=require",
                                "postgres://db/scores?sslmode=require&PASSWORD=secret",
                                "postgresql://db/scores?%70assword=secret"}) {
    const std::string shown = ShownDatabase(url);
    EXPECT_EQ(shown.find("secret"), std::string::npos) << shown;
    EXPECT_NE(shown.find("db"), std::string::npos) << shown;
  }
}

// The same record from four players is kept for each of them; the same player sending it twice
// still gets it once.
TEST(ScoreStoreHostileTest, IdenticalRecordsOfDifferentPlayersAreAllKept) {
  for (const std::string engine : {"sqlite", "postgresql"}) {
    TTempDir dir;
    TTestDatabase db(engine, dir.Path());
    std::string error;
    std::unique_ptr<TScoreStore> store = OpenScoreStore(db.Setting(), error);
    ASSERT_TRUE(store) << engine << ": " << error;
    TServerRecord r;
    r.Score = 500;
    r.Name = "Ram";
    r.Timestamp = 9;
    r.Best = "0";
    for (const char* player : {"Ewe", "Ram", "Lamb", "Tup", "Ewe"}) ASSERT_TRUE(store->AddRecord(401, player, r, 40, ""));
    std::vector<TServerRecord> rows;
    ASSERT_TRUE(store->Table(401, 30, rows));
    EXPECT_EQ(rows.size(), 4u) << engine;
  }
}

// A backup holds every password hash: only its owner may read it.
TEST(ScoreStoreHostileTest, BackupsAreTheOwnersAlone) {
  TTempDir dir;
  std::string error;
  ASSERT_TRUE(OpenScoreStore(dir.Path() + "/scores.db", error)) << error;
  const mode_t before = umask(022);
  const bool copied = BackupSqlite(dir.Path() + "/scores.db", dir.Path() + "/backup.db", error);
  umask(before);
  ASSERT_TRUE(copied) << error;
  struct stat made {};
  ASSERT_EQ(stat((dir.Path() + "/backup.db").c_str(), &made), 0);
  EXPECT_EQ(made.st_mode & 077, 0u);
}

}  // namespace

namespace {

// Strangers enough to fill the rate limits' table do not lock out the next one.
TEST(ScoreServerHostileTest, AFullRateTableStillTakesNewcomers) {
  TRateLimiter limiter;
  const auto now = TServerClock::now();
  for (int i = 0; i < 65536; ++i) ASSERT_TRUE(limiter.Take("login 10.0." + std::to_string(i), 3, 0.001, now));
  EXPECT_TRUE(limiter.Take("login 192.0.2.1", 3, 0.001, now));
  EXPECT_TRUE(limiter.Take("login 10.0.0", 3, 0.001, now)) << "a bucket dropped for room starts full again";
}

// An IPv6 subscriber's whole allocation counts as one client, however many /64s it holds.
TEST(ScoreServerHostileTest, IPv6ClientsAreCountedByTheirAllocation) {
  struct TCase {
    const char* a;
    const char* b;
    int prefix;
    bool same;
  };
  for (const TCase& c : {TCase{"2001:db8:1:ff00::1", "2001:db8:1::2", 48, true},
                         TCase{"2001:db8:1:ff::1", "2001:db8:1:1::2", 56, true},
                         TCase{"2001:db8:1:100::1", "2001:db8:1::2", 56, false},
                         TCase{"2001:db8:1::1", "2001:db8:2::1", 48, false},
                         TCase{"192.0.2.1", "192.0.2.2", 48, false}})
    EXPECT_EQ(RateKey(c.a, c.prefix) == RateKey(c.b, c.prefix), c.same) << c.a << " " << c.b << " /" << c.prefix;
}

}  // namespace

namespace {

// Behind a trusted proxy the client it forwards is the one counted and shown: the rate limits
// count each forwarded client apart, and the metrics are refused to a client from outside.
TEST(ScoreServerProxyTest, TheForwardedClientIsCountedAndTheMetricsKeptIn) {
  TTempDir dir;
  TServerOptions options = LoopbackOptions(dir.Path() + "/scores.db");
  options.trusted_proxies = "127.0.0.1";
  options.service.login_burst = 1;
  options.service.logins_per_minute = 0.01;
  TScoreServer server;
  ASSERT_TRUE(server.Start(options)) << server.Error();
  auto get = [&](const std::string& path, const std::string& client) {
    const std::string reply =
        Raw(server.Port(), "GET " + path + " HTTP/1.0\r\nX-Forwarded-For: 198.51.100.7, " + client + "\r\n\r\n");
    return reply.substr(0, reply.find('\r'));
  };
  EXPECT_EQ(get(Submit("Shepherd", "guess", 1), "203.0.113.1"), "HTTP/1.1 403 Forbidden");
  EXPECT_EQ(get(Submit("Shepherd", "guess", 1), "203.0.113.2"), "HTTP/1.1 403 Forbidden");
  EXPECT_EQ(get(Submit("Shepherd", "guess", 1), "203.0.113.1"), "HTTP/1.1 429 Too Many Requests");
  EXPECT_EQ(get("/metrics", "203.0.113.1"), "HTTP/1.1 404 Not Found");
  const std::string metrics = Raw(server.Port(), "GET /metrics HTTP/1.0\r\n\r\n");
  for (const char* line : {"\r\nContent-Type: text/plain; version=0.0.4\r\n",
                           "\nlambrisk_requests_total{route=\"submit\",status=\"403\"} 2\n",
                           "\nlambrisk_requests_total{route=\"submit\",status=\"429\"} 1\n",
                           "\nlambrisk_requests_total{route=\"metrics\",status=\"404\"} 1\n",
                           "\nlambrisk_request_duration_seconds_count{route=\"submit\"} 3\n",
                           "\nlambrisk_password_queue_wait_seconds_count 2\n", "\nlambrisk_connections_open "})
    EXPECT_NE(metrics.find(line), std::string::npos) << line << " not in:\n" << metrics;
}

TEST(ScoreServerProxyTest, TheClientIsTheRightmostAddressNoProxyAdded) {
  TNetworks proxies;
  std::string error;
  ASSERT_TRUE(ParseNetworks("127.0.0.1, 10.0.0.0/8 ::1", proxies, error)) << error;
  struct TCase {
    const char* peer;
    const char* forwarded;
    const char* client;
  };
  for (const TCase& c : {TCase{"192.0.2.5", "203.0.113.1", "192.0.2.5"},  // not a proxy: its header is anyone's
                         TCase{"127.0.0.1", "", "127.0.0.1"},
                         TCase{"127.0.0.1", "203.0.113.1", "203.0.113.1"},
                         TCase{"::1", "198.51.100.7, 203.0.113.1, 10.1.2.3", "203.0.113.1"},
                         TCase{"127.0.0.1", "203.0.113.1, not-an-address", "127.0.0.1"},
                         TCase{"127.0.0.1", "2001:db8::1", "2001:db8::1"}})
    EXPECT_EQ(ClientAddress(c.peer, c.forwarded, proxies), c.client) << c.peer << " / " << c.forwarded;
}

}  // namespace
