// The score server's request logic.
#include "score_requests.h"

#include <arpa/inet.h>
#include <sodium.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "protocol/game_identity.h"
#include "protocol/name_rules.h"
#include "protocol/online_requests.h"
#include "protocol/score_line.h"
#include "protocol/scramble.h"
#include "protocol/text_fields.h"

namespace {

const char kNoTable[] = "<html><head><title>No table</title></head><body>No such table yet.</body></html>";
// Buckets kept at most: past it only full ones are dropped, and an address new to a table that
// still has no room is refused until some refill. Bounds the memory a wide attack can take.
const size_t kMostBuckets = 65536;
const size_t kMostCachedPlayers = 100000;

std::string QueryValue(const TServiceRequest& request, const std::string& key) {
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

// A stored record in the protocol's form, its level values read back from their stored text.
TRecordFields FieldsOf(const TServerRecord& r) {
  TRecordFields f;
  f.Score = r.Score;
  f.Name = r.Name;
  f.Badges = r.Badges;
  f.Timestamp = r.Timestamp;
  f.Level = r.Level;
  f.GameMode = r.GameMode;
  f.GameFlags = r.GameFlags;
  f.Quit = r.Quit;
  for (int k = 1; k <= kLevelValues; ++k) f.Best[size_t(k)] = DecimalValue(Field(r.Best, "|", k));
  return f;
}

}  // namespace

bool ReadSubmission(const std::string& line, TServerRecord& r) {
  TRecordFields f;
  if (!ParseSubmission(line, f)) return false;
  r.Score = f.Score;
  r.Name = f.Name;
  r.Badges = f.Badges;
  r.Timestamp = f.Timestamp;
  r.Level = f.Level;
  r.GameMode = f.GameMode;
  r.GameFlags = f.GameFlags;
  r.Quit = f.Quit;
  r.Best = RecordLevelsText(f);
  return true;
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

TScoreService::TScoreService(TScoreStore& store, const TServiceSettings& settings)
    : store_(store), key_(GameScrambleKey()) {
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
  std::string password;
  if (!ValidName(TNameKind::UserName, name) || !ReadCredentials(wrapper, name, password) ||
      !ValidName(TNameKind::Password, password))
    return TCheck::Wrong;
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
  auto value = [&request](const std::string& key) { return QueryValue(request, key); };
  if (value(LoginWeekKey) != std::to_string(WeekNumber)) return Text(404, "No such week", "login for another week");
  std::string name, wrapper;
  if (!SplitLoginInput(UnscrambleText(value(LoginInputKey), key_), name, wrapper))
    return Text(400, "Bad request", "login unreadable");
  const TCheck check = Credentials(name, wrapper, true, request);
  TServerReply reply;
  if (check == TCheck::Registered || check == TCheck::Correct) {
    std::lock_guard<std::mutex> hold(settings_mutex_);
    reply = Text(200, (check == TCheck::Registered ? LoginWelcome : LoginCorrect) + "|" + motd_);
  } else {
    reply = Refused(check, "login");
  }
  reply.player = ValidName(TNameKind::UserName, name) ? name : "";
  return reply;
}

TServerReply TScoreService::Submit(const TServiceRequest& request) {
  auto value = [&request](const std::string& key) { return QueryValue(request, key); };
  if (value(SubmitWeekKey) != std::to_string(WeekNumber))
    return Text(404, "No such week", "submission for another week");
  std::string name, wrapper, line;
  if (!SplitSubmitInput(UnscrambleText(value(SubmitInputKey), key_), name, wrapper, line))
    return Text(400, "Bad request", "submission unreadable");
  TServerRecord record;
  TServerReply reply;
  if (!ReadSubmission(line, record)) {
    reply = Text(400, "Bad score", "submission refused: a field breaks the limits");
  } else {
    const TCheck check = Credentials(name, wrapper, false, request);
    if (check != TCheck::Correct) {
      reply = Refused(check, "submission");
    } else {
      const int64_t table = TableNumber(record.GameMode, record.Level, record.GameFlags);
      reply = store_.AddRecord(table, name, record, Settings().keep_per_player)
                  ? Text(200, "OK")
                  : Text(503, "Not stored", "submission failed: " + store_.Error());
    }
  }
  reply.player = ValidName(TNameKind::UserName, name) ? name : "";
  return reply;
}

TServerReply TScoreService::Table(const std::string& rest) {
  // "WEEK/NUMBER.txt", the number whole decimal digits.
  const std::string prefix = std::to_string(WeekNumber) + "/";
  const size_t suffix = TableSuffix.size();
  const bool named = rest.size() > prefix.size() + suffix && rest.compare(0, prefix.size(), prefix) == 0 &&
                     rest.compare(rest.size() - suffix, suffix, TableSuffix) == 0;
  const std::string number = named ? rest.substr(prefix.size(), rest.size() - prefix.size() - suffix) : "";
  TServerReply none{404, "text/html", kNoTable, "", ""};
  if (number.empty() || number.size() > kDigitsLongest ||
      number.find_first_not_of("0123456789") != std::string::npos)
    return none;
  std::vector<TServerRecord> rows;
  if (!store_.Table(std::stoll(number), kTableEntries, rows))
    return Text(503, "Not available", "table failed: " + store_.Error());
  if (rows.empty()) return none;
  std::vector<TRecordFields> entries;
  for (const TServerRecord& r : rows) entries.push_back(FieldsOf(r));
  return Text(200, TableText(entries));
}

TServerReply TScoreService::Health() {
  if (store_.Ping()) return Text(200, "ok");
  return Text(503, "database not answering", "health check failed: " + store_.Error());
}

TServerReply TScoreService::Route(const TServiceRequest& request) {
  const size_t start = request.path.find_first_not_of('/');
  const std::string route = start == std::string::npos ? "" : request.path.substr(start);
  // The game asks for "//enscore/...": the route is the path without its leading slashes.
  auto named = [&route](const std::string& path) { return route == path.substr(1); };
  if (named(LoginPath)) return Login(request);
  if (named(SubmitPath)) return Submit(request);
  if (route == "healthz") return Health();
  const std::string tables = TablesPath.substr(1);
  if (route.compare(0, tables.size(), tables) == 0) return Table(route.substr(tables.size()));
  return Text(404, "Not found");
}
