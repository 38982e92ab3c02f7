// The HTTP client: the request bytes, the reply read to the end, and the form encoding.
#include "scores/http_client.h"

#include <chrono>
#include <cstdlib>

#include "platform/tls_stream.h"

int HttpConnectMillis = 4000;
int HttpSilenceMillis = 8000;
int HttpTotalMillis = 12000;
int HttpActionMillis = 12000;
int HttpReplyLimit = 1 << 20;

namespace {

const char kHexDigits[] = "0123456789ABCDEF";
const char kTlsScheme[] = "https://";

using TClock = std::chrono::steady_clock;
int action_depth = 0;
TClock::time_point action_deadline;

bool Secure(const std::string& hostName) { return hostName.rfind(kTlsScheme, 0) == 0; }
std::string WithoutScheme(const std::string& hostName) {
  return Secure(hostName) ? hostName.substr(sizeof kTlsScheme - 1) : hostName;
}

// The time a request opened now may take: its own limit, cut to what is left of the action.
int RequestMillis() {
  if (action_depth == 0) return HttpTotalMillis;
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(action_deadline - TClock::now()).count();
  return int(std::max<long long>(0, std::min<long long>(left, HttpTotalMillis < 0 ? left : HttpTotalMillis)));
}

// Position of c among the upper-case hex digits counted from 1; 0 when it is not one.
int HexPosition(char c) {
  for (int i = 0; i < 16; ++i)
    if (kHexDigits[i] == c) return i + 1;
  return 0;
}

size_t PortColon(const std::string& hostName) {
  const size_t colon = hostName.rfind(':');
  if (colon == std::string::npos || colon + 1 >= hostName.size()) return std::string::npos;
  for (size_t i = colon + 1; i < hostName.size(); ++i)
    if (hostName[i] < '0' || hostName[i] > '9') return std::string::npos;
  return colon;
}

}  // namespace

THttpAction::THttpAction() {
  if (action_depth++ == 0) action_deadline = TClock::now() + std::chrono::milliseconds(HttpActionMillis);
}

THttpAction::~THttpAction() { --action_depth; }

int HttpPort(const std::string& fullName) {
  const std::string hostName = WithoutScheme(fullName);
  const size_t colon = PortColon(hostName);
  if (colon == std::string::npos) return Secure(fullName) ? 443 : 80;
  // Past five digits the number means no port at all: the connection is refused at once.
  if (hostName.size() - colon > 6) return 0;
  const int port = std::atoi(hostName.c_str() + colon + 1);
  return port <= 65535 ? port : 0;
}

std::string HttpHostOnly(const std::string& fullName) {
  const std::string hostName = WithoutScheme(fullName);
  const size_t colon = PortColon(hostName);
  return colon == std::string::npos ? hostName : hostName.substr(0, colon);
}

int Thttp::Open(const std::string& hostName, int autoCloseArg) {
  failure.clear();
  const int millis = RequestMillis();
  if (action_depth > 0 && millis == 0) return 0;  // the action's time is up: no more requests
  sock = TSocket::CreateTCP();
  if (!sock) return 0;
  sock->SetTimeouts(HttpConnectMillis, HttpSilenceMillis);
  sock->SetDeadline(millis);
  const std::string name = HttpHostOnly(hostName);
  const int left = sock->MillisLeft();
  if (!sock->Connect(left < 0 ? HostIp(name) : HostIpWithin(name, left), HttpPort(hostName))) return 0;
  if (Secure(hostName)) {
    stream = CreateTlsStream(sock, name, failure);
    if (!stream) return 0;
  } else {
    stream = CreateSocketStream(sock, true);
  }
  host = WithoutScheme(hostName);
  autoClose = autoCloseArg;
  return 1;
}

std::string Thttp::Exchange(const std::string& request) {
  if (!stream) return "";
  stream->WriteLine(request);
  // Byte by byte, so the limit holds inside a line too. As ReadLine reads: LF or a zero byte ends
  // a line, CR is dropped; lines are joined by LF, and a line end at the very end adds nothing.
  std::string reply;
  bool lineOpen = false;
  size_t received = 0;
  uint8_t b = 0;
  while (!stream->Eof() && stream->Read(&b, 1) == 1) {
    if (HttpReplyLimit >= 0 && ++received > size_t(HttpReplyLimit)) {
      // Cut anywhere, a table would read as fewer or damaged entries: none is safer.
      reply.clear();
      lineOpen = true;
      Close();
      break;
    }
    lineOpen = b != 10 && b != 0;
    if (!lineOpen) reply += '\n';
    else if (b != 13) reply += char(b);
  }
  // Cut by a limit, the text could be a table missing its lower half: none is safer.
  if (sock && sock->TimedOut()) reply.clear();
  if (autoClose) Close();
  if (!lineOpen && !reply.empty()) reply.pop_back();
  return reply;
}

std::string Thttp::Get(const std::string& path) {
  return Exchange("GET /" + path + " HTTP/1.0\nHost: " + host + "\nUser-Agent: " + agent + "\n\n");
}

std::string Thttp::Post(const std::string& path, const std::vector<std::string>& names,
                        const std::vector<std::string>& values) {
  std::string body;
  for (size_t i = 0; i < names.size(); ++i)
    body += UrlEncode(names[i]) + "=" + UrlEncode(i < values.size() ? values[i] : "") + "&";
  if (!body.empty()) body.pop_back();
  return Exchange("POST /" + path + " HTTP/1.0\nHost: " + host + "\nUser-Agent: " + agent +
                  "\nContent-Length: " + std::to_string(body.size()) +
                  "\nContent-Type: application/x-www-form-urlencoded\n\n" + body);
}

int Thttp::Close() {
  if (stream) stream->Close();
  if (sock) sock->Close();
  return 0;
}

std::string Thttp::UrlEncode(const std::string& text) {
  std::string out;
  for (char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '+' ||
        c == '-' || c == '.' || c == '_') {
      out += ch;
    } else {
      out += '%';
      out += kHexDigits[c >> 4];
      out += kHexDigits[c & 15];
    }
  }
  return out;
}

std::string Thttp::UrlDecode(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    const int p1 = i + 1 < text.size() ? HexPosition(text[i + 1]) : 0;
    const int p2 = i + 2 < text.size() ? HexPosition(text[i + 2]) : 0;
    out += char(p1 * 16 + p2 - 17);
    i += 2;
  }
  return out;
}

void ResetHttpClient() {
  HttpConnectMillis = 4000;
  HttpSilenceMillis = 8000;
  HttpTotalMillis = 12000;
  HttpActionMillis = 12000;
  HttpReplyLimit = 1 << 20;
}
