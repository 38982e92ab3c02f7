// The score server's answers to the game's three requests and the health check, apart from
// HTTP: the query values are unscrambled with the game's own keys and checked against the
// protocol's name rules and record limits, passwords are kept only as salted slow hashes (libsodium), and a record is
// stored only when its sender's credentials are right and every field is sane. The slow hashes
// are what an attacker would make the server spend, so they are rationed: each client address
// has a small token bucket for them, registrations another, and only so many run at once.
#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>

#include "score_store.h"

using TServerClock = std::chrono::steady_clock;

// The service's settings an operator can change while it runs.
struct TServiceSettings {
  std::string motd = "Welcome to the Lambrisk score server.";  // "\n" starts a new line
  int keep_per_player = 40;         // records kept per table and player, at least a table's 30
  int hash_concurrency = 2;         // slow hashes at once (64 MiB of memory each); about one a core
  int login_burst = 10;             // password checks an address may make at once...
  double logins_per_minute = 30;    // ...and then at this rate
  int registration_burst = 3;       // new names an address may register at once...
  double registrations_per_hour = 20;  // ...and then at this rate
};

struct TServiceRequest {
  std::string path;  // as requested, leading slashes and all
  std::map<std::string, std::string> query;
  std::string address;  // the client's, which the rate limits count by
  TServerClock::time_point deadline = TServerClock::now() + std::chrono::minutes(1);  // its last moment
  // Whether the client still waits for the answer: a slow hash for one that left is skipped.
  std::function<bool()> waiting = [] { return true; };
};

struct TServerReply {
  int status = 200;
  std::string type = "text/plain";
  std::string body;
  std::string player;   // the player a login or submission named, for the access log
  std::string refusal;  // why it was refused or failed, for the error log; "" when served
};

// Token buckets by key: each holds up to burst tokens and refills at perSecond.
class TRateLimiter {
 public:
  // Takes a token from key's bucket; false when it is empty.
  bool Take(const std::string& key, double burst, double perSecond, TServerClock::time_point now);

 private:
  struct TBucket {
    double tokens;
    TServerClock::time_point at;
  };
  std::mutex mutex_;
  std::unordered_map<std::string, TBucket> buckets_;
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
  // store must outlive the service.
  TScoreService(TScoreStore& store, const TServiceSettings& settings);
  // Takes new settings; requests in progress finish with the old ones.
  void Configure(const TServiceSettings& settings);

  // Any request by its path and query values: the game's login, submission and table fetch,
  // and /healthz; 404 for other paths.
  TServerReply Route(const TServiceRequest& request);
  // The most slow hashes that ran at once so far.
  int PeakHashes() { return slots_.Peak(); }

 private:
  enum class TCheck { Wrong, Correct, Registered, Limited, Busy, Failed };
  // Takes a hash slot for the request; false when none came free in time or the client left.
  bool HashSlot(const TServiceRequest& request);
  TServerReply Login(const TServiceRequest& request);
  TServerReply Submit(const TServiceRequest& request);
  TServerReply Table(const std::string& rest);
  TServerReply Health();
  // The reply to a credentials check that did not pass, with the reason the error log gives.
  TServerReply Refused(TCheck check, const std::string& what);
  // Unwraps "name|wrapper" and checks the password; registers a new name when allowed.
  TCheck Credentials(const std::string& name, const std::string& wrapper, bool registerNew,
                     const TServiceRequest& request);
  TCheck Verify(const std::string& name, const std::string& password, const std::string& hash,
                const TServiceRequest& request, const TServiceSettings& settings);
  std::string CacheKey(const std::string& password, const std::string& hash);
  TServiceSettings Settings();

  TScoreStore& store_;
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
};

// A submitted line (eight fields, the mark, thirty level values) as the record to store; false
// when any field breaks the protocol's limits.
bool ReadSubmission(const std::string& line, TServerRecord& r);
// A message of the day as the login reply carries it: "\n" written as backslash-n becomes a line
// break, "|" (which would end it) becomes "/", other control characters are dropped.
std::string MotdText(const std::string& raw);
// The rate limits' key of a client address: an IPv6 client is counted by its /64 network, which
// one subscriber usually has whole.
std::string RateKey(const std::string& address);
// Starts libsodium; false when it cannot run (the server then refuses to start).
bool StartPasswordHashing();
// A new salted slow hash of a password, "" when it failed (out of memory).
std::string HashPassword(const std::string& password);
