// A local TLS endpoint for the client's tests: a certificate authority of its own and a server
// certificate for "localhost" that it signed, made with Debian's openssl command in a folder of
// the test's, and an HTTPS server on a free loopback port (GnuTLS) that answers every request
// with one reply and closes.
#pragma once
#include <atomic>
#include <string>
#include <thread>

class TTlsEndpoint {
 public:
  TTlsEndpoint(const std::string& folder, std::string reply);
  ~TTlsEndpoint();
  // Empty when the certificates are made and the server listens; else what failed.
  const std::string& Error() const { return error_; }
  int Port() const { return port_; }
  // The authority's certificate (PEM), the one trust file under which the server is genuine.
  std::string AuthorityFile() const { return folder_ + "/authority.pem"; }
  // Requests read whole so far (a client that refused the handshake sent none).
  int Requests() const { return requests_; }

 private:
  void Serve();
  std::string folder_, reply_, error_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<int> requests_{0};
  std::thread thread_;
};
