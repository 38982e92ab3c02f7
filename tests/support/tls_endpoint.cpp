#include "support/tls_endpoint.h"

#include <gnutls/gnutls.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

namespace {

// Runs a shell command in folder; false when it fails.
bool Run(const std::string& folder, const std::string& command) {
  return std::system(("cd '" + folder + "' && " + command + " >>openssl.log 2>&1").c_str()) == 0;
}

}  // namespace

TTlsEndpoint::TTlsEndpoint(const std::string& folder, std::string reply) : folder_(folder), reply_(std::move(reply)) {
  std::ofstream(folder + "/server.ext") << "subjectAltName=DNS:localhost\nbasicConstraints=CA:FALSE\n"
                                           "keyUsage=digitalSignature\nextendedKeyUsage=serverAuth\n";
  const std::string key = "-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";
  if (!Run(folder, "openssl req -x509 " + key + " -keyout authority.key -out authority.pem -days 2"
                   " -subj '/CN=Lambrisk test authority'") ||
      !Run(folder, "openssl req " + key + " -keyout server.key -out server.csr -subj '/CN=localhost'") ||
      !Run(folder, "openssl x509 -req -in server.csr -CA authority.pem -CAkey authority.key -CAcreateserial"
                   " -out server.pem -days 2 -extfile server.ext")) {
    error_ = "openssl could not make the test's certificates (see " + folder + "/openssl.log)";
    return;
  }
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_addr.s_addr = htonl(0x7F000001);
  socklen_t length = sizeof at;
  if (bind(listener_, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 || listen(listener_, 8) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&at), &length) != 0) {
    error_ = "cannot listen on loopback";
    return;
  }
  port_ = ntohs(at.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

TTlsEndpoint::~TTlsEndpoint() {
  if (listener_ >= 0) shutdown(listener_, SHUT_RDWR);
  if (thread_.joinable()) thread_.join();
  if (listener_ >= 0) close(listener_);
}

void TTlsEndpoint::Serve() {
  gnutls_certificate_credentials_t credentials;
  gnutls_certificate_allocate_credentials(&credentials);
  gnutls_certificate_set_x509_key_file(credentials, (folder_ + "/server.pem").c_str(),
                                       (folder_ + "/server.key").c_str(), GNUTLS_X509_FMT_PEM);
  for (;;) {
    const int fd = accept(listener_, nullptr, nullptr);
    if (fd < 0) break;
    gnutls_session_t session;
    gnutls_init(&session, GNUTLS_SERVER);
    gnutls_set_default_priority(session);
    gnutls_credentials_set(session, GNUTLS_CRD_CERTIFICATE, credentials);
    gnutls_transport_set_int(session, fd);
    gnutls_handshake_set_timeout(session, 10000);
    int result;
    do {
      result = gnutls_handshake(session);
    } while (result < 0 && !gnutls_error_is_fatal(result));
    if (result >= 0) {
      std::string request;
      char buf[1024];
      while (request.find("\n\n") == std::string::npos && request.find("\r\n\r\n") == std::string::npos) {
        const ssize_t n = gnutls_record_recv(session, buf, sizeof buf);
        if (n == GNUTLS_E_AGAIN || n == GNUTLS_E_INTERRUPTED) continue;
        if (n <= 0) break;
        request.append(buf, size_t(n));
      }
      if (request.find("\n\n") != std::string::npos || request.find("\r\n\r\n") != std::string::npos) {
        ++requests_;
        gnutls_record_send(session, reply_.data(), reply_.size());
        gnutls_bye(session, GNUTLS_SHUT_WR);
      }
    }
    gnutls_deinit(session);
    close(fd);
  }
  gnutls_certificate_free_credentials(credentials);
}
