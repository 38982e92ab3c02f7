// The guardian of a switched screen mode: a child process that puts the desktop's mode back when
// this process dies without doing so itself (a crash, SIGKILL, an abort in a library).
#pragma once
#include <sys/types.h>

#include <functional>

// Best effort. The child is forked when the mode is switched and blocks reading a socket whose
// other end only this process holds. An orderly restore writes a byte and the child leaves; any
// death closes that end, the read sees end of file, and the child runs the restore (on its own X
// connection) and exits. Nothing runs in a signal handler, so nothing there can deadlock; but the
// child is a fork of a threaded process, so its restore relies on the C library's fork handling
// for its allocations, and a server that is itself gone can't be restored.
class TModeGuardian {
 public:
  TModeGuardian() = default;
  TModeGuardian(const TModeGuardian&) = delete;
  TModeGuardian& operator=(const TModeGuardian&) = delete;

  // Forks the child that will run restore if this process dies; a running one is dismissed
  // first. False (and no child) when the socket or the fork fails.
  bool Start(std::function<void()> restore);
  // The orderly end: the child exits without restoring; waits for it.
  void Dismiss();
  bool Running() const { return pid_ > 0; }

 private:
  pid_t pid_ = -1;
  int link_ = -1;  // this side of the socket pair
};
