// TCP sockets over the BSD socket calls, the host-name lookup, and the socket stream.
#include "platform/socket.h"

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

bool LooksLikeHostName(const std::string& name) {
  if (name.empty() || name.size() > 253) return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == '.' || c == '-';
  });
}

bool WouldBlock(int err) { return err == EAGAIN || err == EWOULDBLOCK || err == EINTR; }

int64_t NowMillis() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// One lookup shared by the caller and its thread; whichever lets go last frees it.
struct THostLookup {
  std::string name;
  uint32_t (*resolve)(const std::string&) = nullptr;
  std::mutex lock;
  std::condition_variable finished;
  bool done = false;
  uint32_t address = 0;
};

const int kMostPendingLookups = 4;
std::atomic<int> pending_lookups{0};
std::atomic<uint32_t (*)(const std::string&)> lookup_hook{nullptr};

// Waits until fd is ready for events or millis have passed (negative: no limit). Interrupted
// waits go on with the time that is left. True when ready.
bool WaitReady(int fd, short events, int millis) {
  pollfd p{fd, events, 0};
  int left = millis;
  for (;;) {
    timespec before{};
    clock_gettime(CLOCK_MONOTONIC, &before);
    const int ready = poll(&p, 1, left);
    if (ready > 0) return true;
    if (ready == 0 || errno != EINTR) return false;
    if (left < 0) continue;
    timespec after{};
    clock_gettime(CLOCK_MONOTONIC, &after);
    left -= int((after.tv_sec - before.tv_sec) * 1000 + (after.tv_nsec - before.tv_nsec) / 1000000);
    if (left <= 0) return false;
  }
}

}  // namespace

uint32_t HostIp(const std::string& name) {
  if (!LooksLikeHostName(name)) return 0;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || !found) return 0;
  uint32_t address = 0;
  for (addrinfo* a = found; a; a = a->ai_next) {
    if (a->ai_family == AF_INET && a->ai_addr && a->ai_addrlen >= sizeof(sockaddr_in)) {
      sockaddr_in in{};
      std::memcpy(&in, a->ai_addr, sizeof in);
      address = ntohl(in.sin_addr.s_addr);
      break;
    }
  }
  freeaddrinfo(found);
  return address;
}

uint32_t HostIpWithin(const std::string& name, int millis) {
  if (!LooksLikeHostName(name)) return 0;
  in_addr dotted{};
  if (inet_pton(AF_INET, name.c_str(), &dotted) == 1) return ntohl(dotted.s_addr);
  if (millis <= 0 || pending_lookups.load() >= kMostPendingLookups) return 0;
  auto lookup = std::make_shared<THostLookup>();
  lookup->name = name;
  uint32_t (*const hook)(const std::string&) = lookup_hook.load();
  lookup->resolve = hook ? hook : HostIp;
  ++pending_lookups;
  // The thread holds its own reference and lets go of it before it counts itself out, so once
  // PendingHostLookups() is 0 no lookup holds memory any more.
  try {
    std::thread([lookup]() mutable {
      const uint32_t address = lookup->resolve(lookup->name);
      {
        std::lock_guard<std::mutex> hold(lookup->lock);
        lookup->address = address;
        lookup->done = true;
      }
      lookup->finished.notify_all();
      lookup.reset();
      --pending_lookups;
    }).detach();
  } catch (const std::system_error&) {  // no thread to be had: no lookup either
    --pending_lookups;
    return 0;
  }
  std::unique_lock<std::mutex> hold(lookup->lock);
  lookup->finished.wait_for(hold, std::chrono::milliseconds(millis), [&] { return lookup->done; });
  return lookup->done ? lookup->address : 0;
}

void SetHostLookupForTest(uint32_t (*lookup)(const std::string& name)) { lookup_hook = lookup; }

int PendingHostLookups() { return pending_lookups.load(); }

std::shared_ptr<TSocket> TSocket::CreateTCP() {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return nullptr;
  return std::shared_ptr<TSocket>(new TSocket(fd));
}

TSocket::~TSocket() { Close(); }

void TSocket::SetTimeouts(int connectMillis, int readMillis) {
  connect_millis_ = connectMillis;
  read_millis_ = readMillis;
}

void TSocket::SetDeadline(int millis) { deadline_ = millis < 0 ? -1 : NowMillis() + millis; }

int TSocket::MillisLeft() const {
  if (deadline_ < 0) return -1;
  return int(std::max<int64_t>(deadline_ - NowMillis(), 0));
}

bool TSocket::WaitAllowed(int limit, int& millis) const {
  millis = limit;
  if (deadline_ < 0) return true;
  const int left = MillisLeft();
  if (left == 0) return false;
  if (millis < 0 || millis > left) millis = left;
  return true;
}

