// A private X server for tests that need a real display: starts Xvfb on a free display number,
// waits until it accepts connections and points DISPLAY at it. One server serves every test of
// a process and goes with it.
#pragma once
#include <string>

#include <sys/types.h>

class TXvfbServer {
 public:
  TXvfbServer() = default;
  TXvfbServer(const TXvfbServer&) = delete;
  TXvfbServer& operator=(const TXvfbServer&) = delete;
  ~TXvfbServer() { Stop(); }

  // True when the Xvfb program is installed (tests skip without it).
  static bool Available();
  // Starts the server (1600 x 1200 x 24) and sets DISPLAY; false when it didn't come up in time.
  bool Start();
  // Restores the previous DISPLAY (the server stays for the process's next tests).
  void Stop();
  const std::string& Display() const { return display_; }

 private:
  bool Launch(int number);
  void Point(const std::string& name);
  pid_t pid_ = -1;
  std::string display_;
  std::string old_display_;
  bool had_display_ = false;
};
