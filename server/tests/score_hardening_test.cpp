// The score server against slow and hostile clients: trickled requests, password floods from one
// address, and more password hashes at once than the server allows.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "score_server.h"
#include "scores/scramble.h"
#include "server_fixture.h"
#include "support/loopback_server.h"
#include "support/temp_dir.h"

namespace {

using TClock = std::chrono::steady_clock;

int Connect(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_port = htons(uint16_t(port));
  at.sin_addr.s_addr = htonl(kLoopback);
  if (connect(fd, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

std::string LoginPath(const std::string& name, const std::string& password) {
  return "/enscore/login.php?week=3&input=" + Scramble(name + "|" + Scramble(name + "|" + password, HeaderCode), "");
}

// Fifty clients trickle a byte of their request every 100 ms on a server with two workers:
// ordinary requests are answered meanwhile, and every trickler gets 408 at its deadline.
TEST(ScoreServerHardeningTest, TricklingClientsHoldNoWorker) {
  TTempDir dir;
  TServerOptions options = LoopbackOptions(dir.Path() + "/scores.db");
  options.threads = 1;
  options.request_seconds = 3;
  TScoreServer server;
  ASSERT_TRUE(server.Start(options)) << server.Error();
  const int port = server.Port();

  std::vector<int> tricklers;
  for (int i = 0; i < 50; ++i) tricklers.push_back(Connect(port));
  ASSERT_EQ(std::count(tricklers.begin(), tricklers.end(), -1), 0);
  std::atomic<bool> trickling{true};
  std::thread trickle([&] {
    const std::string request = "GET /enscore/tables/3/401.txt HTTP/1.0\nHost: slow\nUser-Agent: drip";
    for (size_t at = 0; trickling && at < request.size(); ++at) {
      for (int fd : tricklers) send(fd, &request[at], 1, MSG_NOSIGNAL);
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  });

  std::vector<double> millis;
  for (int i = 0; i < 40; ++i) {
    const auto start = TClock::now();
    EXPECT_EQ(GetStatus(port, "/enscore/tables/3/401.txt"), "HTTP/1.1 404 Not Found");
    millis.push_back(std::chrono::duration<double, std::milli>(TClock::now() - start).count());
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  std::sort(millis.begin(), millis.end());
  std::printf("ordinary requests beside 50 trickling connections: median %.2f ms, slowest %.2f ms\n",
              millis[millis.size() / 2], millis.back());

  int timedOut = 0;
  for (int fd : tricklers) {
    timeval wait{10, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    char reply[13] = {};
    timedOut += recv(fd, reply, 12, MSG_WAITALL) == 12 && std::string(reply) == "HTTP/1.1 408";
  }
  trickling = false;
  trickle.join();
  for (int fd : tricklers) close(fd);
  EXPECT_EQ(timedOut, 50);
}

// Password checks per address come from a small bucket, new names from another; a refused
// attempt is answered as the game reads a failure, and a password already checked still logs in.
TEST(ScoreServerHardeningTest, PasswordFloodsFromOneAddressAreRefused) {
  struct TAttempt {
    const char* name;
    const char* password;
    const char* status;
  };
  struct TCase {
    const char* what;
    int login_burst, registration_burst;
    std::vector<TAttempt> attempts;
  };
  const TCase cases[] = {
      {"wrong passwords", 3, 3,
       {{"Shepherd", "woolly", "200 OK"},
        {"Shepherd", "guess1", "403 Forbidden"},
        {"Shepherd", "guess2", "403 Forbidden"},
        {"Shepherd", "guess3", "429 Too Many Requests"},
        {"Shepherd", "woolly", "200 OK"}}},
      {"new names", 10, 2,
       {{"Ewe one", "woolly", "200 OK"},
        {"Ewe two", "woolly", "200 OK"},
        {"Ewe three", "woolly", "429 Too Many Requests"}}},
  };
  for (const TCase& c : cases) {
    TTempDir dir;
    TServerOptions options = LoopbackOptions(dir.Path() + "/scores.db");
    options.service.login_burst = c.login_burst;
    options.service.logins_per_minute = 0.01;
    options.service.registration_burst = c.registration_burst;
    options.service.registrations_per_hour = 0.01;
    TScoreServer server;
    ASSERT_TRUE(server.Start(options)) << server.Error();
    for (const TAttempt& a : c.attempts)
      EXPECT_EQ(GetStatus(server.Port(), LoginPath(a.name, a.password)), std::string("HTTP/1.1 ") + a.status)
          << c.what << ": " << a.name << " " << a.password;
  }
}

// Six registrations at once, with room for one slow hash: all are served, one hash at a time.
TEST(ScoreServerHardeningTest, SlowHashesRunNoMoreThanAllowedAtOnce) {
  TTempDir dir;
  TServerOptions options = LoopbackOptions(dir.Path() + "/scores.db");
  options.service.hash_concurrency = 1;
  options.service.registration_burst = 100;
  options.request_seconds = 60;  // the last in line waits for five hashes, however slow the machine
  TScoreServer server;
  ASSERT_TRUE(server.Start(options)) << server.Error();
  std::vector<std::string> statuses(6);
  std::vector<std::thread> clients;
  for (size_t i = 0; i < statuses.size(); ++i)
    clients.emplace_back(
        [&, i] { statuses[i] = GetStatus(server.Port(), LoginPath("Lamb " + std::to_string(i), "woolly")); });
  for (std::thread& t : clients) t.join();
  EXPECT_EQ(std::count(statuses.begin(), statuses.end(), "HTTP/1.1 200 OK"), 6);
  EXPECT_EQ(server.PeakHashes(), 1);
}

}  // namespace
