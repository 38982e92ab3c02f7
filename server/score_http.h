// The little HTTP the score server speaks: a request head read whole (the game ends its lines
// with a bare LF and sends a stray CR LF after the blank line, or after a POST's body; other
// clients use CR LF), one GET or POST a connection, and a reply that closes it.
#pragma once
#include <cstddef>
#include <map>
#include <string>

// The longest request head (request line and headers) read: 8 KiB.
constexpr size_t kHeadLongest = 8192;

struct THttpRequest {
  std::string method;
  std::string target;  // as sent
  std::string path;    // the target before "?", percent-decoded
  std::map<std::string, std::string> query;  // decoded; a key given twice keeps its first value
  std::string forwarded_for;  // every X-Forwarded-For header's value, joined by ","
  long long content_length = -1;  // a Content-Length header's value, -1 without one
  std::map<std::string, std::string> form;  // a POST's form-urlencoded body, decoded as the query
};

// Where the head in bytes ends (just past its blank line), 0 while it is not complete. The
// search starts a little before from, where an earlier one stopped.
size_t HeadEnd(const std::string& bytes, size_t from = 0);
// Parses a complete head; 0 when it is a request to serve, else the status to refuse it with
// (400 unreadable or a length that is no number, 405 neither GET nor POST, 505 not HTTP/1.x).
int ParseRequest(const std::string& head, THttpRequest& request);
// "key=value&..." pairs, %XX decoded (a "+" stays a "+", as the game's client means it); a key
// given twice keeps its first value.
std::map<std::string, std::string> DecodePairs(const std::string& text);
// A whole reply: status line, type, length, "Connection: close", the body.
std::string ReplyBytes(int status, const std::string& type, const std::string& body);
// The target as the access log shows it: the query's "input" values (which carry the
// scrambled password) left out, and every byte outside printable ASCII as %XX.
std::string LoggedTarget(const std::string& target);
