// The score server's request logic.
#include "score_requests.h"

#include <arpa/inet.h>
#include <sodium.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "base/program_state.h"
#include "score_limits.h"
#include "scores/name_rules.h"
#include "scores/online_scores.h"
#include "scores/scramble.h"

namespace {

const char kNoTable[] = "<html><head><title>No table</title></head><body>No such table yet.</body></html>";
// Buckets kept at most: past it only full ones are dropped, and an address new to a table that
// still has no room is refused until some refill. Bounds the memory a wide attack can take.
const size_t kMostBuckets = 65536;
const size_t kMostCachedPlayers = 100000;

bool RefusedChar(char c) { return std::strchr(limits::kRefusedInText, c) != nullptr; }

bool PrintableLoginText(const std::string& text, size_t shortest, size_t longest) {
  if (text.size() < shortest || text.size() > longest) return false;
  for (char c : text)
    if (c < 32 || c > 126 || RefusedChar(c)) return false;
  return CleanLoginText(text) == text;
}

// A whole decimal number with an optional minus; false for anything else.
bool Number(const std::string& text, int64_t& value) {
  size_t i = text.size() > 0 && text[0] == '-' ? 1 : 0;
  if (text.size() == i || text.size() - i > limits::kDigitsLongest) return false;
  value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  if (text[0] == '-') value = -value;
  return true;
}

std::vector<std::string> Split(const std::string& text, char sep) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == sep) parts.emplace_back();
    else parts.back() += c;
  }
  return parts;
}

std::string QueryValue(const TServiceRequest& request, const char* key) {
  auto found = request.query.find(key);
  return found == request.query.end() ? std::string() : found->second;
}

TServerReply Text(int status, const std::string& body, const std::string& refusal = "") {
  TServerReply reply;
  reply.status = status;
  reply.body = body;
  reply.refusal = refusal;
  return reply;
}

}  // namespace

bool ValidPlayerName(const std::string& name) {
  return PrintableLoginText(name, limits::kNameShortest, limits::kNameLongest);
}

bool ValidPassword(const std::string& password) {
  return PrintableLoginText(password, limits::kPasswordShortest, limits::kPasswordLongest);
}

bool ValidRecordName(const std::string& name) {
  if (name.size() > limits::kRecordNameLongest) return false;
  for (char c : name)
    if (static_cast<unsigned char>(c) < 32 || c == 127 || RefusedChar(c)) return false;
  return true;
}

bool ParseSubmission(const std::string& line, TServerRecord& r) {
  const size_t mark = line.find(SubmitMark);
  if (mark == std::string::npos) return false;
  const std::vector<std::string> f = Split(line.substr(0, mark), '|');
  const std::vector<std::string> best = Split(line.substr(mark + SubmitMark.size()), '|');
  if (f.size() != 8 || best.size() != size_t(limits::kLevelValues)) return false;
  for (const std::string& b : best) {
    int64_t v;
    if (!Number(b, v) || v < 0 || v > limits::kLevelValueHighest) return false;
  }
  r.Best = line.substr(mark + SubmitMark.size());
  r.Name = f[1];
  if (!ValidRecordName(r.Name)) return false;
  int64_t* numbers[7] = {&r.Score, &r.Badges, &r.Timestamp, &r.Level, &r.GameMode, &r.GameFlags, &r.Quit};
  const int at[7] = {0, 2, 3, 4, 5, 6, 7};
  for (int i = 0; i < 7; ++i)
    if (!Number(f[size_t(at[i])], *numbers[i]) || *numbers[i] < 0) return false;
  return r.Level >= limits::kWorldLowest && r.Level <= limits::kWorldHighest && r.GameMode <= limits::kModeHighest &&
         r.GameFlags == limits::kFlags && r.Quit <= limits::kQuitHighest && r.Badges <= limits::kBadgesHighest;
}

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

std::string RateKey(const std::string& address) {
  in6_addr v6;
  if (inet_pton(AF_INET6, address.c_str(), &v6) != 1) return address;
  std::memset(v6.s6_addr + 8, 0, 8);
  char text[INET6_ADDRSTRLEN] = "";
  inet_ntop(AF_INET6, &v6, text, sizeof text);
  return std::string(text) + "/64";
}

bool StartPasswordHashing() { return sodium_init() >= 0; }

