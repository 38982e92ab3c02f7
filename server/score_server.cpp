// The score server's network side: an epoll loop that accepts and reads request heads, and the
// workers that answer them.
#include "score_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <deque>
#include <mutex>
#include <queue>
#include <unordered_map>
#include <vector>

#include "address_list.h"
#include "protocol/online_requests.h"
#include "score_http.h"
#include "score_metrics.h"

namespace {

using TClock = std::chrono::steady_clock;

// A closed reply is followed by a short wait for the client to close too: closing on bytes it
// still sends (the game's stray CR LF) would reset the connection and could lose the reply. At
// the connection limit these are the first to go, their bytes read first.
const auto kLinger = std::chrono::seconds(2);
// At the connection limit a connection reading its head may be dropped to make room only once it
// is this old: a client gets the time to send the request it connected for.
const auto kFreshHead = std::chrono::milliseconds(200);
// A reply may take this long to send even when the request's own deadline has passed.
const auto kSendGrace = std::chrono::seconds(1);

double Millis(TClock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The log: one line each, to standard output (the journal under systemd), flushed at once. At
// the error level the access lines are left out; the few info lines (start, reload, stop) stay.
class TLog {
 public:
  void SetErrorsOnly(bool errorsOnly) { errors_only_ = errorsOnly; }
  void Line(const char* kind, const std::string& text) {
    if (errors_only_ && std::strcmp(kind, "access") == 0) return;
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    tm utc;
    gmtime_r(&now.tv_sec, &utc);
    char stamp[40];
    const size_t n = std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &utc);
    std::snprintf(stamp + n, sizeof stamp - n, ".%03dZ", int(now.tv_nsec / 1000000));
    std::lock_guard<std::mutex> hold(mutex_);
    std::fprintf(stdout, "%s %s %s\n", stamp, kind, text.c_str());
    std::fflush(stdout);
  }

 private:
  std::mutex mutex_;
  std::atomic<bool> errors_only_{false};
};

// A request read whole and parsed (or refused while reading), for a worker.
struct TJob {
  int fd = -1;
  std::string address;  // the client's: the peer's, or the one a trusted proxy forwarded
  THttpRequest request;
  TRoute route = TRoute::None;
  int status = 0;  // a refusal decided while reading or parsing; 0 to answer
  size_t received = 0;
  TClock::time_point accepted, deadline;
  TClock::time_point queued;  // when it was handed to the password lane
};

// A connection the loop watches: reading its head (and a POST's body), or closing.
struct TConnection {
  uint64_t serial = 0;
  std::string address;
  std::string bytes;
  size_t scanned = 0;  // bytes already searched for the head's end
  size_t head = 0;     // the head's length once it is whole; then its request is parsed
  THttpRequest request;
  TRoute route = TRoute::None;
  TClock::time_point accepted, deadline;
  bool closing = false;
};

std::string PeerAddress(int fd) {
  sockaddr_storage at{};
  socklen_t length = sizeof at;
  char text[INET6_ADDRSTRLEN] = "-";
  if (getpeername(fd, reinterpret_cast<sockaddr*>(&at), &length) != 0) return text;
  if (at.ss_family == AF_INET) {
    inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(&at)->sin_addr, text, sizeof text);
  } else if (at.ss_family == AF_INET6) {
    const in6_addr& a = reinterpret_cast<sockaddr_in6*>(&at)->sin6_addr;
    if (IN6_IS_ADDR_V4MAPPED(&a)) inet_ntop(AF_INET, a.s6_addr + 12, text, sizeof text);
    else inet_ntop(AF_INET6, &a, text, sizeof text);
  }
  return text;
}

// Sends every byte by the deadline; false when the client would not take them.
bool SendAll(int fd, const std::string& bytes, TClock::time_point deadline) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n > 0) {
      sent += size_t(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return false;
    const long long left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now()).count();
    pollfd p{fd, POLLOUT, 0};
    if (left <= 0 || poll(&p, 1, int(std::min(left, 1000LL))) < 0) return false;
  }
  return true;
}

}  // namespace

