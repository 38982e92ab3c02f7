// The score server's HTTP requests and replies.
#include "score_http.h"

#include <algorithm>
#include <cstring>
#include <strings.h>
#include <vector>

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// %XX decoded; a "%" not followed by two hex digits stays as it is.
std::string Decode(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const int high = i + 2 < text.size() && text[i] == '%' ? HexDigit(text[i + 1]) : -1;
    const int low = high >= 0 ? HexDigit(text[i + 2]) : -1;
    if (low >= 0) {
      out += char(high * 16 + low);
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

const char* Reason(int status) {
  switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 411: return "Length Required";
    case 413: return "Content Too Large";
    case 414: return "URI Too Long";
    case 422: return "Unprocessable Content";
    case 429: return "Too Many Requests";
    case 431: return "Request Header Fields Too Large";
    case 503: return "Service Unavailable";
    case 505: return "HTTP Version Not Supported";
    default: return "Error";
  }
}

}  // namespace

size_t HeadEnd(const std::string& bytes, size_t from) {
  for (size_t at = bytes.find('\n', from > 2 ? from - 2 : 0); at != std::string::npos; at = bytes.find('\n', at + 1)) {
    if (at + 1 < bytes.size() && bytes[at + 1] == '\n') return at + 2;
    if (at + 2 < bytes.size() && bytes[at + 1] == '\r' && bytes[at + 2] == '\n') return at + 3;
  }
  return 0;
}

int ParseRequest(const std::string& head, THttpRequest& request) {
  const std::string line = head.substr(0, head.find_first_of("\r\n"));
  const size_t first = line.find(' ');
  const size_t second = first == std::string::npos ? first : line.find(' ', first + 1);
  if (second == std::string::npos || line.find(' ', second + 1) != std::string::npos) return 400;
  request.method = line.substr(0, first);
  request.target = line.substr(first + 1, second - first - 1);
  const std::string version = line.substr(second + 1);
  for (unsigned char c : line)
    if (c < 32 || c > 126) return 400;
  if (version.compare(0, 7, "HTTP/1.") != 0 || version.size() != 8) return 505;
  if (request.target.empty() || request.target[0] != '/') return 400;
  if (request.method != "GET" && request.method != "POST") return 405;
  auto named = [](const std::string& header, const char* name, size_t length) {
    return header.size() >= length && strncasecmp(header.c_str(), name, length) == 0;
  };
  for (size_t at = head.find('\n'); at != std::string::npos; at = head.find('\n', at + 1)) {
    const size_t end = std::min(head.find('\n', at + 1), head.size());
    std::string header = head.substr(at + 1, end - at - 1);
    if (!header.empty() && header.back() == '\r') header.pop_back();
    static const char kForwarded[] = "x-forwarded-for:";
    static const char kLength[] = "content-length:";
    if (named(header, kForwarded, sizeof kForwarded - 1)) {
      if (!request.forwarded_for.empty()) request.forwarded_for += ",";
      request.forwarded_for += header.substr(sizeof kForwarded - 1);
    } else if (named(header, kLength, sizeof kLength - 1)) {
      const size_t start = header.find_first_not_of(" \t", sizeof kLength - 1);
      const size_t stop = header.find_last_not_of(" \t");
      const std::string digits = start == std::string::npos ? "" : header.substr(start, stop - start + 1);
      // Digits alone, and not so many that they could overflow; a second length must agree.
      if (digits.empty() || digits.size() > 15 || digits.find_first_not_of("0123456789") != std::string::npos)
        return 400;
      const long long length = std::stoll(digits);
      if (request.content_length >= 0 && request.content_length != length) return 400;
      request.content_length = length;
    }
  }
  const size_t mark = request.target.find('?');
  request.path = Decode(request.target.substr(0, mark));
  if (mark != std::string::npos) request.query = DecodePairs(request.target.substr(mark + 1));
  return 0;
}

std::map<std::string, std::string> DecodePairs(const std::string& text) {
  std::map<std::string, std::string> pairs;
  for (size_t start = 0; start <= text.size();) {
    size_t end = text.find('&', start);
    if (end == std::string::npos) end = text.size();
    const std::string pair = text.substr(start, end - start);
    const size_t equals = pair.find('=');
    if (!pair.empty())
      pairs.emplace(Decode(pair.substr(0, equals)), equals == std::string::npos ? "" : Decode(pair.substr(equals + 1)));
    start = end + 1;
  }
  return pairs;
}

std::string ReplyBytes(int status, const std::string& type, const std::string& body) {
  return "HTTP/1.1 " + std::to_string(status) + " " + Reason(status) + "\r\nContent-Type: " + type +
         "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

std::string LoggedTarget(const std::string& target) {
  std::string shown = target;
  const size_t mark = shown.find('?');
  if (mark != std::string::npos) {
    std::string kept;
    for (size_t start = mark + 1; start <= target.size();) {
      size_t end = target.find('&', start);
      if (end == std::string::npos) end = target.size();
      const std::string pair = target.substr(start, end - start);
      const std::string key = Decode(pair.substr(0, pair.find('=')));
      if (key.size() == 5 && strncasecmp(key.c_str(), "input", 5) == 0) kept += "&" + key + "=-";
      else kept += "&" + pair;
      start = end + 1;
    }
    shown = target.substr(0, mark + 1) + kept.substr(kept.empty() ? 0 : 1);
  }
  std::string out;
  const char* hex = "0123456789ABCDEF";
  for (unsigned char c : shown) {
    if (c > 32 && c < 127) {
      out += char(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}
