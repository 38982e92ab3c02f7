#include "support/loopback_server.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A listening socket on a free port of 127.0.0.1; -1 (and a test failure) when there is none.
int ListenOnLoopback(int backlog, int& port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_addr.s_addr = htonl(kLoopback);
  socklen_t len = sizeof at;
  if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 || listen(fd, backlog) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&at), &len) != 0) {
    ADD_FAILURE() << "cannot listen on 127.0.0.1";
    if (fd >= 0) close(fd);
    return -1;
  }
  port = ntohs(at.sin_port);
  return fd;
}

}  // namespace

TLoopbackServer::TLoopbackServer(std::function<void(int)> script) {
  listener_ = ListenOnLoopback(1, port_);
  if (listener_ < 0) return;
  thread_ = std::thread([this, script] {
    int fd = accept(listener_, nullptr, nullptr);
    if (fd < 0) return;
    script(fd);
    close(fd);
  });
}

TLoopbackServer::~TLoopbackServer() {
  Finish();
  if (listener_ >= 0) close(listener_);
}

void TLoopbackServer::Finish() {
  if (thread_.joinable()) thread_.join();
}

void SendAll(int fd, const std::string& bytes) {
  ASSERT_EQ(send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL), ssize_t(bytes.size()));
}

std::string ReceiveUntil(int fd, const std::string& marker) {
  std::string got;
  char c;
  while (got.size() < marker.size() || got.compare(got.size() - marker.size(), marker.size(), marker) != 0) {
    if (recv(fd, &c, 1, 0) != 1) break;
    got.push_back(c);
  }
  return got;
}

bool WaitFor(const std::function<bool()>& done) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

TScriptedHttpServer::TScriptedHttpServer(std::function<std::string(const std::string&)> reply)
    : reply_(std::move(reply)) {
  listener_ = ListenOnLoopback(16, port_);
  if (listener_ < 0) return;
  thread_ = std::thread([this] {
    for (;;) {
      int fd = accept(listener_, nullptr, nullptr);
      if (fd < 0) return;  // the listener was shut down
      const std::string request = ReceiveUntil(fd, "\r\n");
      const std::string line = request.substr(0, request.find('\n'));
      {
        std::lock_guard<std::mutex> hold(mutex_);
        requests_.push_back(line);
      }
      const std::string reply = reply_(line);
      send(fd, reply.data(), reply.size(), MSG_NOSIGNAL);
      close(fd);
    }
  });
}

TScriptedHttpServer::~TScriptedHttpServer() {
  if (listener_ >= 0) shutdown(listener_, SHUT_RDWR);
  if (thread_.joinable()) thread_.join();
  if (listener_ >= 0) close(listener_);
}

std::string TScriptedHttpServer::Name() const { return "127.0.0.1:" + std::to_string(port_); }

std::vector<std::string> TScriptedHttpServer::Requests() {
  std::lock_guard<std::mutex> hold(mutex_);
  return requests_;
}