struct TScoreServer::TParts {
  std::unique_ptr<TScoreStore> store;
  std::unique_ptr<TScoreService> service;
  TLog log;
  int listener = -1;
  int epoll = -1;
  int wake = -1;  // an eventfd: connections handed back, or stop
  std::thread loop;
  std::vector<std::thread> workers;
  std::atomic<double> request_seconds{10};
  std::atomic<int> max_connections{1024};
  std::atomic<int> open{0};  // connections not yet closed, in any hands
  std::atomic<int64_t> loop_beat{0};  // the loop's last turn, steady milliseconds
  TMetrics metrics;
  std::mutex networks_mutex;
  TNetworks proxies, metrics_allow;

  // Two queues, each with its own workers: every request starts in the first, which answers all
  // that needs no slow password hash; one that needs a hash, its tokens taken, moves on to the
  // second, so a burst of those checks holds up nothing else.
  std::mutex jobs_mutex;
  std::condition_variable jobs_ready[2];
  std::deque<TJob> jobs[2];
  bool workers_stop = false;

  std::mutex handback_mutex;
  std::vector<int> handback;  // answered connections to close gracefully
  bool loop_running = false;
  std::atomic<bool> loop_stop{false};

  void Close(int fd) {
    close(fd);
    --open;
  }
  void Wake() {
    const uint64_t one = 1;
    if (write(wake, &one, sizeof one) < 0) {
      // The counter is full, so the loop is already due to wake.
    }
  }
  void SetNetworks(const TServerOptions& options) {
    TNetworks p, m;
    std::string ignored;  // the settings were checked when read
    ParseNetworks(options.trusted_proxies, p, ignored);
    ParseNetworks(options.metrics_allow, m, ignored);
    std::lock_guard<std::mutex> hold(networks_mutex);
    proxies = p;
    metrics_allow = m;
  }
  void Queue(int lane, TJob job) {
    std::lock_guard<std::mutex> hold(jobs_mutex);
    jobs[lane].push_back(std::move(job));
    jobs_ready[lane].notify_one();
  }
  std::string Metrics() {
    TGauges g;
    g.connections_open = open;
    {
      std::lock_guard<std::mutex> hold(jobs_mutex);
      g.password_queue = jobs[1].size();
    }
    g.peak_hashes = service->PeakHashes();
    g.database_errors = service->DatabaseErrors();
    return metrics.Text(g);
  }
  void RunLoop();
  void RunWorker(int lane);
  void Answer(TJob& job, int lane);
};

