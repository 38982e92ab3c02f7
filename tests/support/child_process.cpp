#include "support/child_process.h"

#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

int RunInChild(const std::function<void()>& body, unsigned seconds) {
  const pid_t pid = fork();
  if (pid == 0) {
    alarm(seconds);
    setenv("ALSOFT_DRIVERS", "null", 1);  // no sound card in a test run
    body();
    _exit(99);
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
