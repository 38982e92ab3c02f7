// The score server's answers to the game's three requests, apart from HTTP: the query values are
// unscrambled with the game's own keys and checked, names and passwords are bounded, passwords
// are kept only as salted slow hashes (libsodium), and a record is stored only when its sender's
// credentials are right and every field is sane.
#pragma once
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "score_db.h"

struct TServerReply {
  int status = 200;
  std::string type = "text/plain";
  std::string body;
};

class TScoreService {
 public:
  // db must stay open while the service is used; motd lines are separated by LF.
  TScoreService(TScoreDb& db, std::string motd);

  // GET /enscore/login.php?week=&input=
  TServerReply Login(const std::string& week, const std::string& input);
  // GET /enscore/scores.php?Week=&Input=
  TServerReply Submit(const std::string& week, const std::string& input);
  // GET /enscore/tables/<week>/<table>.txt, given the text after "tables/".
  TServerReply Table(const std::string& rest);
  // Any request by its path (leading slashes and all) and query values; 404 for other paths.
  TServerReply Route(const std::string& path, const std::map<std::string, std::string>& query);

 private:
  enum class TCheck { Wrong, Correct, Registered };
  // Unwraps "name|wrapper" and checks the password; registers a new name when allowed.
  TCheck Credentials(const std::string& name, const std::string& wrapper, bool registerNew);
  bool Verified(const std::string& name, const std::string& password, const std::string& hash);

  TScoreDb& db_;
  std::string motd_;
  // Passwords already checked against their slow hash, by name, as keyed digests (never the
  // password itself): a player's later submissions skip the slow check.
  std::mutex cache_mutex_;
  std::map<std::string, std::string> verified_;
  unsigned char cache_key_[32];
};

// Allowed names: 4 to 24 printable ASCII characters, none of those the game replaces or "|".
bool ValidPlayerName(const std::string& name);
// Allowed passwords: 4 to 64 printable ASCII characters, none the game replaces or "|".
bool ValidPassword(const std::string& password);
// A message of the day as the login reply carries it: "\n" written as backslash-n becomes a line
// break, "|" (which would end it) becomes "/", other control characters are dropped.
std::string MotdText(const std::string& raw);
// Starts libsodium; false when it cannot run (the server then refuses to start).
bool StartPasswordHashing();
