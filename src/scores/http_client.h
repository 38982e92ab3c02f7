// Thttp: a minimal HTTP/1.0 client over one TCP connection. It sends one GET or POST request and
// reads the whole reply until the server closes, returning it as text with CRs dropped; the online
// score service cuts the body out. Waits are bounded: connecting gives up after HttpConnectMillis,
// a silent server after HttpSilenceMillis and the whole request, host-name lookup included, after
// HttpTotalMillis, so a server that trickles a byte now and then can't hold the frame; the text
// read so far is then the reply. A reply longer than HttpReplyLimit bytes is refused whole ("").
#pragma once
#include <string>
#include <vector>

#include "platform/socket.h"
#include "platform/stream.h"

extern int HttpConnectMillis;  // 4000: longest wait for a connection
extern int HttpSilenceMillis;  // 8000: longest wait for the next bytes of a reply
extern int HttpTotalMillis;    // 12000: longest time from Open to the end of the reply
extern int HttpReplyLimit;     // 1 MiB: most bytes a reply may hold

struct Thttp {
  TSocketPtr sock;                    // the TCP socket, null before Open
  TStreamPtr stream;                  // byte stream over sock, set by a successful Open
  std::string host;                   // host given to Open; sent in the Host header
  std::string agent = "FennickThttp/1.0";  // sent in the User-Agent header
  int autoClose = 0;                  // non-zero: Get and Post close after reading the reply

  // Connects to hostName, port 80 unless the name ends in ":port" (self-hosted servers, tests).
  // 1 connected, 0 failed. The request's time (HttpTotalMillis) starts here.
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

// The port of a "host:port" name (80 without one) and the name without it.
int HttpPort(const std::string& hostName);
std::string HttpHostOnly(const std::string& hostName);
// Start values of the waits and the reply limit (tests).
void ResetHttpClient();
