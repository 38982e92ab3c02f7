#include "score_client.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "protocol/online_requests.h"

namespace {

using TClock = std::chrono::steady_clock;

int MillisLeft(TClock::time_point until) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - TClock::now()).count();
  return left > 0 ? int(left) : 0;
}

// A connected socket to host:port, -1 when none could be made by until.
int Connect(const std::string& host, const std::string& port, TClock::time_point until) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0) return -1;
  int fd = -1;
  for (addrinfo* a = found; a && fd < 0; a = a->ai_next) {
    fd = socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0) continue;
    if (connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
      pollfd p{fd, POLLOUT, 0};
      int error = errno == EINPROGRESS ? 0 : errno;
      socklen_t length = sizeof error;
      if (error == 0 && (poll(&p, 1, MillisLeft(until)) != 1 ||
                         getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0))
        error = ETIMEDOUT;
      if (error != 0) {
        close(fd);
        fd = -1;
      }
    }
  }
  freeaddrinfo(found);
  return fd;
}

bool SendAll(int fd, const std::string& bytes, TClock::time_point until) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    pollfd p{fd, POLLOUT, 0};
    if (poll(&p, 1, MillisLeft(until)) != 1) return false;
    const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
    if (n > 0) sent += size_t(n);
  }
  return true;
}

// The form encoding of the game's client: letters, digits and "+-._" as they are, every other
// byte "%" and two upper-case hex digits.
std::string FormEncoded(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '+' || c == '-' ||
        c == '.' || c == '_') {
      out += char(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

// Sends the request's bytes and returns the reply's body as the game's client reads it.
std::string Exchange(const std::string& server, const std::string& request, int timeoutMillis) {
  const auto until = TClock::now() + std::chrono::milliseconds(timeoutMillis);
  const size_t colon = server.rfind(':');
  const std::string host = colon == std::string::npos ? server : server.substr(0, colon);
  const std::string port = colon == std::string::npos ? "80" : server.substr(colon + 1);
  const int fd = Connect(host, port, until);
  if (fd < 0) return "";
  std::string reply;
  if (SendAll(fd, request, until)) {
    char buffer[4096];
    for (;;) {
      pollfd p{fd, POLLIN, 0};
      if (poll(&p, 1, MillisLeft(until)) != 1) break;
      const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
      if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
      if (n <= 0) break;
      reply.append(buffer, size_t(n));
    }
  }
  close(fd);
  // As the game's client reads it: lines without their CRs (a zero byte ends one too), joined by
  // LF, without a last LF.
  std::string text;
  for (char c : reply)
    if (c != '\r') text += c == '\0' ? '\n' : c;
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return ReplyBody(text);
}

}  // namespace

std::string ScoreRequest(const std::string& server, const std::string& path, int timeoutMillis) {
  return Exchange(server, "GET /" + path + " HTTP/1.0\nHost: " + server + "\nUser-Agent: FennickThttp/1.0\n\n\r\n",
                  timeoutMillis);
}

std::string ScoreReplayRequest(const std::string& server, const std::string& path, const std::string& replay,
                               int timeoutMillis) {
  const std::string body = ReplayField + "=" + FormEncoded(replay);
  return Exchange(server,
                  "POST /" + path + " HTTP/1.0\nHost: " + server + "\nUser-Agent: FennickThttp/1.0\nContent-Length: " +
                      std::to_string(body.size()) + "\nContent-Type: application/x-www-form-urlencoded\n\n" + body +
                      "\r\n",
                  timeoutMillis);
}