std::string HashPassword(const std::string& password) {
  char made[crypto_pwhash_STRBYTES];
  if (crypto_pwhash_str(made, password.data(), password.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                        crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
    return "";
  return made;
}

bool TRateLimiter::Take(const std::string& key, double burst, double perSecond, TServerClock::time_point now) {
  std::lock_guard<std::mutex> hold(mutex_);
  auto refilled = [&](const TBucket& b) {
    return std::min(burst, b.tokens + perSecond * std::chrono::duration<double>(now - b.at).count());
  };
  auto found = buckets_.find(key);
  if (found == buckets_.end()) {
    if (buckets_.size() >= kMostBuckets) {
      for (auto it = buckets_.begin(); it != buckets_.end();)
        it = refilled(it->second) >= burst ? buckets_.erase(it) : std::next(it);
      if (buckets_.size() >= kMostBuckets) return false;
    }
    found = buckets_.emplace(key, TBucket{burst, now}).first;
  }
  TBucket& b = found->second;
  b.tokens = refilled(b);
  b.at = now;
  if (b.tokens < 1) return false;
  b.tokens -= 1;
  return true;
}

void THashSlots::SetCapacity(int capacity) {
  std::lock_guard<std::mutex> hold(mutex_);
  capacity_ = std::max(1, capacity);
  freed_.notify_all();
}

bool THashSlots::Acquire(TServerClock::time_point deadline) {
  std::unique_lock<std::mutex> hold(mutex_);
  if (!freed_.wait_until(hold, deadline, [this] { return busy_ < capacity_; })) return false;
  peak_ = std::max(peak_, ++busy_);
  return true;
}

void THashSlots::Release() {
  std::lock_guard<std::mutex> hold(mutex_);
  --busy_;
  freed_.notify_one();
}

int THashSlots::Peak() {
  std::lock_guard<std::mutex> hold(mutex_);
  return peak_;
}

TScoreService::TScoreService(TScoreStore& store, const TServiceSettings& settings) : store_(store) {
  randombytes_buf(cache_key_, sizeof cache_key_);
  Configure(settings);
}

void TScoreService::Configure(const TServiceSettings& settings) {
  std::lock_guard<std::mutex> hold(settings_mutex_);
  settings_ = settings;
  motd_ = MotdText(settings.motd);
  slots_.SetCapacity(settings.hash_concurrency);
}

TServiceSettings TScoreService::Settings() {
  std::lock_guard<std::mutex> hold(settings_mutex_);
  return settings_;
}

std::string TScoreService::CacheKey(const std::string& password, const std::string& hash) {
  const std::string both = hash + '\n' + password;
  unsigned char digest[32];
  crypto_generichash(digest, sizeof digest, reinterpret_cast<const unsigned char*>(both.data()), both.size(),
                     cache_key_, sizeof cache_key_);
  return std::string(reinterpret_cast<const char*>(digest), sizeof digest);
}

bool TScoreService::HashSlot(const TServiceRequest& request) {
  if (!slots_.Acquire(request.deadline)) return false;
  if (request.waiting()) return true;
  slots_.Release();
  return false;
}

TScoreService::TCheck TScoreService::Verify(const std::string& name, const std::string& password,
                                            const std::string& hash, const TServiceRequest& request,
                                            const TServiceSettings& settings) {
  const std::string key = CacheKey(password, hash);
  {
    std::lock_guard<std::mutex> hold(cache_mutex_);
    auto found = verified_.find(name);
    if (found != verified_.end() && found->second == key) return TCheck::Correct;
  }
  if (!limiter_.Take("login " + RateKey(request.address), settings.login_burst, settings.logins_per_minute / 60,
                     TServerClock::now()))
    return TCheck::Limited;
  if (!HashSlot(request)) return TCheck::Busy;
  const bool right = crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
  slots_.Release();
  if (!right) return TCheck::Wrong;
  std::lock_guard<std::mutex> hold(cache_mutex_);
  if (verified_.size() >= kMostCachedPlayers) verified_.clear();
  verified_[name] = key;
  return TCheck::Correct;
}

TScoreService::TCheck TScoreService::Credentials(const std::string& name, const std::string& wrapper,
                                                 bool registerNew, const TServiceRequest& request) {
  if (!ValidPlayerName(name)) return TCheck::Wrong;
  const std::string inner = Unscramble(wrapper, HeaderCode);
  const size_t bar = inner.find('|');
  if (bar == std::string::npos || inner.substr(0, bar) != name) return TCheck::Wrong;
  const std::string password = inner.substr(bar + 1);
  if (!ValidPassword(password)) return TCheck::Wrong;
  const TServiceSettings settings = Settings();
  std::string hash;
  if (!store_.PasswordHash(name, hash)) return TCheck::Failed;
  if (hash.empty()) {
    if (!registerNew) return TCheck::Wrong;
    const std::string address = RateKey(request.address);
    const auto now = TServerClock::now();
    if (!limiter_.Take("register " + address, settings.registration_burst, settings.registrations_per_hour / 3600,
                       now) ||
        !limiter_.Take("login " + address, settings.login_burst, settings.logins_per_minute / 60, now))
      return TCheck::Limited;
    if (!HashSlot(request)) return TCheck::Busy;
    const std::string made = HashPassword(password);
    slots_.Release();
    if (made.empty()) return TCheck::Busy;
    switch (store_.AddPlayer(name, made)) {
      case TAddPlayer::Added: {
        const std::string key = CacheKey(password, made);
        std::lock_guard<std::mutex> hold(cache_mutex_);
        verified_[name] = key;
        return TCheck::Registered;
      }
      case TAddPlayer::Failed: return TCheck::Failed;
      case TAddPlayer::Taken: break;
    }
    // Taken meanwhile by another request: check against that one's password.
    if (!store_.PasswordHash(name, hash)) return TCheck::Failed;
    if (hash.empty()) return TCheck::Wrong;
  }
  return Verify(name, password, hash, request, settings);
}

TServerReply TScoreService::Refused(TCheck check, const std::string& what) {
  switch (check) {
    case TCheck::Limited: return Text(429, "Too many attempts, try again later", what + " refused: too many attempts");
    case TCheck::Busy:
      return Text(503, "Busy, try again", what + " refused: no password check came free in time (or the client left)");
    case TCheck::Failed: return Text(503, "Not available", what + " failed: " + store_.Error());
    default: return Text(403, "Wrong Password", what + " refused: wrong name or password");
  }
}

TServerReply TScoreService::Login(const TServiceRequest& request) {
  auto value = [&request](const char* key) { return QueryValue(request, key); };
  if (value("week") != std::to_string(WeekNumber)) return Text(404, "No such week", "login for another week");
  const std::string plain = Unscramble(value("input"), "");
  const size_t bar = plain.find('|');
  if (plain == "XXX" || bar == std::string::npos) return Text(400, "Bad request", "login unreadable");
  const std::string name = plain.substr(0, bar);
  const TCheck check = Credentials(name, plain.substr(bar + 1), true, request);
  TServerReply reply;
  if (check == TCheck::Registered || check == TCheck::Correct) {
    std::lock_guard<std::mutex> hold(settings_mutex_);
    reply = Text(200, (check == TCheck::Registered ? "Welcome!|" : "Password Correct|") + motd_);
  } else {
    reply = Refused(check, "login");
  }
  reply.player = ValidPlayerName(name) ? name : "";
  return reply;
}

TServerReply TScoreService::Submit(const TServiceRequest& request) {
  auto value = [&request](const char* key) { return QueryValue(request, key); };
  if (value("Week") != std::to_string(WeekNumber)) return Text(404, "No such week", "submission for another week");
  const std::string plain = Unscramble(value("Input"), "");
  const size_t first = plain.find('|');
  const size_t second = first == std::string::npos ? first : plain.find('|', first + 1);
  if (plain == "XXX" || second == std::string::npos) return Text(400, "Bad request", "submission unreadable");
  const std::string name = plain.substr(0, first);
  TServerRecord record;
  TServerReply reply;
  if (!ParseSubmission(plain.substr(second + 1), record)) {
    reply = Text(400, "Bad score", "submission refused: a field breaks the limits");
  } else {
    const TCheck check = Credentials(name, plain.substr(first + 1, second - first - 1), false, request);
    if (check != TCheck::Correct) {
      reply = Refused(check, "submission");
    } else {
      const int64_t table = record.GameMode + record.Level * 100 + record.GameFlags * 1000;
      reply = store_.AddRecord(table, name, record, Settings().keep_per_player)
                  ? Text(200, "OK")
                  : Text(503, "Not stored", "submission failed: " + store_.Error());
    }
  }
  reply.player = ValidPlayerName(name) ? name : "";
  return reply;
}

TServerReply TScoreService::Table(const std::string& rest) {
  const std::string prefix = std::to_string(WeekNumber) + "/";
  int64_t table = 0;
  const bool named = rest.size() > prefix.size() + 4 && rest.compare(0, prefix.size(), prefix) == 0 &&
                     rest.compare(rest.size() - 4, 4, ".txt") == 0;
  TServerReply none{404, "text/html", kNoTable, "", ""};
  if (!named || !Number(rest.substr(prefix.size(), rest.size() - prefix.size() - 4), table) || table < 0) return none;
  std::vector<TServerRecord> rows;
  if (!store_.Table(table, limits::kTableEntries, rows))
    return Text(503, "Not available", "table failed: " + store_.Error());
  if (rows.empty()) return none;
  std::string body;
  for (const TServerRecord& r : rows) {
    if (!body.empty()) body += "\n";
    body += std::to_string(r.Score) + "|" + r.Name + "|" + std::to_string(r.Badges) + "|" +
            std::to_string(r.Timestamp) + "|" + std::to_string(r.Level) + "|" + std::to_string(r.GameMode) +
            "|" + std::to_string(r.GameFlags) + "|" + std::to_string(r.Quit) + "\n" + r.Best;
  }
  return Text(200, body);
}

TServerReply TScoreService::Health() {
  if (store_.Ping()) return Text(200, "ok");
  return Text(503, "database not answering", "health check failed: " + store_.Error());
}

TServerReply TScoreService::Route(const TServiceRequest& request) {
  const size_t start = request.path.find_first_not_of('/');
  const std::string route = start == std::string::npos ? "" : request.path.substr(start);
  if (route == "enscore/login.php") return Login(request);
  if (route == "enscore/scores.php") return Submit(request);
  if (route == "healthz") return Health();
  const std::string tables = "enscore/tables/";
  if (route.compare(0, tables.size(), tables) == 0) return Table(route.substr(tables.size()));
  return Text(404, "Not found");
}
