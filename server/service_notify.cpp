// The notification datagrams.
#include "service_notify.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

bool NotifyService(const std::string& state) {
  const char* path = std::getenv("NOTIFY_SOCKET");
  if (!path || (path[0] != '/' && path[0] != '@') || std::strlen(path) >= sizeof(sockaddr_un::sun_path)) return false;
  sockaddr_un to{};
  to.sun_family = AF_UNIX;
  const size_t length = std::strlen(path);
  std::memcpy(to.sun_path, path, length);
  if (path[0] == '@') to.sun_path[0] = 0;  // an abstract socket
  const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool sent = sendto(fd, state.data(), state.size(), MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&to),
                           socklen_t(offsetof(sockaddr_un, sun_path) + length)) == ssize_t(state.size());
  close(fd);
  return sent;
}

uint64_t WatchdogMicros() {
  const char* micros = std::getenv("WATCHDOG_USEC");
  const char* pid = std::getenv("WATCHDOG_PID");
  if (!micros || (pid && std::strtoll(pid, nullptr, 10) != getpid())) return 0;
  return std::strtoull(micros, nullptr, 10);
}
