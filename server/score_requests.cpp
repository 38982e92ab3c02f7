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
const size_t kMostCachedPlayers = 100000;

std::string ValueOf(const std::map<std::string, std::string>& pairs, const std::string& key) {
  auto found = pairs.find(key);
  return found == pairs.end() ? std::string() : found->second;
}

std::string QueryValue(const TServiceRequest& request, const std::string& key) { return ValueOf(request.query, key); }

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

std::string RateKey(const std::string& address, int prefix) {
  in6_addr v6;
  if (inet_pton(AF_INET6, address.c_str(), &v6) != 1) return address;
  prefix = std::clamp(prefix, 16, 128);
  for (int bit = prefix; bit < 128; ++bit) v6.s6_addr[bit / 8] &= uint8_t(~(0x80 >> (bit % 8)));
  char text[INET6_ADDRSTRLEN] = "";
  inet_ntop(AF_INET6, &v6, text, sizeof text);
  return std::string(text) + "/" + std::to_string(prefix);
}

TRoute RouteOf(const std::string& path) {
  const size_t start = path.find_first_not_of('/');
  const std::string route = start == std::string::npos ? "" : path.substr(start);
  // The game asks for "//enscore/...": the route is the path without its leading slashes.
  auto named = [&route](const std::string& known) { return route == known.substr(1); };
  auto below = [&route](const std::string& folder) { return route.compare(0, folder.size() - 1, folder, 1) == 0; };
  if (named(LoginPath)) return TRoute::Login;
  if (named(SubmitPath)) return TRoute::Submit;
  if (named(ReplaySubmitPath)) return TRoute::SubmitReplay;
  if (route == "healthz") return TRoute::Health;
  if (route == "metrics") return TRoute::Metrics;
  if (below(TablesPath)) return TRoute::Table;
  if (below(ReplaysPath)) return TRoute::Replay;
  return TRoute::None;
}

bool TakesMethod(TRoute route, const std::string& method) {
  return method == (route == TRoute::SubmitReplay ? "POST" : "GET");
}

