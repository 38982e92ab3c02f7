// The score server's settings from text.
#include "score_config.h"

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>

#include "address_list.h"
#include "protocol/score_line.h"

namespace {

std::string Trim(const std::string& text) {
  const size_t start = text.find_first_not_of(" \t\r");
  if (start == std::string::npos) return "";
  return text.substr(start, text.find_last_not_of(" \t\r") - start + 1);
}

bool Number(const std::string& text, double lowest, double highest, double& value) {
  char* end = nullptr;
  errno = 0;
  value = std::strtod(text.c_str(), &end);
  return !text.empty() && errno == 0 && *end == 0 && std::isfinite(value) && value >= lowest && value <= highest;
}

}  // namespace

bool SetOption(TServerOptions& options, const std::string& rawKey, const std::string& value, std::string& error) {
  std::string key = rawKey;
  for (char& c : key)
    if (c == '-') c = '_';
  if (key == "db") key = "database";
  double number = 0;
  // Whole numbers in a range, into an int setting.
  auto whole = [&](int& into, double lowest, double highest) {
    if (!Number(value, lowest, highest, number) || number != std::floor(number)) {
      error = key + " must be a whole number from " + std::to_string(int64_t(lowest)) + " to " +
              std::to_string(int64_t(highest)) + ", not \"" + value + "\"";
      return false;
    }
    into = int(number);
    return true;
  };
  auto rate = [&](double& into, double highest) {
    if (!Number(value, 0.001, highest, number)) {
      error = key + " must be a number above 0 and at most " + std::to_string(int64_t(highest)) + ", not \"" +
              value + "\"";
      return false;
    }
    into = number;
    return true;
  };
  TServiceSettings& s = options.service;
  if (key == "bind") options.bind = value;
  else if (key == "port") return whole(options.port, 0, 65535);
  else if (key == "database" && !value.empty()) options.database = value;
  else if (key == "levels") options.levels = value;
  else if (key == "replay_seconds") return rate(s.replay_seconds, 3600);
  else if (key == "replays") {
    if (value != "required" && value != "optional") {
      error = "replays must be required or optional, not \"" + value + "\"";
      return false;
    }
    s.replays_required = value == "required";
  }
  else if (key == "motd") s.motd = value;
  else if (key == "threads") return whole(options.threads, 1, 256);
  else if (key == "request_seconds") return rate(options.request_seconds, 3600);
  else if (key == "max_connections") return whole(options.max_connections, 16, 1000000);
  else if (key == "hash_concurrency") return whole(s.hash_concurrency, 1, 64);
  else if (key == "login_burst") return whole(s.login_burst, 1, 1000000);
  else if (key == "logins_per_minute") return rate(s.logins_per_minute, 1e6);
  else if (key == "registration_burst") return whole(s.registration_burst, 1, 1000000);
  else if (key == "registrations_per_hour") return rate(s.registrations_per_hour, 1e8);
  else if (key == "keep_per_player") return whole(s.keep_per_player, kTableEntries, 1000000);
  else if (key == "ipv6_prefix") return whole(s.ipv6_prefix, 16, 128);
  else if (key == "database_seconds") return rate(options.database_seconds, 3600);
  else if (key == "trusted_proxies" || key == "metrics_allow") {
    TNetworks parsed;
    std::string why;
    if (!ParseNetworks(value, parsed, why)) {
      error = key + ": " + why;
      return false;
    }
    (key == "trusted_proxies" ? options.trusted_proxies : options.metrics_allow) = value;
  }
  else if (key == "log_level") {
    if (value != "info" && value != "error") {
      error = "log_level must be info or error, not \"" + value + "\"";
      return false;
    }
    options.log_level = value;
  } else if (key == "reuse_port") {
    const bool yes = value == "yes" || value == "true" || value == "1";
    if (!yes && value != "no" && value != "false" && value != "0") {
      error = "reuse_port must be yes or no, not \"" + value + "\"";
      return false;
    }
    options.reuse_port = yes;
  } else {
    error = "unknown setting \"" + rawKey + "\"";
    return false;
  }
  return true;
}

bool ReadConfig(const std::string& path, TServerOptions& options, std::string& error) {
  std::ifstream file(path);
  if (!file) {
    error = path + ": cannot be read";
    return false;
  }
  std::string line;
  for (int number = 1; std::getline(file, line); ++number) {
    line = Trim(line);
    if (line.empty() || line[0] == '#') continue;
    const size_t equals = line.find('=');
    std::string why = "not a \"key = value\" line";
    if (equals == std::string::npos ||
        !SetOption(options, Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)), why)) {
      error = path + ":" + std::to_string(number) + ": " + why;
      return false;
    }
  }
  return true;
}

std::string ShownDatabase(const std::string& database) {
  if (!IsPostgresUrl(database)) return database;
  const size_t scheme = database.find("://") + 3;
  const size_t query = std::min(database.find('?', scheme), database.size());
  // The user's password before "@", and a password among the query's keys however the key is
  // spelled: libpq decodes %XX in keys and takes them in any case.
  std::string shown = database.substr(0, query);
  const size_t at = shown.rfind('@');
  const size_t colon = shown.find(':', scheme);
  if (at != std::string::npos && colon < at) shown = shown.substr(0, colon) + ":-" + shown.substr(at);
  for (size_t start = query; start < database.size();) {
    const size_t end = std::min(database.find('&', start + 1), database.size());
    const std::string pair = database.substr(start + 1, end - start - 1);
    std::string key;
    for (size_t i = 0; i < pair.size() && pair[i] != '='; ++i) {
      if (pair[i] == '%' && i + 2 < pair.size()) {
        key += char(std::strtol(pair.substr(i + 1, 2).c_str(), nullptr, 16));
        i += 2;
      } else {
        key += pair[i];
      }
    }
    for (char& c : key) c = char(std::tolower(static_cast<unsigned char>(c)));
    shown += database[start] + (key == "password" ? pair.substr(0, pair.find('=')) + "=-" : pair);
    start = end;
  }
  return shown;
}
