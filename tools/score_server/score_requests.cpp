// The score server's request logic.
#include "score_requests.h"

#include <sodium.h>

#include "base/program_state.h"
#include "scores/name_rules.h"
#include "scores/online_scores.h"
#include "scores/scramble.h"
#include "ui/text_fields.h"

namespace {

const int kTableEntries = 30;
const char kNoTable[] = "<html><head><title>No table</title></head><body>No such table yet.</body></html>";

bool PrintableLoginText(const std::string& text, size_t shortest, size_t longest) {
  if (text.size() < shortest || text.size() > longest) return false;
  for (char c : text)
    if (c < 32 || c > 126 || c == '|') return false;
  return CleanLoginText(text) == text;
}

// A whole decimal number of at most 18 digits with an optional minus; false for anything else.
bool Number(const std::string& text, int64_t& value) {
  size_t i = text.size() > 0 && text[0] == '-' ? 1 : 0;
  if (text.size() == i || text.size() - i > 18) return false;
  value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  if (text[0] == '-') value = -value;
  return true;
}

// Splits text at every sep.
std::vector<std::string> Split(const std::string& text, char sep) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == sep) parts.emplace_back();
    else parts.back() += c;
  }
  return parts;
}

// The submitted line: eight fields, the mark, thirty level values, every number whole and in
// range, the name printable and short.
bool ParseSubmission(const std::string& line, TServerRecord& r) {
  const size_t mark = line.find(SubmitMark);
  if (mark == std::string::npos) return false;
  const std::vector<std::string> f = Split(line.substr(0, mark), '|');
  const std::vector<std::string> best = Split(line.substr(mark + SubmitMark.size()), '|');
  if (f.size() != 8 || best.size() != 30) return false;
  for (const std::string& b : best) {
    int64_t v;
    if (!Number(b, v) || v < 0 || v > 1000000000) return false;
  }
  r.Best = line.substr(mark + SubmitMark.size());
  r.Name = f[1];
  if (r.Name.size() > 40) return false;
  for (char c : r.Name)
    if (static_cast<unsigned char>(c) < 32 || c == '|') return false;
  int64_t* numbers[7] = {&r.Score, &r.Badges, &r.Timestamp, &r.Level, &r.GameMode, &r.GameFlags, &r.Quit};
  const int at[7] = {0, 2, 3, 4, 5, 6, 7};
  for (int i = 0; i < 7; ++i)
    if (!Number(f[size_t(at[i])], *numbers[i]) || *numbers[i] < 0) return false;
  return r.Level >= 1 && r.Level <= 20 && r.GameMode <= 1 && r.GameFlags <= 1000000 && r.Quit <= 1 &&
         r.Badges <= 0xFFFF;
}

TServerReply Text(int status, const std::string& body) { return {status, "text/plain", body}; }

}  // namespace

bool ValidPlayerName(const std::string& name) { return PrintableLoginText(name, 4, 24); }
bool ValidPassword(const std::string& password) { return PrintableLoginText(password, 4, 64); }

std::string MotdText(const std::string& raw) {
  std::string out;
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\\' && i + 1 < raw.size() && raw[i + 1] == 'n') {
      out += '\n';
      ++i;
    } else if (raw[i] == '|') {
      out += '/';
    } else if (raw[i] == '\n' || static_cast<unsigned char>(raw[i]) >= 32) {
      out += raw[i];
    }
  }
  return out;
}

bool StartPasswordHashing() { return sodium_init() >= 0; }

TScoreService::TScoreService(TScoreDb& db, std::string motd) : db_(db), motd_(MotdText(motd)) {
  randombytes_buf(cache_key_, sizeof cache_key_);
}

bool TScoreService::Verified(const std::string& name, const std::string& password, const std::string& hash) {
  unsigned char digest[32];
  crypto_generichash(digest, sizeof digest, reinterpret_cast<const unsigned char*>(password.data()),
                     password.size(), cache_key_, sizeof cache_key_);
  const std::string key(reinterpret_cast<const char*>(digest), sizeof digest);
  {
    std::lock_guard<std::mutex> hold(cache_mutex_);
    auto found = verified_.find(name);
    if (found != verified_.end() && found->second == key) return true;
  }
  if (crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) != 0) return false;
  std::lock_guard<std::mutex> hold(cache_mutex_);
  verified_[name] = key;
  return true;
}

