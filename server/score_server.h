// The score server: the score service over HTTP on its own threads. One thread accepts
// connections and reads every request head (and a replay submission's body) into a buffer
// without blocking, so a client that trickles its bytes costs only a buffer, never a worker; a
// connection that has not sent its whole request by its deadline is answered 408 and closed. At the connection limit an answered connection
// still lingering makes room first, then the one that has waited longest for its head. Complete
// requests go to a pool of workers, which answer, log and hand the connection back to be closed
// gracefully; a request that needs a slow password hash moves on to workers of its own. The
// server's main program and the tests use it.
#pragma once
#include <memory>
#include <string>
#include <thread>

#include "score_config.h"

class TScoreServer {
 public:
  TScoreServer();
  ~TScoreServer();
  TScoreServer(const TScoreServer&) = delete;
  TScoreServer& operator=(const TScoreServer&) = delete;

  // Reads the levels replays are proven on, opens the database and starts listening; false with
  // a reason in Error(). Port() is then the port in use, LevelsFile() the levels read.
  bool Start(const TServerOptions& options);
  int Port() const { return port_; }
  const std::string& LevelsFile() const { return levels_file_; }
  const std::string& Error() const { return error_; }
  // Takes new settings while running (the message of the day, the log level, the limits and
  // deadlines, replays required or not); the listening address, database, levels and threads keep
  // their values until a restart,
  // which the log says when they changed.
  void Reconfigure(const TServerOptions& options);
  // A line in the server's log: "info" or "error".
  void Log(const char* kind, const std::string& text);
  // The most slow password hashes that ran at once.
  int PeakHashes();
  // Whether the connection loop has turned within the last milliseconds (the watchdog's check).
  bool Alive(int withinMillis);
  // Stops listening, answers the requests already read, and waits for them.
  void Stop();

 private:
  struct TParts;
  std::unique_ptr<TParts> parts_;
  TServerOptions options_;
  int port_ = 0;
  std::string levels_file_;
  std::string error_;
};