void TScoreServer::TParts::RunLoop() {
  std::unordered_map<int, TConnection> watched;
  uint64_t serial = 0;
  using TDue = std::pair<TClock::time_point, std::pair<int, uint64_t>>;
  std::priority_queue<TDue, std::vector<TDue>, std::greater<TDue>> due;  // deadlines, soonest first
  std::deque<std::pair<int, uint64_t>> arrivals;  // connections reading their heads, oldest first
  std::deque<std::pair<int, uint64_t>> lingering;  // answered connections, oldest first
  bool accepting = true;
  TClock::time_point acceptAgain;  // out of descriptors: not before then

  auto watch = [&](int fd, TConnection connection) {
    connection.serial = ++serial;
    due.push({connection.deadline, {fd, connection.serial}});
    (connection.closing ? lingering : arrivals).push_back({fd, connection.serial});
    watched[fd] = std::move(connection);
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = fd;
    epoll_ctl(epoll, EPOLL_CTL_ADD, fd, &event);
  };
  auto forget = [&](int fd) {
    epoll_ctl(epoll, EPOLL_CTL_DEL, fd, nullptr);
    watched.erase(fd);
  };
  // Hands a connection to the workers: its request whole when status is 0, else refused with
  // status.
  auto dispatch = [&](int fd, TConnection& c, int status) {
    TJob job;
    job.fd = fd;
    job.address = c.address;
    job.received = c.bytes.size();
    job.request = std::move(c.request);
    job.route = c.route;
    if (status == 0) {
      if (job.request.method == "POST")
        job.request.form = DecodePairs(c.bytes.substr(c.head, size_t(job.request.content_length)));
      std::lock_guard<std::mutex> hold(networks_mutex);
      job.address = ClientAddress(c.address, job.request.forwarded_for, proxies);
    }
    job.status = status;
    job.accepted = c.accepted;
    job.deadline = c.deadline;
    forget(fd);
    Queue(0, std::move(job));
  };
  // The head is whole: it is parsed here, once, and its route is what answers it and what the
  // metrics count. A POST waits for its body, of a length given and within the bound. The
  // refusal's status, or 0.
  auto parseHead = [&](TConnection& c, size_t end) {
    if (end > kHeadLongest) return 431;
    c.head = end;
    const int status = ParseRequest(c.bytes.substr(0, end), c.request);
    if (status != 0) return status;
    c.route = RouteOf(c.request.path);
    if (!TakesMethod(c.route, c.request.method)) return 405;
    if (c.request.method != "POST") return 0;
    if (c.request.content_length < 0) return 411;
    return size_t(c.request.content_length) > kReplayPostLongest ? 413 : 0;
  };
  auto isCurrent = [&](const std::pair<int, uint64_t>& key) {
    auto found = watched.find(key.first);
    return found != watched.end() && found->second.serial == key.second;
  };
  auto readFrom = [&](int fd) {
    auto found = watched.find(fd);
    if (found == watched.end()) return;
    TConnection& c = found->second;
    char buffer[4096];
    for (;;) {
      const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        // The client closed (or failed): done closing, or a head that will never be complete.
        if (c.closing || c.bytes.empty()) {
          forget(fd);
          Close(fd);
        } else {
          dispatch(fd, c, 400);
        }
        return;
      }
      if (c.closing) continue;
      c.bytes.append(buffer, size_t(n));
      if (c.head == 0) {
        // Only the new bytes are searched (with the two before them), or a client sending a byte
        // at a time would make the search cost the square of its head.
        const size_t end = HeadEnd(c.bytes, c.scanned);
        c.scanned = c.bytes.size();
        if (!end) {
          if (c.bytes.size() >= kHeadLongest)
            return dispatch(fd, c, c.bytes.find('\n') == std::string::npos ? 414 : 431);
          continue;
        }
        if (const int refused = parseHead(c, end)) return dispatch(fd, c, refused);
      }
      // Whatever follows the body (the game's CR LF) is left unread.
      const size_t body = c.request.method == "POST" ? size_t(c.request.content_length) : 0;
      if (c.bytes.size() >= c.head + body) return dispatch(fd, c, 0);
    }
  };

  // Closes one connection to make room at the limit: an answered one lingering, else the one that
  // has waited longest for its head, once its bytes are read (a head that came whole is answered,
  // not dropped) and only when it has had its time to send one. False when none can go yet.
  auto makeRoom = [&](TClock::time_point now) {
    while (!lingering.empty()) {
      const auto key = lingering.front();
      lingering.pop_front();
      if (!isCurrent(key)) continue;
      // What the client still sent is read first, so the close is not a reset that could lose the
      // reply it has not read yet; a client that keeps sending gets no more than a few reads.
      char drain[4096];
      for (int reads = 0; reads < 8 && recv(key.first, drain, sizeof drain, MSG_DONTWAIT) > 0; ++reads) {
      }
      forget(key.first);
      Close(key.first);
      return true;
    }
    while (!arrivals.empty()) {
      const auto key = arrivals.front();
      if (!isCurrent(key)) {
        arrivals.pop_front();
        continue;
      }
      const TConnection& c = watched[key.first];
      if (now - c.accepted < kFreshHead) {
        acceptAgain = c.accepted + kFreshHead;
        return false;
      }
      arrivals.pop_front();
      readFrom(key.first);
      if (!isCurrent(key)) continue;
      log.Line("error", c.address + " dropped at the connection limit after " +
                            std::to_string(int(Millis(now - c.accepted))) + " ms");
      metrics.Dropped();
      forget(key.first);
      Close(key.first);
      return true;
    }
    acceptAgain = now + kFreshHead;
    return false;
  };
  auto acceptAll = [&] {
    for (;;) {
      if (open >= max_connections && !makeRoom(TClock::now())) {
        epoll_ctl(epoll, EPOLL_CTL_DEL, listener, nullptr);
        accepting = false;
        return;
      }
      const int fd = accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
      if (fd < 0) {
        if (errno == EMFILE || errno == ENFILE) {
          // Out of descriptors: stop accepting until one closes rather than spin.
          log.Line("error", "- out of file descriptors; accepting again when one closes");
          epoll_ctl(epoll, EPOLL_CTL_DEL, listener, nullptr);
          accepting = false;
          acceptAgain = TClock::now() + std::chrono::milliseconds(100);
        }
        return;
      }
      ++open;
      TConnection c;
      c.address = PeerAddress(fd);
      c.accepted = TClock::now();
      c.deadline = c.accepted + std::chrono::duration_cast<TClock::duration>(
                                    std::chrono::duration<double>(request_seconds.load()));
      watch(fd, std::move(c));
      // A request often comes with its connection: read it now, before a full table counts it
      // as one still waiting.
      readFrom(fd);
    }
  };
  epoll_event events[256];
  auto millisTo = [](TClock::time_point when) {
    return std::max<long long>(
        0, std::chrono::duration_cast<std::chrono::milliseconds>(when - TClock::now()).count() + 1);
  };
  while (!loop_stop) {
    loop_beat = std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now().time_since_epoch()).count();
    long long timeout = 1000;
    if (!due.empty()) timeout = std::min(timeout, millisTo(due.top().first));
    if (!accepting) timeout = std::min(timeout, millisTo(acceptAgain));
    const int n = epoll_wait(epoll, events, 256, int(timeout));
    for (int i = 0; i < n && !loop_stop; ++i) {
      const int fd = events[i].data.fd;
      if (fd == listener) {
        acceptAll();
      } else if (fd == wake) {
        uint64_t count;
        if (read(wake, &count, sizeof count) < 0) continue;
        std::vector<int> back;
        {
          std::lock_guard<std::mutex> hold(handback_mutex);
          back.swap(handback);
        }
        for (int answered : back) {
          TConnection c;
          c.closing = true;
          c.accepted = TClock::now();
          c.deadline = c.accepted + kLinger;
          watch(answered, std::move(c));
        }
      } else {
        readFrom(fd);
      }
    }
    const auto now = TClock::now();
    while (!due.empty() && due.top().first <= now) {
      const auto key = due.top().second;
      due.pop();
      if (!isCurrent(key)) continue;
      TConnection& c = watched[key.first];
      if (c.closing) {
        forget(key.first);
        Close(key.first);
      } else {
        dispatch(key.first, c, 408);
      }
    }
    // Connections that got their heads leave stale entries behind; bounded by the arrivals of
    // one deadline, but dropped from the front as they come.
    while (!arrivals.empty() && !isCurrent(arrivals.front())) arrivals.pop_front();
    while (!lingering.empty() && !isCurrent(lingering.front())) lingering.pop_front();
    if (!accepting && now >= acceptAgain) {
      epoll_event event{};
      event.events = EPOLLIN;
      event.data.fd = listener;
      accepting = epoll_ctl(epoll, EPOLL_CTL_ADD, listener, &event) == 0;
    }
  }
  std::lock_guard<std::mutex> hold(handback_mutex);
  loop_running = false;
  for (int fd : handback) Close(fd);
  handback.clear();
  for (auto& [fd, c] : watched) Close(fd);
}

