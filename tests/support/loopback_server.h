// A one-connection TCP server on a free loopback port whose script runs in a thread: the peer
// of the socket and HTTP client tests, which decide byte by byte what the server sends.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <mutex>
#include <thread>
#include <vector>

constexpr uint32_t kLoopback = 0x7F000001;  // 127.0.0.1

class TLoopbackServer {
 public:
  // Listens at once; the script gets the accepted connection, which is closed after it.
  explicit TLoopbackServer(std::function<void(int)> script);
  ~TLoopbackServer();
  // Waits until the script has run and the connection is closed.
  void Finish();
  int Port() const { return port_; }

 private:
  int listener_ = -1;
  int port_ = 0;
  std::thread thread_;
};

void SendAll(int fd, const std::string& bytes);
// Reads until the text ends with the marker or the client closes.
std::string ReceiveUntil(int fd, const std::string& marker);
// Polls until done() holds, for at most 30 s; false when it never did.
bool WaitFor(const std::function<bool()>& done);

// A loopback HTTP peer for many requests, one connection each: it keeps every request's bytes up
// to the first CR LF and answers with reply(request line), then closes.
class TScriptedHttpServer {
 public:
  explicit TScriptedHttpServer(std::function<std::string(const std::string&)> reply);
  ~TScriptedHttpServer();
  // "127.0.0.1:port", the name the client opens.
  std::string Name() const;
  // Request lines so far ("GET //enscore/... HTTP/1.0").
  std::vector<std::string> Requests();

 private:
  int listener_ = -1;
  int port_ = 0;
  std::function<std::string(const std::string&)> reply_;
  std::mutex mutex_;
  std::vector<std::string> requests_;
  std::thread thread_;
};