bool TSocket::Connect(uint32_t address, int port) {
  if (fd_ < 0 || connected_ || address == 0 || port <= 0 || port > 65535) return false;
  int wait = 0;
  if (!WaitAllowed(connect_millis_, wait)) {
    timed_out_ = true;
    return false;
  }
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(uint16_t(port));
  to.sin_addr.s_addr = htonl(address);
  // Connecting without blocking lets the wait below keep to the limit; the socket blocks again
  // afterwards.
  const int flags = fcntl(fd_, F_GETFL, 0);
  if (flags < 0 || fcntl(fd_, F_SETFL, flags | O_NONBLOCK) != 0) return false;
  bool ok = connect(fd_, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0;
  if (!ok && (errno == EINPROGRESS || errno == EINTR)) {
    if (WaitReady(fd_, POLLOUT, wait)) {
      int err = 0;
      socklen_t len = sizeof err;
      ok = getsockopt(fd_, SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0;
    } else {
      timed_out_ = true;
    }
  }
  if (fcntl(fd_, F_SETFL, flags) != 0) ok = false;
  connected_ = ok;
  return ok;
}

int TSocket::Send(const void* buf, int count) {
  // Tried whenever the socket is open: the peer may have finished sending and still be reading.
  if (fd_ < 0 || !buf || count <= 0) return 0;
  const char* bytes = static_cast<const char*>(buf);
  int sent = 0;
  // Under a deadline, a peer that stops reading must not hold a blocking send past it.
  const bool limited = deadline_ >= 0;
  while (sent < count) {
    int wait = 0;
    if (limited && (!WaitAllowed(-1, wait) || !WaitReady(fd_, POLLOUT, wait))) {
      connected_ = false;
      timed_out_ = true;
      break;
    }
    ssize_t n = send(fd_, bytes + sent, size_t(count - sent), MSG_NOSIGNAL | (limited ? MSG_DONTWAIT : 0));
    if (n < 0 && (limited ? WouldBlock(errno) : errno == EINTR)) continue;
    if (n <= 0) {
      connected_ = false;
      break;
    }
    sent += int(n);
  }
  return sent;
}

int TSocket::Recv(void* buf, int count) {
  if (fd_ < 0 || !connected_ || !buf || count <= 0) return 0;
  int wait = 0;
  if (!WaitAllowed(read_millis_, wait) || (wait >= 0 && !WaitReady(fd_, POLLIN, wait))) {
    connected_ = false;
    timed_out_ = true;
    return 0;
  }
  for (;;) {
    ssize_t n = recv(fd_, buf, size_t(count), 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      connected_ = false;
      return 0;
    }
    return int(n);
  }
}

int TSocket::ReadAvail() {
  if (fd_ < 0) return 0;
  int avail = 0;
  if (ioctl(fd_, FIONREAD, &avail) != 0 || avail < 0) return 0;
  return avail;
}

bool TSocket::WaitReadable(int millis) {
  if (fd_ < 0 || !connected_) return false;
  int wait = 0;
  if (!WaitAllowed(millis >= 0 ? millis : read_millis_, wait)) return false;
  return WaitReady(fd_, POLLIN, wait);
}

bool TSocket::Connected() {
  if (fd_ < 0 || !connected_) return false;
  pollfd p{fd_, POLLIN, 0};
  int ready = poll(&p, 1, 0);
  if (ready < 0 || ready == 0) return connected_;
  // Readable: either data waits (still connected) or the peer has closed or failed.
  char c;
  ssize_t n = recv(fd_, &c, 1, MSG_PEEK | MSG_DONTWAIT);
  if (n == 0 || (n < 0 && !WouldBlock(errno))) connected_ = false;
  return connected_;
}

void TSocket::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  connected_ = false;
}

namespace {

class TSocketStream : public TStream {
 public:
  TSocketStream(const TSocketPtr& sock, bool autoClose) : sock_(sock), auto_close_(autoClose) {}
  ~TSocketStream() override { Close(); }

  bool Eof() override {
    if (head_ < buffer_.size()) return false;
    if (!sock_) return true;
    // Waiting for the next bytes tells a pause in the reply from its end.
    if (sock_->Connected()) Fill();
    if (head_ < buffer_.size()) return false;
    sock_->Close();
    return true;
  }
  int64_t Pos() override { return -1; }
  int64_t Size() override { return -1; }
  int64_t Seek(int64_t) override { return -1; }
  bool Flush() override { return sock_ != nullptr; }  // sends go out at once; nothing waits
  void Close() override {
    if (sock_ && auto_close_) sock_->Close();
    sock_.reset();
    buffer_.clear();
    head_ = 0;
  }
  int Read(void* buf, int count) override {
    if (!buf || count <= 0) return 0;
    char* out = static_cast<char*>(buf);
    int got = 0;
    while (got < count) {
      if (head_ == buffer_.size() && !Fill()) break;
      size_t take = std::min(buffer_.size() - head_, size_t(count - got));
      std::memcpy(out + got, buffer_.data() + head_, take);
      head_ += take;
      got += int(take);
    }
    return got;
  }
  int Write(const void* buf, int count) override { return sock_ ? sock_->Send(buf, count) : 0; }

 private:
  // Waits for the next bytes from the socket; false at the end of the connection.
  bool Fill() {
    buffer_.clear();
    head_ = 0;
    if (!sock_) return false;
    buffer_.resize(kChunk);
    int n = sock_->Recv(buffer_.data(), int(kChunk));
    buffer_.resize(size_t(std::max(n, 0)));
    return n > 0;
  }

  static constexpr size_t kChunk = 4096;
  TSocketPtr sock_;
  bool auto_close_;
  std::vector<char> buffer_;  // received, not yet read
  size_t head_ = 0;           // next unread byte in buffer_
};

}  // namespace

TStreamPtr CreateSocketStream(const TSocketPtr& sock, bool autoClose) {
  return std::make_shared<TSocketStream>(sock, autoClose);
}