void TScoreServer::TParts::RunWorker(int lane) {
  for (;;) {
    TJob job;
    {
      std::unique_lock<std::mutex> hold(jobs_mutex);
      jobs_ready[lane].wait(hold, [this, lane] { return workers_stop || !jobs[lane].empty(); });
      if (jobs[lane].empty()) return;
      job = std::move(jobs[lane].front());
      jobs[lane].pop_front();
    }
    Answer(job, lane);
  }
}

void TScoreServer::TParts::Answer(TJob& job, int lane) {
  const THttpRequest& request = job.request;
  int status = job.status;
  if (lane == 1) metrics.PasswordWait(Millis(TClock::now() - job.queued) / 1000);
  // A request that waited in the queue past its deadline is not worth the work any more.
  if (status == 0 && TClock::now() > job.deadline) status = 503;
  TServerReply reply;
  if (status != 0) {
    reply.status = status;
    reply.body = "Refused";
    switch (status) {
      case 408:
        reply.refusal = "request not complete within its " + std::to_string(int(Millis(job.deadline - job.accepted))) +
                        " ms (" + std::to_string(job.received) + " bytes came)";
        break;
      case 414:
      case 431: reply.refusal = "request head longer than " + std::to_string(kHeadLongest) + " bytes"; break;
      case 405: reply.refusal = "method " + request.method + " refused"; break;
      case 503: reply.refusal = "no worker came free before the request's deadline"; break;
      default: reply.refusal = "unreadable request (" + std::to_string(job.received) + " bytes)"; break;
    }
  } else if (job.route == TRoute::Metrics) {
    bool allowed;
    {
      std::lock_guard<std::mutex> hold(networks_mutex);
      allowed = InNetworks(job.address, metrics_allow);
    }
    reply.status = allowed ? 200 : 404;
    reply.type = allowed ? "text/plain; version=0.0.4" : "text/plain";
    reply.body = allowed ? Metrics() : "Not found";
  } else {
    const int fd = job.fd;
    reply = service->Route({job.route, request.path, request.query, request.form, job.address, job.deadline,
                            [fd] {
                              pollfd p{fd, POLLRDHUP, 0};
                              return poll(&p, 1, 0) == 0;
                            },
                            lane == 1});
    if (reply.needs_slow_lane) {
      job.queued = TClock::now();
      Queue(1, std::move(job));
      return;
    }
  }
  metrics.Answered(job.route, reply.status, Millis(TClock::now() - job.accepted) / 1000);
  const std::string bytes = ReplyBytes(reply.status, reply.type, reply.body);
  const bool sent = SendAll(job.fd, bytes, std::max(job.deadline, TClock::now() + kSendGrace));
  char line[128];
  std::snprintf(line, sizeof line, " %d %zu %.1f ", reply.status, sent ? bytes.size() : size_t(0),
                Millis(TClock::now() - job.accepted));
  log.Line("access", job.address + " " + (request.method.empty() ? "-" : request.method) + " " +
                         (request.target.empty() ? "-" : LoggedTarget(request.target)) + line +
                         (reply.player.empty() ? "-" : reply.player));
  if (!reply.refusal.empty())
    log.Line("error",
             job.address + " " + reply.refusal + (reply.player.empty() ? "" : " (player " + reply.player + ")"));
  if (!sent) {
    log.Line("error", job.address + " reply not taken by the client");
    Close(job.fd);
    return;
  }
  shutdown(job.fd, SHUT_WR);
  std::lock_guard<std::mutex> hold(handback_mutex);
  if (!loop_running) {
    Close(job.fd);
    return;
  }
  handback.push_back(job.fd);
  if (handback.size() == 1) Wake();
}

