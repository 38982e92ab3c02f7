// score_flood: how the score server's health check fares while a password flood comes in. It
// starts the real server binary on a fresh SQLite file with its default limits, registers one
// player, then keeps CONNECTIONS clients from 200 loopback addresses sending wrong passwords for
// that player through a percent-escaped login path ("login%2ephp"), and meanwhile asks /healthz
// every 50 ms. Prints the health check's latency without and with the flood, and how the flood
// was answered; asserts nothing.
//   score_flood [SECONDS=10] [CONNECTIONS=32]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

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
#include "server_process.h"

namespace {

using TClock = std::chrono::steady_clock;

// One GET from the source address from (host byte order); the reply's status, 0 when none came.
int Get(uint32_t from, int port, const std::string& path) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return 0;
  timeval wait{30, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_addr.s_addr = htonl(from);
  bind(fd, reinterpret_cast<sockaddr*>(&at), sizeof at);
  at.sin_port = htons(uint16_t(port));
  at.sin_addr.s_addr = htonl(0x7F000001);
  int status = 0;
  const std::string request = "GET /" + path + " HTTP/1.0\nHost: flood\n\n\r\n";
  if (connect(fd, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0 &&
      send(fd, request.data(), request.size(), MSG_NOSIGNAL) == ssize_t(request.size())) {
    std::string reply;
    char buf[1024];
    for (ssize_t n; (n = recv(fd, buf, sizeof buf, 0)) > 0;) reply.append(buf, size_t(n));
    if (reply.size() > 12) status = std::atoi(reply.c_str() + 9);
  }
  close(fd);
  return status;
}

void Print(const char* what, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  if (ms.empty()) return;
  std::printf("/healthz %s: %zu probes, median %.2f ms, p99 %.2f ms, max %.2f ms\n", what, ms.size(), ms[ms.size() / 2],
              ms[std::min(ms.size() - 1, size_t(0.99 * double(ms.size())))], ms.back());
}

// Probes /healthz every 50 ms until the time is up.
std::vector<double> Probe(int port, TClock::time_point until) {
  std::vector<double> ms;
  while (TClock::now() < until) {
    const auto start = TClock::now();
    Get(0x7F000001, port, "/healthz");
    ms.push_back(std::chrono::duration<double, std::milli>(TClock::now() - start).count());
    std::this_thread::sleep_until(start + std::chrono::milliseconds(50));
  }
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::max(2, std::atoi(argv[1])) : 10;
  const int connections = argc > 2 ? std::max(1, std::atoi(argv[2])) : 32;
  char dirTemplate[] = "/tmp/score_flood_XXXXXX";
  if (!mkdtemp(dirTemplate)) return 1;
  const std::string dir = dirTemplate;
  TServerProcess server;
  if (!server.Start(SCORE_SERVER_BINARY, {"--bind", "127.0.0.1", "--port", "0", "--db", dir + "/scores.db"},
                    dir + "/server.log")) {
    std::fprintf(stderr, "score_flood: the server did not start (log in %s)\n", dir.c_str());
    return 1;
  }
  const std::string key = GameScrambleKey();
  if (Get(0x7F000001, server.port, LoginRequest(WeekNumber, LoginInput("Shepherd", "woolly jumper", key))) != 200) {
    std::fprintf(stderr, "score_flood: the player did not register\n");
    server.Stop(SIGKILL);
    return 1;
  }
  Print("without a flood", Probe(server.port, TClock::now() + std::chrono::seconds(2)));

  std::atomic<bool> flooding{true};
  std::mutex mutex;
  std::map<int, int> statuses;
  std::vector<std::thread> flood;
  for (int c = 0; c < connections; ++c) {
    flood.emplace_back([&, c] {
      std::map<int, int> mine;
      for (int n = 0; flooding; ++n) {
        std::string path = LoginRequest(WeekNumber, LoginInput("Shepherd", "guess" + std::to_string(n), key));
        path.replace(path.find("login.php"), 9, "login%2ephp");
        const uint32_t from = 0x7F010001 + uint32_t((c + n * connections) % 200);  // 127.1.0.1 to 127.1.0.200
        ++mine[Get(from, server.port, path)];
      }
      std::lock_guard<std::mutex> hold(mutex);
      for (auto [status, count] : mine) statuses[status] += count;
    });
  }
  Print("during the flood", Probe(server.port, TClock::now() + std::chrono::seconds(seconds)));
  flooding = false;
  for (std::thread& t : flood) t.join();
  server.Stop(SIGTERM);
  std::printf("the flood (%d connections from 200 addresses, \"login%%2ephp\"):", connections);
  for (auto [status, count] : statuses) std::printf(" %d x %d", count, status);
  std::printf(" (0: no answer)\n");
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
  return 0;
}
