// cpp-httplib wiring of the score service: every GET goes to the service's router; the library
// bounds the request line and headers. The game ends its request line with a bare LF, which the
// library refuses, so each connection is read through a stream that ends that one line with
// CR LF; the header lines it takes as they come. Silent connections time out.
#include "score_server.h"

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "score_db.h"
#include "score_requests.h"
#include "scores/scramble.h"

namespace {

const int kSilenceMillis = 2000;
const size_t kLongestRequestLine = 8192;

// A connection as the library reads it, with the request line's end made CR LF.
class TLenientStream : public httplib::Stream {
 public:
  explicit TLenientStream(int sock) : sock_(sock) {}
  bool is_readable() const override { return head_ < pending_.size() || Wait(POLLIN); }
  bool is_writable() const override { return Wait(POLLOUT); }
  ssize_t read(char* ptr, size_t size) override {
    if (!line_done_ && !ReadRequestLine()) return -1;
    if (head_ == pending_.size()) {
      if (!Wait(POLLIN)) return -1;
      pending_.resize(4096);
      const ssize_t n = recv(sock_, pending_.data(), pending_.size(), 0);
      pending_.resize(size_t(std::max<ssize_t>(n, 0)));
      head_ = 0;
      if (n <= 0) return n;
    }
    const size_t take = std::min(size, pending_.size() - head_);
    std::copy(pending_.begin() + long(head_), pending_.begin() + long(head_ + take), ptr);
    head_ += take;
    return ssize_t(take);
  }
  ssize_t write(const char* ptr, size_t size) override {
    return Wait(POLLOUT) ? send(sock_, ptr, size, MSG_NOSIGNAL) : -1;
  }
  void get_remote_ip_and_port(std::string& ip, int& port) const override { Address(true, ip, port); }
  void get_local_ip_and_port(std::string& ip, int& port) const override { Address(false, ip, port); }
  socket_t socket() const override { return sock_; }

 private:
  bool Wait(short events) const {
    pollfd p{sock_, events, 0};
    return poll(&p, 1, kSilenceMillis) > 0;
  }
  // Reads up to the first LF (bounded) into pending_, inserting the CR the game leaves out.
  bool ReadRequestLine() {
    line_done_ = true;
    char c = 0;
    while (pending_.size() < kLongestRequestLine && c != '\n') {
      if (!Wait(POLLIN) || recv(sock_, &c, 1, 0) != 1) return !pending_.empty();
      if (c == '\n' && (pending_.empty() || pending_.back() != '\r')) pending_.push_back('\r');
      pending_.push_back(c);
    }
    return true;
  }
  void Address(bool remote, std::string& ip, int& port) const {
    sockaddr_in at{};
    socklen_t len = sizeof at;
    const int got = remote ? getpeername(sock_, reinterpret_cast<sockaddr*>(&at), &len)
                           : getsockname(sock_, reinterpret_cast<sockaddr*>(&at), &len);
    char text[INET_ADDRSTRLEN] = "";
    if (got == 0) inet_ntop(AF_INET, &at.sin_addr, text, sizeof text);
    ip = text;
    port = got == 0 ? ntohs(at.sin_port) : 0;
  }

  int sock_;
  bool line_done_ = false;
  std::vector<char> pending_;  // received, not yet handed to the library
  size_t head_ = 0;
};

class TLenientServer : public httplib::Server {
 public:
  // The library listens with a queue of 5; under a burst of connections the rest would wait for
  // the client's SYN retry (a second or more). Listening again only widens the queue.
  void WidenBacklog() { ::listen(svr_sock_, SOMAXCONN); }

 private:
  bool process_and_close_socket(socket_t sock) override {
    TLenientStream stream(sock);
    bool closed = true;
    const bool ok = process_request(stream, true, closed, [](httplib::Request&) {});
    shutdown(sock, SHUT_RDWR);
    close(sock);
    return ok;
  }
};

}  // namespace

struct TScoreServer::TParts {
  TScoreDb db;
  std::unique_ptr<TScoreService> service;
  TLenientServer http;
};

TScoreServer::TScoreServer() : parts_(std::make_unique<TParts>()) {}

TScoreServer::~TScoreServer() { Stop(); }

bool TScoreServer::Start(const TServerOptions& options) {
  if (!StartPasswordHashing()) {
    error_ = "libsodium cannot start";
    return false;
  }
  BuildScrambleKey();
  if (!parts_->db.Open(options.database)) {
    error_ = "cannot open " + options.database + ": " + parts_->db.Error();
    return false;
  }
  parts_->service = std::make_unique<TScoreService>(parts_->db, options.motd);
  TLenientServer& http = parts_->http;
  const int threads = options.threads;
  http.new_task_queue = [threads] { return new httplib::ThreadPool(size_t(threads)); };
  http.set_payload_max_length(4096);
  TScoreService* service = parts_->service.get();
  http.Get(".*", [service](const httplib::Request& request, httplib::Response& response) {
    std::map<std::string, std::string> query;
    for (const auto& [key, value] : request.params) query.emplace(key, value);
    const TServerReply reply = service->Route(request.path, query);
    response.status = reply.status;
    response.set_content(reply.body, reply.type.c_str());
  });
  if (options.port == 0) {
    port_ = http.bind_to_any_port(options.bind);
  } else {
    port_ = http.bind_to_port(options.bind, options.port) ? options.port : -1;
  }
  if (port_ <= 0) {
    error_ = "cannot listen on " + options.bind + ":" + std::to_string(options.port);
    return false;
  }
  http.WidenBacklog();
  thread_ = std::thread([&http] { http.listen_after_bind(); });
  return true;
}

void TScoreServer::Stop() {
  if (thread_.joinable()) {
    parts_->http.stop();
    thread_.join();
  }
}