TScoreService::TCheck TScoreService::Credentials(const std::string& name, const std::string& wrapper,
                                                 bool registerNew) {
  if (!ValidPlayerName(name)) return TCheck::Wrong;
  const std::string inner = Unscramble(wrapper, HeaderCode);
  const size_t bar = inner.find('|');
  if (bar == std::string::npos || inner.substr(0, bar) != name) return TCheck::Wrong;
  const std::string password = inner.substr(bar + 1);
  if (!ValidPassword(password)) return TCheck::Wrong;
  std::string hash = db_.PasswordHash(name);
  if (hash.empty()) {
    if (!registerNew) return TCheck::Wrong;
    char made[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(made, password.data(), password.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
      return TCheck::Wrong;
    if (db_.AddPlayer(name, made)) return TCheck::Registered;
    hash = db_.PasswordHash(name);  // taken meanwhile by another login
    if (hash.empty()) return TCheck::Wrong;
  }
  return Verified(name, password, hash) ? TCheck::Correct : TCheck::Wrong;
}

TServerReply TScoreService::Login(const std::string& week, const std::string& input) {
  if (week != std::to_string(WeekNumber)) return Text(404, "No such week");
  const std::string plain = Unscramble(input, "");
  const size_t bar = plain.find('|');
  if (plain == "XXX" || bar == std::string::npos) return Text(400, "Bad request");
  switch (Credentials(plain.substr(0, bar), plain.substr(bar + 1), true)) {
    case TCheck::Registered: return Text(200, "Welcome!|" + motd_);
    case TCheck::Correct: return Text(200, "Password Correct|" + motd_);
    case TCheck::Wrong: break;
  }
  return Text(403, "Wrong Password");
}

TServerReply TScoreService::Submit(const std::string& week, const std::string& input) {
  if (week != std::to_string(WeekNumber)) return Text(404, "No such week");
  const std::string plain = Unscramble(input, "");
  const size_t first = plain.find('|');
  const size_t second = first == std::string::npos ? first : plain.find('|', first + 1);
  if (plain == "XXX" || second == std::string::npos) return Text(400, "Bad request");
  const std::string name = plain.substr(0, first);
  TServerRecord record;
  if (!ParseSubmission(plain.substr(second + 1), record)) return Text(400, "Bad score");
  if (Credentials(name, plain.substr(first + 1, second - first - 1), false) == TCheck::Wrong)
    return Text(403, "Wrong Password");
  const int64_t table = record.GameMode + record.Level * 100 + record.GameFlags * 1000;
  if (!db_.AddRecord(table, name, record)) return Text(503, "Not stored");
  return Text(200, "OK");
}

TServerReply TScoreService::Table(const std::string& rest) {
  const std::string prefix = std::to_string(WeekNumber) + "/";
  int64_t table = 0;
  const bool named = rest.size() > prefix.size() + 4 && rest.compare(0, prefix.size(), prefix) == 0 &&
                     rest.compare(rest.size() - 4, 4, ".txt") == 0;
  if (!named || !Number(rest.substr(prefix.size(), rest.size() - prefix.size() - 4), table) || table < 0)
    return {404, "text/html", kNoTable};
  const std::vector<TServerRecord> rows = db_.Table(table, kTableEntries);
  if (rows.empty()) return {404, "text/html", kNoTable};
  std::string body;
  for (const TServerRecord& r : rows) {
    if (!body.empty()) body += "\n";
    body += std::to_string(r.Score) + "|" + r.Name + "|" + std::to_string(r.Badges) + "|" +
            std::to_string(r.Timestamp) + "|" + std::to_string(r.Level) + "|" + std::to_string(r.GameMode) +
            "|" + std::to_string(r.GameFlags) + "|" + std::to_string(r.Quit) + "\n" + r.Best;
  }
  return Text(200, body);
}

TServerReply TScoreService::Route(const std::string& path, const std::map<std::string, std::string>& query) {
  size_t start = path.find_first_not_of('/');
  const std::string route = start == std::string::npos ? "" : path.substr(start);
  auto value = [&query](const char* key) {
    auto found = query.find(key);
    return found == query.end() ? std::string() : found->second;
  };
  if (route == "enscore/login.php") return Login(value("week"), value("input"));
  if (route == "enscore/scores.php") return Submit(value("Week"), value("Input"));
  const std::string tables = "enscore/tables/";
  if (route.compare(0, tables.size(), tables) == 0) return Table(route.substr(tables.size()));
  return Text(404, "Not found");
}
