// The score server's answers to the game's requests and the health check, apart from HTTP: the
// query values are unscrambled with the game's own keys and checked against the protocol's name
// rules and record limits, passwords are kept only as salted slow hashes (libsodium), and a
// record is stored only when its sender's credentials are right and every field is sane, and,
// when it comes with its replay, only when the replay proves it (score_replays.h); then the
// replay is kept with it and served. The slow work, the hashes and the replays' proofs, is what
// an attacker would make the server spend, so it is rationed: each client address has a small
// token bucket for it, registrations another, only so many hashes run at once, and it runs apart
// from everything else: a request is first answered without any slow work (tables, replays,
// health, a password already checked, a refusal), and only one that needs some is handed on,
// once its tokens are taken, to the workers that do it.
#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>

#include "score_replays.h"
#include "score_store.h"

using TServerClock = std::chrono::steady_clock;

// What answers a request, from its percent-decoded path (leading slashes aside): the one
// decision that both the answer and the metrics go by.
enum class TRoute { Login, Submit, SubmitReplay, Table, Replay, Health, Metrics, None };
TRoute RouteOf(const std::string& path);
// Its name in the metrics: "login", "submit", "submit_replay", "table", "replay", "healthz",
// "metrics", "other".
const char* RouteName(TRoute route);
// Whether the route is asked with this method: a replay's submission is a POST, all else a GET.
bool TakesMethod(TRoute route, const std::string& method);

// The service's settings an operator can change while it runs.
struct TServiceSettings {
  std::string motd = "Welcome to the Lambrisk score server.";  // "\n" starts a new line
  int keep_per_player = 40;         // records kept per table and player, at least a table's 30
  int hash_concurrency = 2;         // slow hashes at once (64 MiB of memory each); about one a core
  int login_burst = 10;             // password checks an address may make at once...
  double logins_per_minute = 30;    // ...and then at this rate
  int registration_burst = 3;       // new names an address may register at once...
  double registrations_per_hour = 20;  // ...and then at this rate
  int ipv6_prefix = 48;             // an IPv6 client is counted by its network of this many bits
  bool replays_required = false;    // a score only with its replay: a plain submission is refused
  double replay_seconds = 1;        // processor time a replay's proof may take
};

struct TServiceRequest {
  TRoute route = TRoute::None;
  std::string path;  // as requested, leading slashes and all
  std::map<std::string, std::string> query;
  std::map<std::string, std::string> form;  // a POST's body, decoded
  std::string address;  // the client's, which the rate limits count by
  TServerClock::time_point deadline = TServerClock::now() + std::chrono::minutes(1);  // its last moment
  // Whether the client still waits for the answer: a slow hash for one that left is skipped.
  std::function<bool()> waiting = [] { return true; };
  // Whether this call may do slow work (a password hash, a replay's proof): false on the first
  // call, which answers all it can without; a reply that needs some says so, and the caller
  // routes it again with true.
  bool slow_lane = false;
};

struct TServerReply {
  int status = 200;
  std::string type = "text/plain";
  std::string body;
  std::string player;   // the player a login or submission named, for the access log
  std::string refusal;  // why it was refused or failed, for the error log; "" when served
  bool needs_slow_lane = false;  // not answered yet: route it again with slow_lane, where slow work runs
};

// Token buckets by key: each holds up to burst tokens and refills at perSecond. At most `most`
// are kept, which bounds the memory a wide attack can take; a new key past that replaces the
// least recently used, so a table filled by strangers never refuses the next stranger.
class TRateLimiter {
 public:
  explicit TRateLimiter(size_t most = 65536) : most_(most) {}
  // Takes a token from key's bucket; false when it is empty.
  bool Take(const std::string& key, double burst, double perSecond, TServerClock::time_point now);

 private:
  struct TBucket {
    double tokens;
    TServerClock::time_point at;
    std::list<std::string>::iterator use;  // its place in uses_
  };
  const size_t most_;
  std::mutex mutex_;
  std::unordered_map<std::string, TBucket> buckets_;
  std::list<std::string> uses_;  // the keys, least recently used first
};