TScoreServer::TScoreServer() : parts_(std::make_unique<TParts>()) {}

TScoreServer::~TScoreServer() { Stop(); }

bool TScoreServer::Start(const TServerOptions& options) {
  options_ = options;
  if (!StartPasswordHashing()) {
    error_ = "libsodium cannot start";
    return false;
  }
  TParts& p = *parts_;
  TProofLevels levels;
  if (!ReadProofLevels(options.levels.empty() ? BuiltInLevelFile() : options.levels, levels, error_)) return false;
  levels_file_ = levels.file;
  std::string why;
  p.store = OpenScoreStore(options.database, why, options.database_seconds);
  if (!p.store) {
    error_ = "cannot open the database " + ShownDatabase(options.database) + ": " + why;
    return false;
  }
  p.service = std::make_unique<TScoreService>(*p.store, options.service, levels);
  p.SetNetworks(options);
  p.log.SetErrorsOnly(options.log_level == "error");
  p.request_seconds = options.request_seconds;
  p.max_connections = options.max_connections;

  addrinfo hints{};
  hints.ai_flags = AI_PASSIVE | AI_NUMERICHOST | AI_NUMERICSERV;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const std::string where = options.bind + ":" + std::to_string(options.port);
  if (getaddrinfo(options.bind.c_str(), std::to_string(options.port).c_str(), &hints, &found) != 0 || !found) {
    error_ = "cannot listen on " + where + ": not a numeric address";
    return false;
  }
  p.listener = socket(found->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  const int yes = 1, no = 0;
  setsockopt(p.listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  if (options.reuse_port) setsockopt(p.listener, SOL_SOCKET, SO_REUSEPORT, &yes, sizeof yes);
  if (found->ai_family == AF_INET6) setsockopt(p.listener, IPPROTO_IPV6, IPV6_V6ONLY, &no, sizeof no);
  const bool bound = p.listener >= 0 && bind(p.listener, found->ai_addr, found->ai_addrlen) == 0 &&
                     listen(p.listener, SOMAXCONN) == 0;
  freeaddrinfo(found);
  if (!bound) {
    error_ = "cannot listen on " + where + ": " + std::strerror(errno);
    return false;
  }
  sockaddr_storage at{};
  socklen_t length = sizeof at;
  getsockname(p.listener, reinterpret_cast<sockaddr*>(&at), &length);
  port_ = ntohs(at.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&at)->sin6_port
                                         : reinterpret_cast<sockaddr_in*>(&at)->sin_port);

  p.epoll = epoll_create1(EPOLL_CLOEXEC);
  p.wake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  for (int fd : {p.listener, p.wake}) {
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = fd;
    epoll_ctl(p.epoll, EPOLL_CTL_ADD, fd, &event);
  }
  p.loop_running = true;
  p.loop = std::thread([&p] { p.RunLoop(); });
  for (int i = 0; i < options.threads * 2; ++i) p.workers.emplace_back([&p, i] { p.RunWorker(i % 2); });
  return true;
}

void TScoreServer::Reconfigure(const TServerOptions& options) {
  TParts& p = *parts_;
  if (!p.service) return;
  p.service->Configure(options.service);
  p.SetNetworks(options);
  p.log.SetErrorsOnly(options.log_level == "error");
  p.request_seconds = options.request_seconds;
  p.max_connections = options.max_connections;
  std::string later;
  if (options.bind != options_.bind || options.port != options_.port) later += " bind/port";
  if (options.database != options_.database) later += " database";
  if (options.levels != options_.levels) later += " levels";
  if (options.database_seconds != options_.database_seconds) later += " database_seconds";
  if (options.threads != options_.threads) later += " threads";
  if (options.reuse_port != options_.reuse_port) later += " reuse_port";
  if (!later.empty()) p.log.Line("info", "changed, taking effect at the next start:" + later);
}

void TScoreServer::Log(const char* kind, const std::string& text) { parts_->log.Line(kind, text); }

int TScoreServer::PeakHashes() { return parts_->service ? parts_->service->PeakHashes() : 0; }

bool TScoreServer::Alive(int withinMillis) {
  const int64_t now = std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now().time_since_epoch()).count();
  return parts_->loop.joinable() && now - parts_->loop_beat < withinMillis;
}

void TScoreServer::Stop() {
  TParts& p = *parts_;
  if (p.loop.joinable()) {
    p.loop_stop = true;
    p.Wake();
    p.loop.join();
  }
  {
    std::lock_guard<std::mutex> hold(p.jobs_mutex);
    p.workers_stop = true;
    for (std::condition_variable& ready : p.jobs_ready) ready.notify_all();
  }
  for (std::thread& worker : p.workers) worker.join();
  p.workers.clear();
  for (int* fd : {&p.listener, &p.epoll, &p.wake}) {
    if (*fd >= 0) close(*fd);
    *fd = -1;
  }
}
