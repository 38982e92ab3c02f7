// The guardian child of a switched screen mode.
#include "platform/x11/mode_guardian.h"

#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace {

// The child must outlive its parent's death, whatever brought it: a terminal's Ctrl+C or a
// hang-up reaches the whole process group, so those are ignored here.
void GuardianMain(int read_end, const std::function<void()>& restore) {
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) std::signal(sig, SIG_IGN);
  for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) std::signal(sig, SIG_DFL);
  // Every other inherited descriptor is closed: the parent's X socket kept open here would keep
  // its window alive after it died, and its sound device busy.
  if (read_end > 3) close_range(3, unsigned(read_end) - 1, 0);
  close_range(unsigned(read_end) + 1, ~0u, 0);
  char byte = 0;
  ssize_t n;
  do {
    n = read(read_end, &byte, 1);
  } while (n < 0 && errno == EINTR);
  if (n <= 0 && restore) restore();  // end of file (or an error): the parent is gone
  _exit(0);  // no exit hooks: they belong to the parent
}

}  // namespace

bool TModeGuardian::Start(std::function<void()> restore) {
  Dismiss();
  // A socket pair rather than a pipe: a write to a child that is already gone then fails with
  // EPIPE (MSG_NOSIGNAL) instead of killing this process with SIGPIPE.
  int fds[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) return false;
  const pid_t pid = fork();
  if (pid < 0) {
    close(fds[0]);
    close(fds[1]);
    return false;
  }
  if (pid == 0) {
    close(fds[1]);
    GuardianMain(fds[0], restore);
  }
  close(fds[0]);
  pid_ = pid;
  link_ = fds[1];
  return true;
}

void TModeGuardian::Dismiss() {
  if (pid_ <= 0) return;
  const char stand_down = 1;
  ssize_t n;
  do {
    n = send(link_, &stand_down, 1, MSG_NOSIGNAL);
  } while (n < 0 && errno == EINTR);
  close(link_);
  while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
  link_ = -1;
}
