// The online score service's requests and replies as both ends see them: the paths and query
// keys, what a login and a submission carry, the table number, and the words a reply is known by.
// Every request but a replay's submission is a GET; query values are scrambled (hexadecimal, so
// they need no encoding); the login's keys are lower-case and the submission's capitalised.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

extern const std::string LoginPath;        // "/enscore/login.php"
extern const std::string LoginWeekKey;     // "week"
extern const std::string LoginInputKey;    // "input"
extern const std::string SubmitPath;       // "/enscore/scores.php"
extern const std::string SubmitWeekKey;    // "Week"
extern const std::string SubmitInputKey;   // "Input"
extern const std::string TablesPath;       // "/enscore/tables/": then week "/" number ".txt"
extern const std::string TableSuffix;      // ".txt"
extern const std::string LoginCorrect;     // "Password Correct": a known name's login reply
extern const std::string LoginWelcome;     // "Welcome!": a new name's, just registered
extern const std::string NoTableMark;      // "<HEAD>": in a reply in capitals, an HTML page: no table
// Replays, beside the requests above: a submission that carries the replay of its game, and the
// replays the server keeps of the records in its tables.
//   POST ReplaySubmitPath "?Week=" week "&Input=" input: the query exactly a submission's; the
//   body form-urlencoded (Content-Type application/x-www-form-urlencoded, Content-Length given)
//   with one field, ReplayField, whose value is the replay's text (ReplayText) as the game's
//   Thttp::UrlEncode writes it: letters, digits and "+-._" as they are, every other byte "%" and
//   two hex digits. A "+" is a plus, never a space. The reply's body says why when it is not 200.
//   GET ReplaysPath week "/" table "/" key ".txt": the entry's replay as text (200), or 404.
extern const std::string ReplaySubmitPath;  // "/enscore/replays.php"
extern const std::string ReplayField;       // "Replay"
extern const std::string ReplaysPath;       // "/enscore/replays/": then week "/" table "/" key ".txt"
// The most bytes a replay submission's body may hold, encoded: a two-hour game of one input
// change every few frames still fits (a 20-minute game is a few kilobytes).
constexpr size_t kReplayPostLongest = 128 * 1024;

// mode + world * 100 + flags * 1000: one table for each start world, mode and flags.
int64_t TableNumber(int64_t mode, int64_t world, int64_t flags);

// The request paths, queries included, for the game's week.
std::string LoginRequest(int week, const std::string& input);
std::string SubmitRequest(int week, const std::string& input);
std::string TableRequest(int week, const std::string& table);
std::string ReplaySubmitRequest(int week, const std::string& input);
// The key of a table entry's replay: its stamp, score and name, "|"-joined, in lower-case
// hexadecimal (names may hold any character a record name may).
std::string ReplayKey(int64_t stamp, int64_t score, const std::string& name);
std::string ReplayRequest(int week, int64_t table, const std::string& key);
// The server's side of a key: the stamp, score and name it was made of; false for any text
// ReplayKey does not make.
bool ParseReplayKey(const std::string& key, int64_t& stamp, int64_t& score, std::string& name);
// The server's side: the week, table and key of a path below ReplaysPath ("3/1101/ab12.txt");
// false for any other.
bool ParseReplayPath(const std::string& rest, int& week, int64_t& table, std::string& key);

// The credentials as the server checks them: user "|" password scrambled with HeaderCode.
std::string CredentialWrapper(const std::string& user, const std::string& password);
// A login's input: user "|" wrapper, and a submission's: user "|" wrapper "|" record line, each
// scrambled with key (the game's ScrambleKey).
std::string LoginInput(const std::string& user, const std::string& password, const std::string& key);
std::string SubmitInput(const std::string& user, const std::string& password, const std::string& line,
                        const std::string& key);
// The server's side of the same: the plain text of an input split at its first "|" (and for a
// submission its second); false when it has too few. The wrapper is read with ReadCredentials:
// false unless it unscrambles to "user|password" with the user given.
bool SplitLoginInput(const std::string& plain, std::string& user, std::string& wrapper);
bool SplitSubmitInput(const std::string& plain, std::string& user, std::string& wrapper, std::string& line);
bool ReadCredentials(const std::string& wrapper, const std::string& user, std::string& password);

// Whether a login's reply body accepts the credentials.
bool LoginAccepted(const std::string& body);
// Whether a table fetch's reply is a web page (no such table yet).
bool NoTableReply(const std::string& body);
// The body of a whole reply as the game's client returns it: the text after the first empty line
// up to the next one.
std::string ReplyBody(const std::string& reply);
