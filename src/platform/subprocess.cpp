// Programs run beside the game through posix_spawn: no fork of a process that holds an X
// connection and GL state, and a program that cannot be executed is reported at once.
#include "platform/subprocess.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <ctime>
#include <unistd.h>

extern char** environ;

namespace {

// More than any answer we expect; a program that writes without end is not read further.
constexpr size_t kMaxOutput = 1 << 20;

// Real time, whatever clock the game's frames run on: the program runs in real time.
long long MonotonicMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return (long long)now.tv_sec * 1000 + now.tv_nsec / 1000000;
}

}  // namespace

TSubprocess::~TSubprocess() { Kill(); }

bool TSubprocess::Start(const std::vector<std::string>& argv, int timeoutMs) {
  Kill();
  output_.clear();
  exit_code_ = -1;
  timed_out_ = false;
  deadline_ms_ = MonotonicMs() + timeoutMs;
  if (argv.empty()) return false;
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = -1;
  const int failed = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (failed != 0) {
    close(fds[0]);
    return false;
  }
  fcntl(fds[0], F_SETFL, fcntl(fds[0], F_GETFL) | O_NONBLOCK);
  pid_ = pid;
  pipe_ = fds[0];
  return true;
}

bool TSubprocess::Poll() {
  if (pipe_ < 0) return pid_ <= 0;
  // Whether it has ended is asked first: what it wrote before that is all in the pipe then.
  int status = 0;
  if (pid_ > 0 && waitpid(pid_, &status, WNOHANG) == pid_) {
    exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    pid_ = -1;
  }
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(pipe_, buffer, sizeof buffer);
    if (n > 0) {
      if (output_.size() < kMaxOutput) output_.append(buffer, size_t(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    break;
  }
  if (pid_ > 0 && MonotonicMs() > deadline_ms_) {
    timed_out_ = true;
    Kill();
    return true;
  }
  if (pid_ > 0) return false;
  // Ended: a grandchild may still hold the pipe open, but the answer is the program's own.
  close(pipe_);
  pipe_ = -1;
  return true;
}

void TSubprocess::Kill() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
  }
  if (pipe_ >= 0) close(pipe_);
  pipe_ = -1;
}

std::string ProgramFolder() {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return ".";
  const std::string exe(path, size_t(n));
  const size_t slash = exe.rfind('/');
  return slash == std::string::npos || slash == 0 ? "." : exe.substr(0, slash);
}
