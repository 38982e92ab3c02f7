// Starting and stopping a private Xvfb. Readiness is the server's socket accepting a connection,
// so a slow machine only makes the wait longer.
#include "support/xvfb_server.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool Exists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

bool Connects(int number) {
  const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
  int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0) return false;
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
  const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  close(fd);
  return ok;
}

// The one server of this test process. The display layer keeps a connection open for the whole
// process (to list modes and keep the renderer loaded), so a second server would leave it talking
// to a dead one: every test of a process shares the first server it starts.
pid_t shared_pid = -1;
std::string shared_name;

double Now() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

}  // namespace

bool TXvfbServer::Available() {
  for (const char* dir : {"/usr/bin/", "/usr/local/bin/", "/bin/"})
    if (access((std::string(dir) + "Xvfb").c_str(), X_OK) == 0) return true;
  return false;
}

bool TXvfbServer::Start() {
  Stop();
  if (shared_pid > 0 && kill(shared_pid, 0) == 0) {
    Point(shared_name);
    return true;
  }
  // A number no other server holds; when two tests race for one, the loser's server exits at
  // once and the next number is tried.
  int number = 100 + int(getpid() % 400);
  for (int attempt = 0; attempt < 8; ++attempt) {
    for (int tries = 0; tries < 400; ++tries, number = 100 + (number - 99) % 400) {
      if (!Exists("/tmp/.X" + std::to_string(number) + "-lock") &&
          !Exists("/tmp/.X11-unix/X" + std::to_string(number)))
        break;
    }
    if (Launch(number)) return true;
    number = 100 + (number - 99) % 400;
  }
  return false;
}

bool TXvfbServer::Launch(int number) {
  const std::string name = ":" + std::to_string(number);
  pid_ = fork();
  if (pid_ < 0) return false;
  if (pid_ == 0) {
    // The server lives as long as its test process: it goes when that goes, even one killed by
    // its time limit.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
      dup2(null, 1);
      dup2(null, 2);
    }
    execlp("Xvfb", "Xvfb", name.c_str(), "-screen", "0", "1600x1200x24", "-nolisten", "tcp",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  const double deadline = Now() + 60.0;
  while (Now() < deadline) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return false;
    }
    if (Connects(number)) {
      shared_pid = pid_;
      shared_name = name;
      Point(name);
      return true;
    }
    usleep(20000);
  }
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
  return false;
}

void TXvfbServer::Point(const std::string& name) {
  const char* old = std::getenv("DISPLAY");
  had_display_ = old != nullptr;
  old_display_ = old ? old : "";
  display_ = name;
  setenv("DISPLAY", name.c_str(), 1);
}

void TXvfbServer::Stop() {
  if (!display_.empty()) {
    if (had_display_) setenv("DISPLAY", old_display_.c_str(), 1);
    else unsetenv("DISPLAY");
  }
  display_.clear();
}
