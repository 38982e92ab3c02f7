// The HTTP client against a loopback peer that records the request bytes and plays a reply.
#include "scores/http_client.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "support/loopback_server.h"

namespace {

std::string Local(const TLoopbackServer& server) { return "127.0.0.1:" + std::to_string(server.Port()); }

// Sends one request through Thttp to a peer that answers with reply once the request's final CR LF
// arrived; returns the client's result and keeps the bytes the peer received.
std::string Exchange(const std::string& reply, std::string& received,
                     const std::function<std::string(Thttp&)>& request) {
  TLoopbackServer server([&](int fd) {
    received = ReceiveUntil(fd, "\r\n");
    SendAll(fd, reply);
  });
  Thttp http;
  EXPECT_EQ(http.Open(Local(server), 0), 1);
  const std::string result = request(http);
  http.Close();
  return result;
}

TEST(HttpClientTest, RequestBytesOnTheWire) {
  struct Case {
    std::function<std::string(Thttp&)> request;
    std::string wire;
  };
  const std::string head = " HTTP/1.0\nHost: 127.0.0.1:";
  const Case cases[] = {
      {[](Thttp& h) { return h.Get("/a?b=1"); }, "GET //a?b=1" + head + "P\nUser-Agent: FennickThttp/1.0\n\n\r\n"},
      {[](Thttp& h) { return h.Post("p", {"n", "v"}, {"x y", "1"}); },
       "POST /p" + head + "P\nUser-Agent: FennickThttp/1.0\nContent-Length: 11\n"
       "Content-Type: application/x-www-form-urlencoded\n\nn=x%20y&v=1\r\n"},
      {[](Thttp& h) { return h.Post("p", {}, {}); },
       "POST /p" + head + "P\nUser-Agent: FennickThttp/1.0\nContent-Length: 0\n"
       "Content-Type: application/x-www-form-urlencoded\n\n\r\n"},
  };
  for (const Case& c : cases) {
    std::string received;
    // Post's body ends right before the CR LF, so the peer stops at the first CR LF it sees.
    TLoopbackServer server([&](int fd) { received = ReceiveUntil(fd, "\r\n"); });
    Thttp http;
    ASSERT_EQ(http.Open(Local(server), 0), 1);
    EXPECT_EQ(c.request(http), "");
    http.Close();
    server.Finish();
    std::string wire = c.wire;
    wire.replace(wire.find(":P"), 2, ":" + std::to_string(server.Port()));
    EXPECT_EQ(received, wire);
  }
}

TEST(HttpClientTest, ReplyReadToTheEndWithoutCarriageReturns) {
  const std::pair<std::string, std::string> cases[] = {
      {"HTTP/1.0 200 OK\r\nX: y\r\n\r\nhello\r\n", "HTTP/1.0 200 OK\nX: y\n\nhello"},
      {"", ""},
      {"no line end", "no line end"},
      {std::string("bin\0ary\xff\r\r\n", 11), std::string("bin\nary\xff", 8)},
  };
  for (const auto& [reply, expected] : cases) {
    std::string received;
    EXPECT_EQ(Exchange(reply, received, [](Thttp& h) { return h.Get("/x"); }), expected);
  }
  // autoClose closes the connection once the reply is read.
  TLoopbackServer server([](int fd) {
    ReceiveUntil(fd, "\r\n");
    SendAll(fd, "ok");
  });
  Thttp http;
  ASSERT_EQ(http.Open(Local(server), 1), 1);
  EXPECT_EQ(http.Get("/"), "ok");
  EXPECT_FALSE(http.sock->Connected());
}

TEST(HttpClientTest, RepliesOverTheLimitAreRefusedWhole) {
  std::string lines;
  for (int i = 0; i < 9900; ++i) lines += std::string(99, 'x') + "\r\n";  // just under 1 MiB
  const struct {
    int limit;
    std::string reply;
    size_t kept;
  } cases[] = {
      {1 << 20, lines, 9900 * 100 - 1},
      {5000, std::string(5000, 'x'), 5000},
      {5000, std::string(5001, 'x'), 0},
  };
  for (const auto& c : cases) {
    HttpReplyLimit = c.limit;
    // The client stops reading at the limit, so the peer's sends may fail: not checked.
    TLoopbackServer server([&](int fd) {
      ReceiveUntil(fd, "\r\n");
      send(fd, c.reply.data(), c.reply.size(), MSG_NOSIGNAL);
    });
    Thttp http;
    ASSERT_EQ(http.Open(Local(server), 0), 1);
    EXPECT_EQ(http.Get("/big").size(), c.kept) << c.reply.size();
    http.Close();
  }
  ResetHttpClient();
}

std::mutex lookup_gate_lock;
std::condition_variable lookup_gate;
bool lookup_gate_open = false;

// A resolver that hangs until the test lets it go.
uint32_t StuckLookup(const std::string&) {
  std::unique_lock<std::mutex> hold(lookup_gate_lock);
  lookup_gate.wait(hold, [] { return lookup_gate_open; });
  return kLoopback;
}

TEST(HttpClientTest, TricklingServerOrHangingLookupEndsAtTheDeadline) {
  HttpTotalMillis = 300;
  // A byte every 20 ms never lets the silence limit run out; only the request's deadline ends it.
  const std::string status = "HTTP/1.0 200 OK\r\n";
  const int trickle = 500;
  TLoopbackServer server([&](int fd) {
    ReceiveUntil(fd, "\r\n");
    SendAll(fd, status);
    for (int i = 0; i < trickle && send(fd, "x", 1, MSG_NOSIGNAL) == 1; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
  });
  Thttp http;
  ASSERT_EQ(http.Open(Local(server), 0), 1);
  // Cut at the deadline, what came is no reply: a table's first half would pass for a table.
  EXPECT_EQ(http.Get("/slow"), "");
  http.Close();

  // The lookup of a name is left behind when the resolver hangs; a few such are let run, then
  // names fail at once until they finish.
  SetHostLookupForTest(StuckLookup);
  Thttp stuck;
  EXPECT_EQ(stuck.Open("scores.example", 0), 0);
  EXPECT_EQ(PendingHostLookups(), 1);
  while (PendingHostLookups() < 4) EXPECT_EQ(HostIpWithin("scores.example", 1), 0u);
  EXPECT_EQ(HostIpWithin("scores.example", 200), 0u);
  EXPECT_EQ(PendingHostLookups(), 4);
  {
    std::lock_guard<std::mutex> hold(lookup_gate_lock);
    lookup_gate_open = true;
  }
  lookup_gate.notify_all();
  EXPECT_TRUE(WaitFor([] { return PendingHostLookups() == 0; }));
  EXPECT_EQ(HostIpWithin("scores.example", 60000), kLoopback);
  SetHostLookupForTest(nullptr);
  ResetHttpClient();
}

TEST(HttpClientTest, SilentOrUnreachableServerGivesUp) {
  HttpSilenceMillis = 200;
  HttpConnectMillis = 200;
  int release[2];
  ASSERT_EQ(pipe(release), 0);
  // The peer sends a status line and then waits, holding the connection open.
  TLoopbackServer server([&](int fd) {
    ReceiveUntil(fd, "\r\n");
    SendAll(fd, "HTTP/1.0 200 OK\r\nX");
    char c;
    EXPECT_EQ(read(release[0], &c, 1), 1);
  });
  Thttp http;
  ASSERT_EQ(http.Open(Local(server), 0), 1);
  EXPECT_EQ(http.Get("/"), "") << "a reply cut by the silence limit is no reply";
  EXPECT_EQ(write(release[1], "x", 1), 1);
  server.Finish();
  close(release[0]);
  close(release[1]);

  // A listener whose queue is full drops further connection attempts: Open gives up.
  int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_addr.s_addr = htonl(kLoopback);
  socklen_t len = sizeof at;
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
  ASSERT_EQ(listen(listener, 0), 0);
  ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&at), &len), 0);
  const std::string name = "127.0.0.1:" + std::to_string(ntohs(at.sin_port));
  std::vector<Thttp> queued(4);
  int failed = 0;
  for (Thttp& h : queued) failed += h.Open(name, 0) == 0;
  EXPECT_GE(failed, 1);
  close(listener);
  ResetHttpClient();

  Thttp refused;
  EXPECT_EQ(refused.Open("127.0.0.1:1", 0), 0);
  EXPECT_EQ(refused.Open("no host name!", 0), 0);
  EXPECT_EQ(refused.Close(), 0);
}

TEST(HttpClientTest, FormEncodingAndHostNames) {
  EXPECT_EQ(Thttp::UrlEncode("a b+c/"), "a%20b+c%2F");
  EXPECT_EQ(Thttp::UrlEncode("\xff-._~"), "%FF-._%7E");
  EXPECT_EQ(Thttp::UrlDecode("a%2Fb%41"), "a/bA");
  EXPECT_EQ(Thttp::UrlDecode("1+2%3d"), "1+2/");  // a lower-case digit counts 0: 4 * 16 + 0 - 17
  EXPECT_EQ(Thttp::UrlDecode(Thttp::UrlEncode("x y/\x01")), "x y/\x01");
  const std::tuple<std::string, std::string, int> hosts[] = {
      {"scores.example", "scores.example", 80}, {"localhost:8080", "localhost", 8080},
      {"h:99999", "h", 0}, {"h:1234567", "h", 0}, {"h:", "h:", 80}, {"h:8x", "h:8x", 80}};
  for (const auto& [name, host, port] : hosts) {
    EXPECT_EQ(HttpHostOnly(name), host) << name;
    EXPECT_EQ(HttpPort(name), port) << name;
  }
}

}  // namespace
