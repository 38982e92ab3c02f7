// The score server's settings: what the configuration file and the command line set. The file
// holds "key = value" lines ("#" starts a comment line); every key is also a flag, "--key value"
// (with "-" or "_" between words). The file is read at start and again on SIGHUP; the flags win
// over it both times.
#pragma once
#include <string>

#include "score_requests.h"

struct TServerOptions {
  std::string bind = "0.0.0.0";  // "::" for every IPv6 and IPv4 address
  int port = 80;                 // 0: any free port (tests)
  std::string database = "scores.db";  // a file for SQLite, or a postgresql:// URL
  std::string levels;            // the level file replays are proven on; "" the built-in levels
  int threads = 8;               // workers for logins and submissions, and as many for the rest
  bool reuse_port = false;       // let other server processes listen on the same port
  std::string log_level = "info";  // "error" leaves the access lines out
  double request_seconds = 10;   // a connection's whole time, from accepting it to its reply
  int max_connections = 1024;    // open at once; past it answered and then idle ones go first
  double database_seconds = 3;   // the longest a database call may take
  std::string trusted_proxies;   // networks whose X-Forwarded-For names the client
  std::string metrics_allow = "127.0.0.0/8, ::1";  // clients that may read /metrics
  TServiceSettings service;      // the message of the day, the rate limits, the records kept, replays
};

// Sets one setting from its text; false with the reason in error.
bool SetOption(TServerOptions& options, const std::string& key, const std::string& value, std::string& error);
// Reads a configuration file over options; false with "file:line: reason" in error.
bool ReadConfig(const std::string& path, TServerOptions& options, std::string& error);
// The database setting as logs may show it: a URL's password left out.
std::string ShownDatabase(const std::string& database);