// A counting gate for the slow hashes that remembers the most that ever ran at once.
class THashSlots {
 public:
  void SetCapacity(int capacity);
  // Waits for a free slot until the deadline; false when none came free.
  bool Acquire(TServerClock::time_point deadline);
  void Release();
  int Peak();

 private:
  std::mutex mutex_;
  std::condition_variable freed_;
  int capacity_ = 1;
  int busy_ = 0;
  int peak_ = 0;
};

class TScoreService {
 public:
  // store must outlive the service; replays are proven on levels.
  TScoreService(TScoreStore& store, const TServiceSettings& settings, const TProofLevels& levels);
  // Takes new settings; requests in progress finish with the old ones.
  void Configure(const TServiceSettings& settings);

  // Any request by its route, query values and form: the game's login, submission (with its
  // replay or without), table fetch and replay fetch, and /healthz; 404 for other routes
  // (/metrics is the server's own).
  TServerReply Route(const TServiceRequest& request);
  // The most slow hashes that ran at once so far.
  int PeakHashes() { return slots_.Peak(); }
  // Database calls that failed so far.
  uint64_t DatabaseErrors() { return database_errors_; }

 private:
  enum class TCheck { Wrong, Correct, Registered, Limited, Busy, Failed, NeedsHash };
  // Takes a hash slot for the request; false when none came free in time or the client left.
  bool HashSlot(const TServiceRequest& request);
  TServerReply Login(const TServiceRequest& request);
  TServerReply Submit(const TServiceRequest& request);
  TServerReply Table(const std::string& rest);
  TServerReply ReplayOf(const std::string& rest);
  TServerReply Health();
  // A failed store call's reply, counted.
  TServerReply StoreFailed(const std::string& what);
  // The reply to a credentials check that did not pass, with the reason the error log gives.
  TServerReply Refused(TCheck check, const std::string& what);
  // Unwraps "name|wrapper" and checks the password; registers a new name when allowed.
  TCheck Credentials(const std::string& name, const std::string& wrapper, bool registerNew,
                     const TServiceRequest& request);
  TCheck Verify(const std::string& name, const std::string& password, const std::string& hash,
                const TServiceRequest& request, const TServiceSettings& settings);
  std::string CacheKey(const std::string& password, const std::string& hash);
  // Whether name's password was checked against hash before.
  bool Cached(const std::string& name, const std::string& password, const std::string& hash);
  // Takes the tokens a password check of this request costs, registration's too for a new name.
  bool TakeTokens(const TServiceRequest& request, const TServiceSettings& settings, bool registration);
  TServiceSettings Settings();

  TScoreStore& store_;
  const TProofLevels levels_;
  std::mutex settings_mutex_;
  TServiceSettings settings_;
  const std::string key_;  // the game's scramble key
  std::string motd_;  // the settings' message as the login reply carries it
  TRateLimiter limiter_;
  THashSlots slots_;
  // Passwords already checked against their slow hash, by name, as keyed digests of password and
  // hash (never the password itself): a player's later requests skip the slow check, and a
  // changed hash (a reset password) no longer matches.
  std::mutex cache_mutex_;
  std::unordered_map<std::string, std::string> verified_;
  unsigned char cache_key_[32];
  std::atomic<uint64_t> database_errors_{0};
  // The health check's write, at most one a second: its time and whether it went through.
  std::mutex health_mutex_;
  TServerClock::time_point health_written_{};
  bool health_writes_ = false;
};

// A submitted line (eight fields, the mark, thirty level values) as the record to store; false
// when any field breaks the protocol's limits.
bool ReadSubmission(const std::string& line, TServerRecord& r);
// A message of the day as the login reply carries it: "\n" written as backslash-n becomes a line
// break, "|" (which would end it) becomes "/", other control characters are dropped.
std::string MotdText(const std::string& raw);
// The rate limits' key of a client address: an IPv6 client is counted by its network of prefix
// bits. Subscribers get a /64, a /56 or a /48 whole; counted by less than their allocation, one
// could act as thousands of clients.
std::string RateKey(const std::string& address, int prefix);
// Starts libsodium; false when it cannot run (the server then refuses to start).
bool StartPasswordHashing();
// A new salted slow hash of a password, "" when it failed (out of memory).
std::string HashPassword(const std::string& password);
