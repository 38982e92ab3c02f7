// Another program run beside the game without holding up its frames: started with its standard
// output on a pipe that the game reads a little every frame, never waiting for it.
#pragma once
#include <string>
#include <sys/types.h>
#include <vector>

class TSubprocess {
 public:
  TSubprocess() = default;
  ~TSubprocess();  // a program still running is killed and reaped
  TSubprocess(const TSubprocess&) = delete;
  TSubprocess& operator=(const TSubprocess&) = delete;

  // Starts argv[0] with the other arguments; its standard input and error are /dev/null. A
  // program still running after timeoutMs of real time is killed. False when it cannot be started
  // (a missing program included).
  bool Start(const std::vector<std::string>& argv, int timeoutMs);
  // Takes in what the program has written so far, without waiting. True once it has ended: its
  // output is then whole and ExitCode tells how it ended.
  bool Poll();
  // The program was killed for running past its time.
  bool TimedOut() const { return timed_out_; }
  // Everything read from its standard output so far.
  const std::string& Output() const { return output_; }
  // The exit code of an ended program; -1 when a signal ended it.
  int ExitCode() const { return exit_code_; }
  bool Running() const { return pid_ > 0; }
  // Ends a running program at once.
  void Kill();

 private:
  pid_t pid_ = -1;
  int pipe_ = -1;
  std::string output_;
  int exit_code_ = -1;
  long long deadline_ms_ = 0;  // on the monotonic clock
  bool timed_out_ = false;
};

// The folder holding the running program's executable, without a trailing "/"; "." when unknown.
std::string ProgramFolder();