const char* RouteName(TRoute route) {
  switch (route) {
    case TRoute::Login: return "login";
    case TRoute::Submit: return "submit";
    case TRoute::SubmitReplay: return "submit_replay";
    case TRoute::Table: return "table";
    case TRoute::Replay: return "replay";
    case TRoute::Health: return "healthz";
    case TRoute::Metrics: return "metrics";
    case TRoute::None: break;
  }
  return "other";
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
  auto found = buckets_.find(key);
  if (found == buckets_.end()) {
    if (buckets_.size() >= most_ && !uses_.empty()) {
      buckets_.erase(uses_.front());
      uses_.pop_front();
    }
    found = buckets_.emplace(key, TBucket{burst, now, uses_.insert(uses_.end(), key)}).first;
  } else {
    uses_.splice(uses_.end(), uses_, found->second.use);
  }
  TBucket& b = found->second;
  b.tokens = std::min(burst, b.tokens + perSecond * std::chrono::duration<double>(now - b.at).count());
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

TScoreService::TScoreService(TScoreStore& store, const TServiceSettings& settings, const TProofLevels& levels)
    : store_(store), levels_(levels), key_(GameScrambleKey()) {
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

bool TScoreService::Cached(const std::string& name, const std::string& password, const std::string& hash) {
  const std::string key = CacheKey(password, hash);
  std::lock_guard<std::mutex> hold(cache_mutex_);
  auto found = verified_.find(name);
  return found != verified_.end() && found->second == key;
}

bool TScoreService::TakeTokens(const TServiceRequest& request, const TServiceSettings& settings, bool registration) {
  const std::string address = RateKey(request.address, settings.ipv6_prefix);
  const auto now = TServerClock::now();
  if (registration && !limiter_.Take("register " + address, settings.registration_burst,
                                     settings.registrations_per_hour / 3600, now))
    return false;
  return limiter_.Take("login " + address, settings.login_burst, settings.logins_per_minute / 60, now);
}

TScoreService::TCheck TScoreService::Verify(const std::string& name, const std::string& password,
                                            const std::string& hash, const TServiceRequest& request,
                                            const TServiceSettings&) {
  if (!HashSlot(request)) return TCheck::Busy;
  const bool right = crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
  slots_.Release();
  if (!right) return TCheck::Wrong;
  const std::string key = CacheKey(password, hash);
  std::lock_guard<std::mutex> hold(cache_mutex_);
  if (verified_.size() >= kMostCachedPlayers) verified_.clear();
  verified_[name] = key;
  return TCheck::Correct;
}

// A hash of a password nobody has, made once: a submission for an unknown name is checked
// against it, so that it costs what a real name's check costs and no one can tell them apart.
const std::string& NobodysHash() {
  static const std::string hash = HashPassword("nobody's password");
  return hash;
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
  if (!hash.empty() && Cached(name, password, hash)) return TCheck::Correct;
  // Everything else costs a hash: its tokens are taken once, before the request is handed on to
  // wait for one.
  const bool registration = hash.empty() && registerNew;
  if (!request.slow_lane) return TakeTokens(request, settings, registration) ? TCheck::NeedsHash : TCheck::Limited;
  if (hash.empty() && !registerNew) {
    Verify(name, password, NobodysHash(), request, settings);
    return TCheck::Wrong;
  }
  if (registration) {
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
    case TCheck::Failed: return StoreFailed(what);
    case TCheck::NeedsHash: {
      TServerReply reply;
      reply.needs_slow_lane = true;
      return reply;
    }
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
  const bool carried = request.route == TRoute::SubmitReplay;
  const std::string what = carried ? "submission with a replay" : "submission";
  if (value(SubmitWeekKey) != std::to_string(WeekNumber))
    return Text(404, "No such week", what + " for another week");
  std::string name, wrapper, line;
  if (!SplitSubmitInput(UnscrambleText(value(SubmitInputKey), key_), name, wrapper, line))
    return Text(400, "Bad request", what + " unreadable");
  const TServiceSettings settings = Settings();
  auto notProven = [&what](const std::string& why) {
    return Text(422, "Replay not proven: " + why, what + " refused: replay not proven: " + why);
  };
  TServerRecord record;
  TReplay replay;
  std::string why;
  TServerReply reply;
  // What costs nothing is checked before the password: the record, and the replay's header.
  if (!ReadSubmission(line, record)) {
    reply = Text(400, "Bad score", what + " refused: a field breaks the limits");
  } else if (!carried && settings.replays_required) {
    reply = Text(422, "Replay required", "submission refused: this server takes scores only with their replays");
  } else if (carried && !(why = ReplayMismatch(ValueOf(request.form, ReplayField), record, levels_.hash, replay)).empty()) {
    reply = notProven(why);
  } else {
    const TCheck check = Credentials(name, wrapper, false, request);
    if (check != TCheck::Correct) {
      reply = Refused(check, what);
    } else if (carried && !request.slow_lane) {
      // A password already checked: the proof is slow work all the same, and costs a token.
      reply = Refused(TakeTokens(request, settings, false) ? TCheck::NeedsHash : TCheck::Limited, what);
    } else if (carried && !(why = ReplayDisproof(replay, record, levels_.levels, settings.replay_seconds)).empty()) {
      reply = notProven(why);
    } else {
      const int64_t table = TableNumber(record.GameMode, record.Level, record.GameFlags);
      reply = store_.AddRecord(table, name, record, settings.keep_per_player, carried ? ReplayText(replay) : "")
                  ? Text(200, "OK")
                  : StoreFailed(what);
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
  if (!store_.Table(std::stoll(number), kTableEntries, rows)) return StoreFailed("table");
  if (rows.empty()) return none;
  std::vector<TRecordFields> entries;
  for (const TServerRecord& r : rows) entries.push_back(FieldsOf(r));
  return Text(200, TableText(entries));
}

TServerReply TScoreService::ReplayOf(const std::string& rest) {
  int week = 0;
  int64_t table = 0, stamp = 0, score = 0;
  std::string key, name, text;
  if (!ParseReplayPath(rest, week, table, key) || week != WeekNumber || !ParseReplayKey(key, stamp, score, name))
    return Text(404, "No such replay");
  if (!store_.Replay(table, score, name, stamp, text)) return StoreFailed("replay");
  return text.empty() ? Text(404, "No such replay") : Text(200, text);
}

TServerReply TScoreService::StoreFailed(const std::string& what) {
  ++database_errors_;
  return Text(503, "Not available", what + " failed: " + store_.Error());
}

TServerReply TScoreService::Health() {
  if (!store_.Ping()) {
    ++database_errors_;
    return Text(503, "database not answering", "health check failed: " + store_.Error());
  }
  // Reads alone would pass on a full disk while every write fails: the check writes too, at most
  // once a second however often it is asked.
  std::lock_guard<std::mutex> hold(health_mutex_);
  const auto now = TServerClock::now();
  if (now - health_written_ >= std::chrono::seconds(1)) {
    health_written_ = now;
    health_writes_ = store_.WriteHealthMark();
    if (!health_writes_) ++database_errors_;
  }
  if (health_writes_) return Text(200, "ok");
  return Text(503, "database not taking writes", "health check failed: writes fail: " + store_.Error());
}

TServerReply TScoreService::Route(const TServiceRequest& request) {
  switch (request.route) {
    case TRoute::Login: return Login(request);
    case TRoute::Submit:
    case TRoute::SubmitReplay: return Submit(request);
    case TRoute::Health: return Health();
    case TRoute::Table: return Table(request.path.substr(request.path.find_first_not_of('/') + TablesPath.size() - 1));
    case TRoute::Replay:
      return ReplayOf(request.path.substr(request.path.find_first_not_of('/') + ReplaysPath.size() - 1));
    default: return Text(404, "Not found");
  }
}
