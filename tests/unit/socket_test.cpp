// TCP sockets and the socket stream against a loopback server on 127.0.0.1 run by the test.
#include "platform/socket.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <functional>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "support/loopback_server.h"

namespace {

TSocketPtr ConnectedTo(const TLoopbackServer& server) {
  TSocketPtr sock = TSocket::CreateTCP();
  EXPECT_TRUE(sock);
  if (sock) {
    EXPECT_TRUE(sock->Connect(HostIp("127.0.0.1"), server.Port()));
  }
  return sock;
}

TEST(HostIpTest, DottedAddressAndNamesThatCannotResolve) {
  EXPECT_EQ(HostIp("127.0.0.1"), kLoopback);
  EXPECT_EQ(HostIp(""), 0u);
  EXPECT_EQ(HostIp("no such host"), 0u);
  EXPECT_EQ(HostIp("bad/name"), 0u);
  EXPECT_EQ(HostIp(std::string(300, 'a')), 0u);
  // The time-limited lookup: dotted addresses at once, names on the lookup's own thread.
  EXPECT_EQ(HostIpWithin("127.0.0.1", 0), kLoopback);
  EXPECT_EQ(HostIpWithin("localhost", 30000), kLoopback);
  EXPECT_EQ(HostIpWithin("bad/name", 30000), 0u);
}

TEST(SocketTest, RequestAndReplyLinesUntilThePeerCloses) {
  std::string request;
  TLoopbackServer server([&request](int fd) {
    request = ReceiveUntil(fd, "\r\n");
    SendAll(fd, "HTTP/1.0 200 OK\r\nX: y\r\n\r\nhel");
    // A pause mid-reply, then the rest and a close: the reader must not invent an empty line.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    SendAll(fd, "lo\r\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  });
  TSocketPtr sock = ConnectedTo(server);
  ASSERT_TRUE(sock);
  EXPECT_TRUE(sock->Connected());
  TStreamPtr stream = CreateSocketStream(sock, true);
  ASSERT_TRUE(stream->WriteLine("GET //a?b=1 HTTP/1.0\nHost: h\n"));

  std::vector<std::string> lines;
  while (!stream->Eof()) lines.push_back(stream->ReadLine());
  EXPECT_EQ(lines, (std::vector<std::string>{"HTTP/1.0 200 OK", "X: y", "", "hello"}));
  EXPECT_EQ(request, "GET //a?b=1 HTTP/1.0\nHost: h\n\r\n");
  EXPECT_FALSE(sock->Connected());  // reaching the end closed it
  EXPECT_TRUE(stream->Eof());
  EXPECT_EQ(stream->ReadLine(), "");
  EXPECT_FALSE(stream->WriteLine("late"));
}

TEST(SocketTest, LastLineWithoutLineFeedAndTypedReads) {
  TLoopbackServer server([](int fd) {
    SendAll(fd, std::string("\x01\x02", 2));
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    SendAll(fd, std::string("\x00\x00tail", 6));
  });
  TSocketPtr sock = ConnectedTo(server);
  ASSERT_TRUE(sock);
  TStreamPtr stream = CreateSocketStream(sock, false);
  EXPECT_EQ(stream->ReadInt(), 0x0201);  // whole even when it arrives in pieces
  EXPECT_FALSE(stream->Eof());
  EXPECT_EQ(stream->ReadLine(), "tail");
  EXPECT_TRUE(stream->Eof());
  EXPECT_EQ(stream->ReadInt(), 0);
}

TEST(SocketTest, ConnectedUntilThePeersLastByteIsRead) {
  TLoopbackServer server([](int fd) { SendAll(fd, "abc"); });
  TSocketPtr sock = ConnectedTo(server);
  ASSERT_TRUE(sock);
  server.Finish();  // the peer has sent and closed
  ASSERT_TRUE(WaitFor([&] { return sock->ReadAvail() == 3; }));
  EXPECT_TRUE(sock->Connected());  // bytes still wait
  char buf[8] = {};
  EXPECT_EQ(sock->Recv(buf, 8), 3);
  EXPECT_EQ(std::string(buf, 3), "abc");
  EXPECT_FALSE(sock->Connected());
  EXPECT_EQ(sock->ReadAvail(), 0);
  EXPECT_EQ(sock->Recv(buf, 8), 0);
}

TEST(SocketTest, WritingToAClosedPeerFailsWithoutASignal) {
  TLoopbackServer server([](int) {});
  TSocketPtr sock = ConnectedTo(server);
  ASSERT_TRUE(sock);
  server.Finish();
  ASSERT_TRUE(WaitFor([&] { return !sock->Connected(); }));
  // The first sends may still be accepted by the system; sending on must fail, not kill us.
  const std::string block(4096, 'x');
  bool failed = WaitFor([&] { return sock->Send(block.data(), int(block.size())) < int(block.size()); });
  EXPECT_TRUE(failed);
  EXPECT_EQ(sock->Send(block.data(), int(block.size())), 0);  // the broken-pipe case
  EXPECT_FALSE(sock->Connected());
}

TEST(SocketTest, FailedConnectLeavesTheSocketUnconnected) {
  // A port that was free a moment ago and has nothing listening on it.
  int port = 0;
  {
    TLoopbackServer probe([](int) {});
    port = probe.Port();
    TSocketPtr unblock = ConnectedTo(probe);  // lets the probe's thread finish
  }
  TSocketPtr sock = TSocket::CreateTCP();
  ASSERT_TRUE(sock);
  EXPECT_FALSE(sock->Connect(kLoopback, port));
  EXPECT_FALSE(sock->Connected());
  EXPECT_FALSE(sock->Connect(HostIp("no such host"), port));
  EXPECT_FALSE(sock->Connect(kLoopback, 0));
  EXPECT_FALSE(sock->Connect(kLoopback, 70000));
  char c = 'x';
  EXPECT_EQ(sock->Send(&c, 1), 0);
  EXPECT_EQ(sock->Recv(&c, 1), 0);
  TStreamPtr stream = CreateSocketStream(sock, false);
  EXPECT_TRUE(stream->Eof());
  EXPECT_EQ(stream->ReadLine(), "");
}

TEST(SocketTest, AutoCloseDecidesWhetherClosingTheStreamClosesTheSocket) {
  TLoopbackServer server([](int fd) { ReceiveUntil(fd, "bye\r\n"); });
  TSocketPtr sock = ConnectedTo(server);
  ASSERT_TRUE(sock);
  TStreamPtr keep = CreateSocketStream(sock, false);
  keep->Close();
  EXPECT_TRUE(sock->Connected());
  EXPECT_TRUE(keep->Eof());  // a closed stream has no socket
  EXPECT_EQ(keep->Write("x", 1), 0);

  TStreamPtr owner = CreateSocketStream(sock, true);
  EXPECT_TRUE(owner->WriteLine("bye"));
  owner->Close();
  EXPECT_FALSE(sock->Connected());
  EXPECT_EQ(sock->ReadAvail(), 0);
}

TEST(SocketTest, StreamWithoutASocketIsAtItsEnd) {
  TStreamPtr stream = CreateSocketStream(nullptr, true);
  ASSERT_TRUE(stream);
  EXPECT_TRUE(stream->Eof());
  char c;
  EXPECT_EQ(stream->Read(&c, 1), 0);
  EXPECT_FALSE(stream->WriteLine("x"));
  EXPECT_EQ(stream->Pos(), -1);
  EXPECT_EQ(stream->Seek(0), -1);
  stream->Close();
}

}  // namespace
