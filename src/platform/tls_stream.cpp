// The TLS stream over GnuTLS.
#include "platform/tls_stream.h"

#include <gnutls/gnutls.h>
#include <gnutls/x509.h>

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

std::mutex trust_mutex;
std::string trust_file;  // "" for the system's store

ssize_t Push(gnutls_transport_ptr_t to, const void* data, size_t size) {
  const int sent = static_cast<TSocket*>(to)->Send(data, int(std::min<size_t>(size, 1 << 20)));
  if (sent > 0) return sent;
  errno = EPIPE;
  return -1;
}

ssize_t Pull(gnutls_transport_ptr_t from, void* data, size_t size) {
  // 0 is the end of the connection to GnuTLS: a peer that closed, or a wait that ran out.
  return static_cast<TSocket*>(from)->Recv(data, int(std::min<size_t>(size, 1 << 20)));
}

int PullTimeout(gnutls_transport_ptr_t from, unsigned int millis) {
  TSocket* sock = static_cast<TSocket*>(from);
  if (sock->ReadAvail() > 0) return 1;
  return sock->WaitReadable(millis == GNUTLS_INDEFINITE_TIMEOUT ? -1 : int(millis)) ? 1 : 0;
}

bool IsAddress(const std::string& name) {
  unsigned char bytes[16];
  return inet_pton(AF_INET, name.c_str(), bytes) == 1 || inet_pton(AF_INET6, name.c_str(), bytes) == 1;
}

std::string CertificateReason(unsigned int status, const std::string& hostName) {
  if (status & GNUTLS_CERT_UNEXPECTED_OWNER) return "certificate not valid for " + hostName;
  if (status & GNUTLS_CERT_EXPIRED) return "certificate expired";
  if (status & GNUTLS_CERT_NOT_ACTIVATED) return "certificate not valid yet";
  if (status & GNUTLS_CERT_REVOKED) return "certificate revoked";
  return "certificate not trusted";
}

class TTlsStream : public TStream {
 public:
  TTlsStream(const TSocketPtr& sock, gnutls_session_t session, gnutls_certificate_credentials_t credentials)
      : sock_(sock), session_(session), credentials_(credentials) {}
  ~TTlsStream() override { Close(); }

  bool Eof() override {
    if (head_ < buffer_.size()) return false;
    if (!session_) return true;
    if (Fill()) return false;
    Close();
    return true;
  }
  int64_t Pos() override { return -1; }
  int64_t Size() override { return -1; }
  int64_t Seek(int64_t) override { return -1; }
  bool Flush() override { return session_ != nullptr; }
  void Close() override {
    if (session_) gnutls_deinit(session_);
    if (credentials_) gnutls_certificate_free_credentials(credentials_);
    session_ = nullptr;
    credentials_ = nullptr;
    if (sock_) sock_->Close();
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
      const size_t take = std::min(buffer_.size() - head_, size_t(count - got));
      std::memcpy(out + got, buffer_.data() + head_, take);
      head_ += take;
      got += int(take);
    }
    return got;
  }
  int Write(const void* buf, int count) override {
    if (!session_ || !buf || count <= 0) return 0;
    int sent = 0;
    while (sent < count) {
      const ssize_t n = gnutls_record_send(session_, static_cast<const char*>(buf) + sent, size_t(count - sent));
      if (n == GNUTLS_E_AGAIN || n == GNUTLS_E_INTERRUPTED) continue;
      if (n <= 0) break;
      sent += int(n);
    }
    return sent;
  }

 private:
  // The next decrypted bytes; false at the end (the peer closed, with or without telling, or a
  // wait ran out, which the socket records).
  bool Fill() {
    buffer_.clear();
    head_ = 0;
    if (!session_) return false;
    buffer_.resize(4096);
    ssize_t n;
    do {
      n = gnutls_record_recv(session_, buffer_.data(), buffer_.size());
    } while (n == GNUTLS_E_AGAIN || n == GNUTLS_E_INTERRUPTED);
    buffer_.resize(size_t(std::max<ssize_t>(n, 0)));
    return n > 0;
  }

  TSocketPtr sock_;
  gnutls_session_t session_;
  gnutls_certificate_credentials_t credentials_;
  std::vector<char> buffer_;
  size_t head_ = 0;
};

}  // namespace

TStreamPtr CreateTlsStream(const TSocketPtr& sock, const std::string& hostName, std::string& failure) {
  failure.clear();
  if (!sock || !sock->Connected()) {
    failure = "not connected";
    return nullptr;
  }
  gnutls_certificate_credentials_t credentials = nullptr;
  gnutls_session_t session = nullptr;
  std::string file;
  {
    std::lock_guard<std::mutex> hold(trust_mutex);
    file = trust_file;
  }
  int result = gnutls_certificate_allocate_credentials(&credentials);
  if (result >= 0)
    result = file.empty() ? gnutls_certificate_set_x509_system_trust(credentials)
                          : gnutls_certificate_set_x509_trust_file(credentials, file.c_str(), GNUTLS_X509_FMT_PEM);
  if (result <= 0) {
    failure = result == 0 ? "no trusted certificate authorities" : gnutls_strerror(result);
    if (credentials) gnutls_certificate_free_credentials(credentials);
    return nullptr;
  }
  result = gnutls_init(&session, GNUTLS_CLIENT);
  if (result >= 0) result = gnutls_set_default_priority(session);
  if (result >= 0) result = gnutls_credentials_set(session, GNUTLS_CRD_CERTIFICATE, credentials);
  if (result >= 0 && !IsAddress(hostName))
    result = gnutls_server_name_set(session, GNUTLS_NAME_DNS, hostName.data(), hostName.size());
  if (result >= 0) {
    gnutls_session_set_verify_cert(session, hostName.c_str(), 0);
    gnutls_transport_set_ptr(session, sock.get());
    gnutls_transport_set_push_function(session, Push);
    gnutls_transport_set_pull_function(session, Pull);
    gnutls_transport_set_pull_timeout_function(session, PullTimeout);
    gnutls_handshake_set_timeout(session, 0);  // the socket's limits bound it
    do {
      result = gnutls_handshake(session);
    } while (result < 0 && !gnutls_error_is_fatal(result));
  }
  if (result >= 0) return std::make_shared<TTlsStream>(sock, session, credentials);
  failure = result == GNUTLS_E_CERTIFICATE_VERIFICATION_ERROR
                ? CertificateReason(gnutls_session_get_verify_cert_status(session), hostName)
                : std::string("TLS failed: ") + gnutls_strerror(result);
  if (session) gnutls_deinit(session);
  gnutls_certificate_free_credentials(credentials);
  sock->Close();
  return nullptr;
}

void SetTlsTrustFileForTest(const std::string& file) {
  std::lock_guard<std::mutex> hold(trust_mutex);
  trust_file = file;
}
