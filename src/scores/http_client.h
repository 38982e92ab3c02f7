// Thttp: a minimal HTTP/1.0 client over one TCP connection, plain or TLS. It sends one GET or
// POST request and reads the whole reply until the server closes, returning it as text with CRs
// dropped; the online score service cuts the body out. Waits are bounded: connecting gives up
// after HttpConnectMillis, a silent server after HttpSilenceMillis and the whole request,
// host-name lookup and TLS handshake included, after HttpTotalMillis, so a server that trickles a
// byte now and then can't hold the frame. While a THttpAction is held, every request shares its
// one deadline instead: a user's click costs one wait however many requests it makes. Only a
// reply that ended (the server closed) is a reply: one cut by a limit is refused whole (""), as
// is one longer than HttpReplyLimit bytes.
#pragma once
#include <string>
#include <vector>

#include "platform/socket.h"
#include "platform/stream.h"

extern int HttpConnectMillis;  // 4000: longest wait for a connection
extern int HttpSilenceMillis;  // 8000: longest wait for the next bytes of a reply
extern int HttpTotalMillis;    // 12000: longest time from Open to the end of the reply
extern int HttpActionMillis;   // 12000: longest time for all the requests of one user action
extern int HttpReplyLimit;     // 1 MiB: most bytes a reply may hold

// Held for one user action (a login; a refresh with its fetch and submission, and what it sends
// with them): the requests made meanwhile end by HttpActionMillis from the first one held; once
// that has passed, Open fails at once. Nested ones keep the outer deadline.
class THttpAction {
 public:
  THttpAction();
  ~THttpAction();
  THttpAction(const THttpAction&) = delete;
  THttpAction& operator=(const THttpAction&) = delete;
};

struct Thttp {
  TSocketPtr sock;                    // the TCP socket, null before Open
  TStreamPtr stream;                  // byte stream over sock, set by a successful Open
  std::string host;                   // host given to Open; sent in the Host header
  std::string agent = "FennickThttp/1.0";  // sent in the User-Agent header
  int autoClose = 0;                  // non-zero: Get and Post close after reading the reply
  std::string failure;  // why a TLS connection was refused ("certificate not valid for h"), else ""

  // Connects to hostName, port 80 unless the name ends in ":port" (self-hosted servers, tests);
  // "https://host[:port]" speaks TLS, port 443 unless given, the server's certificate checked
  // against the system's store and the host's name. 1 connected, 0 failed. The request's time
  // (HttpTotalMillis, or what is left of the action's) starts here.
  int Open(const std::string& hostName, int autoClose);
  // One request; the whole reply, "" when nothing came. Only after a successful Open.
  std::string Get(const std::string& path);
  std::string Post(const std::string& path, const std::vector<std::string>& names,
                   const std::vector<std::string>& values);
  // Closes the stream and the socket; always 0.
  int Close();

  // Form encoding: letters, digits and "+-._" stay, every other character is "%" and two
  // upper-case hex digits of its low 8 bits.
  static std::string UrlEncode(const std::string& text);
  // The reverse for upper-case hex digits; "+" stays "+".
  static std::string UrlDecode(const std::string& text);

 private:
  std::string Exchange(const std::string& request);
};

// The port of a "host:port" name (80 without one, 443 for "https://host") and the name without
// it (and without "https://").
int HttpPort(const std::string& hostName);
std::string HttpHostOnly(const std::string& hostName);
// Start values of the waits and the reply limit (tests).
void ResetHttpClient();
