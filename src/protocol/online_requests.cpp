#include "protocol/online_requests.h"

#include <cctype>

#include "protocol/scramble.h"

const std::string LoginPath = "/enscore/login.php";
const std::string LoginWeekKey = "week";
const std::string LoginInputKey = "input";
const std::string SubmitPath = "/enscore/scores.php";
const std::string SubmitWeekKey = "Week";
const std::string SubmitInputKey = "Input";
const std::string TablesPath = "/enscore/tables/";
const std::string TableSuffix = ".txt";
const std::string LoginCorrect = "Password Correct";
const std::string LoginWelcome = "Welcome!";
const std::string NoTableMark = "<HEAD>";
const std::string ReplaySubmitPath = "/enscore/replays.php";
const std::string ReplayField = "Replay";
const std::string ReplaysPath = "/enscore/replays/";

namespace {

bool StartsWith(const std::string& text, const std::string& head) { return text.compare(0, head.size(), head) == 0; }

}  // namespace

int64_t TableNumber(int64_t mode, int64_t world, int64_t flags) { return mode + world * 100 + flags * 1000; }

std::string LoginRequest(int week, const std::string& input) {
  return LoginPath + "?" + LoginWeekKey + "=" + std::to_string(week) + "&" + LoginInputKey + "=" + input;
}

std::string SubmitRequest(int week, const std::string& input) {
  return SubmitPath + "?" + SubmitWeekKey + "=" + std::to_string(week) + "&" + SubmitInputKey + "=" + input;
}

std::string TableRequest(int week, const std::string& table) {
  return TablesPath + std::to_string(week) + "/" + table + TableSuffix;
}

std::string ReplaySubmitRequest(int week, const std::string& input) {
  return ReplaySubmitPath + "?" + SubmitWeekKey + "=" + std::to_string(week) + "&" + SubmitInputKey + "=" + input;
}

std::string ReplayKey(int64_t stamp, int64_t score, const std::string& name) {
  static const char kHex[] = "0123456789abcdef";
  const std::string plain = std::to_string(stamp) + "|" + std::to_string(score) + "|" + name;
  std::string key;
  for (unsigned char c : plain) {
    key += kHex[c >> 4];
    key += kHex[c & 15];
  }
  return key;
}

std::string ReplayRequest(int week, int64_t table, const std::string& key) {
  return ReplaysPath + std::to_string(week) + "/" + std::to_string(table) + "/" + key + TableSuffix;
}

bool ParseReplayKey(const std::string& key, int64_t& stamp, int64_t& score, std::string& name) {
  if (key.empty() || key.size() % 2 != 0) return false;
  auto digit = [](char c) { return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1; };
  std::string plain;
  for (size_t i = 0; i < key.size(); i += 2) {
    const int high = digit(key[i]), low = digit(key[i + 1]);
    if (high < 0 || low < 0) return false;
    plain += char(high * 16 + low);
  }
  const size_t first = plain.find('|');
  const size_t second = first == std::string::npos ? first : plain.find('|', first + 1);
  if (second == std::string::npos) return false;
  // The numbers as std::to_string writes them: digits, no sign, no leading zero.
  auto number = [](const std::string& text, int64_t& value) {
    if (text.empty() || text.size() > 18 || (text[0] == '0' && text.size() > 1) ||
        text.find_first_not_of("0123456789") != std::string::npos)
      return false;
    value = std::stoll(text);
    return true;
  };
  if (!number(plain.substr(0, first), stamp) || !number(plain.substr(first + 1, second - first - 1), score))
    return false;
  name = plain.substr(second + 1);
  return true;
}

bool ParseReplayPath(const std::string& rest, int& week, int64_t& table, std::string& key) {
  const size_t first = rest.find('/');
  const size_t second = first == std::string::npos ? first : rest.find('/', first + 1);
  if (second == std::string::npos || rest.size() < second + 1 + TableSuffix.size() ||
      rest.compare(rest.size() - TableSuffix.size(), TableSuffix.size(), TableSuffix) != 0)
    return false;
  auto number = [](const std::string& text, int64_t& value) {
    if (text.empty() || text.size() > 9) return false;
    value = 0;
    for (char c : text) {
      if (c < '0' || c > '9') return false;
      value = value * 10 + (c - '0');
    }
    return true;
  };
  int64_t w = 0;
  if (!number(rest.substr(0, first), w) || !number(rest.substr(first + 1, second - first - 1), table)) return false;
  key = rest.substr(second + 1, rest.size() - second - 1 - TableSuffix.size());
  // Two hexadecimal digits a character, of a key no longer than a stamp, a score and a name make.
  if (key.empty() || key.size() % 2 != 0 || key.size() > 2 * 80 ||
      key.find_first_not_of("0123456789abcdef") != std::string::npos)
    return false;
  week = int(w);
  return true;
}

std::string CredentialWrapper(const std::string& user, const std::string& password) {
  return ScrambleText(user + "|" + password, HeaderCode);
}

std::string LoginInput(const std::string& user, const std::string& password, const std::string& key) {
  return ScrambleText(user + "|" + CredentialWrapper(user, password), key);
}

std::string SubmitInput(const std::string& user, const std::string& password, const std::string& line,
                        const std::string& key) {
  return ScrambleText(user + "|" + CredentialWrapper(user, password) + "|" + line, key);
}

bool SplitLoginInput(const std::string& plain, std::string& user, std::string& wrapper) {
  const size_t bar = plain.find('|');
  if (plain == ScrambleFailed || bar == std::string::npos) return false;
  user = plain.substr(0, bar);
  wrapper = plain.substr(bar + 1);
  return true;
}

bool SplitSubmitInput(const std::string& plain, std::string& user, std::string& wrapper, std::string& line) {
  const size_t first = plain.find('|');
  const size_t second = first == std::string::npos ? first : plain.find('|', first + 1);
  if (plain == ScrambleFailed || second == std::string::npos) return false;
  user = plain.substr(0, first);
  wrapper = plain.substr(first + 1, second - first - 1);
  line = plain.substr(second + 1);
  return true;
}

bool ReadCredentials(const std::string& wrapper, const std::string& user, std::string& password) {
  const std::string inner = UnscrambleText(wrapper, HeaderCode);
  const size_t bar = inner.find('|');
  if (bar == std::string::npos || inner.substr(0, bar) != user) return false;
  password = inner.substr(bar + 1);
  return true;
}

bool LoginAccepted(const std::string& body) { return StartsWith(body, LoginCorrect) || StartsWith(body, LoginWelcome); }

bool NoTableReply(const std::string& body) {
  std::string upper = body;
  for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
  return upper.find(NoTableMark) != std::string::npos;
}

std::string ReplyBody(const std::string& reply) {
  std::string body;
  bool collecting = false;
  for (size_t i = 0; i < reply.size(); ++i) {
    if (reply[i] == '\n' && i + 1 < reply.size() && reply[i + 1] == '\n') {
      collecting = !collecting;
      i += 2;
    }
    if (collecting && i < reply.size()) body += reply[i];
  }
  return body;
}
