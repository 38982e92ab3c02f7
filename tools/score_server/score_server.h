// The score server: cpp-httplib serving the score service over a database file. Start runs it on
// its own threads; the server's main program and the loopback tests both use it.
#pragma once
#include <memory>
#include <string>
#include <thread>

struct TServerOptions {
  std::string bind = "0.0.0.0";
  int port = 80;  // 0: any free port (tests)
  std::string database = "scores.db";
  std::string motd = "Welcome to the Lambrisk score server.";
  int threads = 8;
};

class TScoreServer {
 public:
  TScoreServer();
  ~TScoreServer();
  // Opens the database and starts listening; false with a reason in Error(). Port() is then the
  // port in use.
  bool Start(const TServerOptions& options);
  int Port() const { return port_; }
  const std::string& Error() const { return error_; }
  // Stops listening and waits for the requests in progress.
  void Stop();

 private:
  struct TParts;
  std::unique_ptr<TParts> parts_;
  std::thread thread_;
  int port_ = 0;
  std::string error_;
};
